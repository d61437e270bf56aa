// Stand-in for the shell's Active Desktop object (CLSID {75048700-EF1F-11D0-9888-006097DEACF9}), which
// Wine only stubs. It keeps the wallpaper where the shell keeps it, in the current user's registry, and on
// ApplyChanges tells the desktop window ("Progman") to show the new wallpaper.
#include "components/com_server.h"
#include "components/module.h"
#include "components/registry.h"

#include <windows.h>
#include <wininet.h>
#include <shlobj.h>
#include <shlguid.h>

#include <cwchar>
#include <string>

namespace {

const char* const kGeneralKey = "Software\\Microsoft\\Internet Explorer\\Desktop\\General";
const char* const kComponentsKey = "Software\\Microsoft\\Internet Explorer\\Desktop\\Components";
const char* const kControlPanelKey = "Control Panel\\Desktop";
const char* const kShellServer = "C:\\windows\\system32\\shell32.dll";

std::string ReadText(const char* path, const char* name) {
    std::string value;
    comp::RegistryKey key;
    if (key.Open(HKEY_CURRENT_USER, path, false, KEY_READ) && key.ReadString(name, value) == comp::RegRead::Ok)
        return value;
    return {};
}

DWORD ReadNumber(const char* path, const char* name, DWORD fallback) {
    comp::RegistryKey key;
    int32_t value = 0;
    if (key.Open(HKEY_CURRENT_USER, path, false, KEY_READ) && key.ReadInteger(name, value) == comp::RegRead::Ok)
        return static_cast<DWORD>(value);
    return fallback;
}

class ActiveDesktop : public IActiveDesktop {
public:
    ActiveDesktop() {
        comp::ComModule::ObjectCreated();
        wallpaper_ = ReadText(kGeneralKey, "Wallpaper");
        std::string style = ReadText(kGeneralKey, "WallpaperStyle");
        style_ = style.empty() ? WPSTYLE_STRETCH : static_cast<DWORD>(atoi(style.c_str()));
        if (ReadText(kGeneralKey, "TileWallpaper") == "1") style_ = WPSTYLE_TILE;
        enableComponents_ = ReadNumber(kComponentsKey, "EnableComponents", 1);
        activeDesktop_ = ReadNumber(kComponentsKey, "ActiveDesktop", 1);
    }
    virtual ~ActiveDesktop() { comp::ComModule::ObjectDestroyed(); }

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IActiveDesktop)) {
            *object = static_cast<IActiveDesktop*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
    STDMETHODIMP_(ULONG) Release() override {
        LONG n = InterlockedDecrement(&refs_);
        if (n == 0) delete this;
        return static_cast<ULONG>(n);
    }

    STDMETHODIMP ApplyChanges(DWORD flags) override {
        try {
            if (flags & AD_APPLY_SAVE) Save();
            if (flags & (AD_APPLY_REFRESH | AD_APPLY_HTMLGEN | AD_APPLY_FORCE)) TellDesktop();
            return S_OK;
        } catch (...) {
            return E_FAIL;
        }
    }
    STDMETHODIMP GetWallpaper(PWSTR buffer, UINT capacity, DWORD) override {
        if (!buffer || capacity == 0) return E_INVALIDARG;
        try {
            std::wstring wide = comp::ToWide(wallpaper_);
            size_t n = wide.size() < capacity - 1 ? wide.size() : capacity - 1;
            wmemcpy(buffer, wide.data(), n);
            buffer[n] = L'\0';
            return S_OK;
        } catch (...) {
            return E_OUTOFMEMORY;
        }
    }
    STDMETHODIMP SetWallpaper(PCWSTR name, DWORD) override {
        try {
            wallpaper_ = name ? comp::FromWide(name) : std::string();
            return S_OK;
        } catch (...) {
            return E_FAIL;
        }
    }
    STDMETHODIMP GetWallpaperOptions(LPWALLPAPEROPT options, DWORD) override {
        if (!options || options->dwSize < sizeof(WALLPAPEROPT)) return E_INVALIDARG;
        options->dwStyle = style_;
        return S_OK;
    }
    STDMETHODIMP SetWallpaperOptions(LPCWALLPAPEROPT options, DWORD) override {
        if (!options || options->dwSize < sizeof(WALLPAPEROPT)) return E_INVALIDARG;
        style_ = options->dwStyle;
        return S_OK;
    }
    STDMETHODIMP GetPattern(PWSTR, UINT, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP SetPattern(PCWSTR, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetDesktopItemOptions(LPCOMPONENTSOPT options, DWORD) override {
        if (!options || options->dwSize < sizeof(COMPONENTSOPT)) return E_INVALIDARG;
        options->fEnableComponents = enableComponents_ ? TRUE : FALSE;
        options->fActiveDesktop = activeDesktop_ ? TRUE : FALSE;
        return S_OK;
    }
    STDMETHODIMP SetDesktopItemOptions(LPCCOMPONENTSOPT options, DWORD) override {
        if (!options || options->dwSize < sizeof(COMPONENTSOPT)) return E_INVALIDARG;
        enableComponents_ = options->fEnableComponents ? 1 : 0;
        activeDesktop_ = options->fActiveDesktop ? 1 : 0;
        return S_OK;
    }
    STDMETHODIMP AddDesktopItem(LPCCOMPONENT, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP AddDesktopItemWithUI(HWND, LPCOMPONENT, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP ModifyDesktopItem(LPCCOMPONENT, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP RemoveDesktopItem(LPCCOMPONENT, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetDesktopItemCount(int* count, DWORD) override {
        if (!count) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    STDMETHODIMP GetDesktopItem(int, LPCOMPONENT, DWORD) override { return E_INVALIDARG; }
    STDMETHODIMP GetDesktopItemByID(ULONG_PTR, LPCOMPONENT, DWORD) override { return E_INVALIDARG; }
    STDMETHODIMP GenerateDesktopItemHtml(PCWSTR, LPCOMPONENT, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP AddUrl(HWND, PCWSTR, LPCOMPONENT, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetDesktopItemBySource(PCWSTR, LPCOMPONENT, DWORD) override { return E_NOTIMPL; }

private:
    void Save() {
        comp::RegistryKey general;
        if (general.Open(HKEY_CURRENT_USER, kGeneralKey, true)) {
            general.WriteString("Wallpaper", wallpaper_);
            general.WriteString("WallpaperStyle", style_ == WPSTYLE_TILE ? "0" : std::to_string(style_));
            general.WriteString("TileWallpaper", style_ == WPSTYLE_TILE ? "1" : "0");
        }
        comp::RegistryKey components;
        if (components.Open(HKEY_CURRENT_USER, kComponentsKey, true)) {
            components.WriteInteger("EnableComponents", static_cast<int32_t>(enableComponents_));
            components.WriteInteger("ActiveDesktop", static_cast<int32_t>(activeDesktop_));
        }
        comp::RegistryKey panel;
        if (panel.Open(HKEY_CURRENT_USER, kControlPanelKey, true)) {
            panel.WriteString("Wallpaper", wallpaper_);
            panel.WriteString("WallpaperStyle", style_ == WPSTYLE_TILE ? "0" : std::to_string(style_));
            panel.WriteString("TileWallpaper", style_ == WPSTYLE_TILE ? "1" : "0");
        }
    }

    // The desktop window reads the saved wallpaper again; we wait until it did (or gave up).
    static void TellDesktop() {
        HWND desktop = FindWindowA("Progman", nullptr);
        if (!desktop) return;
        DWORD_PTR result = 0;
        SendMessageTimeoutA(desktop, WM_SETTINGCHANGE, SPI_SETDESKWALLPAPER, 0, SMTO_NORMAL, 20000, &result);
    }

    LONG refs_ = 1;
    std::string wallpaper_;
    DWORD style_ = WPSTYLE_STRETCH;
    DWORD enableComponents_ = 1;
    DWORD activeDesktop_ = 1;
};

comp::ClassFactory& Factory() {
    static comp::ClassFactory factory(CLSID_ActiveDesktop, [](REFIID iid, void** object) -> HRESULT {
        auto* desktop = new (std::nothrow) ActiveDesktop();
        if (!desktop) return E_OUTOFMEMORY;
        HRESULT hr = desktop->QueryInterface(iid, object);
        desktop->Release();
        return hr;
    });
    return factory;
}

struct FactoryUnit {
    FactoryUnit() { comp::ComServer::AddFactory(&Factory()); }
} factoryUnit;

HRESULT WriteServer(const std::string& server) {
    std::string path = "CLSID\\" + comp::GuidToString(CLSID_ActiveDesktop);
    comp::RegistryKey cls;
    if (!cls.Open(HKEY_CLASSES_ROOT, path, true)) return E_FAIL;
    cls.WriteString("", "ActiveDesktop");
    comp::RegistryKey inproc;
    if (!inproc.Open(HKEY_CLASSES_ROOT, path + "\\InprocServer32", true)) return E_FAIL;
    inproc.WriteString("", server);
    inproc.WriteString("ThreadingModel", "Apartment");
    return S_OK;
}

}  // namespace

extern "C" {

HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
    return comp::ComServer::GetClassObject(clsid, iid, object);
}

HRESULT WINAPI DllCanUnloadNow() { return comp::ComModule::CanUnloadNow(); }

HRESULT WINAPI DllRegisterServer() {
    try {
        return WriteServer(comp::ModuleFileName(comp::ModuleInstance()));
    } catch (...) {
        return E_FAIL;
    }
}

// Gives the class back to the shell's own server.
HRESULT WINAPI DllUnregisterServer() {
    try {
        return WriteServer(kShellServer);
    } catch (...) {
        return E_FAIL;
    }
}

}  // extern "C"
