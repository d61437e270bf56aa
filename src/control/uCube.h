// The cube: its vertex format, the 24 vertices and 6 normals of its faces, and the face
// numbering (1 front, 2 back, 3 top, 4 bottom, 5 right, 6 left, seen unrotated from outside).
#pragma once

#include <windows.h>
#include <d3d9.h>

#include <array>

#include "control/d3dmath.h"

// One vertex of the vertex buffers: position, normal, texture coordinate (32 bytes).
struct TCubeVertex {
    float x, y, z;
    float nx, ny, nz;
    float tu, tv;
};
static_assert(sizeof(TCubeVertex) == 32, "the vertex buffers hold 32-byte vertices");

// D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1
constexpr DWORD kCubeFVF = 0x112;
constexpr int kFaceCount = 6;

using TFaceQuad = std::array<TCubeVertex, 4>;           // strip order
using TCubeQuads = std::array<TFaceQuad, kFaceCount + 1>;  // index 1..6 used
using TCubeNormals = std::array<d3dmath::TVector3, kFaceCount + 1>;

TCubeVertex MakeVertex(const d3dmath::TVector3& position, const d3dmath::TVector3& normal, float tu,
                       float tv);

// Fills the quads and normals of faces 1 to 6 (index 0 is left zero).
void BuildCube(TCubeQuads& quads, TCubeNormals& normals);
