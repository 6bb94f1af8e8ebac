#include "display/object_parts.h"
#include "display/surface_cap.h"
#include "display/surface_mesh.h"
#include "scene/surface.h"

namespace orva {

namespace {

CSplineEnds Ends(const CSurfaceDirection& d) {
    return CSplineEnds{d.freeStart != 0, d.freeEnd != 0, d.closed != 0};
}

// Only the ends of a tube are drawn closed: a cap over an open edge and its chord has no end
// of the surface to close.
void AddCaps(const CSurface& s, const CControlNet& net, CShadedParts& parts) {
    for (const CSurfaceEndCap& cap : SurfaceEndCaps(s)) {
        if (!cap.loop) {
            continue;
        }
        parts.fills.push_back(BuildSurfaceCap(net, cap));
    }
}

}  // namespace

CShadedParts BuildSurfaceParts(const CSurface& s) {
    CShadedParts parts;
    if (!s.HasValidNet()) {
        return parts;
    }
    const CControlNet net = ExtendControlNet(s.points, s.nu, s.nv, Ends(s.u), Ends(s.v));
    // Caps read the rows and columns next to the net's edges; smaller nets give no mesh either.
    if (net.rows < 4 || net.cols < 4) {
        return parts;
    }
    parts.meshes.push_back(
        BuildSurfaceMesh(net, s.u.stepsPerSpan, s.v.stepsPerSpan, s.orientation));
    AddCaps(s, net, parts);
    return parts;
}

}  // namespace orva
