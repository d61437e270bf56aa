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
    if (window == c->desktop || window == c->control || !IsWindowVisible(window) || IsHungAppWindow(window))
        return TRUE;
    try {
        c->windows.push_back(window);
        return TRUE;
    } catch (...) {
        return FALSE;  // out of memory: the windows collected so far are raised
    }
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

bool KeepBeneath(HWND desktop, HWND control) {
    Collected c{desktop, control, {}};
    EnumWindows(CollectOther, reinterpret_cast<LPARAM>(&c));
    bool topmostShown = false;
    for (HWND w : c.windows) topmostShown = topmostShown || (GetWindowLongPtrA(w, GWL_EXSTYLE) & WS_EX_TOPMOST);
    // Wine restacks an X window only when the window becomes the first of the Z order: ours goes first, so
    // that each of the others, raised from the bottom up, does. With a topmost window shown (a tooltip,
    // say) that takes ours above the topmost band for a moment, and each other window passes through it.
    const HWND top = topmostShown ? HWND_TOPMOST : HWND_TOP;
    HWND ours = control ? control : desktop;
    SetWindowPos(ours, top, 0, 0, 0, 0, kRestackOnly);
    for (auto it = c.windows.rbegin(); it != c.windows.rend(); ++it) {
        const bool topmost = (GetWindowLongPtrA(*it, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
        SetWindowPos(*it, top, 0, 0, 0, 0, kRestackOnly);
        if (topmostShown && !topmost) SetWindowPos(*it, HWND_NOTOPMOST, 0, 0, 0, 0, kRestackOnly);
    }
    // To the bottom, which also ends a topmost moment (leaving the band on top would make ours the first
    // again, and raise it).
    if (control) SetWindowPos(control, HWND_BOTTOM, 0, 0, 0, 0, kRestackOnly);
    SetWindowPos(desktop, HWND_BOTTOM, 0, 0, 0, 0, kRestackOnly);
    return topmostShown;
}

}  // namespace desktop
