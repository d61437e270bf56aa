// The tray icon component: shell records, click and double-click told apart, the shell's restart, the
// icon list, the owner minimised to the tray and shown again. The shell's notifications are posted to the
// component's icon window as the shell does.
#include "TrayIcon.h"
#include "test_windows.h"

#include <gtest/gtest.h>

#include <shellapi.h>

#include <string>
#include <vector>

namespace {

using testing_support::Pump;

class RecordingTrayIcon : public TTrayIcon {
public:
    explicit RecordingTrayIcon(HWND owner) : TTrayIcon(owner) {
        OnClick = [this](TTrayIcon&) { events.push_back("click"); };
        OnDblClick = [this](TTrayIcon&) { events.push_back("dblclick"); };
        OnMouseDown = [this](TTrayIcon&, TMouseButton b, TShiftState s, int, int) {
            events.push_back(std::string("down") + Name(b));
            lastShift = s;
        };
        OnMouseUp = [this](TTrayIcon&, TMouseButton b, TShiftState, int, int) {
            events.push_back(std::string("up") + Name(b));
        };
        OnMouseMove = [this](TTrayIcon&, TShiftState, int, int) { events.push_back("move"); };
    }
    bool AddTrayIcon() override {
        ++adds;
        return TTrayIcon::AddTrayIcon();
    }
    bool UpdateTrayIcon() override {
        ++updates;
        return TTrayIcon::UpdateTrayIcon();
    }
    void Notify(UINT mouseMessage) { PostMessageA(IconWindow(), kTrayCallbackMessage, 1, mouseMessage); }

    static const char* Name(TMouseButton b) {
        return b == comp::MouseButton::mbLeft ? "L" : b == comp::MouseButton::mbRight ? "R" : "M";
    }

    std::vector<std::string> events;
    TShiftState lastShift = 0;
    int adds = 0;
    int updates = 0;
};

HICON TestIcon() { return LoadIconA(nullptr, MAKEINTRESOURCEA(32512)); }

}  // namespace

TEST(TrayIcon, ShellRecordHintAndVisibility) {
    RecordingTrayIcon ti(nullptr);
    const NOTIFYICONDATAA& data = ti.IconData();
    EXPECT_EQ(sizeof(void*) == 8 ? 504u : 488u, data.cbSize);
    EXPECT_EQ(ti.IconWindow(), data.hWnd);
    EXPECT_EQ(1u, data.uID);
    EXPECT_EQ(7u, data.uFlags);
    EXPECT_EQ(2048u, data.uCallbackMessage);
    EXPECT_TRUE(ti.IconVisible());
    EXPECT_TRUE(ti.ShowHint());
    EXPECT_TRUE(ti.Enabled);

    ti.SetIcon(TestIcon());
    ASSERT_NE(nullptr, ti.Icon());
    ti.SetIconVisible(true);
    EXPECT_TRUE(ti.IconVisible());
    EXPECT_EQ(ti.Icon(), data.hIcon);

    // A hint longer than 127 characters is cut to 127 in the tool tip.
    std::string longHint(200, 'h');
    ti.SetHint(longHint);
    EXPECT_EQ(std::string(127, 'h'), std::string(data.szTip));
    ti.SetHint("3D Vexlor");
    EXPECT_STREQ("3D Vexlor", data.szTip);
    // Without ShowHint the tool tip is empty.
    ti.SetShowHint(false);
    EXPECT_STREQ("", data.szTip);
    ti.SetShowHint(true);
    EXPECT_STREQ("3D Vexlor", data.szTip);

    ti.SetIconVisible(false);
    EXPECT_FALSE(ti.IconVisible());
}

TEST(TrayIcon, SingleClickFiresWhenTheDoubleClickTimeHasPassed) {
    RecordingTrayIcon ti(nullptr);
    ti.SetIconVisible(false);
    ti.Notify(WM_LBUTTONDOWN);
    ti.Notify(WM_LBUTTONUP);
    ASSERT_TRUE(testing_support::PumpUntil([&] { return ti.events.size() >= 2; }, 30000));
    // Released while the double-click wait runs: no click yet.
    EXPECT_EQ((std::vector<std::string>{"downL", "upL"}), ti.events);
    EXPECT_NE(0u, ti.lastShift & comp::ssLeft);
    // The click comes once the double-click wait is over.
    EXPECT_TRUE(testing_support::PumpUntil([&] { return ti.events.size() >= 3; }, 30000));
    EXPECT_EQ((std::vector<std::string>{"downL", "upL", "click"}), ti.events);

    // A press held longer than the double-click time fires the click at the release.
    ti.events.clear();
    ti.Notify(WM_LBUTTONDOWN);
    Pump(GetDoubleClickTime() + 300);
    EXPECT_EQ((std::vector<std::string>{"downL"}), ti.events);
    ti.Notify(WM_LBUTTONUP);
    Pump(30);
    EXPECT_EQ((std::vector<std::string>{"downL", "click", "upL"}), ti.events);
}

TEST(TrayIcon, DoubleClickFiresNoClick) {
    RecordingTrayIcon ti(nullptr);
    ti.SetIconVisible(false);
    ti.Notify(WM_LBUTTONDOWN);
    ti.Notify(WM_LBUTTONUP);
    ti.Notify(WM_LBUTTONDBLCLK);
    ti.Notify(WM_LBUTTONUP);
    Pump(GetDoubleClickTime() + 300);
    EXPECT_EQ((std::vector<std::string>{"downL", "upL", "dblclick", "upL"}), ti.events);

    // The other buttons and the mouse move only report themselves.
    ti.events.clear();
    ti.Notify(WM_RBUTTONDOWN);
    ti.Notify(WM_RBUTTONUP);
    ti.Notify(WM_MBUTTONDOWN);
    ti.Notify(WM_MBUTTONUP);
    ti.Notify(WM_MOUSEMOVE);
    Pump(50);
    EXPECT_EQ((std::vector<std::string>{"downR", "upR", "downM", "upM", "move"}), ti.events);
}

TEST(TrayIcon, DisabledIconFiresNothing) {
    RecordingTrayIcon ti(nullptr);
    ti.SetIconVisible(false);
    ti.Enabled = false;
    ti.Notify(WM_LBUTTONDOWN);
    ti.Notify(WM_LBUTTONUP);
    ti.Notify(WM_RBUTTONDOWN);
    ti.Notify(WM_MOUSEMOVE);
    Pump(GetDoubleClickTime() + 300);
    EXPECT_TRUE(ti.events.empty());
    // The icon window refuses to be closed.
    EXPECT_EQ(1, SendMessageA(ti.IconWindow(), WM_CLOSE, 0, 0));
    EXPECT_TRUE(IsWindow(ti.IconWindow()));
}

TEST(TrayIcon, ShellRestartAddsAVisibleIconAgain) {
    RecordingTrayIcon ti(nullptr);
    ti.SetIcon(TestIcon());
    ti.SetIconVisible(true);
    ASSERT_NE(0u, ti.TaskbarCreatedMessage());
    int adds = ti.adds, updates = ti.updates;
    SendMessageA(ti.IconWindow(), ti.TaskbarCreatedMessage(), 0, 0);
    EXPECT_EQ(adds + 1, ti.adds);
    // The shell still knew the icon: adding failed and the icon was brought up to date instead.
    EXPECT_EQ(updates + 1, ti.updates);
    EXPECT_TRUE(ti.IconVisible());

    ti.SetIconVisible(false);
    adds = ti.adds;
    SendMessageA(ti.IconWindow(), ti.TaskbarCreatedMessage(), 0, 0);
    EXPECT_EQ(adds, ti.adds);
}

TEST(TrayIcon, IconListIndexStaysInsideTheList) {
    RecordingTrayIcon ti(nullptr);
    ti.SetIconVisible(false);
    HIMAGELIST empty = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 0, 4);
    ti.SetIcon(TestIcon());
    HICON before = ti.Icon();
    // An empty list has no icon to take: index 0 and the icon stays.
    ti.SetIconList(empty);
    ti.SetIconIndex(5);
    EXPECT_EQ(0, ti.IconIndex());
    EXPECT_EQ(before, ti.Icon());
    ti.SetIconIndex(-1);
    EXPECT_EQ(0, ti.IconIndex());

    HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 3, 0);
    for (int i = 0; i < 3; ++i) ImageList_AddIcon(list, TestIcon());
    ti.SetIconList(list);
    EXPECT_EQ(0, ti.IconIndex());
    ti.SetIconIndex(7);
    EXPECT_EQ(2, ti.IconIndex());
    ti.SetIconIndex(-3);
    EXPECT_EQ(0, ti.IconIndex());
    ti.SetIconList(nullptr);
    ti.SetIconIndex(2);
    EXPECT_EQ(0, ti.IconIndex());

    // Cycling steps through the list and wraps.
    std::vector<int> next;
    ti.OnCycle = [&](TTrayIcon&, int n) { next.push_back(n); };
    ti.SetIconList(list);
    ti.SetCycleInterval(20);
    ti.SetCycleIcons(true);
    EXPECT_TRUE(testing_support::PumpUntil([&] { return next.size() >= 4; }, 30000));
    ti.SetCycleIcons(false);
    ASSERT_GE(next.size(), 4u);
    EXPECT_EQ(1, next[0]);
    EXPECT_EQ(2, next[1]);
    EXPECT_EQ(3, next[2]);  // NextIndex of the last is the count
    EXPECT_EQ(1, next[3]);  // wrapped to 0, then 0 + 1
    ImageList_Destroy(list);
    ImageList_Destroy(empty);
}

TEST(TrayIcon, MenuDefaultItemOnDoubleClickAndMinimizeToTray) {
    HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr, nullptr,
                                 nullptr, nullptr);
    ASSERT_NE(nullptr, owner);
    {
        RecordingTrayIcon ti(owner);
        ti.SetIconVisible(false);
        comp::PopupMenu menu;
        int firstClicks = 0, defaultClicks = 0;
        menu.Items.Add("First", [&](comp::MenuItem&) { ++firstClicks; });
        menu.Items.Add("Open", [&](comp::MenuItem&) { ++defaultClicks; }).Default = true;
        ti.PopupMenu = &menu;
        // A double click clicks the menu's default item (the menu pops up only on the right button here).
        ti.Notify(WM_LBUTTONDBLCLK);
        Pump(30);
        EXPECT_EQ(1, defaultClicks);
        EXPECT_EQ(0, firstClicks);
        // With LeftPopup the left button pops the menu up instead: no default click on a double click.
        ti.LeftPopup = true;
        ti.events.clear();
        ti.Notify(WM_LBUTTONDBLCLK);
        Pump(30);
        EXPECT_EQ(1, defaultClicks);
        EXPECT_EQ((std::vector<std::string>{"dblclick"}), ti.events);
        ti.PopupMenu = nullptr;

        // Minimising the owner hides it and shows the icon.
        ti.MinimizeToTray = true;
        ShowWindow(owner, SW_MINIMIZE);
        EXPECT_FALSE(IsWindowVisible(owner));
        EXPECT_TRUE(ti.IconVisible());
        ti.SetIconVisible(false);
        // Shown again, the owner comes back at its normal size.
        ShowWindow(owner, SW_SHOW);
        EXPECT_TRUE(IsWindowVisible(owner));
        EXPECT_FALSE(IsIconic(owner));
    }
    // The hook is gone with the component: the owner goes on by itself.
    ShowWindow(owner, SW_SHOW);
    SendMessageA(owner, WM_SIZE, SIZE_MINIMIZED, 0);
    EXPECT_TRUE(IsWindowVisible(owner));
    DestroyWindow(owner);
}
