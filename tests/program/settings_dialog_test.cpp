// The settings dialog, driven while it runs modally: opened with the stored settings, every control stored by
// OK with the desktop page reloaded, nothing stored by Cancel, Escape or the close box, the wallpaper tab
// following its check box, one dialog at a time, browsing (a path too long to store refused); and the tips
// dialog's check box surviving a settings dialog that saved meanwhile.
#include "components/comctrls.h"
#include "components/window.h"
#include "fixtures.h"
#include "frmMain.h"
#include "frmTips.h"
#include "shared/uOptionsShared.h"
#include "test_dialogs.h"
#include "test_windows.h"
#include "u3DVexlorOptions.h"
#include "uBrowsedPath.h"
#include "uDesktopPage.h"

#include <gtest/gtest.h>

#include <ole2.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using testing_support::RegText;

namespace {

Tfrm3DVexlorOptions* Form() {
    return dynamic_cast<Tfrm3DVexlorOptions*>(comp::Window::FromHandle(FindWindowA(kOptionsFormClass, nullptr)));
}

void Click(HWND button) { SendMessageA(button, BM_CLICK, 0, 0); }

// A key as the keyboard sends it, with its scan code (the hot-key box reads the character's key from it).
void Key(HWND target, WPARAM vk) {
    const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyA(static_cast<UINT>(vk), 0 /* MAPVK_VK_TO_VSC */)) << 16;
    PostMessageA(target, WM_KEYDOWN, vk, scan | 1);
    PostMessageA(target, WM_KEYUP, vk, scan | static_cast<LPARAM>(0xC0000001));
}

// Runs the dialog; each step runs once on a timer tick while it is open (the last should close it).
void RunOptions(const std::vector<std::function<void()>>& steps) {
    const size_t ran = testing_support::RunWithSteps(Show3DVexlorOptions, steps, 40, [] { return Form() != nullptr; });
    EXPECT_EQ(steps.size(), ran) << "the dialog closed before every step ran";
    EXPECT_EQ(nullptr, FindWindowA(kOptionsFormClass, nullptr));
}

int64_t RegNumber(const char* name) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return -1;
    DWORD value = 0, size = sizeof value;
    LONG rc = RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(key);
    return rc == ERROR_SUCCESS ? static_cast<int64_t>(value) : -1;
}

// Every stored value of the settings key, for comparing before and after.
std::string SettingsSnapshot() {
    std::string all;
    for (const char* name : {"use_3d_wallpaper", "ctrl_key", "which_key", "key_inside", "key_hide", "hide_shotcuts",
                             "d3d_qw", "FPSLimit", "FPS", "ShowFPS", "ShowFPSPlace", "StartUP", "Tips"})
        all += std::string(name) + "=" + std::to_string(RegNumber(name)) + ";";
    return all + "wallpaper=" + RegText(kSettingsKey, "wallpaper");
}

// The shell's desktop window as the Active Desktop object tells it of a new wallpaper (a window of this
// layer's class "Progman", as the desktop tests make it).
class FakeProgman : public comp::Window {
public:
    FakeProgman() {
        comp::WindowParams p;
        p.className = "Progman";
        p.style = WS_POPUP;
        p.x = p.y = 0;
        p.width = p.height = 1;
        Create(p);
    }
    int notifications = 0;

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_SETTINGCHANGE && wParam == SPI_SETDESKWALLPAPER) ++notifications;
        return DefaultHandler(msg, wParam, lParam);
    }
};

class SettingsDialog : public testing::Test {
protected:
    static void SetUpTestSuite() {
        OleInitialize(nullptr);
        testing_support::RegisterActiveDesktopStandIn();
    }
    void SetUp() override {
        DesktopPagePath = DesktopPageFile();
        SetDefaultSettings();
        SaveSettings();
        // The page is on the desktop, as while the program runs.
        ApplyWallpaper(WideOf(DesktopPagePath));
        progman_ = std::make_unique<FakeProgman>();
    }
    void TearDown() override { progman_.reset(); }

    testing_support::RegistrySandbox sandbox_;
    std::unique_ptr<FakeProgman> progman_;
};

}  // namespace

TEST(SettingsRules, SpinTextAndShortCuts) {
    EXPECT_EQ(1, comp::SpinValueOf("0", 1, 100));
    EXPECT_EQ(100, comp::SpinValueOf("500", 1, 100));
    EXPECT_EQ(1, comp::SpinValueOf("abc", 1, 100));
    EXPECT_EQ(1, comp::SpinValueOf("", 1, 100));
    EXPECT_EQ(1, comp::SpinValueOf("12x", 1, 100));
    EXPECT_EQ(42, comp::SpinValueOf(" 42", 1, 100));
    EXPECT_EQ(1, comp::SpinValueOf("-7", 1, 100));
    EXPECT_EQ(1, comp::SpinValueOf("99999999999999999999999", 1, 100));
    // Shortcut codes and the hot-key control's words, both ways.
    EXPECT_EQ(MAKEWORD('H', HOTKEYF_CONTROL), comp::ShortCutToHotKey(0x4048));
    EXPECT_EQ(MAKEWORD(VK_F5, HOTKEYF_SHIFT | HOTKEYF_ALT), comp::ShortCutToHotKey(0xA000 | VK_F5));
    EXPECT_EQ(0x4049, comp::HotKeyToShortCut(MAKEWORD('I', HOTKEYF_CONTROL)));
    EXPECT_EQ(0xE000 | 'Q', comp::HotKeyToShortCut(MAKEWORD('Q', HOTKEYF_CONTROL | HOTKEYF_SHIFT | HOTKEYF_ALT)));
}

TEST_F(SettingsDialog, OpensWithTheStoredSettingsAndOkStoresEveryControl) {
    // Stored settings other than the defaults.
    Settings.key_hide = 0x8041;  // Alt+A
    Settings.key_inside = 0x2000 | 0x4000 | 'B';
    Settings.hide_shotcuts = true;
    Settings.ctrl_key = 1;
    Settings.which_key = 0;
    Settings.d3d_qw = 1;
    Settings.FPSLimit = true;
    Settings.FPS = 45;
    Settings.ShowFPS = false;
    Settings.ShowFPSPlace = 3;
    Settings.StartUP = false;
    Settings.use_3d_wallpaper = true;
    Settings.wallpaper = "C:\\Packages\\sea.3dv";
    SaveSettings();
    SetDefaultSettings();  // the dialog loads them anew

    const std::string longPath = "C:\\" + std::string(300, 'p') + ".3dv";
    RunOptions({
        [&] {
            Tfrm3DVexlorOptions& f = *Form();
            EXPECT_EQ("3D Vexlor options", f.Text());
            RECT r;
            GetClientRect(f.Handle(), &r);
            EXPECT_EQ(404, r.right);
            EXPECT_EQ(255, r.bottom);
            ASSERT_EQ(3, f.PageControl1.PageCount());
            char caption[64] = {};
            TCITEMA item = {};
            item.mask = TCIF_TEXT;
            item.pszText = caption;
            item.cchTextMax = sizeof caption;
            SendMessageA(f.PageControl1.Handle(), TCM_GETITEMA, 2, reinterpret_cast<LPARAM>(&item));
            EXPECT_STREQ("3D Wallpaper", caption);
            EXPECT_EQ(0, f.PageControl1.ActivePage());
            EXPECT_TRUE(IsWindowVisible(f.cbStart.Handle()));
            EXPECT_FALSE(IsWindowVisible(f.cbQuality.Handle()));

            // Every control shows the stored record.
            EXPECT_EQ(0x8041, f.hk1.ShortCut());
            EXPECT_EQ(0x6042, f.hk2.ShortCut());
            EXPECT_TRUE(f.cbHide.Checked());
            EXPECT_EQ(1, f.rgKey.ItemIndex());
            EXPECT_EQ(0, f.rgKeyW.ItemIndex());
            EXPECT_EQ(1, f.cbQuality.ItemIndex());
            EXPECT_TRUE(f.cbFPS.Checked());
            EXPECT_EQ(45, f.seFPS.Value());
            EXPECT_FALSE(f.cbShowFPS.Checked());
            EXPECT_EQ(3, f.cbFPSPlace.ItemIndex());
            EXPECT_FALSE(f.cbStart.Checked());
            EXPECT_TRUE(f.cbWall.Checked());
            EXPECT_EQ("C:\\Packages\\sea.3dv", f.eWall.Text());
            EXPECT_TRUE(f.Label1.Enabled());

            // Change each one as the user would.
            SetFocus(f.hk1.Handle());
            Key(f.hk1.Handle(), 'J');  // a plain letter becomes Ctrl plus the letter
        },
        [&] {
            Tfrm3DVexlorOptions& f = *Form();
            EXPECT_EQ(0x404A, f.hk1.ShortCut());
            Click(f.cbHide.Handle());
            Click(f.rgKey.Button(2));
            Click(f.rgKeyW.Button(1));
            Click(f.cbStart.Handle());
            // The second tab, chosen by its tab.
            SetFocus(f.PageControl1.Handle());
            Key(f.PageControl1.Handle(), VK_RIGHT);
        },
        [&] {
            Tfrm3DVexlorOptions& f = *Form();
            EXPECT_EQ(0x404A, f.hk1.ShortCut());
            EXPECT_EQ(1, f.PageControl1.ActivePage());
            EXPECT_TRUE(IsWindowVisible(f.cbQuality.Handle()));
            EXPECT_FALSE(IsWindowVisible(f.cbStart.Handle()));
            f.cbQuality.SetItemIndex(0);
            SendMessageA(f.Handle(), WM_COMMAND, MAKEWPARAM(f.cbQuality.Id(), CBN_SELCHANGE),
                         reinterpret_cast<LPARAM>(f.cbQuality.Handle()));
            Click(f.cbFPS.Handle());
            SetWindowTextA(f.seFPS.Handle(), "500");
            Click(f.cbShowFPS.Handle());
            f.cbFPSPlace.SetItemIndex(2);
            SetWindowTextA(f.eWall.Handle(), longPath.c_str());
            Click(f.cbWall.Handle());
            EXPECT_FALSE(f.eWall.Enabled());
            Click(f.btnOk.Handle());
        },
    });
    EXPECT_EQ(0x404A, RegNumber("key_hide"));
    EXPECT_EQ(0x6042, RegNumber("key_inside"));
    EXPECT_EQ(0, RegNumber("hide_shotcuts"));
    EXPECT_EQ(2, RegNumber("ctrl_key"));
    EXPECT_EQ(1, RegNumber("which_key"));
    EXPECT_EQ(0, RegNumber("d3d_qw"));
    EXPECT_EQ(0, RegNumber("FPSLimit"));
    EXPECT_EQ(100, RegNumber("FPS"));
    EXPECT_EQ(1, RegNumber("ShowFPS"));
    EXPECT_EQ(2, RegNumber("ShowFPSPlace"));
    EXPECT_EQ(1, RegNumber("StartUP"));
    EXPECT_EQ(0, RegNumber("use_3d_wallpaper"));
    EXPECT_EQ(longPath.substr(0, 255), RegText(kSettingsKey, "wallpaper"));
    EXPECT_NE("<no value>", RegText(kRunKey, kRunValue));  // the start-with-Windows entry
    // The page went off the desktop and came back: a new control reads the settings.
    EXPECT_EQ(2, progman_->notifications);
    EXPECT_EQ(DesktopPagePath, GetDesktopWallpaper());
}

TEST_F(SettingsDialog, CancelEscapeAndTheCloseBoxStoreNothingEnterStoresAll) {
    const std::string before = SettingsSnapshot();
    RunOptions({
        [&] {
            Click(Form()->cbHide.Handle());
            SetWindowTextA(Form()->seFPS.Handle(), "7");
            Click(Form()->btnCancel.Handle());
        },
    });
    RunOptions({
        [&] {
            Tfrm3DVexlorOptions& f = *Form();
            Click(f.cbHide.Handle());
            SetFocus(f.hk2.Handle());
            Key(f.hk2.Handle(), VK_ESCAPE);  // the hot-key box leaves Escape to the dialog
        },
    });
    RunOptions({
        [&] {
            Click(Form()->cbHide.Handle());
            PostMessageA(Form()->Handle(), WM_CLOSE, 0, 0);
        },
    });
    EXPECT_EQ(before, SettingsSnapshot());
    EXPECT_EQ(0, progman_->notifications);

    // Enter from a check box goes to the default button OK: everything is stored, unchanged or not.
    RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsKey);
    RunOptions({
        [&] {
            SetFocus(Form()->cbHide.Handle());
            Key(Form()->cbHide.Handle(), VK_RETURN);
        },
    });
    EXPECT_EQ(before, SettingsSnapshot());
    EXPECT_EQ(2, progman_->notifications);
}

TEST_F(SettingsDialog, TheWallpaperTabFollowsItsCheckBoxAndOnlyOneDialogOpens) {
    Settings.use_3d_wallpaper = false;
    SaveSettings();
    bool nestedReturned = false;
    RunOptions({
        [&] {
            Tfrm3DVexlorOptions& f = *Form();
            // Off at opening: the label is greyed, the path box and the browse button stay usable.
            EXPECT_FALSE(f.cbWall.Checked());
            EXPECT_FALSE(f.Label1.Enabled());
            EXPECT_TRUE(f.eWall.Enabled());
            EXPECT_TRUE(f.sbOpen.Enabled());
            Click(f.cbWall.Handle());
            EXPECT_TRUE(f.Label1.Enabled() && f.eWall.Enabled() && f.sbOpen.Enabled());
            f.btnOk.SetEnabled(false);  // so that the click must enable it
            Click(f.cbWall.Handle());
            EXPECT_FALSE(f.Label1.Enabled() || f.eWall.Enabled() || f.sbOpen.Enabled());
            EXPECT_TRUE(f.btnOk.Enabled());

            // A second request opens nothing and leaves this one as it is.
            HWND open = f.Handle();
            Show3DVexlorOptions();
            nestedReturned = true;
            EXPECT_EQ(open, FindWindowA(kOptionsFormClass, nullptr));
            Click(f.btnCancel.Handle());
        },
    });
    EXPECT_TRUE(nestedReturned);
}

TEST_F(SettingsDialog, BrowseTakesTheChosenPackageAndRefusesPathsTooLongToStore) {
    testing_support::ScratchFolder folder;
    const std::string package = folder.Path() + "ocean.3dv";
    testing_support::WriteWholeFile(package, "MSCF");
    const std::string longName = testing_support::DeepFileName(folder.Dir(), 256, ".3dv");
    ASSERT_EQ(256u, longName.size());
    testing_support::WriteWholeFile(longName, "MSCF");

    std::string refusal;
    RunOptions({
        [&] { Click(Form()->sbOpen.Handle()); },  // the open dialog runs inside this click
        [&] {
            // The system's open dialog: the file name, then OK.
            ASSERT_TRUE(testing_support::ConfirmOpenDialog(package));
        },
        [&] {
            EXPECT_EQ(package, Form()->eWall.Text());
            Click(Form()->sbOpen.Handle());
        },
        [&] { ASSERT_TRUE(testing_support::ConfirmOpenDialog(longName)); },
        [&] {
            ASSERT_TRUE(testing_support::AnswerMessageBox("3D Vexlor", refusal));
        },
        [&] {
            // Refused with a message, not cut to the path of another file: the box keeps the package.
            EXPECT_EQ(package, Form()->eWall.Text());
            Click(Form()->btnCancel.Handle());
        },
    });
    EXPECT_EQ(0u, refusal.find(kPathTooLongText));
    EXPECT_NE(std::string::npos, refusal.find(longName));
}

TEST_F(SettingsDialog, TheTipsCheckBoxSurvivesASettingsDialogThatSavedMeanwhile) {
    Settings.Tips = true;
    SaveSettings();
    const size_t ran = testing_support::RunWithSteps(
        ShowTips,
        {
            [&] { Click(FindWindowExA(FindWindowA(kTipsFormClass, nullptr), nullptr, "Button", "Show this screen again")); },
            [&] { Show3DVexlorOptions(); },  // loads the settings anew; the next step runs inside it
            [&] { Click(Form()->btnOk.Handle()); },
            [&] { PostMessageA(FindWindowA(kTipsFormClass, nullptr), WM_CLOSE, 0, 0); },
        },
        40, [] { return FindWindowA(kTipsFormClass, nullptr) != nullptr; });
    EXPECT_EQ(4u, ran);
    EXPECT_EQ(0, RegNumber("Tips"));
    EXPECT_FALSE(Settings.Tips);
}
