// The control's tear-down and start-up failures at their edges: a window that went first with its
// parent, a device that was never made, and a start-up that fails with a runtime exception.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <new>

#include "components/exceptions.h"
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

IDirect3D9* WINAPI NoDirect3D(UINT) { return nullptr; }
IDirect3D9* WINAPI OutOfMemory(UINT) { throw std::bad_alloc(); }

// The real Direct3D object behind a wrapper that raises when the scene lets go of it: a release that
// fails half-way through the scene.
class RaisingOnRelease : public IDirect3D9 {
public:
    explicit RaisingOnRelease(IDirect3D9* real) : real_(real) {}
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override { return real_->QueryInterface(iid, object); }
    STDMETHODIMP_(ULONG) AddRef() override { return real_->AddRef(); }
    STDMETHODIMP_(ULONG) Release() override {
        real_->Release();
        throw comp::Exception("The Direct3D object could not be released");
    }
    STDMETHODIMP RegisterSoftwareDevice(void* init) override { return real_->RegisterSoftwareDevice(init); }
    STDMETHODIMP_(UINT) GetAdapterCount() override { return real_->GetAdapterCount(); }
    STDMETHODIMP GetAdapterIdentifier(UINT a, DWORD f, D3DADAPTER_IDENTIFIER9* id) override {
        return real_->GetAdapterIdentifier(a, f, id);
    }
    STDMETHODIMP_(UINT) GetAdapterModeCount(UINT a, D3DFORMAT f) override { return real_->GetAdapterModeCount(a, f); }
    STDMETHODIMP EnumAdapterModes(UINT a, D3DFORMAT f, UINT m, D3DDISPLAYMODE* mode) override {
        return real_->EnumAdapterModes(a, f, m, mode);
    }
    STDMETHODIMP GetAdapterDisplayMode(UINT a, D3DDISPLAYMODE* mode) override {
        return real_->GetAdapterDisplayMode(a, mode);
    }
    STDMETHODIMP CheckDeviceType(UINT a, D3DDEVTYPE t, D3DFORMAT d, D3DFORMAT b, BOOL w) override {
        return real_->CheckDeviceType(a, t, d, b, w);
    }
    STDMETHODIMP CheckDeviceFormat(UINT a, D3DDEVTYPE t, D3DFORMAT f, DWORD u, D3DRESOURCETYPE r,
                                   D3DFORMAT c) override {
        return real_->CheckDeviceFormat(a, t, f, u, r, c);
    }
    STDMETHODIMP CheckDeviceMultiSampleType(UINT a, D3DDEVTYPE t, D3DFORMAT f, BOOL w, D3DMULTISAMPLE_TYPE m,
                                            DWORD* q) override {
        return real_->CheckDeviceMultiSampleType(a, t, f, w, m, q);
    }
    STDMETHODIMP CheckDepthStencilMatch(UINT a, D3DDEVTYPE t, D3DFORMAT f, D3DFORMAT r, D3DFORMAT d) override {
        return real_->CheckDepthStencilMatch(a, t, f, r, d);
    }
    STDMETHODIMP CheckDeviceFormatConversion(UINT a, D3DDEVTYPE t, D3DFORMAT s, D3DFORMAT d) override {
        return real_->CheckDeviceFormatConversion(a, t, s, d);
    }
    STDMETHODIMP GetDeviceCaps(UINT a, D3DDEVTYPE t, D3DCAPS9* caps) override { return real_->GetDeviceCaps(a, t, caps); }
    STDMETHODIMP_(HMONITOR) GetAdapterMonitor(UINT a) override { return real_->GetAdapterMonitor(a); }
    STDMETHODIMP CreateDevice(UINT a, D3DDEVTYPE t, HWND w, DWORD f, D3DPRESENT_PARAMETERS* pp,
                              IDirect3DDevice9** device) override {
        return real_->CreateDevice(a, t, w, f, pp, device);
    }

private:
    IDirect3D9* real_;
};

RaisingOnRelease* gRaisingDirect3D = nullptr;
IDirect3D9* WINAPI RaisingDirect3D(UINT sdk) {
    IDirect3D9* real = Direct3DCreate9(sdk);
    if (!real) return nullptr;
    gRaisingDirect3D = new RaisingOnRelease(real);
    return gRaisingDirect3D;
}

class ControlTeardownTest : public ::testing::Test {
protected:
    void SetUp() override {
        InputDesktopName = &ThreadDesktopName;
        ASSERT_EQ(nullptr, FindActiveXWnd()) << "a control's hidden window is left from elsewhere";
        SaveTestSettings();
    }
    void TearDown() override {
        InputDesktopName = &RealInputDesktopName;
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

TEST_F(ControlTeardownTest, AStepThatFailsLeavesTheStepsAfterItToRun) {
    Direct3DCreateHook = &RaisingDirect3D;
    FakeDesktopTree desktop;
    HostWindow parent("ControlTeardownTestParent", "parent", 640, 480);
    T_3DVexlorForm form;
    form.CreateControl(parent.Handle(), parent.Client());
    ASSERT_TRUE(form.SceneCreated);
    ASSERT_FALSE(desktop.ListViewShown());
    std::unique_ptr<RaisingOnRelease> wrapper(gRaisingDirect3D);

    // The scene's release raises when it reaches the Direct3D object; the desktop list view is shown all
    // the same, and nothing escapes the tear-down.
    EXPECT_NO_THROW(form.DestroyControl());
    EXPECT_TRUE(desktop.ListViewShown());
    EXPECT_FALSE(form.IsStarted());
    EXPECT_EQ(nullptr, FindActiveXWnd());
}
