#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <vector>

#include "geometry/bspline_curve.h"
#include "spline_reference.h"

namespace orva {
namespace {

using test::Distance;
using test::EvaluateSpan;

constexpr float kTolerance = 2e-5f;

void ExpectNear(CVector3 actual, CVector3 expected, float tolerance = kTolerance) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

std::vector<CVector3> RandomPoints(std::mt19937& rng, int n) {
    std::uniform_real_distribution<float> coordinate(-10.0f, 10.0f);
    std::vector<CVector3> points(n);
    for (CVector3& p : points) {
        p = {coordinate(rng), coordinate(rng), coordinate(rng)};
    }
    return points;
}

const std::vector<CVector3> kFour = {{0, 0, 0}, {1, 2, 0}, {3, 2, 1}, {4, 0, 2}};

TEST(ExtendControlPolygonTest, FixedEndsGetPhantomPointsThatMirrorTheNeighbour) {
    const std::vector<CVector3> e = ExtendControlPolygon(kFour, {});
    ASSERT_EQ(e.size(), 6u);
    EXPECT_EQ(e[0], CVector3(-1, -2, 0));  // 2 P0 - P1
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(e[i + 1], kFour[i]);
    }
    EXPECT_EQ(e[5], CVector3(5, -2, 3));  // 2 P3 - P2
}

TEST(ExtendControlPolygonTest, FreeEndsAddNothingOnTheirSide) {
    const std::vector<CVector3> startFree = ExtendControlPolygon(kFour, {.freeStart = true});
    ASSERT_EQ(startFree.size(), 5u);
    EXPECT_EQ(startFree[0], kFour[0]);
    EXPECT_EQ(startFree[4], CVector3(5, -2, 3));
    const std::vector<CVector3> endFree = ExtendControlPolygon(kFour, {.freeEnd = true});
    ASSERT_EQ(endFree.size(), 5u);
    EXPECT_EQ(endFree[0], CVector3(-1, -2, 0));
    EXPECT_EQ(endFree[4], kFour[3]);
    EXPECT_EQ(ExtendControlPolygon(kFour, {.freeStart = true, .freeEnd = true}), kFour);
}

TEST(ExtendControlPolygonTest, ClosedLoopWrapsOneBeforeAndTwoAfterIgnoringFreeFlags) {
    const std::vector<CVector3> three = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    const std::vector<CVector3> expected = {three[2], three[0], three[1],
                                            three[2], three[0], three[1]};
    EXPECT_EQ(ExtendControlPolygon(three, {.closed = true}), expected);
    EXPECT_EQ(ExtendControlPolygon(three, {.freeStart = true, .closed = true}), expected);
}

TEST(ExtendControlPolygonTest, TwoPointsAreEnoughButOneIsNot) {
    const std::vector<CVector3> two = {{0, 0, 0}, {1, 0, 0}};
    EXPECT_EQ(ExtendControlPolygon(two, {}).size(), 4u);
    EXPECT_EQ(ExtendControlPolygon(two, {.closed = true}).size(), 5u);
    EXPECT_TRUE(ExtendControlPolygon(std::vector<CVector3>{{1, 2, 3}}, {}).empty());
    EXPECT_TRUE(ExtendControlPolygon({}, {.closed = true}).empty());
}

TEST(EvaluateCurvePointsTest, FixedEndsRunFromTheFirstToTheLastControlPoint) {
    const std::vector<CVector3> samples = SampleCurve(kFour, {}, 4);
    ASSERT_EQ(samples.size(), 13u);  // 4 * (4 - 1) + 1
    ExpectNear(samples.front(), kFour.front());
    ExpectNear(samples.back(), kFour.back());
}

TEST(EvaluateCurvePointsTest, FreeEndsStartAtTheFirstKnot) {
    const std::vector<CVector3> samples = SampleCurve(kFour, {true, true, false}, 4);
    ASSERT_EQ(samples.size(), 5u);
    // (P0 + 4 P1 + P2) / 6 and (P1 + 4 P2 + P3) / 6
    ExpectNear(samples.front(), CVector3(7.0f / 6, 10.0f / 6, 1.0f / 6));
    ExpectNear(samples.back(), CVector3(17.0f / 6, 10.0f / 6, 6.0f / 6));
}

TEST(EvaluateCurvePointsTest, ClosedLoopEndsWhereItStarts) {
    const std::vector<CVector3> three = {{0, 0, 0}, {3, 0, 0}, {0, 3, 0}};
    const std::vector<CVector3> extended = ExtendControlPolygon(three, {.closed = true});
    ASSERT_EQ(extended.size(), 6u);
    const std::vector<CVector3> samples = EvaluateCurvePoints(extended, 2);
    ASSERT_EQ(samples.size(), 7u);  // s * n + 1
    ExpectNear(samples.back(), samples.front());
    // The loop starts at the knot between P2 and P0's neighbours: (P2 + 4 P0 + P1) / 6.
    ExpectNear(samples.front(), CVector3(0.5f, 0.5f, 0.0f));
}

TEST(EvaluateCurvePointsTest, ZeroStepsGiveTheControlPointsWithoutPhantoms) {
    std::mt19937 rng(7);
    const std::vector<CVector3> points = RandomPoints(rng, 7);
    EXPECT_EQ(SampleCurve(points, {}, 0), points);
    // Negative counts from a damaged file are read as zero.
    EXPECT_EQ(SampleCurve(points, {}, -3), points);
    const std::vector<CVector3> inner(points.begin() + 1, points.end() - 1);
    EXPECT_EQ(EvaluateCurvePoints(points, 0), inner);
}

TEST(EvaluateCurvePointsTest, TooFewPointsGiveNoSamples) {
    const std::vector<CVector3> two = {{0, 0, 0}, {1, 0, 0}};
    EXPECT_TRUE(SampleCurve(two, {true, true, false}, 3).empty());
    EXPECT_TRUE(EvaluateCurvePoints(two, 0).empty());
    EXPECT_TRUE(EvaluateCurvePoints({}, 5).empty());
    EXPECT_TRUE(EvaluateCurvePoints(std::vector<CVector3>(3), 5).empty());
    // Two points with fixed ends make a straight segment between them.
    const std::vector<CVector3> segment = SampleCurve(two, {}, 4);
    ASSERT_EQ(segment.size(), 5u);
    ExpectNear(segment[2], CVector3(0.5f, 0, 0));
}

// Sample j lies in span j / s at t = (j mod s) / s; the last one at the end of the last span.
TEST(EvaluateCurvePointsTest, SamplesMatchDirectEvaluationOfEverySpan) {
    std::mt19937 rng(42);
    for (int trial = 0; trial < 40; ++trial) {
        const int n = 4 + trial % 9;
        const int s = 1 + trial % 11;
        const std::vector<CVector3> q = RandomPoints(rng, n);
        const std::vector<CVector3> samples = EvaluateCurvePoints(q, s);
        ASSERT_EQ(samples.size(), static_cast<std::size_t>(s * (n - 3) + 1));
        for (std::size_t j = 0; j < samples.size(); ++j) {
            const bool last = j + 1 == samples.size();
            const int span = last ? n - 4 : static_cast<int>(j) / s;
            const double t = last ? 1.0 : static_cast<double>(j % s) / s;
            EXPECT_LT(Distance(samples[j], EvaluateSpan(&q[span], t)), 1e-4)
                << "n=" << n << " s=" << s << " j=" << j;
        }
    }
}

TEST(RefineControlPolygonTest, RefinedPolygonDescribesTheSameCurve) {
    std::mt19937 rng(3);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (int trial = 0; trial < 20; ++trial) {
        const int n = 4 + trial % 6;
        const int s = 1 + trial % 7;
        const std::vector<CVector3> q = RandomPoints(rng, n);
        const std::vector<CVector3> refined = RefineControlPolygon(q, s);
        ASSERT_EQ(refined.size(), static_cast<std::size_t>(s * (n - 3) + 3));
        // Sub-span m of the refined polygon is [m / s, (m + 1) / s] of the original parameter.
        for (int m = 0; m + 3 < static_cast<int>(refined.size()); ++m) {
            const double x = unit(rng);
            const double t = (m % s + x) / s;
            const test::CPoint expected = EvaluateSpan(&q[m / s], t);
            EXPECT_LT(Distance(EvaluateSpan(&refined[m], x), expected), 1e-4);
        }
    }
}

TEST(RefineControlPolygonTest, OneStepKeepsThePolygon) {
    std::mt19937 rng(5);
    const std::vector<CVector3> q = RandomPoints(rng, 6);
    const std::vector<CVector3> refined = RefineControlPolygon(q, 1);
    ASSERT_EQ(refined.size(), q.size());
    for (std::size_t i = 0; i < q.size(); ++i) {
        ExpectNear(refined[i], q[i]);
    }
}

TEST(RefineControlPolygonTest, NothingBelowFourPointsOrOneStep) {
    EXPECT_TRUE(RefineControlPolygon(std::vector<CVector3>(3), 4).empty());
    EXPECT_TRUE(RefineControlPolygon(kFour, 0).empty());
    EXPECT_TRUE(RefineControlPolygon(kFour, -1).empty());
}

TEST(StepLimitTest, HugeStepCountsAreClampedAndStillOnTheCurve) {
    const std::vector<CVector3> samples = SampleCurve(kFour, {}, INT_MAX);
    ASSERT_EQ(samples.size(), static_cast<std::size_t>(kMaxStepsPerSpan * 3 + 1));
    ExpectNear(samples.front(), kFour.front());
    ExpectNear(samples.back(), kFour.back());
    EXPECT_EQ(RefineControlPolygon(kFour, INT_MAX).size(),
              static_cast<std::size_t>(kMaxStepsPerSpan + 3));
}

TEST(StepLimitTest, PolylinesBeyondThePointLimitAreNotMade) {
    // Long enough that the clamped step count would exceed the limit, short enough that a lower
    // step count stays within it.
    const int n = static_cast<int>(kMaxSamplePoints / kMaxStepsPerSpan) + 8;
    const std::vector<CVector3> q(n, CVector3(1, 2, 3));
    EXPECT_TRUE(EvaluateCurvePoints(q, kMaxStepsPerSpan).empty());
    EXPECT_EQ(EvaluateCurvePoints(q, 2).size(), static_cast<std::size_t>(2 * (n - 3) + 1));
}

}  // namespace
}  // namespace orva
