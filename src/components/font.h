// A font description (name, height, style, colour) and the GDI font made from it on demand.
#pragma once

#include <windows.h>

#include <string>

namespace comp {

enum class FontPitch { fpDefault, fpVariable, fpFixed };

class Font {
public:
    Font() = default;
    // |height| as in LOGFONT: negative for a character height in pixels.
    Font(std::string name, int height, bool bold = false, bool italic = false, COLORREF color = RGB(0, 0, 0));
    ~Font();
    Font(const Font& other);
    Font& operator=(const Font& other);

    const std::string& Name() const { return name_; }
    int Height() const { return height_; }
    bool Bold() const { return bold_; }
    bool Italic() const { return italic_; }
    COLORREF Color() const { return color_; }
    void SetColor(COLORREF color) { color_ = color; }
    bool Underline() const { return underline_; }
    bool StrikeOut() const { return strikeOut_; }
    FontPitch Pitch() const { return pitch_; }
    // Changing the description drops the GDI font; the next Handle() makes a new one.
    void SetName(const std::string& name);
    void SetHeight(int height);
    void SetBold(bool bold);
    void SetItalic(bool italic);
    void SetUnderline(bool underline);
    void SetStrikeOut(bool strikeOut);
    void SetPitch(FontPitch pitch);

    // The description of a logical font (colour black).
    static Font FromLogFont(const LOGFONTA& lf);

    // The GDI font (made on first use, owned by this object).
    HFONT Handle() const;

private:
    void Release();

    std::string name_ = "MS Sans Serif";
    int height_ = -11;
    bool bold_ = false;
    bool italic_ = false;
    COLORREF color_ = RGB(0, 0, 0);
    bool underline_ = false;
    bool strikeOut_ = false;
    FontPitch pitch_ = FontPitch::fpDefault;
    mutable HFONT handle_ = nullptr;
};

}  // namespace comp
