// The request dispatcher.
#include "uMessagesExe.h"

#include "components/window.h"
#include "frmMain.h"
#include "shared/uMessages.h"
#include "shared/uPath.h"
#include "uHelp.h"

#include <objbase.h>
#include <shellapi.h>

#include <string>

HWND ControlWndHandle = nullptr;

static BOOL WINAPI ShellObjectProperties(HWND owner, DWORD type, LPCWSTR object, LPCWSTR page) {
    static FilePropertiesCall call = reinterpret_cast<FilePropertiesCall>(
        GetProcAddress(GetModuleHandleA("shell32.dll"), MAKEINTRESOURCEA(178)));
    return call ? call(owner, type, object, page) : FALSE;
}

FilePropertiesCall SHObjectPropertiesCall = &ShellObjectProperties;

void DestroyControlWnd() {
    if (ControlWndHandle) DestroyMsgWindow(ControlWndHandle);
    ControlWndHandle = nullptr;
}

bool CreateControlWnd() {
    DestroyControlWnd();
    ControlWndHandle = CreateMsgWindow(kControlWndClass, &ControlWndProc);
    return ControlWndHandle != nullptr;
}

std::string FaceFolder(int face) { return AppDataPath + "Desktops\\" + std::to_string(face) + "\\"; }

std::string NewLinkParameters(int face) { return "appwiz.cpl,NewLinkHere " + FaceFolder(face); }

void ShowFileProperties(const std::string& path) {
    int n = static_cast<int>(path.size()) + 1;
    auto* wide = static_cast<wchar_t*>(CoTaskMemAlloc(2 * static_cast<SIZE_T>(n)));
    if (!wide) return;
    int written = path.empty() ? 0
                               : MultiByteToWideChar(CP_ACP, 0, path.data(), static_cast<int>(path.size()), wide,
                                                     n - 1);
    wide[written] = L'\0';
    SHObjectPropertiesCall(nullptr, 2 /* SHOP_FILEPATH */, wide, nullptr);
    CoTaskMemFree(wide);
}

void HandleCopyData(const COPYDATASTRUCT* data) {
    // A record without bytes names no file: nothing to show.
    if (!data) return;
    ULONG_PTR kind = data->dwData;
    DWORD size = data->cbData;
    const void* bytes = data->lpData;
    if (kind != 2 || size == 0 || !bytes) return;
    ShowFileProperties(std::string(static_cast<const char*>(bytes), size));
}

void PostToActiveXWnd(UINT msg, WPARAM wParam, LPARAM lParam) {
    HWND target = FindWindowA(kActiveXWndClass, nullptr);
    if (!target) return;
    SetForegroundWindow(target);
    PostMessageA(target, msg, wParam, lParam);
}

static void StartNewLinkWizard(WPARAM face) {
    std::string parameters = NewLinkParameters(static_cast<int>(static_cast<INT_PTR>(face)));
    ShellExecuteA(MainFormHandle(), "Open", "Rundll32.exe", parameters.c_str(), "", SW_SHOWNORMAL);
}

static void OpenDisplayProperties() { ShellExecuteA(MainFormHandle(), nullptr, "desk.cpl", nullptr, nullptr, SW_SHOW); }

static LRESULT Dispatch(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    // While the program comes down, requests are answered but nothing opens any more.
    const bool live = !ProgramClosing();
    if (msg == WM_COPYDATA) {
        if (live) HandleCopyData(reinterpret_cast<const COPYDATASTRUCT*>(lParam));
        return 1;
    }
    if (IsMessage(msg, _3D_About)) {
        if (live) ShowAbout();
    } else if (IsMessage(msg, _3D_Create)) {
        if (live) StartNewLinkWizard(wParam);
    } else if (IsMessage(msg, _3D_DispProp)) {
        if (live) OpenDisplayProperties();
    } else if (IsMessage(msg, _3D_Exit)) {
        miExitClick();
    } else if (IsMessage(msg, _3D_Options)) {
        if (live) OpenSettingsDialog();
    } else if (IsMessage(msg, _3D_Error)) {
        GraphicDeviceError();
    } else if (IsMessage(msg, _3D_Gran_Options)) {
        if (live) OpenFacePictureDialog();
    } else if (IsMessage(msg, _3D_Help)) {
        if (live) ShowHelpIndex();
    } else if (IsMessage(msg, _3D_License)) {
        if (live) ShowLicenseAgreement();
    } else if (IsMessage(msg, _3D_Tips)) {
        if (live) OpenTips();
    } else if (IsMessage(msg, __3D_Popup)) {
        if (live) PostToActiveXWnd(_3D_Popup, 0, 0);
    } else {
        return MsgWindowDefProc(window, msg, wParam, lParam);
    }
    return 1;
}

LRESULT CALLBACK ControlWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 1;
    bool done = false;
    comp::Guarded([&] {
        result = Dispatch(window, msg, wParam, lParam);
        done = true;
    });
    return done ? result : 1;
}

namespace {
struct ControlWndUnit {
    ~ControlWndUnit() { DestroyControlWnd(); }
} controlWndUnit;
}  // namespace
