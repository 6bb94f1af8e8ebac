#include "display/polyline.h"
#include "display/stroke_label.h"
#include "display/wireframe.h"
#include "geometry/bspline_curve.h"
#include "scene/curve.h"

namespace orva {

namespace {

// The fast wireframe samples finely drawn curves at half their detail.
int StepsForMode(int steps, EDisplayMode mode) {
    return (mode == kModeFastWireframe && steps > 3) ? steps / 2 : steps;
}

void DrawControlPolygon(CFrameContext& frame, const CCurve& curve) {
    BeginPolyline(frame, curve.closed != 0 ? kPolylineClosed : kPolylineOpen);
    for (const CVector3& p : curve.points) {
        AddVertex(frame, p);
    }
    EndPolyline(frame);
}

}  // namespace

void DrawCurveWireframe(CFrameContext& frame, const CCurve& curve, EDisplayMode mode) {
    if (curve.points.empty()) {
        return;
    }
    if (curve.stepsPerSpan > 1) {
        const CSplineEnds ends{curve.freeStart != 0, curve.freeEnd != 0, curve.closed != 0};
        const std::vector<CVector3> extended = ExtendControlPolygon(curve.points, ends);
        DrawCurvePolyline(frame, extended, StepsForMode(curve.stepsPerSpan, mode));
    } else {
        DrawControlPolygon(frame, curve);
    }
    if (mode >= kModeFastWireframe || (mode == kModeWireframe && curve.netHidden != 0)) {
        return;
    }
    DrawPointMarkers(frame, curve.points);
    for (const CPointLabel& label : ControlPointLabels(curve.points)) {
        DrawLabel(frame, curve.points[static_cast<std::size_t>(label.index)], label.text);
    }
    if (mode == kModeWireframe) {
        DrawHighlightedPoints(frame, curve.points, curve.selection);
    }
}

}  // namespace orva
