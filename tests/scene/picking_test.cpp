// Picking without a device: lines of sight from the cube's own camera and projection in both views, the
// plane tests' strict bounds, and lines that must pick nothing.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "control/uCamera.h"
#include "control/uCube.h"
#include "control/uInter.h"

using namespace d3dmath;

namespace {

// The line of sight of back-buffer pixel (x, y) of a 1024 x 768 viewport, as a frame leaves the device.
struct Sight {
    explicit Sight(bool inside, const TMatrix& world = Identity()) : world(world) {
        camera.SetViewPoint(Vec3(0, 0, inside ? -1.5f : -3.5f), Vec3(0, 0, 0));
        camera.SetProjection(1.0f, inside ? -1.0f : 1.0f, 1.0f, 200.0f);
        BuildCube(quads, normals);
    }
    int Pick(float x, float y, int sign, TVector3& hit) const {
        const D3DVIEWPORT9 viewport{0, 0, 1024, 768, 0.0f, 1.0f};
        TVector3 nearPoint{}, farPoint{};
        if (!Unproject(Vec3(x, y, 0), viewport, camera.GetProjection(), camera.GetView(), world, nearPoint) ||
            !Unproject(Vec3(x, y, 1), viewport, camera.GetProjection(), camera.GetView(), world, farPoint))
            return -1;
        return PickFaceOnLine(nearPoint, farPoint, sign, normals, hit);
    }
    TCubeCamera camera;
    TMatrix world;
    TCubeQuads quads;
    TCubeNormals normals;
};

const TVector3 kUntouched = {7, 7, 7};

}  // namespace

TEST(Picking, TheCentrePicksTheFrontOutsideAndTheBackInside) {
    TVector3 hit = kUntouched;
    ASSERT_EQ(Sight(false).Pick(512, 384, +1, hit), 1);
    EXPECT_EQ(hit.z, -1.0f);
    EXPECT_NEAR(hit.x, 0, 1e-4);
    EXPECT_NEAR(hit.y, 0, 1e-4);

    hit = kUntouched;
    ASSERT_EQ(Sight(true).Pick(512, 384, -1, hit), 2);
    EXPECT_EQ(hit.z, 1.0f);
    EXPECT_NEAR(hit.x, 0, 1e-4);
    // The sign chooses the set of faces: outside, the back face is turned away and never answered.
    EXPECT_EQ(Sight(false).Pick(512, 384, -1, hit), 2);
}

TEST(Picking, PointsBesideTheCubeAndEdgesPickNothingAndLeaveTheHitAlone) {
    TVector3 hit = kUntouched;
    EXPECT_EQ(Sight(false).Pick(5, 5, +1, hit), -1);
    EXPECT_EQ(hit.x, 7.0f);
    // A line exactly along the front face's right edge, and one just inside it.
    EXPECT_EQ(PickFaceOnLine(Vec3(1, 0, -5), Vec3(1, 0, 5), +1, Sight(false).normals, hit), -1);
    EXPECT_EQ(FacePlaneTest(1, Vec3(1, 0, -5), Vec3(1, 0, 5), hit), -1);
    EXPECT_EQ(FacePlaneTest(1, Vec3(0.999f, 0, -5), Vec3(0.999f, 0, 5), hit), 1);
    // A line parallel to the plane, and lines with non-finite points (a near-singular frame).
    EXPECT_EQ(FacePlaneTest(1, Vec3(0, 0, -5), Vec3(0, 1, -5), hit), -1);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    hit = kUntouched;
    EXPECT_EQ(PickFaceOnLine(Vec3(nan, 0, -5), Vec3(0, 0, 5), +1, Sight(false).normals, hit), -1);
    EXPECT_EQ(FacePlaneTest(1, Vec3(0, nan, -5), Vec3(0, 0, 5), hit), -1);
    EXPECT_EQ(FacePlaneTest(1, Vec3(inf, 0, -5), Vec3(0, 0, 5), hit), -1);
    EXPECT_EQ(hit.x, 7.0f);
    // A world transform without an inverse picks nothing.
    EXPECT_EQ(Sight(false, Zero()).Pick(512, 384, +1, hit), -1);
}

TEST(Picking, EveryHitLiesOnItsFacesPlaneInsideTheSquareInAnyOrientation) {
    int hits[kFaceCount + 1] = {};
    for (int turn = 0; turn < 8; ++turn) {
        const TMatrix world = Multiply(RotationY(0.7f * turn), RotationX(0.45f * turn));
        for (bool inside : {false, true}) {
            const Sight sight(inside, world);
            for (int y = 0; y < 768; y += 48) {
                for (int x = 0; x < 1024; x += 64) {
                    TVector3 hit = kUntouched;
                    const int n = sight.Pick(static_cast<float>(x), static_cast<float>(y), inside ? -1 : +1, hit);
                    if (n < 1) continue;
                    ++hits[n];
                    const float plane = n <= 2 ? hit.z : n <= 4 ? hit.y : hit.x;
                    const float other1 = n <= 4 ? hit.x : hit.y;
                    const float other2 = n <= 2 ? hit.y : hit.z;
                    const float k = (n == 1 || n == 4 || n == 6) ? -1.0f : 1.0f;
                    EXPECT_EQ(plane, k) << "face " << n;
                    EXPECT_LT(std::fabs(other1), 1.0f);
                    EXPECT_LT(std::fabs(other2), 1.0f);
                }
            }
        }
    }
    for (int n = 1; n <= kFaceCount; ++n) EXPECT_GT(hits[n], 0) << "face " << n << " never picked";
}
