#pragma once

#include "gem_point.h"

namespace orva {

// The plane of a main facet of a brilliant-style cut: normal . p = offset, with the normal
// pointing up. A main facet reaches from one girdle corner to the table (a crown main) or to
// the culet (a pavilion main) and lies level along the girdle there, as a cutter sets it by
// the girdle; the corners where neighbouring facets meet are then found where such planes
// cross.
struct CFacetPlane {
    CGemPoint normal;
    double offset = 0.0;
};

// The plane through the girdle corner and `far` (a table corner or the culet) that is level
// along the horizontal direction `level` (the girdle's direction at the corner).
CFacetPlane MainFacetPlane(CGemPoint girdleCorner, CGemPoint far, CGemPoint level);
// The plane's height above the point (x, y).
double HeightAt(const CFacetPlane& plane, double x, double y);
// The point of height z where two planes cross (they must not be level along the same
// direction).
CGemPoint CrossingAtHeight(const CFacetPlane& a, const CFacetPlane& b, double z);

}  // namespace orva
