#include "render/tessellation/cap_contours.h"

#include <algorithm>
#include <span>

#include "geometry/bspline_curve.h"
#include "render/tessellation/unit_vectors.h"
#include "scene/curve.h"
#include "scene/end_caps.h"
#include "scene/extrusion.h"
#include "scene/surface.h"

namespace orva {

namespace {

// Steps for a curve along the edge of a patch that meet the patch's own samples there: where
// the grid takes a single step it shows the control polygon itself, which is what the curve
// evaluation gives without steps.
int BoundarySteps(int steps) {
    return steps >= 2 ? steps : 0;
}

// The samples of a curve over an extended control polygon, without the closing repeat of the
// first point.
std::vector<CVector3> BoundaryCurve(std::span<const CVector3> polygon, int steps, bool closed) {
    std::vector<CVector3> points = EvaluateCurvePoints(polygon, BoundarySteps(steps));
    if (closed && !points.empty()) {
        points.pop_back();
    }
    return points;
}

std::vector<CVector3> LinePoints(const CControlNet& net, const CNetLine& line) {
    std::vector<CVector3> points;
    points.reserve(static_cast<std::size_t>(line.count));
    for (int k = 0; k < line.count; ++k) {
        points.push_back(net.points[static_cast<std::size_t>(line.first + k * line.stride)]);
    }
    return points;
}

// The boundary curve over the edge's line of the extended net (the line itself where the
// grid takes single steps).
CCapContours SurfaceCap(const CControlNet& net, const CSurfaceEndCap& cap) {
    std::vector<CVector3> points = BoundaryCurve(
        LinePoints(net, EdgeLine(cap.edge, net.rows, net.cols)), cap.stepsAlong, cap.loop);
    CCapContours result;
    if (points.size() < 3) {
        return result;
    }
    if (cap.reversed) {
        std::reverse(points.begin(), points.end());
    }
    result.normal = Scale(UnitContourNormal(points), static_cast<float>(cap.facing));
    result.contours.push_back(std::move(points));
    return result;
}

// The samples of an extrusion outline under the placement: a closed curve, so the closing
// repeat of the first sample goes.
std::vector<CVector3> OutlineContour(const CCurve& outline, const CMatrix4& placement) {
    std::vector<CVector3> placed;
    placed.reserve(outline.points.size());
    for (const CVector3& p : outline.points) {
        placed.push_back(TransformPoint(p, placement));
    }
    const std::vector<CVector3> polygon = ExtendControlPolygon(placed, {.closed = true});
    return BoundaryCurve(polygon, outline.stepsPerSpan, true);
}

// The triangulation needs holes to run against the border, which profiles drawn by hand need
// not do.
void TurnHolesAgainstBorder(std::vector<std::vector<CVector3>>& contours) {
    const CVector3 border = UnitContourNormal(contours.front());
    for (std::size_t k = 1; k < contours.size(); ++k) {
        if (DotProduct(UnitContourNormal(contours[k]), border) > 0.0f) {
            std::reverse(contours[k].begin(), contours[k].end());
        }
    }
}

CCapContours ExtrusionCap(const CExtrusionEndCap& end, const CMatrix4& placement) {
    CCapContours cap;
    for (const CCurve* outline : end.outlines) {
        cap.contours.push_back(OutlineContour(*outline, placement));
        if (end.reversed) {
            std::reverse(cap.contours.back().begin(), cap.contours.back().end());
        }
    }
    if (!cap.contours.empty()) {
        TurnHolesAgainstBorder(cap.contours);
    }
    cap.normal = TransformDirection(end.outward, placement);
    return cap;
}

}  // namespace

std::vector<CCapContours> SurfaceCapContours(const CSurface& surface, const CControlNet& net) {
    std::vector<CCapContours> caps;
    for (const CSurfaceEndCap& cap : SurfaceEndCaps(surface)) {
        caps.push_back(SurfaceCap(net, cap));
    }
    return caps;
}

std::vector<CCapContours> ExtrusionCapContours(const CExtrusion& extrusion) {
    std::vector<CCapContours> caps;
    for (const CExtrusionEndCap& end : ExtrusionEndCaps(extrusion)) {
        caps.push_back(ExtrusionCap(end, extrusion.placement));
    }
    return caps;
}

}  // namespace orva
