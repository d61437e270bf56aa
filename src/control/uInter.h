// Picking: which face of the cube lies under a point of the back buffer, and where the line of sight
// meets it, in the cube's own coordinates (the space of the vertex table).
#pragma once

#include <cstdint>

#include "control/d3dmath.h"
#include "control/uCube.h"
#include "control/uGlobal.h"

// Whether a world transform can be turned back: the cube's world matrices are rotations (determinant 1) or
// element-wise steps between two rotations, which pass through (nearly) flat matrices; one whose determinant
// is negligible, or that holds a non-finite value, squashes the cube flat and picks nothing.
bool WorldInvertible(const d3dmath::TMatrix& world);

// A back-buffer point (x, y in pixels, z the depth: 0 near plane, 1 far plane) in cube space, through the
// device's current viewport and projection, view and world transforms (those the last frame left). False
// when there is no device, the world transform fails WorldInvertible or the transforms have no inverse.
bool UnprojectPoint(const d3dmath::TVector3& screen, const gTGlobalVars& g, d3dmath::TVector3& out);

// The plane test of face n (1 to 6) for the line through |nearPoint| and |farPoint|: 1 and the point where
// the line meets the face's plane strictly inside its square, written to |hit|; -1 (|hit| untouched) for a
// line parallel to the plane, a point on or beyond an edge, or any non-finite value.
int FacePlaneTest(int face, const d3dmath::TVector3& nearPoint, const d3dmath::TVector3& farPoint,
                  d3dmath::TVector3& hit);

// The first face, in the order 1 to 6, turned towards the viewer (sign +1, the outside view) or away from
// it (sign -1, the inside view) that the line meets: its number and |hit|; -1 and |hit| untouched when
// none. |normals| are the faces' normals, index 1 to 6.
int PickFaceOnLine(const d3dmath::TVector3& nearPoint, const d3dmath::TVector3& farPoint, int sign,
                   const TCubeNormals& normals, d3dmath::TVector3& hit);

// The face 1 to 6 under back-buffer pixel (x, y) of the scene, with the hit point; -1 (|hit| untouched)
// when the scene was not made, the point lies beside the cube, or the transforms can't be inverted.
int PickFace(int32_t x, int32_t y, int sign, const gTGlobalVars& g, d3dmath::TVector3& hit);
