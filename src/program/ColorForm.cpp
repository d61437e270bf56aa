// The colour palette drop-down.
#include "ColorForm.h"

#include "components/commdlg.h"
#include "components/canvas.h"

#include <windowsx.h>

namespace {

using comp::FillSolid;
using comp::HLine;
using comp::VLine;

const COLORREF kColors[5][4] = {
    {0xFFFFFF, 0x000000, 0xC0C0C0, 0x808080},  // white, black, silver, gray
    {0x0000FF, 0x000080, 0x00FFFF, 0x008080},  // red, maroon, yellow, olive
    {0x00FF00, 0x008000, 0xFFFF00, 0x808000},  // lime, green, aqua, teal
    {0xFF0000, 0x800000, 0xFF00FF, 0x800080},  // blue, navy, fuchsia, purple
    {0xC0DCC0, 0xF0CAA6, 0xF0FBFF, 0xA4A0A0},  // money green, sky blue, cream, medium gray
};

constexpr COLORREF kGray = 0x808080;
constexpr COLORREF kWhite = 0xFFFFFF;
constexpr COLORREF kBlack = 0x000000;
constexpr COLORREF kLight = 0xDFDFDF;

// One ring along the inside of |r|: |topLeft| on the top and left edges, |bottomRight| on the bottom and
// right edges (which take the top-right and bottom-left corners).
void Ring(HDC dc, const RECT& r, COLORREF topLeft, COLORREF bottomRight) {
    VLine(dc, r.left, r.top, r.bottom - 1, topLeft);
    HLine(dc, r.left, r.right - 1, r.top, topLeft);
    VLine(dc, r.right - 1, r.top, r.bottom - 1, bottomRight);
    HLine(dc, r.left, r.right - 1, r.bottom - 1, bottomRight);
}

// A sunken cell filled with |color|.
void SunkenCell(HDC dc, const RECT& cell, COLORREF color) {
    Ring(dc, cell, kGray, kWhite);
    RECT inner = cell;
    InflateRect(&inner, -1, -1);
    Ring(dc, inner, kBlack, kLight);
    RECT fill = cell;
    InflateRect(&fill, -2, -2);
    FillSolid(dc, fill, color);
}

void Frame(HDC dc, const RECT& r, COLORREF color) {
    HBRUSH brush = CreateSolidBrush(color);
    FrameRect(dc, &r, brush);
    DeleteObject(brush);
}

}  // namespace

COLORREF PaletteColor(int column, int row) {
    if (column < 1 || column > 4 || row < 1 || row > 5) return 0;
    return kColors[row - 1][column - 1];
}

bool IsPaletteColor(COLORREF color) {
    for (const auto& row : kColors)
        for (COLORREF c : row)
            if (c == color) return true;
    return false;
}

RECT PaletteCellRect(int column, int row) {
    return RECT{18 * column - 14, 18 * row - 14, 18 * column + 2, 18 * row + 2};
}

RECT CustomCellRect(int width, int height) { return RECT{width - 20, height - 20, width - 4, height - 4}; }

int OtherButtonRight(bool customShown) { return customShown ? 56 : 65; }

RECT OtherButtonRect(int, int height, bool customShown) {
    return RECT{3, height - 21, OtherButtonRight(customShown), height - 3};
}

TPaletteCell InitialHotCell(COLORREF current) {
    for (int r = 1; r <= 5; ++r)
        for (int c = 1; c <= 4; ++c)
            if (PaletteColor(c, r) == current) return TPaletteCell{c, r};
    return kCustomCell;
}

TPaletteCell PaletteHitTest(int x, int y, int width, int height, bool customShown) {
    for (int r = 1; r <= 5; ++r)
        for (int c = 1; c <= 4; ++c)
            if (18 * c - 16 < x && x < 18 * c + 4 && 18 * r - 16 < y && y < 18 * r + 4) return TPaletteCell{c, r};
    if (customShown) {
        const RECT cell = CustomCellRect(width, height);
        if (cell.left < x && x < cell.right && cell.top < y && y < cell.bottom) return kCustomCell;
    }
    return kNoCell;
}

COLORREF CellColor(TPaletteCell cell, COLORREF current) {
    return cell.IsCustom() ? current : PaletteColor(cell.Column, cell.Row);
}

void PaintColorPalette(HDC dc, int width, int height, COLORREF current, TPaletteCell hot) {
    const bool customShown = !IsPaletteColor(current);
    RECT all = {0, 0, width, height};
    DrawFrameControl(dc, &all, DFC_BUTTON, DFCS_BUTTONPUSH);
    for (int r = 1; r <= 5; ++r)
        for (int c = 1; c <= 4; ++c) SunkenCell(dc, PaletteCellRect(c, r), PaletteColor(c, r));
    if (customShown) SunkenCell(dc, CustomCellRect(width, height), current);

    // The etched separator.
    HLine(dc, 4, width - 5, height - 25, kGray);
    HLine(dc, 4, width - 6, height - 24, kWhite);
    HLine(dc, width - 5, width - 5, height - 24, kGray);

    RECT other = OtherButtonRect(width, height, customShown);
    DrawFrameControl(dc, &other, DFC_BUTTON, DFCS_BUTTONPUSH);
    HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    DrawTextA(dc, "&Other...", -1, &other, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    SelectObject(dc, oldFont);

    if (!hot.IsNone() && (!hot.IsCustom() || customShown)) {
        RECT cell = hot.IsCustom() ? CustomCellRect(width, height) : PaletteCellRect(hot.Column, hot.Row);
        RECT outside = cell;
        InflateRect(&outside, 1, 1);
        RECT inside = cell;
        InflateRect(&inside, -1, -1);
        Frame(dc, outside, kBlack);
        Frame(dc, cell, kWhite);
        Frame(dc, inside, kBlack);
    }
}

// ---- the window

TColorForm::TColorForm(HWND owner) : owner_(owner) {
    comp::WindowParams p;
    p.className = "TColorForm";
    p.style = WS_POPUP | WS_CLIPCHILDREN;
    p.exStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW;
    p.x = 0;
    p.y = 0;
    p.width = kPaletteWidth;
    p.height = kPaletteHeight;
    p.parent = owner;  // the owner: the palette stays a top-level window
    Create(p);
}

void TColorForm::ShowAt(int x, int y, int width, int height) {
    hot_ = InitialHotCell(current_);
    SetWindowPos(Handle(), HWND_TOPMOST, x, y, width, height, SWP_SHOWWINDOW);
    SetForegroundWindow(Handle());
    SetActiveWindow(Handle());
    ::SetFocus(Handle());
    Invalidate();
}

void TColorForm::ClosePalette() {
    if (Handle() && IsWindowVisible(Handle())) ShowWindow(Handle(), SW_HIDE);
}

void TColorForm::Paint(HDC target) {
    const int width = ClientWidth(), height = ClientHeight();
    // Painted off screen, then copied in one block.
    HDC dc = CreateCompatibleDC(target);
    HBITMAP bitmap = CreateCompatibleBitmap(target, width, height);
    if (!dc || !bitmap) {
        if (bitmap) DeleteObject(bitmap);
        if (dc) DeleteDC(dc);
        PaintColorPalette(target, width, height, current_, hot_);
        return;
    }
    HGDIOBJ old = SelectObject(dc, bitmap);
    PaintColorPalette(dc, width, height, current_, hot_);
    BitBlt(target, 0, 0, width, height, dc, 0, 0, SRCCOPY);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

void TColorForm::MouseMove(int x, int y) {
    const TPaletteCell cell = PaletteHitTest(x, y, ClientWidth(), ClientHeight(), CustomShown());
    if (cell == hot_) return;
    hot_ = cell;
    Invalidate();
}

void TColorForm::Choose(COLORREF color) {
    // The palette closes also when the receiver of the choice fails.
    try {
        if (OnSelectColor) OnSelectColor(*this, color);
    } catch (...) {
        ClosePalette();
        throw;
    }
    ClosePalette();
}

void TColorForm::OtherClick() {
    comp::ColorDialog dialog;
    dialog.Color = current_;
    dialog.FullOpen = true;
    // The palette loses the activation to the dialog, which closes it.
    if (dialog.Execute(owner_)) {
        if (OnSelectColor) OnSelectColor(*this, dialog.Color);
    }
    ClosePalette();
}

void TColorForm::MouseDown(int x, int y) {
    const int width = ClientWidth(), height = ClientHeight();
    // The cell under the click, whatever was marked before.
    const TPaletteCell cell = PaletteHitTest(x, y, width, height, CustomShown());
    if (!cell.IsNone()) {
        Choose(CellColor(cell, current_));
        return;
    }
    const int right = OtherButtonRight(CustomShown());
    if (3 <= x && x <= right && height - 21 <= y && y <= height - 3) OtherClick();
}

LRESULT TColorForm::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(Handle(), &ps);
            try {
                Paint(dc);
            } catch (...) {
                EndPaint(Handle(), &ps);
                throw;
            }
            EndPaint(Handle(), &ps);
            return 0;
        }
        case WM_PRINTCLIENT:
            Paint(reinterpret_cast<HDC>(wParam));
            return 0;
        case WM_MOUSEMOVE:
            MouseMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            return 0;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            MouseDown(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            return 0;
        case WM_MOUSEACTIVATE:
            return MA_ACTIVATE;
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE) ClosePalette();
            return 0;
        default:
            return DefaultHandler(msg, wParam, lParam);
    }
}
