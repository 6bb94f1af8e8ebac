#pragma once

#include "geometry/matrix4.h"
#include "geometry/vector3.h"
#include "scene/scene_object.h"

namespace orva::test {

struct CBounds {
    CVector3 min;
    CVector3 max;

    bool Empty() const { return BoundsEmpty(min, max); }
};

// The box GetBounds reports for `object` under `matrix`.
inline CBounds BoundsOf(const CSceneObject& object, const CMatrix4& matrix) {
    CBounds bounds;
    object.GetBounds(bounds.min, bounds.max, matrix);
    return bounds;
}

}  // namespace orva::test
