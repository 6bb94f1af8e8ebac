#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "platform/message_box.h"
#include "scene/curve.h"
#include "scene/group.h"
#include "scene/poly_mesh.h"
#include "scene/surface.h"
#include "scene_bytes.h"

namespace orva {
namespace {

using test::CSceneStream;
using test::json;

const json kCurve = {{"type", "curve"}, {"points", {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}}}};

// Records the messages the user would see.
class MessageRecorder {
public:
    MessageRecorder() {
        m_previous =
            SetMessageHandler([this](const std::string& text) { messages.push_back(text); });
    }
    ~MessageRecorder() { SetMessageHandler(m_previous); }
    std::vector<std::string> messages;

private:
    MessageHandler m_previous;
};

TEST(ReadObjectListTest, WrongFirstCharacterIsRejectedAfterOneRead) {
    std::vector<uint8_t> bytes = test::SceneBytes(json::array({kCurve}));
    bytes[1] ^= 0x01;  // the value of the first 1-byte read
    CByteReader in(bytes);
    CSceneObject* first = nullptr;
    EXPECT_EQ(ReadObjectList(in, first, true), -1);
    EXPECT_EQ(first, nullptr);
    EXPECT_EQ(in.Offset(), 2);
}

TEST(ReadObjectListTest, SignatureAndEndAloneGiveAnEmptyList) {
    const test::CReadResult r = test::ReadScene(CSceneStream().End().bytes());
    EXPECT_EQ(r.count, 0);
    EXPECT_TRUE(r.objects.Empty());
    EXPECT_FALSE(r.report.stoppedEarly);
}

TEST(ReadObjectListTest, EveryObjectControlByteStartsARecordAndOthersAreSkipped) {
    CSceneStream s;
    s.Byte('x').Byte(0).Object(kCurve, ':').Object(kCurve, '%').Byte('#').Object(kCurve, ')').End();
    s.Object(kCurve);  // after the end byte: never read
    const test::CReadResult r = test::ReadScene(s.bytes());
    EXPECT_EQ(r.count, 3);
    EXPECT_EQ(r.objects.Count(), 3);
}

TEST(ReadObjectListTest, EndByte255EndsTheList) {
    CSceneStream s;
    s.Object(kCurve).Byte(255).Object(kCurve);
    EXPECT_EQ(test::ReadScene(s.bytes()).count, 1);
}

TEST(ReadObjectListTest, ObjectsAreTakenWhateverTheirStateAndEmptyRecordsStay) {
    CSceneStream s;
    s.Object({{"type", "curve"}, {"state", 5}, {"points", {{0, 0, 0}}}});
    s.Object({{"type", "curve"}, {"points", json::array()}});
    s.End();
    const test::CReadResult r = test::ReadScene(s.bytes());
    ASSERT_EQ(r.count, 2);
    EXPECT_EQ(r.At(0)->displayState, 5);
    EXPECT_EQ(r.At(1)->displayState, kEmptyRecordState);
}

TEST(ReadObjectListTest, UnregisteredRecordIsSkippedUpToTheNextControlByte) {
    CSceneStream s;
    s.Byte(':');
    s.out().WriteInt32(77);  // unknown class
    for (uint8_t payload : {1, 2, 3, 200}) {
        s.Byte(payload);
    }
    s.Object(kCurve).End();
    const test::CReadResult r = test::ReadScene(s.bytes());
    EXPECT_EQ(r.count, 1);
    EXPECT_EQ(r.At(0)->GetTypeId(), kTypeCurve);
}

TEST(ReadObjectListTest, FileEndingWithoutEndByteKeepsEveryCompleteObject) {
    CSceneStream s;
    s.Object(kCurve).Object(kCurve);
    const test::CReadResult r = test::ReadScene(s.bytes());
    EXPECT_EQ(r.count, 2);
    EXPECT_TRUE(r.report.stoppedEarly);
    EXPECT_EQ(r.report.stopReason, "end of file");
}

TEST(ReadObjectListTest, RecordCutShortIsDroppedAndThoseBeforeItKept) {
    CSceneStream s;
    s.Object(kCurve).Object(
        {{"type", "surface"}, {"nu", 1}, {"nv", 2}, {"points", {{0, 0, 0}, {1, 0, 0}}}});
    std::vector<uint8_t> bytes = s.bytes();
    // Every cut inside the second record keeps exactly the first object.
    const size_t firstEnd = test::SceneBytes(json::array({kCurve})).size() - 2;
    for (size_t cut = firstEnd + 3; cut < bytes.size(); cut += 7) {
        const test::CReadResult r =
            test::ReadScene(std::vector<uint8_t>(bytes.begin(), bytes.begin() + cut));
        ASSERT_EQ(r.count, 1) << "cut at " << cut;
        EXPECT_EQ(r.report.stopRecord, 1);
        EXPECT_LE(r.report.stopOffset, static_cast<int64_t>(cut));
    }
}

TEST(ReadObjectListTest, HugeCountsAreRejectedWithoutAllocatingForThem) {
    struct Case {
        const char* what;
        std::function<void(CByteWriter&)> write;
    };
    const CMatrix4 identity;
    auto base = [&](CByteWriter& out, int32_t type) {
        out.WriteInt32(type);
        out.WriteInt32(0);
        out.WriteMatrix(identity);
        out.WriteInt32(0);
        out.WriteMatrix(identity);
        out.WriteInt32(0);
    };
    const Case cases[] = {
        {"point count",
         [&](CByteWriter& out) { base(out, kTypeCurve), out.WriteInt32(0x7FFFFFFF); }},
        {"polygon count",
         [&](CByteWriter& out) {
             base(out, kTypePolyMesh), out.WriteInt32(0), out.WriteInt32(0x7FFFFFFF);
         }},
        {"index count",
         [&](CByteWriter& out) {
             base(out, kTypePolyMesh), out.WriteInt32(0), out.WriteInt32(2);
             out.WriteInt32(0x7FFFFFFF), out.WriteInt32(0x7FFFFFFF);
         }},
        {"material name", [&](CByteWriter& out) {
             out.WriteInt32(kTypeCurve), out.WriteInt32(0), out.WriteMatrix(identity),
                 out.WriteInt32(0);
             out.WriteMatrix(identity), out.WriteInt32(2000000000);
         }}};
    for (const Case& c : cases) {
        CSceneStream s;
        s.Object(kCurve).Byte(':');
        c.write(s.out());
        s.End();
        const test::CReadResult r = test::ReadScene(s.bytes());
        EXPECT_EQ(r.count, 1) << c.what;
        EXPECT_TRUE(r.report.stoppedEarly) << c.what;
        EXPECT_NE(r.report.stopReason.find("than the rest of the file"), std::string::npos)
            << c.what << ": " << r.report.stopReason;
    }
}

TEST(LoadSceneFileTest, RejectedFileShowsTheMessageOnceAndLeavesTheSceneEmpty) {
    MessageRecorder recorder;
    CSceneAnchor scene;
    const std::string good =
        test::WriteTempFile("good.orv", test::SceneBytes(json::array({kCurve})));
    LoadSceneFile(scene, good);
    ASSERT_EQ(scene.Count(), 1);

    std::vector<uint8_t> bad = test::SceneBytes(json::array({kCurve}));
    bad[1] = 0;
    CLoadReport report;
    const std::string badPath = test::WriteTempFile("bad.orv", bad);
    EXPECT_EQ(LoadSceneFile(scene, badPath, &report), 1);
    EXPECT_EQ(report.status, CLoadReport::kInvalid);
    EXPECT_TRUE(scene.Empty());
    EXPECT_EQ(recorder.messages, std::vector<std::string>{"Invalid file format!\n" + badPath});
}

TEST(LoadSceneFileTest, AMissingFileOrAFolderIsUnreadableWithTheSystemsReason) {
    MessageRecorder recorder;
    CSceneAnchor scene;
    const std::string one = test::WriteTempFile("one.orv", test::SceneBytes(json::array({kCurve})));
    LoadSceneFile(scene, one);
    CLoadReport report;
    EXPECT_EQ(LoadSceneFile(scene, "/nonexistent/folder/scene.orv", &report), 1);
    EXPECT_EQ(report.status, CLoadReport::kUnreadable);
    EXPECT_EQ(report.reason, "No such file or directory");
    EXPECT_TRUE(scene.Empty());
    // A folder opens for reading, but is no file of the wrong format.
    LoadSceneFile(scene, std::filesystem::path(one).parent_path().string(), &report);
    EXPECT_EQ(report.status, CLoadReport::kUnreadable);
    EXPECT_EQ(report.reason, "Is a directory");
    EXPECT_TRUE(recorder.messages.empty());
}

TEST(PurgeObjectsTest, RemovesStatesUpToTheLimitAndKeepsTheOrderOfTheRest) {
    CSceneAnchor scene;
    CListBuilder builder(scene.first);
    for (int32_t state : {0, 20000, 5, 10000, -9999, 9999}) {
        auto* c = new CCurve();
        c->displayState = state;
        builder.Append(c);
    }
    PurgeObjects(scene.first, 9999);
    ASSERT_EQ(scene.Count(), 2);
    EXPECT_EQ(scene.first->displayState, 20000);
    EXPECT_EQ(scene.first->next->displayState, 10000);
}

}  // namespace
}  // namespace orva
