// Stand-in for the shell's desktop: a bottom-most "Progman" window with a "SHELLDLL_DefView" child and the
// desktop icon list ("SysListView32") under it, and the Active Desktop wallpaper. A picture wallpaper is
// painted on "Progman"; an HTML wallpaper whose <object> names a control by classid gets that control,
// hosted in place on the desktop window itself (under Wine, Direct3D output only reaches the screen from
// a window whose parent is the desktop window) and made a top-level pop-up there, so that a click
// activates it and gives it the keyboard. Keys typed on the desktop go to the control through the
// container's key forwarding.
//
// "Progman" is a child of the desktop window: Wine never activates one, so it never takes the focus and
// never rises over the control or other programs' windows. Whenever the control comes up or is
// activated (which raises its X window over everything), the other windows are raised over it again.
// The screen is never read here while a control lives: under Wine, a read of the screen (XGetImage) at
// the moment the control's Direct3D thread presents a frame (glXSwapBuffers) on the same X connection
// can hang both for good.
//
// The wallpaper is read from where the Active Desktop object keeps it; the object sends
// WM_SETTINGCHANGE (SPI_SETDESKWALLPAPER) to "Progman" when it applied a change.
#include "components/registry.h"
#include "components/window.h"
#include "container/container.h"
#include "desktop_page.h"
#include "stacking.h"

#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace {

const char* const kGeneralKey = "Software\\Microsoft\\Internet Explorer\\Desktop\\General";

std::string CurrentWallpaper() {
    std::string value;
    comp::RegistryKey key;
    if (key.Open(HKEY_CURRENT_USER, kGeneralKey, false, KEY_READ) &&
        key.ReadString("Wallpaper", value) == comp::RegRead::Ok)
        return value;
    return {};
}

std::string ReadFileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class IconList : public comp::Window {};

class DesktopWindow : public comp::Window {
public:
    DesktopWindow() {
        int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
        comp::WindowParams p;
        p.className = "Progman";
        p.caption = "Program Manager";
        p.style = WS_CHILD | WS_CLIPCHILDREN;
        p.exStyle = WS_EX_TOOLWINDOW;
        p.x = 0;
        p.y = 0;
        p.width = width;
        p.height = height;
        p.background = reinterpret_cast<HBRUSH>(COLOR_BACKGROUND + 1);
        p.parent = GetDesktopWindow();
        Create(p);

        comp::WindowParams v;
        v.className = "SHELLDLL_DefView";
        v.style = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN;
        v.x = 0;
        v.y = 0;
        v.width = width;
        v.height = height;
        v.parent = Handle();
        view_.Create(v);

        // The icon list: transparent over the wallpaper, a few shell items on it.
        list_ = CreateWindowExA(0, WC_LISTVIEWA, "FolderView",
                                WS_CHILD | WS_VISIBLE | LVS_ICON | LVS_AUTOARRANGE | LVS_SHAREIMAGELISTS, 0, 0,
                                width, height, view_.Handle(), nullptr, GetModuleHandleA(nullptr), nullptr);
        if (list_) {
            ListView_SetBkColor(list_, CLR_NONE);
            ListView_SetTextBkColor(list_, CLR_NONE);
            ListView_SetTextColor(list_, RGB(255, 255, 255));
            HIMAGELIST images = ImageList_Create(32, 32, ILC_COLOR32 | ILC_MASK, 2, 0);
            ImageList_AddIcon(images, LoadIconA(nullptr, MAKEINTRESOURCEA(32517)));
            ImageList_AddIcon(images, LoadIconA(nullptr, MAKEINTRESOURCEA(32516)));
            ListView_SetImageList(list_, images, LVSIL_NORMAL);
            const char* names[] = {"My Computer", "Recycle Bin"};
            for (int i = 0; i < 2; ++i) {
                LVITEMA item = {};
                item.mask = LVIF_TEXT | LVIF_IMAGE;
                item.iItem = i;
                item.iImage = i;
                item.pszText = const_cast<char*>(names[i]);
                SendMessageA(list_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
            }
        }
        Show(SW_SHOWNA);
        SetWindowPos(Handle(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        SetTimer(Handle(), kTrayTimer, 500, nullptr);
        instance_ = this;
        activationHook_ = SetWindowsHookExA(WH_CBT, WatchActivation, nullptr, GetCurrentThreadId());
    }

    ~DesktopWindow() override {
        if (activationHook_) UnhookWindowsHookEx(activationHook_);
        instance_ = nullptr;
        host_.Destroy();
        if (picture_) DeleteObject(picture_);
    }

    container::ControlHost& Host() { return host_; }

    // Shows the wallpaper now saved.
    void ApplyWallpaper() {
        std::string wallpaper = CurrentWallpaper();
        CLSID clsid = {};
        bool page = IsHtmlFile(wallpaper) && FindObjectClassId(ReadFileText(wallpaper), clsid);
        if (page) {
            if (host_.Active() && hostedPage_ == wallpaper && IsEqualCLSID(hostedClass_, clsid)) return;
            DropControl();
            RECT bounds = desktop::HostedControlBounds();
            HRESULT hr = host_.Create(clsid, GetDesktopWindow(), &bounds);
            if (SUCCEEDED(hr)) {
                if (HWND control = host_.ControlWindow()) {
                    // Its first frame takes a while: until then its window would show a plain colour.
                    if (IsWindowVisible(control)) {
                        ShowWindow(control, SW_HIDE);
                        SetTimer(Handle(), kRevealTimer, kRevealMs, nullptr);
                    }
                    desktop::MakeFocusable(control);
                }
                hostedPage_ = wallpaper;
                hostedClass_ = clsid;
                fprintf(stderr, "desktop: hosting the control of %s\n", wallpaper.c_str());
            } else {
                fprintf(stderr, "desktop: the page's control could not be made (0x%08lx)\n",
                        static_cast<unsigned long>(hr));
            }
        } else {
            DropControl();
        }
        LoadPicture(page ? std::string() : wallpaper);
        Invalidate();
    }

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
        switch (msg) {
            case WM_TIMER:
                if (wParam == kTrayTimer) KeepTrayOnTop();
                if (wParam == kRevealTimer) RevealControl();
                if (wParam == kRestackAgainTimer) {
                    KillTimer(Handle(), kRestackAgainTimer);
                    RequestRestack();
                }
                return 0;
            case kRestackMessage:
                restackPending_ = false;
                if (desktop::KeepBeneath(Handle(), host_.Active() ? host_.ControlWindow() : nullptr))
                    SetTimer(Handle(), kRestackAgainTimer, kRestackAgainMs, nullptr);
                return 0;
            case WM_SETTINGCHANGE:
                if (wParam == SPI_SETDESKWALLPAPER) ApplyWallpaper();
                return 0;
            case WM_ERASEBKGND:
                return PaintBackground(reinterpret_cast<HDC>(wParam));
            case WM_CLOSE:
                PostQuitMessage(0);
                return 0;
            default:
                return DefaultHandler(msg, wParam, lParam);
        }
    }

private:
    static constexpr UINT_PTR kTrayTimer = 1;
    static constexpr UINT_PTR kRevealTimer = 3;
    static constexpr UINT kRevealMs = 500;
    static constexpr UINT_PTR kRestackAgainTimer = 4;
    static constexpr UINT kRestackAgainMs = 400;
    static constexpr UINT kRestackMessage = WM_APP + 1;

    // The hosted control's window is activated or takes the focus: Wine raises its X window over every
    // other window. Once that is done, the others are raised again.
    static LRESULT CALLBACK WatchActivation(int code, WPARAM wParam, LPARAM lParam) {
        if ((code == HCBT_ACTIVATE || code == HCBT_SETFOCUS) && instance_ && instance_->host_.Active() &&
            reinterpret_cast<HWND>(wParam) == instance_->host_.ControlWindow())
            instance_->RequestRestack();
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    void RequestRestack() {
        if (restackPending_) return;
        restackPending_ = PostMessageA(Handle(), kRestackMessage, 0, 0) != FALSE;
    }

    // Wine never lowers an X window: the notification area's own window, made by the shell before this
    // one, stays under it when it is shown. Raise it each time it comes up.
    void KeepTrayOnTop() {
        HWND tray = FindWindowA("__winex11_standalone_tray", nullptr);
        bool visible = tray && IsWindowVisible(tray);
        if (visible && !trayShown_) RequestRestack();
        trayShown_ = visible;
    }

    void RevealControl() {
        KillTimer(Handle(), kRevealTimer);
        HWND control = host_.Active() ? host_.ControlWindow() : nullptr;
        if (!control) return;
        ShowWindow(control, SW_SHOWNA);
        RequestRestack();
    }

    void DropControl() {
        KillTimer(Handle(), kRevealTimer);
        if (host_.Active()) fprintf(stderr, "desktop: control dropped\n");
        host_.Destroy();
        hostedPage_.clear();
        hostedClass_ = CLSID();
    }

    void LoadPicture(const std::string& file) {
        if (picture_) DeleteObject(picture_);
        picture_ = nullptr;
        if (file.empty()) return;
        picture_ = static_cast<HBITMAP>(LoadImageA(nullptr, file.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
    }

    LRESULT PaintBackground(HDC dc) {
        PaintWallpaper(dc);
        return 1;
    }

    void PaintWallpaper(HDC dc) {
        RECT r = ClientRect();
        if (!picture_) {
            FillRect(dc, &r, reinterpret_cast<HBRUSH>(COLOR_BACKGROUND + 1));
            return;
        }
        BITMAP info = {};
        GetObjectA(picture_, sizeof info, &info);
        HDC source = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(source, picture_);
        SetStretchBltMode(dc, HALFTONE);
        StretchBlt(dc, 0, 0, r.right, r.bottom, source, 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
        SelectObject(source, old);
        DeleteDC(source);
    }

    static DesktopWindow* instance_;

    comp::Window view_;
    HWND list_ = nullptr;
    container::ControlHost host_;
    std::string hostedPage_;
    CLSID hostedClass_ = {};
    HBITMAP picture_ = nullptr;
    bool trayShown_ = false;
    HHOOK activationHook_ = nullptr;
    bool restackPending_ = false;
};

DesktopWindow* DesktopWindow::instance_ = nullptr;

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    OleInitialize(nullptr);
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    // One desktop at a time.
    if (FindWindowA("Progman", nullptr)) {
        OleUninitialize();
        return 0;
    }
    int code = 0;
    comp::Guarded([&] {
        DesktopWindow desktop;
        desktop.ApplyWallpaper();
        MSG msg;
        while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
            if (desktop.Host().Active() && msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST &&
                desktop.Host().TranslateAccelerator(msg))
                continue;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        code = static_cast<int>(msg.wParam);
    });
    OleUninitialize();
    return code;
}
