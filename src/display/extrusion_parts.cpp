#include "display/flat_fill.h"
#include "display/object_parts.h"
#include "display/surface_mesh.h"
#include "geometry/bspline_curve.h"
#include "scene/curve.h"
#include "scene/extrusion.h"
#include "scene/surface.h"

namespace orva {

namespace {

CSplineEnds Ends(const CSurfaceDirection& d) {
    return CSplineEnds{d.freeStart != 0, d.freeEnd != 0, d.closed != 0};
}

std::vector<CVector3> Placed(std::span<const CVector3> points, const CMatrix4& placement) {
    std::vector<CVector3> placed(points.begin(), points.end());
    for (CVector3& p : placed) {
        TransformPointInPlace(p, placement);
    }
    return placed;
}

// Every generated surface has the orientation reading gave the first one.
void AddWalls(const CExtrusion& e, CShadedParts& parts) {
    int orientation = 0;
    bool first = true;
    for (const CSceneObject* o = e.surfaces.first; o != nullptr; o = o->next) {
        const auto* s = dynamic_cast<const CSurface*>(o);
        if (s == nullptr) {
            continue;
        }
        if (first) {
            orientation = s->orientation;
            first = false;
        }
        if (!s->HasValidNet()) {
            continue;
        }
        const std::vector<CVector3> placed = Placed(s->points, e.placement);
        const CControlNet net = ExtendControlNet(placed, s->nu, s->nv, Ends(s->u), Ends(s->v));
        parts.meshes.push_back(
            BuildSurfaceMesh(net, s->u.stepsPerSpan, s->v.stepsPerSpan, orientation));
    }
}

// A profile outline under the placement, each point once.
std::vector<CVector3> Outline(const CCurve& curve, const CMatrix4& placement) {
    const std::vector<CVector3> extended =
        ExtendControlPolygon(curve.points, CSplineEnds{false, false, true});
    std::vector<CVector3> outline =
        EvaluateCurvePoints(Placed(extended, placement), curve.stepsPerSpan);
    if (!outline.empty()) {
        outline.pop_back();
    }
    return outline;
}

// The extrusion axis under the placement. Turned as a direction: the placement's translation
// says where the extrusion is, not which way its ends face.
CVector3 CapNormal(const CExtrusion& e) {
    CVector3 axis;
    axis[e.extrusionAxis] = e.extrusionAxis == 1 ? 1.0f : -1.0f;
    const CMatrix4& m = e.placement;
    const CVector3 turned(axis.x * m[0] + axis.y * m[4] + axis.z * m[8],
                          axis.x * m[1] + axis.y * m[5] + axis.z * m[9],
                          axis.x * m[2] + axis.y * m[6] + axis.z * m[10]);
    return Normalized(turned);
}

// The curves come in pairs, one outline for each end: the first of every pair closes one
// end, the second the other. An unpaired last curve closes nothing.
void AddCaps(const CExtrusion& e, CShadedParts& parts) {
    if (e.extrusionAxis < 0 || e.extrusionAxis > 2) {
        return;
    }
    std::vector<const CCurve*> curves;
    for (const CSceneObject* o = e.curves.first; o != nullptr; o = o->next) {
        if (const auto* c = dynamic_cast<const CCurve*>(o)) {
            curves.push_back(c);
        }
    }
    std::vector<std::vector<CVector3>> endA;
    std::vector<std::vector<CVector3>> endB;
    for (std::size_t i = 0; i + 1 < curves.size(); i += 2) {
        endA.push_back(Outline(*curves[i], e.placement));
        endB.push_back(Outline(*curves[i + 1], e.placement));
    }
    if (endA.empty()) {
        return;
    }
    const CVector3 n = CapNormal(e);
    parts.fills.push_back(FillOutlines(n, endA));
    parts.fills.push_back(FillOutlines(Scale(n, -1.0f), endB));
}

}  // namespace

CShadedParts BuildExtrusionParts(const CExtrusion& extrusion) {
    CShadedParts parts;
    AddWalls(extrusion, parts);
    AddCaps(extrusion, parts);
    return parts;
}

}  // namespace orva
