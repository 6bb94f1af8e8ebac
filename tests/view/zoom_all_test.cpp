#include <gtest/gtest.h>

#include "scene/curve.h"
#include "scene/ref_plane.h"
#include "view/view_camera.h"
#include "view/zoom_all.h"

namespace orva {
namespace {

CCurve* Box(CVector3 lo, CVector3 hi, int32_t state = 0) {
    auto* c = new CCurve();
    c->points = {lo, hi};
    c->displayState = state;
    return c;
}

class ZoomAllTest : public ::testing::Test {
protected:
    void SetUp() override {
        camera.scene = &scene;
        camera.SetViewportRect(0, 0, 400, 300);
        camera.SetStandardView(1);
    }
    CSceneAnchor scene;
    CViewCamera camera;
};

TEST_F(ZoomAllTest, FitsTheLargestHalfExtentAndCentresTheBox) {
    CListBuilder list(scene.first);
    list.Append(Box(CVector3(-2, -1, 0), CVector3(2, 1, 10)));
    list.Append(Box(CVector3(100, 100, 100), CVector3(200, 200, 200), 5));  // hidden: left out
    auto* plane = new CRefPlane();
    plane->frame[14] = -500;
    list.Append(plane);
    ZoomAll(camera);
    const CViewport& v = camera.CurrentViewport();
    EXPECT_FLOAT_EQ(v.zoom, 5.0f);
    // The box centre (0, 0, 5) is seen at the view origin.
    const CVector3 seen = TransformPoint(CVector3(0, 0, 5), v.view);
    EXPECT_NEAR(seen.x, 0.0f, 1e-6f);
    EXPECT_NEAR(seen.y, 0.0f, 1e-6f);
    EXPECT_NEAR(seen.z, 0.0f, 1e-6f);
    // The orientation stays: model z is still up.
    EXPECT_EQ(v.view.At(2, 1), 1.0f);
}

TEST_F(ZoomAllTest, EmptyOrFlatScenesGiveZoomOneAtTheirCentre) {
    camera.CurrentViewport().view[12] = 9;
    ZoomAll(camera);
    EXPECT_EQ(camera.CurrentViewport().zoom, 1.0f);
    EXPECT_EQ(TransformPoint(CVector3(0, 0, 0), camera.CurrentViewport().view), CVector3(0, 0, 0));

    CListBuilder list(scene.first);
    list.Append(Box(CVector3(3, 3, 3), CVector3(3, 3, 3)));
    ZoomAll(camera);
    EXPECT_EQ(camera.CurrentViewport().zoom, 1.0f);
    EXPECT_EQ(TransformPoint(CVector3(3, 3, 3), camera.CurrentViewport().view), CVector3(0, 0, 0));
}

TEST_F(ZoomAllTest, ResetViewReturnsToTheFrontViewWithZoomOne) {
    camera.standardView = 0;
    camera.CurrentViewport().Rotate(0, 33);
    camera.CurrentViewport().zoom = 7;
    camera.CurrentViewport().view[13] = 4;
    ResetView(camera);
    const CViewport& v = camera.CurrentViewport();
    EXPECT_EQ(TransformPoint(CVector3(1, 2, 3), v.view), CVector3(1, 3, -2));
    EXPECT_EQ(v.zoom, 1.0f);
    EXPECT_TRUE(v.repaintSet);
    EXPECT_EQ(v.repaintRight, 400);
}

}  // namespace
}  // namespace orva
