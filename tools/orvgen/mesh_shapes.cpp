#include "mesh_shapes.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <numbers>

namespace orva {

std::unique_ptr<CPolyMesh> MakeBoxMesh(CVector3 lo, CVector3 hi) {
    auto box = std::make_unique<CPolyMesh>();
    for (int i = 0; i < 8; ++i) {
        box->points.emplace_back((i & 1) ? hi.x : lo.x, (i & 2) ? hi.y : lo.y,
                                 (i & 4) ? hi.z : lo.z);
    }
    box->selection.assign(8, 0);
    const int faces[6][4] = {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4},
                             {2, 6, 7, 3}, {0, 4, 6, 2}, {1, 3, 7, 5}};
    for (const auto& face : faces) {
        box->polygonSizes.push_back(4);
        box->vertexIndices.insert(box->vertexIndices.end(), face, face + 4);
    }
    return box;
}

namespace {

void AddPolygon(CPolyMesh& mesh, std::initializer_list<int32_t> corners) {
    mesh.polygonSizes.push_back(static_cast<int32_t>(corners.size()));
    mesh.vertexIndices.insert(mesh.vertexIndices.end(), corners);
}

// Vertex 0 is the south pole, then the rings from south to north, then the north pole.
void AddSpherePoints(CPolyMesh& sphere, CVector3 centre, float radius, int around, int across) {
    sphere.points.push_back(centre + CVector3{0.0f, 0.0f, -radius});
    for (int band = 1; band < across; ++band) {
        const double polar = std::numbers::pi * band / across;
        for (int k = 0; k < around; ++k) {
            const double azimuth = 2.0 * std::numbers::pi * k / around;
            const CVector3 unit{static_cast<float>(std::sin(polar) * std::cos(azimuth)),
                                static_cast<float>(std::sin(polar) * std::sin(azimuth)),
                                static_cast<float>(-std::cos(polar))};
            sphere.points.push_back(centre + radius * unit);
        }
    }
    sphere.points.push_back(centre + CVector3{0.0f, 0.0f, radius});
}

void AddSpherePolygons(CPolyMesh& sphere, int around, int across) {
    const int32_t north = static_cast<int32_t>(sphere.points.size()) - 1;
    auto ring = [around](int band, int k) { return 1 + (band - 1) * around + (k % around); };
    for (int k = 0; k < around; ++k) {
        AddPolygon(sphere, {0, ring(1, k + 1), ring(1, k)});
        for (int band = 1; band + 1 < across; ++band) {
            AddPolygon(sphere, {ring(band, k), ring(band, k + 1), ring(band + 1, k + 1),
                                ring(band + 1, k)});
        }
        AddPolygon(sphere, {ring(across - 1, k), ring(across - 1, k + 1), north});
    }
}

}  // namespace

std::unique_ptr<CPolyMesh> MakeSphereMesh(CVector3 centre, float radius, int around, int across) {
    around = std::max(around, 3);
    across = std::max(across, 2);
    auto sphere = std::make_unique<CPolyMesh>();
    sphere->flatShading = 0;
    AddSpherePoints(*sphere, centre, radius, around, across);
    sphere->selection.assign(sphere->points.size(), 0);
    AddSpherePolygons(*sphere, around, across);
    return sphere;
}

}  // namespace orva
