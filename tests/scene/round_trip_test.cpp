#include <gtest/gtest.h>

#include "scene/curve.h"
#include "scene/extrusion.h"
#include "scene/gem.h"
#include "scene/group.h"
#include "scene/poly_mesh.h"
#include "scene/ref_plane.h"
#include "scene/surface.h"
#include "scene_bytes.h"

namespace orva {
namespace {

using test::json;

// Fields common to every description, none at its default.
json WithBase(json d) {
    d["state"] = 1;
    d["colour"] = -3;
    d["frame"] = {0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1, 0, 5, 6, 7, 1};
    d["material"] = "Gold18KRose";
    d["materialValue"] = 201;
    d["materialMatrix"] = {2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 2, 0, 1, 1, 1, 1};
    d["neverCut"] = true;
    d["cutter"] = true;
    d["reserved"] = 1;
    return d;
}

std::vector<json> EveryClass() {
    const json square = {{0, 0, 0}, {2, 0, 0}, {2, 2, 0}, {0, 2, 0}};
    return {
        WithBase({{"type", "curve"},
                  {"points", {{1, 2, 3}, {4, 5, 6}}},
                  {"selected", {0, 1}},
                  {"freeStart", 1},
                  {"freeEnd", 1},
                  {"closed", 1},
                  {"steps", 3},
                  {"netHidden", -1}}),
        WithBase({{"type", "surface"},
                  {"nu", 2},
                  {"nv", 2},
                  {"points", {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 1}}},
                  {"freeStartU", 1},
                  {"freeEndU", 2},
                  {"closedU", 1},
                  {"stepsU", 5},
                  {"reservedStepsU", 6},
                  {"freeStartV", 3},
                  {"freeEndV", 4},
                  {"closedV", 0},
                  {"stepsV", 7},
                  {"reservedStepsV", 9},
                  {"orientation", -1},
                  {"reservedFlag", 1},
                  {"netHidden", 0},
                  {"loops",
                   {{{"value", 4}, {"pairs", {{1, 2}, {3, -4}}}},
                    {{"value", -1}, {"pairs", json::array()}}}}}),
        WithBase({{"type", "polyMesh"},
                  {"points", square},
                  {"polygons", {{0, 1, 2}, {0, 2, 3}}},
                  {"flat", 0},
                  {"orientation", -1},
                  {"netHidden", 0}}),
        WithBase({{"type", "extrusion"},
                  {"axes", {2, 0, 1}},
                  {"depth", 1.5},
                  {"topBevel", 2},
                  {"bottomBevel", 1},
                  {"bevelSize", 0.25},
                  {"placement", test::MatrixJson(CMatrix4::Translation(CVector3(1, 2, 3)))},
                  {"profiles",
                   {{{"points", square}, {"steps", 4}}, {{"points", square}, {"steps", 2}}}}}),
        WithBase(
            {{"type", "group"},
             {"kind", 3},
             {"placement", test::MatrixJson(CMatrix4::Scaling(2, 2, 2))},
             {"children", {{{"type", "refPlane"}, {"axis", 1}}, {{"type", "gem"}, {"gem", 2}}}}}),
        WithBase({{"type", "refPlane"}, {"axis", 0}}),
        WithBase({{"type", "gem"},
                  {"gem", 11},
                  {"placement", test::MatrixJson(CMatrix4::Scaling(3, 3, 3))}}),
    };
}

std::vector<uint8_t> PlainRecord(const CSceneObject& o) {
    CMemorySink sink;
    CByteWriter out(sink, false);
    WriteObject(out, o);
    return sink.data;
}

TEST(RoundTripTest, EveryClassWritesBackTheRecordItRead) {
    for (const json& description : EveryClass()) {
        const std::unique_ptr<CSceneObject> original = ObjectFromJson(description);
        const test::CReadResult r = test::ReadScene(test::SceneBytes(json::array({description})));
        ASSERT_EQ(r.count, 1) << description["type"];
        EXPECT_EQ(PlainRecord(*r.At(0)), PlainRecord(*original)) << description["type"];
    }
}

TEST(RoundTripTest, BaseFieldsComeBackUnpacked) {
    const test::CReadResult r = test::ReadScene(test::SceneBytes(json::array({EveryClass()[5]})));
    const CSceneObject& o = *r.At(0);
    EXPECT_EQ(o.displayState, 1);
    EXPECT_EQ(o.colourIndex, -3);
    EXPECT_EQ(o.frame[4], -1.0f);
    EXPECT_EQ(o.frame[14], 7.0f);
    EXPECT_STREQ(o.materialName, "Gold18KRose");
    EXPECT_EQ(o.materialValue, 201);
    EXPECT_EQ(o.materialMatrix[0], 2.0f);
    EXPECT_EQ(o.neverCut, 1);
    EXPECT_EQ(o.cutter, 1);
    EXPECT_EQ(o.flagWord, 1);
    EXPECT_EQ(static_cast<const CRefPlane&>(o).axis, 0);
}

TEST(RoundTripTest, ClassFieldsComeBackInTheirPlaces) {
    const std::vector<json> all = EveryClass();
    const test::CReadResult r = test::ReadScene(test::SceneBytes(json(all)));
    ASSERT_EQ(r.count, 7);

    const auto& curve = static_cast<const CCurve&>(*r.At(0));
    EXPECT_EQ(curve.points[1], CVector3(4, 5, 6));
    EXPECT_EQ(curve.selection, (std::vector<int32_t>{0, 1}));
    EXPECT_EQ(curve.stepsPerSpan, 3);
    EXPECT_EQ(curve.netHidden, -1);  // sign-extended from 16 bits

    const auto& surface = static_cast<const CSurface&>(*r.At(1));
    EXPECT_EQ(surface.u.freeEnd, 2);
    EXPECT_EQ(surface.u.reservedSteps, 6);
    EXPECT_EQ(surface.v.freeStart, 3);
    EXPECT_EQ(surface.v.stepsPerSpan, 7);
    EXPECT_EQ(surface.orientation, -1);
    EXPECT_EQ(surface.reservedFlag, 1);
    EXPECT_EQ(surface.netHidden, 0);
    ASSERT_EQ(surface.loops.size(), 2u);
    EXPECT_EQ(surface.loops[0].pairs, (std::vector<int32_t>{1, 2, 3, -4}));
    EXPECT_EQ(surface.loops[1].value, -1);

    const auto& mesh = static_cast<const CPolyMesh&>(*r.At(2));
    EXPECT_EQ(mesh.polygonSizes, (std::vector<int32_t>{3, 3}));
    EXPECT_EQ(mesh.vertexIndices, (std::vector<int32_t>{0, 1, 2, 0, 2, 3}));
    EXPECT_EQ(mesh.flatShading, 0);
    EXPECT_EQ(mesh.orientation, -1);
    EXPECT_EQ(mesh.netHidden, 0);
    EXPECT_EQ(mesh.flagWord, 1);  // the extension bits are unpacked and cleared

    const auto& extrusion = static_cast<const CExtrusion&>(*r.At(3));
    EXPECT_EQ(extrusion.firstPlaneAxis, 2);
    EXPECT_EQ(extrusion.secondPlaneAxis, 0);
    EXPECT_EQ(extrusion.extrusionAxis, 1);
    EXPECT_EQ(extrusion.topBevel, 2);
    EXPECT_EQ(extrusion.bottomBevel, 1);
    EXPECT_EQ(extrusion.depth, 1.5f);
    EXPECT_EQ(extrusion.bevelSize, 0.25f);
    EXPECT_EQ(extrusion.stepsPerSpan, (std::vector<int32_t>{4, 2}));
    EXPECT_EQ(extrusion.profilePoints.size(), 8u);
    EXPECT_EQ(extrusion.placement[13], 2.0f);

    const auto& group = static_cast<const CGroup&>(*r.At(4));
    EXPECT_EQ(group.kind, 3);
    EXPECT_EQ(group.placement[0], 2.0f);
    ASSERT_EQ(group.children.Count(), 2);
    EXPECT_EQ(static_cast<const CRefPlane*>(group.children.first)->axis, 1);
    EXPECT_EQ(static_cast<const CGem*>(group.children.first->next)->gemIndex, 2);

    const auto& gem = static_cast<const CGem&>(*r.At(6));
    EXPECT_EQ(gem.gemIndex, 11);
    EXPECT_EQ(gem.placement[10], 3.0f);
}

}  // namespace
}  // namespace orva
