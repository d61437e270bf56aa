// Fonts: the description of a font and the GDI object made from it.
#include "font.h"

#include <cstring>

namespace comp {

Font::Font(std::string name, int height, bool bold, bool italic, COLORREF color)
    : name_(std::move(name)), height_(height), bold_(bold), italic_(italic), color_(color) {}

Font::~Font() { Release(); }

Font::Font(const Font& other)
    : name_(other.name_), height_(other.height_), bold_(other.bold_), italic_(other.italic_), color_(other.color_) {}

Font& Font::operator=(const Font& other) {
    if (this != &other) {
        Release();
        name_ = other.name_;
        height_ = other.height_;
        bold_ = other.bold_;
        italic_ = other.italic_;
        color_ = other.color_;
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
        lf.lfCharSet = DEFAULT_CHARSET;
        lf.lfQuality = DEFAULT_QUALITY;
        strncpy(lf.lfFaceName, name_.c_str(), LF_FACESIZE - 1);
        handle_ = CreateFontIndirectA(&lf);
    }
    return handle_;
}

}  // namespace comp
