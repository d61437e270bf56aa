// Picking through the device's transforms.
#include "control/uInter.h"

#include <cmath>

#include "control/uGranDesktop.h"

using namespace d3dmath;

namespace {

float& Axis(TVector3& v, int axis) { return axis == 0 ? v.x : axis == 1 ? v.y : v.z; }
float Axis(const TVector3& v, int axis) { return axis == 0 ? v.x : axis == 1 ? v.y : v.z; }

bool IsFinite(const TVector3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

// Face n lies on the plane axis a = k; its two other coordinates are computed in the order b, c.
struct FacePlane {
    int a;
    float k;
    int b;
    int c;
};
constexpr FacePlane kFacePlanes[kFaceCount + 1] = {
    {0, 0, 0, 0},
    {2, -1, 0, 1},  // front: z = -1, x then y
    {2, +1, 0, 1},  // back: z = +1
    {1, +1, 0, 2},  // top: y = +1, x then z
    {1, -1, 0, 2},  // bottom: y = -1
    {0, +1, 1, 2},  // right: x = +1, y then z
    {0, -1, 1, 2},  // left: x = -1
};

}  // namespace

bool WorldInvertible(const TMatrix& world) {
    for (const auto& row : world.m)
        for (float e : row)
            if (!std::isfinite(e)) return false;
    // Below this a side of the cube is squashed to a small fraction of a pixel.
    constexpr float kFlat = 1e-5f;
    return std::fabs(Determinant(world)) >= kFlat;
}

bool UnprojectPoint(const TVector3& screen, const gTGlobalVars& g, TVector3& out) {
    IDirect3DDevice9* device = g.D3D.Device;
    if (!device) return false;
    D3DVIEWPORT9 viewport{};
    TMatrix projection{}, view{}, world{};
    if (FAILED(device->GetViewport(&viewport)) || FAILED(device->GetTransform(D3DTS_PROJECTION, &projection)) ||
        FAILED(device->GetTransform(D3DTS_VIEW, &view)) || FAILED(device->GetTransform(D3DTS_WORLD, &world)) ||
        !WorldInvertible(world))
        return false;
    return Unproject(screen, viewport, projection, view, world, out);
}

int FacePlaneTest(int face, const TVector3& nearPoint, const TVector3& farPoint, TVector3& hit) {
    if (face < 1 || face > kFaceCount) return -1;
    const FacePlane& p = kFacePlanes[face];
    const float nearA = Axis(nearPoint, p.a);
    const float farA = Axis(farPoint, p.a);
    if (nearA == farA) return -1;  // parallel to the plane
    TVector3 h{};
    Axis(h, p.a) = p.k;
    for (int axis : {p.b, p.c}) {
        const float n = Axis(nearPoint, axis);
        const float f = Axis(farPoint, axis);
        const float v = n == f ? n : n + (n - f) * (p.k - nearA) / (nearA - farA);
        // Strict bounds: an edge or a corner is no face; a NaN or an overflow is no point at all.
        if (!(std::fabs(v) < 1.0f)) return -1;
        Axis(h, axis) = v;
    }
    hit = h;
    return 1;
}

int PickFaceOnLine(const TVector3& nearPoint, const TVector3& farPoint, int sign, const TCubeNormals& normals,
                   TVector3& hit) {
    if (!IsFinite(nearPoint) || !IsFinite(farPoint)) return -1;
    const TVector3 towardsViewer = Subtract(nearPoint, farPoint);
    for (int n = 1; n <= kFaceCount; ++n) {
        const float d = Dot(normals[n], towardsViewer);
        if (d * static_cast<float>(sign) > 0.0f && FacePlaneTest(n, nearPoint, farPoint, hit) == 1) return n;
    }
    return -1;
}

int PickFace(int32_t x, int32_t y, int sign, const gTGlobalVars& g, TVector3& hit) {
    if (!g.Faces) return -1;
    TCubeNormals normals{};
    for (int n = 1; n <= kFaceCount; ++n) {
        const T3DPanel* face = (*g.Faces)[n];
        if (!face) return -1;  // a scene that was not made picks nothing
        normals[n] = face->Normal;
    }
    TVector3 nearPoint{}, farPoint{};
    const float sx = static_cast<float>(x), sy = static_cast<float>(y);
    if (!UnprojectPoint(Vec3(sx, sy, 0.0f), g, nearPoint) || !UnprojectPoint(Vec3(sx, sy, 1.0f), g, farPoint))
        return -1;
    return PickFaceOnLine(nearPoint, farPoint, sign, normals, hit);
}
