#include "render/tessellation/unit_vectors.h"

#include <cmath>

namespace orva {

namespace {

struct CDouble3 {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
};

CDouble3 Widen(CVector3 v) {
    return {v.x, v.y, v.z};
}

CDouble3 Difference(CVector3 a, CVector3 b) {
    return {double(a.x) - b.x, double(a.y) - b.y, double(a.z) - b.z};
}

CDouble3 Sum(CDouble3 a, CDouble3 b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}

CDouble3 Cross(CDouble3 a, CDouble3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

CVector3 Unit(CDouble3 v) {
    const double length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    if (!(length > 0.0) || !std::isfinite(length)) {
        return {};
    }
    return {float(v.x / length), float(v.y / length), float(v.z / length)};
}

}  // namespace

CVector3 UnitDirection(CVector3 v) {
    return Unit(Widen(v));
}

CVector3 UnitCross(CVector3 a, CVector3 b) {
    return Unit(Cross(Widen(a), Widen(b)));
}

CVector3 UnitFaceNormal(CVector3 a, CVector3 b, CVector3 c) {
    return Unit(Cross(Difference(c, b), Difference(a, b)));
}

CVector3 UnitContourNormal(std::span<const CVector3> contour) {
    if (contour.empty()) {
        return {};
    }
    // The sum stays the same when every point moves by one offset, so it is taken about the
    // first point: far from the origin, the terms of a small contour would otherwise be large
    // and cancel each other.
    const CVector3 origin = contour.front();
    CDouble3 sum;
    for (std::size_t i = 0; i < contour.size(); ++i) {
        const CDouble3 a = Difference(contour[i], origin);
        const CDouble3 b = Difference(contour[(i + 1) % contour.size()], origin);
        sum = Sum(sum, Cross(a, b));
    }
    return Unit(sum);
}

CVector3 TransformDirection(CVector3 d, const CMatrix4& m) {
    CVector3 out;
    for (int c = 0; c < 3; ++c) {
        out[c] = d.x * m.At(0, c) + d.y * m.At(1, c) + d.z * m.At(2, c);
    }
    return out;
}

bool IsFinitePoint(CVector3 p) {
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

}  // namespace orva
