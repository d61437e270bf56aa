// The desktop as the program sees it, against the Active Desktop stand-in and a desktop window tree made
// here: reading and setting the wallpaper (compared without case, always stretched), the exit start and
// the value remembered at start, the desktop icon list.
#include "components/window.h"
#include "fixtures.h"
#include "frmMain.h"
#include "shared/uOptionsShared.h"
#include "uDesktopPage.h"
#include "uExit.h"

#include <gtest/gtest.h>

#include <ole2.h>
#include <wininet.h>
#include <shlobj.h>
#include <shlguid.h>

#include <memory>
#include <string>

namespace {

// A window of a given class that counts the wallpaper notifications it gets.
class FakeWindow : public comp::Window {
public:
    FakeWindow(const char* cls, HWND parent, bool visible) {
        comp::WindowParams p;
        p.className = cls;
        p.style = parent ? WS_CHILD | (visible ? WS_VISIBLE : 0) : WS_POPUP;
        p.x = p.y = 0;
        p.width = p.height = 10;
        p.parent = parent;
        Create(p);
    }
    int notifications = 0;

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_SETTINGCHANGE && wParam == SPI_SETDESKWALLPAPER) ++notifications;
        return DefaultHandler(msg, wParam, lParam);
    }
};

std::string RegText(const char* path, const char* name) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return "<no key>";
    char buffer[1024] = {};
    DWORD size = sizeof buffer;
    LONG rc = RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(key);
    return rc == ERROR_SUCCESS ? std::string(buffer) : "<no value>";
}

void SetLastWallPaper(const std::string& value) {
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, kProductKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                                             nullptr, &key, nullptr));
    RegSetValueExA(key, "LastWallPaper", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
}

const char* const kGeneral = "Software\\Microsoft\\Internet Explorer\\Desktop\\General";

class Desktop : public testing::Test {
protected:
    static void SetUpTestSuite() {
        OleInitialize(nullptr);
        // The stand-in serves the Active Desktop class in this prefix (as the layout step registers it).
        HMODULE stand = LoadLibraryA((testing_support::ExeFolder() + "\\vexlor_activedesktop.dll").c_str());
        ASSERT_NE(nullptr, stand);
        auto reg = reinterpret_cast<HRESULT(WINAPI*)()>(GetProcAddress(stand, "DllRegisterServer"));
        ASSERT_NE(nullptr, reg);
        ASSERT_EQ(S_OK, reg());
    }
    void SetUp() override {
        sandbox_ = std::make_unique<testing_support::RegistrySandbox>();
        progman_ = std::make_unique<FakeWindow>("Progman", nullptr, false);
    }
    void TearDown() override {
        progman_.reset();
        sandbox_.reset();
    }
    std::unique_ptr<testing_support::RegistrySandbox> sandbox_;
    std::unique_ptr<FakeWindow> progman_;
};

}  // namespace

TEST_F(Desktop, SetComparesWithoutCaseApplyAlwaysApplies) {
    EXPECT_EQ("", GetDesktopWallpaper());
    SetDesktopWallpaper(L"C:\\Pictures\\Sea.bmp");
    EXPECT_EQ(1, progman_->notifications);
    EXPECT_EQ("C:\\Pictures\\Sea.bmp", GetDesktopWallpaper());
    EXPECT_EQ("C:\\Pictures\\Sea.bmp", RegText(kGeneral, "Wallpaper"));
    EXPECT_EQ("2", RegText(kGeneral, "WallpaperStyle"));  // stretched

    SetDesktopWallpaper(L"c:\\pictures\\SEA.BMP");
    EXPECT_EQ(1, progman_->notifications);
    EXPECT_EQ("C:\\Pictures\\Sea.bmp", GetDesktopWallpaper());

    ApplyWallpaper(L"C:\\Pictures\\Sea.bmp");
    EXPECT_EQ(2, progman_->notifications);

    SetDesktopWallpaper(L"");
    EXPECT_EQ(3, progman_->notifications);
    EXPECT_EQ("", GetDesktopWallpaper());
    SetDesktopWallpaper(L"");  // empty equals empty: nothing
    EXPECT_EQ(3, progman_->notifications);
}

TEST_F(Desktop, ExitStartPutsTheRememberedWallpaperBack) {
    ApplyWallpaper(WideOf(DesktopPageFile()));
    // No key: the empty name takes the page off.
    RunExitStart();
    EXPECT_EQ("", GetDesktopWallpaper());

    SetLastWallPaper("C:\\Pictures\\Mine.bmp");
    ApplyWallpaper(WideOf(DesktopPageFile()));
    int before = progman_->notifications;
    RunExitStart();
    EXPECT_EQ("C:\\Pictures\\Mine.bmp", GetDesktopWallpaper());
    // Applied even when it is current already.
    RunExitStart();
    EXPECT_EQ(before + 2, progman_->notifications);

    // A remembered page is never put back: that would keep the control on the desktop.
    std::string page = DesktopPageFile();
    for (auto& c : page) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    SetLastWallPaper(page);
    ApplyWallpaper(WideOf(DesktopPageFile()));
    RunExitStart();
    EXPECT_EQ("", GetDesktopWallpaper());
}

TEST_F(Desktop, ShellsThatAnswerNothingGiveTheEmptyName) {
    ApplyWallpaper(L"C:\\Pictures\\Sea.bmp");
    ASSERT_EQ("C:\\Pictures\\Sea.bmp", GetDesktopWallpaper());
    // Wine's own object answers every call with a failure and leaves the buffer alone.
    HMODULE stand = GetModuleHandleA("vexlor_activedesktop.dll");
    ASSERT_NE(nullptr, stand);
    auto unreg = reinterpret_cast<HRESULT(WINAPI*)()>(GetProcAddress(stand, "DllUnregisterServer"));
    auto reg = reinterpret_cast<HRESULT(WINAPI*)()>(GetProcAddress(stand, "DllRegisterServer"));
    ASSERT_EQ(S_OK, unreg());
    std::string read = "unread";
    EXPECT_NO_THROW(read = GetDesktopWallpaper());
    EXPECT_NO_THROW(SetDesktopWallpaper(L"C:\\Pictures\\Other.bmp"));
    EXPECT_NO_THROW(RunExitStart());
    ASSERT_EQ(S_OK, reg());
    EXPECT_EQ("", read);
    // Nothing reached the stand-in's storage meanwhile: the shell's own object answered.
    EXPECT_EQ("C:\\Pictures\\Sea.bmp", RegText(kGeneral, "Wallpaper"));
}

TEST_F(Desktop, StandInKeepsWallpaperAndItemOptions) {
    IActiveDesktop* desktop = nullptr;
    ASSERT_EQ(S_OK, CoCreateInstance(CLSID_ActiveDesktop, nullptr, CLSCTX_INPROC_SERVER, IID_IActiveDesktop,
                                     reinterpret_cast<void**>(&desktop)));
    EXPECT_EQ(S_OK, desktop->SetWallpaper(L"C:\\Long\\Name.bmp", 0));
    wchar_t small[5];
    wmemset(small, L'x', 5);
    EXPECT_EQ(S_OK, desktop->GetWallpaper(small, 5, 0));
    EXPECT_EQ(std::wstring(L"C:\\L"), std::wstring(small));  // cut to the room given, with its zero
    EXPECT_EQ(E_INVALIDARG, desktop->GetWallpaper(small, 0, 0));

    WALLPAPEROPT tile = {sizeof(WALLPAPEROPT), WPSTYLE_TILE};
    EXPECT_EQ(S_OK, desktop->SetWallpaperOptions(&tile, 0));
    WALLPAPEROPT read = {sizeof(WALLPAPEROPT), 99};
    EXPECT_EQ(S_OK, desktop->GetWallpaperOptions(&read, 0));
    EXPECT_EQ(static_cast<DWORD>(WPSTYLE_TILE), read.dwStyle);

    COMPONENTSOPT items = {sizeof(COMPONENTSOPT), TRUE, FALSE};
    EXPECT_EQ(S_OK, desktop->SetDesktopItemOptions(&items, 0));
    COMPONENTSOPT back = {sizeof(COMPONENTSOPT), FALSE, TRUE};
    EXPECT_EQ(S_OK, desktop->GetDesktopItemOptions(&back, 0));
    EXPECT_TRUE(back.fEnableComponents);
    EXPECT_FALSE(back.fActiveDesktop);

    // Saving alone does not tell the desktop; nothing is stored before ApplyChanges.
    EXPECT_EQ("<no key>", RegText(kGeneral, "Wallpaper"));
    EXPECT_EQ(S_OK, desktop->ApplyChanges(AD_APPLY_SAVE));
    EXPECT_EQ(0, progman_->notifications);
    EXPECT_EQ("C:\\Long\\Name.bmp", RegText(kGeneral, "Wallpaper"));
    EXPECT_EQ("1", RegText(kGeneral, "TileWallpaper"));
    EXPECT_EQ(S_OK, desktop->ApplyChanges(AD_APPLY_REFRESH));
    EXPECT_EQ(1, progman_->notifications);
    desktop->Release();

    // A new object reads back what was saved.
    ASSERT_EQ(S_OK, CoCreateInstance(CLSID_ActiveDesktop, nullptr, CLSCTX_INPROC_SERVER, IID_IActiveDesktop,
                                     reinterpret_cast<void**>(&desktop)));
    read.dwStyle = 99;
    desktop->GetWallpaperOptions(&read, 0);
    EXPECT_EQ(static_cast<DWORD>(WPSTYLE_TILE), read.dwStyle);
    back = {sizeof(COMPONENTSOPT), FALSE, TRUE};
    desktop->GetDesktopItemOptions(&back, 0);
    EXPECT_FALSE(back.fActiveDesktop);
    desktop->Release();
}

TEST(ExitStart, OnlyTheExactFirstParameter) {
    EXPECT_TRUE(IsExitStart("/EXIT"));
    EXPECT_FALSE(IsExitStart("/exit"));
    EXPECT_FALSE(IsExitStart("/Exit"));
    EXPECT_FALSE(IsExitStart("/EXIT "));
    EXPECT_FALSE(IsExitStart(""));
}

TEST(StartWallpaper, ThePageIsNeverRemembered) {
    std::string page = DesktopPageFile();
    EXPECT_EQ("C:\\a.bmp", LastWallpaperToStore("C:\\a.bmp", "C:\\old.bmp"));
    EXPECT_EQ("", LastWallpaperToStore("", "C:\\old.bmp"));
    // The page is current (a second start, or a start after a crash): keep what was stored.
    EXPECT_EQ("C:\\old.bmp", LastWallpaperToStore(page, "C:\\old.bmp"));
    EXPECT_EQ("", LastWallpaperToStore(page, page));
    EXPECT_TRUE(IsDesktopPage(page));
    EXPECT_FALSE(IsDesktopPage(""));
    EXPECT_EQ(GetWindowsDir() + "\\Web\\Wallpaper\\3DVexlor.html", page);
}

TEST(DesktopIcons, ListViewTwoLevelsBelowProgman) {
    EXPECT_EQ(nullptr, GetDesktopListView());
    ShowDesktopIcons();  // nothing to show: nothing fails
    {
        FakeWindow progman("Progman", nullptr, false);
        FakeWindow view("SHELLDLL_DefView", progman.Handle(), true);
        EXPECT_EQ(nullptr, GetDesktopListView());
        HWND list = CreateWindowExA(0, "SysListView32", "", WS_CHILD, 0, 0, 10, 10, view.Handle(), nullptr,
                                    GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(nullptr, list);
        EXPECT_EQ(list, GetDesktopListView());
        EXPECT_EQ(0, GetWindowLongA(list, GWL_STYLE) & WS_VISIBLE);
        ShowDesktopIcons();
        EXPECT_NE(0, GetWindowLongA(list, GWL_STYLE) & WS_VISIBLE);
        DestroyWindow(list);
        // Another class two levels down is not the icon list.
        FakeWindow other("SysListView", view.Handle(), true);
        EXPECT_EQ(nullptr, GetDesktopListView());
    }
    EXPECT_EQ(nullptr, GetDesktopListView());
}
