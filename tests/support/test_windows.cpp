// Message pump, steps during a modal loop, the recording stand-in window, a host window and the desktop window tree.
#include "test_windows.h"

#include <commctrl.h>

#include "components/timer.h"

namespace testing_support {

static void HandleWaitingMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void Pump(DWORD ms) {
    const DWORD start = GetTickCount();
    do {
        HandleWaitingMessages();
        Sleep(5);
    } while (GetTickCount() - start < ms);
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeoutMs) return false;
        HandleWaitingMessages();
        Sleep(20);
    }
    return true;
}

size_t RunWithSteps(const std::function<void()>& modal, const std::vector<std::function<void()>>& steps,
                    UINT intervalMs, const std::function<bool()>& ready) {
    comp::Timer timer;
    size_t next = 0;
    timer.SetInterval(intervalMs);
    timer.OnTimer = [&](comp::Timer& t) {
        if (ready && !ready()) return;
        if (next < steps.size()) steps[next++]();
        else t.SetEnabled(false);
    };
    timer.SetEnabled(true);
    modal();
    timer.SetEnabled(false);
    return next;
}

FakePeer::FakePeer(const char* className) : className_(className) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = &FakePeer::Proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = className_.c_str();
    RegisterClassA(&wc);
    hwnd_ = CreateWindowExA(WS_EX_TOOLWINDOW, className_.c_str(), "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                            wc.hInstance, nullptr);
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

FakePeer::~FakePeer() {
    DestroyWindow(hwnd_);
    UnregisterClassA(className_.c_str(), GetModuleHandleA(nullptr));
}

int FakePeer::Count(UINT msg) const {
    int n = 0;
    for (const Message& m : messages_) n += m.msg == msg;
    return n;
}

LRESULT CALLBACK FakePeer::Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<FakePeer*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (self && msg >= 0xC000) self->messages_.push_back({msg, wParam, lParam});
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

HostWindow::HostWindow(const char* className, const char* title, int width, int height) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = className;
    RegisterClassA(&wc);
    hwnd_ = CreateWindowExA(0, className, title, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, width, height, nullptr,
                            nullptr, wc.hInstance, nullptr);
    ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
}

void HostWindow::Close() {
    if (hwnd_) DestroyWindow(hwnd_);
    hwnd_ = nullptr;
}

RECT HostWindow::Client() const {
    RECT r = {};
    GetClientRect(hwnd_, &r);
    return r;
}

FakeDesktopTree::FakeDesktopTree() {
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "Progman";
    RegisterClassA(&wc);
    wc.lpszClassName = "SHELLDLL_DefView";
    RegisterClassA(&wc);
    progman_ = CreateWindowExA(WS_EX_TOOLWINDOW, "Progman", "Program Manager", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                               wc.hInstance, nullptr);
    view_ = CreateWindowExA(0, "SHELLDLL_DefView", "", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, progman_, nullptr,
                            wc.hInstance, nullptr);
    list_ = CreateWindowExA(0, WC_LISTVIEWA, "FolderView", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, view_, nullptr,
                            wc.hInstance, nullptr);
}

FakeDesktopTree::~FakeDesktopTree() {
    DestroyWindow(progman_);
    UnregisterClassA("Progman", GetModuleHandleA(nullptr));
    UnregisterClassA("SHELLDLL_DefView", GetModuleHandleA(nullptr));
}

}  // namespace testing_support
