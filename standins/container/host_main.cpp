// vexlor_host: hosts one ActiveX control on the display.
//   vexlor_host <CLSID or ProgID> [--desktop] [--dll <path>] [--seconds <n>]
// Without --desktop the control fills a top-level window of 800 x 600; with it, the control's in-place
// parent is the desktop window and the control fills the screen. --dll hosts from a library file
// without registration. The host ends when its window is closed (WM_CLOSE to the window of class
// "VexlorControlHost"), after --seconds, or when creation fails (exit code 1).
#include <windows.h>
#include <ole2.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "container.h"

namespace {

container::ControlHost* gHost = nullptr;

LRESULT CALLBACK HostWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_SIZE:
            if (gHost && gHost->Active() && gHost->ParentWindow() == hwnd) {
                RECT r = {0, 0, LOWORD(lParam), HIWORD(lParam)};
                gHost->SetBounds(r);
            }
            return 0;
        case WM_CLOSE:
        case WM_TIMER:
            if (gHost) gHost->Destroy();
            DestroyWindow(hwnd);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

bool ParseClassId(const std::string& text, CLSID& clsid) {
    std::wstring w(text.begin(), text.end());
    if (!text.empty() && text[0] == '{') return SUCCEEDED(CLSIDFromString(const_cast<LPOLESTR>(w.c_str()), &clsid));
    return SUCCEEDED(CLSIDFromProgID(w.c_str(), &clsid));
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    std::string classText, dllPath;
    bool onDesktop = false;
    int seconds = 0;
    for (int i = 1; i < __argc; ++i) {
        std::string a = __argv[i];
        if (a == "--desktop")
            onDesktop = true;
        else if (a == "--dll" && i + 1 < __argc)
            dllPath = __argv[++i];
        else if (a == "--seconds" && i + 1 < __argc)
            seconds = atoi(__argv[++i]);
        else
            classText = a;
    }
    if (FAILED(OleInitialize(nullptr))) return 1;
    CLSID clsid = {};
    if (!ParseClassId(classText, clsid)) {
        OleUninitialize();
        return 1;
    }

    WNDCLASSA wc = {};
    wc.lpfnWndProc = HostWndProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = "VexlorControlHost";
    RegisterClassA(&wc);
    HWND frame = CreateWindowExA(onDesktop ? WS_EX_TOOLWINDOW : 0, "VexlorControlHost", "Control host",
                                 onDesktop ? WS_POPUP : (WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN), 0, 0,
                                 onDesktop ? 0 : 800, onDesktop ? 0 : 600, nullptr, nullptr, instance, nullptr);
    if (!frame) {
        OleUninitialize();
        return 1;
    }
    if (!onDesktop) ShowWindow(frame, SW_SHOW);

    int code = 0;
    {
        container::ControlHost host;
        gHost = &host;
        HWND parent = onDesktop ? GetDesktopWindow() : frame;
        HRESULT hr = dllPath.empty() ? host.Create(clsid, parent) : host.CreateFromLibrary(dllPath, clsid, parent);
        if (FAILED(hr)) {
            code = 1;
            DestroyWindow(frame);
        } else {
            if (seconds > 0) SetTimer(frame, 1, static_cast<UINT>(seconds) * 1000, nullptr);
            container::RunHostMessageLoop(host);
        }
        host.Destroy();
        gHost = nullptr;
    }
    OleUninitialize();
    return code;
}
