// The tips dialog stays usable from the keyboard when the button that has the focus is disabled by the step
// it made (Next at the last tip, Back at the first): Escape still closes the dialog, Enter still reaches the
// default button Next.
#include "fixtures.h"
#include "frmTips.h"
#include "shared/uOptionsShared.h"
#include "test_windows.h"
#include "uTips.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

HWND Dlg() { return FindWindowA(kTipsFormClass, nullptr); }
HWND Btn(const char* caption) { return FindWindowExA(Dlg(), nullptr, "Button", caption); }

std::string MemoText() {
    char buffer[2048] = {};
    GetWindowTextA(FindWindowExA(Dlg(), nullptr, "Edit", nullptr), buffer, sizeof buffer);
    return buffer;
}

// A key as the system delivers it: WM_KEYDOWN/UP to the window with the focus, or WM_SYSKEYDOWN/UP to the
// active window when no window has the focus.
void PressKey(WPARAM vk) {
    HWND focus = GetFocus();
    if (focus) {
        PostMessageA(focus, WM_KEYDOWN, vk, 1);
        PostMessageA(focus, WM_KEYUP, vk, 0xC0000001);
    } else {
        HWND active = GetActiveWindow() ? GetActiveWindow() : Dlg();
        PostMessageA(active, WM_SYSKEYDOWN, vk, 1);
        PostMessageA(active, WM_SYSKEYUP, vk, 0xC0000001);
    }
}

bool FocusInDialog() {
    HWND f = GetFocus();
    return f && (f == Dlg() || IsChild(Dlg(), f)) && IsWindowEnabled(f);
}

// Runs ShowTips with one step per timer tick while it is open. Two more ticks follow the steps: a pause, then
// WM_CLOSE for a dialog that the steps' keys left open. True when the steps' keys closed it themselves.
bool ClosedByTheSteps(std::vector<std::function<void()>> steps) {
    const size_t count = steps.size();
    steps.push_back([] {});
    steps.push_back([] { PostMessageA(Dlg(), WM_CLOSE, 0, 0); });
    const size_t ran = testing_support::RunWithSteps(ShowTips, steps, 60, [] { return Dlg() != nullptr; });
    EXPECT_GE(ran, count) << "the dialog closed before every step ran";
    return ran <= count + 1;
}

}  // namespace

TEST(TipsKeyboard, DisablingTheFocusedButtonKeepsTheKeysWorking) {
    testing_support::RegistrySandbox sandbox;
    SetDefaultSettings();

    // Enter on Next at tip 3 shows tip 4 and disables Next; Escape then still closes the dialog.
    CurrentTip = 3;
    std::string shown;
    bool focusKept = false, nextEnabled = true;
    bool closed = ClosedByTheSteps({
        [&] {
            SetForegroundWindow(Dlg());
            SetFocus(Btn("Next"));
            PressKey(VK_RETURN);
        },
        [&] {
            shown = MemoText();
            nextEnabled = IsWindowEnabled(Btn("Next")) != FALSE;
            focusKept = FocusInDialog();
            PressKey(VK_ESCAPE);
        },
    });
    EXPECT_EQ(TipText(4), shown);
    EXPECT_FALSE(nextEnabled);
    EXPECT_TRUE(focusKept);
    EXPECT_TRUE(closed) << "Escape did not close the dialog once Next was disabled";
    EXPECT_EQ(nullptr, Dlg());

    // Space on Back at tip 2 shows tip 1 and disables Back; Enter then goes to the default button Next.
    CurrentTip = 2;
    std::string first, afterEnter;
    focusKept = false;
    closed = ClosedByTheSteps({
        [&] {
            SetForegroundWindow(Dlg());
            SetFocus(Btn("Back"));
            PressKey(VK_SPACE);
        },
        [&] {
            first = MemoText();
            focusKept = FocusInDialog();
            PressKey(VK_RETURN);
        },
        [&] {
            afterEnter = MemoText();
            PressKey(VK_ESCAPE);
        },
    });
    EXPECT_EQ(TipText(1), first);
    EXPECT_TRUE(focusKept);
    EXPECT_EQ(TipText(2), afterEnter);
    EXPECT_TRUE(closed) << "Escape did not close the dialog";
    EXPECT_EQ(nullptr, Dlg());

    // Opened again at the last tip, where the default button Next is disabled: the keys work from the start.
    CurrentTip = 4;
    focusKept = false;
    closed = ClosedByTheSteps({
        [&] {
            focusKept = FocusInDialog();
            PressKey(VK_ESCAPE);
        },
    });
    EXPECT_TRUE(focusKept);
    EXPECT_TRUE(closed) << "Escape did not close the dialog opened at the last tip";
    EXPECT_EQ(nullptr, Dlg());
}
