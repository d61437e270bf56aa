// A canvas over a device context that it does not own: a brush, a font and a pen that are made when they
// change and selected into the DC before each drawing call, and put back as found when the canvas ends.
// Colours are the component library's values: red in the low byte, or a system colour (the top bit set
// and the COLOR_* index in the low byte), or clNone.
#pragma once

#include <windows.h>

#include <string>

#include "components/font.h"

namespace comp {

constexpr COLORREF clNone = 0x1FFFFFFF;
constexpr COLORREF clBlack = 0x000000;
constexpr COLORREF clWhite = 0xFFFFFF;
constexpr COLORREF clGray = 0x808080;
constexpr COLORREF clSilver = 0xC0C0C0;

// A system colour as a colour value.
constexpr COLORREF SystemColor(int index) { return 0x80000000u | static_cast<COLORREF>(index); }
constexpr COLORREF clHighlight = SystemColor(COLOR_HIGHLIGHT);
constexpr COLORREF clHighlightText = SystemColor(COLOR_HIGHLIGHTTEXT);
constexpr COLORREF clMenu = SystemColor(COLOR_MENU);
constexpr COLORREF clMenuText = SystemColor(COLOR_MENUTEXT);
constexpr COLORREF clGrayText = SystemColor(COLOR_GRAYTEXT);
constexpr COLORREF clBtnFace = SystemColor(COLOR_BTNFACE);
constexpr COLORREF clBtnHighlight = SystemColor(COLOR_BTNHIGHLIGHT);
constexpr COLORREF clBtnShadow = SystemColor(COLOR_BTNSHADOW);
constexpr COLORREF clBtnText = SystemColor(COLOR_BTNTEXT);
constexpr COLORREF clWindowText = SystemColor(COLOR_WINDOWTEXT);

// The RGB value of a colour: a system colour is looked up, any other value keeps its low three bytes.
COLORREF ColorToRGB(COLORREF color);

// Pixel-exact solid fills straight on a DC, in an RGB colour: a rectangle, and one-pixel horizontal and
// vertical lines with both ends included.
void FillSolid(HDC dc, const RECT& r, COLORREF color);
void HLine(HDC dc, int x0, int x1, int y, COLORREF color);
void VLine(HDC dc, int x, int y0, int y1, COLORREF color);

class Canvas {
public:
    explicit Canvas(HDC dc);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    // The DC with the canvas's brush, font, pen and text colours selected.
    HDC Handle();

    // Brush: a solid colour, or clear (nothing is filled, text is drawn without background).
    COLORREF BrushColor() const { return brushColor_; }
    // Sets the colour and makes the brush solid.
    void SetBrushColor(COLORREF color);
    bool BrushClear() const { return brushClear_; }
    void SetBrushClear(bool clear);

    // Font: a copy of the given font; its colour is the text colour.
    const Font& CanvasFont() const { return font_; }
    void SetFont(const Font& font);
    void SetFontColor(COLORREF color);
    void SetFontBold(bool bold);

    COLORREF PenColor() const { return penColor_; }
    void SetPenColor(COLORREF color);

    void FillRect(const RECT& r);
    // A one-pixel frame in the brush colour.
    void FrameRect(const RECT& r);
    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    // DrawTextA with the canvas's font and colours; |r| is updated as DrawTextA does (DT_CALCRECT).
    int DrawText(const std::string& text, RECT& r, UINT flags);
    SIZE TextExtent(const std::string& text);
    COLORREF Pixel(int x, int y);
    void SetPixel(int x, int y, COLORREF color);
    // Stretches |source| (a rectangle of |sourceDC|) over |dest| (StretchBlt, SRCCOPY).
    void CopyRect(const RECT& dest, HDC sourceDC, const RECT& source);

private:
    void SelectBrush();
    void SelectFont();
    void SelectPen();

    HDC dc_;
    int saved_;
    COLORREF brushColor_ = clWhite;
    bool brushClear_ = false;
    HBRUSH brush_ = nullptr;
    Font font_;
    HFONT selectedFont_ = nullptr;
    COLORREF penColor_ = clBlack;
    HPEN pen_ = nullptr;
};

}  // namespace comp
