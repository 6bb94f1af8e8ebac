#pragma once

#include <cstdint>
#include <vector>

#include "mesh/triangle_mesh.h"

namespace orva {

// Triangles as a graphics card draws them: a position and a normal per vertex.
struct CShadedMesh {
    std::vector<CVector3> points;
    std::vector<CVector3> normals;  // unit length
    std::vector<uint32_t> indices;  // three a triangle
};

// The mesh with fewer triangles where that moves its surface by at most `maxErrorMm`, and
// its unused points dropped. Meant for drawing: the merged triangles of thin parts may cut
// through each other.
CTriangleMesh SimplifiedMesh(const CTriangleMesh& mesh, double maxErrorMm);

// Normals smoothed over the surface (each point's faces weighted by their area), except at
// creases: a corner whose face turns more than `creaseDegrees` away from the point's normal
// keeps the face's own normal, on a point of its own.
CShadedMesh SmoothShaded(const CTriangleMesh& mesh, float creaseDegrees = 50.0f);

// Every triangle with its own three points and its face's normal: the facets of a cut stone.
CShadedMesh FlatShaded(const CTriangleMesh& mesh);

}  // namespace orva
