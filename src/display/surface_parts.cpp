#include "display/object_parts.h"
#include "display/surface_cap.h"
#include "display/surface_mesh.h"
#include "scene/surface.h"

namespace orva {

namespace {

CSplineEnds Ends(const CSurfaceDirection& d) {
    return CSplineEnds{d.freeStart != 0, d.freeEnd != 0, d.closed != 0};
}

// A surface closed round one direction is a tube; its two open ends are closed with caps that
// face away from each other.
void AddCaps(const CSurface& s, const CControlNet& net, CShadedParts& parts) {
    const int rows = net.rows;
    const int cols = net.cols;
    const int o = s.orientation;
    if (s.v.closed != 0 && s.u.closed == 0) {
        const int average = s.u.stepsPerSpan >= 1 ? cols : 0;
        const int steps = s.v.stepsPerSpan;
        parts.fills.push_back(BuildSurfaceCap(net, {cols, 1, cols, average}, steps, o));
        parts.fills.push_back(
            BuildSurfaceCap(net, {(rows - 2) * cols, 1, cols, average}, steps, -o));
    } else if (s.u.closed != 0 && s.v.closed == 0) {
        const int average = s.v.stepsPerSpan > 0 ? 1 : 0;
        const int steps = s.u.stepsPerSpan;
        parts.fills.push_back(BuildSurfaceCap(net, {1, cols, rows, average}, steps, -o));
        parts.fills.push_back(BuildSurfaceCap(net, {cols - 2, cols, rows, average}, steps, o));
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
