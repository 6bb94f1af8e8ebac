#include "geometry/bspline_curve.h"

#include <algorithm>
#include <cstdint>

#include "geometry/matrix4.h"

namespace orva {

namespace {

// The float nearest 1/6: a knot of a uniform cubic B-spline is (P0 + 4 P1 + P2) / 6.
constexpr float kOneSixth = 0.16666667f;

CVector3 Phantom(CVector3 end, CVector3 neighbour) {
    return Subtract(Scale(end, 2.0f), neighbour);
}

// Matrix that maps four control points of a span to the four control points of its sub-span
// [t, t + d], t = i * d: Inverse(B) * T * B, where row r of T is the r-th Taylor term of
// (t + d x)^k, so that (1, x, x^2, x^3) * T = (1, t + d x, (t + d x)^2, (t + d x)^3).
CMatrix4 SubSpanMatrix(const CMatrix4& inverseBasis, int i, float d) {
    const double dd = d;
    const double t = i * dd;
    CMatrix4 taylor;
    taylor[1] = static_cast<float>(t);
    taylor[2] = static_cast<float>(t * t);
    taylor[3] = static_cast<float>(t * t * t);
    taylor[5] = d;
    taylor[6] = static_cast<float>(2.0 * i * dd * dd);
    taylor[7] = static_cast<float>(3.0 * i * i * dd * dd * dd);
    taylor[10] = static_cast<float>(dd * dd);
    taylor[11] = static_cast<float>(3.0 * i * dd * dd * dd);
    taylor[15] = static_cast<float>(dd * dd * dd);
    return Multiply(inverseBasis, Multiply(taylor, BSPLINE_BASIS));
}

// M[r][0] Q0 + M[r][1] Q1 + M[r][2] Q2 + M[r][3] Q3, summed in that order.
CVector3 CombineRow(const CMatrix4& m, int r, const CVector3* q) {
    CVector3 sum = Scale(q[0], m.At(r, 0));
    sum = Add(sum, Scale(q[1], m.At(r, 1)));
    sum = Add(sum, Scale(q[2], m.At(r, 2)));
    return Add(sum, Scale(q[3], m.At(r, 3)));
}

}  // namespace

std::vector<CVector3> ExtendControlPolygon(std::span<const CVector3> points, CSplineEnds ends) {
    const std::size_t n = points.size();
    if (n <= 1) {
        return {};
    }
    std::vector<CVector3> out;
    out.reserve(n + 3);
    if (ends.closed) {
        // The loop wraps by one point before and two after, so every span of the loop has its
        // four control points.
        out.push_back(points[n - 1]);
        out.insert(out.end(), points.begin(), points.end());
        out.push_back(points[0]);
        out.push_back(points[1]);
        return out;
    }
    if (!ends.freeStart) {
        out.push_back(Phantom(points[0], points[1]));
    }
    out.insert(out.end(), points.begin(), points.end());
    if (!ends.freeEnd) {
        out.push_back(Phantom(points[n - 1], points[n - 2]));
    }
    return out;
}

std::vector<CVector3> RefineControlPolygon(std::span<const CVector3> q, int steps) {
    const std::size_t n = q.size();
    if (n < 4 || steps < 1 || n > static_cast<std::size_t>(kMaxSamplePoints)) {
        return {};
    }
    const int s = std::min(steps, kMaxStepsPerSpan);
    const std::int64_t count = static_cast<std::int64_t>(s) * static_cast<std::int64_t>(n - 3) + 3;
    if (count > kMaxSamplePoints) {
        return {};
    }
    // The sub-span matrices depend on i only, so they are made once per call instead of once
    // per span; the values are the same.
    static const CMatrix4 inverseBasis = Inverse(BSPLINE_BASIS);
    const float d = static_cast<float>(1.0 / s);
    std::vector<CMatrix4> subSpan(s);
    for (int i = 0; i < s; ++i) {
        subSpan[i] = SubSpanMatrix(inverseBasis, i, d);
    }
    std::vector<CVector3> out(static_cast<std::size_t>(count));
    // Neighbouring sub-spans share three control points; each is written by several (k, i)
    // and the last write stands. All writers agree up to rounding.
    for (std::size_t k = 0; k + 3 < n; ++k) {
        for (int i = 0; i < s; ++i) {
            const std::size_t base = k * s + i;
            for (int r = 0; r < 4; ++r) {
                out[base + r] = CombineRow(subSpan[i], r, &q[k]);
            }
        }
    }
    return out;
}

std::vector<CVector3> EvaluateCurvePoints(std::span<const CVector3> q, int steps) {
    if (steps <= 0) {
        // Without steps the control polygon itself is shown, minus the phantom ends.
        if (q.size() < 3) {
            return {};
        }
        return {q.begin() + 1, q.end() - 1};
    }
    const std::vector<CVector3> refined = RefineControlPolygon(q, steps);
    if (refined.size() <= 2) {
        return {};
    }
    std::vector<CVector3> out(refined.size() - 2);
    for (std::size_t j = 0; j < out.size(); ++j) {
        const CVector3 sum = Add(Add(Scale(refined[j + 1], 4.0f), refined[j]), refined[j + 2]);
        out[j] = Scale(sum, kOneSixth);
    }
    return out;
}

std::vector<CVector3> SampleCurve(std::span<const CVector3> points, CSplineEnds ends, int steps) {
    return EvaluateCurvePoints(ExtendControlPolygon(points, ends), steps);
}

}  // namespace orva
