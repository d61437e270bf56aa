// The window base: a window class of our own whose procedure finds the C++ object of a window and
// hands it each message. Every message runs inside a catch-all: no exception leaves the procedure.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace comp {

// What the application does with an exception that reached a window procedure, timer or callback.
// The default shows the message in a message box; tests and hosts may install their own.
using ExceptionHandler = std::function<void(const std::exception&)>;
void SetExceptionHandler(ExceptionHandler handler);
// Neither lets anything out, not even when no memory is left: they are called from catch blocks at the
// boundaries.
void HandleException(const std::exception& e) noexcept;
// Reports an exception of no known type ("Unknown exception").
void HandleUnknownException() noexcept;

// Runs |body|; an exception that escapes it goes to the application's exception handler.
template <typename F>
void Guarded(F&& body) noexcept {
    try {
        body();
    } catch (const std::exception& e) {
        HandleException(e);
    } catch (...) {
        HandleUnknownException();
    }
}

// Runs |body| and drops any exception it raises.
template <typename F>
void Quietly(F&& body) noexcept {
    try {
        body();
    } catch (...) {
    }
}

struct WindowParams {
    std::string className;       // registered on first use under the module's instance
    UINT classStyle = 0;         // CS_DBLCLKS etc.
    HBRUSH background = nullptr; // class background brush
    HCURSOR cursor = nullptr;    // nullptr: the arrow
    DWORD style = WS_OVERLAPPEDWINDOW;
    DWORD exStyle = 0;
    std::string caption;
    int x = CW_USEDEFAULT, y = CW_USEDEFAULT, width = CW_USEDEFAULT, height = CW_USEDEFAULT;
    HWND parent = nullptr;
    HMENU menuOrId = nullptr;
};

class Window {
public:
    Window() = default;
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // Creates the window; raises EOSError on failure.
    void Create(const WindowParams& params);
    void Destroy();

    HWND Handle() const { return hwnd_; }
    bool HandleAllocated() const { return hwnd_ != nullptr; }

    void Show(int command = SW_SHOW) { ShowWindow(hwnd_, command); }
    void Hide() { ShowWindow(hwnd_, SW_HIDE); }
    bool Visible() const { return hwnd_ && IsWindowVisible(hwnd_); }
    void SetBounds(int left, int top, int width, int height);
    RECT ClientRect() const;
    int ClientWidth() const;
    int ClientHeight() const;
    void SetText(const std::string& text);
    std::string Text() const;
    void Invalidate() { InvalidateRect(hwnd_, nullptr, TRUE); }

    // The object behind a window made by this class, or nullptr.
    static Window* FromHandle(HWND hwnd);
    // The procedure that window classes of this layer register.
    static WNDPROC ClassProcedure();

protected:
    // One message. The default hands it to the default procedure.
    virtual LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT DefaultHandler(UINT msg, WPARAM wParam, LPARAM lParam);
    // Called once the window is gone (after WM_NCDESTROY).
    virtual void Destroyed() {}

private:
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    HWND hwnd_ = nullptr;
};

// Registers a window class with the procedure of Window under the module's instance (once).
void RegisterWindowClass(const WindowParams& params);

}  // namespace comp
