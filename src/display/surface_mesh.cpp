#include "display/surface_mesh.h"

#include <algorithm>
#include <cmath>

namespace orva {

namespace {

// A derivative this small in every component is taken for none (a pole or a collapsed edge).
bool Vanishes(const CVector3& d) {
    return std::fabs(d.x) < 0.0001f && std::fabs(d.y) < 0.0001f && std::fabs(d.z) < 0.0001f;
}

// The normal at grid vertex (i, j). Where one derivative vanishes the neighbour's is borrowed,
// so that a pole still gets the direction of the surface around it.
CVector3 VertexNormal(const CSurfaceGrid& g, int i, int j, int orientation) {
    CVector3 a = g.du[g.Index(i, j)];
    CVector3 b = g.dv[g.Index(i, j)];
    if (Vanishes(a)) {
        a = g.du[g.Index(i, j > 0 ? j - 1 : 1)];
    } else if (Vanishes(b)) {
        b = g.dv[g.Index(i > 0 ? i - 1 : 1, j)];
    }
    return orientation < 1 ? Normalized(CrossProduct(b, a)) : Normalized(CrossProduct(a, b));
}

}  // namespace

CQuadMesh BuildSurfaceMesh(const CControlNet& net, int su, int sv, int orientation) {
    CQuadMesh mesh;
    // Derivatives are always evaluated: a surface read with orientation 0 still gets normals,
    // on the side the formula gives every orientation below 1.
    const CSurfaceGrid g = EvaluateSurfaceGrid(BSPLINE_BASIS, net.points, net.rows, net.cols,
                                               std::max(su, 1), std::max(sv, 1), true);
    if (g.Empty() || g.rows < 2 || g.cols < 2) {
        return mesh;
    }
    const std::size_t count = g.positions.size();
    mesh.vertices = g.positions;
    mesh.normals.resize(count);
    for (int i = 0; i < g.rows; ++i) {
        for (int j = 0; j < g.cols; ++j) {
            mesh.normals[g.Index(i, j)] = VertexNormal(g, i, j, orientation);
        }
    }
    mesh.indices.reserve(4 * static_cast<std::size_t>(g.rows - 1) * (g.cols - 1));
    const auto cols = static_cast<uint32_t>(g.cols);
    for (uint32_t i = 0; i + 1 < static_cast<uint32_t>(g.rows); ++i) {
        for (uint32_t j = 0; j + 1 < cols; ++j) {
            mesh.indices.push_back(i * cols + j);
            mesh.indices.push_back((i + 1) * cols + j);
            mesh.indices.push_back((i + 1) * cols + j + 1);
            mesh.indices.push_back(i * cols + j + 1);
        }
    }
    return mesh;
}

}  // namespace orva
