#include "scene/end_caps.h"

#include "scene/curve.h"
#include "scene/extrusion.h"
#include "scene/surface.h"

namespace orva {

namespace {

// The grid's cells run along the first row and the last column against the order of the
// line there, and along the last row and the first column with it; a cap that winds as the
// cells do runs each shared edge the other way.
bool RunsAgainstLine(ENetEdge edge) {
    return edge == ENetEdge::kLastRow || edge == ENetEdge::kFirstColumn;
}

int Facing(int32_t orientation, bool reversed) {
    if (orientation == 0) {
        return reversed ? -1 : 1;
    }
    return orientation > 0 ? 1 : -1;
}

CSurfaceEndCap SurfaceCap(ENetEdge edge, const CSurface& s) {
    const bool row = edge == ENetEdge::kFirstRow || edge == ENetEdge::kLastRow;
    const CSurfaceDirection& along = row ? s.v : s.u;
    const CSurfaceDirection& across = row ? s.u : s.v;
    CSurfaceEndCap cap;
    cap.edge = edge;
    cap.loop = along.closed != 0;
    cap.stepsAlong = along.stepsPerSpan;
    cap.stepsAcross = across.stepsPerSpan;
    cap.reversed = RunsAgainstLine(edge);
    cap.facing = Facing(s.orientation, cap.reversed);
    return cap;
}

}  // namespace

CNetLine EdgeLine(ENetEdge edge, int rows, int cols) {
    switch (edge) {
        case ENetEdge::kFirstRow:
            return {cols, 1, cols, cols};
        case ENetEdge::kLastRow:
            return {(rows - 2) * cols, 1, cols, cols};
        case ENetEdge::kFirstColumn:
            return {1, cols, rows, 1};
        case ENetEdge::kLastColumn:
            return {cols - 2, cols, rows, 1};
    }
    return {};
}

std::vector<CSurfaceEndCap> SurfaceEndCaps(const CSurface& surface) {
    std::vector<CSurfaceEndCap> caps;
    if (surface.u.closed == 0) {
        caps.push_back(SurfaceCap(ENetEdge::kFirstRow, surface));
        caps.push_back(SurfaceCap(ENetEdge::kLastRow, surface));
    }
    if (surface.v.closed == 0) {
        caps.push_back(SurfaceCap(ENetEdge::kFirstColumn, surface));
        caps.push_back(SurfaceCap(ENetEdge::kLastColumn, surface));
    }
    return caps;
}

std::vector<CExtrusionEndCap> ExtrusionEndCaps(const CExtrusion& extrusion) {
    const int axis = extrusion.extrusionAxis;
    if (axis < 0 || axis > 2) {
        return {};
    }
    std::vector<const CCurve*> curves;
    for (const CSceneObject* o = extrusion.curves.first; o != nullptr; o = o->next) {
        if (const auto* curve = dynamic_cast<const CCurve*>(o)) {
            curves.push_back(curve);
        }
    }
    // The generator lists every profile's outline at the first end, then at the second; an
    // unpaired last outline closes nothing.
    std::vector<CExtrusionEndCap> ends(2);
    for (std::size_t k = 0; k + 1 < curves.size(); k += 2) {
        ends[0].outlines.push_back(curves[k]);
        ends[1].outlines.push_back(curves[k + 1]);
    }
    if (ends[0].outlines.empty()) {
        return {};
    }
    // Heights grow against the y axis and along the others.
    const float growth = axis == 1 ? -1.0f : 1.0f;
    ends[0].outward[axis] = -growth;
    ends[1].outward[axis] = growth;
    ends[1].reversed = true;
    return ends;
}

}  // namespace orva
