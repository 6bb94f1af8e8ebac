#include "geometry/triangulate.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

namespace orva {

namespace {

constexpr int kNone = -1;

// Larger inputs are refused. This keeps the 32-bit node links far from overflowing (splits add
// two nodes each) and the working memory below a few hundred MB; outlines of this system have
// thousands of points at most. Time is quadratic in the worst case (the walk along the sorted
// list can reach most nodes for every ear), so huge inputs would not be usable anyway.
constexpr std::size_t kMaxPoints = std::size_t{1} << 22;

struct CNode {
    const CVector3* point = nullptr;
    double s = 0.0;  // coordinate along the sort axis
    double p = 0.0;  // coordinate along the first projection axis
    int next = kNone;
    int prev = kNone;
    int sortedNext = kNone;
    int sortedPrev = kNone;
};

// 2D cross product of (a - o) and (b - o), in double: the differences of two floats are exact
// there and their products nearly so, which keeps the sign right where float would round a
// nearly degenerate ear to zero.
double Cross2(const CNode& o, const CNode& a, const CNode& b) {
    return (a.s - o.s) * (b.p - o.p) - (a.p - o.p) * (b.s - o.s);
}

int Sign(double x) {
    return (x > 0.0) - (x < 0.0);
}

// Inside the triangle (a, b, c), edges included, corners and points at a corner excluded.
bool IsInsideEar(const CNode& w, const CNode& a, const CNode& b, const CNode& c) {
    if (IsEqual(*w.point, *a.point) || IsEqual(*w.point, *b.point) || IsEqual(*w.point, *c.point)) {
        return false;
    }
    const int s1 = Sign(Cross2(w, a, b));
    const int s2 = Sign(Cross2(w, b, c));
    const int s3 = Sign(Cross2(w, c, a));
    const int zeros = (s1 == 0) + (s2 == 0) + (s3 == 0);
    if (zeros == 0) {
        return s1 == s2 && s2 == s3;
    }
    // On one edge: the other two agree. On two edges (a corner) or a degenerate triangle: out.
    return zeros == 1 && s1 + s2 + s3 != 0;
}

bool IsFinite(CVector3 v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

bool AllFinite(std::span<const std::span<const CVector3>> contours) {
    for (const std::span<const CVector3> contour : contours) {
        if (!std::all_of(contour.begin(), contour.end(), IsFinite)) {
            return false;
        }
    }
    return true;
}

// Newell's normal of a closed contour: robust when the first three points are collinear.
void NewellNormal(std::span<const CVector3> contour, double (&n)[3]) {
    n[0] = n[1] = n[2] = 0.0;
    for (std::size_t i = 0; i < contour.size(); ++i) {
        const CVector3 a = contour[i];
        const CVector3 b = contour[(i + 1) % contour.size()];
        n[0] += (static_cast<double>(a.y) - b.y) * (static_cast<double>(a.z) + b.z);
        n[1] += (static_cast<double>(a.z) - b.z) * (static_cast<double>(a.x) + b.x);
        n[2] += (static_cast<double>(a.x) - b.x) * (static_cast<double>(a.y) + b.y);
    }
}

// The axis the plane faces most: the other two are the 2D coordinates of the polygon.
int DominantAxis(std::span<const CVector3> outer) {
    const CVector3 c = CrossProduct(Subtract(outer[1], outer[0]), Subtract(outer[2], outer[1]));
    double n[3] = {c.x, c.y, c.z};
    if (c.x == 0.0f && c.y == 0.0f && c.z == 0.0f) {
        // Collinear leading points say nothing about the plane; the whole contour does.
        NewellNormal(outer, n);
    }
    int axis = 2;
    if (std::fabs(n[0]) > std::fabs(n[2])) {
        axis = 0;
    }
    if (std::fabs(n[1]) > std::fabs(n[axis])) {
        axis = 1;
    }
    return axis;
}

class CEarClipper {
public:
    CEarClipper(int sortAxis, int projectionAxis, const TriangleSink& sink)
        : m_sortAxis(sortAxis), m_projectionAxis(projectionAxis), m_sink(sink) {}

    CTriangulationStats Run(std::span<const std::span<const CVector3>> contours);

private:
    void BuildRings(std::span<const std::span<const CVector3>> contours);
    void BuildSortedList();
    int FindBlocker(int v) const;
    void Split(int v, int w);
    void Clip(int v);
    int CopyAfter(int n);
    void Unsort(int n);

    int m_sortAxis;
    int m_projectionAxis;
    const TriangleSink& m_sink;
    std::vector<CNode> m_nodes;
    int m_head = kNone;
    CTriangulationStats m_stats;
};

void CEarClipper::BuildRings(std::span<const std::span<const CVector3>> contours) {
    for (const std::span<const CVector3> contour : contours) {
        if (contour.size() < 3) {
            continue;  // no area, and too short to form a ring
        }
        const int first = static_cast<int>(m_nodes.size());
        for (const CVector3& point : contour) {
            CNode node;
            node.point = &point;
            node.s = point[m_sortAxis];
            node.p = point[m_projectionAxis];
            node.prev = static_cast<int>(m_nodes.size()) - 1;
            node.next = static_cast<int>(m_nodes.size()) + 1;
            m_nodes.push_back(node);
        }
        const int last = static_cast<int>(m_nodes.size()) - 1;
        m_nodes[first].prev = last;
        m_nodes[last].next = first;
    }
}

void CEarClipper::BuildSortedList() {
    std::vector<int> order(m_nodes.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        order[i] = static_cast<int>(i);
    }
    // Stable: points with equal coordinates keep their input order.
    std::stable_sort(order.begin(), order.end(),
                     [this](int a, int b) { return m_nodes[a].s < m_nodes[b].s; });
    int previous = kNone;
    for (const int n : order) {
        m_nodes[n].sortedPrev = previous;
        if (previous != kNone) {
            m_nodes[previous].sortedNext = n;
        }
        previous = n;
    }
    m_head = order.empty() ? kNone : order.front();
}

// Of the vertices inside the ear, the one nearest to v across the ear: the first one met by a
// line parallel to (next, prev) swept from v. Nothing lies between it and v, so the diagonal to
// it crosses no edge, which the vertex with the smallest sort coordinate does not guarantee. The
// walk includes the limit itself so that a vertex on a far edge lying level across the sweep is
// seen. On ties the earlier node in the sorted list (an original before its copy) wins.
int CEarClipper::FindBlocker(int v) const {
    const CNode& a = m_nodes[v];
    const CNode& b = m_nodes[a.next];
    const CNode& c = m_nodes[a.prev];
    const double limit = std::max(b.s, c.s);
    // Nothing outside the ear's extent across the sweep can lie in it: most of the walk is
    // settled by two comparisons.
    const double pLow = std::min({a.p, b.p, c.p});
    const double pHigh = std::max({a.p, b.p, c.p});
    int best = kNone;
    double bestDepth = 0.0;
    for (int w = m_head; w != kNone && m_nodes[w].s <= limit; w = m_nodes[w].sortedNext) {
        const double p = m_nodes[w].p;
        if (p < pLow || p > pHigh || !IsInsideEar(m_nodes[w], a, b, c)) {
            continue;
        }
        const double depth = std::fabs(Cross2(c, b, m_nodes[w]));
        if (best == kNone || depth > bestDepth) {
            best = w;
            bestDepth = depth;
        }
    }
    return best;
}

int CEarClipper::CopyAfter(int n) {
    const int copy = static_cast<int>(m_nodes.size());
    CNode node = m_nodes[n];
    node.sortedPrev = n;
    m_nodes.push_back(node);
    if (node.sortedNext != kNone) {
        m_nodes[node.sortedNext].sortedPrev = copy;
    }
    m_nodes[n].sortedNext = copy;
    return copy;
}

// v -> w -> (w's old next) ... (v's old prev) -> v, and
// v' -> (v's old next) ... (w's old prev) -> w' -> v'.
// When w lies on another ring (a hole), the two become one ring through the bridge v-w.
void CEarClipper::Split(int v, int w) {
    const int v2 = CopyAfter(v);
    const int w2 = CopyAfter(w);
    const int vNext = m_nodes[v].next;
    const int wPrev = m_nodes[w].prev;
    m_nodes[v].next = w;
    m_nodes[w].prev = v;
    m_nodes[v2].next = vNext;
    m_nodes[vNext].prev = v2;
    m_nodes[w2].next = v2;
    m_nodes[v2].prev = w2;
    m_nodes[wPrev].next = w2;
    m_nodes[w2].prev = wPrev;
    ++m_stats.splits;
}

void CEarClipper::Unsort(int n) {
    CNode& node = m_nodes[n];
    if (node.sortedPrev != kNone) {
        m_nodes[node.sortedPrev].sortedNext = node.sortedNext;
    } else {
        m_head = node.sortedNext;
    }
    if (node.sortedNext != kNone) {
        m_nodes[node.sortedNext].sortedPrev = node.sortedPrev;
    }
    node.sortedNext = node.sortedPrev = kNone;
}

void CEarClipper::Clip(int v) {
    const int next = m_nodes[v].next;
    const int prev = m_nodes[v].prev;
    m_sink(*m_nodes[v].point, *m_nodes[next].point, *m_nodes[prev].point);
    ++m_stats.triangles;
    if (m_nodes[next].next == prev) {
        Unsort(v);
        Unsort(next);
        Unsort(prev);
        return;
    }
    m_nodes[prev].next = next;
    m_nodes[next].prev = prev;
    Unsort(v);
}

CTriangulationStats CEarClipper::Run(std::span<const std::span<const CVector3>> contours) {
    BuildRings(contours);
    if (m_nodes.empty()) {
        return m_stats;
    }
    // A simple polygon with h holes and N points needs N + 3h - 3 diagonals at most; beyond a
    // generous multiple of that the input is not a simple polygon, and searching stops so that
    // the work stays bounded.
    const std::size_t splitLimit = 2 * m_nodes.size() + 3 * contours.size() + 64;
    BuildSortedList();
    while (m_head != kNone) {
        const int v = m_head;
        const CNode& node = m_nodes[v];
        const bool degenerate = Cross2(node, m_nodes[node.next], m_nodes[node.prev]) == 0.0;
        if (!degenerate) {
            if (static_cast<std::size_t>(m_stats.splits) < splitLimit) {
                const int w = FindBlocker(v);
                if (w != kNone) {
                    Split(v, w);
                    continue;
                }
            } else {
                m_stats.splitLimitReached = true;
            }
        }
        Clip(v);
    }
    return m_stats;
}

}  // namespace

CTriangulationStats Triangulate(std::span<const std::span<const CVector3>> contours,
                                const TriangleSink& sink) {
    if (contours.empty() || contours[0].size() < 3 || !AllFinite(contours)) {
        return {};
    }
    std::size_t total = 0;
    for (const std::span<const CVector3> contour : contours) {
        total += contour.size();
    }
    if (total > kMaxPoints) {
        return {};
    }
    const int axis = DominantAxis(contours[0]);
    CEarClipper clipper((axis + 2) % 3, (axis + 1) % 3, sink);
    return clipper.Run(contours);
}

CTriangulationStats Triangulate(std::span<const CVector3> contour, const TriangleSink& sink) {
    const std::span<const CVector3> one[] = {contour};
    return Triangulate(one, sink);
}

}  // namespace orva
