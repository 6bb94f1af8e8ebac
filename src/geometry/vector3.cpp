#include "geometry/vector3.h"

#include <cmath>

namespace orva {

CVector3 Add(CVector3 a, CVector3 b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}

CVector3 Subtract(CVector3 a, CVector3 b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}

CVector3 Scale(CVector3 v, float s) {
    return {v.x * s, v.y * s, v.z * s};
}

CVector3 Scale(float s, CVector3 v) {
    return Scale(v, s);
}

CVector3 Divide(CVector3 v, float s) {
    const float r = 1.0f / s;
    return {v.x * r, v.y * r, v.z * r};
}

CVector3 CrossProduct(CVector3 a, CVector3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

float DotProduct(CVector3 a, CVector3 b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

CVector3& AddInPlace(CVector3& v, CVector3 d) {
    v = Add(v, d);
    return v;
}

bool IsEqual(CVector3 a, CVector3 b) {
    // Written as "less than" so that a NaN difference makes the vectors unequal.
    return std::fabs(a.x - b.x) < kPointTolerance && std::fabs(a.y - b.y) < kPointTolerance &&
           std::fabs(a.z - b.z) < kPointTolerance;
}

CVector3 Normalized(CVector3 v) {
    const float s = v.x * v.x + v.y * v.y + v.z * v.z;
    if (!(s > kDegenerateThreshold)) {
        return v;
    }
    const float r = 1.0f / std::sqrt(s);
    return {v.x * r, v.y * r, v.z * r};
}

float Length(CVector3 v) {
    return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
}

}  // namespace orva
