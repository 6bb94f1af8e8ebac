#pragma once

// Direct evaluation of uniform cubic B-splines in double precision with the exact basis,
// C(t) = (1, t, t^2, t^3) * B * (P0, P1, P2, P3), as an independent reference for the sampled
// curves and grids.

#include <cstddef>

#include "geometry/vector3.h"

namespace orva::test {

struct CPoint {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
};

// Weights of P0..P3 at t (derivative = 0) or of their first derivative (derivative = 1).
void BasisWeights(double t, int derivative, double (&w)[4]);

// One span over p[0..3].
CPoint EvaluateSpan(const CVector3* p, double t, int derivative = 0);

// One bicubic patch of a row-major net with `cols` columns, over rows pr..pr+3 and columns
// pc..pc+3; du and dv select the derivative order in each direction (0 or 1).
CPoint EvaluatePatch(const CVector3* net, int cols, int pr, int pc, double u, double v, int du,
                     int dv);

// Largest component difference between a float result and the reference.
double Distance(CVector3 a, CPoint b);
double Distance(CPoint a, CPoint b);

}  // namespace orva::test
