#include "polygon_checks.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace orva::test {

namespace {

struct CFlat {
    double u[3];
    double v[3];
    double minU, maxU, minV, maxV;
    double area;
};

CFlat Flatten(const CTriangle& t, CPlaneAxes axes) {
    CFlat f{};
    const CVector3* p[3] = {&t.a, &t.b, &t.c};
    for (int i = 0; i < 3; ++i) {
        f.u[i] = (*p[i])[axes.u];
        f.v[i] = (*p[i])[axes.v];
    }
    f.minU = std::min({f.u[0], f.u[1], f.u[2]});
    f.maxU = std::max({f.u[0], f.u[1], f.u[2]});
    f.minV = std::min({f.v[0], f.v[1], f.v[2]});
    f.maxV = std::max({f.v[0], f.v[1], f.v[2]});
    f.area = 0.5 * ((f.u[1] - f.u[0]) * (f.v[2] - f.v[0]) - (f.v[1] - f.v[0]) * (f.u[2] - f.u[0]));
    return f;
}

// True when every corner of b lies on the outer side (or on the line) of one edge of a.
bool EdgeOfASeparates(const CFlat& a, const CFlat& b) {
    const double orientation = a.area > 0 ? 1.0 : -1.0;
    for (int e = 0; e < 3; ++e) {
        const int f = (e + 1) % 3;
        const double du = a.u[f] - a.u[e];
        const double dv = a.v[f] - a.v[e];
        const double edgeLength = std::hypot(du, dv);
        bool separates = true;
        for (int k = 0; k < 3 && separates; ++k) {
            const double wu = b.u[k] - a.u[e];
            const double wv = b.v[k] - a.v[e];
            const double side = orientation * (du * wv - dv * wu);
            // Relative slack for rounding of shared corners.
            separates = side <= 1e-9 * edgeLength * std::hypot(wu, wv);
        }
        if (separates) {
            return true;
        }
    }
    return false;
}

bool InteriorsOverlap(const CFlat& a, const CFlat& b) {
    if (a.maxV <= b.minV || b.maxV <= a.minV || a.maxU <= b.minU || b.maxU <= a.minU) {
        return false;
    }
    return !EdgeOfASeparates(a, b) && !EdgeOfASeparates(b, a);
}

struct CEdge {
    int ring;
    int index;
    int ringSize;
    double au, av, bu, bv;
};

int Orientation(double ou, double ov, double au, double av, double bu, double bv) {
    const double c = (au - ou) * (bv - ov) - (av - ov) * (bu - ou);
    return (c > 0) - (c < 0);
}

bool OnSegment(double u, double v, const CEdge& e) {
    return std::min(e.au, e.bu) <= u && u <= std::max(e.au, e.bu) && std::min(e.av, e.bv) <= v &&
           v <= std::max(e.av, e.bv);
}

// Closed segments: touching counts.
bool SegmentsMeet(const CEdge& a, const CEdge& b) {
    const int o1 = Orientation(a.au, a.av, a.bu, a.bv, b.au, b.av);
    const int o2 = Orientation(a.au, a.av, a.bu, a.bv, b.bu, b.bv);
    const int o3 = Orientation(b.au, b.av, b.bu, b.bv, a.au, a.av);
    const int o4 = Orientation(b.au, b.av, b.bu, b.bv, a.bu, a.bv);
    if (o1 * o2 < 0 && o3 * o4 < 0) {
        return true;
    }
    return (o1 == 0 && OnSegment(b.au, b.av, a)) || (o2 == 0 && OnSegment(b.bu, b.bv, a)) ||
           (o3 == 0 && OnSegment(a.au, a.av, b)) || (o4 == 0 && OnSegment(a.bu, a.bv, b));
}

// Consecutive edges (p, q), (q, r) of one ring meet only at q unless r turns straight back.
bool AdjacentEdgesFold(const CEdge& first, const CEdge& second) {
    const double du1 = first.bu - first.au;
    const double dv1 = first.bv - first.av;
    const double du2 = second.bu - second.au;
    const double dv2 = second.bv - second.av;
    return du1 * dv2 - dv1 * du2 == 0.0 && du1 * du2 + dv1 * dv2 < 0.0;
}

bool AreAdjacent(const CEdge& a, const CEdge& b) {
    return a.ring == b.ring &&
           ((a.index + 1) % a.ringSize == b.index || (b.index + 1) % b.ringSize == a.index);
}

bool Fold(const CEdge& a, const CEdge& b) {
    return (a.index + 1) % a.ringSize == b.index ? AdjacentEdgesFold(a, b)
                                                 : AdjacentEdgesFold(b, a);
}

// Ring points without repeats of the previous point (the closing repeat included).
std::vector<CVector3> WithoutRepeats(std::span<const CVector3> contour) {
    std::vector<CVector3> out;
    for (const CVector3& p : contour) {
        if (out.empty() || !(p == out.back())) {
            out.push_back(p);
        }
    }
    while (out.size() > 1 && out.front() == out.back()) {
        out.pop_back();
    }
    return out;
}

}  // namespace

CTriangulation RunTriangulate(const std::vector<std::vector<CVector3>>& contours) {
    const std::vector<std::span<const CVector3>> spans(contours.begin(), contours.end());
    CTriangleCollector collector;
    const CTriangulationStats stats = Triangulate(spans, collector.Sink());
    return {std::move(collector.triangles), stats};
}

double SignedArea(std::span<const CVector3> contour, CPlaneAxes axes) {
    double twice = 0.0;
    for (std::size_t i = 0; i < contour.size(); ++i) {
        const CVector3& a = contour[i];
        const CVector3& b = contour[(i + 1) % contour.size()];
        twice +=
            static_cast<double>(a[axes.u]) * b[axes.v] - static_cast<double>(b[axes.u]) * a[axes.v];
    }
    return 0.5 * twice;
}

double SignedArea(const CTriangle& t, CPlaneAxes axes) {
    return Flatten(t, axes).area;
}

double PolygonArea(std::span<const std::span<const CVector3>> contours, CPlaneAxes axes) {
    double area = 0.0;
    for (std::size_t i = 0; i < contours.size(); ++i) {
        const double a = std::fabs(SignedArea(contours[i], axes));
        area += i == 0 ? a : -a;
    }
    return area;
}

double TotalArea(std::span<const CTriangle> triangles, CPlaneAxes axes) {
    double area = 0.0;
    for (const CTriangle& t : triangles) {
        area += std::fabs(SignedArea(t, axes));
    }
    return area;
}

std::optional<std::pair<std::size_t, std::size_t>> FindOverlap(std::span<const CTriangle> triangles,
                                                               CPlaneAxes axes) {
    std::vector<CFlat> flat;
    std::vector<std::size_t> order;
    for (std::size_t i = 0; i < triangles.size(); ++i) {
        flat.push_back(Flatten(triangles[i], axes));
        if (flat.back().area != 0.0) {
            order.push_back(i);
        }
    }
    std::sort(order.begin(), order.end(),
              [&](std::size_t a, std::size_t b) { return flat[a].minU < flat[b].minU; });
    // Sweep along u: only triangles whose u ranges overlap are compared.
    for (std::size_t i = 0; i < order.size(); ++i) {
        const CFlat& a = flat[order[i]];
        for (std::size_t j = i + 1; j < order.size() && flat[order[j]].minU < a.maxU; ++j) {
            if (InteriorsOverlap(a, flat[order[j]])) {
                return std::pair{order[i], order[j]};
            }
        }
    }
    return std::nullopt;
}

bool IsInsidePolygon(std::span<const std::span<const CVector3>> contours, double u, double v,
                     CPlaneAxes axes) {
    bool inside = false;
    for (const std::span<const CVector3> contour : contours) {
        if (contour.empty()) {
            continue;
        }
        for (std::size_t i = 0, j = contour.size() - 1; i < contour.size(); j = i++) {
            const double ui = contour[i][axes.u];
            const double vi = contour[i][axes.v];
            const double uj = contour[j][axes.u];
            const double vj = contour[j][axes.v];
            if ((vi > v) != (vj > v) && u < (uj - ui) * (v - vi) / (vj - vi) + ui) {
                inside = !inside;
            }
        }
    }
    return inside;
}

std::optional<std::size_t> FindTriangleOutside(std::span<const CTriangle> triangles,
                                               std::span<const std::span<const CVector3>> contours,
                                               CPlaneAxes axes) {
    for (std::size_t i = 0; i < triangles.size(); ++i) {
        const CFlat f = Flatten(triangles[i], axes);
        if (f.area == 0.0) {
            continue;
        }
        const double u = (f.u[0] + f.u[1] + f.u[2]) / 3.0;
        const double v = (f.v[0] + f.v[1] + f.v[2]) / 3.0;
        if (!IsInsidePolygon(contours, u, v, axes)) {
            return i;
        }
    }
    return std::nullopt;
}

bool IsCleanPolygon(std::span<const std::span<const CVector3>> contours, CPlaneAxes axes) {
    if (contours.empty() || SignedArea(contours[0], axes) == 0.0) {
        return false;
    }
    std::vector<std::vector<CVector3>> rings;
    std::vector<CEdge> edges;
    for (const std::span<const CVector3> contour : contours) {
        rings.push_back(WithoutRepeats(contour));
        const std::vector<CVector3>& ring = rings.back();
        if (ring.size() < 3) {
            return false;
        }
        const int n = static_cast<int>(ring.size());
        for (int i = 0; i < n; ++i) {
            const CVector3& a = ring[i];
            const CVector3& b = ring[(i + 1) % n];
            edges.push_back({static_cast<int>(rings.size()) - 1, i, n, a[axes.u], a[axes.v],
                             b[axes.u], b[axes.v]});
        }
    }
    const auto minU = [](const CEdge& e) { return std::min(e.au, e.bu); };
    std::sort(edges.begin(), edges.end(),
              [&](const CEdge& a, const CEdge& b) { return minU(a) < minU(b); });
    for (std::size_t i = 0; i < edges.size(); ++i) {
        const double maxU = std::max(edges[i].au, edges[i].bu);
        for (std::size_t j = i + 1; j < edges.size() && minU(edges[j]) <= maxU; ++j) {
            const bool meet = AreAdjacent(edges[i], edges[j]) ? Fold(edges[i], edges[j])
                                                              : SegmentsMeet(edges[i], edges[j]);
            if (meet) {
                return false;
            }
        }
    }
    // Without touching edges, one point of a hole tells where the whole hole lies.
    for (std::size_t h = 1; h < rings.size(); ++h) {
        const double u = rings[h][0][axes.u];
        const double v = rings[h][0][axes.v];
        if (!IsInsidePolygon(contours.first(1), u, v, axes)) {
            return false;
        }
        for (std::size_t k = 1; k < rings.size(); ++k) {
            if (k != h && IsInsidePolygon(contours.subspan(k, 1), u, v, axes)) {
                return false;
            }
        }
    }
    return true;
}

}  // namespace orva::test
