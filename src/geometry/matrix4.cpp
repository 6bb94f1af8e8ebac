#include "geometry/matrix4.h"

#include <cmath>

namespace orva {

namespace {

// The (n-1) x (n-1) block left after deleting row i and column j, kept at a stride of four.
CMatrix4 Minor(const CMatrix4& m, int i, int j, int n) {
    CMatrix4 r = CMatrix4::Zero();
    int rr = 0;
    for (int row = 0; row < n; ++row) {
        if (row == i) {
            continue;
        }
        int cc = 0;
        for (int col = 0; col < n; ++col) {
            if (col == j) {
                continue;
            }
            r.At(rr, cc) = m.At(row, col);
            ++cc;
        }
        ++rr;
    }
    return r;
}

}  // namespace

CMatrix4 CMatrix4::Zero() {
    CMatrix4 r;
    for (float& e : r.m) {
        e = 0.0f;
    }
    return r;
}

CMatrix4 CMatrix4::Translation(CVector3 t) {
    CMatrix4 r;
    r.m[12] = t.x;
    r.m[13] = t.y;
    r.m[14] = t.z;
    return r;
}

CMatrix4 CMatrix4::Scaling(float sx, float sy, float sz) {
    CMatrix4 r;
    r.m[0] = sx;
    r.m[5] = sy;
    r.m[10] = sz;
    return r;
}

CMatrix4 Multiply(const CMatrix4& a, const CMatrix4& b) {
    CMatrix4 r;
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 4; ++col) {
            float sum = a.At(row, 0) * b.At(0, col);
            sum = sum + a.At(row, 1) * b.At(1, col);
            sum = sum + a.At(row, 2) * b.At(2, col);
            sum = sum + a.At(row, 3) * b.At(3, col);
            r.At(row, col) = sum;
        }
    }
    return r;
}

CMatrix4& MultiplyInPlace(CMatrix4& m, const CMatrix4& b) {
    m = Multiply(m, b);
    return m;
}

CVector3 TransformPoint(CVector3 v, const CMatrix4& m) {
    const float x = m[0] * v.x + m[4] * v.y + m[8] * v.z + m[12];
    const float y = m[1] * v.x + m[5] * v.y + m[9] * v.z + m[13];
    const float z = m[2] * v.x + m[6] * v.y + m[10] * v.z + m[14];
    if (m[11] == 0.0f) {
        return {x, y, z};
    }
    const float f = 1.0f / ((m[11] - z) * m[11] + 1.0f);
    return {x * f, y * f, z * f};
}

CVector3& TransformPointInPlace(CVector3& v, const CMatrix4& m) {
    v = TransformPoint(v, m);
    return v;
}

float Determinant(const CMatrix4& m, int n) {
    if (n <= 1) {
        return m.At(0, 0);
    }
    if (n == 2) {
        return m.At(0, 0) * m.At(1, 1) - m.At(1, 0) * m.At(0, 1);
    }
    float sum = 0.0f;
    float sign = 1.0f;
    for (int i = 0; i < n; ++i) {
        sum += sign * m.At(i, 0) * Determinant(Minor(m, i, 0, n), n - 1);
        sign = -sign;
    }
    return sum;
}

CMatrix4 Inverse(const CMatrix4& m) {
    CMatrix4 result;
    const float d = Determinant(m, 4);
    if (!(std::fabs(d) > kDegenerateThreshold)) {
        return result;
    }
    const float r = 1.0f / d;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            const float sign = ((i + j) % 2 == 0) ? 1.0f : -1.0f;
            result.At(j, i) = sign * Determinant(Minor(m, i, j, 4), 3) * r;
        }
    }
    return result;
}

bool operator==(const CMatrix4& a, const CMatrix4& b) {
    for (int i = 0; i < 16; ++i) {
        if (a.m[i] != b.m[i]) {
            return false;
        }
    }
    return true;
}

}  // namespace orva
