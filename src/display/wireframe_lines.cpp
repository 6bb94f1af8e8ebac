#include <algorithm>
#include <vector>

#include "display/polyline.h"
#include "display/wireframe.h"
#include "geometry/bspline_curve.h"
#include "view/frame_context.h"

namespace orva {

void DrawCurvePolyline(CFrameContext& frame, std::span<const CVector3> extended, int steps) {
    const std::vector<CVector3> samples = EvaluateCurvePoints(extended, steps);
    if (samples.empty()) {
        return;
    }
    BeginPolyline(frame, kPolylineOpen);
    for (const CVector3& p : samples) {
        AddVertex(frame, p);
    }
    EndPolyline(frame);
}

void DrawPointMarkers(CFrameContext& frame, std::span<const CVector3> points) {
    BeginPolyline(frame, kPolylineMarkers);
    for (const CVector3& p : points) {
        AddVertex(frame, p);
    }
    EndPolyline(frame);
}

void DrawHighlightedPoints(CFrameContext& frame, std::span<const CVector3> points,
                           std::span<const int32_t> selection) {
    const uint32_t kept = frame.SetColour(0xffffff);
    frame.SetObjectColour(1, 0);
    BeginPolyline(frame, kPolylineMarkers);
    // Objects built in memory may carry fewer flags than points; the missing ones are clear.
    const std::size_t n = std::min(points.size(), selection.size());
    for (std::size_t i = 0; i < n; ++i) {
        if (selection[i] != 0) {
            AddVertex(frame, points[i]);
        }
    }
    EndPolyline(frame);
    frame.SetColour(kept);
}

CVector3 SplineAverage(const CVector3& a, const CVector3& b, const CVector3& c) {
    return (a + 4.0f * b + c) * 0.16666667f;
}

}  // namespace orva
