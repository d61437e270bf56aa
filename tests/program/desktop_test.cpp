// The desktop as the program sees it, against the Active Desktop stand-in and a desktop window tree made
// here: reading and setting the wallpaper (compared without case, always stretched), the exit start and
// the value remembered at start, the desktop icon list.
#include "child_process.h"
#include "components/exceptions.h"
#include "components/registry.h"
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

#include <cstdio>
#include <memory>
#include <string>
#include <thread>

using testing_support::RegText;

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

void SetLastWallPaper(const std::string& value) {
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, kProductKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                                             nullptr, &key, nullptr));
    RegSetValueExA(key, "LastWallPaper", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
}

// Child: the exit start in a process that never initialised COM, as a start whose object can't be made;
// prints "returned" once the exit start is back.
testing_support::ChildMode exitStartWithoutCom("exit-start-without-com", [](const std::vector<std::string>&) {
    testing_support::RegistrySandbox sandbox;
    comp::RegistryKey key;
    if (!key.Open(HKEY_CURRENT_USER, kProductKey, true)) return 2;
    key.WriteString("LastWallPaper", "C:\\Pictures\\Mine.bmp");
    key.Close();
    RunExitStart();
    std::printf("returned\n");
    std::fflush(stdout);
    return 0;
});

const char* const kGeneral = "Software\\Microsoft\\Internet Explorer\\Desktop\\General";

class Desktop : public testing::Test {
protected:
    static void SetUpTestSuite() {
        OleInitialize(nullptr);
        testing_support::RegisterActiveDesktopStandIn();
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
    ASSERT_EQ(S_OK, reg());
    EXPECT_EQ("", read);
    // Nothing reached the stand-in's storage meanwhile: the shell's own object answered.
    EXPECT_EQ("C:\\Pictures\\Sea.bmp", RegText(kGeneral, "Wallpaper"));
}

TEST_F(Desktop, WithoutTheActiveDesktopObjectTheExitStartEndsQuietly) {
    SetLastWallPaper("C:\\Pictures\\Mine.bmp");
    ApplyWallpaper(WideOf(DesktopPageFile()));
    // A thread without COM cannot make the object: the restore raises and nothing is applied.
    bool restoreRaised = false;
    std::thread noCom([&] {
        try {
            RestoreLastWallpaper();
        } catch (const comp::EComError&) {
            restoreRaised = true;
        }
    });
    noCom.join();
    EXPECT_TRUE(restoreRaised);
    EXPECT_EQ(DesktopPageFile(), GetDesktopWallpaper());
    // The exit start catches that failure and comes back, and its process ends normally (a raise out of
    // it would end the process at once).
    const auto child = testing_support::RunChild("exit-start-without-com", {});
    ASSERT_TRUE(child.finished);
    EXPECT_EQ(0u, child.exitCode);
    EXPECT_EQ("returned", child.FirstLine());
}

namespace {

// An Active Desktop object that answers GetWallpaper with success and leaves the buffer as it came, as a
// lazy shell may; it notes whether the buffer came holding nothing but zeros (then whatever part of a
// name a shell writes stays terminated).
class LazyDesktop : public IActiveDesktop, public IClassFactory {
public:
    bool called = false;
    bool cameEmpty = false;

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
            *object = static_cast<IClassFactory*>(this);
            return S_OK;
        }
        if (IsEqualIID(iid, IID_IActiveDesktop)) {
            *object = static_cast<IActiveDesktop*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP CreateInstance(IUnknown*, REFIID iid, void** object) override { return QueryInterface(iid, object); }
    STDMETHODIMP LockServer(BOOL) override { return S_OK; }
    STDMETHODIMP GetWallpaper(PWSTR buffer, UINT size, DWORD) override {
        called = true;
        cameEmpty = size > 0;
        for (UINT i = 0; i < size; ++i) cameEmpty = cameEmpty && buffer[i] == L'\0';
        return S_OK;
    }
    STDMETHODIMP ApplyChanges(DWORD) override { return S_OK; }
    STDMETHODIMP SetWallpaper(PCWSTR, DWORD) override { return S_OK; }
    STDMETHODIMP GetWallpaperOptions(LPWALLPAPEROPT, DWORD) override { return S_OK; }
    STDMETHODIMP SetWallpaperOptions(LPCWALLPAPEROPT, DWORD) override { return S_OK; }
    STDMETHODIMP GetPattern(PWSTR, UINT, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP SetPattern(PCWSTR, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetDesktopItemOptions(LPCOMPONENTSOPT, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP SetDesktopItemOptions(LPCCOMPONENTSOPT, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP AddDesktopItem(LPCCOMPONENT, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP AddDesktopItemWithUI(HWND, LPCOMPONENT, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP ModifyDesktopItem(LPCCOMPONENT, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP RemoveDesktopItem(LPCCOMPONENT, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetDesktopItemCount(int*, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetDesktopItem(int, LPCOMPONENT, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetDesktopItemByID(ULONG_PTR, LPCOMPONENT, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GenerateDesktopItemHtml(PCWSTR, LPCOMPONENT, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP AddUrl(HWND, PCWSTR, LPCOMPONENT, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetDesktopItemBySource(PCWSTR, LPCOMPONENT, DWORD) override { return E_NOTIMPL; }
};


}  // namespace

TEST_F(Desktop, AShellThatSucceedsWithoutAnswerGivesTheEmptyName) {
    ApplyWallpaper(L"C:\\Pictures\\Sea.bmp");
    LazyDesktop lazy;
    DWORD cookie = 0;
    ASSERT_EQ(S_OK, CoRegisterClassObject(CLSID_ActiveDesktop, static_cast<IClassFactory*>(&lazy),
                                          CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie));
    const std::string read = GetDesktopWallpaper();
    CoRevokeClassObject(cookie);
    ASSERT_TRUE(lazy.called);
    EXPECT_TRUE(lazy.cameEmpty);
    EXPECT_EQ("", read);
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
