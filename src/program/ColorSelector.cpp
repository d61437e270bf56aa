// The colour button.
#include "ColorSelector.h"

#include "components/canvas.h"

#include <windowsx.h>

namespace {

using comp::FillSolid;
using comp::HLine;
using comp::VLine;

}  // namespace

void PaintColorSelector(HDC dc, int width, int height, COLORREF color, bool pressed, bool focused) {
    const int W = width, H = height, Q = W / 4, C = W - Q;
    const int d = pressed ? 1 : 0;  // the pressed look moves the inside one pixel right and down
    RECT all = {0, 0, W, H};
    DrawFrameControl(dc, &all, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));

    // The etched separator between the colour part and the arrow part.
    VLine(dc, C - 2 + d, 3 + d, H - 5 + d, 0x808080);
    VLine(dc, C - 1 + d, 3 + d, H - 4 + d, 0xFFFFFF);

    // The swatch in its black border.
    FillSolid(dc, RECT{5 + d, 4 + d, C - 5 + d, H - 4 + d}, 0x000000);
    FillSolid(dc, RECT{6 + d, 5 + d, C - 6 + d, H - 5 + d}, color & 0xFFFFFF);

    // The arrow: a black triangle (X, Y), (X + 4, Y), (X + 2, Y + 2).
    const int X = C + Q / 2 - 4 + d, Y = H / 2 - 1 + d;
    for (int k = 0; k < 3; ++k) FillSolid(dc, RECT{X + k, Y + k, X + 5 - k, Y + k + 1}, 0x000000);

    if (focused) {
        RECT focus = pressed ? RECT{4, 4, W - 2, H - 2} : RECT{3, 3, W - 3, H - 3};
        SetTextColor(dc, 0x000000);
        SetBkColor(dc, 0xFFFFFF);
        DrawFocusRect(dc, &focus);
    }
}

TColorSelector::TColorSelector(HWND parent, int left, int top, int width, int height) {
    comp::WindowParams p;
    p.className = "TColorSelector";
    p.style = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
    p.x = left;
    p.y = top;
    p.width = width;
    p.height = height;
    p.parent = parent;
    Create(p);
}

TColorSelector::~TColorSelector() {
    palettes_.clear();
    Destroy();
}

void TColorSelector::SetColor(COLORREF color) {
    if (color == color_) return;
    color_ = color;
    if (Handle()) Invalidate();
}

void TColorSelector::Click() {
    // Palettes that closed earlier go now; the new one is the selector's until it goes too.
    for (auto it = palettes_.begin(); it != palettes_.end();)
        it = (*it)->Handle() && IsWindowVisible((*it)->Handle()) ? it + 1 : palettes_.erase(it);

    POINT corner = {0, ClientHeight()};
    ClientToScreen(Handle(), &corner);
    palettes_.push_back(std::make_unique<TColorForm>(GetAncestor(Handle(), GA_ROOT)));
    TColorForm& palette = *palettes_.back();
    palette.OnSelectColor = [this](TColorForm& sender, COLORREF newColor) { ColorChosen(sender, newColor); };
    palette.SetCurrentColor(color_);
    palette.ShowAt(corner.x, corner.y, kPaletteWidth, kPaletteHeight);
    if (OnClick) OnClick(*this);
}

void TColorSelector::ColorChosen(TColorForm&, COLORREF NewColor) {
    if (NewColor == color_) return;
    color_ = NewColor;
    Invalidate();
    if (OnChangeColor) OnChangeColor(*this);
}

void TColorSelector::Paint(HDC dc) {
    PaintColorSelector(dc, ClientWidth(), ClientHeight(), color_, LooksPressed(), focused_);
}

void TColorSelector::SetMouseInside(bool inside) {
    if (inside && !trackingLeave_) {
        TRACKMOUSEEVENT tme = {sizeof tme, TME_LEAVE, Handle(), 0};
        trackingLeave_ = TrackMouseEvent(&tme) != FALSE;
    }
    if (inside == mouseInside_) return;
    mouseInside_ = inside;
    Invalidate();
}

LRESULT TColorSelector::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_ERASEBKGND:
            return 1;  // the paint covers the whole control
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(Handle(), &ps);
            Paint(dc);
            EndPaint(Handle(), &ps);
            return 0;
        }
        case WM_PRINTCLIENT:
            Paint(reinterpret_cast<HDC>(wParam));
            return 0;
        case WM_ENABLE:
            Invalidate();
            return 0;
        case WM_GETDLGCODE: {
            // Space and Enter are the selector's own: Enter drops the palette instead of pressing the
            // form's default button.
            const auto* m = reinterpret_cast<const MSG*>(lParam);
            LRESULT code = DLGC_WANTCHARS;
            if (m && (m->message == WM_KEYDOWN || m->message == WM_CHAR) && m->wParam == VK_RETURN)
                code |= DLGC_WANTMESSAGE;
            return code;
        }
        case WM_LBUTTONDOWN:
            pressed_ = true;
            mouseInside_ = true;
            SetCapture(Handle());
            Invalidate();
            ::SetFocus(Handle());
            return 0;
        case WM_LBUTTONUP: {
            const bool wasPressed = pressed_ && !spaceHeld_;
            POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            RECT client = ClientRect();
            const bool over = PtInRect(&client, pt) != FALSE;
            if (!spaceHeld_) pressed_ = false;
            if (GetCapture() == Handle()) ReleaseCapture();
            Invalidate();
            if (wasPressed && over) Click();
            return 0;
        }
        case WM_CAPTURECHANGED:
            if (pressed_ && !spaceHeld_ && reinterpret_cast<HWND>(lParam) != Handle()) {
                pressed_ = false;
                Invalidate();
            }
            return 0;
        case WM_MOUSEMOVE: {
            POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            RECT client = ClientRect();
            SetMouseInside(PtInRect(&client, pt) != FALSE);
            return 0;
        }
        case WM_MOUSELEAVE:
            trackingLeave_ = false;
            SetMouseInside(false);
            return 0;
        case WM_SETFOCUS:
            focused_ = true;
            Invalidate();
            return 0;
        case WM_KILLFOCUS:
            focused_ = false;
            Invalidate();
            return 0;
        case WM_KEYDOWN:
            if (wParam == VK_SPACE && !spaceHeld_) {
                pressed_ = true;
                spaceHeld_ = true;
                Invalidate();
                return 0;
            }
            return DefaultHandler(msg, wParam, lParam);
        case WM_KEYUP:
            if (wParam == VK_SPACE) {
                pressed_ = false;
                spaceHeld_ = false;
                Invalidate();
                Click();
                return 0;
            }
            return DefaultHandler(msg, wParam, lParam);
        case WM_CHAR:
            if (wParam == '\r') Click();
            return DefaultHandler(msg, wParam, lParam);
        default:
            return DefaultHandler(msg, wParam, lParam);
    }
}
