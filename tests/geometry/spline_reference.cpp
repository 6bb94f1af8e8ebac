#include "spline_reference.h"

#include <algorithm>
#include <cmath>

namespace orva::test {

void BasisWeights(double t, int derivative, double (&w)[4]) {
    const double basis[4][4] = {{1.0 / 6, 2.0 / 3, 1.0 / 6, 0.0},
                                {-0.5, 0.0, 0.5, 0.0},
                                {0.5, -1.0, 0.5, 0.0},
                                {-1.0 / 6, 0.5, -0.5, 1.0 / 6}};
    const double powers[2][4] = {{1.0, t, t * t, t * t * t}, {0.0, 1.0, 2.0 * t, 3.0 * t * t}};
    for (int k = 0; k < 4; ++k) {
        w[k] = 0.0;
        for (int a = 0; a < 4; ++a) {
            w[k] += powers[derivative][a] * basis[a][k];
        }
    }
}

CPoint EvaluateSpan(const CVector3* p, double t, int derivative) {
    double w[4];
    BasisWeights(t, derivative, w);
    CPoint r;
    for (int k = 0; k < 4; ++k) {
        r.x += w[k] * p[k].x;
        r.y += w[k] * p[k].y;
        r.z += w[k] * p[k].z;
    }
    return r;
}

CPoint EvaluatePatch(const CVector3* net, int cols, int pr, int pc, double u, double v, int du,
                     int dv) {
    double wu[4];
    double wv[4];
    BasisWeights(u, du, wu);
    BasisWeights(v, dv, wv);
    CPoint r;
    for (int k = 0; k < 4; ++k) {
        for (int l = 0; l < 4; ++l) {
            const CVector3& p = net[static_cast<std::size_t>(pr + k) * cols + pc + l];
            const double w = wu[k] * wv[l];
            r.x += w * p.x;
            r.y += w * p.y;
            r.z += w * p.z;
        }
    }
    return r;
}

double Distance(CVector3 a, CPoint b) {
    return std::max({std::fabs(a.x - b.x), std::fabs(a.y - b.y), std::fabs(a.z - b.z)});
}

double Distance(CPoint a, CPoint b) {
    return std::max({std::fabs(a.x - b.x), std::fabs(a.y - b.y), std::fabs(a.z - b.z)});
}

}  // namespace orva::test
