// Keeping the stand-in desktop beneath the other windows on Wine's X display.
#include "stacking.h"

#include <vector>

namespace desktop {

namespace {

struct Collected {
    HWND desktop;
    HWND control;
    std::vector<HWND> windows;  // top first
};

BOOL CALLBACK CollectOther(HWND window, LPARAM data) {
    auto* c = reinterpret_cast<Collected*>(data);
    if (window != c->desktop && window != c->control && IsWindowVisible(window) && !IsHungAppWindow(window))
        c->windows.push_back(window);
    return TRUE;
}

const UINT kRestackOnly = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER;

}  // namespace

RECT HostedControlBounds() {
    return RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN) - 1};
}

void MakeFocusable(HWND control) {
    LONG_PTR style = GetWindowLongPtrA(control, GWL_STYLE);
    SetWindowLongPtrA(control, GWL_STYLE, (style & ~static_cast<LONG_PTR>(WS_CHILD)) | WS_POPUP);
    const RECT r = HostedControlBounds();
    SetWindowPos(control, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOOWNERZORDER | SWP_FRAMECHANGED);
}

void KeepBeneath(HWND desktop, HWND control) {
    Collected c{desktop, control, {}};
    EnumWindows(CollectOther, reinterpret_cast<LPARAM>(&c));
    // Wine restacks an X window only when the window becomes the first of the Z order: ours go first, so
    // that each of the others, raised from the bottom up, does.
    HWND ours = control ? control : desktop;
    SetWindowPos(ours, HWND_TOP, 0, 0, 0, 0, kRestackOnly);
    for (auto it = c.windows.rbegin(); it != c.windows.rend(); ++it)
        SetWindowPos(*it, HWND_TOP, 0, 0, 0, 0, kRestackOnly);
    if (control) SetWindowPos(control, HWND_BOTTOM, 0, 0, 0, 0, kRestackOnly);
    SetWindowPos(desktop, HWND_BOTTOM, 0, 0, 0, 0, kRestackOnly);
}

}  // namespace desktop
