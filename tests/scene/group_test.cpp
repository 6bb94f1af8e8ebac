#include <gtest/gtest.h>

#include "object_bounds.h"
#include "recording_drawer.h"
#include "scene/curve.h"
#include "scene/group.h"
#include "scene_bytes.h"

namespace orva {
namespace {

using test::CSceneStream;
using test::json;

json Curve(int32_t state, float x) {
    return {{"type", "curve"}, {"state", state}, {"colour", 4}, {"points", {{x, 0, 0}}}};
}

// A group record written by hand, so that children may carry any stored state.
std::vector<uint8_t> GroupFile(int32_t kind, const std::vector<json>& children,
                               bool withJunk = false) {
    CSceneStream s;
    s.Byte(':');
    s.out().WriteInt32(kTypeGroup);
    const CMatrix4 identity;
    s.out().WriteInt32(0);
    s.out().WriteMatrix(identity);
    s.out().WriteInt32(0);
    s.out().WriteMatrix(identity);
    s.out().WriteInt32(0);
    s.out().WriteMatrix(identity);                           // placement
    s.out().WriteInt16(static_cast<int16_t>(0x100 | kind));  // only the low 8 bits count
    for (const json& child : children) {
        if (withJunk) {
            s.Byte('?');
        }
        s.Object(child, ':');
    }
    s.Byte('%').End();
    return s.bytes();
}

const CGroup& OnlyGroup(const test::CReadResult& r) {
    return static_cast<const CGroup&>(*r.objects.first);
}

std::vector<float> ChildXs(const CGroup& g) {
    std::vector<float> xs;
    for (const CSceneObject* c = g.children.first; c != nullptr; c = c->next) {
        xs.push_back(static_cast<const CCurve*>(c)->points[0].x);
    }
    return xs;
}

TEST(GroupReadTest, KeepsShownChildrenAndDropsTheOthers) {
    const test::CReadResult r =
        test::ReadScene(GroupFile(2, {Curve(0, 1), Curve(5, 2), Curve(1, 3), Curve(-99, 4)}, true));
    const CGroup& g = OnlyGroup(r);
    EXPECT_EQ(g.kind, 2);
    EXPECT_EQ(ChildXs(g), (std::vector<float>{1, 3}));
    EXPECT_EQ(g.baseMarked, 0);
    EXPECT_EQ(g.displayState, 0);
}

TEST(GroupReadTest, DifferenceTakesAMarkedFirstChildAsItsBase) {
    const test::CReadResult r =
        test::ReadScene(GroupFile(4, {Curve(-99, 1), Curve(0, 2), Curve(-99, 3)}));
    const CGroup& g = OnlyGroup(r);
    EXPECT_EQ(g.baseMarked, 1);
    EXPECT_EQ(ChildXs(g), (std::vector<float>{1, 2}));  // a later marked child is dropped
    EXPECT_EQ(g.children.first->displayState, 0);       // -99 + 99
    EXPECT_EQ(g.children.first->colourIndex, 0);
    EXPECT_EQ(g.children.first->next->colourIndex, 4);
}

TEST(GroupReadTest, MarkedStateMinus98BecomesHighlighted) {
    const test::CReadResult r = test::ReadScene(GroupFile(4, {Curve(-98, 1)}));
    EXPECT_EQ(OnlyGroup(r).children.first->displayState, 1);
}

TEST(GroupReadTest, MarkedChildAfterAShownOneIsNotABase) {
    const test::CReadResult r = test::ReadScene(GroupFile(4, {Curve(0, 1), Curve(-99, 2)}));
    const CGroup& g = OnlyGroup(r);
    EXPECT_EQ(ChildXs(g), (std::vector<float>{1}));
    EXPECT_EQ(g.baseMarked, 0);
}

TEST(GroupReadTest, MarkedChildOutsideADifferenceIsDropped) {
    const test::CReadResult r = test::ReadScene(GroupFile(3, {Curve(-99, 1), Curve(0, 2)}));
    EXPECT_EQ(ChildXs(OnlyGroup(r)), (std::vector<float>{2}));
}

TEST(GroupReadTest, GroupWithEveryChildRejectedIsEmpty) {
    const test::CReadResult r = test::ReadScene(GroupFile(2, {Curve(7, 1), {{"type", "curve"}}}));
    const CGroup& g = OnlyGroup(r);
    EXPECT_EQ(g.displayState, kEmptyRecordState);
    EXPECT_TRUE(g.children.Empty());
}

TEST(GroupReadTest, NestingDeeperThanTheLimitIsRejected) {
    json nested = Curve(0, 1);
    for (int depth = 0; depth < kMaxGroupNesting; ++depth) {
        nested = {{"type", "group"}, {"children", {nested}}};
    }
    const test::CReadResult fits = test::ReadScene(test::SceneBytes(json::array({nested})));
    EXPECT_EQ(fits.count, 1);
    EXPECT_FALSE(fits.report.stoppedEarly);

    const json tooDeep = {{"type", "group"}, {"children", {nested}}};
    const test::CReadResult r =
        test::ReadScene(test::SceneBytes(json::array({Curve(0, 0), tooDeep})));
    EXPECT_EQ(r.count, 1);
    EXPECT_EQ(r.report.stopReason, "groups nested too deeply");
}

TEST(GroupReadTest, DifferenceBaseIsWrittenBackInItsMarkedForm) {
    const std::vector<uint8_t> bytes = GroupFile(4, {Curve(-99, 1), Curve(0, 2)});
    const test::CReadResult first = test::ReadScene(bytes);
    CMemorySink sink;
    CByteWriter out(sink);
    out.WriteByte(':');
    WriteObject(out, *first.objects.first);
    const CGroup& original = OnlyGroup(first);
    EXPECT_EQ(original.children.first->displayState, 0);  // writing leaves the object as it was

    std::vector<uint8_t> rewritten = CSceneStream().bytes();
    rewritten.insert(rewritten.end(), sink.data.begin(), sink.data.end());
    const test::CReadResult second = test::ReadScene(rewritten);
    EXPECT_EQ(OnlyGroup(second).baseMarked, 1);
    EXPECT_EQ(ChildXs(OnlyGroup(second)), (std::vector<float>{1, 2}));
}

class GroupBehaviourTest : public ::testing::Test {
protected:
    // kind-4 group of three shown curves at x = 1, 2, 3.
    std::unique_ptr<CGroup> MakeGroup(int32_t kind, int32_t baseMarked) {
        auto g = std::make_unique<CGroup>();
        g->kind = kind;
        g->baseMarked = baseMarked;
        CListBuilder builder(g->children.first);
        for (float x : {1.0f, 2.0f, 3.0f}) {
            auto c = std::make_unique<CCurve>();
            c->points = {CVector3(x, x, 0)};
            c->selection = {1};
            builder.Append(c.release());
        }
        return g;
    }
};

TEST_F(GroupBehaviourTest, UnmarkedDifferenceDrawsAndMeasuresOnlyItsFirstChild) {
    auto g = MakeGroup(kGroupDifference, 0);
    test::CRecordingDrawer drawer;
    g->Draw(drawer, kModeWireframe);
    EXPECT_EQ(drawer.calls, std::vector<std::string>{"curve 0"});
    const test::CBounds bounds = test::BoundsOf(*g, CMatrix4::Identity());
    EXPECT_EQ(bounds.min, CVector3(1, 1, 0));
    EXPECT_EQ(bounds.max, CVector3(1, 1, 0));
}

TEST_F(GroupBehaviourTest, OtherKindsUseEveryShownChildWithoutThePlacement) {
    auto g = MakeGroup(kGroupUnion, 0);
    g->placement = CMatrix4::Translation(CVector3(100, 0, 0));
    g->children.first->next->displayState = 3;  // hidden
    test::CRecordingDrawer drawer;
    g->Draw(drawer, kModeFastWireframe);
    EXPECT_EQ(drawer.calls, (std::vector<std::string>{"curve 10", "curve 10"}));
    const test::CBounds bounds = test::BoundsOf(*g, CMatrix4::Scaling(2, 2, 2));
    EXPECT_EQ(bounds.min, CVector3(2, 2, 0));
    EXPECT_EQ(bounds.max, CVector3(6, 6, 0));
}

TEST_F(GroupBehaviourTest, SelectiveTransformMovesOnlyWhatCounts) {
    auto g = MakeGroup(kGroupDifference, 0);
    const CMatrix4 shift = CMatrix4::Translation(CVector3(0, 0, 5));
    g->Transform(shift, 0);
    EXPECT_EQ(ChildXs(*g), (std::vector<float>{1, 2, 3}));
    EXPECT_EQ(static_cast<CCurve*>(g->children.first)->points[0].z, 5.0f);
    EXPECT_EQ(static_cast<CCurve*>(g->children.first->next)->points[0].z, 0.0f);
    EXPECT_EQ(g->placement, CMatrix4::Identity());  // a selective move leaves the placement

    g->Transform(shift, 1);
    EXPECT_EQ(static_cast<CCurve*>(g->children.first->next)->points[0].z, 5.0f);
    EXPECT_EQ(g->placement[14], 5.0f);
}

TEST_F(GroupBehaviourTest, CloneIsDeepAndOutlivesTheOriginal) {
    auto g = MakeGroup(kGroupUnion, 0);
    std::unique_ptr<CSceneObject> copy = g->Clone();
    const CSceneObject* originalChild = g->children.first;
    g.reset();
    const auto& clone = static_cast<const CGroup&>(*copy);
    ASSERT_EQ(clone.children.Count(), 3);
    EXPECT_NE(clone.children.first, originalChild);
    EXPECT_EQ(ChildXs(clone), (std::vector<float>{1, 2, 3}));
    EXPECT_EQ(copy->next, nullptr);
}

TEST_F(GroupBehaviourTest, SwapContentsKeepsListPositions) {
    auto a = MakeGroup(kGroupUnion, 0);
    auto b = MakeGroup(kGroupDifference, 1);
    b->children.Clear();
    CCurve marker;
    a->next = &marker;
    a->SwapContents(*b);
    EXPECT_EQ(a->kind, kGroupDifference);
    EXPECT_TRUE(a->children.Empty());
    EXPECT_EQ(b->children.Count(), 3);
    EXPECT_EQ(a->next, &marker);
    EXPECT_EQ(b->next, nullptr);
    CCurve curve;
    a->SwapContents(curve);  // another class: nothing happens
    EXPECT_EQ(a->kind, kGroupDifference);
    a->next = nullptr;
}

}  // namespace
}  // namespace orva
