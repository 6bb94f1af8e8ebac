#pragma once

#include <vector>

#include "geometry/matrix4.h"

namespace orva {

class CExtrusion;

// Replaces the extrusion's curves and surfaces lists by those its profile data describe:
// for every profile a wall, up to two bevel bands and two outlines. Extrusions whose axes are
// not coordinate indices, or whose point counts do not match the points they hold, generate
// nothing.
void GenerateExtrusion(CExtrusion& extrusion);

// The profile p[0..n-1] moved sideways within its plane by `distance`. Corners marked by a
// repeated point (and the closing corner of a profile whose ends coincide) keep their sharp
// edges; other vertices are smoothed. `working` is the inverse of the profile axes matrix:
// its row 2 is the extrusion direction, row 0 the first plane axis. The result has one point
// per input point, in the same order.
std::vector<CVector3> OffsetProfile(const CVector3* p, int n, float distance,
                                    const CMatrix4& working);

}  // namespace orva
