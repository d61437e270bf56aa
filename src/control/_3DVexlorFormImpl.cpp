// The control form: start-up, timers, the control-program watch, event forwarding and tear-down.
#include "control/_3DVexlorFormImpl.h"

#include <olectl.h>

#include "components/exceptions.h"
#include "components/module.h"
#include "components/paths.h"
#include "control/uCamera.h"
#include "control/uInit.h"
#include "control/uSplesh.h"
#include "shared/uMessages.h"
#include "shared/uOptionsShared.h"
#include "shared/uPath.h"

// ---- library start

namespace {
enum class LibraryState { Undecided, Offering, NotOffering };
LibraryState gLibraryState = LibraryState::Undecided;
}  // namespace

bool ControlLibraryStart() {
    if (gLibraryState == LibraryState::Undecided) {
        if (FindActiveXWnd()) {
            // Another control runs on this desktop: the control program ends, which takes it down.
            PostToControlWnd(_3D_Exit, 0, 0);
            gLibraryState = LibraryState::NotOffering;
        } else {
            gLibraryState = LibraryState::Offering;
        }
    }
    return gLibraryState == LibraryState::Offering;
}

// ---- desktop tests

static std::string DesktopName(HDESK desk) {
    char name[256] = {};
    DWORD needed = 0;
    if (!desk || !GetUserObjectInformationA(desk, UOI_NAME, name, 255, &needed)) return {};
    name[255] = '\0';
    return name;
}

std::string RealInputDesktopName() {
    std::string name;
    if (HDESK input = OpenInputDesktop(0, TRUE, DESKTOP_READOBJECTS)) {
        name = DesktopName(input);
        CloseDesktop(input);
    }
    return name;
}

// The thread's own desktop handle belongs to the system: it is not closed.
std::string ThreadDesktopName() { return DesktopName(GetThreadDesktop(GetCurrentThreadId())); }

TDesktopNameRead InputDesktopName = &RealInputDesktopName;

bool IsInputDesktopActive() {
    const std::string input = InputDesktopName();
    return input == ThreadDesktopName();
}

HWND GetDesktopListView() {
    HWND progman = FindWindowA("ProgMan", nullptr);
    if (!progman) return nullptr;
    HWND child = GetWindow(progman, GW_CHILD);
    if (!child) return nullptr;
    HWND view = GetWindow(child, GW_CHILD);
    if (!view) return nullptr;
    char cls[40] = {};
    GetClassNameA(view, cls, 40);
    return strcmp(cls, "SysListView32") == 0 ? view : nullptr;
}

// ---- the exit start

namespace {
// The process started last; kept only to see when it has ended, so starts don't pile up.
struct ExitProcess {
    HANDLE process = nullptr;
    ~ExitProcess() { Reset(); }
    void Reset() {
        if (process) CloseHandle(process);
        process = nullptr;
    }
    bool Running() {
        if (!process) return false;
        if (WaitForSingleObject(process, 0) == WAIT_TIMEOUT) return true;
        Reset();
        return false;
    }
} gExitProcess;
}  // namespace

void ResetExitLauncher() { gExitProcess.Reset(); }

TExitStart LaunchControlProgramExit(const std::string& folder) {
    // Without its own folder the library would start whatever lies at the root of the current drive.
    if (folder.empty()) return TExitStart::Failed;
    const std::string path = folder + "\\_3DVexlor.exe";
    if (path.size() > 255) return TExitStart::PathTooLong;
    if (gExitProcess.Running()) return TExitStart::StillRunning;
    std::string commandLine = "\"" + path + "\" /EXIT";
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESHOWWINDOW | STARTF_FORCEONFEEDBACK;
    si.wShowWindow = SW_SHOW;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(path.c_str(), &commandLine[0], nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS, nullptr,
                        nullptr, &si, &pi))
        return TExitStart::Failed;
    CloseHandle(pi.hThread);
    gExitProcess.process = pi.hProcess;
    return TExitStart::Started;
}

void LaunchControlProgramExit() { LaunchControlProgramExit(GetAppPath()); }

// ---- pure rules

UINT RenderTimerInterval(bool fpsLimit, int fps) {
    if (!fpsLimit) return 1;
    if (fps < 1) fps = 1;
    UINT interval = static_cast<UINT>(1000 / fps);
    return interval < 1 ? 1 : interval;
}

POINT FPSPanelPlace(int place, int W, int H, int w, int h) {
    switch (place) {
        case 0: return {32, 32};
        case 1: return {W - w - 32, 10};
        case 2: return {W - w - 32, H - h - 32};
        case 3: return {10, H - h - 32};
        default: return {352, 8};
    }
}

// ---- the form

namespace {
// clBackground: the system's desktop colour.
COLORREF BackgroundColor() { return GetSysColor(COLOR_BACKGROUND); }
}  // namespace

T_3DVexlorForm::T_3DVexlorForm() {
    Faces.fill(nullptr);
    GlobalVarsRecord = gTGlobalVars{};
    SetColor(BackgroundColor());
    SetFont(comp::Font("MS Sans Serif", -11));

    pFPS.SetCaption("FPS:");
    pFPS.SetColor(RGB(0, 0, 0));
    pFPS.SetFont(comp::Font("MS Sans Serif", -16, true, false, RGB(255, 255, 255)));

    MonitorTimer.SetEnabled(false);
    MonitorTimer.SetInterval(100);
    MonitorTimer.OnTimer = [this](comp::Timer&) { MonitorTimerTimer(); };
    Timer.SetEnabled(false);
    Timer.SetInterval(60);
    Timer.OnTimer = [this](comp::Timer&) { TimerTimer(); };

    OnCreate = [this](comp::Form&) { ActiveFormCreate(); };
    OnMouseDown = [this](comp::Form&, comp::MouseButton button, comp::ShiftState shift, int x, int y) {
        FormMouseDown(button, shift, x, y);
    };
    OnMouseUp = [this](comp::Form&, comp::MouseButton button, comp::ShiftState shift, int x, int y) {
        FormMouseUp(button, shift, x, y);
    };
    OnMouseMove = [this](comp::Form&, comp::ShiftState shift, int x, int y) { FormMouseMove(shift, x, y); };
    OnKeyDown = [this](comp::Form&, WORD& key, comp::ShiftState shift) { FormKeyDown(key, shift); };
    OnKeyUp = [this](comp::Form&, WORD& key, comp::ShiftState shift) { FormKeyUp(key, shift); };
    OnDropFiles = [this](comp::Form&, HDROP drop) { WMDropFiles(drop); };
    CreateContextMenu();
}

// The context menu as the form declares it: the skinned look, then the items top to bottom.
void T_3DVexlorForm::CreateContextMenu() {
    pm.BeginLoading();
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
    pm.OnPopup = [this](comp::PopupMenu&) { pmPopup(); };

    auto on = [this](void (T_3DVexlorForm::*handler)()) {
        return [this, handler](comp::MenuItem&) { (this->*handler)(); };
    };
    pm.Items.AddSeparator("Notice").Name = "N1";
    pm.Items.Add("Your desktop turns on the cube", nullptr, "miNotice").Enabled = false;
    pm.Items.AddSeparator("Help").Name = "N2";
    pm.Items.Add("Help topics", on(&T_3DVexlorForm::Helptopics1Click), "Helptopics1");
    pm.Items.Add("Tips", on(&T_3DVexlorForm::miTipsClick), "miTips");
    pm.Items.Add("License", on(&T_3DVexlorForm::License1Click), "License1");
    pm.Items.Add("About...", on(&T_3DVexlorForm::Aboute1Click), "Aboute1");
    pm.Items.AddSeparator("3D Vexlor").Name = "N3";
    pm.Items.Add("Lunark Properties", on(&T_3DVexlorForm::miCubuPropertiesClick), "miCubuProperties");
    pm.Items.Add("3D Vexlor Options", on(&T_3DVexlorForm::miVexlorOptClick), "miVexlorOpt");
    pm.Items.Add("Exit", on(&T_3DVexlorForm::Exit2Click), "Exit2");
    pm.Items.AddSeparator("Lunark").Name = "N4";
    pm.Items.Add("Create shotcut", on(&T_3DVexlorForm::miCreateClick), "miCreate");
    pm.Items.Add("Delete", on(&T_3DVexlorForm::miDeleteClick), "miDelete");
    pm.Items.Add("Shortcut properties", on(&T_3DVexlorForm::miPropertiesClick), "miProperties");
    comp::MenuItem& arrange = pm.Items.Add("Arrange by", nullptr, "miArrangeSortby");
    arrange.Add("Name", on(&T_3DVexlorForm::miNameClick), "miName");
    arrange.Add("Size", on(&T_3DVexlorForm::Size2Click), "Size2");
    arrange.Add("Type", on(&T_3DVexlorForm::ype2Click), "ype2");
    arrange.Add("Modified", on(&T_3DVexlorForm::Modified2Click), "Modified2");
    pm.Items.Add("Properties", on(&T_3DVexlorForm::miDisplayoptionsClick), "miDisplayoptions");
    pm.EndLoading();
}

T_3DVexlorForm::~T_3DVexlorForm() {
    // The destructor drops every exception.
    comp::Quietly([this] { DestroyControl(); });
    MonitorTimer.SetEnabled(false);
    Timer.SetEnabled(false);
}

void T_3DVexlorForm::CreateControl(HWND parent, const RECT& bounds) {
    comp::WindowParams p;
    p.className = "T_3DVexlorForm";
    p.style = WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    p.x = bounds.left;
    p.y = bounds.top;
    p.width = bounds.right - bounds.left;
    p.height = bounds.bottom - bounds.top;
    if (p.width <= 0 || p.height <= 0) {
        p.width = 779;
        p.height = 543;
    }
    p.parent = parent;
    CreateForm(p);
    pFPS.CreatePanel(Window::Handle(), 352, 8, 105, 41, false);
    DoCreate();
    InitializeForm();
}

void T_3DVexlorForm::DestroyControl() {
    // The tear-down runs even when the window went first with its parent: the hidden window, the
    // timers, the scene and the list view are the control's whatever became of its window.
    DoDestroy();
    // OnDestroy was the last event: the window's own end (losing the focus) reaches no sink.
    eventsEnded_ = true;
    if (Window::Handle()) Destroy();
}

void T_3DVexlorForm::InitializeForm() {
    OnActivate = [this](comp::Form&) { RaiseOnActivate(); };
    OnClick = [this](comp::Form&) { RaiseOnClick(); };
    OnCreate = [this](comp::Form&) { RaiseOnCreate(); };
    OnDblClick = [this](comp::Form&) { RaiseOnDblClick(); };
    OnDeactivate = [this](comp::Form&) { RaiseOnDeactivate(); };
    OnDestroy = [this](comp::Form&) { RaiseOnDestroy(); };
    OnKeyPress = [this](comp::Form&, char& key) { RaiseOnKeyPress(key); };
    OnPaint = [this](comp::Form&) { RaiseOnPaint(); };
}

void T_3DVexlorForm::EventSinkChanged(IDispatch* sink) { EventSink = comp::ComPtr<IDispatch>(sink); }

void T_3DVexlorForm::ActiveFormCreate() {
    try {
        InitGlobalVars(GlobalVarsRecord, &Faces);
        if (!Window::Handle()) throw comp::Exception("The control has no window");
        if (!IsInputDesktopActive()) {
            // Another desktop has the input: the control stays blank and inert for its life.
            inert_ = true;
            return;
        }
        // Every file the control reads or writes lies in its data or its application folder: without them
        // it says so and doesn't start, as any start that fails. The application folder is the library's
        // own, read however long its name (longer than the program's beside it); the stored "AppPath"
        // replaces it below.
        if (!FoldersFound()) throw comp::Exception("The data or the application folder is unknown");
        LoadSettings();
        comp::ForceDirectories(AppDataPath);
        Hide();
        ShowSplash();
        SceneCreated = InitScene(Window::Handle(), GlobalVarsRecord);
        CloseSplash();
        Show();
        GlobalVarsRecord.Started = true;
        GlobalVarsRecord.DesktopListView = GetDesktopListView();
        if (Settings.hide_shotcuts && GlobalVarsRecord.DesktopListView)
            ShowWindow(GlobalVarsRecord.DesktopListView, SW_HIDE);
        // Number text of this library never takes the locale's decimal separator: nothing to set.
        Timer.SetInterval(RenderTimerInterval(Settings.FPSLimit, Settings.FPS));
        Timer.SetEnabled(true);
        if (Settings.ShowFPS) {
            POINT at = FPSPanelPlace(Settings.ShowFPSPlace, ClientWidth(), ClientHeight(), pFPS.Width(), pFPS.Height());
            pFPS.SetPosition(at.x, at.y);
            pFPS.SetVisible(true);
        } else {
            pFPS.SetVisible(false);
        }
        MonitorTimer.SetEnabled(true);
        CreateActiveXWnd(this);
        // Files dragged from the shell may be dropped on the cube.
        DragAcceptFiles(Window::Handle(), TRUE);
        SetPopupMenu(&pm);
    } catch (const std::exception&) {
        // Our own exceptions and the runtime's (out of memory among them) alike: the control
        // program ends, which takes the page and this control down. The splash goes first: it
        // would stay up, and the next control in this process would show a second one.
        comp::Quietly([] { CloseSplash(); });
        PostToControlWnd(_3D_Exit, 0, 0);
    }
}

void T_3DVexlorForm::FormDestroy() {
    // Each step is guarded on its own: the timers always stop and the list view is always shown.
    comp::Quietly([this] { DestroyActiveXWnd(this); });
    comp::Quietly([this] { SetPopupMenu(nullptr); });
    comp::Quietly([this] { MonitorTimer.SetEnabled(false); });
    comp::Quietly([this] { Timer.SetEnabled(false); });
    comp::Quietly([this] {
        if (SceneCreated) {
            SceneCreated = false;
            ReleaseScene(GlobalVarsRecord);
        } else {
            // A failed device leaves the camera alone in the record; nothing else would free it.
            delete GlobalVarsRecord.D3D.Camera;
            GlobalVarsRecord.D3D.Camera = nullptr;
        }
    });
    comp::Quietly([this] {
        if (GlobalVarsRecord.DesktopListView) ShowWindow(GlobalVarsRecord.DesktopListView, SW_SHOW);
    });
}

void T_3DVexlorForm::MonitorTimerTimer() {
    try {
        if (SceneCreated) RefreshChangedFaces(GlobalVarsRecord);
        if (!FindWindowA("T_3DVexlorControlForm", nullptr)) LaunchControlProgramExit();
    } catch (...) {
    }
}

void T_3DVexlorForm::TimerTimer() {
    try {
        if (Settings.hide_shotcuts) {
            GlobalVarsRecord.DesktopListView = GetDesktopListView();
            if (GlobalVarsRecord.DesktopListView) ShowWindow(GlobalVarsRecord.DesktopListView, SW_HIDE);
        }
        if (!Window::Handle()) return;
        if (IsInputDesktopActive()) RenderFrame(*this, GlobalVarsRecord);
    } catch (...) {
    }
}

void T_3DVexlorForm::ShowPopupAtCursor() {
    // A request that the menu loop dispatches while the menu is up leaves the open menu as it is (the
    // menu ignores a popup request while it is open).
    if (!IsStarted()) return;
    POINT pt;
    GetCursorPos(&pt);
    pm.PopupAt(pt.x, pt.y);
}

// ---- event forwarders

void T_3DVexlorForm::Fire(DISPID id, DISPPARAMS& params) {
    if (!EventSink || eventsEnded_) return;
    comp::ComPtr<IDispatch> sink = EventSink;  // the sink may go away while it handles the event
    sink->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
}

void T_3DVexlorForm::Fire(DISPID id) {
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    Fire(id, none);
}

void T_3DVexlorForm::RaiseOnActivate() { Fire(1); }
void T_3DVexlorForm::RaiseOnClick() { Fire(2); }
void T_3DVexlorForm::RaiseOnCreate() { Fire(3); }

void T_3DVexlorForm::RaiseOnDblClick() {
    Fire(5);
    FormDblClick();
}

void T_3DVexlorForm::RaiseOnDeactivate() { Fire(7); }

void T_3DVexlorForm::RaiseOnDestroy() {
    FormDestroy();
    Fire(6);
}

void T_3DVexlorForm::RaiseOnKeyPress(char& key) {
    if (!EventSink) return;
    SHORT value = static_cast<SHORT>(static_cast<unsigned char>(key));
    VARIANTARG arg;
    VariantInit(&arg);
    arg.vt = VT_I2 | VT_BYREF;
    arg.piVal = &value;
    DISPPARAMS params = {&arg, nullptr, 1, 0};
    Fire(11, params);
    key = static_cast<char>(value & 0xFF);
}

void T_3DVexlorForm::RaiseOnPaint() { Fire(16); }
