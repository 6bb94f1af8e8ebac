#include "mesh/triangle_mesh.h"

#include <algorithm>
#include <utility>

#include "scene/scene_object.h"

namespace orva {

double EnclosedVolume(const CTriangleMesh& mesh) {
    double six = 0.0;
    for (const auto& t : mesh.triangles) {
        const CVector3& a = mesh.points[t[0]];
        const CVector3& b = mesh.points[t[1]];
        const CVector3& c = mesh.points[t[2]];
        six += double(a.x) * (double(b.y) * c.z - double(b.z) * c.y) -
               double(a.y) * (double(b.x) * c.z - double(b.z) * c.x) +
               double(a.z) * (double(b.x) * c.y - double(b.y) * c.x);
    }
    return six / 6.0;
}

void FlipTriangles(CTriangleMesh& mesh) {
    for (auto& t : mesh.triangles) {
        std::swap(t[1], t[2]);
    }
}

bool MeshBounds(const CTriangleMesh& mesh, CVector3& min, CVector3& max) {
    ResetBounds(min, max);
    for (const CVector3& p : mesh.points) {
        MergeBounds(min, max, p, p);
    }
    return !mesh.points.empty();
}

}  // namespace orva
