#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "gem_point.h"
#include "scene/poly_mesh.h"

namespace orva {

// Collects the vertices and facets of one gem and hands them over as a polygon mesh.
//
// Gems are built from rings: closed loops of girdle, table or step corners, each running
// counter-clockwise seen from above (+z). Rings may narrow to a keel line or a single point;
// equal neighbouring corners then share one vertex and the facets touching them lose the
// corners they repeat, so the mesh stays closed without special cases in the cuts.
class CGemMeshBuilder {
public:
    using CRing = std::vector<int32_t>;

    int32_t AddPoint(CGemPoint p);
    // The vertex indices of a ring; a corner equal to the one before it (cyclically) reuses
    // that corner's vertex.
    CRing AddRing(const std::vector<CGemPoint>& corners);

    // A facet whose corners run counter-clockwise seen from outside. Repeated neighbouring
    // corners are dropped, and a facet left with fewer than three corners is no facet.
    void AddFacet(std::vector<int32_t> corners);
    // The facets between two rings, `lower` below `upper` (or, on a pavilion, further from
    // the girdle). `lower` has a whole multiple m of the corners of `upper`; facet j runs along
    // lower[j m .. (j + 1) m] and back along upper[j + 1], upper[j].
    void AddBand(const CRing& lower, const CRing& upper);
    // The ring as one facet facing up (a table) or down (a flat base).
    void AddCap(const CRing& ring, bool facingUp);

    const std::vector<CGemPoint>& Points() const { return m_points; }
    // The mesh: unselected vertices, orientation 1, flat or smooth shading.
    std::unique_ptr<CPolyMesh> TakeMesh(bool flatShading);

private:
    std::vector<CGemPoint> m_points;
    std::vector<int32_t> m_sizes;
    std::vector<int32_t> m_indices;
};

}  // namespace orva
