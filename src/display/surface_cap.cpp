#include "display/surface_cap.h"

#include "display/flat_fill.h"
#include "display/wireframe.h"
#include "geometry/bspline_curve.h"

namespace orva {

namespace {

// The control points of the boundary curve: along the end, each point averaged with its
// neighbours across it, which is where the surface actually ends. Without steps across the
// end the line itself is taken.
std::vector<CVector3> OutlineControlPoints(const CControlNet& net, const CSurfaceEndCap& cap) {
    const CNetLine line = EdgeLine(cap.edge, net.rows, net.cols);
    std::vector<CVector3> q;
    q.reserve(static_cast<std::size_t>(line.count));
    const auto& p = net.points;
    const auto reach = static_cast<std::size_t>(line.across);
    for (int k = 0; k < line.count; ++k) {
        const auto at = static_cast<std::size_t>(line.first + k * line.stride);
        if (cap.stepsAcross >= 1) {
            q.push_back(SplineAverage(p[at - reach], p[at], p[at + reach]));
        } else {
            q.push_back(p[at]);
        }
    }
    return q;
}

CVector3 NewellNormal(const std::vector<CVector3>& outline) {
    CVector3 n;
    const std::size_t m = outline.size();
    for (std::size_t i = 0; i < m; ++i) {
        AddInPlace(n, CrossProduct(outline[i], outline[(i + 1) % m]));
    }
    return Normalized(n);
}

}  // namespace

CFlatTriangles BuildSurfaceCap(const CControlNet& net, const CSurfaceEndCap& cap) {
    std::vector<CVector3> outline =
        EvaluateCurvePoints(OutlineControlPoints(net, cap), cap.stepsAlong);
    // The outline runs in the line's order here: the fill's winding does not matter to lighting.
    CVector3 normal = NewellNormal(outline);
    if (cap.FacingAlongLine() < 0) {
        normal = Scale(normal, -1.0f);
    }
    // The outline of a closed end returns to its start; the fill needs every point once.
    if (!outline.empty()) {
        outline.pop_back();
    }
    const std::vector<CVector3> outlines[1] = {std::move(outline)};
    return FillOutlines(normal, outlines);
}

}  // namespace orva
