// The 3D desktop control's form T_3DVexlorForm: its components, the start-up of one control in a
// fixed order, the render and monitor timers, the watch on the control program, the event forwarders
// to the container's sink and the tear-down; its mouse and keyboard (_3DVexlorFormInput.cpp) and its
// context menu's commands, face options and dropped files (_3DVexlorFormCommands.cpp). The COM face (class
// factory, type library, OLE interfaces) lives in the DLL and wraps this form.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <string>

#include "components/comptr.h"
#include "components/form.h"
#include "components/menus.h"
#include "components/panel.h"
#include "components/timer.h"
#include "control/uGlobal.h"
#include "control/uMessagesOcx.h"
#include "control/uRender.h"
#include "menus/SkinMenus.h"

// ---- library start: one control per desktop

// Decides once per load of the library whether it offers the control: not when a window of class
// "_3DVexlorActiveXWnd" exists (another control runs); then _3D_Exit is posted to the control
// program. Runs when a class object is first asked for, never merely because the library was loaded.
bool ControlLibraryStart();

// ---- the desktop and the control program

// Whether the calling thread's desktop is the input desktop (names compared exactly).
bool IsInputDesktopActive();
// The names it compares: the input desktop's ("" when it can't be opened) and the calling thread's.
std::string RealInputDesktopName();
std::string ThreadDesktopName();
// Where IsInputDesktopActive reads the input desktop's name, by default RealInputDesktopName; it reads
// it nowhere else.
using TDesktopNameRead = std::string (*)();
extern TDesktopNameRead InputDesktopName;

// The Windows desktop icon list view ("ProgMan" -> first child -> first child of class
// "SysListView32"), or 0.
HWND GetDesktopListView();

enum class TExitStart { Started, StillRunning, PathTooLong, Failed };
// Starts "<folder>\_3DVexlor.exe" "/EXIT" without waiting and without handing down handles. A
// path longer than 255 characters is not started; while the process started last still runs no
// new one is started.
TExitStart LaunchControlProgramExit(const std::string& folder);
// The same from the control library's own folder.
void LaunchControlProgramExit();
// Forgets (closes) the handle of the exit process started last.
void ResetExitLauncher();

// ---- pure rules

// Render interval: 1000 / FPS with the fraction dropped when |fpsLimit|, else 1. FPS below 1 counts
// as 1; the interval is at least 1 ms.
UINT RenderTimerInterval(bool fpsLimit, int fps);
// Placement of the frame-rate panel (w x h) in the control (W x H) by ShowFPSPlace.
POINT FPSPanelPlace(int place, int W, int H, int w, int h);

// ---- the form

class TGranDesktop;
struct TLinkRecord;
struct TFaceMenuItems;

// What lies under a point of the control: the face (1 to 6, or -1) and, on a face, the point of its picture.
struct TFacePick {
    int Face = -1;
    TGranDesktop* Desktop = nullptr;
    POINT FacePoint{};
};

class T_3DVexlorForm : public comp::Form, public IRenderHost, public IActiveXWndTarget {
public:
    T_3DVexlorForm();
    ~T_3DVexlorForm() override;

    // Makes the form window as a child of |parent| at |bounds|, runs the form's OnCreate
    // (ActiveFormCreate) and then hooks the event forwarders (the form's initialization).
    void CreateControl(HWND parent, const RECT& bounds);
    // Runs the form's OnDestroy (RaiseOnDestroy: tear-down, then the event) and destroys the window.
    void DestroyControl();

    // The container's event sink changed (nullptr: none).
    void EventSinkChanged(IDispatch* sink);

    // Components, as the form declares them.
    comp::Panel pFPS;
    comp::Timer MonitorTimer;
    comp::Timer Timer;
    TSkBarPopupMenu pm;
    comp::ComPtr<IDispatch> EventSink;
    bool SceneCreated = false;
    gTGlobalVars GlobalVarsRecord;
    TFaceArray Faces;
    // How long the file-properties request waits for the control program before it gives up on it.
    UINT PropertiesRequestTimeoutMs = 5000;

    // The control counts as started while its popup menu is pm.
    bool IsStarted() const { return GetPopupMenu() == &pm; }
    bool Inert() const { return inert_; }

    // Handlers.
    void ActiveFormCreate();
    void FormDestroy();
    void MonitorTimerTimer();
    void TimerTimer();

    // Mouse and keyboard (client coordinates; the key by reference, as the form's events pass it).
    void FormMouseDown(comp::MouseButton button, comp::ShiftState shift, int x, int y);
    void FormMouseUp(comp::MouseButton button, comp::ShiftState shift, int x, int y);
    void FormMouseMove(comp::ShiftState shift, int x, int y);
    void FormDblClick();
    void FormKeyDown(WORD& key, comp::ShiftState shift);
    void FormKeyUp(WORD& key, comp::ShiftState shift);
    // Files dropped on the control: each is copied into the folder of the face under the cursor.
    void WMDropFiles(HDROP drop);

    // The face under a client point, or under the cursor; no face while the scene was not made.
    TFacePick PickAt(POINT client);
    TFacePick PickAtCursor();

    // The context menu's handlers: the menu opening and one per command item.
    void pmPopup();
    void miCreateClick();
    void miDeleteClick();
    void miPropertiesClick();
    void miNameClick();
    void Size2Click();
    void ype2Click();
    void Modified2Click();
    void miCubuPropertiesClick();
    void miVexlorOptClick();
    void miDisplayoptionsClick();
    void Exit2Click();
    void Aboute1Click();
    void Helptopics1Click();
    void License1Click();
    void miTipsClick();

    // Event forwarders to the sink.
    void RaiseOnActivate();
    void RaiseOnClick();
    void RaiseOnCreate();
    void RaiseOnDblClick();
    void RaiseOnDeactivate();
    void RaiseOnDestroy();
    void RaiseOnKeyPress(char& key);
    void RaiseOnPaint();

    // IRenderHost
    HWND Handle() override { return Window::Handle(); }
    void SetRenderTimerEnabled(bool enabled) override { Timer.SetEnabled(enabled); }
    void SetFPSCaption(const std::string& caption) override { pFPS.SetCaption(caption); }

    // IActiveXWndTarget
    void ShowPopupAtCursor() override;
    void ApplyFaceOptions(WPARAM wParam) override;

private:
    void Fire(DISPID id, DISPPARAMS& params);
    void Fire(DISPID id);
    void InitializeForm();
    void CreateContextMenu();
    // The face 1 to 6 of the scene, or nullptr.
    TGranDesktop* FaceAt(int face) const;
    void SetFaceMenuItems(const TFaceMenuItems& items);
    // Opens an item of a face with the shell's default verb.
    void OpenLink(const TGranDesktop& face, const TLinkRecord& link);
    void DropDraggedLink(TLinkRecord* link, int sourceFace, POINT client);
    // The face the context menu opened over, or nullptr: its face commands act there, wherever the cursor
    // has gone by the time an item is chosen.
    TGranDesktop* MenuFace() const { return FaceAt(menuPick_.Face); }

    TFacePick menuPick_;  // what lay under the cursor when the context menu opened
    bool inert_ = false;
    bool eventsEnded_ = false; // OnDestroy has fired
};
