// The cube's vertex table, the camera class and the projection of the two views.
#include <gtest/gtest.h>

#include <cmath>

#include "control/uCamera.h"
#include "control/uCube.h"
#include "control/uGlobal.h"
#include "control/uInit.h"

using namespace d3dmath;

namespace {

TVector3 Position(const TCubeVertex& v) { return Vec3(v.x, v.y, v.z); }

// The texture coordinate of a point on face n, from the face's plane.
void ExpectedTexCoord(int n, const TVector3& p, float& tu, float& tv) {
    switch (n) {
        case 1: tu = (p.x + 1) / 2; tv = (1 - p.y) / 2; break;
        case 2: tu = (1 - p.x) / 2; tv = (1 - p.y) / 2; break;
        case 3: tu = (p.x + 1) / 2; tv = (1 - p.z) / 2; break;
        case 4: tu = (p.x + 1) / 2; tv = (p.z + 1) / 2; break;
        case 5: tu = (p.z + 1) / 2; tv = (1 - p.y) / 2; break;
        default: tu = (1 - p.z) / 2; tv = (1 - p.y) / 2; break;
    }
}

}  // namespace

TEST(CubeGeometry, TwentyFourVerticesOnTheirPlanes) {
    TCubeQuads quads;
    TCubeNormals normals;
    BuildCube(quads, normals);
    const TVector3 expectedNormals[7] = {{0, 0, 0}, {0, 0, -1}, {0, 0, 1}, {0, 1, 0}, {0, -1, 0}, {1, 0, 0}, {-1, 0, 0}};
    for (int n = 1; n <= 6; ++n) {
        SCOPED_TRACE(n);
        EXPECT_EQ(normals[n].x, expectedNormals[n].x);
        EXPECT_EQ(normals[n].y, expectedNormals[n].y);
        EXPECT_EQ(normals[n].z, expectedNormals[n].z);
        for (const TCubeVertex& v : quads[n]) {
            // Every vertex is a corner of the edge-2 cube and lies on the face's plane.
            EXPECT_EQ(std::fabs(v.x), 1.0f);
            EXPECT_EQ(std::fabs(v.y), 1.0f);
            EXPECT_EQ(std::fabs(v.z), 1.0f);
            EXPECT_EQ(Dot(Position(v), normals[n]), 1.0f);
            EXPECT_EQ(v.nx, normals[n].x);
            EXPECT_EQ(v.ny, normals[n].y);
            EXPECT_EQ(v.nz, normals[n].z);
            float tu = 0, tv = 0;
            ExpectedTexCoord(n, Position(v), tu, tv);
            EXPECT_EQ(v.tu, tu);
            EXPECT_EQ(v.tv, tv);
        }
    }
    // Spot checks against the table.
    EXPECT_EQ(quads[1][0].x, -1.0f);
    EXPECT_EQ(quads[1][0].y, 1.0f);
    EXPECT_EQ(quads[2][2].x, 1.0f);
    EXPECT_EQ(quads[2][2].tu, 0.0f);
    EXPECT_EQ(quads[4][1].z, -1.0f);
    EXPECT_EQ(quads[4][1].tv, 0.0f);
    EXPECT_EQ(quads[6][3].z, 1.0f);
    EXPECT_EQ(quads[6][3].tv, 1.0f);

    const TCubeVertex v = MakeVertex(Vec3(1, 2, 3), Vec3(4, 5, 6), 0.25f, 0.75f);
    EXPECT_EQ(v.x, 1.0f);
    EXPECT_EQ(v.nz, 6.0f);
    EXPECT_EQ(v.tu, 0.25f);
    EXPECT_EQ(v.tv, 0.75f);
}

TEST(CubeGeometry, StripTrianglesRunClockwiseFromOutside) {
    TCubeQuads quads;
    TCubeNormals normals;
    BuildCube(quads, normals);
    for (int n = 1; n <= 6; ++n) {
        SCOPED_TRACE(n);
        const TFaceQuad& q = quads[n];
        // In left-handed coordinates a triangle (a, b, c) runs clockwise, seen from the side its
        // normal points to, when (b - a) x (c - a) points to the viewer: here outward.
        const int tris[2][3] = {{0, 1, 2}, {2, 1, 3}};
        for (const auto& t : tris) {
            const TVector3 a = Position(q[t[0]]), b = Position(q[t[1]]), c = Position(q[t[2]]);
            EXPECT_GT(Dot(Cross(Subtract(b, a), Subtract(c, a)), normals[n]), 0.0f);
        }
        // The four corners are distinct: the strip covers the whole square.
        for (int i = 0; i < 4; ++i)
            for (int j = i + 1; j < 4; ++j)
                EXPECT_GT(Length(Subtract(Position(q[i]), Position(q[j]))), 1.0f);
    }
}

TEST(CubeGeometry, FrontFaceCoversTheMiddle73PercentOutside) {
    TCubeQuads quads;
    TCubeNormals normals;
    BuildCube(quads, normals);
    const D3DVIEWPORT9 vp{0, 0, 1000, 1000, 0.0f, 1.0f};
    const TMatrix proj = PerspectiveFovLH(1.0f, 1.0f, 1.0f, 200.0f);
    const TMatrix view = LookAtLH(Vec3(0, 0, -3.5f), Vec3(0, 0, 0), Vec3(0, 1, 0));
    const TVector3 topLeft = Project(Position(quads[1][0]), vp, proj, view, Identity());
    const TVector3 bottomRight = Project(Position(quads[1][3]), vp, proj, view, Identity());
    // Texture (0, 0) at the top left, upright.
    EXPECT_LT(topLeft.x, 500.0f);
    EXPECT_LT(topLeft.y, 500.0f);
    EXPECT_NEAR((bottomRight.x - topLeft.x) / 1000.0f, 0.4f / std::tan(0.5f), 1e-4f);
    EXPECT_NEAR((bottomRight.y - topLeft.y) / 1000.0f, 0.732f, 1e-3f);

    // Inside view: the mirrored projection puts the back face's picture upright and unmirrored
    // (texture u grows to the right, v downwards) and the right wall (x = +1) on the left.
    const TMatrix insideProj = PerspectiveFovLH(1.0f, -1.0f, 1.0f, 200.0f);
    const TMatrix insideView = LookAtLH(Vec3(0, 0, -1.5f), Vec3(0, 0, 0), Vec3(0, 1, 0));
    const TVector3 backTopLeft = Project(Position(quads[2][2]), vp, insideProj, insideView, Identity());  // (0,0)
    const TVector3 backBottomRight = Project(Position(quads[2][1]), vp, insideProj, insideView, Identity());  // (1,1)
    EXPECT_LT(backTopLeft.x, backBottomRight.x);
    EXPECT_LT(backTopLeft.y, backBottomRight.y);
    EXPECT_LT(Project(Vec3(1, 0, 0.5f), vp, insideProj, insideView, Identity()).x, 500.0f);
    // The inner sides' strip triangles run clockwise on the screen through the mirror.
    for (int n = 2; n <= 6; ++n) {
        const TFaceQuad& q = quads[n];
        const TVector3 a = Project(Position(q[0]), vp, insideProj, insideView, Identity());
        const TVector3 b = Project(Position(q[1]), vp, insideProj, insideView, Identity());
        const TVector3 c = Project(Position(q[2]), vp, insideProj, insideView, Identity());
        // Screen y grows downwards: clockwise on screen is a positive cross product here.
        const float z = (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
        EXPECT_GT(z, 0.0f) << "face " << n;
    }
}

TEST(CubeCamera, StartsWithItsDefaultsAndBuildsMatrices) {
    TCubeCamera camera;
    EXPECT_FLOAT_EQ(camera.Fov(), 3.14159274f / 4.0f);
    EXPECT_FLOAT_EQ(camera.Aspect(), 1.0f);
    EXPECT_FLOAT_EQ(camera.NearPlane(), 1.0f);
    EXPECT_FLOAT_EQ(camera.FarPlane(), 1000.0f);
    EXPECT_TRUE(IsIdentity(camera.GetView()));  // eye at the origin looking along +z
    for (int a = 0; a < 7; ++a) EXPECT_EQ(camera.KeyState(a), 0);
    EXPECT_EQ(camera.ButtonMask(), 0);
    EXPECT_EQ(camera.WheelSteps(), 0);

    camera.SetViewPoint(Vec3(0, 0, -3.5f), Vec3(0, 0, 0));
    EXPECT_FLOAT_EQ(camera.GetView().m[3][2], 3.5f);
    camera.SetProjection(1.0f, -1.0f, 1.0f, 200.0f);
    EXPECT_LT(camera.GetProjection().m[0][0], 0.0f);
    EXPECT_NEAR(camera.GetProjection().m[1][1], 1.0f / std::tan(0.5f), 1e-5f);
    camera.RestoreViewPoint();
    EXPECT_FLOAT_EQ(camera.Eye().z, -3.5f);
    EXPECT_FLOAT_EQ(camera.GetView().m[3][2], 3.5f);
}

TEST(CubeCamera, TranslatesKeysByTheTable) {
    TCubeCamera camera;
    const UINT keys[7][3] = {{VK_LEFT, 'A', VK_NUMPAD4}, {VK_RIGHT, 'D', VK_NUMPAD6}, {VK_UP, 'W', VK_NUMPAD8},
                             {VK_DOWN, 'S', VK_NUMPAD2}, {VK_PRIOR, 'E', VK_NUMPAD9}, {VK_NEXT, 'Q', VK_NUMPAD3},
                             {VK_HOME, VK_HOME, VK_HOME}};
    for (int action = 0; action < 7; ++action)
        for (UINT key : keys[action]) EXPECT_EQ(camera.TranslateKey(key), action) << key;
    EXPECT_EQ(camera.TranslateKey('B'), 255);
    EXPECT_EQ(camera.TranslateKey(VK_END), 255);
    EXPECT_EQ(camera.TranslateKey(VK_NUMPAD5), 255);
}

TEST(CubeCamera, TracksKeysButtonsCaptureAndWheel) {
    HWND window = CreateWindowExA(0, "STATIC", "camera", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    TCubeCamera camera;

    EXPECT_EQ(camera.TrackInput(window, WM_KEYDOWN, 'W', 0), 0);
    EXPECT_EQ(camera.KeyState(2), 0x81);
    EXPECT_TRUE(TCubeCamera::IsHeld(camera.KeyState(2)));
    EXPECT_EQ(camera.TrackInput(window, WM_KEYUP, VK_UP, 0), 0);
    EXPECT_EQ(camera.KeyState(2), 0x80);
    EXPECT_FALSE(TCubeCamera::IsHeld(camera.KeyState(2)));
    camera.TrackInput(window, WM_KEYDOWN, 'B', 0);  // no action: nothing changes
    for (int a = 0; a < 7; ++a) EXPECT_EQ(camera.KeyState(a), a == 2 ? 0x80 : 0);

    EXPECT_EQ(camera.TrackInput(window, WM_LBUTTONDOWN, 0, 0), 1);
    EXPECT_EQ(camera.TrackInput(window, WM_RBUTTONDOWN, 0, 0), 1);
    EXPECT_EQ(camera.TrackInput(window, WM_MBUTTONDOWN, 0, 0), 1);
    EXPECT_EQ(camera.ButtonMask(), 7);
    EXPECT_EQ(GetCapture(), window);
    EXPECT_EQ(camera.TrackInput(window, WM_LBUTTONUP, 0, 0), 0);
    EXPECT_EQ(camera.TrackInput(window, WM_MBUTTONUP, 0, 0), 0);
    EXPECT_EQ(camera.ButtonMask(), 4);
    EXPECT_EQ(GetCapture(), window) << "a button is still held";
    camera.TrackInput(window, WM_RBUTTONUP, 0, 0);
    EXPECT_EQ(camera.ButtonMask(), 0);
    EXPECT_EQ(GetCapture(), nullptr);

    camera.TrackInput(window, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-240)), 0);
    EXPECT_EQ(camera.WheelSteps(), -2);
    camera.TrackInput(window, WM_MOUSEWHEEL, MAKEWPARAM(0, 100), 0);
    EXPECT_EQ(camera.WheelSteps(), 0);
    EXPECT_EQ(camera.TrackInput(window, WM_MOUSEMOVE, 0, 0), 0);
    DestroyWindow(window);
}

TEST(CubeProjection, WithoutDeviceOnlyTheCameraChanges) {
    gTGlobalVars g;
    TFaceArray faces{};
    InitGlobalVars(g, &faces);
    SetCubeProjection(true, g);  // no camera: nothing to do, nothing breaks
    TCubeCamera camera;
    g.D3D.Camera = &camera;
    SetCubeProjection(true, g);
    EXPECT_FLOAT_EQ(camera.Fov(), 1.0f);
    EXPECT_FLOAT_EQ(camera.Aspect(), -1.0f);
    EXPECT_FLOAT_EQ(camera.FarPlane(), 200.0f);
    SetCubeProjection(false, g);
    EXPECT_FLOAT_EQ(camera.Aspect(), 1.0f);
    EXPECT_NEAR(camera.GetProjection().m[0][0], 1.0f / std::tan(0.5f), 1e-5f);
    g.D3D.Camera = nullptr;
}
