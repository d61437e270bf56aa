// Translucency, region and frame of menu windows.
#include "menus/SkMenuWindow.h"

#include "components/canvas.h"
#include "menus/SkLayeredWindows.h"
#include "menus/SkinMenus.h"

namespace {
unsigned gEffects = 0;

bool IsPopup(ISkinMenusIntf& menu) { return dynamic_cast<comp::PopupMenu*>(menu.GetMenu()) != nullptr; }

// The region of a popup menu's window: cut corners or the plain rectangle, with the shadow copy.
void ApplyRegion(HWND window, int w, int h) {
    HRGN region = nullptr;
    if (gEffects & weCutCorners) {
        const POINT corners[] = {{0, 0}, {w - 12, 0}, {w, 12}, {w, h}, {12, h}, {0, h - 12}, {0, 0}};
        region = CreatePolygonRgn(corners, 7, ALTERNATE);
    } else {
        const RECT b = {0, 0, w, h};
        region = CreateRectRgnIndirect(&b);
    }
    if (!region) return;
    if (gEffects & weShadow) {
        HRGN shadow = CreateRectRgn(0, 0, 0, 0);
        if (shadow) {
            CombineRgn(shadow, region, nullptr, RGN_COPY);
            OffsetRgn(shadow, 4, 4);
            CombineRgn(region, region, shadow, RGN_OR);
            DeleteObject(shadow);
        }
    }
    // The window owns the region from here on.
    if (!SetWindowRgn(window, region, TRUE)) DeleteObject(region);
}

class WindowDC {
public:
    explicit WindowDC(HWND window) : window_(window), dc_(GetWindowDC(window)) {}
    ~WindowDC() {
        if (dc_) ReleaseDC(window_, dc_);
    }
    HDC Handle() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

void Line(comp::Canvas& canvas, int x1, int y1, int x2, int y2) {
    canvas.MoveTo(x1, y1);
    canvas.LineTo(x2, y2);
}

}  // namespace

unsigned MenuWindowEffects() { return gEffects; }
void SetMenuWindowEffects(unsigned effects) { gEffects = effects & (weShadow | weCutCorners); }

void ApplyMenuAlpha(ISkinMenusIntf& menu, HWND window, BYTE alpha) {
    if (!window || !LayeredWindowsAvailable()) return;
    const LONG exStyle = GetWindowLongA(window, GWL_EXSTYLE);
    if (IsPopup(menu) && !(exStyle & WS_EX_LAYERED) && alpha < 255) {
        SetWindowLongA(window, GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
        SetLayeredWindowAttributesProc()(window, 0, alpha, LWA_ALPHA);
    }
}

void ShapeMenuWindow(ISkinMenusIntf& menu, HWND window) {
    if (!window || !menu.GetCustomFrame()) return;
    if (window == menu.GetMenu()->WindowHandle()) return;
    RECT wr;
    if (!GetWindowRect(window, &wr)) return;
    const int w = wr.right - wr.left, h = wr.bottom - wr.top;
    const LONG_PTR data = GetWindowLongPtrA(window, GWLP_USERDATA);
    if (!(data & 1)) {
        // Marked first: a region that fails is not tried again.
        SetWindowLongPtrA(window, GWLP_USERDATA, data | 1);
        if (IsPopup(menu)) ApplyRegion(window, w, h);
    }
    WindowDC dc(window);
    if (!dc.Handle()) return;
    comp::Canvas canvas(dc.Handle());
    RECT b = {0, 0, w, h};
    canvas.SetBrushColor(comp::clBtnShadow);
    canvas.FrameRect(b);
    InflateRect(&b, -1, -1);
    canvas.SetBrushColor(comp::clBtnFace);
    canvas.FrameRect(b);
    if (gEffects & weCutCorners) {
        const COLORREF pen = canvas.PenColor();
        canvas.SetPenColor(comp::clBtnShadow);
        Line(canvas, w - 13, 0, w, 13);
        Line(canvas, 0, h - 12, 12, h);
        canvas.SetPenColor(comp::clBtnFace);
        Line(canvas, w - 13, 1, w - 1, 13);
        Line(canvas, w - 14, 1, w - 1, 14);
        Line(canvas, 1, h - 12, 12, h - 1);
        Line(canvas, 1, h - 13, 13, h - 1);
        canvas.SetPenColor(pen);
    }
}
