#pragma once

#include <vector>

#include "geometry/bspline_surface.h"
#include "geometry/vector3.h"

namespace orva {

class CExtrusion;
class CSurface;

// A flat cap as the renderer fills it, in the object's frame: its contours in the order they
// are triangulated (the first the border, the others holes running against it; that order
// decides which side its crossings enter the solid from) and the normal it is lit with. No
// contours when the cap has nothing to fill.
struct CCapContours {
    std::vector<std::vector<CVector3>> contours;
    CVector3 normal;
};

// One for each cap of SurfaceEndCaps, in that order, over the surface's extended net.
std::vector<CCapContours> SurfaceCapContours(const CSurface& surface, const CControlNet& net);

// One for each end of ExtrusionEndCaps, under the extrusion's placement.
std::vector<CCapContours> ExtrusionCapContours(const CExtrusion& extrusion);

}  // namespace orva
