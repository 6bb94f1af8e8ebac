#include "test_shapes.h"

#include <cmath>

#include "mesh_shapes.h"

#include "scene/object_list.h"

namespace orva::test {

std::unique_ptr<CPolyMesh> Box(CVector3 lo, CVector3 hi) {
    return MakeBoxMesh(lo, hi);
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

std::unique_ptr<CSurface> Torus(float majorRadius, float minorRadius) {
    auto torus = std::make_unique<CSurface>();
    torus->nu = 8;   // around the tube
    torus->nv = 16;  // around the axis
    for (int i = 0; i < torus->nu; ++i) {
        const float a = 2.0f * float(M_PI) * float(i) / float(torus->nu);
        const float ring = majorRadius + minorRadius * std::cos(a);
        for (int j = 0; j < torus->nv; ++j) {
            const float b = 2.0f * float(M_PI) * float(j) / float(torus->nv);
            torus->points.emplace_back(ring * std::cos(b), minorRadius * std::sin(a),
                                       ring * std::sin(b));
        }
    }
    torus->selection.assign(torus->points.size(), 0);
    torus->u.closed = 1;
    torus->v.closed = 1;
    torus->u.stepsPerSpan = 3;
    torus->v.stepsPerSpan = 3;
    return torus;
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
