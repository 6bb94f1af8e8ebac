#include <gtest/gtest.h>

#include "recording_drawer.h"
#include "scene/gem.h"
#include "scene/gem_library.h"
#include "scene/group.h"
#include "scene/surface.h"
#include "scene_bytes.h"

namespace orva {
namespace {

using test::json;

const json kUnitTetrahedron = {{"type", "polyMesh"},
                               {"points", {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}}},
                               {"polygons", {{0, 2, 1}, {0, 1, 3}, {0, 3, 2}, {1, 2, 3}}}};
const json kSurfaceShape = {{"type", "surface"},
                            {"nu", 1},
                            {"nv", 2},
                            {"netHidden", 0},
                            {"points", {{-1, -1, -1}, {2, 2, 2}}}};

std::string LibraryFile(const std::string& name, const json& shapes) {
    return test::WriteTempFile(name,
                               FileBytesFromJson(json{{"format", "gemlib"}, {"objects", shapes}}));
}

// Each test points the process-wide library at its own file and puts it back after.
class GemLibraryTest : public ::testing::Test {
protected:
    void SetUp() override { m_previous = GemLibrary().Path(); }
    void TearDown() override { GemLibrary().SetPath(m_previous); }

private:
    std::string m_previous;
};

CGem Gem(int32_t index, const CMatrix4& placement = CMatrix4::Identity()) {
    CGem gem;
    gem.gemIndex = index;
    gem.placement = placement;
    return gem;
}

TEST_F(GemLibraryTest, FirstUseLoadsTheFileOnceAndIndicesSelectShapes) {
    GemLibrary().SetPath(LibraryFile("two.gemlib", json::array({kUnitTetrahedron, kSurfaceShape})));
    EXPECT_EQ(GemLibrary().LoadCount(), 0);
    CVector3 min;
    CVector3 max;
    Gem(0, CMatrix4::Scaling(2, 2, 2))
        .GetBounds(min, max, CMatrix4::Translation(CVector3(1, 0, 0)));
    EXPECT_EQ(min, CVector3(1, 0, 0));
    EXPECT_EQ(max, CVector3(3, 2, 2));
    Gem(1).GetBounds(min, max, CMatrix4::Identity());
    EXPECT_EQ(max, CVector3(2, 2, 2));
    EXPECT_EQ(GemLibrary().LoadCount(), 1);

    for (int32_t index : {2, -1}) {  // 2 is the library size: selects nothing
        Gem(index).GetBounds(min, max, CMatrix4::Identity());
        EXPECT_TRUE(BoundsEmpty(min, max)) << index;
    }
    EXPECT_EQ(GemLibrary().Size(), 2);
    EXPECT_EQ(GemLibrary().LoadCount(), 1);
}

TEST_F(GemLibraryTest, SurfaceShapesHaveTheirNetHidden) {
    GemLibrary().SetPath(LibraryFile("surface.gemlib", json::array({kSurfaceShape})));
    const auto* shape = static_cast<const CSurface*>(GemLibrary().Entry(0));
    ASSERT_NE(shape, nullptr);
    EXPECT_EQ(shape->netHidden, 1);
}

TEST_F(GemLibraryTest, MissingOrRejectedFileGivesNothingAndEveryLookupTriesAgain) {
    GemLibrary().SetPath("/nonexistent/gemlib");
    CVector3 min;
    CVector3 max;
    Gem(0).GetBounds(min, max, CMatrix4::Identity());
    EXPECT_TRUE(BoundsEmpty(min, max));
    EXPECT_EQ(GemLibrary().LoadGemLibrary(), -1);

    std::vector<uint8_t> bytes =
        FileBytesFromJson(json{{"format", "gemlib"}, {"objects", {kUnitTetrahedron}}});
    bytes[3] = 'X';
    GemLibrary().SetPath(test::WriteTempFile("bad.gemlib", bytes));
    EXPECT_EQ(GemLibrary().Entry(0), nullptr);
    EXPECT_EQ(GemLibrary().Entry(0), nullptr);
    EXPECT_EQ(GemLibrary().LoadCount(), 2);  // read again at each lookup while empty
}

TEST_F(GemLibraryTest, DrawUsesThePlacementAndRestoresTheMatrix) {
    GemLibrary().SetPath(LibraryFile("draw.gemlib", json::array({kUnitTetrahedron})));
    test::CRecordingDrawer drawer;
    Gem(0, CMatrix4::Translation(CVector3(0, 0, 3))).Draw(drawer, kModeShaded);
    Gem(5).Draw(drawer, kModeShaded);
    EXPECT_EQ(drawer.calls, std::vector<std::string>{"mesh 100"});
    EXPECT_EQ(drawer.matrices[0][14], 3.0f);
    EXPECT_EQ(drawer.model, CMatrix4::Identity());
}

TEST_F(GemLibraryTest, LibraryEndingWith255OrTheEndOfFileKeepsItsShapes) {
    std::vector<uint8_t> bytes = FileBytesFromJson(
        json{{"format", "gemlib"}, {"objects", {kUnitTetrahedron, kUnitTetrahedron}}});
    bytes.back() = 255;
    GemLibrary().SetPath(test::WriteTempFile("end255.gemlib", bytes));
    EXPECT_EQ(GemLibrary().Size(), 2);
    bytes.pop_back();
    GemLibrary().SetPath(test::WriteTempFile("noend.gemlib", bytes));
    EXPECT_EQ(GemLibrary().Size(), 2);
    bytes.resize(bytes.size() - 10);  // the second shape cut short
    GemLibrary().SetPath(test::WriteTempFile("cut.gemlib", bytes));
    EXPECT_EQ(GemLibrary().Size(), 1);
}

TEST_F(GemLibraryTest, GemsThatReferToThemselvesEnd) {
    const json selfGem = {{"type", "gem"}, {"gem", 0}};
    const json groupOfGems = {{"type", "group"},
                              {"children", {{{"type", "gem"}, {"gem", 1}}, kUnitTetrahedron}}};
    GemLibrary().SetPath(LibraryFile("loop.gemlib", json::array({selfGem, groupOfGems})));
    CVector3 min;
    CVector3 max;
    Gem(0).GetBounds(min, max, CMatrix4::Identity());
    EXPECT_TRUE(BoundsEmpty(min, max));
    Gem(1).GetBounds(min, max,
                     CMatrix4::Identity());  // the loop ends; the tetrahedron still counts
    EXPECT_EQ(max, CVector3(1, 1, 1));
    test::CRecordingDrawer drawer;
    Gem(0).Draw(drawer, kModeWireframe);
    Gem(1).Draw(drawer, kModeWireframe);
    EXPECT_EQ(drawer.calls.size(), static_cast<size_t>(kMaxGemResolution));
    EXPECT_EQ(drawer.model, CMatrix4::Identity());
}

TEST_F(GemLibraryTest, SceneWithGemsOpensWithoutALibrary) {
    GemLibrary().SetPath("/nonexistent/gemlib");
    const test::CReadResult r =
        test::ReadScene(test::SceneBytes(json::array({{{"type", "gem"}, {"gem", 3}}})));
    ASSERT_EQ(r.count, 1);
    EXPECT_EQ(static_cast<const CGem*>(r.At(0))->gemIndex, 3);
}

}  // namespace
}  // namespace orva
