// Rotated fonts.
#include "menus/SkFontUtilities.h"

#include <cstring>

LOGFONTA RotatedLogFont(const comp::Font& font, int angle) {
    LOGFONTA lf;
    std::memset(&lf, 0, sizeof lf);
    lf.lfHeight = font.Height();
    lf.lfWidth = 0;
    lf.lfEscapement = angle * 10;
    lf.lfOrientation = 0;
    lf.lfWeight = font.Bold() ? 700 : 400;
    lf.lfItalic = font.Italic() ? 1 : 0;
    lf.lfUnderline = font.Underline() ? 1 : 0;
    lf.lfStrikeOut = font.StrikeOut() ? 1 : 0;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfOutPrecision = 0;
    lf.lfClipPrecision = 0;
    lf.lfQuality = 0;
    lf.lfPitchAndFamily = font.Pitch() == comp::FontPitch::fpVariable ? VARIABLE_PITCH
                          : font.Pitch() == comp::FontPitch::fpFixed  ? FIXED_PITCH
                                                                      : 0;
    // A longer name is cut to the 31 characters the record holds.
    std::strncpy(lf.lfFaceName, font.Name().c_str(), LF_FACESIZE - 1);
    lf.lfFaceName[LF_FACESIZE - 1] = '\0';
    return lf;
}

HFONT CreateRotatedFont(const comp::Font& font, int angle) {
    LOGFONTA lf = RotatedLogFont(font, angle);
    return CreateFontIndirectA(&lf);
}
