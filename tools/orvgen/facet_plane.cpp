#include "facet_plane.h"

namespace orva {

CFacetPlane MainFacetPlane(CGemPoint girdleCorner, CGemPoint far, CGemPoint level) {
    CGemPoint normal = Cross(far - girdleCorner, level);
    if (normal.z < 0.0) {
        normal = -1.0 * normal;
    }
    return {normal, Dot(normal, girdleCorner)};
}

double HeightAt(const CFacetPlane& plane, double x, double y) {
    return (plane.offset - plane.normal.x * x - plane.normal.y * y) / plane.normal.z;
}

CGemPoint CrossingAtHeight(const CFacetPlane& a, const CFacetPlane& b, double z) {
    // Two lines in the plane of height z: a.n.x x + a.n.y y = a.offset - a.n.z z, and b's.
    const double ra = a.offset - a.normal.z * z;
    const double rb = b.offset - b.normal.z * z;
    const double det = a.normal.x * b.normal.y - a.normal.y * b.normal.x;
    return {(ra * b.normal.y - rb * a.normal.y) / det, (a.normal.x * rb - b.normal.x * ra) / det,
            z};
}

}  // namespace orva
