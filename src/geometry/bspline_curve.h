#pragma once

#include <span>
#include <vector>

#include "geometry/bspline_basis.h"
#include "geometry/vector3.h"

namespace orva {

// Control polygon with the end conditions applied: a closed loop wraps by one point before and
// two after (n + 3 points); an open end that is not free gets the phantom point 2 P0 - P1 (or
// 2 Pn-1 - Pn-2), which makes the curve pass exactly through that end point. Fewer than two
// points give an empty polygon.
std::vector<CVector3> ExtendControlPolygon(std::span<const CVector3> points, CSplineEnds ends);

// The control polygon of the same curve with every span split into `steps` equal spans:
// steps * (n - 3) + 3 points. Empty when n < 4 or steps < 1.
std::vector<CVector3> RefineControlPolygon(std::span<const CVector3> q, int steps);

// Points on the curve of an (already extended) control polygon: steps * (n - 3) + 1 samples
// for steps >= 1 (the knots of the refined polygon), or the inner control points
// Q[1] .. Q[n - 2] for steps <= 0. Empty when there are too few points.
std::vector<CVector3> EvaluateCurvePoints(std::span<const CVector3> q, int steps);

// ExtendControlPolygon followed by EvaluateCurvePoints: the usual way to sample a curve.
std::vector<CVector3> SampleCurve(std::span<const CVector3> points, CSplineEnds ends, int steps);

}  // namespace orva
