#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/interrupt.h"
#include "view/display_colours.h"
#include "view/draw_surface.h"
#include "view/frame_context.h"
#include "view/view_camera.h"

namespace orva {
namespace {

// Records the OpenGL side of the display operations.
class CRecordingGL : public CGLBackend {
public:
    void Viewport(int x, int y, int w, int h) override { Add("viewport", {x, y, w, h}); }
    void Scissor(int x, int y, int w, int h) override { Add("scissor", {x, y, w, h}); }
    void Projection(double sx, double sy, double sz) override {
        calls.push_back("projection");
        projection = {sx, sy, sz};
    }
    void LoadMatrix(const CMatrix4&) override { calls.push_back("load"); }
    void MultMatrix(const CMatrix4&) override { calls.push_back("mult"); }
    void Colour(uint32_t rgb) override { calls.push_back("colour " + std::to_string(rgb)); }
    std::vector<std::string> calls;
    std::vector<std::vector<int>> boxes;
    std::vector<double> projection;

private:
    void Add(const char* what, std::vector<int> box) {
        calls.push_back(what);
        boxes.push_back(std::move(box));
    }
};

class FrameContextTest : public ::testing::Test {
protected:
    CRecordingGL gl;
    CViewCamera camera;
    CImageSurface surface{200, 100};  // last row 99
    CInterrupt interrupt;
    CFrameContext frame{camera, surface, interrupt};
};

TEST_F(FrameContextTest, OpenGLIsCalledOnlyInsideAFrameButTheCopiesAlwaysChange) {
    const CMatrix4 m = CMatrix4::Translation(CVector3(1, 2, 3));
    frame.LoadMatrix(m);
    frame.SetViewport(0, 0, 10, 10);
    frame.SetColour(5);
    EXPECT_TRUE(gl.calls.empty());
    EXPECT_EQ(frame.ModelViewMatrix(), m);

    frame.BeginGL(gl);
    frame.MultMatrix(CMatrix4::Scaling(2, 2, 2));
    frame.EndGL();
    frame.SetColour(6);
    EXPECT_EQ(gl.calls, std::vector<std::string>{"mult"});
    // The new matrix applies first: the origin is scaled (stays) and then translated.
    EXPECT_EQ(TransformPoint(CVector3(1, 0, 0), frame.ModelViewMatrix()), CVector3(3, 2, 3));
}

TEST_F(FrameContextTest, ViewportAndScissorFlipIntoBottomUpRows) {
    frame.BeginGL(gl);
    frame.SetViewport(10, 20, 50, 30);
    frame.SetScissor(0, 0, 200, 10);
    frame.ResetScissor();
    EXPECT_EQ(gl.calls, (std::vector<std::string>{"viewport", "scissor", "scissor", "scissor"}));
    EXPECT_EQ(gl.boxes[0], (std::vector<int>{10, 50, 50, 30}));  // 99 - 20 - 30 + 1
    EXPECT_EQ(gl.boxes[2], (std::vector<int>{0, 90, 200, 10}));
    EXPECT_EQ(gl.boxes[3], (std::vector<int>{-10000, -10000, 20000, 20000}));
}

TEST_F(FrameContextTest, ProjectionShowsTwiceTheViewSizeOverZoomFromTopToBottom) {
    const int width = 300;
    const int height = 200;
    const float zoom = 2.0f;
    frame.BeginGL(gl);
    frame.SetProjection(width, height, zoom / 25.0);
    EXPECT_NEAR(gl.projection[0], height * 0.08 / width, 1e-12);
    EXPECT_NEAR(gl.projection[2], 0.02 * 0.08, 1e-12);
    frame.LoadMatrix(CMatrix4::Identity());
    // 2 * 25 / 2 = 25 units fill the height: eye y = +12.5 is the top edge, -12.5 the bottom,
    // measured at pixel centres (the edges are half a pixel beyond the first and last row).
    const CMatrix4 window = frame.WindowMatrix();
    EXPECT_NEAR(TransformPoint(CVector3(0, 12.5f, 0), window).y, -0.5f, 1e-4f);
    EXPECT_NEAR(TransformPoint(CVector3(0, -12.5f, 0), window).y, height - 0.5f, 1e-4f);
    // The same scale across; the centre is the middle of the viewport.
    EXPECT_NEAR(TransformPoint(CVector3(12.5f, 0, 0), window).x,
                width / 2.0f - 0.5f + height / 2.0f, 1e-4f);
    EXPECT_NEAR(TransformPoint(CVector3(0, 0, 7), window).z, 7.0f, 1e-6f);  // eye depth kept
    const CVector3 p(3, -4, 5);
    const CVector3 back = TransformPoint(TransformPoint(p, window), frame.WindowMatrixInverse());
    EXPECT_NEAR(back.x, p.x, 1e-4f);
    EXPECT_NEAR(back.y, p.y, 1e-4f);
}

TEST_F(FrameContextTest, ObjectColoursComeFromTheTable) {
    frame.SetObjectColour(1, 7);
    EXPECT_EQ(frame.Colour(), 0xFFFFFFu);  // highlighted: white whatever the index
    frame.SetObjectColour(0, 0);
    EXPECT_EQ(frame.Colour(), 0xDF9F9Fu);  // 9f 9f df as red, green, blue
    frame.SetObjectColour(0, 13);
    EXPECT_EQ(frame.Colour(), 0x0000FFu);  // pure red
    for (int32_t index : {-1, 20, 32767, -32768}) {
        EXPECT_EQ(ObjectColour(0, index), g_colourTable[6]) << index;
    }
    EXPECT_EQ(frame.SetColour(0x123456), 0x0000FFu);  // returns the colour it replaces
    EXPECT_EQ(g_colourTable[0], 0xE4E4E4u);
}

TEST_F(FrameContextTest, ApplyingTheViewOutsideOpenGLSetsTheMatricesTheRendererUses) {
    camera.SetViewportRect(0, 0, 100, 100);
    camera.SetStandardView(1);
    camera.CurrentViewport().zoom = 3.0f;
    camera.ApplyView(frame);
    EXPECT_TRUE(gl.calls.empty());
    EXPECT_EQ(frame.ModelViewMatrix(), camera.CurrentViewport().view);
    EXPECT_EQ(frame.WindowMatrix(), camera.CurrentViewport().WindowMatrix());
    EXPECT_EQ(TransformPoint(CVector3(1, 3, -2), frame.ViewInverse()), CVector3(1, 2, 3));
}

}  // namespace
}  // namespace orva
