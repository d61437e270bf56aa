// The cube's 24 vertices and six normals.
#include "control/uCube.h"

using d3dmath::TVector3;
using d3dmath::Vec3;

TCubeVertex MakeVertex(const TVector3& position, const TVector3& normal, float tu, float tv) {
    return TCubeVertex{position.x, position.y, position.z, normal.x, normal.y, normal.z, tu, tv};
}

namespace {

struct TCorner {
    float x, y, z, tu, tv;
};

struct TFaceRow {
    TVector3 normal;
    TCorner corners[4];
};

// Per face: the outward normal and the four corners in strip order with their texture
// coordinates. Seen from outside, the triangles (0, 1, 2) and (2, 1, 3) run clockwise.
const TFaceRow kFaces[kFaceCount] = {
    {{0, 0, -1}, {{-1, 1, -1, 0, 0}, {1, 1, -1, 1, 0}, {-1, -1, -1, 0, 1}, {1, -1, -1, 1, 1}}},
    {{0, 0, 1}, {{-1, 1, 1, 1, 0}, {-1, -1, 1, 1, 1}, {1, 1, 1, 0, 0}, {1, -1, 1, 0, 1}}},
    {{0, 1, 0}, {{-1, 1, 1, 0, 0}, {1, 1, 1, 1, 0}, {-1, 1, -1, 0, 1}, {1, 1, -1, 1, 1}}},
    {{0, -1, 0}, {{-1, -1, 1, 0, 1}, {-1, -1, -1, 0, 0}, {1, -1, 1, 1, 1}, {1, -1, -1, 1, 0}}},
    {{1, 0, 0}, {{1, 1, -1, 0, 0}, {1, 1, 1, 1, 0}, {1, -1, -1, 0, 1}, {1, -1, 1, 1, 1}}},
    {{-1, 0, 0}, {{-1, 1, -1, 1, 0}, {-1, -1, -1, 1, 1}, {-1, 1, 1, 0, 0}, {-1, -1, 1, 0, 1}}},
};

}  // namespace

void BuildCube(TCubeQuads& quads, TCubeNormals& normals) {
    quads[0] = TFaceQuad{};
    normals[0] = Vec3(0, 0, 0);
    for (int n = 1; n <= kFaceCount; ++n) {
        const TFaceRow& row = kFaces[n - 1];
        normals[n] = row.normal;
        for (int i = 0; i < 4; ++i) {
            const TCorner& c = row.corners[i];
            quads[n][i] = MakeVertex(Vec3(c.x, c.y, c.z), row.normal, c.tu, c.tv);
        }
    }
}
