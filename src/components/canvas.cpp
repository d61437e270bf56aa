// The canvas: lazily made GDI objects over a borrowed device context.
#include "components/canvas.h"

namespace comp {

COLORREF ColorToRGB(COLORREF color) {
    if (color & 0x80000000u) return GetSysColor(static_cast<int>(color & 0xFF));
    return color & 0x00FFFFFF;
}

Canvas::Canvas(HDC dc) : dc_(dc), saved_(dc ? SaveDC(dc) : 0) {}

Canvas::~Canvas() {
    // The DC gets back the objects it had; ours can then go.
    if (dc_ && saved_) RestoreDC(dc_, saved_);
    if (brush_) DeleteObject(brush_);
    if (pen_) DeleteObject(pen_);
}

HDC Canvas::Handle() {
    if (!dc_) return nullptr;
    SelectBrush();
    SelectFont();
    SelectPen();
    SetTextColor(dc_, ColorToRGB(font_.Color()));
    SetBkColor(dc_, ColorToRGB(brushColor_));
    SetBkMode(dc_, brushClear_ ? TRANSPARENT : OPAQUE);
    return dc_;
}

void Canvas::SelectBrush() {
    if (brushClear_) {
        SelectObject(dc_, GetStockObject(NULL_BRUSH));
        return;
    }
    if (!brush_) brush_ = CreateSolidBrush(ColorToRGB(brushColor_));
    SelectObject(dc_, brush_);
}

void Canvas::SelectFont() {
    HFONT f = font_.Handle();
    if (f) SelectObject(dc_, f);
    selectedFont_ = f;
}

void Canvas::SelectPen() {
    if (!pen_) pen_ = CreatePen(PS_SOLID, 1, ColorToRGB(penColor_));
    SelectObject(dc_, pen_);
}

void Canvas::SetBrushColor(COLORREF color) {
    brushClear_ = false;
    if (color == brushColor_ && brush_) return;
    brushColor_ = color;
    if (brush_) {
        if (dc_) SelectObject(dc_, GetStockObject(NULL_BRUSH));
        DeleteObject(brush_);
        brush_ = nullptr;
    }
}

void Canvas::SetBrushClear(bool clear) { brushClear_ = clear; }

void Canvas::SetFont(const Font& font) {
    // The old font's handle goes with it: never leave it selected.
    if (dc_ && selectedFont_) SelectObject(dc_, GetStockObject(SYSTEM_FONT));
    selectedFont_ = nullptr;
    font_ = font;
}

void Canvas::SetFontColor(COLORREF color) { font_.SetColor(color); }

void Canvas::SetFontBold(bool bold) {
    if (font_.Bold() == bold) return;
    Font changed = font_;
    changed.SetBold(bold);
    SetFont(changed);
}

void Canvas::SetPenColor(COLORREF color) {
    if (color == penColor_ && pen_) return;
    penColor_ = color;
    if (pen_) {
        if (dc_) SelectObject(dc_, GetStockObject(BLACK_PEN));
        DeleteObject(pen_);
        pen_ = nullptr;
    }
}

void Canvas::FillRect(const RECT& r) {
    if (brushClear_ || !dc_) return;
    HDC dc = Handle();
    ::FillRect(dc, &r, brush_);
}

void Canvas::FrameRect(const RECT& r) {
    if (brushClear_ || !dc_) return;
    HDC dc = Handle();
    ::FrameRect(dc, &r, brush_);
}

void Canvas::MoveTo(int x, int y) {
    if (dc_) MoveToEx(Handle(), x, y, nullptr);
}

void Canvas::LineTo(int x, int y) {
    if (dc_) ::LineTo(Handle(), x, y);
}

int Canvas::DrawText(const std::string& text, RECT& r, UINT flags) {
    if (!dc_) return 0;
    return ::DrawTextA(Handle(), text.c_str(), static_cast<int>(text.size()), &r, flags);
}

SIZE Canvas::TextExtent(const std::string& text) {
    SIZE s = {0, 0};
    if (dc_) GetTextExtentPoint32A(Handle(), text.c_str(), static_cast<int>(text.size()), &s);
    return s;
}

COLORREF Canvas::Pixel(int x, int y) { return dc_ ? GetPixel(dc_, x, y) : CLR_INVALID; }

void Canvas::SetPixel(int x, int y, COLORREF color) {
    if (dc_) ::SetPixel(dc_, x, y, ColorToRGB(color));
}

void Canvas::CopyRect(const RECT& dest, HDC sourceDC, const RECT& source) {
    if (!dc_ || !sourceDC) return;
    HDC dc = Handle();
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, dest.left, dest.top, dest.right - dest.left, dest.bottom - dest.top, sourceDC, source.left,
               source.top, source.right - source.left, source.bottom - source.top, SRCCOPY);
}

void FillSolid(HDC dc, const RECT& r, COLORREF color) {
    HBRUSH brush = CreateSolidBrush(color);
    ::FillRect(dc, &r, brush);
    DeleteObject(brush);
}

void HLine(HDC dc, int x0, int x1, int y, COLORREF color) { FillSolid(dc, RECT{x0, y, x1 + 1, y + 1}, color); }

void VLine(HDC dc, int x, int y0, int y1, COLORREF color) { FillSolid(dc, RECT{x, y0, x + 1, y1 + 1}, color); }

}  // namespace comp
