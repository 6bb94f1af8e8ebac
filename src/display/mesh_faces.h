#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "scene/poly_mesh.h"

namespace orva {

// The vertex indices of every polygon of a mesh, in order. Reading leaves only polygons that
// fit their arrays; a mesh built in memory is held to the same, and the walk ends where the
// sizes no longer fit the index array or an index names no vertex.
template <typename Visit>
void ForEachFace(const CPolyMesh& mesh, Visit visit) {
    const std::span<const int32_t> indices(mesh.vertexIndices);
    const std::size_t vertexCount = mesh.points.size();
    std::size_t first = 0;
    for (std::size_t face = 0; face < mesh.polygonSizes.size(); ++face) {
        const int32_t size = mesh.polygonSizes[face];
        if (size < 0 || static_cast<std::size_t>(size) > indices.size() - first) {
            return;
        }
        const std::span<const int32_t> corners = indices.subspan(first, std::size_t(size));
        for (const int32_t index : corners) {
            if (index < 0 || static_cast<std::size_t>(index) >= vertexCount) {
                return;
            }
        }
        visit(face, corners);
        first += static_cast<std::size_t>(size);
    }
}

}  // namespace orva
