#include "mesh_measures.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <map>
#include <set>
#include <utility>

namespace orva::test {

namespace {

constexpr double kGirdleHeight = 1e-6;

struct CDVec {
    double x, y, z;
};
CDVec D(CVector3 v) {
    return {v.x, v.y, v.z};
}
CDVec Sub(CDVec a, CDVec b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
CDVec Cross(CDVec a, CDVec b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
double Dot(CDVec a, CDVec b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
CVector3 F(CDVec v) {
    return {static_cast<float>(v.x), static_cast<float>(v.y), static_cast<float>(v.z)};
}

std::map<std::pair<int32_t, int32_t>, int> DirectedEdges(const CPolyMesh& mesh) {
    std::map<std::pair<int32_t, int32_t>, int> edges;
    for (const auto& polygon : Polygons(mesh)) {
        for (std::size_t i = 0; i < polygon.size(); ++i) {
            ++edges[{polygon[i], polygon[(i + 1) % polygon.size()]}];
        }
    }
    return edges;
}

double SegmentDistance(CPoint2 p, CPoint2 a, CPoint2 b) {
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double length2 = dx * dx + dy * dy;
    double t = length2 > 0.0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / length2 : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

}  // namespace

std::vector<std::vector<int32_t>> Polygons(const CPolyMesh& mesh) {
    std::vector<std::vector<int32_t>> polygons;
    std::size_t start = 0;
    for (int32_t size : mesh.polygonSizes) {
        polygons.emplace_back(
            mesh.vertexIndices.begin() + static_cast<std::ptrdiff_t>(start),
            mesh.vertexIndices.begin() +
                static_cast<std::ptrdiff_t>(start + static_cast<std::size_t>(size)));
        start += static_cast<std::size_t>(size);
    }
    return polygons;
}

std::vector<CVector3> Corners(const CPolyMesh& mesh, const std::vector<int32_t>& polygon) {
    std::vector<CVector3> corners;
    for (int32_t index : polygon) {
        corners.push_back(mesh.points[static_cast<std::size_t>(index)]);
    }
    return corners;
}

int UnmatchedEdges(const CPolyMesh& mesh) {
    const auto edges = DirectedEdges(mesh);
    int unmatched = 0;
    for (const auto& [edge, count] : edges) {
        const auto reverse = edges.find({edge.second, edge.first});
        if (count != 1 || reverse == edges.end() || reverse->second != 1) {
            ++unmatched;
        }
    }
    return unmatched;
}

int EdgeCount(const CPolyMesh& mesh) {
    std::set<std::pair<int32_t, int32_t>> edges;
    for (const auto& [edge, count] : DirectedEdges(mesh)) {
        edges.insert(std::minmax(edge.first, edge.second));
    }
    return static_cast<int>(edges.size());
}

double SignedVolume(const CPolyMesh& mesh) {
    double volume = 0.0;
    for (const auto& polygon : Polygons(mesh)) {
        const auto c = Corners(mesh, polygon);
        for (std::size_t i = 1; i + 1 < c.size(); ++i) {
            volume += Dot(D(c[0]), Cross(D(c[i]), D(c[i + 1]))) / 6.0;
        }
    }
    return volume;
}

CVector3 AreaNormal(const std::vector<CVector3>& corners) {
    CDVec n{0.0, 0.0, 0.0};
    for (std::size_t i = 0; i < corners.size(); ++i) {
        const CDVec a = D(corners[i]);
        const CDVec b = D(corners[(i + 1) % corners.size()]);
        n.x += (a.y - b.y) * (a.z + b.z);
        n.y += (a.z - b.z) * (a.x + b.x);
        n.z += (a.x - b.x) * (a.y + b.y);
    }
    return F(n);
}

CVector3 FirstCornersNormal(const std::vector<CVector3>& corners) {
    const CDVec a = D(corners[0]), b = D(corners[1]), c = D(corners[2]);
    return F(Cross(Sub(c, b), Sub(a, b)));
}

double FlatnessError(const std::vector<CVector3>& corners) {
    const CDVec n = D(Normalized(AreaNormal(corners)));
    CDVec mean{0.0, 0.0, 0.0};
    for (const CVector3& c : corners) {
        mean.x += c.x / corners.size(), mean.y += c.y / corners.size(),
            mean.z += c.z / corners.size();
    }
    double error = 0.0;
    for (const CVector3& c : corners) {
        error = std::max(error, std::abs(Dot(Sub(D(c), mean), n)));
    }
    return error;
}

double TiltDegrees(const std::vector<CVector3>& corners) {
    const CDVec n = D(AreaNormal(corners));
    return std::atan2(std::hypot(n.x, n.y), n.z) * 180.0 / M_PI;
}

double LargestBendDegrees(const CPolyMesh& mesh, bool skipGirdle) {
    const auto polygons = Polygons(mesh);
    std::map<std::pair<int32_t, int32_t>, std::size_t> owner;  // directed edge -> polygon
    for (std::size_t f = 0; f < polygons.size(); ++f) {
        for (std::size_t i = 0; i < polygons[f].size(); ++i) {
            owner[{polygons[f][i], polygons[f][(i + 1) % polygons[f].size()]}] = f;
        }
    }
    double largest = 0.0;
    for (const auto& [edge, f] : owner) {
        const auto other = owner.find({edge.second, edge.first});
        const auto& a = mesh.points[static_cast<std::size_t>(edge.first)];
        const auto& b = mesh.points[static_cast<std::size_t>(edge.second)];
        if (other == owner.end() ||
            (skipGirdle && std::abs(a.z) < kGirdleHeight && std::abs(b.z) < kGirdleHeight)) {
            continue;
        }
        const CVector3 n1 = Normalized(AreaNormal(Corners(mesh, polygons[f])));
        const CVector3 n2 = Normalized(AreaNormal(Corners(mesh, polygons[other->second])));
        const double cosine = std::clamp(static_cast<double>(DotProduct(n1, n2)), -1.0, 1.0);
        largest = std::max(largest, std::acos(cosine) * 180.0 / M_PI);
    }
    return largest;
}

std::vector<CPoint2> GirdleOutline(const CPolyMesh& mesh) {
    std::map<int32_t, int32_t> next;
    for (const auto& polygon : Polygons(mesh)) {
        if (AreaNormal(Corners(mesh, polygon)).z <= 0.0f) {
            continue;
        }
        for (std::size_t i = 0; i < polygon.size(); ++i) {
            const int32_t a = polygon[i], b = polygon[(i + 1) % polygon.size()];
            const auto& pa = mesh.points[static_cast<std::size_t>(a)];
            const auto& pb = mesh.points[static_cast<std::size_t>(b)];
            if (std::abs(pa.z) < kGirdleHeight && std::abs(pb.z) < kGirdleHeight) {
                if (!next.emplace(a, b).second) {
                    return {};  // two girdle edges leave one corner: no single loop
                }
            }
        }
    }
    std::vector<CPoint2> outline;
    if (next.empty()) {
        return outline;
    }
    int32_t at = next.begin()->first;
    for (std::size_t steps = 0; steps < next.size(); ++steps) {
        const auto& p = mesh.points[static_cast<std::size_t>(at)];
        outline.push_back({p.x, p.y});
        const auto it = next.find(at);
        if (it == next.end()) {
            return {};
        }
        at = it->second;
    }
    return at == next.begin()->first ? outline : std::vector<CPoint2>{};
}

double OutlineArea(const std::vector<CPoint2>& outline) {
    double twice = 0.0;
    for (std::size_t i = 0; i < outline.size(); ++i) {
        const CPoint2& a = outline[i];
        const CPoint2& b = outline[(i + 1) % outline.size()];
        twice += a.x * b.y - b.x * a.y;
    }
    return twice / 2.0;
}

bool InsideOutline(const std::vector<CPoint2>& outline, CPoint2 p) {
    bool inside = false;
    for (std::size_t i = 0, j = outline.size() - 1; i < outline.size(); j = i++) {
        const CPoint2& a = outline[i];
        const CPoint2& b = outline[j];
        if ((a.y > p.y) != (b.y > p.y) && p.x < (b.x - a.x) * (p.y - a.y) / (b.y - a.y) + a.x) {
            inside = !inside;
        }
    }
    return inside;
}

double DistanceToOutline(const std::vector<CPoint2>& outline, CPoint2 p) {
    double distance = INFINITY;
    for (std::size_t i = 0; i < outline.size(); ++i) {
        distance =
            std::min(distance, SegmentDistance(p, outline[i], outline[(i + 1) % outline.size()]));
    }
    return distance;
}

}  // namespace orva::test
