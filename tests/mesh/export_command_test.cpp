#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

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

using test::json;
using test::RunOrva;

// What the independent checker (CGAL, and lib3mf for a 3MF) says of each shell of a file.
std::vector<json> Check(const std::string& path) {
    std::vector<json> shells;
    std::FILE* pipe = popen((std::string(MESH_CHECK) + " '" + path + "'").c_str(), "r");
    char line[4096];
    while (pipe != nullptr && std::fgets(line, sizeof line, pipe) != nullptr) {
        shells.push_back(json::parse(line));
    }
    if (pipe != nullptr) {
        pclose(pipe);
    }
    return shells;
}

void ExpectSound(const json& shell, const std::string& what) {
    EXPECT_TRUE(shell["closed"].get<bool>()) << what << shell;
    EXPECT_TRUE(shell["outward"].get<bool>()) << what << shell;
    EXPECT_FALSE(shell["self_intersecting"].get<bool>()) << what << shell;
}

std::unique_ptr<CGem> Stone(const char* material, CVector3 at, float size) {
    auto gem = std::make_unique<CGem>();
    gem->materialName = NamePool().RegisterName(material);
    gem->placement = Multiply(CMatrix4::Scaling(size, size, size), CMatrix4::Translation(at));
    return gem;
}

struct CCase {
    const char* name;
    std::function<void(CListBuilder&)> build;
    const char* parts;
    double volume;
    long euler;
    std::size_t components;
};

// Analytic solids at 0.1 mm: each export is one closed, outward shell without
// self-intersections, of the right volume and topology.
TEST(ExportCommandTest, AnalyticSolidsAreClosedShellsOfTheirVolume) {
    const auto gemlib = test::WriteTempFile(
        "cube.gemlib",
        WriteGemLibraryBytes(MakeBoxMesh({-0.5f, -0.5f, -0.5f}, {0.5f, 0.5f, 0.5f}).get()));
    const auto seated = [](CListBuilder& l) {
        l.Append(MakeBoxMesh({0, 0, 0}, {10, 10, 10}).release());
        auto seat = MakeBoxMesh({3, 3, 6}, {7, 7, 12});
        seat->cutter = 1;
        l.Append(seat.release());
        l.Append(Stone("Diamond", {5, 5, 8}, 4).release());
    };
    const CCase cases[] = {
        {"box",
         [](CListBuilder& l) {
             l.Append(MakeBoxMesh({0, 0, 0}, {10, 8, 6}).release());
         },
         "all", 480.0, 2, 1},
        {"turned box",
         [](CListBuilder& l) {
             auto box = MakeBoxMesh({-4, -2.5f, -1.5f}, {4, 2.5f, 1.5f});
             for (CVector3& p : box->points) {
                 const float x = p.x * 0.8f - p.y * 0.6f;
                 p = CVector3(x, p.x * 0.6f + p.y * 0.8f, p.z);
             }
             l.Append(box.release());
         },
         "all", 120.0, 2, 1},
        {"square hole",
         [](CListBuilder& l) {
             l.Append(MakeBoxMesh({0, 0, 0}, {10, 10, 10}).release());
             auto hole = MakeBoxMesh({3, -1, 3}, {7, 11, 7});
             hole->cutter = 1;
             l.Append(hole.release());
         },
         "all", 840.0, 0, 1},
        {"union",
         [](CListBuilder& l) {
             auto g = std::make_unique<CGroup>();
             g->kind = kGroupUnion;
             CListBuilder c(g->children.first);
             c.Append(MakeBoxMesh({0, 0, 0}, {10, 10, 10}).release());
             c.Append(MakeBoxMesh({5, 3, 2}, {15, 13, 12}).release());
             l.Append(g.release());
         },
         "all", 1720.0, 2, 1},
        {"difference",
         [](CListBuilder& l) {
             auto g = std::make_unique<CGroup>();
             g->kind = kGroupDifference;
             CListBuilder c(g->children.first);
             c.Append(MakeBoxMesh({0, 0, 0}, {10, 10, 10}).release());
             c.Append(MakeBoxMesh({5, 3, 2}, {15, 13, 12}).release());
             l.Append(g.release());
         },
         "all", 720.0, 2, 1},
        {"two apart",
         [](CListBuilder& l) {
             l.Append(MakeBoxMesh({0, 0, 0}, {4, 4, 4}).release());
             l.Append(MakeBoxMesh({10, 0, 0}, {14, 4, 4}).release());
         },
         "all", 128.0, 4, 2},
        {"seat, metal", seated, "metal", 1000.0 - 64.0, 2, 1},
        {"seat, gems", seated, "gems", 64.0, 2, 1},
    };
    for (const CCase& c : cases) {
        CObjectList scene;
        CListBuilder list(scene.first);
        c.build(list);
        const std::string path = test::WriteTempFile("export.orv", WriteSceneBytes(scene.first));
        const std::string out = path + ".stl";
        const auto run = RunOrva("export --resolution 0.1 --parts " + std::string(c.parts) +
                                 " --gemlib '" + gemlib + "' '" + path + "' -o '" + out + "'");
        ASSERT_EQ(run.exitCode, 0) << c.name;
        const std::vector<json> shells = Check(out);
        ASSERT_EQ(shells.size(), 1u) << c.name;
        ExpectSound(shells[0], c.name);
        EXPECT_NEAR(shells[0]["volume"].get<double>(), c.volume, c.volume * 0.003) << c.name;
        EXPECT_EQ(shells[0]["euler"].get<long>(), c.euler) << c.name;
        EXPECT_EQ(shells[0]["components"].get<std::size_t>(), c.components) << c.name;
    }
}

class SampleExportTest : public ::testing::TestWithParam<const char*> {};

// Every sample at 0.05 mm: each object of its 3MF (a metal per material, a stone per stone) is
// a sound shell as CGAL and lib3mf see it, and the metal adds up to what the report measures.
TEST_P(SampleExportTest, SoundShellsThatWeighWhatTheReportSays) {
    {
        const std::string scene = std::string(ORVA_SAMPLES_DIR) + "/" + GetParam() + ".orv";
        const std::string out = test::WriteTempFile(std::string(GetParam()) + ".3mf", {});
        ASSERT_EQ(RunOrva("export --resolution 0.05 '" + scene + "' -o '" + out + "'").exitCode, 0)
            << scene;
        const json report =
            json::parse(RunOrva("measure --json --accuracy 0.1 '" + scene + "'").output);
        double metal = 0.0;
        std::size_t shells = 0;
        for (const json& shell : Check(out)) {
            ExpectSound(shell, scene);
            EXPECT_TRUE(shell["lib3mf_manifold_oriented"].get<bool>()) << scene << shell;
            ++shells;
            for (const json& m : report["metals"]) {
                if (m["material"] == shell["name"]) {
                    metal += shell["volume"].get<double>();
                    // Each material's metal, the overlap given to the later part as the
                    // report gives it.
                    EXPECT_NEAR(shell["volume"].get<double>(), m["volume_mm3"].get<double>(),
                                m["volume_mm3"].get<double>() * 0.004)
                        << scene << " " << shell["name"];
                }
            }
        }
        std::size_t stones = 0;
        for (const json& g : report["gems"]) {
            stones += g["count"].get<std::size_t>();
        }
        EXPECT_EQ(shells, report["metals"].size() + stones) << scene;
        EXPECT_NEAR(metal, report["metal_volume_mm3"].get<double>(),
                    report["metal_volume_mm3"].get<double>() * 0.002)
            << scene;
    }
}

#ifdef ORVA_SANITIZED
INSTANTIATE_TEST_SUITE_P(Samples, SampleExportTest, ::testing::Values("pendant"));
#else
INSTANTIATE_TEST_SUITE_P(Samples, SampleExportTest,
                         ::testing::Values("first_ring", "solitaire_ring", "channel_band",
                                           "pendant", "earrings"));
#endif

// Bad requests are refused in one line with the system's exit codes, and leave no file.
TEST(ExportCommandTest, RefusalsLeaveNoFile) {
    const std::string ring = std::string(ORVA_SAMPLES_DIR) + "/first_ring.orv";
    const std::string out = test::WriteTempFile("refused.stl", {});
    std::filesystem::remove(out);
    EXPECT_EQ(RunOrva("export '" + ring + "' -o '" + out + ".obj'").exitCode, 2);
    EXPECT_EQ(RunOrva("export --resolution 2 '" + ring + "' -o '" + out + "'").exitCode, 2);
    CObjectList empty;
    const std::string nothing = test::WriteTempFile("nothing.orv", WriteSceneBytes(empty.first));
    const auto run = RunOrva("export '" + nothing + "' -o '" + out + "'", test::EStream::kStderr);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.output.find("nothing to export"), std::string::npos) << run.output;
    // A lattice beyond the memory limit names a resolution that fits, before casting a ray.
    CObjectList large;
    CListBuilder(large.first).Append(MakeBoxMesh({0, 0, 0}, {900, 900, 900}).release());
    const std::string big = test::WriteTempFile("large.orv", WriteSceneBytes(large.first));
    const auto refused =
        RunOrva("export --resolution 0.005 '" + big + "' -o '" + out + "'", test::EStream::kStderr);
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.output.find(" mm would fit"), std::string::npos) << refused.output;
    EXPECT_FALSE(std::filesystem::exists(out));
    // Ctrl+C half way through a fine export: exit 130, and neither the file nor a temporary
    // one beside it.
    const pid_t child = fork();
    if (child == 0) {
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, STDERR_FILENO);
        execl(ORVA_PROGRAM, ORVA_PROGRAM, "export", "--resolution", "0.01", "--threads", "1",
              ring.c_str(), "-o", out.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    kill(child, SIGINT);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 130) << status;
    for (const auto& entry :
         std::filesystem::directory_iterator(std::filesystem::path(out).parent_path())) {
        EXPECT_EQ(entry.path().filename().string().rfind("refused.stl", 0), std::string::npos)
            << entry.path();
    }
}

}  // namespace
}  // namespace orva
