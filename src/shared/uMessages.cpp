// Message registration and the hidden message windows.
#include "uMessages.h"

#include "components/module.h"

UINT _3D_Popup;
UINT _3D_Gran_Opt;
UINT _3D_Exit;
UINT _3D_Options;
UINT _3D_Error;
UINT _3D_Gran_Options;
UINT _3D_Help;
UINT _3D_License;
UINT _3D_Tips;
UINT __3D_Popup;
UINT _3D_About;
UINT _3D_Create;
UINT _3D_DispProp;

const char* const kMessageNames[kMessageCount] = {
    "_3D_Popup", "_3D_Gran_Opt", "_3D_Exit",   "_3D_Options", "_3D_Error",  "_3D_Gran_Options", "_3D_Help",
    "_3D_License", "_3D_Tips",   "__3D_Popup", "_3D_About",   "_3D_Create", "_3D_DispProp"};

static UINT* const kMessageVars[kMessageCount] = {
    &_3D_Popup, &_3D_Gran_Opt, &_3D_Exit,  &_3D_Options, &_3D_Error,  &_3D_Gran_Options, &_3D_Help,
    &_3D_License, &_3D_Tips,   &__3D_Popup, &_3D_About,  &_3D_Create, &_3D_DispProp};

const char* const kControlWndClass = "_3DVexlorControlWnd";
const char* const kActiveXWndClass = "_3DVexlorActiveXWnd";

void RegisterMessages() {
    for (int i = 0; i < kMessageCount; ++i) *kMessageVars[i] = RegisterWindowMessageA(kMessageNames[i]);
}

UINT RegisteredMessage(int index) { return index >= 0 && index < kMessageCount ? *kMessageVars[index] : 0; }

HWND CreateMsgWindow(const char* className, WNDPROC proc) {
    HINSTANCE instance = comp::ModuleInstance();
    WNDCLASSA existing;
    bool registered = GetClassInfoA(instance, className, &existing) != 0;
    if (registered && existing.lpfnWndProc != DefWindowProcA) {
        UnregisterClassA(className, instance);
        registered = false;
    }
    if (!registered) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = instance;
        wc.lpszClassName = className;
        RegisterClassA(&wc);
    }
    HWND window = CreateWindowExA(WS_EX_TOOLWINDOW, className, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance,
                                  nullptr);
    if (window && proc) SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc));
    return window;
}

void DestroyMsgWindow(HWND& window) {
    if (window) DestroyWindow(window);
    window = nullptr;
}

LRESULT CALLBACK MsgWindowDefProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_DESTROY:
        case WM_CLOSE:
        case WM_QUERYENDSESSION:
        case WM_QUIT:
        case WM_USERCHANGED:
        case WM_NCDESTROY:
            return 1;
        default:
            return DefWindowProcA(window, msg, wParam, lParam);
    }
}

HWND FindActiveXWnd() { return FindWindowA(kActiveXWndClass, nullptr); }
HWND FindControlWnd() { return FindWindowA(kControlWndClass, nullptr); }

namespace {
struct MessagesUnit {
    MessagesUnit() { RegisterMessages(); }
} messagesUnit;
}  // namespace
