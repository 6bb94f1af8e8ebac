#include "display/surface_cap.h"

#include "display/flat_fill.h"
#include "display/wireframe.h"
#include "geometry/bspline_curve.h"

namespace orva {

namespace {

// The control points of the boundary curve: along the end, each point averaged with its
// neighbours across it, which is where the surface actually ends.
std::vector<CVector3> OutlineControlPoints(const CControlNet& net, const CCapLine& line) {
    std::vector<CVector3> q;
    q.reserve(static_cast<std::size_t>(line.count));
    const auto& p = net.points;
    for (int k = 0; k < line.count; ++k) {
        const auto at = static_cast<std::size_t>(line.first + k * line.stride);
        if (line.average > 0) {
            const auto reach = static_cast<std::size_t>(line.average);
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

CFlatTriangles BuildSurfaceCap(const CControlNet& net, const CCapLine& line, int steps,
                               int orientation) {
    std::vector<CVector3> outline = EvaluateCurvePoints(OutlineControlPoints(net, line), steps);
    CVector3 normal = NewellNormal(outline);
    if (orientation < 0) {
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
