// Our matrix and vector maths against worked values of the Direct3D conventions.
#include <gtest/gtest.h>

#include <cmath>

#include "control/d3dmath.h"
#include "math_expect.h"

using namespace d3dmath;

namespace {

D3DVIEWPORT9 Viewport(DWORD w, DWORD h) { return D3DVIEWPORT9{0, 0, w, h, 0.0f, 1.0f}; }

}  // namespace

TEST(Math, IdentityMultiplyAndElementSums) {
    const TMatrix i = Identity();
    EXPECT_TRUE(IsIdentity(i));
    EXPECT_FALSE(IsIdentity(Zero()));
    const TMatrix t = Translation(1, 2, 3);
    ExpectMatrixNear(Multiply(i, t), t);
    ExpectMatrixNear(Multiply(t, i), t);

    // Row vectors: in A x B, A acts first. Translate then rotate 90 degrees about y moves
    // (0,0,0) to (1,0,0) and then to (0,0,-1); the other order leaves it at (1,0,0).
    const TMatrix rot = RotationY(1.57079633f);
    ExpectVecNear(TransformCoord(Vec3(0, 0, 0), Multiply(Translation(1, 0, 0), rot)), Vec3(0, 0, -1));
    ExpectVecNear(TransformCoord(Vec3(0, 0, 0), Multiply(rot, Translation(1, 0, 0))), Vec3(1, 0, 0));

    const TMatrix sum = AddElements(t, i);
    EXPECT_FLOAT_EQ(sum.m[0][0], 2.0f);
    EXPECT_FLOAT_EQ(sum.m[3][2], 3.0f);
    ExpectMatrixNear(SubtractElements(sum, i), t);
    EXPECT_FLOAT_EQ(Transpose(t).m[2][3], 3.0f);
}

TEST(Math, RotationsTurnAxesAsDirect3DDoes) {
    const float a = 0.3f, c = std::cos(a), s = std::sin(a);
    // Left-handed: x about y turns toward -z; y about x turns toward +z; x about z toward +y.
    ExpectVecNear(TransformCoord(Vec3(1, 0, 0), RotationY(a)), Vec3(c, 0, -s));
    ExpectVecNear(TransformCoord(Vec3(0, 1, 0), RotationX(a)), Vec3(0, c, s));
    ExpectVecNear(TransformCoord(Vec3(1, 0, 0), RotationZ(a)), Vec3(c, s, 0));
    ExpectVecNear(TransformNormal(Vec3(0, 0, 1), Multiply(RotationX(a), Translation(5, 5, 5))), Vec3(0, -s, c));
    // A rotation keeps lengths and its inverse is its transpose.
    const TMatrix r = Multiply(RotationY(0.7f), RotationX(-1.1f));
    ExpectMatrixNear(Multiply(r, Transpose(r)), Identity());
}

TEST(Math, InverseAndDeterminant) {
    const TMatrix m = Multiply(Multiply(RotationX(0.4f), Translation(3, -2, 7)),
                               PerspectiveFovLH(1.0f, 1.3f, 1.0f, 200.0f));
    TMatrix inv;
    ASSERT_TRUE(Inverse(m, inv));
    ExpectMatrixNear(Multiply(m, inv), Identity(), 1e-4f);
    ExpectMatrixNear(Multiply(inv, m), Identity(), 1e-4f);
    EXPECT_NEAR(Determinant(Translation(1, 2, 3)), 1.0f, 1e-6f);
    TMatrix scale = Identity();
    scale.m[0][0] = 2;
    scale.m[1][1] = 3;
    scale.m[2][2] = 4;
    EXPECT_NEAR(Determinant(scale), 24.0f, 1e-5f);

    TMatrix untouched = Translation(9, 9, 9);
    TMatrix singular = Identity();
    singular.m[2][2] = 0;
    EXPECT_FALSE(Inverse(singular, untouched));
    EXPECT_FLOAT_EQ(untouched.m[3][0], 9.0f);
    EXPECT_FALSE(Inverse(Zero(), untouched));
}

TEST(Math, LookAtAndPerspectiveWorkedValues) {
    // The outside camera: eye (0,0,-3.5) at the origin, up y.
    const TMatrix view = LookAtLH(Vec3(0, 0, -3.5f), Vec3(0, 0, 0), Vec3(0, 1, 0));
    TMatrix expected = Identity();
    expected.m[3][2] = 3.5f;
    ExpectMatrixNear(view, expected);
    // Looking along +x from the origin: world +x becomes view +z, world -z becomes view +x.
    const TMatrix side = LookAtLH(Vec3(0, 0, 0), Vec3(1, 0, 0), Vec3(0, 1, 0));
    ExpectVecNear(TransformCoord(Vec3(2, 0, 0), side), Vec3(0, 0, 2));
    ExpectVecNear(TransformCoord(Vec3(0, 0, -1), side), Vec3(1, 0, 0));

    const TMatrix p = PerspectiveFovLH(1.0f, 1.0f, 1.0f, 200.0f);
    EXPECT_NEAR(p.m[1][1], 1.0f / std::tan(0.5f), 1e-5f);
    EXPECT_NEAR(p.m[0][0], 1.0f / std::tan(0.5f), 1e-5f);
    EXPECT_NEAR(p.m[2][2], 200.0f / 199.0f, 1e-6f);
    EXPECT_NEAR(p.m[3][2], -200.0f / 199.0f, 1e-6f);
    EXPECT_FLOAT_EQ(p.m[2][3], 1.0f);
    EXPECT_FLOAT_EQ(p.m[3][3], 0.0f);
    // Depth 0 on the near plane, 1 on the far plane.
    EXPECT_NEAR(TransformCoord(Vec3(0, 0, 1), p).z, 0.0f, 1e-6f);
    EXPECT_NEAR(TransformCoord(Vec3(0, 0, 200), p).z, 1.0f, 1e-5f);
    // A negative aspect mirrors x only.
    const TMatrix mirrored = PerspectiveFovLH(1.0f, -1.0f, 1.0f, 200.0f);
    EXPECT_NEAR(mirrored.m[0][0], -p.m[0][0], 1e-6f);
    EXPECT_NEAR(mirrored.m[1][1], p.m[1][1], 1e-6f);
}

TEST(Math, ProjectAndUnprojectAreInverse) {
    const D3DVIEWPORT9 vp = Viewport(1024, 768);
    const TMatrix proj = PerspectiveFovLH(1.0f, 1.0f, 1.0f, 200.0f);
    const TMatrix view = LookAtLH(Vec3(0, 0, -3.5f), Vec3(0, 0, 0), Vec3(0, 1, 0));
    const TMatrix world = RotationY(0.3f);

    // The centre of the screen at depth 0 lies on the near plane, straight ahead of the eye.
    TVector3 nearPoint;
    ASSERT_TRUE(Unproject(Vec3(512, 384, 0), vp, proj, view, Identity(), nearPoint));
    ExpectVecNear(nearPoint, Vec3(0, 0, -2.5f));

    const TVector3 corner = Vec3(1, 1, -1);
    const TVector3 screen = Project(corner, vp, proj, view, world);
    TVector3 back;
    ASSERT_TRUE(Unproject(screen, vp, proj, view, world, back));
    ExpectVecNear(back, corner, 1e-3f);

    // The front face's corner at distance 2.5 lands at 0.4 / tan 0.5 of the half-width.
    const TVector3 front = Project(Vec3(1, 1, -1), vp, proj, view, Identity());
    const float k = 0.4f / std::tan(0.5f);
    EXPECT_NEAR(front.x, 512.0f * (1 + k), 0.01f);
    EXPECT_NEAR(front.y, 384.0f * (1 - k), 0.01f);

    TVector3 untouched = Vec3(7, 7, 7);
    EXPECT_FALSE(Unproject(Vec3(1, 1, 0), vp, Zero(), view, world, untouched));
    EXPECT_FLOAT_EQ(untouched.x, 7.0f);
}

TEST(Math, VectorHelpers) {
    ExpectVecNear(Cross(Vec3(1, 0, 0), Vec3(0, 1, 0)), Vec3(0, 0, 1));
    EXPECT_FLOAT_EQ(Dot(Vec3(1, 2, 3), Vec3(4, 5, 6)), 32.0f);
    EXPECT_FLOAT_EQ(Length(Vec3(3, 4, 0)), 5.0f);
    ExpectVecNear(Normalize(Vec3(0, 0, -9)), Vec3(0, 0, -1));
    ExpectVecNear(Normalize(Vec3(0, 0, 0)), Vec3(0, 0, 0));
    ExpectVecNear(Subtract(Add(Vec3(1, 2, 3), Vec3(1, 1, 1)), Scale(Vec3(1, 1, 1), 2)), Vec3(0, 1, 2));
}
