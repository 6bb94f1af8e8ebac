#pragma once

#include <cstdint>

#include "geometry/matrix4.h"

namespace orva {

// Uniform cubic B-spline basis. A span over four consecutive control points is
// C(t) = (1, t, t^2, t^3) * BSPLINE_BASIS * (P0, P1, P2, P3), t in [0, 1], so a span starts at
// (P0 + 4 P1 + P2) / 6 and ends at (P1 + 4 P2 + P3) / 6. 1/6 and 2/3 are the nearest floats.
inline constexpr CMatrix4 BSPLINE_BASIS{{
    1.0f / 6.0f, 2.0f / 3.0f, 1.0f / 6.0f, 0.0f,  //
    -0.5f, 0.0f, 0.5f, 0.0f,                      //
    0.5f, -1.0f, 0.5f, 0.0f,                      //
    -1.0f / 6.0f, 0.5f, -0.5f, 1.0f / 6.0f,       //
}};

// End conditions of one parameter direction of a curve or surface.
struct CSplineEnds {
    // false: a phantom point is added so that the curve starts exactly at the first control
    // point; true: the start is left where the basis puts it.
    bool freeStart = false;
    bool freeEnd = false;
    // The control points form a loop; the free flags are then ignored.
    bool closed = false;
};

// Step counts come from scene files and are not otherwise bounded. Above this many segments per
// span the polyline is far finer than any display needs, so larger counts are clamped to it.
inline constexpr int kMaxStepsPerSpan = 256;

// Upper bound on the points of one produced polyline or grid (48 MB per array of CVector3).
// A request beyond it produces nothing, exactly as an allocation failure would.
inline constexpr std::int64_t kMaxSamplePoints = std::int64_t{1} << 22;

}  // namespace orva
