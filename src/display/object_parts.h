#pragma once

#include "display/shaded_parts.h"

namespace orva {

class CSurface;
class CExtrusion;
class CPolyMesh;

// What the shaded display draws for an object, built from the object alone (the view does not
// enter), so that it can be kept from frame to frame.

// The surface's quads, plus a flat cap at each end when it is closed in one direction only.
CShadedParts BuildSurfaceParts(const CSurface& surface);
// The walls and bevels under the placement, and the two end caps with their holes.
CShadedParts BuildExtrusionParts(const CExtrusion& extrusion);
// The mesh's polygons with their normals.
CShadedParts BuildPolyMeshParts(const CPolyMesh& mesh);

}  // namespace orva
