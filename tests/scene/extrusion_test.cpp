#include <gtest/gtest.h>

#include <cmath>

#include "object_bounds.h"
#include "recording_drawer.h"
#include "scene/curve.h"
#include "scene/extrusion.h"
#include "scene/extrusion_generator.h"
#include "scene/surface.h"
#include "scene_bytes.h"

namespace orva {
namespace {

using test::json;

const json kSquare = {{0, 0, 0}, {2, 0, 0}, {2, 2, 0}, {0, 2, 0}};

// Reads an extrusion back from a scene file, so generation runs as it does for the user.
std::unique_ptr<CExtrusion> ReadExtrusion(json description) {
    description["type"] = "extrusion";
    test::CReadResult r = test::ReadScene(test::SceneBytes(json::array({description})));
    if (r.count != 1) {
        return nullptr;
    }
    return std::unique_ptr<CExtrusion>(static_cast<CExtrusion*>(r.objects.Release()));
}

std::vector<const CSurface*> Surfaces(const CExtrusion& e) {
    std::vector<const CSurface*> list;
    for (const CSceneObject* s = e.surfaces.first; s != nullptr; s = s->next) {
        list.push_back(static_cast<const CSurface*>(s));
    }
    return list;
}

std::vector<const CCurve*> Curves(const CExtrusion& e) {
    std::vector<const CCurve*> list;
    for (const CSceneObject* c = e.curves.first; c != nullptr; c = c->next) {
        list.push_back(static_cast<const CCurve*>(c));
    }
    return list;
}

// The rows of a surface's net along the extrusion axis.
std::vector<float> RowHeights(const CSurface& s, int axis) {
    std::vector<float> heights;
    for (int r = 0; r < s.nu; ++r) {
        heights.push_back(s.NetPoint(r, 0)[axis]);
    }
    return heights;
}

TEST(ExtrusionTest, SquareWithoutBevelsGivesOneWallAndTwoOutlines) {
    auto e = ReadExtrusion({{"depth", 2}, {"profiles", {{{"points", kSquare}, {"steps", 5}}}}});
    ASSERT_NE(e, nullptr);
    const auto walls = Surfaces(*e);
    ASSERT_EQ(walls.size(), 1u);
    const CSurface& wall = *walls[0];
    EXPECT_EQ(wall.nu, 2);
    EXPECT_EQ(wall.nv, 4);
    EXPECT_EQ(wall.v.closed, 1);
    EXPECT_EQ(wall.u.stepsPerSpan, 0);
    EXPECT_EQ(wall.v.stepsPerSpan, 5);
    EXPECT_EQ(RowHeights(wall, 2), (std::vector<float>{0, 2}));
    EXPECT_EQ(wall.NetPoint(1, 2), CVector3(2, 2, 2));
    const auto outlines = Curves(*e);
    ASSERT_EQ(outlines.size(), 2u);
    EXPECT_EQ(outlines[0]->points[1], CVector3(2, 0, 0));
    EXPECT_EQ(outlines[1]->points[1], CVector3(2, 0, 2));
    EXPECT_EQ(outlines[1]->closed, 1);
    EXPECT_EQ(outlines[1]->stepsPerSpan, 5);
    // Identity placement: determinant positive, so the surfaces face -1.
    EXPECT_EQ(wall.orientation, -1);
}

TEST(ExtrusionTest, AxisOneRunsHeightsTheNegativeWay) {
    const json profile = {{0, 0, 0}, {2, 0, 0}, {2, 0, 2}, {0, 0, 2}};
    auto e =
        ReadExtrusion({{"axes", {0, 2, 1}}, {"depth", 3}, {"profiles", {{{"points", profile}}}}});
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(RowHeights(*Surfaces(*e)[0], 1), (std::vector<float>{0, -3}));
    EXPECT_EQ(Curves(*e)[1]->points[2], CVector3(2, -3, 2));
}

TEST(ExtrusionTest, RoundedBevelsGiveWallThenBottomThenTopWithOutlinesOnTheProfile) {
    auto e = ReadExtrusion({{"depth", 2},
                            {"topBevel", 1},
                            {"bottomBevel", 1},
                            {"bevelSize", 0.5},
                            {"profiles", {{{"points", kSquare}}}}});
    ASSERT_NE(e, nullptr);
    const auto bands = Surfaces(*e);
    ASSERT_EQ(bands.size(), 3u);
    EXPECT_EQ(RowHeights(*bands[0], 2),
              (std::vector<float>{0.5f, 2.5f}));  // wall between the bevels
    EXPECT_EQ(bands[1]->nu, 5);
    EXPECT_EQ(bands[1]->u.stepsPerSpan, 4);
    EXPECT_EQ(RowHeights(*bands[1], 2), (std::vector<float>{0, 0, 0.125f, 0.375f, 0.5f}));
    EXPECT_EQ(RowHeights(*bands[2], 2), (std::vector<float>{2.5f, 2.625f, 2.875f, 3, 3}));
    // The bands run from the profile as stored to the offset profile (and back up top).
    EXPECT_EQ(bands[1]->NetPoint(0, 1), CVector3(2, 0, 0));
    EXPECT_EQ(bands[2]->NetPoint(4, 1), CVector3(2, 0, 3));
    const auto outlines = Curves(*e);
    EXPECT_EQ(outlines[0]->points[2], CVector3(2, 2, 0));
    EXPECT_EQ(outlines[1]->points[2], CVector3(2, 2, 3));
    EXPECT_EQ(e->bevelSize, 0.5f);
}

TEST(ExtrusionTest, ChamferBandsHaveTwoRows) {
    auto e = ReadExtrusion({{"depth", 1},
                            {"topBevel", 2},
                            {"bevelSize", 0.25},
                            {"profiles", {{{"points", kSquare}}}}});
    ASSERT_NE(e, nullptr);
    const auto bands = Surfaces(*e);
    ASSERT_EQ(bands.size(), 2u);  // wall and top bevel only
    EXPECT_EQ(bands[1]->nu, 2);
    EXPECT_EQ(bands[1]->u.stepsPerSpan, 0);
    EXPECT_EQ(RowHeights(*bands[1], 2), (std::vector<float>{1, 1.25f}));
    EXPECT_EQ(RowHeights(*bands[0], 2), (std::vector<float>{0, 1}));
    // The bottom outline is the offset profile (no bottom bevel), the top one the profile.
    EXPECT_NE(Curves(*e)[0]->points[1], CVector3(2, 0, 0));
    EXPECT_EQ(Curves(*e)[1]->points[1], CVector3(2, 0, 1.25f));
}

TEST(ExtrusionTest, TinyBevelCountsAsNoneAndTinyDepthMakesNoWall) {
    auto e = ReadExtrusion({{"depth", 2},
                            {"topBevel", 1},
                            {"bottomBevel", 1},
                            {"bevelSize", 0.0005},
                            {"profiles", {{{"points", kSquare}}}}});
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(Surfaces(*e).size(), 1u);
    EXPECT_EQ(e->bevelSize, 0.0f);
    EXPECT_EQ(Curves(*e)[1]->points[1], CVector3(2, 0, 2));

    auto flat = ReadExtrusion({{"depth", 0.0005},
                               {"bottomBevel", 2},
                               {"bevelSize", 0.5},
                               {"profiles", {{{"points", kSquare}}}}});
    ASSERT_NE(flat, nullptr);
    EXPECT_EQ(Surfaces(*flat).size(), 1u);  // the bottom bevel only
    EXPECT_EQ(Surfaces(*flat)[0]->nu, 2);
}

TEST(ExtrusionTest, MirroredPlacementTurnsTheSurfacesAround) {
    auto e = ReadExtrusion({{"depth", 1},
                            {"placement", test::MatrixJson(CMatrix4::Scaling(-1, 1, 1))},
                            {"profiles", {{{"points", kSquare}}}}});
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(Surfaces(*e)[0]->orientation, 1);
}

TEST(ExtrusionTest, BoundsAreTheSurfacesUnderPlacementAndMatrix) {
    auto e =
        ReadExtrusion({{"depth", 2},
                       {"placement", test::MatrixJson(CMatrix4::Translation(CVector3(10, 0, 0)))},
                       {"profiles", {{{"points", kSquare}}}}});
    ASSERT_NE(e, nullptr);
    const test::CBounds bounds = test::BoundsOf(*e, CMatrix4::Scaling(2, 2, 2));
    EXPECT_EQ(bounds.min, CVector3(20, 0, 0));
    EXPECT_EQ(bounds.max, CVector3(24, 4, 4));
}

TEST(ExtrusionTest, DrawShowsOutlinesOnlyInTheFastWireframe) {
    auto e =
        ReadExtrusion({{"depth", 2},
                       {"placement", test::MatrixJson(CMatrix4::Translation(CVector3(0, 0, 4)))},
                       {"profiles", {{{"points", kSquare}}}}});
    ASSERT_NE(e, nullptr);
    test::CRecordingDrawer fast;
    e->Draw(fast, kModeFastWireframe);
    EXPECT_EQ(fast.calls, (std::vector<std::string>{"curve 10", "curve 10"}));
    test::CRecordingDrawer wire;
    e->Draw(wire, kModeWireframe);
    EXPECT_EQ(wire.calls, (std::vector<std::string>{"curve 10", "curve 10", "surface 10"}));
    EXPECT_EQ(wire.matrices[0][14], 4.0f);        // drawn under the placement
    EXPECT_EQ(wire.model, CMatrix4::Identity());  // and the matrix restored after
    test::CRecordingDrawer shaded;
    e->Draw(shaded, kModeShaded);
    EXPECT_EQ(shaded.calls.back(), "surface 100");
}

TEST(ExtrusionTest, BadProfileDataGeneratesNothing) {
    for (const json& axes : {json{0, 1, 3}, json{-1, 1, 2}}) {
        auto e =
            ReadExtrusion({{"axes", axes}, {"depth", 2}, {"profiles", {{{"points", kSquare}}}}});
        ASSERT_NE(e, nullptr);
        EXPECT_TRUE(e->surfaces.Empty());
        EXPECT_TRUE(e->curves.Empty());
        EXPECT_TRUE(test::BoundsOf(*e, CMatrix4::Identity()).Empty());
    }
    auto none = ReadExtrusion({{"depth", 2}, {"profiles", json::array()}});
    ASSERT_NE(none, nullptr);
    EXPECT_TRUE(none->surfaces.Empty());

    CExtrusion negative;
    negative.depth = 1;
    negative.pointCounts = {-2, 6};
    negative.stepsPerSpan = {8, 8};
    negative.profilePoints.resize(4);
    GenerateExtrusion(negative);
    EXPECT_TRUE(negative.surfaces.Empty());
}

// The working matrix of a profile in the x-y plane extruded along +z.
CMatrix4 XYWorking() {
    return CMatrix4::Identity();
}

float Distance(CVector3 a, CVector3 b) {
    return Length(a - b);
}

TEST(OffsetProfileTest, RepeatedPointMarksASharpCorner) {
    const CVector3 square[] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {1, 1, 0}, {0, 1, 0}};
    const std::vector<CVector3> q = OffsetProfile(square, 5, 0.1f, XYWorking());
    ASSERT_EQ(q.size(), 5u);
    EXPECT_EQ(q[2], q[3]);  // one vertex, one offset point for both copies
    EXPECT_NEAR(Distance(q[2], square[2]), 0.1f * std::sqrt(2.0f), 1e-6f);
    // Along the bisector: equal moves in x and y.
    EXPECT_NEAR(std::fabs(q[2].x - 1), std::fabs(q[2].y - 1), 1e-6f);
    // A right angle between single points moves by 1.5 times the distance.
    EXPECT_NEAR(Distance(q[1], square[1]), 0.15f, 1e-6f);
}

TEST(OffsetProfileTest, ClosingRepeatTakesTheFirstOffsetPointAndTheCornerIsSharp) {
    const CVector3 square[] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0, 0, 0}};
    const std::vector<CVector3> q = OffsetProfile(square, 5, 0.1f, XYWorking());
    EXPECT_EQ(q[4], q[0]);
    EXPECT_NEAR(Distance(q[0], square[0]), 0.1f * std::sqrt(2.0f), 1e-6f);
    EXPECT_NEAR(Distance(q[2], square[2]), 0.15f, 1e-6f);
}

TEST(OffsetProfileTest, StraightRunsMoveByTheDistanceAndAllPointsMoveToTheSameSide) {
    const CVector3 line[] = {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {2, 2, 0}, {0, 2, 0}};
    const std::vector<CVector3> q = OffsetProfile(line, 5, 0.2f, XYWorking());
    EXPECT_NEAR(Distance(q[1], line[1]), 0.2f, 1e-6f);
    EXPECT_NEAR(q[1].x, 1.0f, 1e-6f);
    // Counter-clockwise square with the extrusion along +z: the offset goes outward.
    EXPECT_LT(q[1].y, 0.0f);
    EXPECT_GT(q[3].x, 2.0f);
}

TEST(OffsetProfileTest, ProfileDoublingBackIsClampedAndDegenerateProfilesStayFinite) {
    // A spike: at its tip the directions are opposite (c = -1, clamped to -0.866).
    const CVector3 spike[] = {{0, 0, 0}, {1, 0, 0}, {0, 0.001f, 0}};
    const std::vector<CVector3> q = OffsetProfile(spike, 3, 0.1f, XYWorking());
    const float c = -0.866f;
    EXPECT_NEAR(Distance(q[1], spike[1]), 0.1f * 3.0f / (c + 2.0f), 1e-4f);

    const CVector3 single[] = {{1, 1, 1}, {1, 1, 1}};
    for (const CVector3& p : OffsetProfile(single, 2, 0.5f, XYWorking())) {
        EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z));
    }
    EXPECT_TRUE(OffsetProfile(single, 0, 0.5f, XYWorking()).empty());
}

}  // namespace
}  // namespace orva
