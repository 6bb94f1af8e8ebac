#include <gtest/gtest.h>

#include "platform/interrupt.h"
#include "scene/curve.h"
#include "scene/ref_plane.h"
#include "view/draw_surface.h"
#include "view/frame_context.h"
#include "view/on_screen.h"
#include "view/view_camera.h"

namespace orva {
namespace {

// A camera looking along -z with one window pixel per model unit: model (x, y) lands on
// window column 50 + x - 0.5 ... so a viewport of 100 x 100 pixels at (0, 0).
class OnScreenTest : public ::testing::Test {
protected:
    void SetUp() override {
        camera.SetViewportRect(0, 0, 100, 100);
        camera.SetStandardView(3);                  // identity
        camera.CurrentViewport().viewSize = 50.0f;  // 100 pixels show 100 units
        camera.ApplyView(frame);
    }
    bool IsOnScreen(const CSceneObject& object) const { return orva::IsOnScreen(frame, object); }
    // A point object whose window column is `column` (pixel centres at x - 0.5 offsets).
    static CCurve PointAtColumn(float column, float row = 50) {
        CCurve c;
        c.points = {CVector3(column - 49.5f, 49.5f - row, 0)};
        return c;
    }
    CViewCamera camera;
    CImageSurface surface{100, 100};
    CInterrupt interrupt;
    CFrameContext frame{camera, surface, interrupt};
};

TEST_F(OnScreenTest, WireframeMarginReachesFiftyPixelsToTheRight) {
    camera.displayMode = kModeWireframe;
    EXPECT_TRUE(IsOnScreen(PointAtColumn(-40)));  // widened by 50 to the right
    EXPECT_FALSE(IsOnScreen(PointAtColumn(-60)));
    EXPECT_TRUE(IsOnScreen(PointAtColumn(105)));  // 10 to the left
    EXPECT_FALSE(IsOnScreen(PointAtColumn(115)));
    EXPECT_TRUE(IsOnScreen(PointAtColumn(50, 140)));   // 50 upward
    EXPECT_FALSE(IsOnScreen(PointAtColumn(50, -15)));  // only 10 downward
}

TEST_F(OnScreenTest, OtherModesUseTwoPixelsOnEverySide) {
    camera.displayMode = kModeRendered;
    EXPECT_FALSE(IsOnScreen(PointAtColumn(-40)));
    EXPECT_TRUE(IsOnScreen(PointAtColumn(-1)));
    EXPECT_FALSE(IsOnScreen(PointAtColumn(-3)));
    EXPECT_TRUE(IsOnScreen(PointAtColumn(101)));
    EXPECT_FALSE(IsOnScreen(PointAtColumn(103)));
}

TEST_F(OnScreenTest, PendingRepaintNarrowsTheTestAndPlanesAreAlwaysOn) {
    camera.displayMode = kModeRendered;
    camera.AddRepaintRect(60, 0, 100, 100);
    camera.ApplyView(frame);
    EXPECT_FALSE(IsOnScreen(PointAtColumn(40)));
    EXPECT_TRUE(IsOnScreen(PointAtColumn(70)));
    CRefPlane plane;
    plane.frame[12] = 1e6f;
    EXPECT_TRUE(IsOnScreen(plane));
}

}  // namespace
}  // namespace orva
