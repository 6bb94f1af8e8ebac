#include <gtest/gtest.h>

#include <cmath>

#include "recording_drawer.h"
#include "scene/curve.h"
#include "scene/extrusion.h"
#include "scene/gem.h"
#include "scene/poly_mesh.h"
#include "scene/ref_plane.h"
#include "scene/surface.h"
#include "scene_bytes.h"

namespace orva {
namespace {

using test::json;

CMatrix4 RotationZ90() {
    CMatrix4 m;
    m.At(0, 0) = 0;
    m.At(0, 1) = 1;
    m.At(1, 0) = -1;
    m.At(1, 1) = 0;
    return m;
}

TEST(SceneObjectTransformTest, ScalingLeavesTheFrameOrthonormalButMovesItsOrigin) {
    CRefPlane plane;
    plane.frame[12] = 1;
    plane.frame[13] = 2;
    plane.frame[14] = 3;
    const CMatrix4 scale = CMatrix4::Scaling(2, 2, 2);
    plane.Transform(scale, 1);
    for (int i : {0, 5, 10}) {
        EXPECT_FLOAT_EQ(plane.frame[i], 1.0f);
    }
    EXPECT_EQ(CVector3(plane.frame[12], plane.frame[13], plane.frame[14]), CVector3(2, 4, 6));
    EXPECT_EQ(plane.materialMatrix, scale);  // the material takes the full matrix
}

TEST(SceneObjectTransformTest, RotationTurnsTheFrameAndTooShortRowsBecomeUnitAxes) {
    CRefPlane plane;
    plane.Transform(RotationZ90(), 1);
    EXPECT_FLOAT_EQ(plane.frame[1], 1.0f);   // x axis now points along y
    EXPECT_FLOAT_EQ(plane.frame[4], -1.0f);  // y axis along -x

    CRefPlane flat;
    CMatrix4 squash = CMatrix4::Scaling(1, 0.000005f, 1);
    flat.Transform(squash, 1);
    EXPECT_EQ(flat.frame, CMatrix4::Identity());  // the short row became (0, 1, 0)
    EXPECT_FLOAT_EQ(flat.materialMatrix[5], 0.000005f);
}

TEST(SceneObjectTransformTest, SelectiveTransformLeavesTheMatrices) {
    CRefPlane plane;
    plane.Transform(CMatrix4::Translation(CVector3(1, 1, 1)), 0);
    EXPECT_EQ(plane.frame, CMatrix4::Identity());
    EXPECT_EQ(plane.materialMatrix, CMatrix4::Identity());
}

TEST(PointSetTransformTest, SelectiveMovesOnlySelectedPointsUnlessTheNetIsHidden) {
    CCurve curve;
    curve.points = {CVector3(0, 0, 0), CVector3(1, 0, 0)};
    curve.selection = {0, 1};
    const CMatrix4 shift = CMatrix4::Translation(CVector3(0, 0, 1));
    curve.Transform(shift, 0);
    EXPECT_EQ(curve.points[0], CVector3(0, 0, 0));
    EXPECT_EQ(curve.points[1], CVector3(1, 0, 1));

    CSurface surface;  // net hidden by default
    surface.points = curve.points;
    surface.selection = {1, 1};
    surface.Transform(shift, 0);
    EXPECT_EQ(surface.points[0], CVector3(0, 0, 0));
    EXPECT_EQ(surface.frame, CMatrix4::Identity());
    surface.Transform(shift, 1);
    EXPECT_EQ(surface.points[0], CVector3(0, 0, 1));
    EXPECT_EQ(surface.points[1], CVector3(1, 0, 2));
    EXPECT_EQ(surface.frame[14], 1.0f);
    EXPECT_EQ(surface.materialMatrix[14], 1.0f);
}

TEST(PointSetBoundsTest, EveryPointUnderTheMatrixAndNothingForNoPoints) {
    CPolyMesh mesh;
    mesh.points = {CVector3(1, 2, 3), CVector3(-1, 5, 0), CVector3(0, 0, 9)};
    CVector3 min;
    CVector3 max;
    mesh.GetBounds(min, max, CMatrix4::Translation(CVector3(10, 0, 0)));
    EXPECT_EQ(min, CVector3(9, 0, 0));
    EXPECT_EQ(max, CVector3(11, 5, 9));

    CCurve empty;
    empty.GetBounds(min, max, CMatrix4::Identity());
    EXPECT_TRUE(BoundsEmpty(min, max));
    EXPECT_EQ(min.x, 1e30f);
}

TEST(RefPlaneTest, BoundsAreASlabAtTheFrameOriginAndBadAxesMeasureNothing) {
    CRefPlane plane;
    plane.axis = 2;
    plane.frame[12] = 1;
    plane.frame[13] = 2;
    plane.frame[14] = 3;
    CVector3 min;
    CVector3 max;
    plane.GetBounds(min, max, CMatrix4::Scaling(5, 5, 5));  // the matrix plays no part
    EXPECT_EQ(min, CVector3(-10000, -10000, 3));
    EXPECT_EQ(max, CVector3(10000, 10000, 3));
    for (int32_t axis : {-1, 3, 1 << 30}) {
        plane.axis = axis;
        plane.GetBounds(min, max, CMatrix4::Identity());
        EXPECT_TRUE(BoundsEmpty(min, max)) << axis;
    }
}

TEST(SurfaceReadTest, InconsistentNetsAreKeptButNeverShownAndTheirLoopsStillRead) {
    const json cases[] = {
        {{"type", "surface"},
         {"nu", 2},
         {"nv", 0},
         {"points", {{0, 0, 0}}},
         {"loops", {{{"value", 1}}}}},
        {{"type", "surface"}, {"nu", 2}, {"nv", 2}, {"points", {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}}},
        {{"type", "surface"},
         {"nu", 65536},
         {"nv", 65536},
         {"points", {{0, 0, 0}}}},  // product wraps in 32 bits
    };
    for (const json& c : cases) {
        const json curve = {{"type", "curve"}, {"points", {{0, 0, 0}}}};
        const test::CReadResult r = test::ReadScene(test::SceneBytes(json::array({c, curve})));
        ASSERT_EQ(r.count, 2) << c;
        const auto& s = static_cast<const CSurface&>(*r.At(0));
        EXPECT_EQ(s.displayState, kEmptyRecordState) << c;
        EXPECT_FALSE(s.HasValidNet());
        EXPECT_EQ(s.loops.size(), c.contains("loops") ? 1u : 0u);
        EXPECT_EQ(r.At(1)->displayState, 0);  // the stream stayed in step
    }
}

TEST(PolyMeshReadTest, PolygonsThatCannotBeIndexedSafelyAreDropped) {
    CMemorySink sink;
    CByteWriter out(sink);
    for (const char* c = kSceneSignature; *c; ++c) {
        out.WriteByte(static_cast<uint8_t>(*c));
    }
    out.WriteByte(':');
    auto mesh = std::make_unique<CPolyMesh>();
    mesh->points = {CVector3(0, 0, 0), CVector3(1, 0, 0), CVector3(1, 1, 0), CVector3(0, 1, 0)};
    mesh->selection.assign(4, 0);
    // Sizes 3, -2, 3, 4 sum to 8: the writer writes 8 indices and so must the reader read 8.
    mesh->polygonSizes = {3, -2, 3, 4};
    mesh->vertexIndices = {0, 1, 2, 0, 2, 7, 1, 2};
    WriteObject(out, *mesh);
    out.WriteByte(':');
    WriteObject(out, CCurve());
    out.WriteByte('&');

    const test::CReadResult r = test::ReadScene(sink.data);
    ASSERT_EQ(r.count, 2);
    const auto& read = static_cast<const CPolyMesh&>(*r.At(0));
    // Kept: the first triangle. Dropped: the negative size, the triangle naming vertex 7 and
    // the quadrilateral that runs past the index array.
    EXPECT_EQ(read.polygonSizes, std::vector<int32_t>{3});
    EXPECT_EQ(read.vertexIndices, (std::vector<int32_t>{0, 1, 2}));
    EXPECT_EQ(r.At(1)->GetTypeId(), kTypeCurve);
}

TEST(PolyMeshReadTest, DropInvalidPolygonsKeepsValidOnesInOrder) {
    CPolyMesh mesh;
    mesh.points.resize(3);
    mesh.polygonSizes = {3, 0, 3};
    mesh.vertexIndices = {0, 1, 2, 2, 1, -1};
    EXPECT_EQ(mesh.DropInvalidPolygons(), 1);
    EXPECT_EQ(mesh.polygonSizes, (std::vector<int32_t>{3, 0}));
    EXPECT_EQ(mesh.vertexIndices, (std::vector<int32_t>{0, 1, 2}));
}

TEST(ObjectDrawTest, PointSetsHandThemselvesToTheDrawer) {
    test::CRecordingDrawer drawer;
    CCurve().Draw(drawer, kModeWireframe);
    CSurface().Draw(drawer, kModeShaded);
    CPolyMesh().Draw(drawer, kModeFastWireframe);
    CRefPlane().Draw(drawer, kModeWireframe);
    EXPECT_EQ(drawer.calls, (std::vector<std::string>{"curve 0", "surface 100", "mesh 10"}));
}

TEST(ObjectCloneTest, CloneCopiesEveryArrayAndSharesTheMaterialName) {
    CSurface s;
    s.points = {CVector3(1, 2, 3)};
    s.selection = {1};
    s.nu = s.nv = 1;
    s.loops = {CSurfaceLoop{3, {1, 2}}};
    s.materialName = "shared";
    std::unique_ptr<CSceneObject> copy = s.Clone();
    s.points[0] = CVector3();
    s.loops[0].pairs[0] = 9;
    const auto& c = static_cast<const CSurface&>(*copy);
    EXPECT_EQ(c.points[0], CVector3(1, 2, 3));
    EXPECT_EQ(c.loops[0].pairs[0], 1);
    EXPECT_EQ(c.materialName, s.materialName);
    EXPECT_EQ(c.GetTypeId(), kTypeSurface);
}

}  // namespace
}  // namespace orva

namespace orva {
namespace {

TEST(PlacedObjectTransformTest, ExtrusionsAndGemsMoveTheirPlacementOnlyWhenAllMoves) {
    const test::json square = {{0, 0, 0}, {2, 0, 0}, {2, 2, 0}, {0, 2, 0}};
    test::CReadResult r = test::ReadScene(test::SceneBytes(test::json::array(
        {{{"type", "extrusion"}, {"depth", 1}, {"profiles", {{{"points", square}}}}},
         {{"type", "gem"}, {"gem", 0}}})));
    ASSERT_EQ(r.count, 2);
    auto* extrusion = static_cast<CExtrusion*>(r.objects.first);
    auto* gem = static_cast<CGem*>(r.objects.first->next);
    const CMatrix4 shift = CMatrix4::Translation(CVector3(0, 0, 5));
    const CVector3 wallPoint = static_cast<const CSurface*>(extrusion->surfaces.first)->points[1];

    extrusion->Transform(shift, 0);
    gem->Transform(shift, 0);
    EXPECT_EQ(extrusion->placement, CMatrix4::Identity());
    EXPECT_EQ(gem->placement, CMatrix4::Identity());

    extrusion->Transform(shift, 1);
    gem->Transform(CMatrix4::Scaling(2, 2, 2), 1);
    EXPECT_EQ(extrusion->placement[14], 5.0f);
    EXPECT_EQ(extrusion->frame[14], 5.0f);
    EXPECT_EQ(extrusion->materialMatrix[14], 5.0f);
    // The generated surfaces stay as they were made; the placement carries the move.
    EXPECT_EQ(static_cast<const CSurface*>(extrusion->surfaces.first)->points[1], wallPoint);
    CVector3 min;
    CVector3 max;
    extrusion->GetBounds(min, max, CMatrix4::Identity());
    EXPECT_EQ(min.z, 5.0f);
    EXPECT_EQ(max.z, 6.0f);
    EXPECT_EQ(gem->placement[0], 2.0f);
    EXPECT_EQ(gem->frame[0], 1.0f);  // the frame is never scaled
}

}  // namespace
}  // namespace orva
