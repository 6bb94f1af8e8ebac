#include "test_shapes.h"

#include <cmath>

#include "scene/object_list.h"

namespace orva::test {

std::unique_ptr<CPolyMesh> Box(CVector3 lo, CVector3 hi) {
    auto box = std::make_unique<CPolyMesh>();
    for (int i = 0; i < 8; ++i) {
        box->points.emplace_back((i & 1) ? hi.x : lo.x, (i & 2) ? hi.y : lo.y,
                                 (i & 4) ? hi.z : lo.z);
    }
    box->selection.assign(8, 0);
    // Counter-clockwise seen from outside.
    const int faces[6][4] = {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4},
                             {2, 6, 7, 3}, {0, 4, 6, 2}, {1, 3, 7, 5}};
    for (const auto& face : faces) {
        box->polygonSizes.push_back(4);
        box->vertexIndices.insert(box->vertexIndices.end(), face, face + 4);
    }
    return box;
}

std::unique_ptr<CSurface> Tube(float radius, float yMin, float yMax) {
    auto tube = std::make_unique<CSurface>();
    constexpr int kAround = 12;
    tube->nu = 4;
    tube->nv = kAround;
    // A closed uniform B-spline passes inside its control polygon: at the knots, at
    // (4 + 2 cos(2 pi / n)) / 6 of the polygon's radius.
    const float r = radius * 6.0f / (4.0f + 2.0f * std::cos(2.0f * float(M_PI) / kAround));
    for (int i = 0; i < tube->nu; ++i) {
        const float y = yMin + (yMax - yMin) * float(i) / float(tube->nu - 1);
        for (int j = 0; j < kAround; ++j) {
            const float a = 2.0f * float(M_PI) * float(j) / kAround;
            tube->points.emplace_back(r * std::cos(a), y, r * std::sin(a));
        }
    }
    tube->selection.assign(tube->points.size(), 0);
    tube->v.closed = 1;
    tube->u.stepsPerSpan = 2;
    tube->v.stepsPerSpan = 6;
    return tube;
}

std::unique_ptr<CGroup> Group(int32_t kind, std::initializer_list<CSceneObject*> children) {
    auto group = std::make_unique<CGroup>();
    group->kind = kind;
    CListBuilder list(group->children.first);
    for (CSceneObject* child : children) {
        list.Append(child);
    }
    return group;
}

}  // namespace orva::test
