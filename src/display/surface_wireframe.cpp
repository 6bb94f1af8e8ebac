#include <algorithm>
#include <vector>

#include "display/polyline.h"
#include "display/wireframe.h"
#include "geometry/bspline_curve.h"
#include "geometry/bspline_surface.h"
#include "scene/surface.h"

namespace orva {

namespace {

CSplineEnds Ends(const CSurfaceDirection& d) {
    return CSplineEnds{d.freeStart != 0, d.freeEnd != 0, d.closed != 0};
}

// Control points of one row (across = false) or one column (across = true) of the net.
std::vector<CVector3> NetLine(const CSurface& s, int index, bool column) {
    std::vector<CVector3> line;
    const int count = column ? s.nu : s.nv;
    line.reserve(static_cast<std::size_t>(count));
    for (int k = 0; k < count; ++k) {
        line.push_back(column ? s.NetPoint(k, index) : s.NetPoint(index, k));
    }
    return line;
}

// The points where the curves of one control line pass its knots: with steps the spline
// average of each knot's neighbourhood, without them the control points themselves.
std::vector<CVector3> KnotPoints(const std::vector<CVector3>& line, CSplineEnds ends, int steps) {
    const std::vector<CVector3> e = ExtendControlPolygon(line, ends);
    const int m = static_cast<int>(e.size());
    const int knots = ends.closed ? m - 3 : m - 2;
    std::vector<CVector3> points;
    for (int k = 0; k < knots; ++k) {
        points.push_back(steps > 0 ? SplineAverage(e[k], e[k + 1], e[k + 2]) : e[k + 1]);
    }
    return points;
}

// One family of iso-curves through every knot: knot points along every control line of one
// kind, then a curve through the k-th knot point of every line.
void DrawKnotCurves(CFrameContext& frame, const CSurface& s, bool alongColumns) {
    const CSurfaceDirection& lineDirection = alongColumns ? s.u : s.v;
    const CSurfaceDirection& curveDirection = alongColumns ? s.v : s.u;
    const int lines = alongColumns ? s.nv : s.nu;
    std::vector<std::vector<CVector3>> knots;  // knots[line][k]
    for (int i = 0; i < lines; ++i) {
        knots.push_back(KnotPoints(NetLine(s, i, alongColumns), Ends(lineDirection),
                                   lineDirection.stepsPerSpan));
    }
    const std::size_t count = knots.empty() ? 0 : knots.front().size();
    std::vector<CVector3> curve(static_cast<std::size_t>(lines));
    for (std::size_t k = 0; k < count; ++k) {
        for (int i = 0; i < lines; ++i) {
            curve[static_cast<std::size_t>(i)] = knots[static_cast<std::size_t>(i)][k];
        }
        DrawCurvePolyline(frame, ExtendControlPolygon(curve, Ends(curveDirection)),
                          curveDirection.stepsPerSpan);
    }
}

// The fast wireframe: one curve through the middle control row and one through the middle
// column, at half the detail.
void DrawMiddleCurves(CFrameContext& frame, const CSurface& s) {
    const int R = s.nu;
    const int C = s.nv;
    if (R > 2) {
        const int r = R / 2;
        std::vector<CVector3> q;
        for (int c = 0; c < C; ++c) {
            q.push_back(s.u.stepsPerSpan < 1 ? s.NetPoint(r, c)
                                             : SplineAverage(s.NetPoint(r - 1, c), s.NetPoint(r, c),
                                                             s.NetPoint(r + 1, c)));
        }
        DrawCurvePolyline(frame, ExtendControlPolygon(q, Ends(s.v)), (s.v.stepsPerSpan + 1) / 2);
    }
    if (C > 2) {
        const int c = C / 2;
        std::vector<CVector3> q;
        for (int r = 0; r < R; ++r) {
            q.push_back(s.v.stepsPerSpan < 1 ? s.NetPoint(r, c)
                                             : SplineAverage(s.NetPoint(r, c - 1), s.NetPoint(r, c),
                                                             s.NetPoint(r, c + 1)));
        }
        DrawCurvePolyline(frame, ExtendControlPolygon(q, Ends(s.u)), (s.u.stepsPerSpan + 1) / 2);
    }
}

// Modes 1 to 9: the evaluated grid, every row and then every column.
void DrawGrid(CFrameContext& frame, const CSurface& s) {
    const CControlNet net = ExtendControlNet(s.points, s.nu, s.nv, Ends(s.u), Ends(s.v));
    const CSurfaceGrid grid =
        EvaluateSurfaceGrid(BSPLINE_BASIS, net.points, net.rows, net.cols,
                            std::max(s.u.stepsPerSpan, 1), std::max(s.v.stepsPerSpan, 1), false);
    if (grid.Empty()) {
        return;
    }
    for (int i = 0; i < grid.rows; ++i) {
        BeginPolyline(frame, kPolylineOpen);
        for (int j = 0; j < grid.cols; ++j) {
            AddVertex(frame, grid.positions[grid.Index(i, j)]);
        }
        EndPolyline(frame);
    }
    for (int j = 0; j < grid.cols; ++j) {
        BeginPolyline(frame, kPolylineOpen);
        for (int i = 0; i < grid.rows; ++i) {
            AddVertex(frame, grid.positions[grid.Index(i, j)]);
        }
        EndPolyline(frame);
    }
}

}  // namespace

void DrawSurfaceWireframe(CFrameContext& frame, const CSurface& surface, EDisplayMode mode) {
    if (!surface.HasValidNet()) {
        return;
    }
    if (mode == kModeFastWireframe) {
        DrawMiddleCurves(frame, surface);
    } else if (mode >= 1 && mode <= 9) {
        DrawGrid(frame, surface);
    } else if (mode <= 0) {
        DrawKnotCurves(frame, surface, false);
        DrawKnotCurves(frame, surface, true);
        if (surface.netHidden == 0) {
            DrawPointMarkers(frame, surface.points);
            if (mode == kModeWireframe) {
                DrawHighlightedPoints(frame, surface.points, surface.selection);
            }
        }
    }
}

}  // namespace orva
