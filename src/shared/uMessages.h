// The registered window messages between the two processes, and the hidden message windows that
// each side finds by class name.
#pragma once

#include <windows.h>

// Message numbers, registered by name when the module loads (0 when a registration failed).
extern UINT _3D_Popup;
extern UINT _3D_Gran_Opt;
extern UINT _3D_Exit;
extern UINT _3D_Options;
extern UINT _3D_Error;
extern UINT _3D_Gran_Options;
extern UINT _3D_Help;
extern UINT _3D_License;
extern UINT _3D_Tips;
extern UINT __3D_Popup;
extern UINT _3D_About;
extern UINT _3D_Create;
extern UINT _3D_DispProp;

// The thirteen names, in the order of registration.
constexpr int kMessageCount = 13;
extern const char* const kMessageNames[kMessageCount];
// The thirteen numbers, in the same order.
UINT RegisteredMessage(int index);
void RegisterMessages();

// True when |msg| is the registered message |registered|; a failed registration (0) never matches.
inline bool IsMessage(UINT msg, UINT registered) { return registered != 0 && msg == registered; }

extern const char* const kControlWndClass;   // "_3DVexlorControlWnd"
extern const char* const kActiveXWndClass;   // "_3DVexlorActiveXWnd"

// A hidden top-level WS_POPUP window of |className| (registered with DefWindowProcA under the module's
// instance); |proc|, when given, is installed on it. 0 when creation fails.
HWND CreateMsgWindow(const char* className, WNDPROC proc);
void DestroyMsgWindow(HWND& window);
// The default for the hidden windows: closing, ending the session and quitting are answered 1 and
// not processed further.
LRESULT CALLBACK MsgWindowDefProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

HWND FindActiveXWnd();
HWND FindControlWnd();
