// Window class registration and message routing.
#include "window.h"

#include "exceptions.h"
#include "menus.h"
#include "module.h"

namespace comp {

static ExceptionHandler& CurrentHandler() {
    static ExceptionHandler handler;
    return handler;
}

void SetExceptionHandler(ExceptionHandler handler) { CurrentHandler() = std::move(handler); }

void HandleException(const std::exception& e) noexcept {
    try {
        if (CurrentHandler()) {
            CurrentHandler()(e);
            return;
        }
        MessageBoxA(nullptr, e.what(), "Error", MB_OK | MB_ICONERROR | MB_TASKMODAL);
    } catch (...) {
    }
}

namespace {
// What the handler gets for an exception of no known type. Its text is a literal: making it needs no
// memory, so reporting it can't fail where the exception itself came from a lack of memory.
class UnknownException : public std::exception {
public:
    const char* what() const noexcept override { return "Unknown exception"; }
};
}  // namespace

void HandleUnknownException() noexcept { HandleException(UnknownException()); }

static const char* const kObjectProperty = "comp.Window";

void RegisterWindowClass(const WindowParams& params) {
    WNDCLASSA existing;
    if (GetClassInfoA(ModuleInstance(), params.className.c_str(), &existing)) return;
    WNDCLASSA wc = {};
    wc.style = params.classStyle;
    wc.lpfnWndProc = Window::ClassProcedure();
    wc.hInstance = ModuleInstance();
    wc.hCursor = params.cursor ? params.cursor : LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = params.background;
    wc.lpszClassName = params.className.c_str();
    if (!RegisterClassA(&wc)) RaiseLastOSError("RegisterClass " + params.className);
}

Window::~Window() { Destroy(); }

void Window::Create(const WindowParams& params) {
    RegisterWindowClass(params);
    HWND hwnd = CreateWindowExA(params.exStyle, params.className.c_str(), params.caption.c_str(), params.style,
                                params.x, params.y, params.width, params.height, params.parent, params.menuOrId,
                                ModuleInstance(), this);
    if (!hwnd) RaiseLastOSError("CreateWindow " + params.className);
}

void Window::Destroy() {
    if (hwnd_) DestroyWindow(hwnd_);  // WM_NCDESTROY clears hwnd_
    hwnd_ = nullptr;
}

void Window::SetBounds(int left, int top, int width, int height) {
    SetWindowPos(hwnd_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

RECT Window::ClientRect() const {
    RECT r = {};
    if (hwnd_) GetClientRect(hwnd_, &r);
    return r;
}

int Window::ClientWidth() const {
    RECT r = ClientRect();
    return r.right - r.left;
}

int Window::ClientHeight() const {
    RECT r = ClientRect();
    return r.bottom - r.top;
}

void Window::SetText(const std::string& text) { SetWindowTextA(hwnd_, text.c_str()); }

std::string Window::Text() const {
    int n = GetWindowTextLengthA(hwnd_);
    std::string s(static_cast<size_t>(n) + 1, '\0');
    n = GetWindowTextA(hwnd_, &s[0], n + 1);
    s.resize(static_cast<size_t>(n));
    return s;
}

Window* Window::FromHandle(HWND hwnd) { return static_cast<Window*>(GetPropA(hwnd, kObjectProperty)); }

LRESULT Window::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) { return DefaultHandler(msg, wParam, lParam); }

LRESULT Window::DefaultHandler(UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(hwnd_, msg, wParam, lParam);
}

LRESULT CALLBACK Window::Procedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    Window* self = FromHandle(hwnd);
    if (!self && msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTA*>(lParam);
        self = static_cast<Window*>(cs->lpCreateParams);
        if (self) {
            self->hwnd_ = hwnd;
            SetPropA(hwnd, kObjectProperty, self);
        }
    }
    if (!self) return DefWindowProcA(hwnd, msg, wParam, lParam);

    LRESULT result = 0;
    bool handled = false;
    try {
        // Requests of the menus this layer builds come first: whoever owns the menu, its items answer.
        if (!DispatchMenuMessage(hwnd, msg, wParam, lParam, result)) result = self->HandleMessage(msg, wParam, lParam);
        handled = true;
    } catch (const std::exception& e) {
        HandleException(e);
    } catch (...) {
        HandleUnknownException();
    }
    if (!handled && msg != WM_NCDESTROY) result = DefWindowProcA(hwnd, msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        RemovePropA(hwnd, kObjectProperty);
        self->hwnd_ = nullptr;
        try {
            self->Destroyed();
        } catch (...) {
        }
    }
    return result;
}

WNDPROC Window::ClassProcedure() { return &Window::Procedure; }

}  // namespace comp
