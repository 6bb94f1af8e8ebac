#include "display/flat_fill.h"

#include "geometry/triangulate.h"

namespace orva {

CFlatTriangles FillOutlines(const CVector3& normal,
                            std::span<const std::vector<CVector3>> outlines) {
    CFlatTriangles fill;
    fill.normal = normal;
    std::vector<std::span<const CVector3>> contours;
    contours.reserve(outlines.size());
    for (const std::vector<CVector3>& outline : outlines) {
        contours.emplace_back(outline);
    }
    Triangulate(contours, [&](const CVector3& a, const CVector3& b, const CVector3& c) {
        fill.vertices.push_back(a);
        fill.vertices.push_back(b);
        fill.vertices.push_back(c);
    });
    return fill;
}

}  // namespace orva
