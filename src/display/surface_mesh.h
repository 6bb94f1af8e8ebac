#pragma once

#include "display/shaded_parts.h"
#include "geometry/bspline_surface.h"

namespace orva {

// Evaluates an extended control net into quads with a normal at every vertex; the normals face
// the side `orientation` names (cross(Du, Dv) for +1, the opposite for -1 and 0). A net too
// small to evaluate gives an empty mesh.
CQuadMesh BuildSurfaceMesh(const CControlNet& net, int su, int sv, int orientation);

}  // namespace orva
