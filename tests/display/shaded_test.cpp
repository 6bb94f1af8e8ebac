#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "display/object_parts.h"
#include "display/polygon_faces.h"
#include "display/tessellation_cache.h"
#include "display_fixture.h"
#include "mesh_shapes.h"
#include "scene/extrusion.h"
#include "scene/extrusion_generator.h"
#include "scene/gem.h"
#include "scene/gem_library.h"
#include "scene/group.h"
#include "scene/object_list.h"
#include "scene_writer.h"
#include "view/display_colours.h"

namespace orva::test {
namespace {

using ShadedTest = DisplayTest;

const uint32_t kRed = g_colourTable[19];     // colour index 13
const uint32_t kGreen = g_colourTable[17];   // colour index 11
const uint32_t kDefault = g_colourTable[6];  // colour index 0

// A square facing the viewer (see the frame tests), at model depth y.
std::unique_ptr<CPolyMesh> Square(int x0, int y0, int x1, int y1, float depth = 0.0f) {
    return MakeMesh({AtPixel(x0, y1, depth), AtPixel(x1, y1, depth), AtPixel(x1, y0, depth),
                     AtPixel(x0, y0, depth)},
                    {{0, 1, 2, 3}});
}

TEST_F(ShadedTest, NearerOfTwoOverlappingSurfacesWinsWhicheverIsDrawnFirst) {
    // Orientation +1 turns these nets' normals to the viewer (cross(Du, Dv) with u down the
    // picture and v across it); smaller y is nearer the viewer of standard view 1.
    for (const bool nearFirst : {false, true}) {
        scene.Clear();
        auto nearSurface = MakeFlatSurface(40, 40, 120, 120, -5.0f, 1);
        nearSurface->colourIndex = 13;
        auto farSurface = MakeFlatSurface(80, 80, 160, 160, 5.0f, 1);
        farSurface->colourIndex = 11;
        if (nearFirst) {
            Add(std::move(nearSurface)), Add(std::move(farSurface));
        } else {
            Add(std::move(farSurface)), Add(std::move(nearSurface));
        }
        Draw(kModeShaded);
        EXPECT_TRUE(SameColour(Pixel(100, 100), LitColour(kRed, 1.0f)))
            << nearFirst << ColourText(Pixel(100, 100));
        EXPECT_TRUE(SameColour(Pixel(60, 60), LitColour(kRed, 1.0f))) << nearFirst;
        EXPECT_TRUE(SameColour(Pixel(140, 140), LitColour(kGreen, 1.0f))) << nearFirst;
    }
}

TEST_F(ShadedTest, OppositeOrientationsLightOppositeSides) {
    CSurface* facing = Add(MakeFlatSurface(20, 60, 90, 140, 0.0f, 1));
    CSurface* turned = Add(MakeFlatSurface(110, 60, 180, 140, 0.0f, -1));
    Draw(kModeShaded);
    // Lighting is one-sided: a surface whose normals face away shows only the ambient light.
    EXPECT_TRUE(SameColour(Pixel(55, 100), LitColour(kDefault, 1.0f)))
        << ColourText(Pixel(55, 100));
    EXPECT_TRUE(SameColour(Pixel(145, 100), LitColour(kDefault, 0.0f)))
        << ColourText(Pixel(145, 100));
    facing->orientation = -1;
    turned->orientation = 1;
    Draw(kModeShaded);
    EXPECT_TRUE(SameColour(Pixel(55, 100), LitColour(kDefault, 0.0f)));
    EXPECT_TRUE(SameColour(Pixel(145, 100), LitColour(kDefault, 1.0f)));
}

// An open tube along the line of sight, closed round its axis: its two ends get flat caps.
std::unique_ptr<CSurface> Tube(float radius, int32_t orientation) {
    auto tube = std::make_unique<CSurface>();
    constexpr int kAround = 12;
    tube->nu = 4;
    tube->nv = kAround;
    tube->orientation = orientation;
    for (int i = 0; i < tube->nu; ++i) {
        for (int j = 0; j < kAround; ++j) {
            const float a = 2.0f * float(M_PI) * float(j) / kAround;
            tube->points.emplace_back(radius * std::cos(a), -5.0f + 10.0f * float(i) / 3.0f,
                                      radius * std::sin(a));
        }
    }
    tube->selection.assign(tube->points.size(), 0);
    tube->v.closed = 1;
    return tube;
}

TEST_F(ShadedTest, TubeEndsAreCappedFacingAwayFromEachOther) {
    // With orientation +1 the walls face outward; so must both caps, seen from either end.
    CSurface* tube = Add(Tube(10.0f, 1));
    Draw(kModeShaded);
    EXPECT_TRUE(SameColour(Pixel(100, 100), LitColour(kDefault, 1.0f)))
        << ColourText(Pixel(100, 100));
    view->Camera().SetStandardView(4);  // from the other end
    Draw(kModeShaded);
    EXPECT_TRUE(SameColour(Pixel(100, 100), LitColour(kDefault, 1.0f)))
        << ColourText(Pixel(100, 100));
    tube->orientation = -1;  // everything faces inward: both ends dark
    Draw(kModeShaded);
    EXPECT_TRUE(SameColour(Pixel(100, 100), LitColour(kDefault, 0.0f)));
    view->Camera().SetStandardView(1);
    Draw(kModeShaded);
    EXPECT_TRUE(SameColour(Pixel(100, 100), LitColour(kDefault, 0.0f)));
}

// The eye-space z of a model direction under the view: the cosine the headlight sees.
float FacingCosine(const CMatrix4& v, const CVector3& n) {
    return (n.x * v[2] + n.y * v[6] + n.z * v[10]) / Length(n);
}

TEST_F(ShadedTest, SmoothCubeKeepsItsEdgesSharp) {
    // At a cube's corners the averaged normal is 54.7 degrees from every face, beyond the
    // crease angle: each face is lit evenly with its own normal, smooth or not.
    for (const int flat : {0, 1}) {
        scene.Clear();
        auto cube = MakeBoxMesh({-10, -10, -10}, {10, 10, 10});
        cube->flatShading = flat;
        Add(std::move(cube));
        view->Camera().SetStandardView(1);
        view->Camera().CurrentViewport().Rotate(0, 25.0);
        view->Camera().CurrentViewport().Rotate(1, 35.0);
        Draw(kModeShaded);
        const CViewport& viewport = view->Camera().CurrentViewport();
        const CMatrix4 window = viewport.WindowMatrix();
        const CVector3 normals[6] = {{1, 0, 0},  {0, 1, 0},  {0, 0, 1},
                                     {-1, 0, 0}, {0, -1, 0}, {0, 0, -1}};
        int facesSeen = 0;
        for (const CVector3& n : normals) {
            const float cosine = FacingCosine(viewport.view, n);
            if (cosine < 0.2f) {
                continue;  // turned away, or seen too obliquely to sample
            }
            ++facesSeen;
            // Points spread over the face, away from its edges.
            std::vector<uint32_t> seen;
            for (const float a : {-6.0f, 0.0f, 6.0f}) {
                for (const float b : {-6.0f, 0.0f, 6.0f}) {
                    CVector3 p = n * 10.0f;
                    const int axis = n.x != 0 ? 0 : (n.y != 0 ? 1 : 2);
                    p[(axis + 1) % 3] = a;
                    p[(axis + 2) % 3] = b;
                    const CVector3 q = TransformPoint(p, window);
                    seen.push_back(Pixel(int(std::lround(q.x)), int(std::lround(q.y))));
                }
            }
            for (const uint32_t c : seen) {
                EXPECT_TRUE(SameColour(c, LitColour(kDefault, cosine)))
                    << "flat " << flat << " cos " << cosine << " " << ColourText(c);
            }
        }
        EXPECT_EQ(facesSeen, 3);
    }
}

TEST_F(ShadedTest, DifferenceWithoutMarkedBaseShowsOnlyItsFirstChild) {
    auto group = std::make_unique<CGroup>();
    group->kind = kGroupDifference;
    CListBuilder children(group->children.first);
    children.Append(Square(20, 20, 60, 60).release());
    children.Append(Square(140, 20, 180, 60).release());
    CGroup* g = Add(std::move(group));
    for (const EDisplayMode mode : {kModeWireframe, kModeShaded}) {
        Draw(mode);
        EXPECT_GT(CountDrawnIn(15, 15, 65, 65), 0) << mode;
        EXPECT_EQ(CountDrawnIn(135, 15, 185, 65), 0) << mode;
    }
    g->baseMarked = 1;
    for (const EDisplayMode mode : {kModeWireframe, kModeShaded}) {
        Draw(mode);
        EXPECT_GT(CountDrawnIn(135, 15, 185, 65), 0) << mode;
    }
}

// A gem library of two entries: a unit square facing the viewer, and a gem that places that
// square scaled by 2.
class GemTest : public ShadedTest {
protected:
    void SetUp() override {
        ShadedTest::SetUp();
        if (IsSkipped()) {
            return;
        }
        auto square = MakeMesh({{0, 0, 0}, {1, 0, 0}, {1, 0, 1}, {0, 0, 1}}, {{0, 1, 2, 3}});
        auto inner = std::make_unique<CGem>();
        inner->gemIndex = 0;
        inner->placement = CMatrix4::Scaling(2, 2, 2);
        square->next = inner.release();
        m_path = (std::filesystem::temp_directory_path() / "orva_display_gems.gemlib").string();
        ASSERT_TRUE(WriteFileBytes(m_path, WriteGemLibraryBytes(square.get())));
        DeleteObjectChain(square.release());
        m_previous = GemLibrary().Path();
        GemLibrary().SetPath(m_path);
    }
    void TearDown() override {
        if (!m_path.empty()) {
            GemLibrary().SetPath(m_previous);
            std::filesystem::remove(m_path);
        }
        ShadedTest::TearDown();
    }

private:
    std::string m_path;
    std::string m_previous;
};

TEST_F(GemTest, GemOfAGemAppliesTheInnerPlacementFirst) {
    auto gem = std::make_unique<CGem>();
    gem->gemIndex = 1;
    gem->placement = CMatrix4::Translation(CVector3(5, 0, 5));
    Add(std::move(gem));
    // Inner first: the square scaled to [0, 2] and then moved to [5, 7] in x and z, which is
    // pixels 119.5..127.5 across and 71.5..79.5 down. The other order would put it at [10, 12].
    for (const EDisplayMode mode : {kModeShaded, kModeWireframe}) {
        Draw(mode);
        EXPECT_EQ(CountDrawnIn(0, 0, 118, 199), 0) << mode;
        EXPECT_EQ(CountDrawnIn(0, 0, 199, 70), 0) << mode;
        EXPECT_EQ(CountDrawnIn(129, 0, 199, 199), 0) << mode;
        EXPECT_EQ(CountDrawnIn(0, 81, 199, 199), 0) << mode;
    }
    Draw(kModeShaded);
    EXPECT_TRUE(SameColour(Pixel(123, 75), LitColour(kDefault, 1.0f)))
        << ColourText(Pixel(123, 75));
}

TEST_F(ShadedTest, CurvesAreUnlitLinesHiddenBehindNearerSurfaces) {
    auto wall = MakeFlatSurface(20, 20, 100, 180, -5.0f, 1);
    wall->colourIndex = 11;
    Add(std::move(wall));
    CCurve* behind = Add(MakeCurve({AtPixel(10, 60, 0.0f), AtPixel(190, 60, 0.0f)}, 1));
    behind->colourIndex = 13;
    CCurve* before = Add(MakeCurve({AtPixel(10, 140, -10.0f), AtPixel(190, 140, -10.0f)}, 1));
    before->colourIndex = 13;
    Draw(kModeShaded);
    EXPECT_TRUE(SameColour(Pixel(60, 60), LitColour(kGreen, 1.0f))) << ColourText(Pixel(60, 60));
    EXPECT_TRUE(SameColour(Pixel(150, 60), kRed)) << ColourText(Pixel(150, 60));
    EXPECT_TRUE(SameColour(Pixel(60, 140), kRed)) << ColourText(Pixel(60, 140));
    EXPECT_TRUE(SameColour(Pixel(150, 140), kRed));
}

// A square ring extruded towards the viewer (along model y, whose heights run towards -y):
// seen along its axis, the near end's cap is a lit frame with a hole in it.
std::unique_ptr<CExtrusion> SquareRing(const CMatrix4& placement) {
    auto e = std::make_unique<CExtrusion>();
    e->firstPlaneAxis = 0;
    e->secondPlaneAxis = 2;
    e->extrusionAxis = 1;
    e->depth = 4.0f;
    e->pointCounts = {12, 12};
    e->stepsPerSpan = {2, 2};
    // Corners repeated three times stay sharp. The hole runs the other way round.
    for (const float s : {15.0f, -5.0f}) {
        const float c[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
        for (int k = 0; k < 4; ++k) {
            const int i = s > 0 ? k : 3 - k;
            for (int r = 0; r < 3; ++r) {
                e->profilePoints.emplace_back(std::fabs(s) * c[i][0], 0.0f, std::fabs(s) * c[i][1]);
            }
        }
    }
    e->placement = placement;
    GenerateExtrusion(*e);
    for (CSceneObject* o = e->surfaces.first; o != nullptr; o = o->next) {
        static_cast<CSurface*>(o)->orientation = Determinant(placement, 4) < 0 ? 1 : -1;
    }
    return e;
}

TEST_F(ShadedTest, ExtrusionCapHasItsHoleAndFacesTheViewerWhereverItIsPlaced) {
    CExtrusion* e = Add(SquareRing(CMatrix4::Identity()));
    for (const CVector3 shift : {CVector3(0, 0, 0), CVector3(4, 30, -3)}) {
        e->placement = CMatrix4::Translation(shift);
        Draw(kModeShaded);
        // Pixel of the frame between the outer square (15 units, 60 pixels) and the hole
        // (5 units); the hole itself shows the background.
        const float cx = 99.5f + 4.0f * shift.x;
        const float cy = 99.5f - 4.0f * shift.z;
        const int frameX = int(std::lround(cx + 40));
        const int frameY = int(std::lround(cy));
        EXPECT_TRUE(SameColour(Pixel(frameX, frameY), LitColour(kDefault, 1.0f)))
            << ColourText(Pixel(frameX, frameY)) << " shifted by " << shift.x << "," << shift.y;
        EXPECT_TRUE(SameColour(Pixel(int(std::lround(cx)), frameY), g_colourTable[0]))
            << ColourText(Pixel(int(std::lround(cx)), frameY));
    }
}

TEST_F(ShadedTest, KeptTessellationFollowsChangesOfTheScene) {
    CSurface* s = Add(MakeFlatSurface(20, 20, 60, 60, 0.0f, 1));
    Draw(kModeShaded);
    const std::vector<uint8_t> first = view->Picture().Pixels();
    const int64_t builds = view->Tessellation().Builds();
    Draw(kModeShaded);
    EXPECT_EQ(view->Tessellation().Builds(), builds);  // nothing evaluated again
    EXPECT_EQ(view->Picture().Pixels(), first);

    s->Transform(CMatrix4::Translation(CVector3(25, 0, 0)), 1);  // 100 pixels right
    Draw(kModeShaded);
    EXPECT_EQ(CountDrawnIn(15, 15, 65, 65), 0);
    EXPECT_TRUE(SameColour(Pixel(140, 40), LitColour(kDefault, 1.0f)));
    s->orientation = -1;
    Draw(kModeShaded);
    EXPECT_TRUE(SameColour(Pixel(140, 40), LitColour(kDefault, 0.0f)));
    s->u.stepsPerSpan = 2;
    Draw(kModeShaded);
    EXPECT_EQ(view->Tessellation().Builds(), builds + 3);
}

// Half a disc facing the viewer, as a surface whose first control row is collapsed into the
// centre: along that row the surface does not move with v at all.
std::unique_ptr<CSurface> HalfDiscWithPole(float radius) {
    auto disc = std::make_unique<CSurface>();
    disc->nu = 4;
    disc->nv = 7;
    for (int i = 0; i < disc->nu; ++i) {
        const float r = radius * float(i) / 3.0f;
        for (int j = 0; j < disc->nv; ++j) {
            const float a = float(M_PI) * float(j) / 6.0f;
            disc->points.emplace_back(r * std::cos(a), 0.0f, r * std::sin(a));
        }
    }
    disc->selection.assign(disc->points.size(), 0);
    return disc;
}

TEST_F(ShadedTest, PoleBorrowsTheNeighbouringRowsDirectionAndStaysLit) {
    // Rows run outward from the centre and columns counter-clockwise as the viewer sees them,
    // so cross(Du, Dv), the normal of orientation +1, points at the viewer.
    Add(HalfDiscWithPole(20.0f));
    Draw(kModeShaded);
    const uint32_t lit = LitColour(kDefault, 1.0f);
    // Just above the centre (99.5, 99.5), where every quad meets the pole.
    for (const auto& [x, y] : {std::pair{100, 98}, {96, 98}, {104, 98}, {100, 96}, {93, 99}}) {
        EXPECT_TRUE(SameColour(Pixel(x, y), lit))
            << x << "," << y << " " << ColourText(Pixel(x, y));
    }
    EXPECT_TRUE(SameColour(Pixel(100, 60), lit));
}

TEST(SurfacePartsTest, FourByFourNetWithFourStepsGivesTwelveByTwelveQuads) {
    CSurface s;
    s.nu = 4;
    s.nv = 4;
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            s.points.emplace_back(float(c), 0.0f, float(r));
        }
    }
    s.u.stepsPerSpan = 4;
    s.v.stepsPerSpan = 4;
    const CShadedParts parts = BuildSurfaceParts(s);
    ASSERT_EQ(parts.meshes.size(), 1u);
    EXPECT_EQ(parts.meshes[0].vertices.size(), 13u * 13u);
    EXPECT_EQ(parts.meshes[0].indices.size(), 4u * 12u * 12u);
    EXPECT_TRUE(parts.fills.empty());  // open in both directions: no caps
}

TEST(MirrorTest, HandednessOfThePlacementTimesTheOrientation) {
    const CMatrix4 view = CMatrix4::Scaling(1, 1, 1);
    const CMatrix4 mirror = CMatrix4::Scaling(-2, 1, 1);
    EXPECT_FALSE(IsMirrored(view, Inverse(view), 1));
    EXPECT_TRUE(IsMirrored(Multiply(mirror, view), Inverse(view), 1));
    EXPECT_TRUE(IsMirrored(view, Inverse(view), -1));
    EXPECT_FALSE(IsMirrored(Multiply(mirror, view), Inverse(view), -1));
}

}  // namespace
}  // namespace orva::test
