#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <memory>
#include <sstream>
#include <string>
#include <thread>

#include "measure/jewel_report.h"
#include "mesh_shapes.h"
#include "run_orva.h"
#include "scene/gem.h"
#include "scene/gem_library.h"
#include "scene/group.h"
#include "scene/name_pool.h"
#include "scene/object_list.h"
#include "scene_bytes.h"
#include "scene_writer.h"

namespace orva {
namespace {

using test::CRun;
using test::json;
using test::RunOrva;

json MeasureJson(const std::string& arguments, int expectedExit) {
    const CRun run = RunOrva("measure --json " + arguments);
    EXPECT_EQ(run.exitCode, expectedExit) << arguments;
    return json::parse(run.output);
}

// A unit cube centred on the origin as the only shape of a gem library.
std::string CubeLibrary() {
    const auto cube = MakeBoxMesh({-0.5f, -0.5f, -0.5f}, {0.5f, 0.5f, 0.5f});
    return test::WriteTempFile("measure.gemlib", WriteGemLibraryBytes(cube.get()));
}

std::unique_ptr<CGem> Stone(const char* material, CVector3 at, float size) {
    auto gem = std::make_unique<CGem>();
    gem->materialName = material != nullptr ? NamePool().RegisterName(material) : nullptr;
    gem->placement = Multiply(CMatrix4::Scaling(size, size, size), CMatrix4::Translation(at));
    return gem;
}

// Yellow gold 10 mm cube with two 4 mm seats each holding a 4 mm diamond cube, a platinum
// block of 4 x 5 x 10 beside it, and an unknown stone hanging in the air.
std::string TwoMetalScene() {
    CObjectList scene;
    CListBuilder list(scene.first);
    auto gold = MakeBoxMesh({0, 0, 0}, {10, 10, 10});
    gold->materialName = NamePool().RegisterName("Gold18KYellow");
    list.Append(gold.release());
    for (const float x : {2.5f, 7.5f}) {
        auto seat = MakeBoxMesh({x - 2, 3, 6}, {x + 2, 7, 12});
        seat->cutter = 1;
        list.Append(seat.release());
        list.Append(Stone("Diamond", {x, 5, 8}, 4).release());
    }
    auto platinum = MakeBoxMesh({12, 0, 0}, {16, 5, 10});
    platinum->materialName = NamePool().RegisterName("platinum");
    list.Append(platinum.release());
    list.Append(Stone("Unobtainium", {0, 0, 20}, 1).release());
    return test::WriteTempFile("two_metals.orv", WriteSceneBytes(scene.first));
}

TEST(MeasureCommandTest, MetalsWeighedAndStonesCounted) {
    const std::string gemlib = CubeLibrary();
    const json r = MeasureJson("--gemlib '" + gemlib + "' '" + TwoMetalScene() + "'", 0);
    EXPECT_EQ(r["status"], "ok");
    EXPECT_EQ(r["unit"], "mm");
    // Each seat takes 4 x 4 x 4 out of the gold; the stones add nothing.
    const double gold = 1000.0 - 2 * 64.0;
    EXPECT_NEAR(r["metal_volume_mm3"].get<double>(), gold + 200.0, (gold + 200.0) * 0.005);
    ASSERT_EQ(r["metals"].size(), 2u);
    const json& g = r["metals"][0];
    EXPECT_EQ(g["material"], "Gold18KYellow");
    EXPECT_EQ(g["alloy"], "18k-yellow");
    EXPECT_EQ(g["density_g_cm3"], 15.53);
    EXPECT_NEAR(g["volume_mm3"].get<double>(), gold, gold * 0.005);
    EXPECT_NEAR(g["weight_g"].get<double>(), gold / 1000.0 * 15.53, gold / 1000.0 * 15.53 * 0.005);
    const json& p = r["metals"][1];
    EXPECT_EQ(p["alloy"], "pt950");  // the name's case is ignored
    EXPECT_NEAR(p["weight_g"].get<double>(), 0.2 * 20.7, 0.2 * 20.7 * 0.005);

    ASSERT_EQ(r["gems"].size(), 2u);
    const json& d = r["gems"][0];
    EXPECT_EQ(d["index"], 0);
    EXPECT_TRUE(d["name"].is_null());  // a library of our own names nothing
    EXPECT_EQ(d["material"], "Diamond");
    EXPECT_EQ(d["count"], 2);
    EXPECT_EQ(d["size_mm"], json::array({4.0, 4.0, 4.0}));
    EXPECT_NEAR(d["volume_mm3"].get<double>(), 64.0, 1e-3);
    EXPECT_NEAR(d["carat_each"].get<double>(), 64.0 / 1000.0 * 3.52 / 0.2, 1e-3);
    EXPECT_NEAR(d["carat_total"].get<double>(), 2 * 64.0 / 1000.0 * 3.52 / 0.2, 1e-3);
    EXPECT_TRUE(r["gems"][1]["carat_each"].is_null());
    EXPECT_NEAR(r["gems"][1]["volume_mm3"].get<double>(), 1.0, 1e-4);

    // The metal and the stones, the one up in the air included.
    EXPECT_EQ(r["bounds"]["min"], json::array({-0.5, -0.5, 0.0}));
    EXPECT_EQ(r["bounds"]["max"], json::array({16.0, 10.0, 20.5}));
}

// Materials as the renderer gives them: a group naming one gives it to everything below but a
// group naming its own; a gem a difference subtracts is a cut, not a stone.
TEST(MeasureCommandTest, GroupsGiveTheirMaterialsAsTheRendererDoes) {
    const std::string previous = GemLibrary().Path();
    GemLibrary().SetPath(CubeLibrary());
    auto box = MakeBoxMesh({0, 0, 0}, {10, 10, 10});
    box->materialName = NamePool().RegisterName("Platinum");
    auto inner = std::make_unique<CGroup>();
    inner->materialName = NamePool().RegisterName("Ruby");
    CListBuilder(inner->children.first).Append(Stone("Diamond", {5, 5, 12}, 2).release());
    auto rose = std::make_unique<CGroup>();
    rose->materialName = NamePool().RegisterName("Gold18KRose");
    CListBuilder roseChildren(rose->children.first);
    roseChildren.Append(box.release());
    roseChildren.Append(inner.release());
    roseChildren.Append(Stone("Diamond", {5, 5, -3}, 2).release());  // takes the rose gold
    // A plate with a stone-shaped hole: the stone cuts and is not counted.
    auto plate = std::make_unique<CGroup>();
    plate->kind = kGroupDifference;
    CListBuilder plateChildren(plate->children.first);
    plateChildren.Append(MakeBoxMesh({20, 0, 0}, {30, 10, 1}).release());
    plateChildren.Append(Stone("Diamond", {25, 5, 0.5f}, 2).release());
    CObjectList scene;
    CListBuilder list(scene.first);
    list.Append(rose.release());
    list.Append(plate.release());

    CJewelOptions options;
    options.shippedGemNames = false;
    const CJewelReport r = MeasureJewel(scene.first, nullptr, options);
    GemLibrary().SetPath(previous);
    ASSERT_EQ(r.metals.size(), 2u);
    EXPECT_EQ(r.metals[0].material, "");  // the plate names none
    // Within 0.5 % of all the metal: the plate's faces lie across the grid's cells.
    EXPECT_NEAR(r.metals[0].volumeMm3, 100.0 - 4.0, 1100.0 * 0.005);
    EXPECT_NEAR(r.metal.volume, 1096.0, 1096.0 * 0.005);
    EXPECT_FALSE(r.metals[0].weightGrams.has_value());
    EXPECT_EQ(r.metals[1].material, "Gold18KRose");
    EXPECT_NEAR(r.metals[1].volumeMm3, 1000.0, 5.0);
    ASSERT_EQ(r.gems.size(), 2u);
    EXPECT_EQ(r.gems[0].material, "Ruby");
    EXPECT_NEAR(*r.gems[0].caratEach, 8.0 / 1000.0 * 4.00 / 0.2, 1e-4);
    EXPECT_EQ(r.gems[1].material, "Gold18KRose");
    EXPECT_FALSE(r.gems[1].caratEach.has_value());
}

TEST(MeasureCommandTest, OneAlloyForAllMetal) {
    const std::string gemlib = CubeLibrary();
    const json r =
        MeasureJson("--alloy pt900 --gemlib '" + gemlib + "' '" + TwoMetalScene() + "'", 0);
    for (const json& m : r["metals"]) {
        EXPECT_EQ(m["alloy"], "pt900");
        EXPECT_NEAR(m["weight_g"].get<double>(), m["volume_mm3"].get<double>() * 21.54e-3, 1e-3);
    }
}

TEST(MeasureCommandTest, UnknownAlloyAndBadAccuracyAreUsageErrors) {
    EXPECT_EQ(RunOrva("measure --alloy 19k '" + TwoMetalScene() + "'").exitCode, 2);
    EXPECT_EQ(RunOrva("measure --accuracy 0 '" + TwoMetalScene() + "'").exitCode, 2);
    EXPECT_EQ(RunOrva("measure").exitCode, 2);
}

TEST(MeasureCommandTest, UnreadableAndInvalidScenes) {
    const std::string folder = std::filesystem::temp_directory_path().string();
    const json unreadable = MeasureJson("'" + folder + "'", 1);
    EXPECT_EQ(unreadable["status"], "unreadable");
    EXPECT_TRUE(unreadable["bounds"].is_null());
    EXPECT_TRUE(unreadable["metals"].empty());
    EXPECT_TRUE(unreadable["gems"].empty());
    const std::string junk = test::WriteTempFile("junk.orv", {'n', 'o', 't', ' ', 'a'});
    const json invalid = MeasureJson("'" + junk + "'", 1);
    EXPECT_EQ(invalid["status"], "invalid");
    EXPECT_TRUE(invalid["bounds"].is_null());
}

// A file cut off in its second box: the first is measured, and nothing says "ok".
TEST(MeasureCommandTest, AFileThatEndsEarlyIsIncomplete) {
    CObjectList scene;
    CListBuilder list(scene.first);
    list.Append(MakeBoxMesh({0, 0, 0}, {2, 3, 4}).release());
    list.Append(MakeBoxMesh({5, 0, 0}, {9, 4, 4}).release());
    std::vector<uint8_t> bytes = WriteSceneBytes(scene.first);
    bytes.resize(bytes.size() - 40);
    const std::string path = test::WriteTempFile("cut_off.orv", bytes);
    const json r = MeasureJson("'" + path + "'", 1);
    EXPECT_EQ(r["status"], "incomplete");
    EXPECT_EQ(r["scene"], "cut_off.orv");
    EXPECT_NEAR(r["metal_volume_mm3"].get<double>(), 24.0, 24.0 * 0.01);
    EXPECT_EQ(r["stopped"]["record"], 1);
    EXPECT_GT(r["stopped"]["byte"].get<int64_t>(), 0);
    EXPECT_LE(r["stopped"]["byte"].get<int64_t>(), int64_t(bytes.size()));
    const CRun text = RunOrva("measure '" + path + "'");
    EXPECT_EQ(text.exitCode, 1);
    EXPECT_EQ(text.output.rfind("INCOMPLETE: the file ends early; 1 object measured\nstatus: "
                                "incomplete\nscene: cut_off.orv\n",
                                0),
              0u)
        << text.output;
    // What the file holds is still listed as it was: the early end is a note, not a failure.
    EXPECT_EQ(RunOrva("info '" + path + "'").exitCode, 0);
}

// What the figures cannot be trusted for is said: a part far from the rest or with infinite
// points is left out (the status incomplete), a stone in an intersection group or of an absurd
// size is warned of. The healthy millimetre cube always measures 1 mm3.
TEST(MeasureCommandTest, DegenerateObjectsAreLeftOutOrWarnedOf) {
    constexpr float kInf = std::numeric_limits<float>::infinity();
    struct CCase {
        const char* name;
        std::function<void(CListBuilder&)> add;
        const char* status;
        const char* warning;
        double volume = 1.0;
    };
    const CCase cases[] = {
        {"far",
         [](CListBuilder& l) {
             l.Append(MakeBoxMesh({1e30f, 0, 0}, {1e30f, 1, 1}).release());
         },
         "incomplete", "object 1 (polyMesh) is left out: it lies 1e+27 m from the rest"},
        {"infinite",
         [&](CListBuilder& l) {
             l.Append(MakeBoxMesh({0, 0, 0}, {kInf, 1, 1}).release());
         },
         "incomplete", "object 1 (polyMesh) is left out: its points are not all finite"},
        {"stone in an intersection",
         [](CListBuilder& l) {
             auto group = std::make_unique<CGroup>();
             group->kind = kGroupIntersection;
             CListBuilder children(group->children.first);
             children.Append(MakeBoxMesh({5, 0, 0}, {6, 1, 1}).release());
             children.Append(Stone("Diamond", {5.5f, 0.5f, 0.5f}, 1).release());
             l.Append(group.release());
         },
         "ok", "object 1 (group): a stone inside an intersection group"},
        {"huge stone",
         [](CListBuilder& l) {
             l.Append(Stone("Diamond", {9, 9, 9}, 1e29f).release());
         },
         "ok", "a stone (shape #0) measures 1e+29 mm, larger than 50 mm"},
        {"foil",
         [](CListBuilder& l) {
             l.Append(MakeBoxMesh({0, 0, 2}, {10, 10, 2.01f}).release());
         },
         "ok", "metal thinner than two of the grid's cells (0.006 mm) may put the volume out by",
         2.0},
    };
    const std::string library = CubeLibrary();
    for (const CCase& c : cases) {
        CObjectList scene;
        CListBuilder list(scene.first);
        list.Append(MakeBoxMesh({0, 0, 0}, {1, 1, 1}).release());
        c.add(list);
        const std::string path =
            test::WriteTempFile("degenerate.orv", WriteSceneBytes(scene.first));
        const bool complete = std::string(c.status) == "ok";
        const json r = MeasureJson("--gemlib '" + library + "' '" + path + "'", complete ? 0 : 1);
        EXPECT_EQ(r["status"], c.status) << c.name;
        EXPECT_NEAR(r["metal_volume_mm3"].get<double>(), c.volume,
                    std::max(0.005, c.volume * r["uncertainty_pct"].get<double>() / 100.0))
            << c.name;
        ASSERT_EQ(r["warnings"].size(), 1u) << c.name;
        EXPECT_EQ(r["warnings"][0].get<std::string>().rfind(c.warning, 0), 0u)
            << c.name << ": " << r["warnings"][0];
    }
}

// The solitaire's shank alone, from the sample's own description: a cross-section 2.2 mm wide
// from the inner radius 8.5 out to 10.2 + 0.3 ((1 + cos t) / 2)^2 at the angle t from the top,
// swept round, less its four edges rounded with radius 0.35 (each takes (1 - pi / 4) r^2 of
// the cross-section, its centroid (10 - 3 pi) / (12 - 3 pi) r in from the corner).
TEST(MeasureCommandTest, SolitaireShankAgainstItsSweptCrossSection) {
    std::ifstream source(ORVA_SOURCE_DIR "/data/samples/solitaire_ring.json");
    const json sample = json::parse(source);
    const std::string band =
        test::WriteTempFile("shank.orv", test::SceneBytes(json::array({sample["objects"][0]})));
    constexpr double kInner = 8.5, kWidth = 2.2, kRound = 0.35, kPi = 3.14159265358979;
    double section = 0.0;  // the integral of (ro^2 - ri^2) / 2 over the turn
    double outerLength = 0.0;
    constexpr int kSteps = 100000;
    for (int i = 0; i < kSteps; ++i) {
        const double t = 2 * kPi * (i + 0.5) / kSteps;
        const double ro = kInner + 1.7 + 0.3 * std::pow((1 + std::cos(t)) / 2, 2);
        section += (ro * ro - kInner * kInner) / 2 * (2 * kPi / kSteps);
        outerLength += ro * (2 * kPi / kSteps);
    }
    const double corner = (1 - kPi / 4) * kRound * kRound;
    const double inset = (10 - 3 * kPi) / (12 - 3 * kPi) * kRound;
    const double exact = kWidth * section - 2 * corner * (outerLength - 2 * kPi * inset) -
                         2 * corner * (2 * kPi * (kInner + inset));
    for (const double accuracy : {0.5, 0.1}) {
        const json r = MeasureJson("--accuracy " + std::to_string(accuracy) + " '" + band + "'", 0);
        EXPECT_NEAR(r["metal_volume_mm3"].get<double>(), exact, exact * accuracy / 100.0);
    }
}

TEST(MeasureCommandTest, SolitaireRingReport) {
    const std::string ring = std::string(ORVA_SAMPLES_DIR) + "/solitaire_ring.orv";
    const json r = MeasureJson("'" + ring + "'", 0);
    ASSERT_EQ(r["gems"].size(), 1u);
    EXPECT_EQ(r["gems"][0]["name"], "round brilliant");
    EXPECT_EQ(r["gems"][0]["material"], "Diamond");
    // 6 mm wide, 59.3 % deep; a 6 mm round brilliant with a girdle of some thickness weighs
    // about 0.8 ct, this one's knife-edge girdle makes it lighter.
    EXPECT_NEAR(r["gems"][0]["size_mm"][1].get<double>(), 6.0, 0.01);
    EXPECT_NEAR(r["gems"][0]["size_mm"][2].get<double>(), 6.0 * 0.593, 0.01);
    EXPECT_NEAR(r["gems"][0]["carat_each"].get<double>(),
                r["gems"][0]["volume_mm3"].get<double>() * 3.52 / 200.0, 1e-3);
    EXPECT_GT(r["gems"][0]["carat_each"].get<double>(), 0.65);
    EXPECT_LT(r["gems"][0]["carat_each"].get<double>(), 0.8);
    ASSERT_EQ(r["metals"].size(), 1u);
    EXPECT_EQ(r["metals"][0]["alloy"], "18k-yellow");
    EXPECT_LE(r["uncertainty_pct"].get<double>(), 1.0);
    // The shank's bore is 17 mm across (inner radius 8.5), less what the tessellation's chords
    // take; its sizes are those of 17 mm.
    EXPECT_NEAR(r["ring"]["inner_diameter_mm"].get<double>(), 17.0, 0.05);
    EXPECT_EQ(r["ring"]["us"], "6 1/2");
    EXPECT_EQ(r["ring"]["jp"], "13");
    // The text table says the same.
    const CRun text = RunOrva("measure '" + ring + "'");
    EXPECT_EQ(text.exitCode, 0);
    EXPECT_NE(text.output.find("    1  round brilliant "), std::string::npos) << text.output;
    EXPECT_NE(text.output.find("18K yellow gold  "), std::string::npos) << text.output;
    EXPECT_NE(text.output.find("size US 6 1/2, UK M 1/2, EU 53, JP 13"), std::string::npos)
        << text.output;
    // The pendant's bail is a hole too small for a finger: no ring.
    const json pendant = MeasureJson("'" + std::string(ORVA_SAMPLES_DIR) + "/pendant.orv'", 0);
    EXPECT_TRUE(pendant["ring"].is_null()) << pendant["ring"];
}

// Parts of two materials sharing 5 x 7 x 8 of metal: the later part's material has it, the
// weights add up to the whole, and the report says so in the JSON and in the table.
TEST(MeasureCommandTest, OverlappingMaterialsAreReported) {
    CObjectList scene;
    CListBuilder list(scene.first);
    auto gold = MakeBoxMesh({0, 0, 0}, {10, 10, 10});
    gold->materialName = NamePool().RegisterName("Gold18KYellow");
    list.Append(gold.release());
    auto platinum = MakeBoxMesh({5, 3, 2}, {15, 13, 12});
    platinum->materialName = NamePool().RegisterName("Platinum");
    list.Append(platinum.release());
    const std::string path = test::WriteTempFile("overlap.orv", WriteSceneBytes(scene.first));
    const json r = MeasureJson("'" + path + "'", 0);
    EXPECT_NEAR(r["overlap_mm3"].get<double>(), 280.0, 1720.0 * 0.01);
    ASSERT_EQ(r["overlaps"].size(), 1u);
    EXPECT_EQ(r["overlaps"][0]["counted_as"], "Platinum");
    EXPECT_NEAR(
        r["metals"][0]["volume_mm3"].get<double>() + r["metals"][1]["volume_mm3"].get<double>(),
        r["metal_volume_mm3"].get<double>(), 1720.0 * 0.005);
    const CRun text = RunOrva("measure '" + path + "'");
    EXPECT_NE(text.output.find("where Gold18KYellow reaches into Platinum is counted as Platinum"),
              std::string::npos)
        << text.output;
    // Apart, nothing is counted twice and the table says nothing of it.
    const json apart = MeasureJson("'" + TwoMetalScene() + "'", 0);
    EXPECT_EQ(apart["overlap_mm3"], 0.0);
    EXPECT_EQ(RunOrva("measure '" + TwoMetalScene() + "'").output.find("overlap"),
              std::string::npos);
}

struct CStopped {
    int exitCode = -1;
    std::string output;
};

// Starts a measure that takes many seconds (the finest grid on one thread), interrupts it
// after `delay` and returns its exit status and what it printed.
CStopped InterruptedMeasure(const std::string& scene, std::chrono::milliseconds delay) {
    const std::string out = test::WriteTempFile("interrupted_measure.txt", {});
    const pid_t child = fork();
    if (child == 0) {
        const int fd = open(out.c_str(), O_WRONLY | O_TRUNC);
        dup2(fd, STDOUT_FILENO);
        execl(ORVA_PROGRAM, ORVA_PROGRAM, "measure", "--json", "--accuracy", "0.01", "--threads",
              "1", scene.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    std::this_thread::sleep_for(delay);
    kill(child, SIGINT);
    int status = 0;
    waitpid(child, &status, 0);
    std::ifstream printed(out);
    std::ostringstream text;
    text << printed.rdbuf();
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, text.str()};
}

TEST(MeasureCommandTest, InterruptStopsTheMeasureAndPrintsNothing) {
    const std::string scene = TwoMetalScene();
    for (const int delay : {400, 1200}) {
        const CStopped stopped = InterruptedMeasure(scene, std::chrono::milliseconds(delay));
        ASSERT_NE(stopped.exitCode, -1) << "killed by the signal instead of stopping";
        ASSERT_NE(stopped.exitCode, 0) << "the measure ended before the interrupt came";
        EXPECT_EQ(stopped.exitCode, 130);
        EXPECT_EQ(stopped.output, "");
    }
}

}  // namespace
}  // namespace orva
