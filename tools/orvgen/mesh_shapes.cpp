#include "mesh_shapes.h"

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

}  // namespace orva
