// The 3D wallpaper host with a real Direct3D device and plug-ins of every kind: the unpack-once rule of
// "wallpaper.info", the current folder and the device transforms around each call, version refusal,
// plug-ins that raise or fault, hostile set-ups; and one run in the scene: the plug-in behind the cube
// through a device reset and the tear-down.
#include <gtest/gtest.h>

#include <windows.h>
#include <d3d9.h>

#include <cstring>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "cab_writer.h"
#include "components/bitmap.h"
#include "components/paths.h"
#include "control/uGranDesktop.h"
#include "control/uGlobal.h"
#include "control/uInit.h"
#include "control/uRender.h"
#include "control/uWallPaperHooks.h"
#include "fixtures.h"
#include "shared/uOptionsShared.h"
#include "shared/uPath.h"
#include "test_pictures.h"
#include "wallpaper/uWallPaper.h"

using testing_support::ReadWholeFile;
using testing_support::ScratchFolder;
using testing_support::WriteWholeFile;

namespace {

// The colour the test plug-in reads from its package and fills the view with.
constexpr COLORREF kPluginColour = RGB(0x33, 0x66, 0xCC);

std::string Package(const std::string& name) { return testing_support::ExeFolder() + "\\wallpaper_data\\" + name; }

std::string CurrentFolder() {
    char folder[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, folder);
    return folder;
}

bool SameMatrix(const D3DMATRIX& a, const D3DMATRIX& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

D3DMATRIX Diagonal(float v) {
    D3DMATRIX m{};
    m._11 = m._22 = m._33 = v;
    m._44 = 1.0f;
    return m;
}

LRESULT CALLBACK PlainWndProc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcA(h, m, w, l); }

HWND MakeWindow(const char* className, int width, int height) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = PlainWndProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = className;
    RegisterClassA(&wc);
    return CreateWindowExA(0, className, "wallpaper", WS_POPUP | WS_VISIBLE, 0, 0, width, height, nullptr, nullptr,
                           wc.hInstance, nullptr);
}

// The data and application folders in a scratch folder, the plug-in's call log, and the process's
// current folder put back at the end.
class HostFixture : public ::testing::Test {
protected:
    void SetUp() override {
        savedData_ = AppDataPath;
        savedApp_ = AppDirPath;
        savedFolder_ = CurrentFolder();
        AppDataPath = scratch.Path() + "data\\";
        AppDirPath = scratch.Path() + "app";
        comp::ForceDirectories(AppDataPath);
        comp::ForceDirectories(AppDirPath);
        log = scratch.Path() + "plugin.log";
        SetEnvironmentVariableA("VEXLOR_PLUGIN_LOG", log.c_str());
        SetEnvironmentVariableA("VEXLOR_PLUGIN_FAULT", nullptr);
    }
    void TearDown() override {
        UnloadWallpaper();
        SetEnvironmentVariableA("VEXLOR_PLUGIN_LOG", nullptr);
        SetEnvironmentVariableA("VEXLOR_PLUGIN_FAULT", nullptr);
        SetCurrentDirectoryA(savedFolder_.c_str());
        AppDataPath = savedData_;
        AppDirPath = savedApp_;
    }

    std::string Temp() const { return AppDataPath + "Temp\\"; }
    std::string TempFolder() const { return AppDataPath + "Temp"; }
    // The plug-in's calls so far, "Name cwd=<folder>[ more]" each, and forgets them.
    std::vector<std::string> Calls() {
        std::vector<std::string> lines;
        std::istringstream in(ReadWholeFile(log));
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        DeleteFileA(log.c_str());
        return lines;
    }
    // The calls' names alone.
    std::vector<std::string> CallNames() {
        std::vector<std::string> names;
        for (const std::string& line : Calls()) names.push_back(line.substr(0, line.find(' ')));
        return names;
    }
    bool PluginInMemory() const { return GetModuleHandleA((Temp() + "wallpaper.dll").c_str()) != nullptr; }

    ScratchFolder scratch;
    std::string log;

private:
    std::string savedData_, savedApp_, savedFolder_;
};

// A small device in a window of its own.
class HostTest : public HostFixture {
protected:
    void SetUp() override {
        HostFixture::SetUp();
        window = MakeWindow("VexlorWallpaperHostTest", 160, 120);
        ASSERT_NE(window, nullptr);
        direct3d = Direct3DCreate9(D3D_SDK_VERSION);
        ASSERT_NE(direct3d, nullptr);
        D3DPRESENT_PARAMETERS pp{};
        pp.Windowed = TRUE;
        pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
        pp.BackBufferFormat = D3DFMT_UNKNOWN;
        pp.hDeviceWindow = window;
        pp.EnableAutoDepthStencil = TRUE;
        pp.AutoDepthStencilFormat = D3DFMT_D16;
        ASSERT_TRUE(SUCCEEDED(direct3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window,
                                                     D3DCREATE_SOFTWARE_VERTEXPROCESSING, &pp, &device)));
        world = Diagonal(2.0f);
        view = Diagonal(3.0f);
        projection = Diagonal(4.0f);
        device->SetTransform(D3DTS_WORLD, &world);
        device->SetTransform(D3DTS_VIEW, &view);
        device->SetTransform(D3DTS_PROJECTION, &projection);
    }
    void TearDown() override {
        HostFixture::TearDown();
        if (device) device->Release();
        if (direct3d) direct3d->Release();
        if (window) DestroyWindow(window);
    }
    // Whether the device's three transforms are still the ones SetUp gave it.
    bool TransformsKept() {
        D3DMATRIX w, v, p;
        device->GetTransform(D3DTS_WORLD, &w);
        device->GetTransform(D3DTS_VIEW, &v);
        device->GetTransform(D3DTS_PROJECTION, &p);
        return SameMatrix(w, world) && SameMatrix(v, view) && SameMatrix(p, projection);
    }

    HWND window = nullptr;
    IDirect3D9* direct3d = nullptr;
    IDirect3DDevice9* device = nullptr;
    D3DMATRIX world, view, projection;
};

}  // namespace

TEST_F(HostTest, PackageIsUnpackedOnceAndThePluginRunsInTheUnpackFolder) {
    const std::string package = Package("good.3dv");
    LoadWallpaper(package, 7, device);
    ASSERT_NE(WallpaperLib, nullptr);
    EXPECT_TRUE(comp::FileExists(Temp() + "wallpaper.dll"));
    EXPECT_EQ(ReadWholeFile(Temp() + "data\\colour.txt"), "3366CC\n");
    EXPECT_EQ(ReadWholeFile(Temp() + "wallpaper.info"), package + "\r\n");
    const std::vector<std::string> loaded = Calls();
    ASSERT_EQ(loaded.size(), 2u);
    EXPECT_EQ(loaded[0].substr(0, 8), "Version ");
    EXPECT_EQ(loaded[1], "Init cwd=" + TempFolder() + " param=7");
    EXPECT_TRUE(TransformsKept()) << "Init set transforms of its own";
    EXPECT_EQ(CurrentFolder(), AppDirPath);

    WallpaperRender(device);
    WallpaperRender(device);
    WallpaperInvalidate();
    WallpaperRestore();
    EXPECT_EQ(Calls(), (std::vector<std::string>{"Render cwd=" + TempFolder(), "Render cwd=" + TempFolder(),
                                                 "Invalidate cwd=" + TempFolder(), "Restore cwd=" + TempFolder()}));
    EXPECT_TRUE(TransformsKept()) << "Render set transforms of its own";
    EXPECT_EQ(CurrentFolder(), AppDirPath);

    UnloadWallpaper();
    EXPECT_EQ(CallNames(), std::vector<std::string>{"Kill"});
    EXPECT_EQ(WallpaperLib, nullptr);
    EXPECT_FALSE(PluginInMemory());
    EXPECT_EQ(WallpaperEntries.Render, nullptr);

    // The same package again: nothing is unpacked (a changed file stays changed).
    WriteWholeFile(Temp() + "data\\colour.txt", "changed");
    LoadWallpaper(package, 0, device);
    EXPECT_NE(WallpaperLib, nullptr);
    EXPECT_EQ(ReadWholeFile(Temp() + "data\\colour.txt"), "changed");
    EXPECT_EQ(ReadWholeFile(Temp() + "wallpaper.info"), package + "\r\n");

    // The same file named in other letter case is another package: unpacked again.
    const std::string otherCase = Package("GOOD.3DV");
    LoadWallpaper(otherCase, 0, device);
    EXPECT_NE(WallpaperLib, nullptr);
    EXPECT_EQ(ReadWholeFile(Temp() + "data\\colour.txt"), "3366CC\n");
    EXPECT_EQ(ReadWholeFile(Temp() + "wallpaper.info"), otherCase + "\r\n");
}

TEST_F(HostTest, UnpackFolderHoldsOnlyThisPackageAndAFailedUnpackLoadsNothing) {
    LoadWallpaper(Package("good.3dv"), 0, device);
    ASSERT_NE(WallpaperLib, nullptr);
    Calls();

    // A package without a plug-in: the last package's library is gone with the rest of its files.
    LoadWallpaper(Package("nodll.3dv"), 0, device);
    EXPECT_EQ(WallpaperLib, nullptr);
    EXPECT_EQ(CallNames(), std::vector<std::string>{"Kill"});
    EXPECT_FALSE(comp::FileExists(Temp() + "wallpaper.dll"));

    // A package whose one entry climbs out of the unpack folder fails: nothing is loaded, nothing written,
    // and nothing marks it as unpacked.
    LoadWallpaper(Package("good.3dv"), 0, device);
    ASSERT_NE(WallpaperLib, nullptr);
    Calls();
    testing_support::CabinetContents climbing;
    climbing.files.resize(1);
    climbing.files[0].name = "..\\wallpaper.dll";
    climbing.files[0].content = "not a plug-in";
    const std::string climbs = scratch.Path() + "climbs.3dv";
    testing_support::WriteCabinet(climbs, climbing);
    LoadWallpaper(climbs, 0, device);
    EXPECT_EQ(WallpaperLib, nullptr);
    EXPECT_EQ(CallNames(), std::vector<std::string>{"Kill"});
    EXPECT_FALSE(comp::FileExists(Temp() + "wallpaper.info"));
    EXPECT_FALSE(comp::FileExists(Temp() + "wallpaper.dll"));
    EXPECT_FALSE(comp::FileExists(AppDataPath + "wallpaper.dll"));
    EXPECT_TRUE(TransformsKept());

    // An unpack folder that can't be emptied (a file of the last package held open, without share-delete,
    // by someone else) fails the unpack too: the last package's plug-in doesn't run for the new one.
    LoadWallpaper(Package("good.3dv"), 0, device);
    ASSERT_NE(WallpaperLib, nullptr);
    Calls();
    HANDLE held = CreateFileA((Temp() + "data\\colour.txt").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    LoadWallpaper(Package("nodll.3dv"), 0, device);
    CloseHandle(held);
    EXPECT_EQ(WallpaperLib, nullptr);
    EXPECT_EQ(CallNames(), std::vector<std::string>{"Kill"});
    // The failed empty left no search of the host's open on the unpack folder (an open search holds its
    // folder): once the file is let go, the folder can be removed.
    testing_support::RemoveTree(TempFolder());
    EXPECT_FALSE(comp::DirectoryExists(TempFolder()));
}

TEST_F(HostTest, WrongOrMissingVersionIsUnloadedWithoutInitOrKill) {
    const struct {
        const char* package;
        std::vector<std::string> calls;
    } cases[] = {{"v11.3dv", {"Version"}}, {"v20.3dv", {"Version"}}, {"noversion.3dv", {}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.package);
        LoadWallpaper(Package(c.package), 0, device);
        EXPECT_EQ(CallNames(), c.calls);
        EXPECT_EQ(WallpaperLib, nullptr);
        EXPECT_FALSE(PluginInMemory());
        EXPECT_EQ(WallpaperEntries.Kill, nullptr);
        WallpaperRender(device);
        UnloadWallpaper();
        EXPECT_TRUE(Calls().empty());
        EXPECT_TRUE(TransformsKept());
    }
}

TEST_F(HostTest, RaisingAndFaultingCallsAreDroppedAndTheDesktopGoesOn) {
    SetEnvironmentVariableA("VEXLOR_PLUGIN_FAULT", "Render=raise,Invalidate=fault,Restore=raise");
    LoadWallpaper(Package("good.3dv"), 0, device);
    ASSERT_NE(WallpaperLib, nullptr);
    Calls();
    for (int i = 0; i < 3; ++i) WallpaperRender(device);
    SetEnvironmentVariableA("VEXLOR_PLUGIN_FAULT", "Render=fault,Invalidate=fault,Restore=raise");
    for (int i = 0; i < 3; ++i) WallpaperRender(device);
    WallpaperInvalidate();
    WallpaperRestore();
    EXPECT_EQ(CallNames(), (std::vector<std::string>{"Render", "Render", "Render", "Render", "Render", "Render",
                                                     "Invalidate", "Restore"}));
    EXPECT_NE(WallpaperLib, nullptr) << "a plug-in whose calls fail stays loaded";
    EXPECT_TRUE(TransformsKept());
    EXPECT_EQ(CurrentFolder(), AppDirPath);

    SetEnvironmentVariableA("VEXLOR_PLUGIN_FAULT", "Kill=fault");
    UnloadWallpaper();
    EXPECT_EQ(CallNames(), std::vector<std::string>{"Kill"});
    EXPECT_EQ(WallpaperLib, nullptr);
    EXPECT_FALSE(PluginInMemory());

    // Our own exceptions still work after the plug-in's were caught.
    EXPECT_THROW(throw std::runtime_error("still fine"), std::runtime_error);
}

namespace {

// Frames of the render loop on a thread of their own, counted as they return: a stack overflow that
// isn't survived ends that thread and not the test.
struct RenderFrames {
    IDirect3DDevice9* device;
    int wanted;
    volatile LONG done;
};
DWORD WINAPI RenderFramesThread(void* p) {
    auto* frames = static_cast<RenderFrames*>(p);
    for (int i = 0; i < frames->wanted; ++i) {
        WallpaperRender(frames->device);
        InterlockedIncrement(&frames->done);
    }
    return 0;
}

}  // namespace

TEST_F(HostTest, PluginThatOverflowsItsStackInEveryRenderIsSurvived) {
    SetEnvironmentVariableA("VEXLOR_PLUGIN_FAULT", "Render=overflow");
    LoadWallpaper(Package("good.3dv"), 0, device);
    ASSERT_NE(WallpaperLib, nullptr);
    Calls();
    RenderFrames frames{device, 4, 0};
    HANDLE thread = CreateThread(nullptr, 256 * 1024, RenderFramesThread, &frames, STACK_SIZE_PARAM_IS_A_RESERVATION,
                                 nullptr);
    ASSERT_NE(thread, nullptr);
    EXPECT_EQ(WaitForSingleObject(thread, 60000), WAIT_OBJECT_0);
    CloseHandle(thread);
    EXPECT_EQ(frames.done, 4) << "a later overflow ended the render thread";
    EXPECT_EQ(CallNames(), std::vector<std::string>(4, "Render"));
    EXPECT_NE(WallpaperLib, nullptr);
    EXPECT_TRUE(TransformsKept());
}

TEST_F(HostTest, InitThatRaisesOrFaultsUnloadsThePlugin) {
    for (const char* fault : {"Init=raise", "Init=fault"}) {
        SCOPED_TRACE(fault);
        SetEnvironmentVariableA("VEXLOR_PLUGIN_FAULT", fault);
        LoadWallpaper(Package("good.3dv"), 0, device);
        EXPECT_EQ(CallNames(), (std::vector<std::string>{"Version", "Init", "Kill"}));
        EXPECT_EQ(WallpaperLib, nullptr);
        EXPECT_FALSE(PluginInMemory());
        EXPECT_EQ(CurrentFolder(), AppDirPath);
        EXPECT_TRUE(TransformsKept());
    }
}

TEST_F(HostTest, MissingPackageLibraryOrDataFolderLoadsNothing) {
    // No package file: the data folder isn't touched.
    LoadWallpaper(scratch.Path() + "missing.3dv", 0, device);
    EXPECT_EQ(WallpaperLib, nullptr);
    EXPECT_FALSE(comp::DirectoryExists(TempFolder()));

    // A package without a library, while the unpack folder holds none.
    LoadWallpaper(Package("nodll.3dv"), 0, device);
    EXPECT_EQ(WallpaperLib, nullptr);
    EXPECT_TRUE(comp::FileExists(Temp() + "data\\colour.txt"));
    EXPECT_EQ(ReadWholeFile(Temp() + "wallpaper.info"), Package("nodll.3dv") + "\r\n");

    // No data folder: nothing is unpacked or loaded by a relative name, and the current folder stays.
    const std::string folder = scratch.Path() + "cwd";
    comp::ForceDirectories(folder);
    SetCurrentDirectoryA(folder.c_str());
    AppDataPath.clear();
    LoadWallpaper(Package("good.3dv"), 0, device);
    WallpaperRender(device);
    EXPECT_EQ(WallpaperLib, nullptr);
    EXPECT_TRUE(Calls().empty());
    EXPECT_EQ(CurrentFolder(), folder);
    EXPECT_FALSE(comp::DirectoryExists(folder + "\\Temp"));
    EXPECT_TRUE(TransformsKept());
}

// The scene as the control makes it, with the test plug-in: it fills the view before the cube is drawn,
// goes through a device reset, and at the tear-down gets Invalidate and Kill while the device still lives.
class SceneHost : public IRenderHost {
public:
    HWND window = nullptr;
    comp::Bitmap frame;

    HWND Handle() override { return window; }
    void SetRenderTimerEnabled(bool) override {}
    void SetFPSCaption(const std::string&) override {}
    void FrameDrawn(gTGlobalVars& g) override { frame = testing_support::ReadRenderTarget(g.D3D.Device); }
    COLORREF At(double fx, double fy) const {
        return frame.Pixel(static_cast<int>(fx * (frame.Width() - 1)), static_cast<int>(fy * (frame.Height() - 1)));
    }
};

TEST_F(HostFixture, PluginDrawsBehindTheCubeThroughResetAndTearDown) {
    constexpr COLORREF kFace = RGB(200, 30, 30);
    Settings.d3d_qw = 0;
    SceneHost host;
    host.window = MakeWindow("VexlorWallpaperSceneTest", 200, 150);
    ASSERT_NE(host.window, nullptr);
    TFaceArray faces{};
    gTGlobalVars g;
    InitGlobalVars(g, &faces);
    // The scene with its six faces over the scratch data folder, the wallpaper loaded by hand below.
    Settings.use_3d_wallpaper = false;
    ASSERT_TRUE(InitScene(host.window, g));
    for (int n = 1; n <= 6; ++n) {
        faces[n]->FillColor(kFace);
        faces[n]->ComposeBackground();
    }

    LoadWallpaper(Package("good.3dv"), 0, g);
    ASSERT_NE(WallpaperLib, nullptr);
    RenderFrame(host, g);
    ASSERT_FALSE(host.frame.Empty());
    EXPECT_TRUE(testing_support::ColoursNear(host.At(0.03, 0.03), kPluginColour, 2))
        << testing_support::ColourHex(host.At(0.03, 0.03));
    EXPECT_TRUE(testing_support::ColoursNear(host.At(0.5, 0.5), kFace, 3)) << testing_support::ColourHex(host.At(0.5, 0.5));

    ResetScene(host.window, g);
    RenderFrame(host, g);
    EXPECT_TRUE(testing_support::ColoursNear(host.At(0.97, 0.97), kPluginColour, 2))
        << testing_support::ColourHex(host.At(0.97, 0.97));
    EXPECT_TRUE(testing_support::ColoursNear(host.At(0.5, 0.5), kFace, 3));
    EXPECT_EQ(CallNames(), (std::vector<std::string>{"Version", "Init", "Render", "Invalidate", "Restore", "Render"}));

    ReleaseScene(g);
    const std::vector<std::string> last = Calls();
    ASSERT_EQ(last.size(), 2u);
    EXPECT_EQ(last[0].substr(0, 11), "Invalidate ");
    // Only the host's reference kept the device for the plug-in's last call.
    EXPECT_EQ(last[1], "Kill cwd=" + CurrentFolder() + " refs=2");
    EXPECT_EQ(WallpaperLib, nullptr);
    DestroyWindow(host.window);
}
