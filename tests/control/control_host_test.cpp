// The control library as a COM server hosted in our container, in-process: activation in order,
// events to a connected sink, keys through the container, IDispatch through the type library, the
// tear-down, the one-control-per-desktop rule and the exit start while the control program is gone.
#include <windows.h>
#include <ole2.h>
#include <olectl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "child_process.h"
#include "container/container.h"
#include "fixtures.h"
#include "shared/uMessages.h"
#include "test_windows.h"

using testing_support::ExeFolder;
using testing_support::FakePeer;
using testing_support::HostWindow;
using testing_support::Pump;
using testing_support::RegistrySandbox;
using testing_support::ScratchFolder;

namespace {

const CLSID kControlClsid = {0xFFCD032E, 0x8038, 0x425F, {0xA4, 0xB3, 0xC0, 0xAC, 0xAF, 0x67, 0xE3, 0x3D}};
const IID kEventsIid = {0xCF6A524B, 0x6B12, 0x43F4, {0x90, 0x26, 0xE3, 0x20, 0x8B, 0x5A, 0xFD, 0x8B}};

std::string BinFolder() { return ExeFolder() + "\\.."; }
std::string ControlDll() { return BinFolder() + "\\_3DVexlorFormProj.dll"; }

// How many lines of |text| are exactly |line|.
int Lines(const std::string& text, const std::string& line) {
    int n = 0;
    for (size_t at = 0; (at = text.find(line + "\r\n", at)) != std::string::npos; at += line.size())
        if (at == 0 || text[at - 1] == '\n') ++n;
    return n;
}

struct OleScope {
    OleScope() { OleInitialize(nullptr); }
    ~OleScope() { OleUninitialize(); }
};

// The control library finds its data folder in the user's profile when it loads. Under Wine the
// profile follows the process's user name (WINEUSERNAME): this process gets a user of its own whose
// profile is a scratch folder, removed at the end, so the hosted controls never write into the
// prefix's real profile.
class ScratchProfile : public ::testing::Environment {
public:
    void SetUp() override {
        char old[256] = {};
        if (GetEnvironmentVariableA("WINEUSERNAME", old, sizeof old)) savedName_ = old;
        name_ = "vexlor_host_" + std::to_string(GetCurrentProcessId());
        SetEnvironmentVariableA("WINEUSERNAME", name_.c_str());
        char profile[MAX_PATH] = {};
        SHGetSpecialFolderPathA(nullptr, profile, CSIDL_PROFILE, TRUE);
        folder_ = profile;
        ASSERT_NE(std::string::npos, folder_.find(name_)) << "the profile does not follow the user: " << folder_;
    }
    void TearDown() override {
        if (!folder_.empty() && folder_.find(name_) != std::string::npos) testing_support::RemoveTree(folder_);
        SetEnvironmentVariableA("WINEUSERNAME", savedName_.empty() ? nullptr : savedName_.c_str());
    }

private:
    std::string name_, folder_, savedName_;
};
::testing::Environment* const scratchProfile = ::testing::AddGlobalTestEnvironment(new ScratchProfile);

}  // namespace

TEST(ControlHost, LivesAndDiesInTheContainer) {
    OleScope ole;
    RegistrySandbox sandbox;
    FakePeer mainForm("T_3DVexlorControlForm");  // the control program runs: no exit start
    HostWindow frame("ControlHostTestFrame", "frame", 640, 480);
    ASSERT_EQ(nullptr, FindActiveXWnd());

    std::vector<std::string> siteCalls;
    std::vector<DISPID> events;
    SHORT keySeen = 0;
    {
        container::ControlHost host;
        host.OnSiteCall = [&](const char* call) { siteCalls.push_back(call); };
        host.OnEvent = [&](DISPID id, DISPPARAMS& params) {
            events.push_back(id);
            if (id == 11 && params.cArgs == 1 && params.rgvarg[0].vt == (VT_I2 | VT_BYREF))
                keySeen = *params.rgvarg[0].piVal;
        };
        ASSERT_EQ(S_OK, host.CreateFromLibrary(ControlDll(), kControlClsid, frame.Handle()));

        // Activation in order, then shown.
        std::vector<std::string> expected = {"CanInPlaceActivate", "OnInPlaceActivate", "GetWindow",
                                             "GetWindowContext", "ShowObject"};
        ASSERT_GE(siteCalls.size(), expected.size());
        EXPECT_EQ(expected, std::vector<std::string>(siteCalls.begin(), siteCalls.begin() + expected.size()));
        HWND control = host.ControlWindow();
        ASSERT_NE(nullptr, control);
        EXPECT_EQ(frame.Handle(), GetParent(control));
        EXPECT_TRUE(IsWindowVisible(control));
        EXPECT_TRUE(host.EventsConnected());
        EXPECT_TRUE(IsEqualIID(kEventsIid, host.EventIID()));

        // Started: the hidden message window exists.
        EXPECT_NE(nullptr, FindActiveXWnd());

        // A click reaches the sink as OnClick (2).
        PostMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(30, 30));
        PostMessageA(control, WM_LBUTTONUP, 0, MAKELPARAM(30, 30));
        Pump(150);
        EXPECT_NE(events.end(), std::find(events.begin(), events.end(), 2));

        // A key the container forwards becomes OnKeyPress (11) with its character.
        events.clear();
        MSG key = {frame.Handle(), WM_KEYDOWN, 'K', 0x00250001, GetTickCount(), {0, 0}};
        EXPECT_TRUE(host.TranslateAccelerator(key));
        Pump(150);  // the character arrives through the queue and is forwarded in turn
        MSG ch = {frame.Handle(), WM_CHAR, 'k', 0x00250001, GetTickCount(), {0, 0}};
        EXPECT_TRUE(host.TranslateAccelerator(ch));
        EXPECT_NE(events.end(), std::find(events.begin(), events.end(), 11));
        EXPECT_EQ('k', keySeen);
        // Mouse messages are not the container's to forward.
        MSG move = {frame.Handle(), WM_MOUSEMOVE, 0, 0, GetTickCount(), {0, 0}};
        EXPECT_FALSE(host.TranslateAccelerator(move));

        // IDispatch through the type library: stock and own properties.
        VARIANT v;
        VariantInit(&v);
        ASSERT_EQ(S_OK, host.GetProperty(DISPID_BACKCOLOR, &v));
        EXPECT_EQ(0x80000001u, static_cast<unsigned>(v.lVal));  // clBackground
        VariantClear(&v);
        VARIANT caption;
        VariantInit(&caption);
        caption.vt = VT_BSTR;
        caption.bstrVal = SysAllocString(L"Cube");
        EXPECT_EQ(S_OK, host.PutProperty(DISPID_CAPTION, caption));
        VariantClear(&caption);
        ASSERT_EQ(S_OK, host.GetProperty(DISPID_CAPTION, &v));
        ASSERT_EQ(VT_BSTR, v.vt);
        EXPECT_STREQ(L"Cube", v.bstrVal);
        VariantClear(&v);
        VARIANT number;
        VariantInit(&number);
        number.vt = VT_I4;
        number.lVal = 2;  // coerced to TxActiveFormBorderStyle afbSunken
        EXPECT_EQ(S_OK, host.PutProperty(4, number));
        ASSERT_EQ(S_OK, host.GetProperty(4, &v));
        EXPECT_EQ(2, v.lVal);
        VariantClear(&v);
        number.lVal = 9;  // no such border style
        EXPECT_NE(S_OK, host.PutProperty(4, number));
        // Cursor is the form's: what is put is what the form shows.
        number.lVal = -22;  // crSizeAll
        EXPECT_EQ(S_OK, host.PutProperty(15, number));
        ASSERT_EQ(S_OK, host.GetProperty(15, &v));
        EXPECT_EQ(-22, v.iVal);
        VariantClear(&v);
        // Active is read-only.
        VARIANT yes;
        VariantInit(&yes);
        yes.vt = VT_BOOL;
        yes.boolVal = VARIANT_TRUE;
        EXPECT_NE(S_OK, host.PutProperty(9, yes));
        ASSERT_EQ(S_OK, host.GetProperty(DISPID_FONT, &v));
        EXPECT_EQ(VT_DISPATCH, v.vt);
        VariantClear(&v);

        // Tear-down in order: the site hears of it and the hidden window goes.
        siteCalls.clear();
        host.Destroy();
        EXPECT_NE(siteCalls.end(), std::find(siteCalls.begin(), siteCalls.end(), "OnInPlaceDeactivate"));
        EXPECT_EQ(nullptr, FindActiveXWnd());
        EXPECT_FALSE(IsWindow(control));
    }
    // No object is left: the library could be unloaded and was.
    EXPECT_EQ(nullptr, GetModuleHandleA("_3DVexlorFormProj.dll"));
}

TEST(ControlHost, ActivatesOnTheDesktopWindow) {
    OleScope ole;
    RegistrySandbox sandbox;
    FakePeer mainForm("T_3DVexlorControlForm");
    container::ControlHost host;
    ASSERT_EQ(S_OK, host.CreateFromLibrary(ControlDll(), kControlClsid, GetDesktopWindow()));
    HWND control = host.ControlWindow();
    ASSERT_NE(nullptr, control);
    EXPECT_EQ(GetDesktopWindow(), GetAncestor(control, GA_PARENT));
    EXPECT_TRUE(IsWindowVisible(control));
    RECT r;
    GetWindowRect(control, &r);
    EXPECT_EQ(0, r.left);
    EXPECT_EQ(0, r.top);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), r.right - r.left);
    Pump(300);
    host.Destroy();
    EXPECT_EQ(nullptr, FindActiveXWnd());
}

// ---- one control per desktop, in a fresh process each

static testing_support::ChildMode refuseChild("refuse", [](const std::vector<std::string>&) -> int {
    OleScope ole;
    FakePeer otherControl("_3DVexlorActiveXWnd");
    FakePeer controlWnd("_3DVexlorControlWnd");
    // Merely loading the library (as regsvr32 does) ends nothing.
    HMODULE lib = LoadLibraryA(ControlDll().c_str());
    Pump(200);
    int afterLoad = controlWnd.Count(_3D_Exit);
    FreeLibrary(lib);
    container::ControlHost host;
    HRESULT hr = host.CreateFromLibrary(ControlDll(), kControlClsid, GetDesktopWindow());
    Pump(200);
    printf("%d %08lX %d\n", afterLoad, static_cast<unsigned long>(hr), controlWnd.Count(_3D_Exit));
    fflush(stdout);
    return 0;
});

TEST(ControlHost, WithAnotherControlRunningTheLibraryOffersNoControlAndPostsExit) {
    testing_support::ChildResult r = testing_support::RunChild("refuse", {}, 60000);
    ASSERT_TRUE(r.finished);
    EXPECT_EQ("0 80040111 1", r.FirstLine());  // CLASS_E_CLASSNOTAVAILABLE
}

static testing_support::ChildMode exitChild("exit-start", [](const std::vector<std::string>& args) -> int {
    OleScope ole;
    RegistrySandbox sandbox;
    const std::string dir = args.at(0);
    const std::string logFile = dir + "\\exit_log.txt";
    container::ControlHost host;
    if (FAILED(host.CreateFromLibrary(dir + "\\_3DVexlorFormProj.dll", kControlClsid, GetDesktopWindow()))) return 2;
    // No control program window: the monitor starts the exit program on its ticks, again once the one
    // before has ended. Two that ran to their end are enough to see it.
    const bool twoRan =
        testing_support::PumpUntil([&] { return Lines(testing_support::ReadWholeFile(logFile), "ended") >= 2; }, 60000);
    // With the control program's main form present, nothing more starts: once the program that may still
    // be running has ended, ten more monitor ticks leave the log as it is.
    FakePeer mainForm("T_3DVexlorControlForm");
    const bool ended = testing_support::WaitUntilNoChildRuns("_3DVexlor.exe", 60000);
    const std::string log = testing_support::ReadWholeFile(logFile);
    Pump(1000);
    const bool quiet = testing_support::ReadWholeFile(logFile) == log;
    printf("%d %d %d\n%s", twoRan ? 1 : 0, ended ? 1 : 0, quiet ? 1 : 0, log.c_str());
    fflush(stdout);
    host.Destroy();
    return 0;
});

TEST(ControlHost, WithoutTheControlProgramTheExitProgramStartsBesideTheLibrary) {
    ScratchFolder folder;
    const std::string dir = folder.Dir();
    for (const char* name : {"_3DVexlorFormProj.dll", "_3DVexlorForms.dll"})
        ASSERT_TRUE(CopyFileA((BinFolder() + "\\" + name).c_str(), (dir + "\\" + name).c_str(), FALSE));
    ASSERT_TRUE(CopyFileA((ExeFolder() + "\\control_exit_stub.exe").c_str(), (dir + "\\_3DVexlor.exe").c_str(), FALSE));
    SetEnvironmentVariableA("VEXLOR_STUB_MS", "400");
    testing_support::ChildResult r = testing_support::RunChild("exit-start", {dir}, 240000);
    SetEnvironmentVariableA("VEXLOR_STUB_MS", nullptr);
    ASSERT_TRUE(r.finished);
    ASSERT_EQ(0u, r.exitCode) << r.output;
    // Two ran to their end, the last one ended, and with the main form there no further one started.
    EXPECT_EQ("1 1 1", r.FirstLine()) << r.output;
    // Each start came after the one before had ended: never two at a time.
    const std::string command = "\"" + dir + "\\_3DVexlor.exe\" /EXIT";
    std::vector<std::string> lines;
    for (size_t at = r.output.find('\n') + 1, next; at < r.output.size(); at = next + 1) {
        next = r.output.find('\n', at);
        if (next == std::string::npos) next = r.output.size();
        std::string line = r.output.substr(at, next - at);
        while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
        if (!line.empty()) lines.push_back(line);
    }
    ASSERT_GE(lines.size(), 4u) << r.output;
    EXPECT_EQ(0u, lines.size() % 2) << r.output;
    for (size_t i = 0; i < lines.size(); ++i) EXPECT_EQ(i % 2 == 0 ? command : "ended", lines[i]) << r.output;
}
