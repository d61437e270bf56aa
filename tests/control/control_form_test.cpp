// The control form in-process: the start-up order and its results, the inert control, the control
// without its folders, the event forwarders, the hidden window's ownership, the exit start and the
// tear-down.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <memory>
#include <new>
#include <sstream>
#include <string>
#include <vector>

#include "components/registry.h"
#include "control/_3DVexlorFormImpl.h"
#include "control/uInit.h"
#include "control/uSplesh.h"
#include "child_process.h"
#include "data_folder.h"
#include "fixtures.h"
#include "missing_folders.h"
#include "shared/uMessages.h"
#include "shared/uOptionsShared.h"
#include "shared/uPath.h"
#include "test_dialogs.h"
#include "test_windows.h"

using testing_support::ExeFolder;
using testing_support::FakeDesktopTree;
using testing_support::FakePeer;
using testing_support::Pump;
using testing_support::RegistrySandbox;
using testing_support::ScratchFolder;

namespace {

// A top-level window to host the form, as a container's in-place parent would be.
class FormHost : public testing_support::HostWindow {
public:
    FormHost() : HostWindow("ControlFormTestHost", "host", 800, 600) {}
};

void WriteSettings(bool fpsLimit, int fps, bool showFps, int place, bool hideShortcuts) {
    SetDefaultSettings();
    Settings.FPSLimit = fpsLimit;
    Settings.FPS = fps;
    Settings.ShowFPS = showFps;
    Settings.ShowFPSPlace = place;
    Settings.hide_shotcuts = hideShortcuts;
    SaveSettings();
    SetDefaultSettings();  // the control must read them back itself
}

IDirect3D9* WINAPI NoDirect3D(UINT) { return nullptr; }

// Closes an open popup menu by a key and by ending the menu mode.
void CloseOpenMenu() {
    HWND menu = FindWindowA("#32768", nullptr);
    if (menu) PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    EndMenu();
}

int gSplashCreated = 0, gSplashDestroyed = 0;

LRESULT CALLBACK CountSplash(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND || code == HCBT_DESTROYWND) {
        char cls[64] = {};
        GetClassNameA(reinterpret_cast<HWND>(wParam), cls, sizeof(cls));
        if (strcmp(cls, "T3DVexlorSplash") == 0) (code == HCBT_CREATEWND ? gSplashCreated : gSplashDestroyed)++;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Another desktop has the input (a locked workstation, a screen saver's desktop).
std::string OtherInputDesktop() { return "Winlogon"; }

// A sink that records the DISPIDs it is called with; OnKeyPress answers with |keyAnswer|.
class RecordingSink : public IDispatch {
public:
    std::vector<DISPID> calls;
    SHORT keyAnswer = 0;
    SHORT keySeen = 0;
    std::function<void(DISPID)> onCall;

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch)) {
            *object = this;
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP GetTypeInfoCount(UINT* n) override {
        *n = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                        UINT*) override {
        EXPECT_EQ(DISPATCH_METHOD, flags);
        calls.push_back(id);
        if (onCall) onCall(id);
        if (id == 11 && params && params->cArgs == 1 && params->rgvarg[0].vt == (VT_I2 | VT_BYREF)) {
            keySeen = *params->rgvarg[0].piVal;
            *params->rgvarg[0].piVal = keyAnswer;
        }
        return S_OK;
    }
};

class ControlFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        InputDesktopName = &ThreadDesktopName;
        ASSERT_EQ(nullptr, FindActiveXWnd()) << "a control's hidden window is left from elsewhere";
    }
    void TearDown() override {
        InputDesktopName = &RealInputDesktopName;
        Direct3DCreateHook = &Direct3DCreate9;
        ResetExitLauncher();
    }
    RegistrySandbox sandbox_;
    testing_support::ScratchDataFolder data_;
    // The control program's main form is "there": the monitor timer starts nothing.
    FakePeer mainForm_{"T_3DVexlorControlForm"};
};

}  // namespace

TEST(ControlRules, RenderIntervalAndItsClamps) {
    EXPECT_EQ(33u, RenderTimerInterval(true, 30));
    EXPECT_EQ(10u, RenderTimerInterval(true, 100));
    EXPECT_EQ(1u, RenderTimerInterval(false, 30));
    EXPECT_EQ(1u, RenderTimerInterval(false, 0));
    // FPS 0 or below behaves as 1 instead of dividing by zero; above 1000 the interval stays 1 ms.
    EXPECT_EQ(1000u, RenderTimerInterval(true, 0));
    EXPECT_EQ(1000u, RenderTimerInterval(true, -5));
    EXPECT_EQ(1u, RenderTimerInterval(true, 1000));
    EXPECT_EQ(1u, RenderTimerInterval(true, 5000));
    EXPECT_EQ(3u, RenderTimerInterval(true, 300));
}

TEST(ControlRules, FPSPanelPlaces) {
    const int W = 1024, H = 768, w = 105, h = 41;
    auto eq = [](POINT p, int x, int y) { return p.x == x && p.y == y; };
    EXPECT_TRUE(eq(FPSPanelPlace(0, W, H, w, h), 32, 32));
    EXPECT_TRUE(eq(FPSPanelPlace(1, W, H, w, h), W - w - 32, 10));
    EXPECT_TRUE(eq(FPSPanelPlace(2, W, H, w, h), W - w - 32, H - h - 32));
    EXPECT_TRUE(eq(FPSPanelPlace(3, W, H, w, h), 10, H - h - 32));
    EXPECT_TRUE(eq(FPSPanelPlace(4, W, H, w, h), 352, 8));
    EXPECT_TRUE(eq(FPSPanelPlace(-1, W, H, w, h), 352, 8));
}

namespace {
std::string fakeInputDesktop;
std::string FakeInputDesktopName() { return fakeInputDesktop; }
}  // namespace

TEST(ControlRules, InputDesktopActiveOnlyWhenItIsTheThreadsDesktopByExactName) {
    // Wine has one input desktop: the real names agree.
    EXPECT_TRUE(IsInputDesktopActive());
    char own[256] = {};
    DWORD needed = 0;
    ASSERT_TRUE(GetUserObjectInformationA(GetThreadDesktop(GetCurrentThreadId()), UOI_NAME, own, 255, &needed));
    std::string ownUpper = own;
    CharUpperA(&ownUpper[0]);
    ASSERT_NE(ownUpper, own);
    // Another desktop takes the input (a locked workstation, a screen saver's desktop).
    InputDesktopName = &FakeInputDesktopName;
    fakeInputDesktop = own;
    const bool same = IsInputDesktopActive();
    fakeInputDesktop = "Winlogon";
    const bool other = IsInputDesktopActive();
    fakeInputDesktop = ownUpper;
    const bool otherCase = IsInputDesktopActive();
    InputDesktopName = &RealInputDesktopName;
    EXPECT_TRUE(same);
    EXPECT_FALSE(other);
    EXPECT_FALSE(otherCase);
}

TEST_F(ControlFormTest, StartUpSetsTimersPanelHiddenWindowAndMenuThenTearDownUndoesThem) {
    WriteSettings(true, 30, true, 2, true);
    FakeDesktopTree desktop;
    ASSERT_EQ(desktop.ListView(), GetDesktopListView());
    FormHost host;
    {
        T_3DVexlorForm form;
        form.CreateControl(host.Handle(), host.Client());
        EXPECT_TRUE(form.IsStarted());
        EXPECT_FALSE(form.Inert());
        EXPECT_TRUE(form.GlobalVarsRecord.Started);
        EXPECT_TRUE(form.Visible());
        EXPECT_EQ(-1, form.GlobalVarsRecord.CurrentFace);
        EXPECT_EQ(-1, form.GlobalVarsRecord.DragSourceFace);
        EXPECT_EQ(&form.Faces, form.GlobalVarsRecord.Faces);

        EXPECT_TRUE(form.Timer.Enabled());
        EXPECT_EQ(33u, form.Timer.Interval());
        EXPECT_TRUE(form.MonitorTimer.Enabled());
        EXPECT_EQ(100u, form.MonitorTimer.Interval());

        // ShowFPSPlace 2: bottom right, 32 pixels in.
        ASSERT_TRUE(form.pFPS.Visible());
        RECT pr;
        GetWindowRect(form.pFPS.Handle(), &pr);
        MapWindowPoints(nullptr, form.Handle(), reinterpret_cast<POINT*>(&pr), 2);
        EXPECT_EQ(form.ClientWidth() - 105 - 32, pr.left);
        EXPECT_EQ(form.ClientHeight() - 41 - 32, pr.top);
        EXPECT_EQ(105, pr.right - pr.left);
        EXPECT_EQ(41, pr.bottom - pr.top);
        EXPECT_EQ("FPS:", form.pFPS.Caption().substr(0, 4));

        // The hidden window exists, addresses this form, and the list view was hidden.
        HWND hidden = FindActiveXWnd();
        ASSERT_NE(nullptr, hidden);
        EXPECT_EQ(hidden, ActiveXWndHandle());
        EXPECT_EQ(static_cast<IActiveXWndTarget*>(&form), ActiveXWndTarget());
        EXPECT_FALSE(IsWindowVisible(hidden));
        EXPECT_EQ(desktop.ListView(), form.GlobalVarsRecord.DesktopListView);
        EXPECT_FALSE(desktop.ListViewShown());

        // Frames are drawn: the render tick runs.
        EXPECT_TRUE(testing_support::PumpUntil(
            [&] { return form.GlobalVarsRecord.FrameCount + form.GlobalVarsRecord.FPSValue > 0; }, 30000));

        form.DestroyControl();
        EXPECT_FALSE(form.IsStarted());
        EXPECT_FALSE(form.Timer.Enabled());
        EXPECT_FALSE(form.MonitorTimer.Enabled());
        EXPECT_EQ(nullptr, FindActiveXWnd());
        EXPECT_EQ(nullptr, ActiveXWndHandle());
        EXPECT_FALSE(form.SceneCreated);
        EXPECT_TRUE(desktop.ListViewShown());
    }
}

TEST_F(ControlFormTest, PanelHiddenWithoutShowFPSAndLeftInPlaceForAnUnknownPlace) {
    FormHost host;
    {
        WriteSettings(false, 30, false, 0, false);
        T_3DVexlorForm form;
        form.CreateControl(host.Handle(), host.Client());
        EXPECT_FALSE(form.pFPS.Visible());
        EXPECT_EQ(1u, form.Timer.Interval());
    }
    {
        WriteSettings(true, 0, true, 4, false);
        T_3DVexlorForm form;
        form.CreateControl(host.Handle(), host.Client());
        EXPECT_EQ(1000u, form.Timer.Interval());
        ASSERT_TRUE(form.pFPS.Visible());
        RECT pr;
        GetWindowRect(form.pFPS.Handle(), &pr);
        MapWindowPoints(nullptr, form.Handle(), reinterpret_cast<POINT*>(&pr), 2);
        EXPECT_EQ(352, pr.left);
        EXPECT_EQ(8, pr.top);
    }
    EXPECT_EQ(nullptr, FindActiveXWnd());
}

TEST_F(ControlFormTest, OnAnotherInputDesktopTheControlStaysInert) {
    InputDesktopName = &OtherInputDesktop;
    FormHost host;
    T_3DVexlorForm form;
    form.CreateControl(host.Handle(), host.Client());
    EXPECT_TRUE(form.Inert());
    EXPECT_FALSE(form.IsStarted());
    EXPECT_FALSE(form.Timer.Enabled());
    EXPECT_FALSE(form.MonitorTimer.Enabled());
    EXPECT_FALSE(form.SceneCreated);
    EXPECT_EQ(nullptr, form.GlobalVarsRecord.D3D.Device);
    EXPECT_EQ(nullptr, FindActiveXWnd());
    EXPECT_EQ(nullptr, form.GetPopupMenu());
    form.DestroyControl();
}

TEST_F(ControlFormTest, AFailedDeviceStillStartsPostsErrorAndTearsDownWithoutTheScene) {
    FakePeer controlWnd("_3DVexlorControlWnd");
    Direct3DCreateHook = &NoDirect3D;
    WriteSettings(true, 50, false, 0, true);
    FakeDesktopTree desktop;
    FormHost host;
    T_3DVexlorForm form;
    form.CreateControl(host.Handle(), host.Client());
    Pump(100);
    EXPECT_EQ(1, controlWnd.Count(_3D_Error));
    EXPECT_EQ(0, controlWnd.Count(_3D_Exit));
    EXPECT_FALSE(form.SceneCreated);
    EXPECT_TRUE(form.IsStarted());
    EXPECT_TRUE(form.Timer.Enabled());
    EXPECT_EQ(20u, form.Timer.Interval());
    EXPECT_NE(nullptr, FindActiveXWnd());
    EXPECT_FALSE(desktop.ListViewShown());
    Pump(200);  // ticks without a device draw nothing and fail nothing
    form.DestroyControl();
    EXPECT_EQ(nullptr, FindActiveXWnd());
    EXPECT_TRUE(desktop.ListViewShown());
}

TEST_F(ControlFormTest, OnlyTheControlThatMadeTheHiddenWindowDestroysIt) {
    FormHost host;
    auto first = std::make_unique<T_3DVexlorForm>();
    first->CreateControl(host.Handle(), host.Client());
    HWND firstWnd = FindActiveXWnd();
    ASSERT_NE(nullptr, firstWnd);
    auto second = std::make_unique<T_3DVexlorForm>();
    second->CreateControl(host.Handle(), host.Client());
    HWND secondWnd = ActiveXWndHandle();
    ASSERT_NE(nullptr, secondWnd);
    EXPECT_FALSE(IsWindow(firstWnd) && firstWnd != secondWnd);
    EXPECT_EQ(static_cast<IActiveXWndTarget*>(second.get()), ActiveXWndTarget());

    first.reset();  // the first control's tear-down leaves the second's window alone
    EXPECT_TRUE(IsWindow(secondWnd));
    EXPECT_EQ(secondWnd, FindActiveXWnd());
    second.reset();
    EXPECT_EQ(nullptr, FindActiveXWnd());
}

TEST_F(ControlFormTest, HiddenWindowAnswersItsMessagesAndIgnoresClose) {
    FormHost host;
    T_3DVexlorForm form;
    form.CreateControl(host.Handle(), host.Client());
    HWND hidden = FindActiveXWnd();
    ASSERT_NE(nullptr, hidden);
    EXPECT_EQ(1, SendMessageA(hidden, _3D_Gran_Opt, 0, 0));
    EXPECT_EQ(1, SendMessageA(hidden, WM_CLOSE, 0, 0));
    EXPECT_TRUE(IsWindow(hidden));
    // _3D_Popup opens the context menu at the cursor. A timer that ticks inside the menu loop sends a
    // second one while the menu is up, which leaves the menu being shown alone, and then closes the menu.
    form.pm.Items.Add("Item");
    int popups = 0;
    form.pm.OnPopup = [&](comp::PopupMenu&) { ++popups; };
    HMENU shown = nullptr;
    bool keptShown = false;
    int ticks = 0;
    comp::Timer whileShown;
    whileShown.SetInterval(300);
    whileShown.OnTimer = [&](comp::Timer&) {
        if (++ticks == 1) {
            shown = form.pm.Handle();
            EXPECT_EQ(1, SendMessageA(hidden, _3D_Popup, 0, 0));
            keptShown = shown && IsMenu(shown) && form.pm.Handle() == shown;
        }
        CloseOpenMenu();
    };
    whileShown.SetEnabled(true);
    EXPECT_EQ(1, SendMessageA(hidden, _3D_Popup, 0, 0));
    whileShown.SetEnabled(false);
    EXPECT_EQ(1, popups);
    EXPECT_NE(nullptr, shown);
    EXPECT_TRUE(keptShown);
}

TEST_F(ControlFormTest, EventForwardersReachTheSinkInTheirOrder) {
    FormHost host;
    RecordingSink sink;
    T_3DVexlorForm form;
    form.CreateControl(host.Handle(), host.Client());
    // Without a sink nothing is called and nothing fails.
    char key = 'a';
    form.RaiseOnKeyPress(key);
    EXPECT_EQ('a', key);

    form.EventSinkChanged(&sink);
    // A click on the form: OnClick (2).
    PostMessageA(form.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20));
    PostMessageA(form.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(20, 20));
    Pump(100);
    EXPECT_NE(sink.calls.end(), std::find(sink.calls.begin(), sink.calls.end(), 2));

    // A double click: OnDblClick (5).
    PostMessageA(form.Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(20, 20));
    PostMessageA(form.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(20, 20));
    Pump(100);
    EXPECT_NE(sink.calls.end(), std::find(sink.calls.begin(), sink.calls.end(), 5));

    // A key press: OnKeyPress (11) sees the key and what it answers comes back (low byte).
    sink.keyAnswer = 0x142;
    key = 'q';
    form.RaiseOnKeyPress(key);
    EXPECT_EQ('q', sink.keySeen);
    EXPECT_EQ('B', key);
    // Through the window: WM_CHAR reaches the forwarder.
    sink.calls.clear();
    SendMessageA(form.Handle(), WM_CHAR, 'x', 0);
    ASSERT_EQ(1u, sink.calls.size());
    EXPECT_EQ(11, sink.calls[0]);
    EXPECT_EQ('x', sink.keySeen);

    // OnPaint (16) on a paint.
    sink.calls.clear();
    InvalidateRect(form.Handle(), nullptr, TRUE);
    UpdateWindow(form.Handle());
    EXPECT_NE(sink.calls.end(), std::find(sink.calls.begin(), sink.calls.end(), 16));

    // OnDestroy (6) fires after the tear-down: the hidden window is already gone then.
    bool hiddenGoneAtDestroy = false;
    sink.onCall = [&](DISPID id) {
        if (id == 6) hiddenGoneAtDestroy = FindActiveXWnd() == nullptr && !form.Timer.Enabled();
    };
    sink.calls.clear();
    form.DestroyControl();
    ASSERT_FALSE(sink.calls.empty());
    EXPECT_EQ(6, sink.calls.back());
    EXPECT_TRUE(hiddenGoneAtDestroy);

    // A sink that went away gets nothing.
    form.EventSinkChanged(nullptr);
    sink.calls.clear();
    form.RaiseOnClick();
    EXPECT_TRUE(sink.calls.empty());
}

IDirect3D9* WINAPI OutOfMemory(UINT) { throw std::bad_alloc(); }

// The splash is shown once per load of the library: played in a fresh process. With "failing", the first
// control's start-up fails after the splash came up.
static testing_support::ChildMode splashChild("splash-once", [](const std::vector<std::string>& args) -> int {
    // The splash library lies beside the control library; this test binary lives one folder down.
    SetDllDirectoryA((ExeFolder() + "\\..").c_str());
    RegistrySandbox sandbox;
    testing_support::ScratchDataFolder data;
    FakePeer mainForm("T_3DVexlorControlForm");
    InputDesktopName = &ThreadDesktopName;
    int& created = gSplashCreated;
    int& destroyed = gSplashDestroyed;
    HHOOK hook = SetWindowsHookExA(WH_CBT, CountSplash, nullptr, GetCurrentThreadId());
    FormHost host;
    int firstCreated = -1, firstDestroyed = -1, splashLeft = -1, secondCreated = -1;
    bool closedFlag = false;
    {
        if (!args.empty() && args[0] == "failing") Direct3DCreateHook = &OutOfMemory;
        T_3DVexlorForm first;
        first.CreateControl(host.Handle(), host.Client());
        Direct3DCreateHook = &Direct3DCreate9;
        firstCreated = created;
        firstDestroyed = destroyed;
        closedFlag = SplashClosed();
        splashLeft = FindWindowA("T3DVexlorSplash", nullptr) != nullptr;
    }
    {
        T_3DVexlorForm second;
        second.CreateControl(host.Handle(), host.Client());
        secondCreated = created;
    }
    UnhookWindowsHookEx(hook);
    printf("%d %d %d %d %d\n", firstCreated, firstDestroyed, closedFlag ? 1 : 0, splashLeft, secondCreated);
    fflush(stdout);
    return 0;
});

TEST(ControlSplash, ShownOncePerLoadAndClosedBeforeTheControlShows) {
    testing_support::ChildResult r = testing_support::RunChild("splash-once", {}, 60000);
    ASSERT_TRUE(r.finished);
    EXPECT_EQ(0u, r.exitCode);
    // first control: one splash made and closed, flag set, none left; second control: none more.
    EXPECT_EQ("1 1 1 0 1", r.FirstLine());
}

TEST(ControlSplash, AStartUpThatFailsClosesTheSplashAndTheNextControlShowsNone) {
    testing_support::ChildResult r = testing_support::RunChild("splash-once", {"failing"}, 60000);
    ASSERT_TRUE(r.finished);
    EXPECT_EQ(0u, r.exitCode);
    EXPECT_EQ("1 1 1 0 1", r.FirstLine());
}

// Two controls, one after the other in one process, while the source of one folder fails: "profile" (the
// user's profile folder is unknown) or "module" (the library's file name doesn't fit its buffer). Prints
// the message boxes shown, how many controls started, the _3D_Exit requests, whether anything was
// stored, and the message's text.
static testing_support::ChildMode controlWithoutFolders("control-without-folders", [](const std::vector<std::string>& args) -> int {
    RegistrySandbox sandbox;
    // Paths built on an empty data folder would land in the current folder: a scratch one.
    ScratchFolder current;
    SetCurrentDirectoryA(current.Dir().c_str());
    FakePeer mainForm("T_3DVexlorControlForm");
    FakePeer controlWnd("_3DVexlorControlWnd");
    InputDesktopName = &ThreadDesktopName;
    testing_support::FailFolderSource(args.empty() ? "" : args[0]);
    std::unique_ptr<testing_support::ScratchDataFolder> data;
    if (!AppDataPath.empty()) data = std::make_unique<testing_support::ScratchDataFolder>();
    FormHost host;
    std::string text;
    size_t boxes = 0;
    int started = 0;
    for (int i = 0; i < 2; ++i) {
        T_3DVexlorForm form;
        boxes += testing_support::RunWithSteps(
            [&] { form.CreateControl(host.Handle(), host.Client()); },
            {[&] { testing_support::AnswerMessageBox("3D Vexlor", text); }}, 50,
            [] { return testing_support::FindThreadDialog("3D Vexlor") != nullptr; });
        if (form.IsStarted() || form.Timer.Enabled() || form.MonitorTimer.Enabled() || FindActiveXWnd()) ++started;
    }
    Pump(100);
    const bool stored = testing_support::RegText("Software\\Pellomar\\3D Vexlor", "") != "<no key>";
    printf("%u %d %d %d\n%s\n", static_cast<unsigned>(boxes), started, controlWnd.Count(_3D_Exit), stored ? 1 : 0,
           text.c_str());
    fflush(stdout);
    return 0;
});

TEST(ControlStart, WithoutItsDataOrApplicationFolderTheControlSaysSoOnceAndDoesNotStart) {
    for (const testing_support::MissingFolderCase& c : testing_support::kMissingFolderCases) {
        SCOPED_TRACE(c.source);
        testing_support::ChildResult r = testing_support::RunChild("control-without-folders", {c.source}, 60000);
        ASSERT_TRUE(r.finished);
        EXPECT_EQ(0u, r.exitCode);
        // One box for two controls; neither started; each asked the control program to end, as a start
        // that fails does; nothing stored.
        EXPECT_EQ("1 0 2 0", r.FirstLine());
        EXPECT_NE(std::string::npos, r.output.find(c.text)) << r.output;
    }
}

TEST_F(ControlFormTest, ExitStartFromTheLibraryFolderWithoutPilingUp) {
    ScratchFolder folder;
    const std::string dir = folder.Dir();
    ASSERT_TRUE(CopyFileA((ExeFolder() + "\\control_exit_stub.exe").c_str(), (dir + "\\_3DVexlor.exe").c_str(), FALSE));
    SetEnvironmentVariableA("VEXLOR_STUB_MS", "1500");

    EXPECT_EQ(TExitStart::Started, LaunchControlProgramExit(dir));
    // While that one runs, no second start.
    EXPECT_EQ(TExitStart::StillRunning, LaunchControlProgramExit(dir));
    // Once it has ended, the next one starts.
    ASSERT_TRUE(testing_support::WaitUntilNoChildRuns("_3DVexlor.exe", 60000));
    EXPECT_EQ(TExitStart::Started, LaunchControlProgramExit(dir));
    ASSERT_TRUE(testing_support::WaitUntilNoChildRuns("_3DVexlor.exe", 60000));
    std::string log = testing_support::ReadWholeFile(dir + "\\exit_log.txt");
    const std::string expected = "\"" + dir + "\\_3DVexlor.exe\" /EXIT\r\nended\r\n";
    EXPECT_EQ(expected + expected, log);

    // A path beyond 255 characters is not started (nor cut).
    EXPECT_EQ(TExitStart::PathTooLong, LaunchControlProgramExit(dir + "\\" + std::string(250, 'x')));
    // A missing program is a failure that changes nothing.
    EXPECT_EQ(TExitStart::Failed, LaunchControlProgramExit(dir + "\\missing"));
    SetEnvironmentVariableA("VEXLOR_STUB_MS", nullptr);
}

TEST_F(ControlFormTest, DesktopListViewOnlyThroughTheExactTree) {
    EXPECT_EQ(nullptr, GetDesktopListView());
    FakeDesktopTree desktop;
    EXPECT_EQ(desktop.ListView(), GetDesktopListView());
}
