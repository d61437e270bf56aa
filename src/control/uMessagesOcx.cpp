// Requests to the control program and the control's hidden message window.
#include "uMessagesOcx.h"

#include "shared/uMessages.h"

namespace {

// One hidden window per loaded library, shared by every control in the process.
HWND gActiveXWnd = nullptr;
IActiveXWndTarget* gActiveXTarget = nullptr;

// The library's unloading destroys a window that is left.
struct ActiveXWndCleanup {
    ~ActiveXWndCleanup() {
        if (gActiveXWnd && IsWindow(gActiveXWnd)) DestroyMsgWindow(gActiveXWnd);
        gActiveXWnd = nullptr;
        gActiveXTarget = nullptr;
    }
} gCleanup;

}  // namespace

void PostToControlWnd(UINT msg, WPARAM wParam, LPARAM lParam) {
    HWND wnd = FindWindowA(kControlWndClass, nullptr);
    if (!wnd) return;
    SetForegroundWindow(wnd);
    PostMessageA(wnd, msg, wParam, lParam);
}

void CreateActiveXWnd(IActiveXWndTarget* owner) {
    if (gActiveXWnd) DestroyMsgWindow(gActiveXWnd);
    gActiveXTarget = owner;
    gActiveXWnd = CreateMsgWindow(kActiveXWndClass, &ActiveXWndProc);
}

void DestroyActiveXWnd(IActiveXWndTarget* owner) {
    if (owner && owner != gActiveXTarget) return;
    if (gActiveXWnd) DestroyMsgWindow(gActiveXWnd);
    gActiveXWnd = nullptr;
    gActiveXTarget = nullptr;
}

HWND ActiveXWndHandle() { return gActiveXWnd; }
IActiveXWndTarget* ActiveXWndTarget() { return gActiveXTarget; }

LRESULT CALLBACK ActiveXWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    // No exception leaves this procedure: a failing command ends there.
    try {
        if (IsMessage(msg, _3D_Popup)) {
            if (gActiveXTarget) gActiveXTarget->ShowPopupAtCursor();
            return 1;
        }
        if (IsMessage(msg, _3D_Gran_Opt)) {
            if (gActiveXTarget) gActiveXTarget->ApplyFaceOptions(wParam);
            return 1;
        }
    } catch (...) {
        return 1;
    }
    return MsgWindowDefProc(hwnd, msg, wParam, lParam);
}
