#pragma once

#include "display/shaded_parts.h"
#include "geometry/bspline_surface.h"

namespace orva {

// Where a cap's outline lies in an extended net: `count` points from index `first`, `stride`
// apart; `average` is the distance (in points of the array) to the neighbours across the end,
// 0 when the outline is the control line itself.
struct CCapLine {
    int first = 0;
    int stride = 1;
    int count = 0;
    int average = 0;
};

// The flat fill that closes one end of a surface closed in the other direction: the boundary
// curve evaluated with `steps`, its normal by Newell's method (turned round for a negative
// orientation), and its triangles.
CFlatTriangles BuildSurfaceCap(const CControlNet& net, const CCapLine& line, int steps,
                               int orientation);

}  // namespace orva
