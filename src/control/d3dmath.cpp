// Our own matrix and vector maths in the row-vector convention of Direct3D 9.
#include "control/d3dmath.h"

#include <cmath>

namespace d3dmath {

TVector3 Vec3(float x, float y, float z) {
    TVector3 v;
    v.x = x;
    v.y = y;
    v.z = z;
    return v;
}

TVector3 Add(const TVector3& a, const TVector3& b) { return Vec3(a.x + b.x, a.y + b.y, a.z + b.z); }
TVector3 Subtract(const TVector3& a, const TVector3& b) { return Vec3(a.x - b.x, a.y - b.y, a.z - b.z); }
TVector3 Scale(const TVector3& a, float s) { return Vec3(a.x * s, a.y * s, a.z * s); }
float Dot(const TVector3& a, const TVector3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

TVector3 Cross(const TVector3& a, const TVector3& b) {
    return Vec3(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x);
}

float Length(const TVector3& a) { return std::sqrt(Dot(a, a)); }

TVector3 Normalize(const TVector3& a) {
    const float len = Length(a);
    if (len == 0.0f) return Vec3(0, 0, 0);
    return Scale(a, 1.0f / len);
}

TMatrix Zero() {
    TMatrix m;
    for (auto& row : m.m)
        for (float& e : row) e = 0.0f;
    return m;
}

TMatrix Identity() {
    TMatrix m = Zero();
    for (int i = 0; i < 4; ++i) m.m[i][i] = 1.0f;
    return m;
}

bool IsIdentity(const TMatrix& m) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            if (m.m[r][c] != (r == c ? 1.0f : 0.0f)) return false;
    return true;
}

TMatrix Multiply(const TMatrix& a, const TMatrix& b) {
    TMatrix out;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            out.m[r][c] = a.m[r][0] * b.m[0][c] + a.m[r][1] * b.m[1][c] + a.m[r][2] * b.m[2][c] +
                          a.m[r][3] * b.m[3][c];
    return out;
}

TMatrix AddElements(const TMatrix& a, const TMatrix& b) {
    TMatrix out;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) out.m[r][c] = a.m[r][c] + b.m[r][c];
    return out;
}

TMatrix SubtractElements(const TMatrix& a, const TMatrix& b) {
    TMatrix out;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) out.m[r][c] = a.m[r][c] - b.m[r][c];
    return out;
}

TMatrix Transpose(const TMatrix& m) {
    TMatrix out;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) out.m[r][c] = m.m[c][r];
    return out;
}

namespace {

// The cofactor matrix (adjugate transposed) of m, in double precision; |det| receives the
// determinant. Expansion by 2 x 2 minors of the upper and lower row pairs.
void Cofactors(const TMatrix& src, double adj[4][4], double& det) {
    double a[4][4];
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) a[r][c] = src.m[r][c];

    const double s0 = a[0][0] * a[1][1] - a[1][0] * a[0][1];
    const double s1 = a[0][0] * a[1][2] - a[1][0] * a[0][2];
    const double s2 = a[0][0] * a[1][3] - a[1][0] * a[0][3];
    const double s3 = a[0][1] * a[1][2] - a[1][1] * a[0][2];
    const double s4 = a[0][1] * a[1][3] - a[1][1] * a[0][3];
    const double s5 = a[0][2] * a[1][3] - a[1][2] * a[0][3];

    const double c5 = a[2][2] * a[3][3] - a[3][2] * a[2][3];
    const double c4 = a[2][1] * a[3][3] - a[3][1] * a[2][3];
    const double c3 = a[2][1] * a[3][2] - a[3][1] * a[2][2];
    const double c2 = a[2][0] * a[3][3] - a[3][0] * a[2][3];
    const double c1 = a[2][0] * a[3][2] - a[3][0] * a[2][2];
    const double c0 = a[2][0] * a[3][1] - a[3][0] * a[2][1];

    det = s0 * c5 - s1 * c4 + s2 * c3 + s3 * c2 - s4 * c1 + s5 * c0;

    adj[0][0] = a[1][1] * c5 - a[1][2] * c4 + a[1][3] * c3;
    adj[0][1] = -a[0][1] * c5 + a[0][2] * c4 - a[0][3] * c3;
    adj[0][2] = a[3][1] * s5 - a[3][2] * s4 + a[3][3] * s3;
    adj[0][3] = -a[2][1] * s5 + a[2][2] * s4 - a[2][3] * s3;

    adj[1][0] = -a[1][0] * c5 + a[1][2] * c2 - a[1][3] * c1;
    adj[1][1] = a[0][0] * c5 - a[0][2] * c2 + a[0][3] * c1;
    adj[1][2] = -a[3][0] * s5 + a[3][2] * s2 - a[3][3] * s1;
    adj[1][3] = a[2][0] * s5 - a[2][2] * s2 + a[2][3] * s1;

    adj[2][0] = a[1][0] * c4 - a[1][1] * c2 + a[1][3] * c0;
    adj[2][1] = -a[0][0] * c4 + a[0][1] * c2 - a[0][3] * c0;
    adj[2][2] = a[3][0] * s4 - a[3][1] * s2 + a[3][3] * s0;
    adj[2][3] = -a[2][0] * s4 + a[2][1] * s2 - a[2][3] * s0;

    adj[3][0] = -a[1][0] * c3 + a[1][1] * c1 - a[1][2] * c0;
    adj[3][1] = a[0][0] * c3 - a[0][1] * c1 + a[0][2] * c0;
    adj[3][2] = -a[3][0] * s3 + a[3][1] * s1 - a[3][2] * s0;
    adj[3][3] = a[2][0] * s3 - a[2][1] * s1 + a[2][2] * s0;
}

}  // namespace

float Determinant(const TMatrix& m) {
    double adj[4][4];
    double det = 0;
    Cofactors(m, adj, det);
    return static_cast<float>(det);
}

bool Inverse(const TMatrix& m, TMatrix& out) {
    double adj[4][4];
    double det = 0;
    Cofactors(m, adj, det);
    if (det == 0.0 || !std::isfinite(det)) return false;
    const double inv = 1.0 / det;
    TMatrix result;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) result.m[r][c] = static_cast<float>(adj[r][c] * inv);
    out = result;
    return true;
}

TMatrix RotationX(float angle) {
    const float c = std::cos(angle), s = std::sin(angle);
    TMatrix m = Identity();
    m.m[1][1] = c;
    m.m[1][2] = s;
    m.m[2][1] = -s;
    m.m[2][2] = c;
    return m;
}

TMatrix RotationY(float angle) {
    const float c = std::cos(angle), s = std::sin(angle);
    TMatrix m = Identity();
    m.m[0][0] = c;
    m.m[0][2] = -s;
    m.m[2][0] = s;
    m.m[2][2] = c;
    return m;
}

TMatrix RotationZ(float angle) {
    const float c = std::cos(angle), s = std::sin(angle);
    TMatrix m = Identity();
    m.m[0][0] = c;
    m.m[0][1] = s;
    m.m[1][0] = -s;
    m.m[1][1] = c;
    return m;
}

TMatrix Translation(float x, float y, float z) {
    TMatrix m = Identity();
    m.m[3][0] = x;
    m.m[3][1] = y;
    m.m[3][2] = z;
    return m;
}

TMatrix LookAtLH(const TVector3& eye, const TVector3& at, const TVector3& up) {
    const TVector3 zaxis = Normalize(Subtract(at, eye));
    const TVector3 xaxis = Normalize(Cross(up, zaxis));
    const TVector3 yaxis = Cross(zaxis, xaxis);
    TMatrix m = Identity();
    m.m[0][0] = xaxis.x;
    m.m[0][1] = yaxis.x;
    m.m[0][2] = zaxis.x;
    m.m[1][0] = xaxis.y;
    m.m[1][1] = yaxis.y;
    m.m[1][2] = zaxis.y;
    m.m[2][0] = xaxis.z;
    m.m[2][1] = yaxis.z;
    m.m[2][2] = zaxis.z;
    m.m[3][0] = -Dot(xaxis, eye);
    m.m[3][1] = -Dot(yaxis, eye);
    m.m[3][2] = -Dot(zaxis, eye);
    return m;
}

TMatrix PerspectiveFovLH(float fovY, float aspect, float zn, float zf) {
    const float yScale = 1.0f / std::tan(fovY / 2.0f);
    const float xScale = yScale / aspect;
    TMatrix m = Zero();
    m.m[0][0] = xScale;
    m.m[1][1] = yScale;
    m.m[2][2] = zf / (zf - zn);
    m.m[2][3] = 1.0f;
    m.m[3][2] = -zn * zf / (zf - zn);
    return m;
}

TVector3 TransformCoord(const TVector3& v, const TMatrix& m) {
    const float x = v.x * m.m[0][0] + v.y * m.m[1][0] + v.z * m.m[2][0] + m.m[3][0];
    const float y = v.x * m.m[0][1] + v.y * m.m[1][1] + v.z * m.m[2][1] + m.m[3][1];
    const float z = v.x * m.m[0][2] + v.y * m.m[1][2] + v.z * m.m[2][2] + m.m[3][2];
    const float w = v.x * m.m[0][3] + v.y * m.m[1][3] + v.z * m.m[2][3] + m.m[3][3];
    return Vec3(x / w, y / w, z / w);
}

TVector3 TransformNormal(const TVector3& v, const TMatrix& m) {
    return Vec3(v.x * m.m[0][0] + v.y * m.m[1][0] + v.z * m.m[2][0],
                v.x * m.m[0][1] + v.y * m.m[1][1] + v.z * m.m[2][1],
                v.x * m.m[0][2] + v.y * m.m[1][2] + v.z * m.m[2][2]);
}

TVector3 Project(const TVector3& v, const D3DVIEWPORT9& vp, const TMatrix& projection,
                 const TMatrix& view, const TMatrix& world) {
    const TMatrix all = Multiply(Multiply(world, view), projection);
    const TVector3 c = TransformCoord(v, all);
    return Vec3(vp.X + (1.0f + c.x) * vp.Width / 2.0f, vp.Y + (1.0f - c.y) * vp.Height / 2.0f,
                vp.MinZ + c.z * (vp.MaxZ - vp.MinZ));
}

bool Unproject(const TVector3& v, const D3DVIEWPORT9& vp, const TMatrix& projection,
               const TMatrix& view, const TMatrix& world, TVector3& out) {
    TMatrix inv;
    if (!Inverse(Multiply(Multiply(world, view), projection), inv)) return false;
    const float x = 2.0f * (v.x - vp.X) / vp.Width - 1.0f;
    const float y = 1.0f - 2.0f * (v.y - vp.Y) / vp.Height;
    const float z = (v.z - vp.MinZ) / (vp.MaxZ - vp.MinZ);
    out = TransformCoord(Vec3(x, y, z), inv);
    return true;
}

}  // namespace d3dmath
