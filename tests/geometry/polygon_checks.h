#pragma once

// Independent checks on a triangulation: areas by the shoelace formula, interior overlaps of
// triangle pairs, and point-in-polygon by ray crossing, all in double precision on two chosen
// coordinates of the points.

#include <cstddef>
#include <optional>
#include <span>
#include <utility>
#include <vector>

#include "geometry/triangulate.h"
#include "geometry/vector3.h"

namespace orva::test {

struct CTriangle {
    CVector3 a;
    CVector3 b;
    CVector3 c;
};

// The two coordinates a check looks at (x, y unless said otherwise).
struct CPlaneAxes {
    int u = 0;
    int v = 1;
};

// Collects what Triangulate delivers.
class CTriangleCollector {
public:
    TriangleSink Sink() {
        return [this](const CVector3& a, const CVector3& b, const CVector3& c) {
            triangles.push_back({a, b, c});
        };
    }

    std::vector<CTriangle> triangles;
};

struct CTriangulation {
    std::vector<CTriangle> triangles;
    CTriangulationStats stats;
};

CTriangulation RunTriangulate(const std::vector<std::vector<CVector3>>& contours);

double SignedArea(std::span<const CVector3> contour, CPlaneAxes axes = {});
double SignedArea(const CTriangle& t, CPlaneAxes axes = {});
// |outer| minus the |area| of every hole.
double PolygonArea(std::span<const std::span<const CVector3>> contours, CPlaneAxes axes = {});
// Sum of |area| over the triangles.
double TotalArea(std::span<const CTriangle> triangles, CPlaneAxes axes = {});

// The first pair of triangles whose interiors overlap (touching along edges or at corners is
// fine), if any. Zero-area triangles have no interior.
std::optional<std::pair<std::size_t, std::size_t>> FindOverlap(std::span<const CTriangle> triangles,
                                                               CPlaneAxes axes = {});

// Even-odd rule over all contours.
bool IsInsidePolygon(std::span<const std::span<const CVector3>> contours, double u, double v,
                     CPlaneAxes axes = {});

// The first triangle whose centroid is not inside the polygon (in a hole or outside), if any.
std::optional<std::size_t> FindTriangleOutside(std::span<const CTriangle> triangles,
                                               std::span<const std::span<const CVector3>> contours,
                                               CPlaneAxes axes = {});

// True when the polygon is what a triangulator may assume: every contour is simple (repeated
// consecutive points aside), no two contours touch, every hole lies inside the outer contour and
// outside the other holes, and the outer contour has an area.
bool IsCleanPolygon(std::span<const std::span<const CVector3>> contours, CPlaneAxes axes = {});

}  // namespace orva::test
