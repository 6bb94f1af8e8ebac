#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "platform/egl_display.h"
#include "run_orva.h"
#include "scene_bytes.h"

namespace orva {
namespace {

namespace fs = std::filesystem;
using test::CRun;
using test::EStream;
using test::json;
using test::RunOrva;

const std::string kRing = std::string(ORVA_SAMPLES_DIR) + "/first_ring.orv";
const std::string kBand = std::string(ORVA_SAMPLES_DIR) + "/channel_band.orv";

// A folder of its own for each test, gone when the test ends.
class CScratch {
public:
    explicit CScratch(const std::string& name)
        : m_folder(fs::temp_directory_path() /
                   ("orva-batch-" + name + "-" + std::to_string(getpid()))) {
        fs::remove_all(m_folder);
        fs::create_directories(m_folder);
    }
    ~CScratch() { fs::remove_all(m_folder); }
    std::string Path(const std::string& name) const { return (m_folder / name).string(); }
    // A file that is no scene: it cannot be read as one.
    std::string Broken() const {
        std::ofstream(Path("broken.orv"), std::ios::binary) << "not a scene at all";
        return Path("broken.orv");
    }

private:
    fs::path m_folder;
};

std::string Quoted(const std::vector<std::string>& words) {
    std::string line;
    for (const std::string& word : words) {
        line += " '" + word + "'";
    }
    return line;
}

std::string FileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

// Pictures of several scenes are those each gives alone, byte for byte, whether streamed row by
// row (PNG), drawn whole (BMP) or by OpenGL in one view for all; a file that is no scene is
// named in one line, the scene after it is still drawn, and the run ends with exit 1.
TEST(SceneBatchTest, RenderDrawsEachSceneAsAloneAndGoesOnPastABadFile) {
    const CScratch scratch("render");
    const std::string broken = scratch.Broken();
    std::vector<std::pair<std::string, std::string>> kinds = {{".png", ""}, {".bmp", ""}};
#if !defined(ORVA_SANITIZED)  // the OpenGL pictures' own test runs them under the sanitizers
    if (EGLDisplayAvailable()) {
        kinds.push_back({".png", " --mode 100"});
    }
#endif
    for (const auto& [extension, mode] : kinds) {
        const std::string options = " --size 64x48 --zoom-all --turn 30,20" + mode;
        const CRun run = RunOrva("render" + Quoted({kRing, broken, kBand}) + " -o '" +
                                     scratch.Path("{name}" + extension) + "'" + options,
                                 EStream::kStderr);
        EXPECT_EQ(run.exitCode, 1);
        ASSERT_EQ(Lines(run.output).size(), 1u) << run.output;
        EXPECT_NE(run.output.find(broken), std::string::npos) << run.output;
        EXPECT_FALSE(fs::exists(scratch.Path("broken" + extension)));
        for (const std::string& scene : {kRing, kBand}) {
            const std::string alone = scratch.Path("alone" + extension);
            ASSERT_EQ(RunOrva("render '" + scene + "' -o '" + alone + "'" + options).exitCode, 0);
            const std::string name = fs::path(scene).stem().string();
            const std::string batch = FileBytes(scratch.Path(name + extension));
            EXPECT_FALSE(batch.empty()) << name;
            EXPECT_TRUE(batch == FileBytes(alone)) << name << extension << mode;
        }
    }
}

// One scene with {name} in its output gets the name too.
TEST(SceneBatchTest, OneSceneFillsInItsName) {
    const CScratch scratch("one");
    const CRun run =
        RunOrva("render '" + kRing + "' -o '" + scratch.Path("x-{name}.png") + "' --size 8x8");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(fs::exists(scratch.Path("x-first_ring.png")));
}

// With --json, each scene is one document on one line, the same (as JSON) as the scene alone
// prints, the one that could not be read included; the exit status says one failed.
TEST(SceneBatchTest, InfoJsonIsOneDocumentALineAsEachSceneAlone) {
    const CScratch scratch("info-json");
    const std::vector<std::string> scenes = {kRing, scratch.Broken(), kBand};
    const CRun run = RunOrva("info --json" + Quoted(scenes));
    EXPECT_EQ(run.exitCode, 1);
    const std::vector<std::string> lines = Lines(run.output);
    ASSERT_EQ(lines.size(), scenes.size()) << run.output;
    for (std::size_t i = 0; i < scenes.size(); ++i) {
        const CRun alone = RunOrva("info --json '" + scenes[i] + "'");
        EXPECT_EQ(json::parse(lines[i]), json::parse(alone.output)) << scenes[i];
    }
    const CRun errors = RunOrva("info --json" + Quoted(scenes), EStream::kStderr);
    EXPECT_EQ(Lines(errors.output).size(), 1u) << errors.output;
    EXPECT_EQ(RunOrva("info --json" + Quoted({kRing, kBand})).exitCode, 0);
}

// The tables follow one another, each under a line naming its file, a blank line between; the
// file that could not be read prints no table and no heading.
TEST(SceneBatchTest, InfoTablesAreHeadedByTheirFiles) {
    const CScratch scratch("info-table");
    const CRun run = RunOrva("info" + Quoted({kRing, scratch.Broken(), kBand}));
    EXPECT_EQ(run.exitCode, 1);
    const std::string ring = RunOrva("info '" + kRing + "'").output;
    const std::string band = RunOrva("info '" + kBand + "'").output;
    EXPECT_EQ(run.output, "==> " + kRing + " <==\n" + ring + "\n==> " + kBand + " <==\n" + band);
}

// A cube of side `side` mm in 18K yellow gold: quick to measure.
std::string Cube(const CScratch& scratch, const std::string& name, double side) {
    const double h = side / 2;
    const json cube = {
        {"type", "polyMesh"},
        {"material", "Gold18KYellow"},
        {"points",
         {{-h, -h, -h},
          {h, -h, -h},
          {-h, h, -h},
          {h, h, -h},
          {-h, -h, h},
          {h, -h, h},
          {-h, h, h},
          {h, h, h}}},
        {"polygons",
         {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4}, {2, 6, 7, 3}, {0, 4, 6, 2}, {1, 3, 7, 5}}}};
    const std::string path = scratch.Path(name);
    const std::vector<uint8_t> bytes = test::SceneBytes(json::array({cube}));
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return path;
}

// Measure alike: JSON lines as each alone, headed tables, and a page per scene where --pdf
// names each by {name}.
TEST(SceneBatchTest, MeasureReportsEachSceneAndWritesAPagePerScene) {
    const CScratch scratch("measure");
    const std::vector<std::string> scenes = {Cube(scratch, "small.orv", 4), scratch.Broken(),
                                             Cube(scratch, "large.orv", 6)};
    const std::string options = " --threads 1 --accuracy 2";
    const CRun run = RunOrva("measure --json" + options + Quoted(scenes));
    EXPECT_EQ(run.exitCode, 1);
    const std::vector<std::string> lines = Lines(run.output);
    ASSERT_EQ(lines.size(), scenes.size()) << run.output;
    for (std::size_t i = 0; i < scenes.size(); ++i) {
        const CRun alone = RunOrva("measure --json" + options + " '" + scenes[i] + "'");
        EXPECT_EQ(json::parse(lines[i]), json::parse(alone.output)) << scenes[i];
    }
    EXPECT_NEAR(json::parse(lines[2])["metal_volume_mm3"].get<double>(), 216.0, 216.0 * 0.02);

    const CRun tables = RunOrva("measure" + options + Quoted({scenes[0], scenes[2]}) + " --pdf '" +
                                scratch.Path("{name}.pdf") + "'");
    EXPECT_EQ(tables.exitCode, 0);
    const std::string large = RunOrva("measure" + options + " '" + scenes[2] + "'").output;
    EXPECT_NE(tables.output.find("\n\n==> " + scenes[2] + " <==\n" + large), std::string::npos)
        << tables.output;
    EXPECT_EQ(tables.output.rfind("==> " + scenes[0] + " <==\n", 0), 0u) << tables.output;
    for (const char* page : {"small.pdf", "large.pdf"}) {
        EXPECT_EQ(FileBytes(scratch.Path(page)).rfind("%PDF-", 0), 0u) << page;
    }
}

// An output that would serve several scenes, or two scenes writing one file, is a usage error
// in one line before any work: no file is written.
TEST(SceneBatchTest, OutputsThatCannotServeEveryScene) {
    const CScratch scratch("usage");
    const std::pair<std::string, std::string> cases[] = {
        {"render" + Quoted({kRing, kBand}) + " -o '" + scratch.Path("x.png") + "'",
         "orva: render: -o needs {name} when several scenes are given\n"},
        {"measure" + Quoted({kRing, kBand}) + " --pdf '" + scratch.Path("x.pdf") + "'",
         "orva: measure: --pdf needs {name} when several scenes are given\n"},
        // Two names, one file once the folders are followed.
        {"render" + Quoted({kRing, kBand}) + " -o '" + scratch.Path("{name}/../x.png") + "'",
         "orva: render: " + kRing + " and " + kBand + " would both write " +
             scratch.Path("channel_band/../x.png") + "\n"},
        {"measure" + Quoted({kRing, kRing}) + " --pdf '" + scratch.Path("./{name}.pdf") + "'",
         "orva: measure: " + kRing + " and " + kRing + " would both write " +
             scratch.Path("./first_ring.pdf") + "\n"},
    };
    for (const auto& [words, said] : cases) {
        const CRun run = RunOrva(words, EStream::kBoth);
        EXPECT_EQ(run.exitCode, 2) << words;
        EXPECT_EQ(run.output, said) << words;
    }
    EXPECT_TRUE(fs::is_empty(scratch.Path("")));
}

}  // namespace
}  // namespace orva
