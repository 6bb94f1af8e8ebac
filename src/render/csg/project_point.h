#pragma once

#include "geometry/matrix4.h"
#include "geometry/vector3.h"

namespace orva {

// Window column, window row and eye depth of a model-space point. `combined` is the top of
// the model matrix stack multiplied by the render transform. All four columns are used; a
// resulting w other than 0 or 1 divides x, y and z.
CVector3 ProjectPoint(CVector3 point, const CMatrix4& combined);

}  // namespace orva
