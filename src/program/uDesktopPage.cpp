// Wallpaper through the shell's Active Desktop object.
#include "uDesktopPage.h"

#include "components/comptr.h"
#include "components/exceptions.h"

#include <wininet.h>  // declares what the Active Desktop interface needs
#include <shlobj.h>
#include <shlguid.h>

#include <cstring>
#include <vector>

const char* const kDesktopPageRelative = "\\Web\\Wallpaper\\3DVexlor.html";

std::string GetWindowsDir() {
    char buffer[MAX_PATH] = {};
    UINT n = GetWindowsDirectoryA(buffer, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return {};
    return std::string(buffer, n);
}

std::string DesktopPageRoot;

std::string DesktopPageFile() {
    return (DesktopPageRoot.empty() ? GetWindowsDir() : DesktopPageRoot) + kDesktopPageRelative;
}

static std::wstring Upper(std::wstring text) {
    if (!text.empty()) CharUpperBuffW(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

std::wstring WideOf(const std::string& text) {
    if (text.empty()) return {};
    int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring w(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &w[0], n);
    return w;
}

static std::string NarrowOf(const wchar_t* text) {
    int n = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1) return {};
    std::string s(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, -1, &s[0], n, nullptr, nullptr);
    s.resize(static_cast<size_t>(n - 1));
    return s;
}

bool IsDesktopPage(const std::string& name) {
    return !name.empty() && Upper(WideOf(name)) == Upper(WideOf(DesktopPageFile()));
}

static comp::ComPtr<IActiveDesktop> CreateActiveDesktop() {
    comp::ComPtr<IActiveDesktop> desktop;
    comp::CheckHResult(CoCreateInstance(CLSID_ActiveDesktop, nullptr, CLSCTX_INPROC_SERVER, IID_IActiveDesktop,
                                        desktop.ReceiveVoid()),
                       "Active Desktop");
    return desktop;
}

static std::string WallpaperOf(IActiveDesktop* desktop) {
    // A failing or lazy GetWallpaper leaves the buffer as it was: start from an empty name.
    wchar_t buffer[MAX_PATH];
    std::memset(buffer, 0, sizeof buffer);
    HRESULT hr = desktop->GetWallpaper(buffer, MAX_PATH, 0);
    if (FAILED(hr)) return {};
    buffer[MAX_PATH - 1] = L'\0';
    return NarrowOf(buffer);
}

static void PutWallpaper(IActiveDesktop* desktop, const std::wstring& name) {
    WALLPAPEROPT options = {};
    options.dwSize = sizeof(WALLPAPEROPT);
    options.dwStyle = WPSTYLE_STRETCH;
    desktop->SetWallpaper(name.c_str(), 0);
    desktop->SetWallpaperOptions(&options, 0);
    desktop->ApplyChanges(AD_APPLY_ALL);
}

std::string GetDesktopWallpaper() {
    auto desktop = CreateActiveDesktop();
    return WallpaperOf(desktop.Get());
}

void SetDesktopWallpaper(const std::wstring& name) {
    auto desktop = CreateActiveDesktop();
    if (Upper(name) != Upper(WideOf(WallpaperOf(desktop.Get())))) PutWallpaper(desktop.Get(), name);
}

void ApplyWallpaper(const std::wstring& name) {
    auto desktop = CreateActiveDesktop();
    PutWallpaper(desktop.Get(), name);
}

HWND GetDesktopListView() {
    HWND progman = FindWindowA("ProgMan", nullptr);
    if (!progman) return nullptr;
    HWND view = GetWindow(progman, GW_CHILD);
    if (!view) return nullptr;
    HWND list = GetWindow(view, GW_CHILD);
    if (!list) return nullptr;
    char className[40] = {};
    GetClassNameA(list, className, 40);
    return std::strcmp(className, "SysListView32") == 0 ? list : nullptr;
}

void ShowDesktopIcons() {
    HWND list = GetDesktopListView();
    if (list) ShowWindow(list, SW_SHOW);
}
