#pragma once

#include "geometry/vector3.h"

namespace orva {

// 4x4 single-precision transform, element (r, c) at index 4*r + c. Points are row vectors
// (p' = p * M): the translation sits in elements 12..14, and the layout is exactly what
// glLoadMatrixf expects. Product A * B applies A first, then B.
struct CMatrix4 {
    float m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

    static CMatrix4 Identity() { return CMatrix4{}; }
    static CMatrix4 Zero();
    static CMatrix4 Translation(CVector3 t);
    static CMatrix4 Scaling(float sx, float sy, float sz);

    float& operator[](int i) { return m[i]; }
    float operator[](int i) const { return m[i]; }
    float& At(int r, int c) { return m[4 * r + c]; }
    float At(int r, int c) const { return m[4 * r + c]; }
    const float* Data() const { return m; }
};
static_assert(sizeof(CMatrix4) == 16 * sizeof(float), "CMatrix4 must be 16 floats");

// R[r][c] = A[r][0]*B[0][c] + A[r][1]*B[1][c] + A[r][2]*B[2][c] + A[r][3]*B[3][c], in that order.
CMatrix4 Multiply(const CMatrix4& a, const CMatrix4& b);
CMatrix4& MultiplyInPlace(CMatrix4& m, const CMatrix4& b);
// Affine map of the point; a nonzero element 11 adds the system's own perspective
// f = 1 / ((M[11] - z') * M[11] + 1), which is not a homogeneous division.
CVector3 TransformPoint(CVector3 v, const CMatrix4& m);
CVector3& TransformPointInPlace(CVector3& v, const CMatrix4& m);
// Determinant of the leading n x n block (n in 1..4) by expansion down column 0.
float Determinant(const CMatrix4& m, int n);
// Adjugate inverse; the identity when |det| <= kDegenerateThreshold or det is NaN.
CMatrix4 Inverse(const CMatrix4& m);

inline CMatrix4 operator*(const CMatrix4& a, const CMatrix4& b) {
    return Multiply(a, b);
}
bool operator==(const CMatrix4& a, const CMatrix4& b);

}  // namespace orva
