#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "geometry/vector3.h"

namespace orva {

// One evaluated surface: a grid of vertices with their normals, drawn as quads from one
// vertex array, one normal array and one index array.
struct CQuadMesh {
    std::vector<CVector3> vertices;
    std::vector<CVector3> normals;
    std::vector<uint32_t> indices;  // four per quad

    bool Empty() const { return indices.empty(); }
};

// A flat fill (a cap) with one normal: its triangles, three vertices each.
struct CFlatTriangles {
    CVector3 normal;
    std::vector<CVector3> vertices;
};

// The polygons of a polygon mesh, corner by corner.
struct CPolygonFaces {
    std::vector<CVector3> corners;
    std::vector<int32_t> firsts;  // each face's first corner
    std::vector<int32_t> counts;  // each face's corner count
    // Every face as the fan of triangles (first corner, k, k + 1) that OpenGL cuts a polygon
    // into, so that all faces go to OpenGL in one call.
    std::vector<uint32_t> fans;
    // The normal sent at every corner. Flat meshes have one set; smooth meshes have one for
    // each sign of the mirror test (the second is made when it is first needed).
    std::vector<CVector3> normals;
    std::optional<std::vector<CVector3>> mirroredNormals;
    // Kept to make the mirrored set: per face its normal, per corner the averaged normal of its
    // vertex. Empty for flat meshes.
    std::vector<CVector3> faceNormals;
    std::vector<CVector3> cornerAverages;
};

// Everything the shaded display draws for one object, in drawing order: surface meshes, then
// flat fills, then polygons.
struct CShadedParts {
    std::vector<CQuadMesh> meshes;
    std::vector<CFlatTriangles> fills;
    std::optional<CPolygonFaces> faces;
};

// Drawing the parts (inside a shaded frame). `mirrored` chooses the polygon normals for a mesh
// whose mirror test came out negative.
void DrawShadedParts(CShadedParts& parts, bool mirrored);

}  // namespace orva
