// Window helpers of the tests: a message pump, steps run while a modal loop runs, a stand-in window of a
// given class that records the registered messages (the system's own, 0xC000 and up) posted or sent to
// it, a host window for in-place children and a stand-in for the shell's desktop window tree.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace testing_support {

// Handles the calling thread's messages for |ms| milliseconds.
void Pump(DWORD ms);

// Handles the thread's messages until |done| answers true, for |timeoutMs| at the most; false on timeout.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs);

// Calls |modal| (something that runs its own message loop, a modal dialog for one) and meanwhile runs one
// of |steps| on each tick of an |intervalMs| timer; with |ready|, only on ticks where it answers true.
// Returns how many steps ran.
size_t RunWithSteps(const std::function<void()>& modal, const std::vector<std::function<void()>>& steps,
                    UINT intervalMs, const std::function<bool()>& ready = nullptr);

// A hidden top-level window of class |className|, as another part of the system would make it, that records
// the registered messages it receives. The class is registered for the window's life.
class FakePeer {
public:
    struct Message {
        UINT msg;
        WPARAM wParam;
        LPARAM lParam;
    };

    explicit FakePeer(const char* className);
    ~FakePeer();
    FakePeer(const FakePeer&) = delete;
    FakePeer& operator=(const FakePeer&) = delete;

    HWND Handle() const { return hwnd_; }
    // How many times |msg| arrived.
    int Count(UINT msg) const;
    // Every registered message that arrived, in order.
    const std::vector<Message>& Messages() const { return messages_; }

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    std::string className_;
    HWND hwnd_ = nullptr;
    std::vector<Message> messages_;
};

// A shown (not activated) top-level window of its own class, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, as a
// container's in-place parent would be. Destroyed at the end unless closed before.
class HostWindow {
public:
    HostWindow(const char* className, const char* title, int width, int height);
    ~HostWindow() { Close(); }
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;

    void Close();
    HWND Handle() const { return hwnd_; }
    RECT Client() const;

private:
    HWND hwnd_ = nullptr;
};

// A stand-in for the shell's desktop window tree: "Progman" -> "SHELLDLL_DefView" -> "SysListView32".
class FakeDesktopTree {
public:
    FakeDesktopTree();
    ~FakeDesktopTree();
    FakeDesktopTree(const FakeDesktopTree&) = delete;
    FakeDesktopTree& operator=(const FakeDesktopTree&) = delete;

    HWND ListView() const { return list_; }
    bool ListViewShown() const { return (GetWindowLongA(list_, GWL_STYLE) & WS_VISIBLE) != 0; }

private:
    HWND progman_ = nullptr, view_ = nullptr, list_ = nullptr;
};

}  // namespace testing_support
