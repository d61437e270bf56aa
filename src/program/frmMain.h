// T_3DVexlorControlForm: the control program's hidden main form. Created, it shows the tray icon, puts
// the desktop page on the desktop and makes the control window; destroyed, it puts the remembered
// wallpaper back and waits until the 3D control is gone. It owns the tray icon and the tray menu.
#pragma once

#include "TrayIcon.h"
#include "components/menus.h"
#include "components/window.h"
#include "menus/SkinMenus.h"
#include "shared/uPath.h"  // kApplicationTitle

#include <memory>
#include <string>

extern const char* const kMainFormClass;    // "T_3DVexlorControlForm"
extern const char* const kMainFormCaption;  // "_3DVexlorControlForm"
extern const char* const kGraphicDeviceErrorText;
extern const char* const kControlWndErrorText;

// Module state: the wallpaper found at creation and the desktop page's file.
extern std::string PrevWallpaper;
extern std::string DesktopPagePath;

// The LastWallPaper to store at start for the wallpaper found then and the value stored before: the
// desktop page is never stored (the value stored before is kept then).
std::string LastWallpaperToStore(const std::string& current, const std::string& storedBefore);

class T_3DVexlorControlForm : public comp::Window {
public:
    T_3DVexlorControlForm();
    ~T_3DVexlorControlForm() override;

    // Ends the message loop; the tear-down runs when the form is destroyed.
    void Close();
    bool PageMissing() const { return pageMissing_; }

    std::unique_ptr<TTrayIcon> ti;
    TSkBarPopupMenu pm;

    void tiMouseUp();
    void Helptopics1Click();
    void miTipsClick();
    void License1Click();
    void Aboute1Click();
    void miVexlorOptClick();
    void Exit2Click();

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void CreateComponents();
    void FormCreate();
    void FormDestroy();
    void BuildTrayMenu();

    bool pageMissing_ = false;
    // The control window could not be made: the start set up no page, and a control alive on the desktop
    // is none of this start's. The end doesn't wait for it.
    bool controlWndFailed_ = false;
};

// The one main form while it exists (else nullptr) and its window (else 0).
extern T_3DVexlorControlForm* MainForm;
HWND MainFormHandle();

// True from the first step of the program's tear-down (Exit) on: nothing opens any more.
bool ProgramClosing();

// Exit: shows the desktop icons and closes the main form; a second call does nothing.
void miExitClick();
// The control could not make its graphic device: tell the user and end as on Exit.
void GraphicDeviceError();
// Drops the page and sets it again: the shell builds the control anew, which reads the settings again.
void ReloadDesktopPage();

// The openers of the control's requests and of the tray menu.
void ShowAbout();
void OpenTips();
void OpenSettingsDialog();
void OpenFacePictureDialog();

// The about box of "_3DVexlorForms.dll", bound by the program's main module.
extern void(WINAPI* AboutBoxProc)(unsigned char);

// How the form asks for the end of the program's message loop: by default it posts WM_QUIT. Every
// request to end goes through it.
extern void (*RequestProgramEnd)();

// Waits while the 3D control's window exists: at most |maxRounds| times a pause of |pauseMs| followed by
// the handling of the thread's pending messages. Returns the rounds waited.
int WaitForActiveXWndGone(int maxRounds, DWORD pauseMs);

// The whole plain start: refuses to start without the data and application folders (saying so) and
// refuses a second copy; makes the form, runs the message loop, tears down.
int RunControlProgram();
