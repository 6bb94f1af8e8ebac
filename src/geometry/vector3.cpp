#include "geometry/vector3.h"

#include <cmath>

namespace orva {

bool IsEqual(CVector3 a, CVector3 b) {
    // Written as "less than" so that a NaN difference makes the vectors unequal.
    return std::fabs(a.x - b.x) < kPointTolerance && std::fabs(a.y - b.y) < kPointTolerance &&
           std::fabs(a.z - b.z) < kPointTolerance;
}

}  // namespace orva
