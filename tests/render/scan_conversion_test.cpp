#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>
#include <memory>
#include <random>
#include <utility>
#include <vector>

#include "fragment_walk.h"
#include "geometry/matrix4.h"
#include "render/csg/project_point.h"
#include "render/csg/render_mesh.h"
#include "render/csg/render_pools.h"
#include "render/csg/scan_records.h"
#include "render/csg/triangle_chain.h"
#include "render/shading/render_material.h"

namespace orva {
namespace {

// Pixel (c, r) is sampled at the window point (c, r). A surface covers it when the point lies
// inside, with left and top boundaries inclusive and right and bottom ones exclusive.

struct CHit {
    int x = 0;
    int y = 0;
    float depth = 0.0f;
    int orientation = 0;
    CInterpolation values;
};

class CChain {
public:
    explicit CChain(CRenderPools& pools) : pools_(pools) {}
    CScanVertex& Add(float x, float y, float z = 0.0f) {
        CScanVertex* v = pools_.vertices.Acquire();
        v->x = x;
        v->y = y;
        v->z = z;
        *tail_ = v;
        tail_ = &v->link;
        return *v;
    }
    CScanVertex* Take() {
        CScanVertex* head = head_;
        head_ = nullptr;
        tail_ = &head_;
        return head;
    }

private:
    CRenderPools& pools_;
    CScanVertex* head_ = nullptr;
    CScanVertex** tail_ = &head_;
};

// Every fragment of the mesh over the rectangle, walked as the row loop walks it; the fragments
// of a pixel must come front first.
std::vector<CHit> Scan(CRenderPools& pools, CRenderMesh& mesh, CRenderRect r) {
    std::vector<CHit> hits;
    test::WalkFragments(pools, mesh, r, [&](int x, int y, const CFragment& f) {
        if (f.link != nullptr) {
            EXPECT_GE(f.depth, f.link->depth) << "front first at " << x << "," << y;
        }
        hits.push_back({x, y, f.depth, f.orientation, FragmentValues(f, x, mesh.ShadingMode())});
    });
    return hits;
}

std::map<std::pair<int, int>, int> CountPerPixel(const std::vector<CHit>& hits) {
    std::map<std::pair<int, int>, int> counts;
    for (const CHit& h : hits) {
        ++counts[{h.x, h.y}];
    }
    return counts;
}

// Twice the signed area of (a, b, p).
double Cross(double ax, double ay, double bx, double by, double px, double py) {
    return (bx - ax) * (py - ay) - (by - ay) * (px - ax);
}

struct CBary {
    double l0, l1, l2;
};

CBary Barycentric(const float (&p)[3][2], double x, double y) {
    const double area = Cross(p[0][0], p[0][1], p[1][0], p[1][1], p[2][0], p[2][1]);
    return {Cross(p[1][0], p[1][1], p[2][0], p[2][1], x, y) / area,
            Cross(p[2][0], p[2][1], p[0][0], p[0][1], x, y) / area,
            Cross(p[0][0], p[0][1], p[1][0], p[1][1], x, y) / area};
}

// A mesh of the one triangle `p`, each corner at the depth `plane` gives it, for the rows
// firstRow..lastRow.
template <typename Plane>
std::unique_ptr<CRenderMesh> SlopedTriangle(CRenderPools& pools, const float (&p)[3][2],
                                            Plane plane, int firstRow, int lastRow) {
    CChain chain(pools);
    for (const auto& v : p) {
        chain.Add(v[0], v[1], float(plane(v[0], v[1])));
    }
    return BuildMesh(pools, EShading::kPerPixel, chain.Take(), nullptr, firstRow, lastRow);
}

// Every pixel of `r` is covered exactly when expected(x, y) says so, and never twice.
template <typename Inside>
void ExpectCoverage(const std::vector<CHit>& hits, CRenderRect r, Inside inside) {
    const auto counts = CountPerPixel(hits);
    for (const auto& [pixel, count] : counts) {
        EXPECT_GE(pixel.first, r.x0);
        EXPECT_LE(pixel.first, r.x1);
        EXPECT_GE(pixel.second, r.y0);
        EXPECT_LE(pixel.second, r.y1);
    }
    for (int y = r.y0; y <= r.y1; ++y) {
        for (int x = r.x0; x <= r.x1; ++x) {
            const auto it = counts.find({x, y});
            const int count = it == counts.end() ? 0 : it->second;
            EXPECT_EQ(count, inside(x, y) ? 1 : 0) << "pixel " << x << "," << y;
        }
    }
}

// Builds the chain for the rows of `r` and expects the pixels of `r` covered as
// ExpectCoverage says.
template <typename Inside>
void ExpectChainCoverage(CRenderPools& pools, CChain& chain, CRenderRect r, Inside inside) {
    auto mesh = BuildMesh(pools, EShading::kPerPixel, chain.Take(), nullptr, r.y0, r.y1);
    ASSERT_NE(mesh, nullptr);
    ExpectCoverage(Scan(pools, *mesh, r), r, inside);
}

TEST(ProjectPointTest, AppliesTheCombinedMatrixAsARowVector) {
    CMatrix4 m = CMatrix4::Scaling(10.0f, 20.0f, 2.0f);
    m.At(3, 0) = 5.0f;
    m.At(3, 1) = 7.0f;
    m.At(3, 2) = 1.0f;
    const CVector3 p = ProjectPoint({1.0f, 2.0f, 3.0f}, m);
    EXPECT_FLOAT_EQ(p.x, 15.0f);
    EXPECT_FLOAT_EQ(p.y, 47.0f);
    EXPECT_FLOAT_EQ(p.z, 7.0f);
}

TEST(ProjectPointTest, DividesByWOnlyWhenItIsNeitherZeroNorOne) {
    CMatrix4 m;
    m.At(2, 3) = 0.5f;  // w = 0.5 z + 1
    const CVector3 p = ProjectPoint({4.0f, 6.0f, 2.0f}, m);
    EXPECT_FLOAT_EQ(p.x, 2.0f);
    EXPECT_FLOAT_EQ(p.y, 3.0f);
    EXPECT_FLOAT_EQ(p.z, 1.0f);
    const CVector3 q = ProjectPoint({4.0f, 6.0f, -2.0f}, m);  // w = 0: left as it is
    EXPECT_FLOAT_EQ(q.x, 4.0f);
    EXPECT_FLOAT_EQ(q.y, 6.0f);
    EXPECT_FLOAT_EQ(q.z, -2.0f);
}

TEST(ScanConversionTest, ProjectedSquareCoversExactlyThePixelCentresInside) {
    CRenderPools pools;
    CMatrix4 m = CMatrix4::Scaling(10.0f, 10.0f, 1.0f);
    m.At(3, 0) = 1.0f;  // the square lands on 2.5..7.5 by 3.5..8.5
    m.At(3, 1) = 2.0f;
    CChain chain(pools);
    const CVector3 corners[4] = {
        {0.15f, 0.15f, 1}, {0.65f, 0.15f, 1}, {0.65f, 0.65f, 1}, {0.15f, 0.65f, 1}};
    for (int i : {0, 1, 2, 0, 2, 3}) {
        const CVector3 w = ProjectPoint(corners[i], m);
        chain.Add(w.x, w.y, w.z);
    }
    auto mesh = BuildMesh(pools, EShading::kPerPixel, chain.Take(), nullptr, 0, 15);
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(mesh->firstRow, 4);
    EXPECT_EQ(mesh->endRow, 9);
    const CRenderRect r{0, 15, 0, 15};
    std::vector<CHit> hits;
    for (int y = r.y0; y <= r.y1; ++y) {
        AdvanceLeafToRow(*mesh, y, r.x0, r.x1);
        if (y >= 4 && y <= 8) {
            EXPECT_EQ(mesh->leftmostColumn, 3);
            EXPECT_EQ(mesh->rightmostColumn, 8);
        }
        test::TakeRowFragments(pools, *mesh, r.x0, r.x1, [&](int x, const CFragment& f) {
            hits.push_back({x, y, f.depth, f.orientation, {}});
            EXPECT_NEAR(f.depth, 1.0f, 1e-6);
        });
    }
    ExpectCoverage(hits, r,
                   [](double x, double y) { return x >= 2.5 && x < 7.5 && y >= 3.5 && y < 8.5; });
}

TEST(ScanConversionTest, SquaresSplitAlongEitherDiagonalGiveEveryPixelOnce) {
    // Integer corners put pixel centres exactly on the outline and on the shared diagonal.
    for (bool falling : {true, false}) {
        CRenderPools pools;
        CChain chain(pools);
        if (falling) {
            chain.Add(2, 2), chain.Add(12, 2), chain.Add(12, 12);
            chain.Add(2, 2), chain.Add(12, 12), chain.Add(2, 12);
        } else {
            chain.Add(2, 2), chain.Add(12, 2), chain.Add(2, 12);
            chain.Add(12, 2), chain.Add(12, 12), chain.Add(2, 12);
        }
        ExpectChainCoverage(pools, chain, {0, 15, 0, 15},
                            [](int x, int y) { return x >= 2 && x < 12 && y >= 2 && y < 12; });
    }
}

TEST(ScanConversionTest, FanOfTrianglesCoversItsOutlineWithoutGapsOrOverlaps) {
    // An irregular convex hexagon split into six triangles around an inner point: the shared
    // edges start and end mid-triangle, so they are set up at different rows.
    const float outline[6][2] = {{10.3f, 1.7f}, {19.6f, 6.2f}, {18.1f, 16.9f},
                                 {9.2f, 19.4f}, {2.3f, 13.1f}, {3.4f, 4.6f}};
    const float centre[2] = {11.1f, 10.7f};
    CRenderPools pools;
    CChain chain(pools);
    for (int i = 0; i < 6; ++i) {
        const auto& a = outline[i];
        const auto& b = outline[(i + 1) % 6];
        chain.Add(centre[0], centre[1]), chain.Add(a[0], a[1]), chain.Add(b[0], b[1]);
    }
    ExpectChainCoverage(pools, chain, {0, 21, 0, 21}, [&](int x, int y) {
        for (int i = 0; i < 6; ++i) {
            const auto& a = outline[i];
            const auto& b = outline[(i + 1) % 6];
            if (Cross(a[0], a[1], b[0], b[1], x, y) < 0.0) {
                return false;
            }
        }
        return true;
    });
}

TEST(ScanConversionTest, DepthFollowsThePlaneOfASlopedTriangle) {
    auto plane = [](double x, double y) { return 0.5 * x - 0.25 * y + 3.0; };
    const float p[3][2] = {{1.3f, 0.7f}, {28.6f, 9.2f}, {6.1f, 25.4f}};
    CRenderPools pools;
    auto mesh = SlopedTriangle(pools, p, plane, 0, 31);
    ASSERT_NE(mesh, nullptr);
    const auto hits = Scan(pools, *mesh, {0, 31, 0, 31});
    ASSERT_GT(hits.size(), 200u);
    for (const CHit& h : hits) {
        EXPECT_NEAR(h.depth, plane(h.x, h.y), 1e-4) << h.x << "," << h.y;
    }
}

TEST(ScanConversionTest, RowsWithinAThousandthOfARowSnapToIt) {
    // Whether a top just below a row centre counts as on it decides whether the row is drawn.
    for (float top : {9.9995f, 10.0005f, 10.0015f}) {
        CRenderPools local;
        CChain c(local);
        c.Add(0, top), c.Add(8, top), c.Add(0, 14);
        auto m = BuildMesh(local, EShading::kPerPixel, c.Take(), nullptr, 0, 20);
        ASSERT_NE(m, nullptr);
        const auto counts = CountPerPixel(Scan(local, *m, {0, 20, 0, 20}));
        const bool row10 = counts.count({0, 10}) > 0;
        EXPECT_EQ(row10, top < 10.001f) << top;
        EXPECT_EQ(counts.count({0, 11}), 1u) << top;
    }
}

TEST(ScanConversionTest, SpansAreClippedToTheGivenColumnsWithTheirValuesAdvanced) {
    auto plane = [](double x, double y) { return 0.3 * x + 0.1 * y + 1.0; };
    const float p[3][2] = {{-6.5f, 0.5f}, {30.5f, 0.5f}, {12.5f, 20.5f}};
    CRenderPools pools;
    auto mesh = SlopedTriangle(pools, p, plane, 0, 25);
    ASSERT_NE(mesh, nullptr);
    const CRenderRect r{5, 10, 0, 25};
    std::vector<CHit> hits;
    for (int y = r.y0; y <= r.y1; ++y) {
        AdvanceLeafToRow(*mesh, y, r.x0, r.x1);
        if (y >= 1 && y <= 5) {  // rows on which the triangle spans past both sides
            EXPECT_EQ(mesh->leftmostColumn, r.x0) << y;
            EXPECT_EQ(mesh->rightmostColumn, r.x1 + 1) << y;
        }
        test::TakeRowFragments(pools, *mesh, r.x0, r.x1, [&](int x, const CFragment& f) {
            hits.push_back({x, y, f.depth, f.orientation, {}});
            EXPECT_NEAR(f.depth, plane(x, y), 1e-4) << x << "," << y;
        });
    }
    const float(&tri)[3][2] = p;
    ExpectCoverage(hits, r, [&](int x, int y) {
        const CBary b = Barycentric(tri, x, y);
        return y >= 1 && b.l0 >= 0 && b.l1 >= 0 && b.l2 >= 0;
    });
}

TEST(ScanConversionTest, TriangleStartingAboveTheFirstRowIsSteppedToIt) {
    auto plane = [](double x, double y) { return 0.2 * x + 0.4 * y; };
    const float p[3][2] = {{4.3f, 0.4f}, {18.7f, 17.6f}, {1.2f, 15.3f}};
    CRenderPools pools;
    auto mesh = SlopedTriangle(pools, p, plane, 8, 19);
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(mesh->firstRow, 1);  // where the triangle begins, not where the walk does
    const CRenderRect r{0, 19, 8, 19};
    const auto hits = Scan(pools, *mesh, r);
    for (const CHit& h : hits) {
        EXPECT_NEAR(h.depth, plane(h.x, h.y), 1e-4);
    }
    ExpectCoverage(hits, r, [&](int x, int y) {
        const CBary b = Barycentric(p, x, y);
        return b.l0 >= 0 && b.l1 >= 0 && b.l2 >= 0;
    });
}

TEST(ScanConversionTest, VertexColoursInterpolateLinearly) {
    CRenderMaterial material;
    material.baseColour = {0.5f, 0.25f, 1.0f};
    // Diffuse factors 1, 0.8 and 0.6: the colour at a corner is factor times base colour.
    const CVector3 normals[3] = {{0, 0, 1}, {0, 0.6f, 0.8f}, {0.8f, 0, 0.6f}};
    const double light[3] = {1.0, 0.8, 0.6};
    const float p[3][2] = {{2.4f, 1.3f}, {25.7f, 8.8f}, {9.1f, 22.6f}};
    CRenderPools pools;
    CChain chain(pools);
    for (int i = 0; i < 3; ++i) {
        chain.Add(p[i][0], p[i][1], 1.0f).normal = normals[i];
    }
    auto mesh = BuildMesh(pools, EShading::kVertexColours, chain.Take(), &material, 0, 24);
    ASSERT_NE(mesh, nullptr);
    const auto hits = Scan(pools, *mesh, {0, 27, 0, 24});
    ASSERT_GT(hits.size(), 150u);
    for (const CHit& h : hits) {
        const CBary b = Barycentric(p, h.x, h.y);
        const double d = b.l0 * light[0] + b.l1 * light[1] + b.l2 * light[2];
        for (int c = 0; c < 3; ++c) {
            EXPECT_NEAR(h.values.colour[c], d * material.baseColour[c], 1e-4);
        }
        EXPECT_EQ(h.values.material, &material);
    }
}

void SetAttributes(CScanVertex& v, int i) {
    v.u = 0.1f + 0.4f * float(i);
    v.v = 1.0f - 0.3f * float(i * i);
    v.point = {float(i), 2.0f * float(i) - 1.0f, 0.5f};
    v.normal = {0.2f * float(i), 1.0f - 0.5f * float(i), 0.3f};
    v.tangentU = {1.0f, float(i), -float(i)};
    v.tangentV = {float(2 - i), 0.0f, 1.0f};
}

float ExpectedAt(const CBary& b, float a0, float a1, float a2) {
    return float(b.l0 * a0 + b.l1 * a1 + b.l2 * a2);
}

TEST(ScanConversionTest, PerPixelValuesInterpolateLinearlyWhereTheMaterialNeedsThem) {
    const float p[3][2] = {{3.6f, 2.2f}, {22.4f, 6.9f}, {7.7f, 21.3f}};
    for (bool needsAll : {true, false}) {
        CRenderMaterial material;
        material.needsTextureCoordinates = needsAll;
        material.needsSurfacePoint = needsAll;
        material.needsTangents = needsAll;
        CRenderPools pools;
        CChain chain(pools);
        CScanVertex corners[3];
        for (int i = 0; i < 3; ++i) {
            CScanVertex& v = chain.Add(p[i][0], p[i][1], 1.0f);
            SetAttributes(v, i);
            corners[i] = v;
        }
        auto mesh = BuildMesh(pools, EShading::kPerPixel, chain.Take(), &material, 0, 24);
        ASSERT_NE(mesh, nullptr);
        const auto hits = Scan(pools, *mesh, {0, 24, 0, 24});
        ASSERT_GT(hits.size(), 100u);
        for (const CHit& h : hits) {
            const CBary b = Barycentric(p, h.x, h.y);
            auto at = [&](auto field) {
                return ExpectedAt(b, field(corners[0]), field(corners[1]), field(corners[2]));
            };
            const CInterpolation& r = h.values;
            for (int c = 0; c < 3; ++c) {
                EXPECT_NEAR(r.normal[c], at([c](const CScanVertex& v) { return v.normal[c]; }),
                            1e-4);
            }
            if (!needsAll) {
                EXPECT_EQ(r.u, 0.0f);
                EXPECT_EQ(r.v, 0.0f);
                EXPECT_EQ(r.point, CVector3());
                EXPECT_EQ(r.tangentU, CVector3());
                continue;
            }
            EXPECT_NEAR(r.u, at([](const CScanVertex& v) { return v.u; }), 1e-4);
            EXPECT_NEAR(r.v, at([](const CScanVertex& v) { return v.v; }), 1e-4);
            for (int c = 0; c < 3; ++c) {
                EXPECT_NEAR(r.point[c], at([c](const CScanVertex& v) { return v.point[c]; }), 1e-4);
                EXPECT_NEAR(r.tangentU[c], at([c](const CScanVertex& v) { return v.tangentU[c]; }),
                            1e-4);
                EXPECT_NEAR(r.tangentV[c], at([c](const CScanVertex& v) { return v.tangentV[c]; }),
                            1e-4);
            }
        }
    }
}

TEST(ScanConversionTest, TheTwoWindingsGiveOppositeOrientations) {
    for (bool secondOnTheLeft : {true, false}) {
        CRenderPools pools;
        CChain chain(pools);
        chain.Add(10.2f, 0.3f);
        if (secondOnTheLeft) {
            chain.Add(0.4f, 12.6f), chain.Add(19.3f, 12.6f);
        } else {
            chain.Add(19.3f, 12.6f), chain.Add(0.4f, 12.6f);
        }
        auto mesh = BuildMesh(pools, EShading::kPerPixel, chain.Take(), nullptr, 0, 15);
        ASSERT_NE(mesh, nullptr);
        const auto hits = Scan(pools, *mesh, {0, 20, 0, 15});
        ASSERT_FALSE(hits.empty());
        for (const CHit& h : hits) {
            EXPECT_EQ(h.orientation, secondOnTheLeft ? 1 : -1);
        }
    }
}

TEST(ScanConversionTest, OverlappingTrianglesGiveFragmentsFrontFirstWhateverTheirOrder) {
    for (bool nearFirst : {true, false}) {
        CRenderPools pools;
        CChain chain(pools);
        for (float z : nearFirst ? std::vector<float>{5, 2} : std::vector<float>{2, 5}) {
            chain.Add(1.5f, 1.5f, z), chain.Add(12.5f, 1.5f, z), chain.Add(1.5f, 12.5f, z);
        }
        auto mesh = BuildMesh(pools, EShading::kPerPixel, chain.Take(), nullptr, 0, 15);
        ASSERT_NE(mesh, nullptr);
        AdvanceLeafToRow(*mesh, 2, 0, 15);
        for (int x = mesh->leftmostColumn; x <= 11; ++x) {
            CFragment* list = mesh->RawFragments(x);
            ASSERT_NE(list, nullptr);
            ASSERT_NE(list->link, nullptr);
            EXPECT_FLOAT_EQ(list->depth, 5.0f);
            EXPECT_FLOAT_EQ(list->link->depth, 2.0f);
            EXPECT_EQ(list->link->link, nullptr);
            RecycleFragments(pools, list);
        }
    }
}

TEST(ScanConversionTest, TrianglesBetweenRowCentresOrNarrowerThanAColumnShowNothing) {
    CRenderPools pools;
    CChain chain(pools);
    chain.Add(1.5f, 3.2f), chain.Add(9.5f, 3.4f), chain.Add(4.5f, 3.8f);   // between rows 3 and 4
    chain.Add(5.1f, 6.5f), chain.Add(5.8f, 9.5f), chain.Add(5.3f, 12.5f);  // inside column 5..6
    auto mesh = BuildMesh(pools, EShading::kPerPixel, chain.Take(), nullptr, 0, 15);
    ASSERT_NE(mesh, nullptr);
    EXPECT_TRUE(Scan(pools, *mesh, {0, 15, 0, 15}).empty());
    mesh.reset();
    EXPECT_EQ(pools.vertices.LiveCount(), 0u);
}

TEST(ScanConversionTest, ALeftEdgeOnAColumnIncludesItAndARightEdgeExcludesIt) {
    CRenderPools pools;
    CChain chain(pools);
    chain.Add(5, 0.5f), chain.Add(5, 6.5f), chain.Add(9, 0.5f);
    chain.Add(9, 0.5f), chain.Add(5, 6.5f), chain.Add(9, 6.5f);
    ExpectChainCoverage(pools, chain, {0, 15, 0, 9},
                        [](int x, int y) { return x >= 5 && x < 9 && y >= 1 && y <= 6; });
}

TEST(ScanConversionTest, TrianglesWithNonFiniteCoordinatesAreDropped) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    CRenderPools pools;
    CChain chain(pools);
    chain.Add(0, nan), chain.Add(10, 10), chain.Add(0, 10);
    chain.Add(2.5f, 2.5f), chain.Add(8.5f, 2.5f), chain.Add(2.5f, 8.5f);
    chain.Add(1, 1), chain.Add(inf, 5), chain.Add(1, 9);
    chain.Add(1, 1), chain.Add(9, 5), chain.Add(1, 9, -inf);
    chain.Add(3, 3), chain.Add(4, 4);  // an unfinished triangle
    auto mesh = BuildMesh(pools, EShading::kPerPixel, chain.Take(), nullptr, 0, 15);
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(pools.vertices.LiveCount(), 0u);  // the mesh keeps copies
    const CRenderRect r{0, 15, 0, 15};
    ExpectCoverage(Scan(pools, *mesh, r), r,
                   [](int x, int y) { return x >= 3 && y >= 3 && x + y <= 10; });

    CChain bad(pools);
    bad.Add(nan, nan), bad.Add(nan, 1), bad.Add(1, nan);
    EXPECT_EQ(BuildMesh(pools, EShading::kPerPixel, bad.Take(), nullptr, 0, 15), nullptr);
    mesh.reset();
    EXPECT_EQ(pools.vertices.LiveCount(), 0u);
}

TEST(ScanConversionTest, HugeTrianglesStayWithinTheRectangleAndTheirRecords) {
    const CRenderRect r{0, 63, 0, 47};
    {
        // Covers the whole rectangle: every pixel once, at the triangle's depth.
        CRenderPools pools;
        CChain chain(pools);
        chain.Add(-1e30f, -1e30f, 2), chain.Add(1e30f, 32, 2), chain.Add(-1e30f, 1e30f, 2);
        auto mesh = BuildMesh(pools, EShading::kPerPixel, chain.Take(), nullptr, r.y0, r.y1);
        ASSERT_NE(mesh, nullptr);
        EXPECT_LE(mesh->firstRow, r.y0);
        EXPECT_GE(mesh->endRow, r.y1 + 1);
        const auto hits = Scan(pools, *mesh, r);
        ExpectCoverage(hits, r, [](int, int) { return true; });
        for (const CHit& h : hits) {
            EXPECT_FLOAT_EQ(h.depth, 2.0f);
        }
        EXPECT_LE(pools.edges.BlockCount(), 1u);
        EXPECT_LE(pools.spans.BlockCount(), 1u);
        EXPECT_LE(pools.fragments.BlockCount(), 1u);
    }
    {
        // Differences beyond float range: whatever shows, it shows inside and at most once.
        CRenderPools pools;
        CChain chain(pools);
        chain.Add(-3e38f, -3e38f, 3e38f), chain.Add(3e38f, 20, -3e38f);
        chain.Add(-3e38f, 3e38f, 1);
        chain.Add(3e38f, -3e38f, 1), chain.Add(-3e38f, -3e38f, 1), chain.Add(5, 3e38f, 1);
        auto mesh = BuildMesh(pools, EShading::kPerPixel, chain.Take(), nullptr, r.y0, r.y1);
        ASSERT_NE(mesh, nullptr);
        const auto hits = Scan(pools, *mesh, r);
        for (const auto& [pixel, count] : CountPerPixel(hits)) {
            EXPECT_LE(count, 2);
            EXPECT_TRUE(pixel.first >= r.x0 && pixel.first <= r.x1);
            EXPECT_TRUE(pixel.second >= r.y0 && pixel.second <= r.y1);
        }
        for (const CHit& h : hits) {
            EXPECT_TRUE(std::isfinite(h.depth));
        }
        EXPECT_LE(pools.spans.BlockCount(), 1u);
    }
}

// A part of the picture must equal the same part of the whole picture, bit for bit: the bands
// of several threads and repainted rectangles are fitted into pictures made whole.
TEST(ScanConversionTest, APartStartedAnywhereEqualsThatPartOfTheWhole) {
    CRenderMaterial material;
    material.needsTextureCoordinates = true;
    material.needsSurfacePoint = true;
    const float p[6][3] = {{3.3f, 0.4f, 1.7f},   {41.7f, 19.6f, -2.1f}, {7.2f, 37.3f, 0.3f},
                           {40.1f, 2.2f, -1.1f}, {9.9f, 30.8f, 2.9f},   {44.6f, 35.5f, 0.6f}};
    auto walk = [&](CRenderRect r) {
        CRenderPools pools;
        CChain chain(pools);
        for (int i = 0; i < 6; ++i) {
            CScanVertex& v = chain.Add(p[i][0], p[i][1], p[i][2]);
            v.u = 0.1f * i;
            v.v = 1.0f - 0.07f * i;
            v.normal = {0.1f * i, 0.3f, 1.0f};
            v.point = {p[i][0] * 0.5f, -p[i][1], 7.0f};
        }
        auto mesh = BuildMesh(pools, EShading::kPerPixel, chain.Take(), &material, r.y0, r.y1);
        EXPECT_NE(mesh, nullptr);
        std::map<std::pair<int, int>, std::vector<CHit>> byPixel;
        for (CHit& h : Scan(pools, *mesh, r)) {
            byPixel[{h.x, h.y}].push_back(h);
        }
        return byPixel;
    };
    const auto whole = walk({0, 47, 0, 39});
    const auto part = walk({13, 30, 17, 33});
    ASSERT_FALSE(part.empty());
    for (const auto& [pixel, hits] : part) {
        const auto it = whole.find(pixel);
        ASSERT_NE(it, whole.end());
        ASSERT_EQ(hits.size(), it->second.size());
        for (std::size_t i = 0; i < hits.size(); ++i) {
            const CHit& a = hits[i];
            const CHit& b = it->second[i];
            EXPECT_EQ(a.depth, b.depth);
            EXPECT_EQ(a.orientation, b.orientation);
            EXPECT_EQ(a.values.u, b.values.u);
            EXPECT_EQ(a.values.v, b.values.v);
            EXPECT_EQ(a.values.normal, b.values.normal);
            EXPECT_EQ(a.values.point, b.values.point);
        }
    }
    for (const auto& [pixel, hits] : whole) {
        const bool inside =
            pixel.first >= 13 && pixel.first <= 30 && pixel.second >= 17 && pixel.second <= 33;
        EXPECT_EQ(part.count(pixel), inside ? 1u : 0u);
    }
}

TEST(ScanConversionTest, TrianglesOutsideTheRowsAreDroppedAtOnce) {
    CRenderPools pools;
    CChain chain(pools);
    chain.Add(1, -30), chain.Add(9, -20), chain.Add(1, 0);  // ends on the first row
    chain.Add(1, 50.5f), chain.Add(9, 60), chain.Add(1, 70);
    EXPECT_EQ(BuildMesh(pools, EShading::kPerPixel, chain.Take(), nullptr, 0, 50), nullptr);
    EXPECT_EQ(pools.vertices.LiveCount(), 0u);
}

TEST(CellPoolTest, GrowsByWholeBlocksAndReusesRecycledCells) {
    CCellPool<CFragment, 1024> pool;
    std::vector<CFragment*> taken;
    for (int i = 0; i < 1025; ++i) {
        taken.push_back(pool.Acquire());
    }
    EXPECT_EQ(pool.BlockCount(), 2u);
    EXPECT_EQ(pool.LiveCount(), 1025u);
    for (CFragment* f : taken) {
        f->depth = 7.0f;
        pool.Recycle(f);
    }
    EXPECT_EQ(pool.LiveCount(), 0u);
    for (int i = 0; i < 2048; ++i) {
        CFragment* f = pool.Acquire();
        EXPECT_EQ(f->depth, 0.0f);  // handed out fresh, not with old contents
    }
    EXPECT_EQ(pool.BlockCount(), 2u);
    pool.Release();
    EXPECT_EQ(pool.BlockCount(), 0u);
    EXPECT_EQ(pool.LiveCount(), 0u);
}

TEST(ScanConversionTest, RepeatedRendersReuseTheSameBlocks) {
    CRenderPools pools;
    std::size_t blocks[4] = {};
    for (int cycle = 0; cycle < 5; ++cycle) {
        CChain chain(pools);
        for (int i = 0; i < 600; ++i) {
            const float x = float(i % 40) * 1.5f;
            const float y = float(i / 40) * 3.1f;
            chain.Add(x, y, 1), chain.Add(x + 7.3f, y + 2.2f, 2), chain.Add(x + 1.1f, y + 9.7f);
        }
        auto mesh = BuildMesh(pools, EShading::kPerPixel, chain.Take(), nullptr, 0, 63);
        ASSERT_NE(mesh, nullptr);
        EXPECT_FALSE(Scan(pools, *mesh, {0, 63, 0, 63}).empty());
        mesh.reset();
        EXPECT_EQ(pools.vertices.LiveCount(), 0u);
        EXPECT_EQ(pools.edges.LiveCount(), 0u);
        EXPECT_EQ(pools.spans.LiveCount(), 0u);
        EXPECT_EQ(pools.fragments.LiveCount(), 0u);
        const std::size_t now[4] = {pools.vertices.BlockCount(), pools.edges.BlockCount(),
                                    pools.spans.BlockCount(), pools.fragments.BlockCount()};
        for (int k = 0; k < 4; ++k) {
            EXPECT_GT(now[k], 0u);
            if (cycle > 0) {
                EXPECT_EQ(now[k], blocks[k]) << "pool " << k << " cycle " << cycle;
            }
            blocks[k] = now[k];
        }
    }
    pools.Release();
    EXPECT_EQ(pools.vertices.BlockCount() + pools.edges.BlockCount() + pools.spans.BlockCount() +
                  pools.fragments.BlockCount(),
              0u);
}

}  // namespace
}  // namespace orva

namespace orva {
namespace {

// A mesh whose triangles share their vertices walks exactly like the same triangles each with
// copies of their corners: same rows, same fragments in the same order at the same depths, over
// random jittered grids (shared edges, snapped rows, far-off and degenerate corners) and bands.
TEST(SharedVerticesTest, WalkLikeCopiedCorners) {
    std::mt19937 random(11);
    std::uniform_real_distribution<float> jitter(-0.6f, 0.6f);
    for (int trial = 0; trial < 60; ++trial) {
        const int rows = 6;
        const int cols = 7;
        std::vector<CScanVertex> vertices;
        for (int i = 0; i < rows * cols; ++i) {
            CScanVertex v;
            v.x = float(i % cols) * 5.0f + jitter(random);
            v.y = float(i / cols) * 4.0f + (trial % 3 == 0 ? 0.0f : jitter(random));
            v.z = jitter(random) * 10.0f;
            vertices.push_back(v);
        }
        vertices[std::size_t(trial) % vertices.size()].y += trial % 4 == 0 ? 1e9f : 0.0f;
        std::vector<uint32_t> corners;
        for (int i = 0; i + 1 < rows; ++i) {
            for (int j = 0; j + 1 < cols; ++j) {
                const auto k = static_cast<uint32_t>(i * cols + j);
                corners.insert(corners.end(), {k, k + cols, k + cols + 1, k, k + cols + 1, k + 1});
            }
        }
        corners.insert(corners.end(), {0, 1, 9999});  // names a vertex that is not there: left out
        const CRenderRect band{-3, 40, trial % 9, 10 + trial % 13};
        CRenderPools pools;
        CTriangleChain chain(pools);
        for (std::size_t k = 0; k + 5 < corners.size(); k += 3) {
            chain.Add(vertices[corners[k]], vertices[corners[k + 1]], vertices[corners[k + 2]]);
        }
        auto copied =
            BuildMesh(pools, EShading::kPerPixel, chain.Take(), nullptr, band.y0, band.y1);
        auto shared = BuildSharedMesh(pools, EShading::kPerPixel, vertices, corners, nullptr,
                                      band.y0, band.y1);
        ASSERT_EQ(copied == nullptr, shared == nullptr) << trial;
        if (copied == nullptr) {
            continue;
        }
        EXPECT_EQ(copied->firstRow, shared->firstRow);
        EXPECT_EQ(copied->endRow, shared->endRow);
        const std::vector<CHit> expected = Scan(pools, *copied, band);
        const std::vector<CHit> actual = Scan(pools, *shared, band);
        ASSERT_FALSE(expected.empty()) << trial;
        ASSERT_EQ(expected.size(), actual.size()) << trial;
        for (std::size_t h = 0; h < expected.size(); ++h) {
            const CHit& e = expected[h];
            const CHit& a = actual[h];
            ASSERT_TRUE(e.x == a.x && e.y == a.y && e.depth == a.depth &&
                        e.orientation == a.orientation)
                << trial << " hit " << h;
        }
    }
}

}  // namespace
}  // namespace orva

namespace orva {
namespace {

// A leaf may be asked for any rising columns: over random scattered triangles (gaps within rows,
// spans of one column, overlaps), a mesh asked at random columns, and never before its next
// span column, gives at each the fragments of a twin asked at every column; the twin has none
// where the mesh's next span column passed it over.
TEST(SharedVerticesTest, AnyRisingColumnsGiveTheFragmentsOfEveryColumn) {
    std::mt19937 random(5);
    std::uniform_real_distribution<float> place(-4.0f, 60.0f);
    std::uniform_real_distribution<float> size(0.2f, 9.0f);
    std::bernoulli_distribution coin(0.6);
    for (int trial = 0; trial < 40; ++trial) {
        std::vector<CScanVertex> vertices;
        std::vector<uint32_t> corners;
        for (int t = 0; t < 12; ++t) {
            const float x = place(random);
            const float y = place(random) * 0.5f;
            const float s = size(random);
            for (const auto& [dx, dy] : {std::pair{0.0f, 0.0f}, {s, s * 0.7f}, {-s * 0.3f, s}}) {
                CScanVertex v;
                v.x = x + dx;
                v.y = y + dy;
                v.z = place(random);
                corners.push_back(uint32_t(vertices.size()));
                vertices.push_back(v);
            }
        }
        const CRenderRect band{0, 50, 0, 30};
        CRenderPools pools;
        auto asked = BuildSharedMesh(pools, EShading::kPerPixel, vertices, corners, nullptr,
                                     band.y0, band.y1);
        auto everyColumn = BuildSharedMesh(pools, EShading::kPerPixel, vertices, corners, nullptr,
                                           band.y0, band.y1);
        ASSERT_NE(asked, nullptr);
        int passedOver = 0;
        for (int y = std::max(band.y0, asked->firstRow); y <= band.y1; ++y) {
            AdvanceLeafToRow(*asked, y, band.x0, band.x1);
            AdvanceLeafToRow(*everyColumn, y, band.x0, band.x1);
            for (int x = std::max(band.x0, asked->leftmostColumn); x <= band.x1; ++x) {
                CFragment* expected = everyColumn->RawFragments(x);
                CFragment* actual = nullptr;
                if (x < asked->nextSpanColumn) {
                    ++passedOver;
                } else if (coin(random)) {
                    actual = asked->RawFragments(x);
                } else {
                    RecycleFragments(pools, expected);
                    continue;
                }
                for (CFragment *e = expected, *a = actual; e != nullptr || a != nullptr;
                     e = e->link, a = a->link) {
                    ASSERT_TRUE(e != nullptr && a != nullptr && e->depth == a->depth &&
                                e->orientation == a->orientation)
                        << trial << " at " << x << "," << y;
                }
                RecycleFragments(pools, expected);
                RecycleFragments(pools, actual);
            }
        }
        EXPECT_GT(passedOver, 0) << trial;
    }
}

}  // namespace
}  // namespace orva
