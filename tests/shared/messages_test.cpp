// Registered messages and hidden message windows, within one process and across two.
#include "child_process.h"
#include "shared/uMessages.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>

using testing_support::ChildMode;
using testing_support::RunChild;

namespace {

// Child: prints its thirteen message numbers and whether it finds a window of the class it is given.
ChildMode numbersChild("numbers", [](const std::vector<std::string>& args) {
    for (int i = 0; i < kMessageCount; ++i) std::printf("%u ", RegisteredMessage(i));
    HWND found = args.empty() ? nullptr : FindWindowA(args[0].c_str(), nullptr);
    std::printf("%llu\n", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(found)));
    std::fflush(stdout);
    return 0;
});

std::string UniqueClass(const char* base) {
    return std::string(base) + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(GetTickCount());
}

LRESULT CALLBACK OtherProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefWindowProcA(w, m, wp, lp); }

TEST(Messages, AllNamesRegisteredInOrder) {
    EXPECT_STREQ(kMessageNames[0], "_3D_Popup");
    EXPECT_STREQ(kMessageNames[9], "__3D_Popup");
    EXPECT_STREQ(kMessageNames[12], "_3D_DispProp");
    for (int i = 0; i < kMessageCount; ++i) {
        EXPECT_GE(RegisteredMessage(i), 0xC000u) << kMessageNames[i];
        EXPECT_EQ(RegisteredMessage(i), RegisterWindowMessageA(kMessageNames[i]));
    }
    EXPECT_EQ(_3D_Exit, RegisteredMessage(2));
    EXPECT_EQ(__3D_Popup, RegisteredMessage(9));
    EXPECT_FALSE(IsMessage(0, 0)) << "a failed registration must not match WM_NULL";
    EXPECT_TRUE(IsMessage(_3D_Help, _3D_Help));
}

TEST(Messages, SecondProcessSeesSameNumbersAndFindsHiddenWindow) {
    std::string cls = UniqueClass("VexlorTestWnd");
    HWND window = CreateMsgWindow(cls.c_str(), nullptr);
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(IsWindowVisible(window));

    auto child = RunChild("numbers", {cls});
    ASSERT_TRUE(child.finished);
    ASSERT_EQ(child.exitCode, 0u);
    std::istringstream out(child.output);
    for (int i = 0; i < kMessageCount; ++i) {
        unsigned long n = 0;
        out >> n;
        EXPECT_EQ(n, RegisteredMessage(i)) << kMessageNames[i];
    }
    unsigned long long found = 0;
    out >> found;
    EXPECT_EQ(found, static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(window)));

    DestroyMsgWindow(window);
    EXPECT_EQ(window, nullptr);
    EXPECT_EQ(FindWindowA(cls.c_str(), nullptr), nullptr);
    DestroyMsgWindow(window);  // a 0 handle stays 0
    EXPECT_EQ(window, nullptr);
}

TEST(Messages, ClassIsRegisteredOnceAndReregisteredWithDefaultProcedure) {
    std::string cls = UniqueClass("VexlorTestCls");
    HWND a = CreateMsgWindow(cls.c_str(), nullptr);
    HWND b = CreateMsgWindow(cls.c_str(), nullptr);
    ASSERT_TRUE(a && b);
    WNDCLASSA info;
    ASSERT_TRUE(GetClassInfoA(GetModuleHandleA(nullptr), cls.c_str(), &info));
    EXPECT_EQ(info.lpfnWndProc, DefWindowProcA);
    DestroyMsgWindow(a);
    DestroyMsgWindow(b);

    // A class left behind with another procedure is registered anew.
    std::string other = UniqueClass("VexlorTestOther");
    WNDCLASSA wc = {};
    wc.lpfnWndProc = OtherProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = other.c_str();
    ASSERT_TRUE(RegisterClassA(&wc));
    HWND c = CreateMsgWindow(other.c_str(), nullptr);
    ASSERT_NE(c, nullptr);
    ASSERT_TRUE(GetClassInfoA(GetModuleHandleA(nullptr), other.c_str(), &info));
    EXPECT_EQ(info.lpfnWndProc, DefWindowProcA);
    DestroyMsgWindow(c);
}

UINT seen = 0;
LRESULT CALLBACK RecordingProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_APP + 1) {
        seen = m;
        return 7;
    }
    return MsgWindowDefProc(w, m, wp, lp);
}

TEST(Messages, HiddenWindowSurvivesCloseAndAnswersLogOff) {
    std::string cls = UniqueClass("VexlorTestLife");
    HWND window = CreateMsgWindow(cls.c_str(), RecordingProc);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(SendMessageA(window, WM_APP + 1, 0, 0), 7);
    EXPECT_EQ(seen, UINT(WM_APP + 1));
    EXPECT_EQ(SendMessageA(window, WM_CLOSE, 0, 0), 1);
    EXPECT_TRUE(IsWindow(window));
    EXPECT_EQ(SendMessageA(window, WM_QUERYENDSESSION, 0, 0), 1);
    EXPECT_TRUE(IsWindow(window));
    EXPECT_EQ(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW, WS_EX_TOOLWINDOW);
    EXPECT_EQ(GetParent(window), nullptr) << "a top-level window, found from other processes";
    DestroyMsgWindow(window);
    EXPECT_FALSE(IsWindow(window));
}

}  // namespace
