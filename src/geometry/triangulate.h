#pragma once

#include <functional>
#include <span>

#include "geometry/vector3.h"

namespace orva {

// Receives one triangle as (vertex, next, previous) of the ring it was cut from, so triangles
// keep the orientation of the contour they come from. The references point into the caller's
// contour arrays.
using TriangleSink = std::function<void(const CVector3&, const CVector3&, const CVector3&)>;

struct CTriangulationStats {
    int triangles = 0;
    // Diagonals drawn because an ear held another vertex (this includes joining holes).
    int splits = 0;
    // True when the input needed more diagonals than any simple polygon can; the rest was cut
    // off ear by ear without searching, so the triangles may overlap.
    bool splitLimitReached = false;
};

// Cuts a planar polygon into triangles. contours[0] is the outer contour, the others are holes;
// a hole must run the other way round than the outer contour (not checked). The plane is taken
// from the first three points of the outer contour. Contours of fewer than three points are
// ignored; input with a NaN or infinite coordinate, without an outer contour, or of more than
// 4M points gives no triangles.
CTriangulationStats Triangulate(std::span<const std::span<const CVector3>> contours,
                                const TriangleSink& sink);

// A single contour without holes.
CTriangulationStats Triangulate(std::span<const CVector3> contour, const TriangleSink& sink);

}  // namespace orva
