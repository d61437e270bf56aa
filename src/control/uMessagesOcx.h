// The control's side of the traffic with the control program: posting requests to the control
// program's hidden window, and the control's own hidden message window of class "_3DVexlorActiveXWnd".
#pragma once

#include <windows.h>

// Finds the control program's window of class "_3DVexlorControlWnd"; when it exists, brings it to the
// foreground and posts the message to it; when it does not, does nothing.
void PostToControlWnd(UINT msg, WPARAM wParam, LPARAM lParam);

// What the hidden window's messages address: the control that made the window.
class IActiveXWndTarget {
public:
    // _3D_Popup: show the context menu at the cursor.
    virtual void ShowPopupAtCursor() = 0;
    // _3D_Gran_Opt: apply the face parameters now in "Opt.ini" (only when wParam is 1).
    virtual void ApplyFaceOptions(WPARAM wParam) = 0;

protected:
    ~IActiveXWndTarget() = default;
};

// The hidden window is one per loaded library. CreateActiveXWnd destroys a window that exists, makes
// a new one and makes |owner| the target of its messages. DestroyActiveXWnd destroys it only when
// |owner| is the control that made it (another control's call leaves it alone); DestroyActiveXWnd(nullptr)
// destroys whatever is left (library unload).
void CreateActiveXWnd(IActiveXWndTarget* owner);
void DestroyActiveXWnd(IActiveXWndTarget* owner);

// The handle of the hidden window (0 when none) and the control it addresses.
HWND ActiveXWndHandle();
IActiveXWndTarget* ActiveXWndTarget();

LRESULT CALLBACK ActiveXWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
