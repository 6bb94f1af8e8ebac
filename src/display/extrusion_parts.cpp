#include "display/flat_fill.h"
#include "display/object_parts.h"
#include "display/surface_mesh.h"
#include "geometry/bspline_curve.h"
#include "scene/curve.h"
#include "scene/end_caps.h"
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

// A cap's side under the placement. Turned as a direction: the placement's translation says
// where the extrusion is, not which way its ends face.
CVector3 CapNormal(const CVector3& outward, const CMatrix4& m) {
    const CVector3 turned(outward.x * m[0] + outward.y * m[4] + outward.z * m[8],
                          outward.x * m[1] + outward.y * m[5] + outward.z * m[9],
                          outward.x * m[2] + outward.y * m[6] + outward.z * m[10]);
    return Normalized(turned);
}

// Lighting takes the side from the normal alone, so the outlines keep the curves' order.
void AddCaps(const CExtrusion& e, CShadedParts& parts) {
    for (const CExtrusionEndCap& cap : ExtrusionEndCaps(e)) {
        std::vector<std::vector<CVector3>> outlines;
        for (const CCurve* curve : cap.outlines) {
            outlines.push_back(Outline(*curve, e.placement));
        }
        parts.fills.push_back(FillOutlines(CapNormal(cap.outward, e.placement), outlines));
    }
}

}  // namespace

CShadedParts BuildExtrusionParts(const CExtrusion& extrusion) {
    CShadedParts parts;
    AddWalls(extrusion, parts);
    AddCaps(extrusion, parts);
    return parts;
}

}  // namespace orva
