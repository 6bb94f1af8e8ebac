#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "geometry/triangulate.h"
#include "polygon_checks.h"

namespace orva {
namespace {

using test::CPlaneAxes;
using test::CTriangle;
using test::RunTriangulate;
using Contour = std::vector<CVector3>;

std::vector<std::span<const CVector3>> Spans(const std::vector<Contour>& contours) {
    return {contours.begin(), contours.end()};
}

Contour Xy(std::initializer_list<std::pair<float, float>> points) {
    Contour c;
    for (const auto& [x, y] : points) {
        c.emplace_back(x, y, 0.0f);
    }
    return c;
}

Contour Reversed(Contour c) {
    std::reverse(c.begin(), c.end());
    return c;
}

std::size_t PointCount(const std::vector<Contour>& contours) {
    std::size_t n = 0;
    for (const Contour& c : contours) {
        n += c.size();
    }
    return n;
}

// Exact cover of a simple polygon whose holes run against the outer contour: the triangles fill
// exactly its area, none overlaps another, none lies in a hole or outside, each keeps the outer
// contour's orientation, and there are N + 2h - 2 of them.
void ExpectExactCover(const std::vector<Contour>& contours, CPlaneAxes axes = {}) {
    const test::CTriangulation r = RunTriangulate(contours);
    const auto spans = Spans(contours);
    const double area = test::PolygonArea(spans, axes);
    EXPECT_NEAR(test::TotalArea(r.triangles, axes), area, 1e-9 * area);
    EXPECT_EQ(r.triangles.size(), PointCount(contours) + 2 * (contours.size() - 1) - 2);
    EXPECT_EQ(static_cast<std::size_t>(r.stats.triangles), r.triangles.size());
    EXPECT_FALSE(r.stats.splitLimitReached);
    const auto overlap = test::FindOverlap(r.triangles, axes);
    EXPECT_FALSE(overlap.has_value())
        << "triangles " << overlap->first << " and " << overlap->second << " overlap";
    EXPECT_FALSE(test::FindTriangleOutside(r.triangles, spans, axes).has_value());
    const double orientation = test::SignedArea(contours[0], axes);
    for (const CTriangle& t : r.triangles) {
        EXPECT_GE(test::SignedArea(t, axes) * orientation, 0.0);
    }
}

// Teeth along x rising from a base: many reflex vertices and many equal y coordinates.
Contour Comb(int teeth) {
    Contour c = Xy({{0, 0}, {2.0f * teeth - 1, 0}});
    for (int t = teeth - 1; t >= 0; --t) {
        c.emplace_back(2.0f * t + 1, 5.0f, 0.0f);
        c.emplace_back(2.0f * t, 5.0f, 0.0f);
        if (t > 0) {
            c.emplace_back(2.0f * t, 1.0f, 0.0f);
            c.emplace_back(2.0f * t - 1, 1.0f, 0.0f);
        }
    }
    return c;
}

Contour Swapped(Contour c) {
    for (CVector3& p : c) {
        std::swap(p.x, p.y);
    }
    return c;
}

// Star-shaped around (cx, cy), so always simple; the angles are spread evenly with some jitter
// so that with 12 or more points no edge comes nearer the centre than 0.89 rMin.
Contour Star(std::mt19937& rng, float cx, float cy, float rMin, float rMax, int n) {
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    Contour c;
    for (int i = 0; i < n; ++i) {
        const float a = (static_cast<float>(i) + 0.8f * unit(rng)) * 6.2831853f / n;
        const float r = rMin + (rMax - rMin) * unit(rng);
        c.emplace_back(cx + r * std::cos(a), cy + r * std::sin(a), 0.0f);
    }
    return c;
}

// The model of cutting a convex polygon: each triangle is (v, next, previous) at the remaining
// vertex with the smallest y, the earlier one in input order on ties.
TEST(TriangulateTest, ConvexPolygonIsCutAtTheLowestVertexEachTime) {
    const Contour octagon =
        Xy({{0, -3}, {3, -2}, {4, 0}, {3, 2}, {0, 3}, {-3, 2}, {-4, 0}, {-3, -2}});
    for (const Contour& c : {octagon, Reversed(octagon)}) {
        const test::CTriangulation r = RunTriangulate({c});
        ASSERT_EQ(r.triangles.size(), c.size() - 2);
        std::vector<int> left(c.size());
        for (std::size_t i = 0; i < c.size(); ++i) {
            left[i] = static_cast<int>(i);
        }
        for (const CTriangle& t : r.triangles) {
            const auto lowest = std::min_element(left.begin(), left.end(), [&](int a, int b) {
                return c[a].y < c[b].y || (c[a].y == c[b].y && a < b);
            });
            const std::size_t k = lowest - left.begin();
            const int next = left[(k + 1) % left.size()];
            const int prev = left[(k + left.size() - 1) % left.size()];
            EXPECT_EQ(t.a, c[*lowest]);
            EXPECT_EQ(t.b, c[next]);
            EXPECT_EQ(t.c, c[prev]);
            left.erase(lowest);
        }
        ExpectExactCover({c});
    }
}

TEST(TriangulateTest, ConcavePolygonsAreCoveredExactly) {
    for (const Contour& c :
         {Comb(5), Swapped(Comb(6)), Reversed(Comb(4)), Reversed(Swapped(Comb(3)))}) {
        ExpectExactCover({c});
    }
    const Contour arrow = Xy({{0, 0}, {5, 2}, {10, 0}, {5, 10}});
    ExpectExactCover({arrow});
    ExpectExactCover({Reversed(arrow)});
}

// The lowest vertex's ear holds two vertices. Only the one nearer to it across the ear gives a
// diagonal inside the polygon; the other one's diagonal crosses the edge (0.05, 6)-(2, 2).
TEST(TriangulateTest, SplitTakesTheBlockingVertexWhoseDiagonalStaysInside) {
    const Contour c =
        Xy({{0, 0}, {0, 10}, {3, 12}, {3, 8}, {0.9f, 5}, {0.05f, 6}, {2, 2}, {2, 0.5f}});
    ExpectExactCover({c});
    ExpectExactCover({Reversed(c)});
}

// The first ear (0, 0), (2, 1), (-2, 1) has its far edge level across the sweep, and the tip of
// a notch touches that edge at (0.5, 1). Cutting the ear without a split would leave the tip as
// the next lowest vertex, whose "ear" is the notch outside the polygon.
TEST(TriangulateTest, AVertexOnALevelFarEdgeOfTheEarStillSplits) {
    const Contour c = Xy({{0.5f, 1}, {-1, 3}, {-2, 3}, {-2, 1}, {0, 0}, {2, 1}, {2, 3}, {1, 3}});
    ExpectExactCover({c});
    ExpectExactCover({Reversed(c)});
}

TEST(TriangulateTest, HolesAreJoinedAndLeftEmpty) {
    const Contour outer = Xy({{0, 0}, {10, 0}, {10, 10}, {0, 10}});
    const Contour square = Reversed(Xy({{2, 2}, {4, 2}, {4, 4}, {2, 4}}));
    const Contour triangle = Reversed(Xy({{6, 1}, {9, 5}, {6, 4}}));
    // Comes within 1e-3 of the outer contour's top edge.
    const Contour wedge = Reversed(Xy({{3, 6}, {5, 9.5f}, {1, 10 - 1e-3f}, {2, 4.5f}}));
    ExpectExactCover({outer, square});
    ExpectExactCover({Reversed(outer), Reversed(square)});
    ExpectExactCover({outer, square, triangle, wedge});
}

TEST(TriangulateTest, RandomStarPolygonsWithHolesAreCoveredExactly) {
    std::mt19937 rng(2024);
    // Holes of radius 1.4 around these stay 0.2 inside the outer contour and apart.
    const float centres[4][2] = {{-2, -2}, {-2, 2}, {2, -2}, {2, 2}};
    for (int trial = 0; trial < 150; ++trial) {
        std::vector<Contour> contours = {Star(rng, 0, 0, 5, 10, 12 + trial % 40)};
        const bool clockwise = trial % 2 == 1;
        if (clockwise) {
            contours[0] = Reversed(contours[0]);
        }
        for (const auto& centre : centres) {
            if (rng() % 2 == 0) {
                Contour hole = Star(rng, centre[0], centre[1], 0.3f, 1.4f, 3 + rng() % 12);
                contours.push_back(clockwise ? hole : Reversed(hole));
            }
        }
        SCOPED_TRACE(trial);
        ExpectExactCover(contours);
    }
}

TEST(TriangulateTest, RepeatedPointsDoNotDisturbTheCover) {
    const Contour closedAgain = Xy({{0, 0}, {4, 0}, {4, 4}, {0, 4}, {0, 0}});
    const Contour doubled = Xy({{0, 0}, {4, 0}, {4, 0}, {4, 4}, {0, 4}, {0, 4}});
    for (const Contour& c : {closedAgain, doubled}) {
        const test::CTriangulation r = RunTriangulate({c});
        EXPECT_NEAR(test::TotalArea(r.triangles), 16.0, 1e-12);
        EXPECT_FALSE(test::FindOverlap(r.triangles).has_value());
    }
}

TEST(TriangulateTest, CollinearLeadingVerticesGiveADegenerateTriangleFirst) {
    const Contour c = Xy({{1, 0}, {2, 0}, {2, 2}, {0, 2}, {0, 0}});
    const test::CTriangulation r = RunTriangulate({c});
    ASSERT_EQ(r.triangles.size(), 3u);
    EXPECT_EQ(r.triangles[0].a, c[0]);
    EXPECT_EQ(r.triangles[0].b, c[1]);
    EXPECT_EQ(r.triangles[0].c, c[4]);
    EXPECT_EQ(test::SignedArea(r.triangles[0]), 0.0);
    EXPECT_NEAR(test::TotalArea(r.triangles), 4.0, 1e-12);
    EXPECT_EQ(r.stats.splits, 0);
}

// The first ear is (0, 0), (4, 0), (0, 4) with the far edge x + y = 4.
TEST(TriangulateTest, AVertexOnTheEarEdgeSplitsButOneOnItsCornerDoesNot) {
    const Contour outer = Xy({{0, 0}, {4, 0}, {4, 4}, {0, 4}});
    const Contour onEdge = Reversed(Xy({{2, 2}, {3, 2.5f}, {2.5f, 3}}));
    const test::CTriangulation split = RunTriangulate({outer, onEdge});
    ASSERT_FALSE(split.triangles.empty());
    EXPECT_GE(split.stats.splits, 1);
    EXPECT_FALSE(split.triangles[0].b == outer[1] && split.triangles[0].c == outer[3]);
    ExpectExactCover({outer, onEdge});

    const Contour onCorner = Xy({{0, 4}, {0.5f, 3.9f}, {1, 3.5f}});
    const test::CTriangulation clipped = RunTriangulate({outer, onCorner});
    ASSERT_FALSE(clipped.triangles.empty());
    EXPECT_EQ(clipped.triangles[0].a, outer[0]);
    EXPECT_EQ(clipped.triangles[0].b, outer[1]);
    EXPECT_EQ(clipped.triangles[0].c, outer[3]);
}

TEST(TriangulateTest, PolygonsInOtherPlanesUseTheirOwnCoordinates) {
    // In the plane y = 2, with a hole.
    Contour outer;
    Contour hole;
    for (const auto& p : Xy({{0, 0}, {6, 0}, {6, 5}, {3, 2}, {0, 5}})) {
        outer.emplace_back(p.x, 2.0f, p.y);
    }
    for (const auto& p : Reversed(Xy({{1, 0.5f}, {2, 0.5f}, {1.5f, 1.5f}}))) {
        hole.emplace_back(p.x, 2.0f, p.y);
    }
    ExpectExactCover({outer, hole}, {0, 2});

    // In the plane x = 1, starting with three collinear points that say nothing about the plane.
    const Contour wall = {{1, 0, 0}, {1, 1, 0}, {1, 2, 0}, {1, 2, 2}, {1, 0, 2}};
    ExpectExactCover({wall}, {1, 2});

    // Tilted: z = 0.5 x + 0.25 y; areas compared in the xy projection.
    std::vector<Contour> tilted = {Comb(3),
                                   Reversed(Xy({{0.2f, 0.2f}, {4.5f, 0.5f}, {0.5f, 0.8f}}))};
    for (Contour& c : tilted) {
        for (CVector3& p : c) {
            p.z = 0.5f * p.x + 0.25f * p.y;
        }
    }
    ExpectExactCover(tilted);
}

TEST(TriangulateBadInputTest, MissingOrShortContoursGiveNoTrianglesOrAreIgnored) {
    EXPECT_TRUE(RunTriangulate({}).triangles.empty());
    EXPECT_TRUE(RunTriangulate({Contour{}}).triangles.empty());
    EXPECT_TRUE(RunTriangulate({Xy({{0, 0}, {1, 0}})}).triangles.empty());
    const Contour square = Xy({{0, 0}, {4, 0}, {4, 4}, {0, 4}});
    EXPECT_TRUE(RunTriangulate({Xy({{0, 0}, {1, 0}}), square}).triangles.empty());
    // Holes too short to enclose anything change nothing.
    const test::CTriangulation r =
        RunTriangulate({square, Xy({{1, 1}, {2, 2}}), Xy({{3, 3}}), Contour{}});
    EXPECT_EQ(r.triangles.size(), 2u);
    EXPECT_NEAR(test::TotalArea(r.triangles), 16.0, 1e-12);
}

TEST(TriangulateBadInputTest, NanOrInfiniteCoordinatesGiveNoTriangles) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const Contour square = Xy({{0, 0}, {4, 0}, {4, 4}, {0, 4}});
    Contour withNan = square;
    withNan[2].y = nan;
    Contour holeWithInf = Reversed(Xy({{1, 1}, {2, 1}, {2, 2}}));
    holeWithInf[1].x = -inf;
    Contour zNan = square;
    zNan[0].z = nan;
    EXPECT_TRUE(RunTriangulate({withNan}).triangles.empty());
    EXPECT_TRUE(RunTriangulate({square, holeWithInf}).triangles.empty());
    EXPECT_TRUE(RunTriangulate({zNan}).triangles.empty());
}

// Inputs that are no simple polygon: the call returns, and every triangle delivered used up at
// least one working node, so there are at most N + 2 * splits of them.
void ExpectBoundedResult(const std::vector<Contour>& contours) {
    const test::CTriangulation r = RunTriangulate(contours);
    EXPECT_EQ(static_cast<std::size_t>(r.stats.triangles), r.triangles.size());
    EXPECT_LE(r.triangles.size(), PointCount(contours) + 2 * r.stats.splits);
    for (const CTriangle& t : r.triangles) {
        EXPECT_TRUE(std::isfinite(t.a.x + t.b.y + t.c.z));
    }
}

TEST(TriangulateBadInputTest, DegenerateAndInvalidPolygonsReturn) {
    const Contour line = Xy({{0, 0}, {1, 1}, {2, 2}, {3, 3}, {5, 5}, {4, 4}});
    const test::CTriangulation flat = RunTriangulate({line});
    EXPECT_EQ(test::TotalArea(flat.triangles), 0.0);
    ExpectBoundedResult({line});
    ExpectBoundedResult({Contour(7, CVector3(1, 2, 3))});
    const Contour square = Xy({{0, 0}, {4, 0}, {4, 4}, {0, 4}});
    ExpectBoundedResult({Xy({{0, 0}, {4, 4}, {4, 0}, {0, 4}})});            // bow tie
    ExpectBoundedResult({square, Reversed(Xy({{0, 0}, {2, 1}, {1, 2}}))});  // touching hole
    ExpectBoundedResult({square, Xy({{1, 1}, {3, 1}, {2, 3}})});            // same direction
    ExpectBoundedResult({square, Reversed(Xy({{5, 5}, {7, 5}, {6, 7}}))});  // outside
    ExpectBoundedResult({square, Reversed(Xy({{1, 1}, {3, 1}, {2, 3}})),
                         Reversed(Xy({{1, 2}, {3, 2}, {2, 0.5f}}))});  // overlapping holes
    ExpectBoundedResult({square, Reversed(square)});                   // hole = outer
}

// Five crossing rings of 99 points on a small lattice. A simple polygon with 99 points and 4 holes
// needs at most 99 + 3 * 4 - 3 = 108 diagonals; this tangle asks for far more, so the search is
// given up and the rest is cut off ear by ear.
TEST(TriangulateBadInputTest, TangleNeedingTooManyDiagonalsStopsSearching) {
    const std::vector<Contour> tangle = {
        Xy({{2, 0},   {2, -5}, {-7, 3},  {-6, -4}, {-2, 1},  {-7, 1}, {-5, 1}, {-5, 7},
            {-6, -5}, {4, 2},  {-6, -5}, {4, 3},   {-7, -4}, {3, 0},  {0, 3},  {-5, 7},
            {5, -3},  {-1, 3}, {-2, -6}, {3, -2},  {4, -6},  {-5, -2}}),
        Xy({{-3, 1},
            {-5, -6},
            {5, -1},
            {-1, 7},
            {-2, 6},
            {-1, -4},
            {5, -3},
            {4, -3},
            {-6, -3},
            {-1, 0},
            {4, 7},
            {3, -7},
            {-4, 2},
            {1, 2},
            {-6, -4}}),
        Xy({{2, -2}, {1, 3},  {-4, 6},  {-6, 0}, {5, -4},  {3, 6},  {-4, 4},
            {7, 2},  {-1, 5}, {-4, -1}, {0, -6}, {-6, -2}, {0, 0},  {-5, 7},
            {0, -4}, {-1, 6}, {-7, -6}, {2, 2},  {-2, 4},  {-5, 3}, {-2, 7}}),
        Xy({{-1, -7}, {5, 3},   {-6, 2},  {3, -3},  {0, -1},  {7, 3},  {-5, 5}, {-6, 1},
            {-7, -7}, {-5, -5}, {-3, -2}, {-5, -1}, {-6, -3}, {-3, 2}, {-2, 1}, {-5, 3},
            {-3, 1},  {-5, -2}, {-4, 1},  {-6, 5},  {-2, 7},  {-4, 2}}),
        Xy({{-7, 1},
            {-7, 0},
            {6, -5},
            {4, 5},
            {-1, -1},
            {2, -3},
            {-4, -4},
            {-1, -6},
            {-5, 1},
            {-3, -1},
            {0, -7},
            {1, 2},
            {5, 1},
            {7, -4},
            {7, 4},
            {1, -7},
            {4, 6},
            {-1, 7},
            {-7, 6}})};
    ASSERT_EQ(PointCount(tangle), 99u);
    const test::CTriangulation r = RunTriangulate(tangle);
    EXPECT_TRUE(r.stats.splitLimitReached);
    EXPECT_GT(r.stats.splits, 108);
    ExpectBoundedResult(tangle);
}

TEST(TriangulateBadInputTest, RandomPointSoupsAlwaysReturn) {
    std::mt19937 rng(99);
    std::uniform_int_distribution<int> coordinate(-4, 4);
    for (int trial = 0; trial < 400; ++trial) {
        std::vector<Contour> contours(1 + rng() % 4);
        for (Contour& c : contours) {
            c.resize(rng() % 12);
            for (CVector3& p : c) {
                // A small lattice: many repeated, collinear and crossing points.
                p = {static_cast<float>(coordinate(rng)), static_cast<float>(coordinate(rng)),
                     trial % 3 == 0 ? static_cast<float>(coordinate(rng)) : 0.0f};
            }
        }
        SCOPED_TRACE(trial);
        ExpectBoundedResult(contours);
    }
}

}  // namespace
}  // namespace orva
