// Matrix and vector comparison with a tolerance, for the scene tests.
#pragma once

#include <gtest/gtest.h>

#include "control/d3dmath.h"

inline void ExpectMatrixNear(const d3dmath::TMatrix& a, const d3dmath::TMatrix& b, float tolerance = 1e-5f) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) EXPECT_NEAR(a.m[r][c], b.m[r][c], tolerance) << "element " << r << "," << c;
}

inline void ExpectVecNear(const d3dmath::TVector3& a, const d3dmath::TVector3& b, float tolerance = 1e-4f) {
    EXPECT_NEAR(a.x, b.x, tolerance);
    EXPECT_NEAR(a.y, b.y, tolerance);
    EXPECT_NEAR(a.z, b.z, tolerance);
}
