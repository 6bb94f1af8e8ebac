#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <vector>

#include "geometry/bspline_curve.h"
#include "geometry/bspline_surface.h"
#include "spline_reference.h"

namespace orva {
namespace {

using test::Distance;
using test::EvaluatePatch;
using test::EvaluateSpan;

constexpr double kTolerance = 1e-4;

std::vector<CVector3> RandomNet(std::mt19937& rng, int rows, int cols) {
    std::uniform_int_distribution<int> coordinate(-20, 20);
    std::vector<CVector3> net(static_cast<std::size_t>(rows) * cols);
    for (CVector3& p : net) {
        // Quarter units keep every phantom point exact.
        p = {coordinate(rng) * 0.25f, coordinate(rng) * 0.25f, coordinate(rng) * 0.25f};
    }
    return net;
}

std::vector<CVector3> Transposed(std::span<const CVector3> net, int rows, int cols) {
    std::vector<CVector3> t(net.size());
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < cols; ++c) {
            t[static_cast<std::size_t>(c) * rows + r] = net[static_cast<std::size_t>(r) * cols + c];
        }
    }
    return t;
}

// Grid line -> (span, parameter): the last line is the end of the last span.
struct CLine {
    int span;
    double t;
};

CLine Line(int index, int steps, int gridSize, int netSize) {
    if (index == gridSize - 1) {
        return {netSize - 4, 1.0};
    }
    return {index / steps, static_cast<double>(index % steps) / steps};
}

CSplineEnds RandomEnds(std::mt19937& rng) {
    const unsigned bits = rng();
    return {(bits & 1) != 0, (bits & 2) != 0, (bits & 12) == 12};
}

TEST(ExtendControlNetTest, FixedEdgesGetPhantomRowsAndColumns) {
    std::mt19937 rng(1);
    const std::vector<CVector3> net = RandomNet(rng, 4, 5);
    const CControlNet e = ExtendControlNet(net, 4, 5, {}, {});
    ASSERT_EQ(e.rows, 6);
    ASSERT_EQ(e.cols, 7);
    ASSERT_EQ(e.points.size(), 42u);
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 5; ++c) {
            EXPECT_EQ(e.At(r + 1, c + 1), net[r * 5 + c]);
        }
        EXPECT_EQ(e.At(r + 1, 0), 2.0f * net[r * 5] - net[r * 5 + 1]);
        EXPECT_EQ(e.At(r + 1, 6), 2.0f * net[r * 5 + 4] - net[r * 5 + 3]);
    }
    // Phantom rows are made from the extended rows, corners included.
    for (int c = 0; c < 7; ++c) {
        EXPECT_EQ(e.At(0, c), 2.0f * e.At(1, c) - e.At(2, c));
        EXPECT_EQ(e.At(5, c), 2.0f * e.At(4, c) - e.At(3, c));
    }
}

TEST(ExtendControlNetTest, ClosedDirectionsWrapWholeRowsAndColumns) {
    std::mt19937 rng(2);
    const std::vector<CVector3> net = RandomNet(rng, 3, 4);
    const CControlNet e = ExtendControlNet(net, 3, 4, {.closed = true}, {true, true, false});
    ASSERT_EQ(e.rows, 6);
    ASSERT_EQ(e.cols, 4);
    const int sourceRow[6] = {2, 0, 1, 2, 0, 1};
    for (int r = 0; r < 6; ++r) {
        for (int c = 0; c < 4; ++c) {
            EXPECT_EQ(e.At(r, c), net[sourceRow[r] * 4 + c]);
        }
    }
    const CControlNet v = ExtendControlNet(net, 3, 4, {true, true, false}, {.closed = true});
    ASSERT_EQ(v.rows, 3);
    ASSERT_EQ(v.cols, 7);
    const int sourceCol[7] = {3, 0, 1, 2, 3, 0, 1};
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 7; ++c) {
            EXPECT_EQ(v.At(r, c), net[r * 4 + sourceCol[c]]);
        }
    }
}

TEST(ExtendControlNetTest, NetsThatCannotFormARowOrColumnGiveNothing) {
    const std::vector<CVector3> net(16);
    EXPECT_TRUE(ExtendControlNet(net, 1, 16, {}, {}).Empty());
    EXPECT_TRUE(ExtendControlNet(net, 16, 1, {.closed = true}, {.closed = true}).Empty());
    EXPECT_TRUE(ExtendControlNet(net, 0, 0, {}, {}).Empty());
    EXPECT_TRUE(ExtendControlNet(net, -4, -4, {}, {}).Empty());
    EXPECT_TRUE(ExtendControlNet(net, 4, 5, {}, {}).Empty());  // shorter than 4 x 5
    EXPECT_TRUE(ExtendControlNet(net, INT_MAX, INT_MAX, {}, {}).Empty());
    EXPECT_EQ(ExtendControlNet(net, 2, 2, {}, {}).rows, 4);
}

TEST(EvaluateSurfaceGridTest, FixedEdgesReachTheCornerControlPoints) {
    std::mt19937 rng(3);
    const std::vector<CVector3> net = RandomNet(rng, 4, 4);
    const CSurfaceGrid g = SampleSurface(net, 4, 4, {}, {}, 4, 4, true);
    ASSERT_EQ(g.rows, 13);
    ASSERT_EQ(g.cols, 13);
    ASSERT_EQ(g.positions.size(), 169u);
    ASSERT_EQ(g.du.size(), 169u);
    ASSERT_EQ(g.dv.size(), 169u);
    const float tolerance = 2e-5f;
    EXPECT_TRUE(IsEqual(g.positions[g.Index(0, 0)], net[0]));
    EXPECT_LT(Length(g.positions[g.Index(0, 12)] - net[3]), tolerance);
    EXPECT_LT(Length(g.positions[g.Index(12, 0)] - net[12]), tolerance);
    EXPECT_LT(Length(g.positions[g.Index(12, 12)] - net[15]), tolerance);
}

TEST(EvaluateSurfaceGridTest, ExactPathMatchesDirectPatchEvaluation) {
    std::mt19937 rng(4);
    for (int trial = 0; trial < 30; ++trial) {
        const int rows = 2 + trial % 5;
        const int cols = 2 + (trial * 7) % 6;
        const int su = 2 + trial % 4;
        const int sv = 2 + (trial / 3) % 5;
        const std::vector<CVector3> net = RandomNet(rng, rows, cols);
        const CControlNet e = ExtendControlNet(net, rows, cols, RandomEnds(rng), RandomEnds(rng));
        const CSurfaceGrid g =
            EvaluateSurfaceGrid(BSPLINE_BASIS, e.points, e.rows, e.cols, su, sv, true);
        if (e.rows < 4 || e.cols < 4) {
            EXPECT_TRUE(g.Empty());
            continue;
        }
        ASSERT_EQ(g.rows, su * (e.rows - 3) + 1);
        ASSERT_EQ(g.cols, sv * (e.cols - 3) + 1);
        for (int i = 0; i < g.rows; ++i) {
            const CLine u = Line(i, su, g.rows, e.rows);
            for (int j = 0; j < g.cols; ++j) {
                const CLine v = Line(j, sv, g.cols, e.cols);
                const std::size_t at = g.Index(i, j);
                const CVector3* p = e.points.data();
                EXPECT_LT(Distance(g.positions[at],
                                   EvaluatePatch(p, e.cols, u.span, v.span, u.t, v.t, 0, 0)),
                          kTolerance);
                EXPECT_LT(
                    Distance(g.du[at], EvaluatePatch(p, e.cols, u.span, v.span, u.t, v.t, 1, 0)),
                    kTolerance);
                EXPECT_LT(
                    Distance(g.dv[at], EvaluatePatch(p, e.cols, u.span, v.span, u.t, v.t, 0, 1)),
                    kTolerance);
            }
        }
    }
}

// With one step across the rows, grid row i is the curve of extended net row i + 1.
TEST(EvaluateSurfaceGridTest, OneStepInUSamplesTheNetRowsAsCurves) {
    std::mt19937 rng(5);
    for (int trial = 0; trial < 10; ++trial) {
        const int rows = 4 + trial % 3;
        const int cols = 4 + trial % 4;
        const int sv = 2 + trial % 5;
        const std::vector<CVector3> p = RandomNet(rng, rows, cols);
        const CSurfaceGrid g = EvaluateSurfaceGrid(BSPLINE_BASIS, p, rows, cols, 1, sv, true);
        ASSERT_EQ(g.rows, rows - 2);
        ASSERT_EQ(g.cols, sv * (cols - 3) + 1);
        for (int i = 0; i < g.rows; ++i) {
            for (int j = 0; j < g.cols; ++j) {
                const CLine v = Line(j, sv, g.cols, cols);
                const std::size_t at = g.Index(i, j);
                const auto curve = [&](int row, int derivative) {
                    return EvaluateSpan(&p[row * cols + v.span], v.t, derivative);
                };
                EXPECT_LT(Distance(g.positions[at], curve(i + 1, 0)), kTolerance);
                // Across the rows: the knot derivative (P[k+1] - P[k-1]) / 2 of the sampled rows.
                const test::CPoint below = curve(i, 0);
                const test::CPoint above = curve(i + 2, 0);
                const test::CPoint du{(above.x - below.x) / 2, (above.y - below.y) / 2,
                                      (above.z - below.z) / 2};
                EXPECT_LT(Distance(g.du[at], du), kTolerance);
                // Along the rows: exact at the two ends, a central difference inside, whose error
                // for a cubic is |C'''| h^2 / 6 with h = 1 / sv.
                const bool end = j == 0 || j == g.cols - 1;
                const double slack = end ? kTolerance : 60.0 / (6.0 * sv * sv) + kTolerance;
                EXPECT_LT(Distance(g.dv[at], curve(i + 1, 1)), slack) << i << "," << j;
            }
        }
    }
}

TEST(EvaluateSurfaceGridTest, OneStepInVIsTheTransposeOfOneStepInU) {
    std::mt19937 rng(6);
    const int rows = 6;
    const int cols = 5;
    const std::vector<CVector3> net = RandomNet(rng, rows, cols);
    const std::vector<CVector3> t = Transposed(net, rows, cols);
    for (const auto& [su, sv] : {std::pair{3, 1}, std::pair{1, 1}, std::pair{1, 4}}) {
        const CSurfaceGrid g = EvaluateSurfaceGrid(BSPLINE_BASIS, net, rows, cols, su, sv, true);
        const CSurfaceGrid h = EvaluateSurfaceGrid(BSPLINE_BASIS, t, cols, rows, sv, su, true);
        ASSERT_EQ(g.rows, h.cols);
        ASSERT_EQ(g.cols, h.rows);
        for (int i = 0; i < g.rows; ++i) {
            for (int j = 0; j < g.cols; ++j) {
                EXPECT_EQ(g.positions[g.Index(i, j)], h.positions[h.Index(j, i)]);
                EXPECT_EQ(g.du[g.Index(i, j)], h.dv[h.Index(j, i)]);
                EXPECT_EQ(g.dv[g.Index(i, j)], h.du[h.Index(j, i)]);
            }
        }
    }
}

TEST(EvaluateSurfaceGridTest, OneStepBothWaysShowsTheNetWithKnotDerivatives) {
    std::mt19937 rng(7);
    const int rows = 5;
    const int cols = 6;
    const std::vector<CVector3> p = RandomNet(rng, rows, cols);
    const CSurfaceGrid g = EvaluateSurfaceGrid(BSPLINE_BASIS, p, rows, cols, 1, 1, true);
    ASSERT_EQ(g.rows, rows - 2);
    ASSERT_EQ(g.cols, cols - 2);
    const std::vector<CVector3> t = Transposed(p, rows, cols);
    for (int i = 0; i < g.rows; ++i) {
        for (int j = 0; j < g.cols; ++j) {
            const std::size_t at = g.Index(i, j);
            EXPECT_EQ(g.positions[at], p[(i + 1) * cols + j + 1]);
            // The derivative of a uniform cubic B-spline at the knot of control point k + 1,
            // taken as the start of the span k .. k + 3 or the end of the span k - 1 .. k + 2.
            const auto knotSlope = [](const CVector3* line, int k, int size) {
                return k + 3 < size ? EvaluateSpan(line + k, 0.0, 1)
                                    : EvaluateSpan(line + k - 1, 1.0, 1);
            };
            EXPECT_LT(Distance(g.du[at], knotSlope(&t[(j + 1) * rows], i, rows)), 1e-5);
            EXPECT_LT(Distance(g.dv[at], knotSlope(&p[(i + 1) * cols], j, cols)), 1e-5);
        }
    }
}

TEST(EvaluateSurfaceGridTest, StepCountsOfOneOrLessAreAllOne) {
    std::mt19937 rng(8);
    const std::vector<CVector3> p = RandomNet(rng, 5, 5);
    const CSurfaceGrid one = EvaluateSurfaceGrid(BSPLINE_BASIS, p, 5, 5, 1, 3, true);
    for (const int steps : {0, -1, INT_MIN}) {
        const CSurfaceGrid g = EvaluateSurfaceGrid(BSPLINE_BASIS, p, 5, 5, steps, 3, true);
        EXPECT_EQ(g.positions, one.positions);
        EXPECT_EQ(g.du, one.du);
        EXPECT_EQ(g.dv, one.dv);
    }
    EXPECT_TRUE(EvaluateSurfaceGrid(BSPLINE_BASIS, p, 5, 5, 1, 3, false).du.empty());
}

TEST(EvaluateSurfaceGridTest, DerivativesOfAPlanarNetLieInItsPlane) {
    // Points on the plane 2x - y + 3z = 5, on a wavy parametrisation.
    const CVector3 normal(2, -1, 3);
    std::vector<CVector3> p;
    for (int r = 0; r < 5; ++r) {
        for (int c = 0; c < 6; ++c) {
            const float x = static_cast<float>(c + (r % 2) * 0.5);
            const float y = static_cast<float>(r * r) * 0.5f - c;
            p.emplace_back(x, y, (5.0f - 2.0f * x + y) / 3.0f);
        }
    }
    for (const auto& [su, sv] : {std::pair{4, 3}, std::pair{1, 3}, std::pair{3, 1}}) {
        const CSurfaceGrid g = SampleSurface(p, 5, 6, {}, {true, false, false}, su, sv, true);
        ASSERT_FALSE(g.Empty());
        for (std::size_t k = 0; k < g.positions.size(); ++k) {
            EXPECT_NEAR(DotProduct(normal, g.positions[k]), 5.0f, 1e-4);
            EXPECT_NEAR(DotProduct(normal, g.du[k]), 0.0f, 1e-4);
            EXPECT_NEAR(DotProduct(normal, g.dv[k]), 0.0f, 1e-4);
        }
    }
}

TEST(EvaluateSurfaceGridTest, PoleRowCollapsesWithZeroDerivativeAlongIt) {
    std::mt19937 rng(9);
    std::vector<CVector3> p = RandomNet(rng, 4, 5);
    const CVector3 pole(1.5f, -2.0f, 3.25f);
    for (int c = 0; c < 5; ++c) {
        p[c] = pole;
    }
    const CSurfaceGrid exact = SampleSurface(p, 4, 5, {}, {.closed = true}, 3, 3, true);
    ASSERT_FALSE(exact.Empty());
    for (int j = 0; j < exact.cols; ++j) {
        EXPECT_LT(Length(exact.positions[exact.Index(0, j)] - pole), 1e-5f);
        EXPECT_LT(Length(exact.dv[exact.Index(0, j)]), 1e-5f);
        EXPECT_GT(Length(exact.du[exact.Index(0, j)]), 1e-3f);
    }
    const CSurfaceGrid sampled = SampleSurface(p, 4, 5, {}, {.closed = true}, 1, 3, true);
    for (int j = 0; j < sampled.cols; ++j) {
        EXPECT_LT(Length(sampled.positions[sampled.Index(0, j)] - pole), 1e-5f);
        EXPECT_LT(Length(sampled.dv[sampled.Index(0, j)]), 1e-5f);
    }
}

TEST(EvaluateSurfaceGridTest, ClosedDirectionEndsWhereItStarts) {
    std::mt19937 rng(10);
    const std::vector<CVector3> p = RandomNet(rng, 5, 4);
    const CSurfaceGrid g = SampleSurface(p, 5, 4, {.closed = true}, {}, 3, 2, true);
    ASSERT_EQ(g.rows, 3 * 5 + 1);
    for (int j = 0; j < g.cols; ++j) {
        EXPECT_LT(Length(g.positions[g.Index(0, j)] - g.positions[g.Index(g.rows - 1, j)]), 1e-4f);
        EXPECT_LT(Length(g.du[g.Index(0, j)] - g.du[g.Index(g.rows - 1, j)]), 1e-4f);
    }
}

TEST(EvaluateSurfaceGridTest, BasisArgumentDefinesThePatches) {
    // Cubic Bezier basis in the same (1, t, t^2, t^3) row form: a 4 x 4 net is one patch that
    // interpolates its corners, and its middle has Bernstein weights 1/8, 3/8, 3/8, 1/8.
    const CMatrix4 bezier{{1, 0, 0, 0, -3, 3, 0, 0, 3, -6, 3, 0, -1, 3, -3, 1}};
    std::mt19937 rng(11);
    const std::vector<CVector3> p = RandomNet(rng, 4, 4);
    const CPatchCoefficients c = ComputePatchCoefficients(bezier, p, 4, 4);
    ASSERT_EQ(c.patchRows, 1);
    ASSERT_EQ(c.patchCols, 1);
    EXPECT_EQ(c.Block(0, 0)[0], p[0]);  // G[0][0] = S(0, 0)
    const CSurfaceGrid g = EvaluateSurfaceGrid(bezier, p, 4, 4, 2, 2, false);
    ASSERT_EQ(g.rows, 3);
    EXPECT_LT(Length(g.positions[g.Index(0, 2)] - p[3]), 1e-5f);
    EXPECT_LT(Length(g.positions[g.Index(2, 0)] - p[12]), 1e-5f);
    EXPECT_LT(Length(g.positions[g.Index(2, 2)] - p[15]), 1e-5f);
    const float w[4] = {0.125f, 0.375f, 0.375f, 0.125f};
    CVector3 middle;
    for (int k = 0; k < 4; ++k) {
        for (int l = 0; l < 4; ++l) {
            middle = middle + p[k * 4 + l] * (w[k] * w[l]);
        }
    }
    EXPECT_LT(Length(g.positions[g.Index(1, 1)] - middle), 1e-5f);
}

TEST(EvaluateSurfaceGridTest, BadSizesGiveNothing) {
    const std::vector<CVector3> p(16);
    EXPECT_TRUE(EvaluateSurfaceGrid(BSPLINE_BASIS, p, 3, 5, 2, 2, true).Empty());
    EXPECT_TRUE(EvaluateSurfaceGrid(BSPLINE_BASIS, p, 4, 3, 1, 1, true).Empty());
    EXPECT_TRUE(EvaluateSurfaceGrid(BSPLINE_BASIS, p, 4, 5, 2, 2, true).Empty());  // too short
    EXPECT_TRUE(EvaluateSurfaceGrid(BSPLINE_BASIS, p, -4, -4, 2, 2, true).Empty());
    EXPECT_TRUE(EvaluateSurfaceGrid(BSPLINE_BASIS, {}, 0, 0, 2, 2, true).Empty());
    EXPECT_TRUE(ComputePatchCoefficients(BSPLINE_BASIS, p, 4, 5).blocks.empty());
    EXPECT_TRUE(SampleSurface(p, 1, 16, {}, {}, 4, 4, true).Empty());
}

TEST(EvaluateSurfaceGridTest, HugeStepCountsAreClampedAndHugeGridsRefused) {
    std::mt19937 rng(12);
    const std::vector<CVector3> p = RandomNet(rng, 4, 4);
    const CSurfaceGrid g = SampleSurface(p, 4, 4, {}, {}, INT_MAX, INT_MAX, false);
    ASSERT_EQ(g.rows, 3 * kMaxStepsPerSpan + 1);
    ASSERT_EQ(g.cols, 3 * kMaxStepsPerSpan + 1);
    EXPECT_LT(Length(g.positions.back() - p[15]), 1e-4f);
    // 11 x 11 patches at the largest step count would exceed the sample limit.
    const std::vector<CVector3> big(12 * 12);
    EXPECT_TRUE(SampleSurface(big, 12, 12, {}, {}, INT_MAX, INT_MAX, true).Empty());
    EXPECT_FALSE(SampleSurface(big, 12, 12, {}, {}, 8, 8, true).Empty());
}

}  // namespace
}  // namespace orva
