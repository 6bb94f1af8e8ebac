#pragma once

#include <vector>

#include "gem_point.h"

namespace orva {

// Girdle outlines of the brilliant-style cuts. An outline is a closed ring of 2n corners at
// z = 0, counter-clockwise seen from above; the even corners are where the n main facets
// touch the girdle, the odd ones where the girdle facets between two mains meet. Every
// outline is symmetric about the y axis, has its first corner on the axis at the bottom, and
// is fitted to width 1 (along x) and length `ratio` (along y) about the origin, so that a
// gem's placement scales it to size.

// A circle of diameter 1 with n mains.
std::vector<CGemPoint> RoundGirdle(int mains);
// An ellipse with n mains at equal steps of the ellipse's angle.
std::vector<CGemPoint> OvalGirdle(int mains, double ratio);
// A rounded square or rectangle |x|^p + |y|^p = 1, p = squareness (2 is an ellipse, larger is
// squarer), with n mains at equal steps of angle.
std::vector<CGemPoint> CushionGirdle(int mains, double ratio, double squareness);
// Two circular arcs meeting in points at both ends; 8 mains.
std::vector<CGemPoint> MarquiseGirdle(double ratio);
// A half circle at the bottom and two arcs, tangent to it at its widest, meeting in a point
// at the top; 8 mains.
std::vector<CGemPoint> PearGirdle(double ratio);
// Two round lobes meeting in a cleft at the top, and two arcs, tangent to the lobes at their
// widest, meeting in a point at the bottom; `lobe` is the lobes' radius as a fraction of the
// width (from 0.25 up: smaller lobes cut a deeper cleft). 9 mains: the point, the widest
// points, two on each lobe; the cleft lies between the two lobes' top mains.
std::vector<CGemPoint> HeartGirdle(double ratio, double lobe);
// A triangle pointing up with sides bowed outward by `bulge` of their length; 6 mains, at
// the corners and the middles of the sides.
std::vector<CGemPoint> TrillionGirdle(double ratio, double bulge);

// The centroid of the area a ring encloses (its z is that of the ring).
CGemPoint AreaCentroid(const std::vector<CGemPoint>& ring);

}  // namespace orva
