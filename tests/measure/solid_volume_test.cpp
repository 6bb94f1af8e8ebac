#include "measure/solid_volume.h"

#include <gtest/gtest.h>

#include <tuple>

#include <cmath>
#include <filesystem>
#include <memory>
#include <string>

#include "platform/interrupt.h"
#include "render/test_shapes.h"
#include "scene/extrusion.h"
#include "scene/extrusion_generator.h"
#include "scene/gem.h"
#include "scene/gem_library.h"
#include "scene/scene_file.h"
#include "scene_writer.h"

namespace orva {
namespace {

using test::Box;
using test::Group;

// Turns the points about z by `a` and then about x by `b` (radians).
CVector3 Turned(CVector3 p, double a, double b) {
    const double x = p.x * std::cos(a) - p.y * std::sin(a);
    const double y = p.x * std::sin(a) + p.y * std::cos(a);
    const double z = p.z;
    return CVector3(static_cast<float>(x), static_cast<float>(y * std::cos(b) - z * std::sin(b)),
                    static_cast<float>(y * std::sin(b) + z * std::cos(b)));
}

class SolidVolumeTest : public ::testing::Test {
protected:
    void TearDown() override { ClearScene(m_scene); }

    CSceneObject* Add(std::unique_ptr<CSceneObject> object) {
        CSceneObject** tail = &m_scene.first;
        while (*tail != nullptr) {
            tail = &(*tail)->next;
        }
        *tail = object.release();
        return *tail;
    }

    CSolidVolume Measure(double accuracy = 0.5, int threads = 2) {
        CVolumeRequest r;
        r.first = m_scene.first;
        r.accuracyPercent = accuracy;
        r.threads = threads;
        return MeasureSolidVolume(r);
    }

    // The mean within the accuracy asked; each direction alone within twice that.
    void ExpectVolume(double exact, double accuracy = 0.5) {
        const CSolidVolume s = Measure(accuracy);
        EXPECT_NEAR(s.volume, exact, exact * accuracy / 100.0);
        for (const double v : s.directionVolumes) {
            EXPECT_NEAR(v, exact, 2.0 * exact * accuracy / 100.0);
        }
        EXPECT_LE(s.uncertaintyPercent, 2.0 * accuracy);
        EXPECT_FALSE(s.interrupted);
    }

    CSceneAnchor m_scene;
};

TEST_F(SolidVolumeTest, TurnedBox) {
    auto box = Box({-4, -2.5f, -1.5f}, {4, 2.5f, 1.5f});
    for (CVector3& p : box->points) {
        p = Turned(p, 0.61, 0.37) + CVector3(3, -1, 2);
    }
    Add(std::move(box));
    ExpectVolume(8.0 * 5.0 * 3.0);
    ExpectVolume(8.0 * 5.0 * 3.0, 0.1);
}

TEST_F(SolidVolumeTest, CutterThroughABox) {
    Add(Box({0, 0, 0}, {10, 10, 10}));
    Add(Box({3, -1, 2}, {7, 11, 6}))->cutter = 1;
    ExpectVolume(1000.0 - 4.0 * 10.0 * 4.0);
}

// Two boxes overlapping in 5 x 7 x 8.
struct COverlapCase {
    int32_t kind;
    double volume;
};

class OverlapTest : public SolidVolumeTest, public ::testing::WithParamInterface<COverlapCase> {};

TEST_P(OverlapTest, GroupOfOverlappingBoxes) {
    Add(Group(GetParam().kind,
              {Box({0, 0, 0}, {10, 10, 10}).release(), Box({5, 3, 2}, {15, 13, 12}).release()}));
    ExpectVolume(GetParam().volume);
}

INSTANTIATE_TEST_SUITE_P(Kinds, OverlapTest,
                         ::testing::Values(COverlapCase{kGroupUnion, 1720.0},
                                           COverlapCase{kGroupIntersection, 280.0},
                                           COverlapCase{kGroupDifference, 720.0}));

TEST_F(SolidVolumeTest, TopLevelSolidsAreUnited) {
    Add(Box({0, 0, 0}, {10, 10, 10}));
    Add(Box({5, 3, 2}, {15, 13, 12}));
    ExpectVolume(1720.0);
}

TEST_F(SolidVolumeTest, ExtrusionOfAKnownProfile) {
    // A square frame: 6 x 6 outline, 2 x 2 hole, 32 mm2, extruded 3 mm, then turned.
    auto e = std::make_unique<CExtrusion>();
    e->depth = 3.0f;
    e->pointCounts = {4, 4};
    e->stepsPerSpan = {1, 0};
    e->profilePoints = {{-3, -3, 0}, {3, -3, 0}, {3, 3, 0}, {-3, 3, 0},
                        {-1, -1, 0}, {-1, 1, 0}, {1, 1, 0}, {1, -1, 0}};
    GenerateExtrusion(*e);
    CMatrix4 turn = CMatrix4::Identity();
    const float c = std::cos(0.4f);
    const float s = std::sin(0.4f);
    turn.At(1, 1) = c, turn.At(1, 2) = s, turn.At(2, 1) = -s, turn.At(2, 2) = c;
    e->placement = Multiply(turn, CMatrix4::Translation({1, 2, 3}));
    Add(std::move(e));
    ExpectVolume(32.0 * 3.0);
}

TEST_F(SolidVolumeTest, NeverCutPartKeepsItsVolume) {
    Add(Box({0, 0, 0}, {10, 10, 10}));
    Add(Box({0, 0, 12}, {10, 10, 14}))->neverCut = 1;
    // Through both: the box loses 2 x 10 x 10, the never-cut plate nothing.
    Add(Box({2, -1, -1}, {4, 11, 15}))->cutter = 1;
    ExpectVolume(800.0 + 200.0);
}

TEST_F(SolidVolumeTest, GemInItsSeatIsNotMetal) {
    const std::string previous = GemLibrary().Path();
    const auto shape = Box({-0.5f, -0.5f, -0.5f}, {0.5f, 0.5f, 0.5f});
    const std::string path =
        (std::filesystem::temp_directory_path() / "orva_volume_gem.gemlib").string();
    ASSERT_TRUE(WriteFileBytes(path, WriteGemLibraryBytes(shape.get())));
    GemLibrary().SetPath(path);
    Add(Box({-5, -5, -5}, {5, 5, 5}));
    Add(Box({-2, -2, 0}, {2, 2, 6}))->cutter = 1;  // the seat: 4 x 4 x 5 inside the metal
    auto gem = std::make_unique<CGem>();
    gem->placement = Multiply(CMatrix4::Scaling(4, 4, 4), CMatrix4::Translation({0, 0, 2}));
    Add(std::move(gem));
    // Also inside a group, where the renderer adds it to the scene after the cuts: 27 mm3
    // above the metal that must not count either.
    auto inGroup = std::make_unique<CGem>();
    inGroup->placement = Multiply(CMatrix4::Scaling(3, 3, 3), CMatrix4::Translation({0, 0, 9}));
    Add(Group(kGroupUnion, {inGroup.release()}));
    ExpectVolume(1000.0 - 80.0);
    GemLibrary().SetPath(previous);
    std::filesystem::remove(path);
}

TEST_F(SolidVolumeTest, TwoMetalsApart) {
    Add(Box({0, 0, 0}, {10, 10, 10}))->materialName = "Gold18KYellow";
    Add(Box({12, 0, 0}, {16, 5, 10}))->materialName = "Platinum";
    const CSolidVolume s = Measure();
    ASSERT_EQ(s.materials.size(), 2u);
    EXPECT_EQ(s.materials[0].material, "Gold18KYellow");
    EXPECT_NEAR(s.materials[0].volume, 1000.0, 5.0);
    EXPECT_EQ(s.materials[1].material, "Platinum");
    EXPECT_NEAR(s.materials[1].volume, 200.0, 1.0);
    // The metal's box, along each axis from the depths seen along it.
    EXPECT_NEAR(s.min.x, 0.0, 1e-3);
    EXPECT_NEAR(s.max.x, 16.0, 1e-3);
    EXPECT_NEAR(s.max.y, 10.0, 1e-3);
    EXPECT_NEAR(s.max.z, 10.0, 1e-3);
}

// The volume of the named material, or -1 when it is not listed.
double MaterialVolume(const CSolidVolume& s, const std::string& name) {
    for (const CMaterialVolume& m : s.materials) {
        if (m.material == name) {
            return m.volume;
        }
    }
    return -1.0;
}

// A yellow block with a white one standing on its side, face to face, the pair turned so that
// every face lies across the grid: each keeps its own metal. The white block's own material
// is overruled by the group it is in, as the renderer does.
TEST_F(SolidVolumeTest, TouchingPartsOfTwoMaterialsEachKeepTheirOwn) {
    auto yellow = Box({0, 0, 0}, {10, 10, 10});
    yellow->materialName = "Gold18KYellow";
    auto white = Box({10, 2, 3}, {14, 8, 7});
    white->materialName = "Platinum";
    for (CPolyMesh* box : {yellow.get(), white.get()}) {
        for (CVector3& p : box->points) {
            p = Turned(p, 0.52, 0.23);
        }
    }
    Add(std::move(yellow));
    Add(Group(kGroupUnion, {white.release()}))->materialName = "Gold18KWhite";
    for (const double accuracy : {0.5, 0.2}) {
        const CSolidVolume s = Measure(accuracy);
        EXPECT_NEAR(s.volume, 1096.0, 1096.0 * accuracy / 100.0);
        ASSERT_EQ(s.materials.size(), 2u);
        EXPECT_NEAR(MaterialVolume(s, "Gold18KYellow"), 1000.0, 1000.0 * accuracy / 100.0);
        EXPECT_NEAR(MaterialVolume(s, "Gold18KWhite"), 96.0, 1096.0 * accuracy / 100.0);
        EXPECT_EQ(s.overlapVolume, 0.0);
    }
}

// A platinum block filling a closed hole a difference cuts in a gold cube: the gold keeps its
// hole, the platinum its own metal, though no line of sight enters the platinum from outside.
TEST_F(SolidVolumeTest, PartNestedInACutHoleKeepsItsOwnMetal) {
    Add(Group(kGroupDifference,
              {Box({0, 0, 0}, {10, 10, 10}).release(), Box({3, 2, 4}, {7, 7, 8}).release()}))
        ->materialName = "Gold18KYellow";
    Add(Box({3, 2, 4}, {7, 7, 8}))->materialName = "Platinum";
    const CSolidVolume s = Measure();
    EXPECT_NEAR(s.volume, 1000.0, 5.0);
    ASSERT_EQ(s.materials.size(), 2u);
    EXPECT_NEAR(MaterialVolume(s, "Gold18KYellow"), 1000.0 - 80.0, 5.0);
    EXPECT_NEAR(MaterialVolume(s, "Platinum"), 80.0, 5.0);
    EXPECT_EQ(s.overlapVolume, 0.0);
}

// Where parts of two materials overlap, the metal is the later part's, so that the materials
// add up to the whole; the overlap is stated with who took it. Bars 10 x 10 in section along x.
struct COwnershipCase {
    const char* name;
    std::vector<std::pair<const char*, std::pair<float, float>>> bars;  // material, x from..to
    const char* group;  // "intersection": all bars in one intersection group; else top level
    std::vector<std::pair<const char*, double>> owned;  // mm3 per material
    std::vector<std::tuple<const char*, const char*, double>> overlaps;
};

TEST_F(SolidVolumeTest, OverlapBelongsToTheLaterPart) {
    const COwnershipCase cases[] = {
        {"platinum later",
         {{"Gold", {0, 10}}, {"Platinum", {5, 15}}},
         "",
         {{"Gold", 500}, {"Platinum", 1000}},
         {{"Gold", "Platinum", 500}}},
        {"gold later",
         {{"Platinum", {5, 15}}, {"Gold", {0, 10}}},
         "",
         {{"Gold", 1000}, {"Platinum", 500}},
         {{"Platinum", "Gold", 500}}},
        {"interleaved",
         {{"Gold", {0, 10}}, {"Platinum", {5, 15}}, {"Gold", {12, 20}}},
         "",
         {{"Gold", 1300}, {"Platinum", 700}},
         {{"Gold", "Platinum", 500}, {"Platinum", "Gold", 300}}},
        {"three",
         {{"Gold", {0, 10}}, {"Silver", {8, 12}}, {"Platinum", {6, 15}}},
         "",
         {{"Gold", 600}, {"Platinum", 900}, {"Silver", 0}},
         {{"Gold", "Platinum", 400}, {"Silver", "Platinum", 400}}},
        {"intersection",
         {{"Gold", {0, 10}}, {"Platinum", {5, 15}}},
         "intersection",
         {{"Platinum", 500}},
         {}},
    };
    for (const COwnershipCase& c : cases) {
        SCOPED_TRACE(c.name);
        ClearScene(m_scene);
        std::vector<CSceneObject*> bars;
        for (const auto& [material, span] : c.bars) {
            auto bar = Box({span.first, 0, 0}, {span.second, 10, 10});
            bar->materialName = material;
            bars.push_back(bar.release());
        }
        if (std::string(c.group) == "intersection") {
            Add(Group(kGroupIntersection, {bars[0], bars[1]}));
        } else {
            for (CSceneObject* bar : bars) {
                Add(std::unique_ptr<CSceneObject>(bar));
            }
        }
        const CSolidVolume s = Measure(0.2);
        double sum = 0.0;
        for (const CMaterialVolume& m : s.materials) {
            sum += m.volume;
        }
        EXPECT_NEAR(sum, s.volume, s.volume * 0.002);
        for (const auto& [material, volume] : c.owned) {
            EXPECT_NEAR(std::max(0.0, MaterialVolume(s, material)), volume, s.volume * 0.002)
                << material;
        }
        ASSERT_EQ(s.overlaps.size(), c.overlaps.size());
        for (std::size_t i = 0; i < c.overlaps.size(); ++i) {
            EXPECT_EQ(s.overlaps[i].material, std::get<0>(c.overlaps[i]));
            EXPECT_EQ(s.overlaps[i].countedAs, std::get<1>(c.overlaps[i]));
            EXPECT_NEAR(s.overlaps[i].volume, std::get<2>(c.overlaps[i]), s.volume * 0.004);
        }
    }
}

TEST_F(SolidVolumeTest, SameResultOnAnyNumberOfThreads) {
    auto box = Box({-4, -2.5f, -1.5f}, {4, 2.5f, 1.5f});
    for (CVector3& p : box->points) {
        p = Turned(p, 0.3, 0.8);
    }
    Add(std::move(box));
    Add(Box({-1, -1, -9}, {1, 1, 9}))->cutter = 1;
    const CSolidVolume one = Measure(0.5, 1);
    for (const int threads : {2, 3, 7}) {
        const CSolidVolume many = Measure(0.5, threads);
        EXPECT_EQ(one.volume, many.volume) << threads;  // bit for bit
        EXPECT_EQ(one.directionVolumes, many.directionVolumes) << threads;
    }
}

TEST_F(SolidVolumeTest, NothingToMeasure) {
    Add(Box({0, 0, 0}, {10, 10, 10}))->cutter = 1;
    const CSolidVolume s = Measure();
    EXPECT_EQ(s.volume, 0.0);
    EXPECT_TRUE(s.empty);
}

TEST_F(SolidVolumeTest, InterruptedMeasureSaysSo) {
    Add(Box({0, 0, 0}, {10, 10, 10}));
    CInterrupt interrupt;
    CVolumeRequest r;
    r.first = m_scene.first;
    r.interrupt = &interrupt;
    // A source that always asks to stop survives the reset a measure starts with.
    interrupt.SetSource([] { return true; });
    const CSolidVolume s = MeasureSolidVolume(r);
    EXPECT_TRUE(s.interrupted);
}

}  // namespace
}  // namespace orva
