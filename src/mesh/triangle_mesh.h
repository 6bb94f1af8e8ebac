#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "geometry/vector3.h"

namespace orva {

// A closed shell of triangles, wound counter-clockwise seen from outside, in model units.
struct CTriangleMesh {
    std::vector<CVector3> points;
    std::vector<std::array<uint32_t, 3>> triangles;
};

// The volume the triangles enclose (negative when they are wound inward).
double EnclosedVolume(const CTriangleMesh& mesh);

// Turns every triangle over.
void FlipTriangles(CTriangleMesh& mesh);

// The box of the points; false for a mesh without points.
bool MeshBounds(const CTriangleMesh& mesh, CVector3& min, CVector3& max);

// One part of the piece, as it is written.
struct CMeshPart {
    enum EKind { kMetal, kGem };
    EKind kind = kMetal;
    std::string name;      // the metal's material, or the stone's cut and material
    std::string material;  // the material file name (empty: the default)
    uint32_t colour = 0;   // 0xRRGGBB: the material's colour
    CTriangleMesh mesh;
};

}  // namespace orva
