#include <gtest/gtest.h>

#include <sys/wait.h>

#include <array>
#include <cstdio>

#include "run_orva.h"
#include "scene_bytes.h"

namespace orva {
namespace {

using test::json;

using test::CRun;
using test::RunOrva;

json InfoJson(const std::string& path, int expectedExit, const std::string& extra = "") {
    const CRun run = RunOrva("info --json " + extra + " '" + path + "'");
    EXPECT_EQ(run.exitCode, expectedExit) << path;
    return json::parse(run.output);
}

std::string Scene(const std::string& name, const json& objects) {
    return test::WriteTempFile(name, test::SceneBytes(objects));
}

const json kSquare = {{0, 0, 0}, {2, 0, 0}, {2, 2, 0}, {0, 2, 0}};

TEST(InfoCommandTest, ReportsEveryClassWithItsFields) {
    const std::string gemlib = test::WriteTempFile(
        "info.gemlib",
        FileBytesFromJson(
            json{{"format", "gemlib"},
                 {"objects", {{{"type", "polyMesh"}, {"points", {{-1, -1, 0}, {1, 1, 1}}}}}}}));
    const json objects = {
        {{"type", "curve"},
         {"points", {{0, 0, 0}, {1, 2, 3}}},
         {"closed", 1},
         {"steps", 4},
         {"material", "Gold"}},
        {{"type", "surface"},
         {"nu", 2},
         {"nv", 2},
         {"points", {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}}},
         {"closedV", 1},
         {"stepsU", 3},
         {"orientation", -1},
         {"loops", {{{"value", 1}}}}},
        {{"type", "polyMesh"},
         {"points", kSquare},
         {"polygons", {{0, 1, 2, 3}}},
         {"flat", 0},
         {"cutter", true}},
        {{"type", "extrusion"},
         {"depth", 1},
         {"topBevel", 1},
         {"bevelSize", 0.1},
         {"profiles", {{{"points", kSquare}}}}},
        {{"type", "group"}, {"kind", 2}, {"children", {{{"type", "gem"}, {"gem", 0}}}}},
        {{"type", "refPlane"},
         {"axis", 1},
         {"frame", test::MatrixJson(CMatrix4::Translation(CVector3(0, 50, 0)))}},
        {{"type", "gem"},
         {"gem", 0},
         {"neverCut", true},
         {"placement", test::MatrixJson(CMatrix4::Scaling(10, 10, 10))}},
    };
    const json report = InfoJson(Scene("every.orv", objects), 0, "--gemlib '" + gemlib + "'");
    EXPECT_EQ(report["status"], "ok");
    const json& o = report["objects"];
    ASSERT_EQ(o.size(), 7u);
    EXPECT_EQ(o[0]["type"], 2);
    EXPECT_EQ(o[0]["class"], "curve");
    EXPECT_EQ(o[4]["children"][0]["class"], "gem");
    EXPECT_EQ(o[0]["material"], "Gold");
    EXPECT_EQ(o[0]["closed"], 1);
    EXPECT_EQ(o[0]["steps"], 4);
    EXPECT_EQ(o[0]["points"], 2);
    EXPECT_EQ(o[0]["bounds"]["max"], json({1.0, 2.0, 3.0}));
    EXPECT_EQ(o[1]["nu"], 2);
    EXPECT_EQ(o[1]["closedV"], 1);
    EXPECT_EQ(o[1]["stepsU"], 3);
    EXPECT_EQ(o[1]["orientation"], -1);
    EXPECT_EQ(o[1]["loops"], 1);
    EXPECT_EQ(o[2]["polygons"], 1);
    EXPECT_EQ(o[2]["indices"], 4);
    EXPECT_EQ(o[2]["flat"], 0);
    EXPECT_EQ(o[2]["cutter"], true);
    EXPECT_EQ(o[2]["netHidden"], 1);
    EXPECT_EQ(o[3]["profiles"], 1);
    EXPECT_EQ(o[3]["surfaces"], 2);
    EXPECT_EQ(o[3]["curves"], 2);
    EXPECT_EQ(o[4]["kind"], 2);
    EXPECT_EQ(o[4]["baseMarked"], false);
    EXPECT_EQ(o[4]["children"][0]["gem"], 0);
    EXPECT_EQ(o[5]["axis"], 1);
    EXPECT_EQ(o[5]["material"], nullptr);
    EXPECT_EQ(o[6]["neverCut"], true);
    EXPECT_EQ(o[6]["bounds"]["min"], json({-10.0, -10.0, 0.0}));
    // The reference plane stays out of the Zoom All box; the gem is its largest part.
    EXPECT_EQ(report["bounds"]["min"], json({-10.0, -10.0, 0.0}));
    EXPECT_EQ(report["bounds"]["max"], json({10.0, 10.0, 10.0}));
}

TEST(InfoCommandTest, HiddenAndEmptyObjectsLeaveTheBoundsNull) {
    const json objects = {{{"type", "curve"}, {"state", 2}, {"points", {{5, 5, 5}}}},
                          {{"type", "curve"}, {"points", json::array()}},
                          {{"type", "refPlane"}, {"axis", 2}}};
    const json report = InfoJson(Scene("hidden.orv", objects), 0);
    EXPECT_EQ(report["objects"].size(), 3u);
    EXPECT_EQ(report["objects"][1]["state"], -9999);
    EXPECT_EQ(report["objects"][1]["bounds"], nullptr);
    EXPECT_EQ(report["bounds"], nullptr);
}

TEST(InfoCommandTest, InvalidAndUnreadableFilesSaySoAndExitOne) {
    std::vector<uint8_t> bytes = test::SceneBytes(json::array());
    bytes[5] ^= 0x40;
    const json invalid = InfoJson(test::WriteTempFile("invalid.orv", bytes), 1);
    EXPECT_EQ(invalid, json::parse(R"({"status": "invalid", "objects": [], "bounds": null})"));
    const json unreadable = InfoJson("/nonexistent/x.orv", 1);
    EXPECT_EQ(unreadable["status"], "unreadable");
    EXPECT_EQ(unreadable["objects"], json::array());
}

TEST(InfoCommandTest, TruncatedFileKeepsWhatWasReadAndExitsZero) {
    std::vector<uint8_t> bytes =
        test::SceneBytes(json::array({{{"type", "curve"}, {"points", {{0, 0, 0}}}},
                                      {{"type", "curve"}, {"points", {{1, 1, 1}}}}}));
    bytes.resize(bytes.size() - 20);
    const json report = InfoJson(test::WriteTempFile("truncated.orv", bytes), 0);
    EXPECT_EQ(report["status"], "ok");
    EXPECT_EQ(report["objects"].size(), 1u);
}

TEST(InfoCommandTest, RenderAndThumbnailsNoteAnEarlyEndAsInfoDoes) {
    std::vector<uint8_t> bytes =
        test::SceneBytes(json::array({{{"type", "curve"}, {"points", {{0, 0, 0}, {1, 1, 0}}}},
                                      {{"type", "curve"}, {"points", {{1, 1, 1}, {2, 1, 0}}}}}));
    bytes.resize(bytes.size() - 20);
    const std::string cut = test::WriteTempFile("noted.orv", bytes);
    const std::string picture = test::WriteTempFile("noted.png", {});
    const std::string note = RunOrva("info '" + cut + "'", test::EStream::kStderr).output;
    EXPECT_NE(note.find("reading stopped at byte"), std::string::npos) << note;
    const CRun render =
        RunOrva("render '" + cut + "' -o '" + picture + "' --size 16x16", test::EStream::kStderr);
    EXPECT_EQ(render.exitCode, 0);
    EXPECT_EQ(render.output, note);
    const CRun thumbnail =
        RunOrva("thumbnails --one '" + cut + "' '" + picture + "' 16", test::EStream::kStderr);
    EXPECT_EQ(thumbnail.exitCode, 0);
    EXPECT_EQ(thumbnail.output, note);
}

// A name is whatever bytes the file holds: one that is not UTF-8 still gives one JSON
// document, with each bad byte replaced.
TEST(InfoCommandTest, MaterialNameThatIsNotUtf8IsReplacedNotThrownOver) {
    const std::string path = Scene("not_utf8.orv", {{{"type", "curve"},
                                                     {"points", {{0, 0, 0}, {1, 1, 1}}},
                                                     {"material",
                                                      "Gold\xff\xfe"
                                                      "18K"}}});
    const CRun run = RunOrva("info --json '" + path + "'");
    EXPECT_EQ(run.exitCode, 0);
    const json report = json::parse(run.output);  // throws on a second document or junk
    ASSERT_EQ(report["objects"].size(), 1u);
    EXPECT_EQ(report["objects"][0]["material"],
              "Gold\xef\xbf\xbd\xef\xbf\xbd"
              "18K");
}

TEST(InfoCommandTest, UsageErrorsExitTwoAndTheTableNamesTheObjects) {
    EXPECT_EQ(RunOrva("").exitCode, 2);
    EXPECT_EQ(RunOrva("info").exitCode, 2);
    EXPECT_EQ(RunOrva("info --bogus x.orv").exitCode, 2);
    EXPECT_EQ(RunOrva("frobnicate").exitCode, 2);
    const json objects = {{{"type", "gem"}, {"gem", 4}, {"neverCut", true}},
                          {{"type", "polyMesh"},
                           {"points", kSquare},
                           {"polygons", {{0, 1, 2, 3}}},
                           {"cutter", true}}};
    const CRun table = RunOrva("info '" + Scene("table.orv", objects) + "'");
    EXPECT_EQ(table.exitCode, 0);
    EXPECT_NE(table.output.find("status: ok"), std::string::npos);
    // A line says what the columns hold; each row names its class and role.
    EXPECT_NE(table.output.find("role: cutter (cut away from the other parts)"), std::string::npos)
        << table.output;
    EXPECT_NE(table.output.find("\n0    gem "), std::string::npos) << table.output;
    const size_t gemRow = table.output.find("\n0    gem ");
    const size_t meshRow = table.output.find("\n1    polyMesh ");
    ASSERT_NE(meshRow, std::string::npos) << table.output;
    EXPECT_NE(table.output.substr(gemRow, meshRow - gemRow).find(" never cut "), std::string::npos);
    EXPECT_NE(table.output.substr(meshRow).find(" cutter "), std::string::npos);
}

}  // namespace
}  // namespace orva
