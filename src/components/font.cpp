// Fonts: the description of a font and the GDI object made from it.
#include "font.h"

#include <cstring>

namespace comp {

Font::Font(std::string name, int height, bool bold, bool italic, COLORREF color)
    : name_(std::move(name)), height_(height), bold_(bold), italic_(italic), color_(color) {}

Font::~Font() { Release(); }

Font::Font(const Font& other)
    : name_(other.name_),
      height_(other.height_),
      bold_(other.bold_),
      italic_(other.italic_),
      color_(other.color_),
      underline_(other.underline_),
      strikeOut_(other.strikeOut_),
      pitch_(other.pitch_) {}

Font& Font::operator=(const Font& other) {
    if (this != &other) {
        Release();
        name_ = other.name_;
        height_ = other.height_;
        bold_ = other.bold_;
        italic_ = other.italic_;
        color_ = other.color_;
        underline_ = other.underline_;
        strikeOut_ = other.strikeOut_;
        pitch_ = other.pitch_;
    }
    return *this;
}

void Font::Release() {
    if (handle_) DeleteObject(handle_);
    handle_ = nullptr;
}

HFONT Font::Handle() const {
    if (!handle_) {
        LOGFONTA lf = {};
        lf.lfHeight = height_;
        lf.lfWeight = bold_ ? FW_BOLD : FW_NORMAL;
        lf.lfItalic = italic_ ? TRUE : FALSE;
        lf.lfUnderline = underline_ ? TRUE : FALSE;
        lf.lfStrikeOut = strikeOut_ ? TRUE : FALSE;
        lf.lfPitchAndFamily = pitch_ == FontPitch::fpVariable ? VARIABLE_PITCH
                              : pitch_ == FontPitch::fpFixed  ? FIXED_PITCH
                                                              : DEFAULT_PITCH;
        lf.lfCharSet = DEFAULT_CHARSET;
        lf.lfQuality = DEFAULT_QUALITY;
        strncpy(lf.lfFaceName, name_.c_str(), LF_FACESIZE - 1);
        handle_ = CreateFontIndirectA(&lf);
    }
    return handle_;
}

void Font::SetName(const std::string& name) {
    Release();
    name_ = name;
}

void Font::SetHeight(int height) {
    Release();
    height_ = height;
}

void Font::SetBold(bool bold) {
    Release();
    bold_ = bold;
}

void Font::SetItalic(bool italic) {
    Release();
    italic_ = italic;
}

void Font::SetUnderline(bool underline) {
    Release();
    underline_ = underline;
}

void Font::SetStrikeOut(bool strikeOut) {
    Release();
    strikeOut_ = strikeOut;
}

void Font::SetPitch(FontPitch pitch) {
    Release();
    pitch_ = pitch;
}

Font Font::FromLogFont(const LOGFONTA& lf) {
    char name[LF_FACESIZE + 1] = {};
    strncpy(name, lf.lfFaceName, LF_FACESIZE);
    Font f(name, lf.lfHeight, lf.lfWeight >= FW_BOLD, lf.lfItalic != 0);
    f.underline_ = lf.lfUnderline != 0;
    f.strikeOut_ = lf.lfStrikeOut != 0;
    const int pitch = lf.lfPitchAndFamily & 3;
    f.pitch_ = pitch == VARIABLE_PITCH ? FontPitch::fpVariable
               : pitch == FIXED_PITCH  ? FontPitch::fpFixed
                                       : FontPitch::fpDefault;
    return f;
}

}  // namespace comp
