// The control program's main form.
#include "frmMain.h"

#include "components/module.h"
#include "components/paths.h"
#include "components/registry.h"
#include "frmTips.h"
#include "shared/uMessages.h"
#include "shared/uOptionsShared.h"
#include "shared/uPath.h"
#include "u3DVexlorOptions.h"
#include "uDesktopPage.h"
#include "uExit.h"
#include "uHelp.h"
#include "uMessagesExe.h"
#include "uOptions.h"

const char* const kMainFormClass = "T_3DVexlorControlForm";
const char* const kMainFormCaption = "_3DVexlorControlForm";
const char* const kGraphicDeviceErrorText = "Error creation of graphic device. Application will be closed.";
const char* const kControlWndErrorText = "3D Vexlor can't create its control window. Application will be closed.";

std::string PrevWallpaper;
std::string DesktopPagePath;
T_3DVexlorControlForm* MainForm = nullptr;
void(WINAPI* AboutBoxProc)(unsigned char) = nullptr;

static void PostQuit() { PostQuitMessage(0); }
void (*RequestProgramEnd)() = &PostQuit;

static bool closing = false;

bool ProgramClosing() { return closing; }

HWND MainFormHandle() { return MainForm ? MainForm->Handle() : nullptr; }

std::string LastWallpaperToStore(const std::string& current, const std::string& storedBefore) {
    if (!IsDesktopPage(current)) return current;
    return IsDesktopPage(storedBefore) ? std::string() : storedBefore;
}

// ---- operations shared by the tray menu and the control window

void miExitClick() {
    if (closing) return;
    closing = true;
    ShowDesktopIcons();
    if (MainForm) MainForm->Close();
}

void GraphicDeviceError() {
    // One message, also when the control reports twice while the first one is still open.
    static bool reporting = false;
    if (closing || reporting) return;
    reporting = true;
    ShowDesktopIcons();
    comp::Guarded([] { SetDesktopWallpaper(WideOf(PrevWallpaper)); });
    MessageBoxA(MainFormHandle(), kGraphicDeviceErrorText, kApplicationTitle, MB_OK | MB_ICONERROR);
    reporting = false;
    miExitClick();
}

void ReloadDesktopPage() {
    SetDesktopWallpaper(L"");
    SetDesktopWallpaper(WideOf(DesktopPagePath));
}

void ShowAbout() {
    if (closing) return;
    if (AboutBoxProc) AboutBoxProc(1);
}

void OpenTips() {
    if (!closing) ShowTips();
}

void OpenSettingsDialog() {
    if (!closing) Show3DVexlorOptions();
}

void OpenFacePictureDialog() {
    if (!closing) ShowFaceOptions();
}

// ---- the form

T_3DVexlorControlForm::T_3DVexlorControlForm() {
    comp::WindowParams p;
    p.className = kMainFormClass;
    p.caption = kMainFormCaption;
    p.style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    p.exStyle = 0;
    p.x = p.y = 0;
    p.width = p.height = 0;
    Create(p);  // never shown
    MainForm = this;
    closing = false;
    SetHelpOwner(Handle());
    SetTipsOwner(Handle());
    CreateComponents();
    comp::Guarded([this] { FormCreate(); });
}

T_3DVexlorControlForm::~T_3DVexlorControlForm() {
    comp::Guarded([this] { FormDestroy(); });
    ti.reset();  // the icon leaves the notification area with the form's components
    SetHelpOwner(nullptr);
    SetTipsOwner(nullptr);
    MainForm = nullptr;
    closing = false;  // the gate is this form's: a form made later starts open
    Destroy();
}

void T_3DVexlorControlForm::CreateComponents() {
    ti = std::make_unique<TTrayIcon>(Handle());
    ti->LeftPopup = true;
    ti->StartMinimized = true;
    ti->MinimizeToTray = true;
    ti->SetCycleInterval(0);
    ti->SetIconVisible(false);
    ti->OnMouseUp = [this](TTrayIcon&, TMouseButton, TShiftState, int, int) { tiMouseUp(); };
    ti->Loaded();
    BuildTrayMenu();
}

void T_3DVexlorControlForm::BuildTrayMenu() {
    pm.BeginLoading();
    pm.SetOwner(Handle());
    pm.OwnerDraw = true;  // lines are never reduced: the menu shows what it declares
    pm.SetMenuStyle(msWindowsXP);
    pm.Bar().SetGradientStart(comp::clBlack);
    pm.Bar().BarPicture().Picture().LoadFromResourceName(comp::ModuleInstance(), "PMBARPICTURE");
    pm.Bar().BarCaption().Font = comp::Font("Tahoma", -19, true, true, comp::clWhite);
    pm.Separators().GradientStyle = gsDiagonalRightLeft;
    pm.Separators().Fade = true;
    pm.Separators().Font = comp::Font("MS Sans Serif", -11, false, false, comp::clWindowText);
    pm.Separators().SeparatorStyle = ssCaption;
    pm.SetMenuFont(comp::Font("MS Sans Serif", -11, false, false, comp::clWindowText));
    pm.Items.AddSeparator("Notice").Name = "N1";
    comp::MenuItem& notice = pm.Items.Add("Your desktop turns on the cube");
    notice.Enabled = false;
    pm.Items.AddSeparator("Help").Name = "N5";
    pm.Items.Add("Help topics", [this](comp::MenuItem&) { Helptopics1Click(); }, "Helptopics1");
    pm.Items.Add("Tips", [this](comp::MenuItem&) { miTipsClick(); }, "miTips");
    pm.Items.Add("License", [this](comp::MenuItem&) { License1Click(); }, "License1");
    pm.Items.Add("About...", [this](comp::MenuItem&) { Aboute1Click(); }, "Aboute1");
    pm.Items.AddSeparator("3D Vexlor").Name = "N4";
    pm.Items.Add("3D Vexlor Options", [this](comp::MenuItem&) { miVexlorOptClick(); }, "miVexlorOpt");
    pm.Items.Add("Exit", [this](comp::MenuItem&) { Exit2Click(); }, "Exit2");
    pm.EndLoading();
}

void T_3DVexlorControlForm::FormCreate() {
    HICON appIcon = LoadIconA(comp::ModuleInstance(), "MAINICON");
    if (!appIcon) appIcon = LoadIconA(nullptr, MAKEINTRESOURCEA(32512) /* IDI_APPLICATION */);
    ti->SetIcon(appIcon);
    ti->SetIconVisible(true);
    ti->SetHint(kApplicationTitle);
    SendMessageA(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(appIcon));

    LoadSettings();
    PrevWallpaper = GetDesktopWallpaper();
    DesktopPagePath = DesktopPageFile();

    if (!comp::FileExists(DesktopPagePath)) {
        // No page to show: end without a word, touching nothing.
        pageMissing_ = true;
        RequestProgramEnd();
        return;
    }
    // The control window comes first: the page makes the control at once, and what the control reports
    // while it starts (a failed device, a failed start) must find the window. Without it the control's
    // requests, Exit among them, would reach no one: the page is not set, nothing is stored, and the end
    // puts back what the user had (the stored wallpaper when the page is current, as a crash can leave
    // it) without waiting for a control this start never set up.
    if (!CreateControlWnd()) {
        comp::RegistryKey key;
        std::string storedBefore;
        if (!key.Open(HKEY_CURRENT_USER, kProductKey, false, KEY_READ) ||
            key.ReadString("LastWallPaper", storedBefore) != comp::RegRead::Ok)
            storedBefore.clear();
        key.Close();
        PrevWallpaper = LastWallpaperToStore(PrevWallpaper, storedBefore);
        controlWndFailed_ = true;
        MessageBoxA(Handle(), kControlWndErrorText, kApplicationTitle, MB_OK | MB_ICONERROR);
        Close();
        return;
    }
    comp::RegistryKey key;
    const bool writable = key.Open(HKEY_CURRENT_USER, kProductKey, true);
    if (!writable) key.Open(HKEY_CURRENT_USER, kProductKey, false, KEY_READ);
    std::string storedBefore;  // stays "" when the key can't be read either
    if (key.ReadString("LastWallPaper", storedBefore) != comp::RegRead::Ok) storedBefore.clear();
    // The page itself is never remembered nor put back: a start while the page is current keeps what
    // was stored (or, knowing nothing, the empty name), and that is what the end puts back.
    PrevWallpaper = LastWallpaperToStore(PrevWallpaper, storedBefore);
    if (writable) {
        key.WriteString("LastWallPaper", PrevWallpaper);
        // The program runs from where it is now: its start-with-Windows entry names this folder, whatever
        // folder an earlier start stored (or the defaults' first save named), from this start on.
        const std::string appDir = GetAppPath();
        key.WriteString("AppPath", appDir);
        const bool moved = appDir != AppDirPath;
        AppDirPath = appDir;
        if (moved && Settings.StartUP) {
            try {
                SaveStartWithWindows();
            } catch (const comp::Exception&) {
                // A Run key that refuses the value keeps the old entry; the settings dialog saves it again.
            }
        }
    }
    key.Close();
    SetDesktopWallpaper(WideOf(DesktopPagePath));
    if (Settings.Tips) ShowTips();
}

void T_3DVexlorControlForm::FormDestroy() {
    // However the loop ended (Exit, the missing page, an end request from elsewhere), the tear-down has
    // begun: the tray menu stays live during the wait below, but nothing opens any more.
    closing = true;
    CloseAllHelp();
    DestroyControlWnd();
    comp::Guarded([] { SetDesktopWallpaper(WideOf(PrevWallpaper)); });
    // A control on a page this start never set up (one a crash left behind) ends only once this form is
    // gone: after a control window that couldn't be made the end doesn't wait for it.
    if (!controlWndFailed_) WaitForActiveXWndGone(100000, 100);
}

int WaitForActiveXWndGone(int maxRounds, DWORD pauseMs) {
    int rounds = 0;
    while (FindActiveXWnd() && rounds < maxRounds) {
        Sleep(pauseMs);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) continue;  // the program is ending already
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        ++rounds;
    }
    return rounds;
}

void T_3DVexlorControlForm::Close() {
    closing = true;
    RequestProgramEnd();
}

LRESULT T_3DVexlorControlForm::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_DISPLAYCHANGE:
            ShowDesktopIcons();
            if (!closing && !pageMissing_) ReloadDesktopPage();
            return 0;
        case WM_QUERYENDSESSION:
            ShowDesktopIcons();
            closing = true;
            Close();
            return 1;
        case WM_CLOSE:
            miExitClick();
            return 0;
        default:
            return DefaultHandler(msg, wParam, lParam);
    }
}

void T_3DVexlorControlForm::tiMouseUp() {
    // A second button-up that the menu loop hands over while the menu is open leaves that menu as it is
    // (the menu ignores a popup request while it is open).
    POINT p = {0, 0};
    GetCursorPos(&p);
    pm.PopupAt(p.x, p.y);
}

void T_3DVexlorControlForm::Helptopics1Click() {
    if (!closing) ShowHelpIndex();
}
void T_3DVexlorControlForm::miTipsClick() { OpenTips(); }
void T_3DVexlorControlForm::License1Click() {
    if (!closing) ShowLicenseAgreement();
}
void T_3DVexlorControlForm::Aboute1Click() { ShowAbout(); }
void T_3DVexlorControlForm::miVexlorOptClick() { OpenSettingsDialog(); }
void T_3DVexlorControlForm::Exit2Click() { miExitClick(); }

int RunControlProgram() {
    // Every file of the program lies in its data or its application folder: without them it says so and
    // doesn't start.
    if (!FoldersFound()) return 1;
    // One tray program at a time: a second one would take the page for the user's wallpaper.
    if (FindWindowA(kMainFormClass, nullptr)) return 0;
    int code = 0;
    {
        T_3DVexlorControlForm form;
        MSG msg;
        while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        code = static_cast<int>(msg.wParam);
    }
    return code;
}
