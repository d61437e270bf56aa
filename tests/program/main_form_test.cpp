// The main form in-process, with the desktop page in a scratch folder and the Active Desktop stand-in:
// the control's requests while the program runs and once it has begun to close, log-off, the wallpaper
// it puts back when the page was already the wallpaper at start, the start-with-Windows entry after a
// move, a control window that can't be made (also while the page is the wallpaper), the tray menu asked for again while it is open, and the wait
// for the control's window. The plain start without its folders, in a process of its own.
#include "child_process.h"
#include "components/paths.h"
#include "components/registry.h"
#include "fixtures.h"
#include "missing_folders.h"
#include "frmMain.h"
#include "shared/uMessages.h"
#include "shared/uOptionsShared.h"
#include "shared/uPath.h"
#include "test_dialogs.h"
#include "test_windows.h"
#include "uDesktopPage.h"
#include "uMessagesExe.h"

#include <gtest/gtest.h>

#include <ole2.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

int endRequests = 0;
void CountEndRequest() { ++endRequests; }

int aboutBoxes = 0;
void WINAPI CountAboutBox(unsigned char) { ++aboutBoxes; }

int propertiesSheets = 0;
BOOL WINAPI CountProperties(HWND, DWORD, LPCWSTR, LPCWSTR) {
    ++propertiesSheets;
    return TRUE;
}

LRESULT SendPath(const char* path) {
    COPYDATASTRUCT data = {2, static_cast<DWORD>(strlen(path)), const_cast<char*>(path)};
    return SendMessageA(ControlWndHandle, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
}

class MainFormTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        OleInitialize(nullptr);
        testing_support::RegisterActiveDesktopStandIn();
    }
    void SetUp() override {
        DesktopPageRoot = folder_.Dir();
        ASSERT_TRUE(comp::ForceDirectories(folder_.Path() + "Web\\Wallpaper"));
        testing_support::WriteWholeFile(DesktopPageFile(), "<html></html>");
        SetDefaultSettings();
        Settings.StartUP = false;
        SaveSettings();
        RequestProgramEnd = &CountEndRequest;
        AboutBoxProc = &CountAboutBox;
        SHObjectPropertiesCall = &CountProperties;
        endRequests = aboutBoxes = propertiesSheets = 0;
    }
    void TearDown() override {
        DesktopPageRoot.clear();
        RequestProgramEnd = savedEnd_;
        AboutBoxProc = nullptr;
        SHObjectPropertiesCall = savedProperties_;
    }
    void (*savedEnd_)() = RequestProgramEnd;
    FilePropertiesCall savedProperties_ = SHObjectPropertiesCall;
    testing_support::RegistrySandbox sandbox_;
    testing_support::ScratchFolder folder_;
    // The tips dialog runs modally: with a window of its class up, it never opens here.
    testing_support::FakePeer tipsShut_{"TformTips"};
    testing_support::FakeDesktopTree desktop_;
};

}  // namespace

TEST_F(MainFormTest, RequestsActUntilTheProgramBeginsToCloseAndNothingOpensAfter) {
    {
        T_3DVexlorControlForm form;
        ASSERT_FALSE(form.PageMissing());
        ASSERT_NE(nullptr, ControlWndHandle);
        EXPECT_EQ(DesktopPageFile(), GetDesktopWallpaper());
        EXPECT_EQ(0, endRequests);
        testing_support::FakePeer control(kActiveXWndClass);

        // While the program runs, the requests act.
        EXPECT_EQ(1, SendPath("C:\\Faces\\a.txt"));
        EXPECT_EQ(1, propertiesSheets);
        EXPECT_EQ(1, SendMessageA(ControlWndHandle, __3D_Popup, 0, 0));
        EXPECT_TRUE(testing_support::PumpUntil([&] { return control.Count(_3D_Popup) == 1; }, 30000));
        EXPECT_EQ(1, SendMessageA(ControlWndHandle, _3D_About, 0, 0));
        EXPECT_EQ(1, aboutBoxes);

        // Exit shows the desktop icons and asks for the end once; a second Exit does nothing more.
        ShowWindow(desktop_.ListView(), SW_HIDE);
        EXPECT_EQ(1, SendMessageA(ControlWndHandle, _3D_Exit, 0, 0));
        EXPECT_TRUE(ProgramClosing());
        EXPECT_EQ(1, endRequests);
        EXPECT_TRUE(desktop_.ListViewShown());
        ShowWindow(desktop_.ListView(), SW_HIDE);
        EXPECT_EQ(1, SendMessageA(ControlWndHandle, _3D_Exit, 0, 0));
        EXPECT_EQ(1, endRequests);
        EXPECT_FALSE(desktop_.ListViewShown());

        // From then on the requests are answered, but nothing opens: no properties sheet, no popup, no
        // about box, no help window; the tray menu's items open nothing either.
        EXPECT_EQ(1, SendPath("C:\\Faces\\a.txt"));
        EXPECT_EQ(1, SendMessageA(ControlWndHandle, __3D_Popup, 0, 0));
        EXPECT_EQ(1, SendMessageA(ControlWndHandle, _3D_About, 0, 0));
        EXPECT_EQ(1, SendMessageA(ControlWndHandle, _3D_Help, 0, 0));
        form.Aboute1Click();
        form.Helptopics1Click();
        form.License1Click();
        testing_support::Pump(100);
        EXPECT_EQ(1, propertiesSheets);
        EXPECT_EQ(1, control.Count(_3D_Popup));
        EXPECT_EQ(1, aboutBoxes);
        EXPECT_EQ(nullptr, FindWindowA("HH Parent", nullptr));
        // The control's window goes before the form: the tear-down waits while it exists.
    }
    EXPECT_EQ(nullptr, ControlWndHandle);
    EXPECT_EQ("", GetDesktopWallpaper());  // nothing was remembered: the page goes
}

TEST_F(MainFormTest, LogOffIsAllowedAndEndsTheProgramAsExitDoes) {
    T_3DVexlorControlForm form;
    ShowWindow(desktop_.ListView(), SW_HIDE);
    EXPECT_EQ(1, SendMessageA(form.Handle(), WM_QUERYENDSESSION, 0, 0));
    EXPECT_EQ(1, endRequests);
    EXPECT_TRUE(ProgramClosing());
    EXPECT_TRUE(desktop_.ListViewShown());
}

TEST_F(MainFormTest, ThePageLeftAsTheWallpaperIsNeverWhatTheEndPutsBack) {
    // A crash left the page as the wallpaper; the program's key can be neither written nor read: nothing
    // is known of the wallpaper before, and the end puts back the empty name.
    ApplyWallpaper(WideOf(DesktopPageFile()));
    {
        testing_support::KeyAccessRules shut(HKEY_CURRENT_USER, kProductKey, "D:(D;;KA;;;WD)");
        {
            T_3DVexlorControlForm form;
            EXPECT_EQ("", PrevWallpaper);
        }
        EXPECT_EQ("", GetDesktopWallpaper());
    }
    // The key can be read but not written: what was stored before is put back.
    comp::RegistryKey key;
    ASSERT_TRUE(key.Open(HKEY_CURRENT_USER, kProductKey, true));
    key.WriteString("LastWallPaper", "C:\\Pictures\\Mine.bmp");
    key.Close();
    ApplyWallpaper(WideOf(DesktopPageFile()));
    {
        // No values set, no keys made.
        testing_support::KeyAccessRules readOnly(HKEY_CURRENT_USER, kProductKey, "D:(D;;0x6;;;WD)(A;;KA;;;WD)");
        {
            T_3DVexlorControlForm form;
            EXPECT_EQ("C:\\Pictures\\Mine.bmp", PrevWallpaper);
        }
        EXPECT_EQ("C:\\Pictures\\Mine.bmp", GetDesktopWallpaper());
    }
}

TEST_F(MainFormTest, AfterAMoveTheStartWithWindowsEntryNamesTheRunningProgram) {
    // An earlier start stored the folder the program ran from then; the user wants it started with Windows.
    const std::string savedAppDir = AppDirPath;
    AppDirPath = GetAppPath();  // what the program holds when it loads
    comp::RegistryKey key;
    ASSERT_TRUE(key.Open(HKEY_CURRENT_USER, kProductKey, true));
    key.WriteString("AppPath", "C:\\Old\\Place");
    key.Close();
    ASSERT_TRUE(key.Open(HKEY_CURRENT_USER, kSettingsKey, true));
    key.WriteInteger("StartUP", 1);
    key.Close();
    std::string runAtStart;
    {
        T_3DVexlorControlForm form;
        ASSERT_FALSE(form.PageMissing());
        runAtStart = testing_support::RegText(kRunKey, kRunValue);
        SaveSettings();  // as the tips dialog does when it closes
    }
    const std::string run = testing_support::RegText(kRunKey, kRunValue);
    const std::string stored = testing_support::RegText(kProductKey, "AppPath");
    AppDirPath = savedAppDir;
    EXPECT_EQ(RunCommandFor(GetAppPath()), runAtStart) << "the entry follows the program at its start";
    EXPECT_EQ(RunCommandFor(GetAppPath()), run);
    EXPECT_EQ(GetAppPath(), stored);
}

namespace {
// Refuses the making of the control program's control window on this thread.
LRESULT CALLBACK RefuseControlWnd(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) {
        char cls[64] = {};
        GetClassNameA(reinterpret_cast<HWND>(wParam), cls, sizeof cls);
        if (strcmp(cls, kControlWndClass) == 0) return 1;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

bool MessageBoxUp() { return testing_support::FindThreadDialog(kApplicationTitle) != nullptr; }

// Makes the form while its control window can't be made; answers the message boxes it shows (the text
// of the last one in |text|) and returns how many it showed.
size_t StartWithoutControlWnd(std::unique_ptr<T_3DVexlorControlForm>& form, std::string& text) {
    HHOOK refuse = SetWindowsHookExA(WH_CBT, &RefuseControlWnd, nullptr, GetCurrentThreadId());
    if (!refuse) return 0;
    const size_t told = testing_support::RunWithSteps(
        [&] { form = std::make_unique<T_3DVexlorControlForm>(); },
        {[&] { testing_support::AnswerMessageBox(kApplicationTitle, text); }}, 50, &MessageBoxUp);
    UnhookWindowsHookEx(refuse);
    return told;
}
}  // namespace

TEST_F(MainFormTest, AControlWindowThatCannotBeMadeIsToldAndThePageIsNotSet) {
    ApplyWallpaper(L"C:\\windows\\mine.bmp");
    std::unique_ptr<T_3DVexlorControlForm> form;
    std::string text;
    const size_t told = StartWithoutControlWnd(form, text);
    EXPECT_EQ(1u, told);
    EXPECT_EQ(kControlWndErrorText, text);
    EXPECT_EQ(nullptr, ControlWndHandle);
    // The program ends, touching nothing: the wallpaper stays, nothing is stored for the end to put back.
    EXPECT_EQ(1, endRequests);
    EXPECT_TRUE(ProgramClosing());
    EXPECT_EQ("C:\\windows\\mine.bmp", GetDesktopWallpaper());
    EXPECT_EQ("<no value>", testing_support::RegText(kProductKey, "LastWallPaper"));
    form.reset();
    EXPECT_EQ("C:\\windows\\mine.bmp", GetDesktopWallpaper());
}

namespace {
// Set while an end waits on a control's window: the window is closed then, which ends the wait.
bool endWaited = false;
HWND controlToClose = nullptr;
void CALLBACK CloseWaitedControl(HWND, UINT, UINT_PTR, DWORD) {
    endWaited = true;
    if (controlToClose) PostMessageA(controlToClose, WM_CLOSE, 0, 0);
}
}  // namespace

TEST_F(MainFormTest, AControlWindowThatCannotBeMadeWhileThePageIsTheWallpaperPutsBackTheStoredOne) {
    // A crash left the page as the wallpaper, with a control alive on it; the picture before is stored.
    comp::RegistryKey key;
    ASSERT_TRUE(key.Open(HKEY_CURRENT_USER, kProductKey, true));
    key.WriteString("LastWallPaper", "C:\\Pictures\\Mine.bmp");
    key.Close();
    ApplyWallpaper(WideOf(DesktopPageFile()));
    testing_support::FakePeer control(kActiveXWndClass);
    std::unique_ptr<T_3DVexlorControlForm> form;
    std::string text;
    const size_t told = StartWithoutControlWnd(form, text);
    EXPECT_EQ(1u, told);
    EXPECT_EQ(1, endRequests);
    // The end puts back what the user had and doesn't wait on a control this start never set up (it ends
    // only once the form is gone).
    endWaited = false;
    controlToClose = control.Handle();
    const UINT_PTR timer = SetTimer(nullptr, 0, 1000, &CloseWaitedControl);
    form.reset();
    KillTimer(nullptr, timer);
    controlToClose = nullptr;
    EXPECT_FALSE(endWaited) << "the end waited on the control's window";
    EXPECT_EQ("C:\\Pictures\\Mine.bmp", GetDesktopWallpaper());
    // Nothing was stored.
    EXPECT_EQ("C:\\Pictures\\Mine.bmp", testing_support::RegText(kProductKey, "LastWallPaper"));
    EXPECT_EQ("<no value>", testing_support::RegText(kProductKey, "AppPath"));
}

// The plain start, twice in one process, while the source of one folder fails: "profile" (the user's
// profile folder is unknown) or "module" (the program's file name doesn't fit its buffer). Prints the
// message boxes shown, the two starts' results, whether anything was stored, and the message's text.
static testing_support::ChildMode programWithoutFolders("program-without-folders", [](const std::vector<std::string>& args) -> int {
    OleInitialize(nullptr);
    testing_support::RegistrySandbox sandbox;
    testing_support::ScratchFolder pageless;  // a start that went on would find no page and end at once
    DesktopPageRoot = pageless.Dir();
    testing_support::FailFolderSource(args.empty() ? "" : args[0]);
    std::string text;
    int codes[2] = {-1, -1};
    size_t boxes = 0;
    for (int& code : codes) {
        boxes += testing_support::RunWithSteps([&] { code = RunControlProgram(); },
                                               {[&] { testing_support::AnswerMessageBox(kApplicationTitle, text); }},
                                               50, &MessageBoxUp);
    }
    const bool stored = testing_support::RegText("Software\\Pellomar\\3D Vexlor", "") != "<no key>";
    printf("%u %d %d %d\n%s\n", static_cast<unsigned>(boxes), codes[0], codes[1], stored ? 1 : 0, text.c_str());
    fflush(stdout);
    return 0;
});

TEST(ProgramStart, WithoutItsDataOrApplicationFolderTheProgramSaysSoOnceAndDoesNotStart) {
    for (const testing_support::MissingFolderCase& c : testing_support::kMissingFolderCases) {
        SCOPED_TRACE(c.source);
        testing_support::ChildResult r = testing_support::RunChild("program-without-folders", {c.source}, 60000);
        ASSERT_TRUE(r.finished);
        EXPECT_EQ(0u, r.exitCode);
        // One box for two starts; neither started (1); nothing stored.
        EXPECT_EQ("1 1 1 0", r.FirstLine());
        EXPECT_NE(std::string::npos, r.output.find(c.text)) << r.output;
    }
}

TEST_F(MainFormTest, AButtonUpQueuedBehindTheOneThatOpenedTheTrayMenuLeavesThatMenuOpen) {
    T_3DVexlorControlForm form;
    int ups = 0;
    HMENU openAtSecond = nullptr;
    const auto popUp = form.ti->OnMouseUp;
    form.ti->OnMouseUp = [&](TTrayIcon& sender, TMouseButton button, TShiftState shift, int x, int y) {
        if (++ups == 2) openAtSecond = form.pm.Handle();
        popUp(sender, button, shift, x, y);
    };
    bool kept = false;
    testing_support::RunWithSteps(
        [&] {
            // A busy program: the second notification is queued before the first is handled.
            PostMessageA(form.ti->IconWindow(), kTrayCallbackMessage, 1, WM_LBUTTONUP);
            PostMessageA(form.ti->IconWindow(), kTrayCallbackMessage, 1, WM_LBUTTONUP);
            testing_support::PumpUntil([&] { return ups == 2 && !form.pm.Handle(); }, 30000);
        },
        {[&] {
            kept = openAtSecond && form.pm.Handle() == openAtSecond && IsMenu(openAtSecond);
            PostMessageA(FindWindowA("#32768", nullptr), WM_KEYDOWN, VK_ESCAPE, 0);
        }},
        100, [] { return FindWindowA("#32768", nullptr) != nullptr; });
    EXPECT_EQ(2, ups);
    EXPECT_NE(nullptr, openAtSecond);  // the second one came while the menu was open
    EXPECT_TRUE(kept);
}

TEST(MainFormWait, WaitsWhileTheControlWindowExistsAndHandlesMessagesMeanwhile) {
    EXPECT_EQ(0, WaitForActiveXWndGone(5, 10));
    testing_support::FakePeer control(kActiveXWndClass);
    EXPECT_EQ(3, WaitForActiveXWndGone(3, 10));
    // The window closes while the wait handles the thread's messages: the wait ends with it.
    PostMessageA(control.Handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(1, WaitForActiveXWndGone(100, 10));
}
