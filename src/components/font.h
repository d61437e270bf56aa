// A font description (name, height, style, colour) and the GDI font made from it on demand.
#pragma once

#include <windows.h>

#include <string>

namespace comp {

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

    // The GDI font (made on first use, owned by this object).
    HFONT Handle() const;

private:
    void Release();

    std::string name_ = "MS Sans Serif";
    int height_ = -11;
    bool bold_ = false;
    bool italic_ = false;
    COLORREF color_ = RGB(0, 0, 0);
    mutable HFONT handle_ = nullptr;
};

}  // namespace comp
