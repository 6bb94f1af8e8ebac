#include <gtest/gtest.h>

#include <cmath>

#include "platform/interrupt.h"
#include "view/draw_surface.h"
#include "view/frame_context.h"
#include "view/navigation.h"
#include "view/view_camera.h"

namespace orva {
namespace {

CVector3 Seen(const CViewport& v, CVector3 p) {
    return TransformPoint(p, v.view);
}

void ExpectNear(CVector3 a, CVector3 b, float tolerance = 1e-5f) {
    EXPECT_NEAR(a.x, b.x, tolerance);
    EXPECT_NEAR(a.y, b.y, tolerance);
    EXPECT_NEAR(a.z, b.z, tolerance);
}

TEST(StandardViewTest, EachViewMapsModelAxesAsItsTableSays) {
    const CVector3 p(1, 2, 3);
    const CVector3 expected[7] = {{1, 3, -2}, {1, 3, -2},  {2, 3, 1},  {1, 2, 3},
                                  {-1, 3, 2}, {-2, 3, -1}, {-1, 2, -3}};
    CViewCamera camera;
    for (int index = 0; index < 7; ++index) {
        camera.CurrentViewport().view[12] = 7;  // any pan goes
        camera.CurrentViewport().zoom = 3;
        camera.SetStandardView(index);
        EXPECT_EQ(Seen(camera.CurrentViewport(), p), expected[index]) << "view " << index;
        EXPECT_EQ(camera.CurrentViewport().zoom, 1.0f);
    }
    CMatrix4 before = camera.CurrentViewport().view;
    camera.SetStandardView(7);  // unknown index: the matrix stays
    EXPECT_EQ(camera.CurrentViewport().view, before);
}

TEST(ViewportTest, RotateTurnsAboutTheViewAxes) {
    CViewport v;
    v.Rotate(0, 90);
    ExpectNear(Seen(v, CVector3(0, 1, 0)), CVector3(0, 0, 1));
    CViewport w;
    w.Rotate(2, 90);
    ExpectNear(Seen(w, CVector3(1, 0, 0)), CVector3(0, 1, 0));
    // The pan row turns with the view.
    CViewport panned;
    panned.view[12] = 1;
    panned.Rotate(2, 90);
    ExpectNear(Seen(panned, CVector3(0, 0, 0)), CVector3(0, 1, 0));
}

TEST(ViewportTest, ZoomRefusesOneStepPastEachBound) {
    CViewport v;
    v.zoom = 1200;
    v.Zoom(1.1f);
    EXPECT_EQ(v.zoom, 1200.0f);
    v.Zoom(0.5f);
    EXPECT_EQ(v.zoom, 600.0f);
    v.zoom = 999;
    v.Zoom(1.1f);  // overshoots the bound once
    EXPECT_FLOAT_EQ(v.zoom, 999.0f * 1.1f);
    v.Zoom(1.1f);
    EXPECT_FLOAT_EQ(v.zoom, 999.0f * 1.1f);
    v.zoom = 0.0009f;
    v.Zoom(0.5f);
    EXPECT_EQ(v.zoom, 0.0009f);
    v.Zoom(2.0f);
    EXPECT_FLOAT_EQ(v.zoom, 0.0018f);
}

TEST(ViewportTest, RepaintRectanglesUniteAndAnOutsideFirstOneDrawsNothing) {
    CViewport v;
    v.SetRect(0, 0, 100, 100);
    v.AddRepaintRect(10, 10, 20, 20);
    v.AddRepaintRect(15, 5, 30, 18);
    EXPECT_TRUE(v.repaintSet);
    EXPECT_EQ((std::array<int, 4>{v.repaintLeft, v.repaintTop, v.repaintRight, v.repaintBottom}),
              (std::array<int, 4>{10, 5, 30, 20}));
    v.AddRepaintRect(200, 200, 300, 300);  // outside: ignored
    EXPECT_EQ(v.repaintRight, 30);

    CViewport w;
    w.SetRect(0, 0, 100, 100);
    w.AddRepaintRect(150, 0, 160, 10);
    EXPECT_TRUE(w.RepaintEmpty());
    w.AddRepaintRect(-20, 90, 5, 120);  // replaces the empty one, not clipped here
    EXPECT_EQ((std::array<int, 4>{w.repaintLeft, w.repaintTop, w.repaintRight, w.repaintBottom}),
              (std::array<int, 4>{-20, 90, 5, 120}));
    w.ClipRepaint();
    EXPECT_EQ((std::array<int, 4>{w.repaintLeft, w.repaintTop, w.repaintRight, w.repaintBottom}),
              (std::array<int, 4>{0, 90, 5, 100}));
    w.ClearRepaint();
    EXPECT_FALSE(w.repaintSet);
}

TEST(CameraTest, RedrawPaintsTheFrameWithTheViewAppliedAndClearsTheRepaint) {
    CSceneAnchor scene;
    CViewCamera camera;
    camera.scene = &scene;
    camera.SetViewportRect(0, 0, 64, 48);
    camera.AddRepaintRect(0, 0, 10, 10);
    CImageSurface surface(64, 48);
    CInterrupt interrupt;
    CFrameContext frame(camera, surface, interrupt);
    bool seenRepaint = false;
    CMatrix4 seenWindow;
    frame.painter = [&](CFrameContext& f) {
        seenRepaint = f.Camera().CurrentViewport().repaintSet;
        seenWindow = f.WindowMatrix();
    };
    interrupt.Request();
    camera.Redraw(frame);
    EXPECT_TRUE(seenRepaint);
    EXPECT_EQ(seenWindow, camera.CurrentViewport().WindowMatrix());
    EXPECT_FALSE(camera.CurrentViewport().repaintSet);
    EXPECT_FALSE(camera.repaintUnionSet);
    EXPECT_FALSE(interrupt.Poll());  // every picture starts without an interrupt
}

bool g_sourceAnswer = false;
bool TestSource() {
    return g_sourceAnswer;
}

TEST(InterruptTest, StaysSetUntilResetAndAsksTheInstalledSource) {
    CInterrupt interrupt;
    CInterrupt other;
    EXPECT_FALSE(interrupt.Poll());
    interrupt.Request();
    EXPECT_TRUE(interrupt.Poll());
    EXPECT_TRUE(interrupt.Poll());  // sticky, though the request was taken
    EXPECT_FALSE(other.Poll());     // each picture's interrupt is its own
    interrupt.Reset();
    EXPECT_FALSE(interrupt.Poll());

    interrupt.SetSource(&TestSource);
    g_sourceAnswer = true;
    EXPECT_TRUE(interrupt.Poll());
    g_sourceAnswer = false;
    EXPECT_TRUE(interrupt.Poll());
    interrupt.Reset();
    EXPECT_FALSE(interrupt.Poll());
}

TEST(ImageSurfaceTest, PutImageCopiesBottomUpRowsAndDropsWhatFallsOutside) {
    CImageSurface surface(16, 32, 0x00E4E4E4);
    const uint8_t row[12] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    surface.PutImage(10, 20, 4, 1, row);
    EXPECT_EQ(surface.Pixel(10, 20), 0x010203u);  // blue, green, red bytes
    EXPECT_EQ(surface.Pixel(13, 20), 0x0A0B0Cu);
    EXPECT_EQ(surface.Pixel(9, 20), 0xE4E4E4u);
    EXPECT_EQ(surface.Pixel(14, 20), 0x00E4E4E4u);
    // Two rows at once: the first row of bits is the bottom one; each padded to 4 bytes.
    const uint8_t two[8] = {9, 9, 9, 0, 7, 7, 7, 0};
    surface.PutImage(0, 0, 1, 2, two);
    EXPECT_EQ(surface.Pixel(0, 1), 0x090909u);
    EXPECT_EQ(surface.Pixel(0, 0), 0x070707u);
    surface.PutImage(14, -5, 4, 1, row);  // outside: nothing written, no crash
    surface.PutImage(-2, 31, 4, 1, row);
    EXPECT_EQ(surface.Pixel(0, 31), 0x070809u);
    EXPECT_EQ(surface.RowsDelivered(), 5);
}

TEST(NavigationTest, FullHeightDragTurnsOneHundredDegrees) {
    CViewCamera camera;
    camera.SetViewportRect(0, 0, 800, 500);
    camera.SetStandardView(1);
    camera.standardView = 1;
    const EGesture gesture = ChooseGesture(camera, true, false, false);
    EXPECT_EQ(gesture, EGesture::kRotate);
    EXPECT_EQ(camera.standardView, 0);
    CViewport expected = camera.CurrentViewport();
    expected.Rotate(0, 100.0);
    ApplyGesture(camera.CurrentViewport(), gesture, 0, 500);
    for (int i = 0; i < 16; ++i) {
        EXPECT_NEAR(camera.CurrentViewport().view[i], expected.view[i], 1e-6f);
    }
}

TEST(NavigationTest, GesturesFollowButtonsCtrlAndTheStandardView) {
    CViewCamera camera;
    camera.standardView = 1;
    EXPECT_EQ(ChooseGesture(camera, true, false, true),
              EGesture::kPan);  // Ctrl+left keeps the view
    EXPECT_EQ(camera.standardView, 1);
    EXPECT_EQ(ChooseGesture(camera, false, true, false), EGesture::kZoom);
    EXPECT_EQ(ChooseGesture(camera, true, true, false), EGesture::kZoom);
    EXPECT_EQ(ChooseGesture(camera, false, true, true),
              EGesture::kRoll);  // leaves the standard view
    EXPECT_EQ(camera.standardView, 0);
    EXPECT_EQ(ChooseGesture(camera, true, false, false), EGesture::kRotate);
    EXPECT_EQ(ChooseGesture(camera, true, true, true), EGesture::kZoom);
}

TEST(NavigationTest, PanFollowsTheMouseAndUpwardDragsMagnify) {
    CViewport v;
    v.SetRect(0, 0, 400, 200);
    v.zoom = 2;
    ApplyGesture(v, EGesture::kPan, 20, -10);
    // 200 pixels show 2 * 25 / 2 = 25 units: 20 pixels are 2.5 units.
    EXPECT_FLOAT_EQ(v.view[12], 2.5f);
    EXPECT_FLOAT_EQ(v.view[13], 1.25f);
    ApplyGesture(v, EGesture::kZoom, 0, -20);
    EXPECT_NEAR(v.zoom, 2.0f * std::pow(1.1f, 1.0f), 1e-5f);
    ApplyGesture(v, EGesture::kZoom, -40, 5);  // the larger move decides: left shrinks
    EXPECT_NEAR(v.zoom, 2.0f * 1.1f / 1.21f, 1e-5f);
}

TEST(NavigationTest, WheelZoomsOrRollsByNotches) {
    CViewCamera camera;
    camera.standardView = 1;
    ApplyWheel(camera, 2, false);
    EXPECT_NEAR(camera.CurrentViewport().zoom, 1.21f, 1e-6f);
    ApplyWheel(camera, -2, false);
    EXPECT_NEAR(camera.CurrentViewport().zoom, 1.0f, 1e-6f);
    EXPECT_EQ(camera.standardView, 1);
    ApplyWheel(camera, 9, true);
    EXPECT_EQ(camera.standardView, 0);
    ExpectNear(Seen(camera.CurrentViewport(), CVector3(1, 0, 0)), CVector3(0, 1, 0));
}

}  // namespace
}  // namespace orva
