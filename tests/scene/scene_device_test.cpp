// The scene with a real Direct3D 9 device in a top-level window: device and faces as made by
// InitScene, frames read back from the back buffer before Present, the inside view, hidden
// faces, pictures composed in the three positions, the reset path, creation failure, release.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "components/bitmap.h"
#include "components/exceptions.h"
#include "components/paths.h"
#include "control/u3DPanel.h"
#include "control/uCamera.h"
#include "control/uGlobal.h"
#include "control/uGranDesktop.h"
#include "control/uInit.h"
#include "control/uInter.h"
#include "control/uRender.h"
#include "control/uTexture.h"
#include "data_folder.h"
#include "fixtures.h"
#include "shared/uMessages.h"
#include "shared/uOptionsShared.h"
#include "shared/uPath.h"
#include "test_pictures.h"
#include "test_windows.h"

using comp::Bitmap;
using namespace d3dmath;
using testing_support::ColourHex;
using testing_support::ColoursNear;
using testing_support::FillQuadrants;
using namespace testing_support::colours;

namespace {

constexpr COLORREF kFaceColours[7] = {0, RGB(200, 30, 30), RGB(30, 200, 30), RGB(30, 30, 200),
                                      RGB(200, 200, 30), RGB(30, 200, 200), RGB(200, 30, 200)};
constexpr COLORREF kClear = RGB(1, 0, 0);
constexpr COLORREF kMagenta = RGB(255, 0, 255);

#define EXPECT_COLOUR(actual, expected, tolerance)                                                  \
    EXPECT_TRUE(ColoursNear((actual), (expected), (tolerance))) << "got " << ColourHex(actual) << " want " \
                                                                << ColourHex(expected)

std::string DataFile(const std::string& name) { return testing_support::ExeFolder() + "\\scene_data\\" + name; }

std::string ArtefactFile(const std::string& name) {
    const std::string folder = testing_support::ExeFolder() + "\\scene_artefacts\\";
    comp::ForceDirectories(folder);
    return folder + name;
}

// The form's part in the render loop: records the timer switches and the caption, and reads
// the finished frame back from the back buffer before Present.
struct TestHost : IRenderHost {
    HWND window = nullptr;
    std::vector<bool> timerSwitches;
    std::string caption;
    Bitmap frame;
    int framesDrawn = 0;

    HWND Handle() override { return window; }
    void SetRenderTimerEnabled(bool enabled) override { timerSwitches.push_back(enabled); }
    void SetFPSCaption(const std::string& text) override { caption = text; }
    void FrameDrawn(gTGlobalVars& g) override {
        ++framesDrawn;
        frame = testing_support::ReadRenderTarget(g.D3D.Device);
    }
};

LRESULT CALLBACK PlainWndProc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcA(h, m, w, l); }

HWND MakeTopLevelWindow(const char* className) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = PlainWndProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = className;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    RegisterClassA(&wc);
    return CreateWindowExA(0, className, "scene", WS_POPUP | WS_VISIBLE, 100, 100, 200, 150, nullptr, nullptr,
                           wc.hInstance, nullptr);
}

class SceneTest : public ::testing::Test {
protected:
    void SetUp() override {
        Settings.d3d_qw = 2;
        Settings.use_3d_wallpaper = false;
        Settings.ShowFPS = true;
        window = MakeTopLevelWindow("VexlorSceneTestWindow");
        ASSERT_NE(window, nullptr);
        host.window = window;
        InitGlobalVars(g, &faces);
    }
    void TearDown() override {
        if (made) ReleaseScene(g);
        DestroyWindow(window);
    }
    bool MakeScene() {
        made = InitScene(window, g);
        return made;
    }
    void PaintFaces() {
        for (int n = 1; n <= 6; ++n) PaintFace(n, kFaceColours[n]);
    }
    void PaintFace(int n, COLORREF colour) {
        T3DPanel* face = faces[n];
        face->FaceBitmap().SetSize(face->TextureWidth, face->TextureHeight);
        face->BackColor = colour;
        face->FillColor(colour);
        face->BackPicPos = kPicStretch;
        face->ComposeBackground();
    }
    // A 64 x 64 picture with the quadrants red, green (top right), blue (bottom left), yellow.
    void PaintQuadrants(int n) {
        T3DPanel* face = faces[n];
        Bitmap& b = face->FaceBitmap();
        b.SetSize(64, 64);
        FillQuadrants(b);
        face->BackPicPos = kPicStretch;
        face->ComposeBackground();
    }
    COLORREF At(double fx, double fy) {
        return host.frame.Pixel(static_cast<int>(fx * (host.frame.Width() - 1)),
                                static_cast<int>(fy * (host.frame.Height() - 1)));
    }
    // The back-buffer pixel that shows texture point (u, v) of face 1 under the device's transforms.
    POINT ScreenOfFace1(float u, float v) {
        D3DVIEWPORT9 vp{};
        TMatrix proj, view, world;
        g.D3D.Device->GetViewport(&vp);
        g.D3D.Device->GetTransform(D3DTS_PROJECTION, &proj);
        g.D3D.Device->GetTransform(D3DTS_VIEW, &view);
        g.D3D.Device->GetTransform(D3DTS_WORLD, &world);
        const TVector3 s = Project(Vec3(-1 + 2 * u, 1 - 2 * v, -1), vp, proj, view, world);
        return POINT{static_cast<LONG>(s.x), static_cast<LONG>(s.y)};
    }
    // Texel (x, y) of level 0 of face n's texture, as a colour value.
    COLORREF Texel(int n, int x, int y) {
        IDirect3DTexture9* texture = faces[n]->Texture;
        D3DLOCKED_RECT locked{};
        const RECT r{x, y, x + 1, y + 1};
        if (FAILED(texture->LockRect(0, &locked, &r, D3DLOCK_READONLY))) return 0xFFFFFFFF;
        const uint32_t t = *static_cast<uint32_t*>(locked.pBits);
        texture->UnlockRect(0);
        EXPECT_EQ(t >> 24, 0xFFu) << "texels are opaque";
        return RGB((t >> 16) & 0xFF, (t >> 8) & 0xFF, t & 0xFF);
    }

    testing_support::ScratchDataFolder data;
    HWND window = nullptr;
    TestHost host;
    TFaceArray faces{};
    gTGlobalVars g;
    bool made = false;
};

}  // namespace

TEST_F(SceneTest, InitSceneMakesTheDeviceAndTheSixFaces) {
    ASSERT_TRUE(MakeScene());
    ASSERT_NE(g.D3D.Device, nullptr);
    ASSERT_NE(g.D3D.Direct3D, nullptr);
    ASSERT_NE(g.D3D.Camera, nullptr);

    // The window takes the display mode's size at (0, 0) before the device exists.
    D3DDISPLAYMODE mode{};
    g.D3D.Direct3D->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &mode);
    RECT wr{};
    GetWindowRect(window, &wr);
    EXPECT_EQ(wr.left, 0);
    EXPECT_EQ(wr.top, 0);
    EXPECT_EQ(static_cast<UINT>(wr.right - wr.left), mode.Width);
    EXPECT_EQ(static_cast<UINT>(wr.bottom - wr.top), mode.Height);

    const D3DPRESENT_PARAMETERS& pp = g.D3D.PresentParams;
    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(pp.BackBufferWidth, static_cast<UINT>(client.right));
    EXPECT_EQ(pp.BackBufferHeight, static_cast<UINT>(client.bottom));
    EXPECT_EQ(g.D3D.BackBufferWidth, pp.BackBufferWidth);
    EXPECT_EQ(g.D3D.BackBufferHeight, pp.BackBufferHeight);
    EXPECT_EQ(pp.BackBufferFormat, mode.Format);
    EXPECT_EQ(pp.SwapEffect, D3DSWAPEFFECT_DISCARD);
    EXPECT_EQ(pp.AutoDepthStencilFormat, D3DFMT_D16);
    EXPECT_EQ(pp.Flags, 3u);
    EXPECT_TRUE(pp.Windowed);
    EXPECT_EQ(pp.hDeviceWindow, window);

    D3DVIEWPORT9 vp{};
    g.D3D.Device->GetViewport(&vp);
    EXPECT_EQ(vp.X, 0u);
    EXPECT_EQ(vp.Width, g.D3D.BackBufferWidth);
    EXPECT_EQ(vp.Height, g.D3D.BackBufferHeight);
    TMatrix proj;
    g.D3D.Device->GetTransform(D3DTS_PROJECTION, &proj);
    EXPECT_NEAR(proj.m[0][0], 1.0f / std::tan(0.5f), 1e-5f);  // the outside view
    EXPECT_NEAR(proj.m[2][2], 200.0f / 199.0f, 1e-5f);

    TCubeQuads quads;
    TCubeNormals normals;
    BuildCube(quads, normals);
    for (int n = 1; n <= 6; ++n) {
        SCOPED_TRACE(n);
        ASSERT_NE(faces[n], nullptr);
        EXPECT_NE(faces[n]->VertexBuffer, nullptr);
        ASSERT_NE(faces[n]->Texture, nullptr);
        D3DSURFACE_DESC desc{};
        faces[n]->Texture->GetLevelDesc(0, &desc);
        EXPECT_EQ(desc.Width, 512u);
        EXPECT_EQ(desc.Height, 512u);
        EXPECT_EQ(desc.Format, D3DFMT_A8R8G8B8);
        EXPECT_EQ(desc.Pool, D3DPOOL_MANAGED);
        EXPECT_EQ(faces[n]->Texture->GetLevelCount(), 10u);  // the full chain
        D3DVERTEXBUFFER_DESC vb{};
        faces[n]->VertexBuffer->GetDesc(&vb);
        EXPECT_EQ(vb.Size, 128u);
        EXPECT_EQ(vb.Pool, D3DPOOL_DEFAULT);
        EXPECT_EQ(vb.FVF, 0x112u);
        EXPECT_EQ(faces[n]->Normal.x, normals[n].x);
        EXPECT_EQ(faces[n]->Normal.y, normals[n].y);
        EXPECT_EQ(faces[n]->Normal.z, normals[n].z);
        EXPECT_EQ(memcmp(faces[n]->Vertices.data(), quads[n].data(), sizeof(TFaceQuad)), 0);
    }
    EXPECT_TRUE(comp::DirectoryExists(data.Path() + "Desktops"));
}

TEST_F(SceneTest, BackBufferSizeFollowsTheQualitySetting) {
    Settings.d3d_qw = 0;
    ASSERT_TRUE(MakeScene());
    EXPECT_EQ(g.D3D.BackBufferWidth, 640);
    EXPECT_EQ(g.D3D.BackBufferHeight, 480);
    D3DVIEWPORT9 vp{};
    g.D3D.Device->GetViewport(&vp);
    EXPECT_EQ(vp.Width, 640u);
    EXPECT_EQ(vp.Height, 480u);
    ReleaseScene(g);
    made = false;

    Settings.d3d_qw = 1;
    ASSERT_TRUE(MakeScene());
    EXPECT_EQ(g.D3D.BackBufferWidth, 800);
    EXPECT_EQ(g.D3D.BackBufferHeight, 600);
    ReleaseScene(g);
    made = false;

    Settings.d3d_qw = 5;  // not a quality the dialog writes: the client size
    ASSERT_TRUE(MakeScene());
    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(g.D3D.BackBufferWidth, client.right);
    EXPECT_EQ(g.D3D.BackBufferHeight, client.bottom);
}

TEST_F(SceneTest, OutsideViewShowsFaceOneUprightOnTheClearColour) {
    ASSERT_TRUE(MakeScene());
    PaintFaces();
    RenderFrame(host, g);
    ASSERT_EQ(host.framesDrawn, 1);
    ASSERT_FALSE(host.frame.Empty());
    host.frame.SaveToFile(ArtefactFile("outside.bmp"));
    EXPECT_COLOUR(At(0.5, 0.5), kFaceColours[1], 3);
    EXPECT_COLOUR(At(0.2, 0.5), kFaceColours[1], 3);  // inside the middle 73 %
    EXPECT_COLOUR(At(0.5, 0.8), kFaceColours[1], 3);
    EXPECT_COLOUR(At(0.1, 0.5), kClear, 0);            // outside it
    EXPECT_COLOUR(At(0.02, 0.02), kClear, 0);
    EXPECT_COLOUR(At(0.98, 0.98), kClear, 0);
    EXPECT_EQ(host.caption, "FPS: 0");  // the first frame counts over the whole uptime
    EXPECT_TRUE(host.timerSwitches.empty());

    PaintQuadrants(1);
    RenderFrame(host, g);
    host.frame.SaveToFile(ArtefactFile("outside_quadrants.bmp"));
    EXPECT_COLOUR(At(0.35, 0.35), kRed, 3);
    EXPECT_COLOUR(At(0.65, 0.35), kGreen, 3);
    EXPECT_COLOUR(At(0.35, 0.65), kBlue, 3);
    EXPECT_COLOUR(At(0.65, 0.65), kYellow, 3);
}

TEST_F(SceneTest, InsideViewShowsTheInnerWallsUpright) {
    ASSERT_TRUE(MakeScene());
    PaintFaces();
    g.InsideView = true;
    RenderFrame(host, g);
    host.frame.SaveToFile(ArtefactFile("inside.bmp"));
    EXPECT_COLOUR(At(0.5, 0.5), kFaceColours[2], 3);   // the far wall
    EXPECT_COLOUR(At(0.5, 0.02), kFaceColours[3], 3);  // ceiling
    EXPECT_COLOUR(At(0.5, 0.98), kFaceColours[4], 3);  // floor
    EXPECT_COLOUR(At(0.02, 0.5), kFaceColours[5], 3);  // the right side, mirrored to the left
    EXPECT_COLOUR(At(0.98, 0.5), kFaceColours[6], 3);
    TMatrix proj;
    g.D3D.Device->GetTransform(D3DTS_PROJECTION, &proj);
    EXPECT_LT(proj.m[0][0], 0.0f);

    PaintQuadrants(2);
    RenderFrame(host, g);
    host.frame.SaveToFile(ArtefactFile("inside_quadrants.bmp"));
    // The far wall spans the middle 2 / (2.5 tan 0.5) = 58 % of the view; its picture reads upright.
    EXPECT_COLOUR(At(0.4, 0.4), kRed, 3);
    EXPECT_COLOUR(At(0.6, 0.4), kGreen, 3);
    EXPECT_COLOUR(At(0.4, 0.6), kBlue, 3);
    EXPECT_COLOUR(At(0.6, 0.6), kYellow, 3);
}

TEST_F(SceneTest, HiddenFacesLeaveOnlyTheClearColour) {
    ASSERT_TRUE(MakeScene());
    PaintFaces();
    g.HideFaces = true;
    RenderFrame(host, g);
    ASSERT_EQ(host.framesDrawn, 1);
    for (int y = 0; y < host.frame.Height(); y += 37)
        for (int x = 0; x < host.frame.Width(); x += 41) ASSERT_EQ(host.frame.Pixel(x, y), kClear) << x << "," << y;
}

TEST_F(SceneTest, SpinTurnsTheDevicesWorldTransformFrameByFrame) {
    ASSERT_TRUE(MakeScene());
    PaintFaces();
    g.SpinY = 36;
    RenderFrame(host, g);
    TMatrix world;
    g.D3D.Device->GetTransform(D3DTS_WORLD, &world);
    const TMatrix expected = RotationY(0.1f);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) EXPECT_NEAR(world.m[r][c], expected.m[r][c], 1e-5f);
    EXPECT_EQ(g.SpinY, 35);
    for (int n = 1; n <= 6; ++n)
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 4; ++c) EXPECT_EQ(faces[n]->World.m[r][c], world.m[r][c]);
    // A quarter turn about y (x toward -z) brings the right side, face 5, to the front.
    g.SpinY = 0;
    TMatrix quarter = RotationY(1.57079633f);
    g.D3D.Device->SetTransform(D3DTS_WORLD, &quarter);
    RenderFrame(host, g);
    host.frame.SaveToFile(ArtefactFile("turned.bmp"));
    EXPECT_COLOUR(At(0.5, 0.5), kFaceColours[5], 3);

    // Turned about two axes the cube shows three faces at once: those whose turned normal
    // points towards the eye (negative z); the others are culled.
    TMatrix tilted = Multiply(RotationY(-0.6f), RotationX(-0.5f));
    g.D3D.Device->SetTransform(D3DTS_WORLD, &tilted);
    RenderFrame(host, g);
    host.frame.SaveToFile(ArtefactFile("tilted.bmp"));
    int seen[7] = {};
    for (int y = 0; y < host.frame.Height(); y += 4)
        for (int x = 0; x < host.frame.Width(); x += 4)
            for (int n = 1; n <= 6; ++n)
                if (ColoursNear(host.frame.Pixel(x, y), kFaceColours[n], 3)) ++seen[n];
    int facing = 0;
    for (int n = 1; n <= 6; ++n) {
        const float z = TransformNormal(faces[n]->Normal, tilted).z;
        if (z < 0) {
            ++facing;
            EXPECT_GT(seen[n], 1000) << "face " << n << " turned towards the eye";
        } else {
            EXPECT_EQ(seen[n], 0) << "face " << n << " turned away";
        }
    }
    EXPECT_EQ(facing, 3);
}

TEST_F(SceneTest, PicturesComposedInEachPositionReachTextureAndScreen) {
    ASSERT_TRUE(MakeScene());
    PaintFaces();
    struct Case {
        const char* file;
        int w, h;
        int tolerance;
    };
    // The JPEG is lossy: its flat quadrants come back within a few steps.
    const Case cases[] = {{"quad_256x128.jpg", 256, 128, 24}, {"quad_200x200.bmp", 200, 200, 0}};
    for (const Case& c : cases) {
        for (uint8_t pos : {kPicStretch, kPicCenter, kPicTile}) {
            SCOPED_TRACE(testing::Message() << c.file << " position " << static_cast<int>(pos));
            T3DPanel* face = faces[1];
            face->Picture.LoadFromFile(DataFile(c.file));
            ASSERT_EQ(face->Picture.Width(), c.w);
            ASSERT_EQ(face->Picture.Height(), c.h);
            face->BackPicPos = pos;
            face->BackColor = kMagenta;
            face->ComposeBackground();
            // The colour of picture point (px, py) inside its quadrants.
            auto quadrant = [&](int px, int py) {
                const bool right = px >= c.w / 2, bottom = py >= c.h / 2;
                return bottom ? (right ? kYellow : kBlue) : (right ? kGreen : kRed);
            };
            // Texels checked away from the quadrant borders.
            struct Probe {
                int x, y;
                COLORREF want;
            };
            std::vector<Probe> probes;
            auto add = [&](int x, int y, COLORREF want) { probes.push_back(Probe{x, y, want}); };
            if (pos == kPicStretch) {
                add(128, 128, kRed);
                add(384, 128, kGreen);
                add(128, 384, kBlue);
                add(384, 384, kYellow);
            } else if (pos == kPicCenter) {
                const POINT at = CenteredPicturePosition(512, 512, c.w, c.h);
                add(at.x + c.w / 4, at.y + c.h / 4, kRed);
                add(at.x + 3 * c.w / 4, at.y + c.h / 4, kGreen);
                add(at.x + c.w / 4, at.y + 3 * c.h / 4, kBlue);
                add(at.x + 3 * c.w / 4, at.y + 3 * c.h / 4, kYellow);
                add(at.x - 10, at.y - 10, kMagenta);
                add(510, 510, kMagenta);
                add(2, 256, kMagenta);
            } else {
                for (int ty : {c.h / 4, c.h + c.h / 4, c.h + 3 * c.h / 4})
                    for (int tx : {c.w / 4, c.w + 3 * c.w / 4, 2 * c.w + c.w / 4})
                        if (tx < 512 && ty < 512) add(tx, ty, quadrant(tx % c.w, ty % c.h));
            }
            for (const Probe& p : probes) EXPECT_COLOUR(Texel(1, p.x, p.y), p.want, c.tolerance) << " texel " << p.x << "," << p.y;

            RenderFrame(host, g);
            const std::string shot = std::string("picture_") + c.file + "_" + std::to_string(pos) + ".bmp";
            host.frame.SaveToFile(ArtefactFile(shot));
            for (const Probe& p : probes) {
                const POINT s = ScreenOfFace1((p.x + 0.5f) / 512.0f, (p.y + 0.5f) / 512.0f);
                EXPECT_COLOUR(host.frame.Pixel(s.x, s.y), p.want, c.tolerance + 8) << " screen of texel " << p.x << "," << p.y;
            }
        }
    }
}

TEST_F(SceneTest, ResetMakesTheVertexBuffersAgainAndKeepsTheTextures) {
    Settings.d3d_qw = 0;
    ASSERT_TRUE(MakeScene());
    PaintFaces();
    EXPECT_EQ(g.D3D.BackBufferWidth, 640);
    IDirect3DTexture9* textures[7] = {};
    for (int n = 1; n <= 6; ++n) textures[n] = faces[n]->Texture;
    TMatrix turned = RotationY(0.7f);
    g.D3D.Device->SetTransform(D3DTS_WORLD, &turned);

    // A Reset with the faces' default-pool buffers alive fails and leaves the device asking for one.
    D3DPRESENT_PARAMETERS pp = g.D3D.PresentParams;
    EXPECT_TRUE(FAILED(g.D3D.Device->Reset(&pp)));
    ASSERT_EQ(g.D3D.Device->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);

    RenderFrame(host, g);
    EXPECT_EQ(host.timerSwitches, (std::vector<bool>{false, true}));
    EXPECT_EQ(g.D3D.Device->TestCooperativeLevel(), D3D_OK);
    // The back buffer now has the client size although the quality asked for 640 x 480.
    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(g.D3D.BackBufferWidth, client.right);
    EXPECT_EQ(g.D3D.BackBufferHeight, client.bottom);
    EXPECT_EQ(g.D3D.PresentParams.BackBufferWidth, static_cast<UINT>(client.right));
    EXPECT_EQ(host.frame.Width(), client.right);
    for (int n = 1; n <= 6; ++n) {
        SCOPED_TRACE(n);
        EXPECT_EQ(faces[n]->Texture, textures[n]);
        ASSERT_NE(faces[n]->VertexBuffer, nullptr);
        void* data = nullptr;
        ASSERT_TRUE(SUCCEEDED(faces[n]->VertexBuffer->Lock(0, 128, &data, D3DLOCK_READONLY)));
        EXPECT_EQ(memcmp(data, faces[n]->Vertices.data(), 128), 0);
        faces[n]->VertexBuffer->Unlock();
    }
    // The same frame was drawn after the reset, from the identity: face 1 in front, texture kept.
    TMatrix world;
    g.D3D.Device->GetTransform(D3DTS_WORLD, &world);
    EXPECT_TRUE(IsIdentity(world));
    EXPECT_COLOUR(At(0.5, 0.5), kFaceColours[1], 3);
    EXPECT_COLOUR(At(0.5, 0.2), kFaceColours[1], 3);
    host.frame.SaveToFile(ArtefactFile("after_reset.bmp"));
}

namespace {

IDirect3D9* WINAPI NoDirect3D(UINT) { return nullptr; }

}  // namespace

TEST_F(SceneTest, FailedDeviceCreationPostsOneErrorAndMakesNoFaces) {
    RegisterMessages();
    testing_support::FakePeer peer(kControlWndClass);  // the control program's window gets the error
    ASSERT_NE(peer.Handle(), nullptr);

    Direct3DCreateHook = NoDirect3D;
    const bool result = InitScene(window, g);
    Direct3DCreateHook = Direct3DCreate9;
    EXPECT_FALSE(result);
    EXPECT_NE(g.D3D.Camera, nullptr);  // the camera is made before the device and stays
    EXPECT_EQ(g.D3D.Device, nullptr);
    EXPECT_EQ(g.D3D.Direct3D, nullptr);
    for (int n = 1; n <= 6; ++n) EXPECT_EQ(faces[n], nullptr);

    testing_support::Pump(300);
    EXPECT_EQ(peer.Count(_3D_Error), 1);
    for (const testing_support::FakePeer::Message& m : peer.Messages())
        if (m.msg == _3D_Error) {
            EXPECT_EQ(m.wParam, 0u);
            EXPECT_EQ(m.lParam, 0);
        }

    // RenderFrame without a device draws nothing and does not fail.
    RenderFrame(host, g);
    EXPECT_EQ(host.framesDrawn, 0);
    delete g.D3D.Camera;
    g.D3D.Camera = nullptr;
}

TEST_F(SceneTest, ReleaseSceneLetsGoOfEveryReference) {
    ASSERT_TRUE(MakeScene());
    IDirect3DDevice9* device = g.D3D.Device;
    IDirect3D9* d3d = g.D3D.Direct3D;
    device->AddRef();
    d3d->AddRef();
    ReleaseScene(g);
    made = false;
    EXPECT_EQ(g.D3D.Device, nullptr);
    EXPECT_EQ(g.D3D.Direct3D, nullptr);
    EXPECT_EQ(g.D3D.Camera, nullptr);
    for (int n = 1; n <= 6; ++n) EXPECT_EQ(faces[n], nullptr);
    // Only the test's own references are left: the faces gave theirs back.
    EXPECT_EQ(device->Release(), 0u);
    EXPECT_EQ(d3d->Release(), 0u);
}

TEST_F(SceneTest, PickingFollowsTheTransformsTheLastFrameLeft) {
    ASSERT_TRUE(MakeScene());
    RenderFrame(host, g);
    const int cx = g.D3D.BackBufferWidth / 2, cy = g.D3D.BackBufferHeight / 2;
    TVector3 hit{};
    EXPECT_EQ(PickFace(cx, cy, +1, g, hit), 1);
    EXPECT_EQ(hit.z, -1.0f);
    EXPECT_EQ(PickFace(2, 2, +1, g, hit), -1);

    // A quarter turn about the vertical axis brings a side face to the front.
    const TMatrix quarter = RotationY(1.5707964f);
    g.D3D.Device->SetTransform(D3DTS_WORLD, &quarter);
    const int side = PickFace(cx, cy, +1, g, hit);
    EXPECT_TRUE(side == 5 || side == 6) << side;

    const TMatrix none = Zero();
    g.D3D.Device->SetTransform(D3DTS_WORLD, &none);
    EXPECT_EQ(PickFace(cx, cy, +1, g, hit), -1);
}

namespace {

// Fails the third face as it starts loading its items, holding references of its own to the device
// and the Direct3D object from the first face on.
int gFacesLoading = 0;
IDirect3DDevice9* gHeldDevice = nullptr;
IDirect3D9* gHeldDirect3D = nullptr;
void FailTheThirdFace(const std::string& text) {
    if (text != "Loading links") return;
    if (++gFacesLoading == 1) {
        gHeldDevice = GlobalVars->D3D.Device;
        gHeldDirect3D = GlobalVars->D3D.Direct3D;
        gHeldDevice->AddRef();
        gHeldDirect3D->AddRef();
    }
    if (gFacesLoading == 3) throw comp::Exception("the third face fails");
}

}  // namespace

TEST_F(SceneTest, AFailureAfterTheDeviceReleasesWhatWasMadeAndPassesItOn) {
    FaceProgressHook = FailTheThirdFace;
    EXPECT_THROW(InitScene(window, g), comp::Exception);
    FaceProgressHook = SplashProgress;
    ASSERT_EQ(gFacesLoading, 3);
    EXPECT_EQ(g.D3D.Device, nullptr);
    EXPECT_EQ(g.D3D.Direct3D, nullptr);
    EXPECT_EQ(g.D3D.Camera, nullptr);
    for (int n = 1; n <= 6; ++n) EXPECT_EQ(faces[n], nullptr) << n;
    // The two whole faces were freed as faces are (their layout written); the third left its file alone.
    EXPECT_TRUE(comp::FileExists(data.Path() + "Desktops\\1.ini"));
    EXPECT_TRUE(comp::FileExists(data.Path() + "Desktops\\2.ini"));
    EXPECT_FALSE(comp::FileExists(data.Path() + "Desktops\\3.ini"));
    // Only the test's own references are left.
    EXPECT_EQ(gHeldDevice->Release(), 0u);
    EXPECT_EQ(gHeldDirect3D->Release(), 0u);
}

TEST_F(SceneTest, AFaceWithoutItsTextureOrVertexBufferIsNotDrawn) {
    ASSERT_TRUE(MakeScene());
    PaintFaces();
    faces[1]->Texture->Release();
    faces[1]->Texture = nullptr;
    RenderFrame(host, g);
    EXPECT_COLOUR(At(0.5, 0.5), kClear, 0);
    faces[1]->SetTextureSize(512, 512);
    PaintFace(1, kFaceColours[1]);
    RenderFrame(host, g);
    EXPECT_COLOUR(At(0.5, 0.5), kFaceColours[1], 3);
    faces[1]->ReleaseVertexBuffer();
    RenderFrame(host, g);
    EXPECT_COLOUR(At(0.5, 0.5), kClear, 0);
}

namespace {

// Every Lock of a vertex buffer fails while it lives: the entry of Lock in the method table that the
// platform's vertex buffers share points at a stand-in meanwhile.
class FailingVertexBufferLocks {
public:
    explicit FailingVertexBufferLocks(IDirect3DDevice9* device) {
        IDirect3DVertexBuffer9* probe = nullptr;
        if (FAILED(device->CreateVertexBuffer(32, 0, 0, D3DPOOL_DEFAULT, &probe, nullptr))) return;
        slot_ = *reinterpret_cast<void***>(probe) + kLockEntry;
        probe->Release();
        real_ = *slot_;
        Write(reinterpret_cast<void*>(&Refuse));
    }
    ~FailingVertexBufferLocks() {
        if (slot_) Write(real_);
    }
    FailingVertexBufferLocks(const FailingVertexBufferLocks&) = delete;
    FailingVertexBufferLocks& operator=(const FailingVertexBufferLocks&) = delete;
    bool Installed() const { return slot_ != nullptr; }

private:
    static constexpr int kLockEntry = 11;  // after the 3 methods of IUnknown and the 8 of IDirect3DResource9
    static HRESULT STDMETHODCALLTYPE Refuse(IDirect3DVertexBuffer9*, UINT, UINT, void**, DWORD) {
        return D3DERR_INVALIDCALL;
    }
    void Write(void* value) {
        DWORD old = 0;
        VirtualProtect(slot_, sizeof *slot_, PAGE_READWRITE, &old);
        *slot_ = value;
        VirtualProtect(slot_, sizeof *slot_, old, &old);
    }

    void** slot_ = nullptr;
    void* real_ = nullptr;
};

}  // namespace

TEST_F(SceneTest, AVertexBufferThatCannotBeFilledIsNotKept) {
    ASSERT_TRUE(MakeScene());
    HRESULT filled = S_OK;
    {
        const FailingVertexBufferLocks failing(g.D3D.Device);
        ASSERT_TRUE(failing.Installed());
        filled = faces[1]->FillVertexBuffer();
    }
    EXPECT_EQ(filled, D3DERR_INVALIDCALL);
    EXPECT_EQ(faces[1]->VertexBuffer, nullptr);
}

TEST_F(SceneTest, AnUploadIsTakenOnlyWhereItLiesInsideTheTexture) {
    ASSERT_TRUE(MakeScene());
    faces[1]->SetTextureSize(256, 256);
    PaintFace(1, kFaceColours[1]);
    IDirect3DTexture9* texture = faces[1]->Texture;
    Bitmap mark(32, 32);
    mark.Fill(kMagenta);
    // Across the right edge and across the bottom edge: refused, nothing written.
    EXPECT_EQ(CopyBitmapToTexture(texture, mark, 240, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(CopyBitmapToTexture(texture, mark, 0, 240), D3DERR_INVALIDCALL);
    EXPECT_COLOUR(Texel(1, 250, 5), kFaceColours[1], 0);
    EXPECT_COLOUR(Texel(1, 5, 250), kFaceColours[1], 0);
    // Up to both edges: taken.
    EXPECT_EQ(CopyBitmapToTexture(texture, mark, 224, 224), D3D_OK);
    EXPECT_COLOUR(Texel(1, 255, 255), kMagenta, 0);
}

TEST_F(SceneTest, FacesShowTheirFoldersAndTheMonitorStepReScansAFlaggedFace) {
    const std::string desktops = data.Path() + "Desktops\\";
    comp::ForceDirectories(desktops + "1");
    testing_support::WriteWholeFile(desktops + "1\\first.txt", "1");
    ASSERT_TRUE(MakeScene());
    for (int n = 1; n <= 6; ++n) {
        SCOPED_TRACE(n);
        EXPECT_EQ(faces[n]->Index, n);
        EXPECT_EQ(faces[n]->Folder, desktops + std::to_string(n) + "\\");
        EXPECT_EQ(faces[n]->IniFileName, desktops + std::to_string(n) + ".ini");
        EXPECT_TRUE(comp::DirectoryExists(faces[n]->Folder));
        EXPECT_EQ(faces[n]->Links.size(), n == 1 ? 1u : 0u);
    }
    testing_support::WriteWholeFile(desktops + "2\\late.txt", "2");
    ASSERT_TRUE(testing_support::PumpUntil([&] { return faces[2]->NeedsRefresh.load(); }, 10000));
    RefreshChangedFaces(g);
    ASSERT_EQ(faces[2]->Links.size(), 1u);
    EXPECT_EQ(faces[2]->Links[0]->FileName, "late.txt");
    EXPECT_EQ(faces[1]->Links.size(), 1u);
}
