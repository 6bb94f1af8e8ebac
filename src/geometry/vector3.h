#pragma once

#include <cmath>

// Three single-precision components: a point or a direction. Arrays of CVector3
// are contiguous float triples, so they can be handed to OpenGL with stride 0.

namespace orva {

// Point equality: differences strictly below this in every component.
inline constexpr float kPointTolerance = 0.0001f;
// Normalisation (squared length) and singularity (absolute determinant) threshold.
inline constexpr float kDegenerateThreshold = 1e-10f;

struct CVector3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;

    constexpr CVector3() = default;
    constexpr CVector3(float x_, float y_, float z_) : x(x_), y(y_), z(z_) {}

    float& operator[](int i) { return i == 0 ? x : (i == 1 ? y : z); }
    float operator[](int i) const { return i == 0 ? x : (i == 1 ? y : z); }
};
static_assert(sizeof(CVector3) == 3 * sizeof(float), "CVector3 arrays must be float triples");

// The small operations are defined here so that the renderer's inner loops inline them; the
// arithmetic is the same wherever they are compiled.
inline CVector3 Add(CVector3 a, CVector3 b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline CVector3 Subtract(CVector3 a, CVector3 b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline CVector3 Scale(CVector3 v, float s) {
    return {v.x * s, v.y * s, v.z * s};
}
inline CVector3 Scale(float s, CVector3 v) {
    return Scale(v, s);
}
// Multiplies by 1/s computed once; s = 0 is not guarded and gives inf or NaN.
inline CVector3 Divide(CVector3 v, float s) {
    const float r = 1.0f / s;
    return {v.x * r, v.y * r, v.z * r};
}
inline CVector3 CrossProduct(CVector3 a, CVector3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline float DotProduct(CVector3 a, CVector3 b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline CVector3& AddInPlace(CVector3& v, CVector3 d) {
    v = Add(v, d);
    return v;
}
// True when every component differs by strictly less than kPointTolerance; NaN is never equal.
bool IsEqual(CVector3 a, CVector3 b);
// Unit vector; a vector whose squared length is not above kDegenerateThreshold comes back
// unchanged, so zero never turns into NaN.
inline CVector3 Normalized(CVector3 v) {
    const float s = v.x * v.x + v.y * v.y + v.z * v.z;
    if (!(s > kDegenerateThreshold)) {
        return v;
    }
    const float r = 1.0f / std::sqrt(s);
    return {v.x * r, v.y * r, v.z * r};
}
inline float Length(CVector3 v) {
    return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
}

inline CVector3 operator+(CVector3 a, CVector3 b) {
    return Add(a, b);
}
inline CVector3 operator-(CVector3 a, CVector3 b) {
    return Subtract(a, b);
}
inline CVector3 operator*(CVector3 v, float s) {
    return Scale(v, s);
}
inline CVector3 operator*(float s, CVector3 v) {
    return Scale(s, v);
}
inline bool operator==(CVector3 a, CVector3 b) {
    return a.x == b.x && a.y == b.y && a.z == b.z;
}

}  // namespace orva
