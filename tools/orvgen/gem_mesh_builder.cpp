#include "gem_mesh_builder.h"

#include <algorithm>
#include <cstddef>

namespace orva {

namespace {

// The area-weighted normal of a polygon (Newell's sum): it points to the side from which the
// corners run counter-clockwise, whatever the shape of the polygon.
CGemPoint PolygonNormal(const std::vector<CGemPoint>& corners) {
    CGemPoint n;
    for (std::size_t i = 0; i < corners.size(); ++i) {
        const CGemPoint& a = corners[i];
        const CGemPoint& b = corners[(i + 1) % corners.size()];
        n.x += (a.y - b.y) * (a.z + b.z);
        n.y += (a.z - b.z) * (a.x + b.x);
        n.z += (a.x - b.x) * (a.y + b.y);
    }
    return n;
}

// The viewer takes a facet's normal from its first three corners. On facets with straight
// angles (a step facet whose edge passes a girdle corner) or a re-entrant corner (the table of
// a heart) that triangle may be flat or point inward, so the facet starts at the corner whose
// triangle agrees best with the facet's own normal.
std::size_t BestFirstCorner(const std::vector<CGemPoint>& corners) {
    const CGemPoint normal = PolygonNormal(corners);
    std::size_t best = 0;
    double bestAgreement = -1.0;
    const std::size_t n = corners.size();
    for (std::size_t i = 0; i < n; ++i) {
        const CGemPoint& a = corners[i];
        const CGemPoint& b = corners[(i + 1) % n];
        const CGemPoint& c = corners[(i + 2) % n];
        const double agreement = Dot(Cross(c - b, a - b), normal);
        if (agreement > bestAgreement) {
            bestAgreement = agreement;
            best = i;
        }
    }
    return best;
}

}  // namespace

int32_t CGemMeshBuilder::AddPoint(CGemPoint p) {
    m_points.push_back(p);
    return static_cast<int32_t>(m_points.size() - 1);
}

CGemMeshBuilder::CRing CGemMeshBuilder::AddRing(const std::vector<CGemPoint>& corners) {
    const std::size_t n = corners.size();
    CRing ring(n, -1);
    if (n == 0) {
        return ring;
    }
    // Start where a new corner begins, so that a run of equal corners wrapping past the end of
    // the list still shares one vertex.
    std::size_t start = 0;
    while (start < n && corners[start] == corners[(start + n - 1) % n]) {
        ++start;
    }
    start %= n;
    for (std::size_t k = 0; k < n; ++k) {
        const std::size_t i = (start + k) % n;
        const std::size_t previous = (i + n - 1) % n;
        ring[i] =
            (k > 0 && corners[i] == corners[previous]) ? ring[previous] : AddPoint(corners[i]);
    }
    return ring;
}

void CGemMeshBuilder::AddFacet(std::vector<int32_t> corners) {
    std::vector<int32_t> distinct;
    for (std::size_t i = 0; i < corners.size(); ++i) {
        if (corners[i] != corners[(i + 1) % corners.size()]) {
            distinct.push_back(corners[i]);
        }
    }
    if (distinct.size() < 3) {
        return;
    }
    std::vector<CGemPoint> points;
    for (int32_t index : distinct) {
        points.push_back(m_points[static_cast<std::size_t>(index)]);
    }
    std::rotate(distinct.begin(),
                distinct.begin() + static_cast<std::ptrdiff_t>(BestFirstCorner(points)),
                distinct.end());
    m_sizes.push_back(static_cast<int32_t>(distinct.size()));
    m_indices.insert(m_indices.end(), distinct.begin(), distinct.end());
}

void CGemMeshBuilder::AddBand(const CRing& lower, const CRing& upper) {
    const std::size_t n = upper.size();
    const std::size_t m = lower.size() / n;
    for (std::size_t j = 0; j < n; ++j) {
        std::vector<int32_t> facet;
        for (std::size_t k = 0; k <= m; ++k) {
            facet.push_back(lower[(j * m + k) % lower.size()]);
        }
        facet.push_back(upper[(j + 1) % n]);
        facet.push_back(upper[j]);
        AddFacet(std::move(facet));
    }
}

void CGemMeshBuilder::AddCap(const CRing& ring, bool facingUp) {
    CRing corners = ring;
    if (!facingUp) {
        std::reverse(corners.begin(), corners.end());
    }
    AddFacet(std::move(corners));
}

std::unique_ptr<CPolyMesh> CGemMeshBuilder::TakeMesh(bool flatShading) {
    auto mesh = std::make_unique<CPolyMesh>();
    for (const CGemPoint& p : m_points) {
        mesh->points.emplace_back(static_cast<float>(p.x), static_cast<float>(p.y),
                                  static_cast<float>(p.z));
    }
    mesh->selection.assign(mesh->points.size(), 0);
    mesh->polygonSizes = std::move(m_sizes);
    mesh->vertexIndices = std::move(m_indices);
    mesh->flatShading = flatShading ? 1 : 0;
    mesh->orientation = 1;
    m_points.clear();
    m_sizes.clear();
    m_indices.clear();
    return mesh;
}

}  // namespace orva
