#pragma once

#include <cstdint>
#include <vector>

#include "geometry/vector3.h"
#include "scene/poly_mesh.h"

namespace orva::test {

// Measures of a polygon mesh taken straight from its points and polygons, in double
// precision, independent of how the mesh was made.

struct CPoint2 {
    double x = 0.0;
    double y = 0.0;
};

// The corner indices of every polygon.
std::vector<std::vector<int32_t>> Polygons(const CPolyMesh& mesh);
std::vector<CVector3> Corners(const CPolyMesh& mesh, const std::vector<int32_t>& polygon);

// Directed edges that do not occur exactly once with their reverse also exactly once: zero
// for a closed surface whose polygons all wind the same way.
int UnmatchedEdges(const CPolyMesh& mesh);
// Distinct undirected edges.
int EdgeCount(const CPolyMesh& mesh);
// Sum over the polygons, fanned into triangles from their first corner, of det(a, b, c) / 6:
// the enclosed volume, positive when the polygons wind counter-clockwise seen from outside.
double SignedVolume(const CPolyMesh& mesh);

// The area-weighted normal (Newell's sum), unnormalised: it points to the side from which
// the corners run counter-clockwise.
CVector3 AreaNormal(const std::vector<CVector3>& corners);
// The normal of the first three corners A, B, C as the viewer takes it: (C - B) x (A - B).
CVector3 FirstCornersNormal(const std::vector<CVector3>& corners);
// The largest distance of a corner from the plane through the corners' mean along the area
// normal.
double FlatnessError(const std::vector<CVector3>& corners);
// The angle between the polygon's outward normal and +z, in degrees.
double TiltDegrees(const std::vector<CVector3>& corners);

// The largest angle between the normals of two facets sharing an edge, in degrees; edges
// lying at z = 0 (a girdle or a flat base's rim) are left out when `skipGirdle` is set.
double LargestBendDegrees(const CPolyMesh& mesh, bool skipGirdle);

// The girdle outline: the edges lying at z = 0 on polygons facing up, chained in order
// (counter-clockwise seen from above). Empty when they do not form a single loop.
std::vector<CPoint2> GirdleOutline(const CPolyMesh& mesh);
double OutlineArea(const std::vector<CPoint2>& outline);
bool InsideOutline(const std::vector<CPoint2>& outline, CPoint2 p);
double DistanceToOutline(const std::vector<CPoint2>& outline, CPoint2 p);

}  // namespace orva::test
