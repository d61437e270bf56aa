// Our own matrix and vector maths for Direct3D 9 (no D3DX): 4 x 4 single-precision matrices in
// the row-vector convention (a point is a row vector multiplied from the left), left-handed
// coordinates, results equal to the published definitions of the D3DX helpers of the same role.
#pragma once

#include <windows.h>
#include <d3d9.h>

namespace d3dmath {

using TMatrix = D3DMATRIX;   // m[row][column]
using TVector3 = D3DVECTOR;

TVector3 Vec3(float x, float y, float z);
TVector3 Add(const TVector3& a, const TVector3& b);
TVector3 Subtract(const TVector3& a, const TVector3& b);
TVector3 Scale(const TVector3& a, float s);
float Dot(const TVector3& a, const TVector3& b);
TVector3 Cross(const TVector3& a, const TVector3& b);
float Length(const TVector3& a);
// The unit vector of |a|; the zero vector stays zero.
TVector3 Normalize(const TVector3& a);

TMatrix Zero();
TMatrix Identity();
bool IsIdentity(const TMatrix& m);
// a x b: applied to a row vector, a acts first.
TMatrix Multiply(const TMatrix& a, const TMatrix& b);
// Element-by-element sum and difference.
TMatrix AddElements(const TMatrix& a, const TMatrix& b);
TMatrix SubtractElements(const TMatrix& a, const TMatrix& b);
TMatrix Transpose(const TMatrix& m);
float Determinant(const TMatrix& m);
// The inverse of |m| into |out|; false (and |out| untouched) when |m| is singular.
bool Inverse(const TMatrix& m, TMatrix& out);

// Rotations by |angle| radians, clockwise when looking along the axis towards the origin.
TMatrix RotationX(float angle);
TMatrix RotationY(float angle);
TMatrix RotationZ(float angle);
TMatrix Translation(float x, float y, float z);

// View matrix of an eye looking at |at| with |up| roughly upwards (left-handed).
TMatrix LookAtLH(const TVector3& eye, const TVector3& at, const TVector3& up);
// Perspective projection with a vertical field of view in radians and aspect = width / height
// (left-handed, depth 0 at |zn| and 1 at |zf|).
TMatrix PerspectiveFovLH(float fovY, float aspect, float zn, float zf);

// (v, 1) x m, divided by the resulting w.
TVector3 TransformCoord(const TVector3& v, const TMatrix& m);
// (v, 0) x m: a direction, no translation.
TVector3 TransformNormal(const TVector3& v, const TMatrix& m);
// Object space to viewport pixels (x, y) and depth (z).
TVector3 Project(const TVector3& v, const D3DVIEWPORT9& viewport, const TMatrix& projection,
                 const TMatrix& view, const TMatrix& world);
// Viewport pixels and depth back to object space into |out|; false (|out| untouched) when
// world x view x projection has no inverse.
bool Unproject(const TVector3& v, const D3DVIEWPORT9& viewport, const TMatrix& projection,
               const TMatrix& view, const TMatrix& world, TVector3& out);

}  // namespace d3dmath
