// The control's tear-down and start-up failures at their edges: a window that went first with its
// parent, a device that was never made, and a start-up that fails with a runtime exception.
#include <windows.h>

#include <gtest/gtest.h>

#include <new>

#include "control/_3DVexlorFormImpl.h"
#include "control/uInit.h"
#include "data_folder.h"
#include "fixtures.h"
#include "shared/uMessages.h"
#include "shared/uOptionsShared.h"
#include "test_windows.h"

using testing_support::FakeDesktopTree;
using testing_support::FakePeer;
using testing_support::HostWindow;
using testing_support::Pump;
using testing_support::RegistrySandbox;

namespace {

void SaveTestSettings() {
    SetDefaultSettings();
    Settings.FPSLimit = true;
    Settings.FPS = 50;
    Settings.hide_shotcuts = true;
    SaveSettings();
    SetDefaultSettings();
}

bool AlwaysInput() { return true; }
IDirect3D9* WINAPI NoDirect3D(UINT) { return nullptr; }
IDirect3D9* WINAPI OutOfMemory(UINT) { throw std::bad_alloc(); }

class ControlTeardownTest : public ::testing::Test {
protected:
    void SetUp() override {
        InputDesktopActiveHook = &AlwaysInput;
        ASSERT_EQ(nullptr, FindActiveXWnd()) << "a control's hidden window is left from elsewhere";
        SaveTestSettings();
    }
    void TearDown() override {
        InputDesktopActiveHook = &RealInputDesktopActive;
        Direct3DCreateHook = &Direct3DCreate9;
    }
    RegistrySandbox sandbox_;
    testing_support::ScratchDataFolder data_;
    FakePeer mainForm_{"T_3DVexlorControlForm"};
    FakePeer controlWnd_{"_3DVexlorControlWnd"};
};

}  // namespace

TEST_F(ControlTeardownTest, AWindowThatWentWithItsParentStillTearsTheControlDown) {
    FakeDesktopTree desktop;
    HostWindow parent("ControlTeardownTestParent", "parent", 640, 480);
    T_3DVexlorForm form;
    form.CreateControl(parent.Handle(), parent.Client());
    ASSERT_TRUE(form.IsStarted());
    ASSERT_TRUE(form.SceneCreated);
    ASSERT_NE(nullptr, FindActiveXWnd());
    ASSERT_FALSE(desktop.ListViewShown());

    // The container's window goes first and takes the control's window with it.
    parent.Close();
    ASSERT_EQ(nullptr, form.Handle());
    form.DestroyControl();

    // Nothing of the control is left to address a freed form or to keep the desktop hidden.
    EXPECT_EQ(nullptr, FindActiveXWnd());
    EXPECT_EQ(nullptr, ActiveXWndTarget());
    EXPECT_FALSE(form.IsStarted());
    EXPECT_FALSE(form.Timer.Enabled());
    EXPECT_FALSE(form.MonitorTimer.Enabled());
    EXPECT_FALSE(form.SceneCreated);
    EXPECT_EQ(nullptr, form.GlobalVarsRecord.D3D.Device);
    EXPECT_EQ(nullptr, form.GlobalVarsRecord.D3D.Camera);
    EXPECT_TRUE(desktop.ListViewShown());
}

TEST_F(ControlTeardownTest, AFailedDeviceLeavesNoCameraBehindAfterTheTearDown) {
    Direct3DCreateHook = &NoDirect3D;
    HostWindow parent("ControlTeardownTestParent", "parent", 640, 480);
    T_3DVexlorForm form;
    form.CreateControl(parent.Handle(), parent.Client());
    EXPECT_FALSE(form.SceneCreated);
    // The camera is made before the device and stays while the control lives.
    EXPECT_NE(nullptr, form.GlobalVarsRecord.D3D.Camera);
    EXPECT_EQ(nullptr, form.GlobalVarsRecord.D3D.Direct3D);
    form.DestroyControl();
    EXPECT_EQ(nullptr, form.GlobalVarsRecord.D3D.Camera);
    EXPECT_EQ(nullptr, FindActiveXWnd());
}

TEST_F(ControlTeardownTest, ARuntimeFailureDuringStartUpPostsExitAndEscapesNothing) {
    Direct3DCreateHook = &OutOfMemory;
    HostWindow parent("ControlTeardownTestParent", "parent", 640, 480);
    T_3DVexlorForm form;
    EXPECT_NO_THROW(form.CreateControl(parent.Handle(), parent.Client()));
    Pump(100);
    EXPECT_EQ(1, controlWnd_.Count(_3D_Exit));
    EXPECT_EQ(0, controlWnd_.Count(_3D_Error));
    // The steps after the failure stay undone: no timer, no hidden window, no menu.
    EXPECT_FALSE(form.IsStarted());
    EXPECT_FALSE(form.Timer.Enabled());
    EXPECT_FALSE(form.MonitorTimer.Enabled());
    EXPECT_EQ(nullptr, FindActiveXWnd());
    form.DestroyControl();
}
