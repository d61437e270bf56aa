// The tips dialog, driven while it runs modally: tips and buttons, the kept tip number, the check box
// saved into the settings, Enter and Escape, one dialog at a time.
#include "components/stdctrls.h"
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

HWND TipsWindow() { return FindWindowA(kTipsFormClass, nullptr); }

// Finds a child control of the open dialog by its caption (class BUTTON or EDIT).
HWND Child(const char* className, const char* caption) {
    return FindWindowExA(TipsWindow(), nullptr, className, caption);
}

HWND Memo() { return FindWindowExA(TipsWindow(), nullptr, "Edit", nullptr); }

std::string TextOf(HWND w) {
    char buffer[2048] = {};
    GetWindowTextA(w, buffer, sizeof buffer);
    return buffer;
}

// Runs ShowTips; each step runs once on a timer tick while the dialog is open, the last one should close it.
void RunTips(const std::vector<std::function<void()>>& steps) {
    const size_t ran = testing_support::RunWithSteps(ShowTips, steps, 40, [] { return TipsWindow() != nullptr; });
    EXPECT_EQ(steps.size(), ran) << "the dialog closed before every step ran";
}

void Click(HWND button) { SendMessageA(button, BM_CLICK, 0, 0); }

void Key(HWND target, WPARAM vk) {
    PostMessageA(target, WM_KEYDOWN, vk, 1);
    PostMessageA(target, WM_KEYUP, vk, 0xC0000001);
}

int32_t StoredTips() {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return -1;
    DWORD value = 0, size = sizeof value, type = 0;
    LONG rc = RegQueryValueExA(key, "Tips", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(key);
    return rc == ERROR_SUCCESS ? static_cast<int32_t>(value) : -1;
}

}  // namespace

TEST(Tips, TableHoldsTheFourTips) {
    EXPECT_EQ(0u, TipText(1).find("Rotating Lunark: Press and Hold Left CTRL"));
    EXPECT_NE(std::string::npos, TipText(1).find("\r\nToggle Lunark view (Outside/inside): CTRL+I or CTRL+i\r\n"));
    EXPECT_NE(std::string::npos, TipText(2).find("beside \"Hide Default Windows Icons\"."));
    EXPECT_EQ(std::string::npos, TipText(2).find('\r'));
    EXPECT_NE(std::string::npos, TipText(3).find("(Jpg and Bmp files are accepted)"));
    EXPECT_NE(std::string::npos, TipText(4).find("on the desktop number.\r\nTips: Lunark desktop icons"));
    EXPECT_EQ("", TipText(0));
    EXPECT_EQ("", TipText(5));
}

TEST(Tips, BackNextCheckBoxAndSaving) {
    testing_support::RegistrySandbox sandbox;
    SetDefaultSettings();
    Settings.Tips = true;
    CurrentTip = 1;
    std::vector<std::string> seen;
    bool backEnabledAtFirst = true, nextEnabledAtLast = true, ticked = false;
    RunTips({
        [&] {
            // The form: caption, client size, the check box from the setting, tip 1 with Back disabled.
            EXPECT_EQ("Tips", TextOf(TipsWindow()));
            RECT r;
            GetClientRect(TipsWindow(), &r);
            EXPECT_EQ(430, r.right);
            EXPECT_EQ(220, r.bottom);
            ticked = SendMessageA(Child("Button", "Show this screen again"), BM_GETCHECK, 0, 0) == BST_CHECKED;
            backEnabledAtFirst = IsWindowEnabled(Child("Button", "Back")) != FALSE;
            seen.push_back(TextOf(Memo()));
            Click(Child("Button", "Next"));
        },
        [&] {
            seen.push_back(TextOf(Memo()));
            Click(Child("Button", "Next"));
            Click(Child("Button", "Next"));
        },
        [&] {
            seen.push_back(TextOf(Memo()));
            nextEnabledAtLast = IsWindowEnabled(Child("Button", "Next")) != FALSE;
            Click(Child("Button", "Back"));  // back to 3
        },
        [&] {
            seen.push_back(TextOf(Memo()));
            Click(Child("Button", "Show this screen again"));  // clear it
            Click(Child("Button", "Close"));
        },
    });
    EXPECT_TRUE(ticked);
    EXPECT_FALSE(backEnabledAtFirst);
    EXPECT_FALSE(nextEnabledAtLast);
    ASSERT_EQ(4u, seen.size());
    EXPECT_EQ(TipText(1), seen[0]);
    EXPECT_EQ(TipText(2), seen[1]);
    EXPECT_EQ(TipText(4), seen[2]);
    EXPECT_EQ(TipText(3), seen[3]);
    EXPECT_EQ(nullptr, TipsWindow());
    // The cleared check box is saved as off; the tip shown last is kept for the next opening.
    EXPECT_FALSE(Settings.Tips);
    EXPECT_EQ(0, StoredTips());
    EXPECT_EQ(3, CurrentTip);

    std::string reopened;
    RunTips({
        [&] {
            reopened = TextOf(Memo());
            EXPECT_EQ(BST_UNCHECKED, SendMessageA(Child("Button", "Show this screen again"), BM_GETCHECK, 0, 0));
            Click(Child("Button", "Show this screen again"));  // tick it again
            PostMessageA(TipsWindow(), WM_CLOSE, 0, 0);      // the close box
        },
    });
    EXPECT_EQ(TipText(3), reopened);
    EXPECT_TRUE(Settings.Tips);
    EXPECT_EQ(1, StoredTips());
}

TEST(Tips, EnterStepsEscapeClosesAndOnlyOneOpens) {
    testing_support::RegistrySandbox sandbox;
    SetDefaultSettings();
    CurrentTip = 1;
    std::string afterEnter;
    bool nestedReturned = false;
    RunTips({
        [&] {
            // Enter from the check box, which leaves Enter to the dialog, goes to the default button Next.
            HWND box = Child("Button", "Show this screen again");
            SetFocus(box);
            Key(box, VK_RETURN);
        },
        [&] {
            afterEnter = TextOf(Memo());
            // A second request while the dialog is open opens nothing and returns at once.
            ShowTips();
            nestedReturned = true;
            EXPECT_NE(nullptr, TipsWindow());
            Key(Child("Button", "Show this screen again"), VK_ESCAPE);
        },
    });
    EXPECT_EQ(TipText(2), afterEnter);
    EXPECT_TRUE(nestedReturned);
    EXPECT_EQ(nullptr, TipsWindow());
    // Closing without a change still writes the settings.
    EXPECT_EQ(1, StoredTips());
}

TEST(Tips, EndOfProgramClosesTheDialog) {
    testing_support::RegistrySandbox sandbox;
    SetDefaultSettings();
    RunTips({[&] { PostQuitMessage(0); }});
    EXPECT_EQ(nullptr, TipsWindow());
    // The end request is handed on to the outer loop.
    MSG msg;
    bool quit = false;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        if (msg.message == WM_QUIT) quit = true;
    EXPECT_TRUE(quit);
}
