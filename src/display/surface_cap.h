#pragma once

#include "display/shaded_parts.h"
#include "geometry/bspline_surface.h"
#include "scene/end_caps.h"

namespace orva {

// The flat fill of one end cap of a surface over its extended net: the boundary curve, its
// normal by Newell's method turned to the side the cap faces, and its triangles.
CFlatTriangles BuildSurfaceCap(const CControlNet& net, const CSurfaceEndCap& cap);

}  // namespace orva
