#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "display/gl_view.h"
#include "display_fixture.h"
#include "mesh_shapes.h"
#include "platform/gl_context.h"
#include "platform/message_box.h"
#include "scene/extrusion.h"
#include "scene/object_list.h"
#include "view/display_colours.h"

namespace orva::test {
namespace {

using FrameTest = DisplayTest;

// Pixel rectangle x0..x1, y0..y1 as a flat square facing the viewer: its corners in the order
// bottom-left, bottom-right, top-right, top-left as the viewer sees them, so that the face
// normal cross(C - B, A - B) points at the viewer.
std::unique_ptr<CPolyMesh> Square(int x0, int y0, int x1, int y1, float depth = 0.0f) {
    return MakeMesh({AtPixel(x0, y1, depth), AtPixel(x1, y1, depth), AtPixel(x1, y0, depth),
                     AtPixel(x0, y0, depth)},
                    {{0, 1, 2, 3}});
}

TEST_F(FrameTest, EmptySceneShowsTheBackgroundColourOfTheTable) {
    // The view starts black, so a frame that was not drawn cannot pass for the background.
    ASSERT_EQ(Pixel(0, 0), 0u);
    for (const EDisplayMode mode : {kModeWireframe, kModeFastWireframe, kModeShaded}) {
        Draw(mode);
        EXPECT_EQ(CountDrawn(), 0) << "mode " << mode;
        EXPECT_TRUE(SameColour(Pixel(0, 0), 0xE4E4E4)) << ColourText(Pixel(0, 0));
        EXPECT_TRUE(SameColour(Pixel(199, 199), 0xE4E4E4)) << ColourText(Pixel(199, 199));
    }
}

TEST_F(FrameTest, HighlightedObjectIsWhiteAndAHiddenOneIsAbsent) {
    CPolyMesh* highlighted = Add(Square(20, 20, 60, 60));
    highlighted->displayState = 1;
    highlighted->colourIndex = 5;  // would be dark blue if shown normally
    CPolyMesh* hidden = Add(Square(80, 20, 120, 60));
    hidden->displayState = 2;
    CPolyMesh* normal = Add(Square(140, 20, 180, 60));
    normal->colourIndex = 12;  // entry 18: yellow
    for (const EDisplayMode mode : {kModeWireframe, kModeFastWireframe}) {
        Draw(mode);
        // Every mode draws at least the bottom edge (the first edge of the only polygon).
        EXPECT_TRUE(SameColour(Pixel(40, 60), 0xFFFFFF)) << mode << ColourText(Pixel(40, 60));
        EXPECT_EQ(CountDrawnIn(70, 10, 130, 70), 0) << "mode " << mode;
        EXPECT_TRUE(SameColour(Pixel(160, 60), 0x00FFFF)) << mode << ColourText(Pixel(160, 60));
    }
    Draw(kModeShaded);
    // Facing the headlight squarely, white stays white and yellow gets the ambient share of
    // the blue it lacks.
    EXPECT_TRUE(SameColour(Pixel(40, 40), 0xFFFFFF)) << ColourText(Pixel(40, 40));
    EXPECT_EQ(CountDrawnIn(70, 10, 130, 70), 0);
    EXPECT_TRUE(SameColour(Pixel(160, 40), LitColour(0x00FFFF, 1.0f)))
        << ColourText(Pixel(160, 40));
}

// The on-screen test measures an extrusion by its surfaces only, while the fast wireframe
// draws only its outline curves: outlines inside the view with walls far outside it show
// whether an object that fails the test was handed to its Draw.
std::unique_ptr<CExtrusion> OutlinesHereWallsThere(float wallShift) {
    auto e = std::make_unique<CExtrusion>();
    const std::vector<CVector3> outline = {AtPixel(80, 120), AtPixel(120, 120), AtPixel(120, 80),
                                           AtPixel(80, 80)};
    CListBuilder curves(e->curves.first);
    curves.Append(MakeCurve(outline, 1, true).release());
    curves.Append(MakeCurve(outline, 1, true).release());
    e->surfaces.first = MakeFlatSurface(80 + wallShift, 80, 120 + wallShift, 120, 0, 1).release();
    return e;
}

TEST_F(FrameTest, ObjectOutsideTheViewIsSkippedInModes0And100ButDrawnInMode10) {
    CExtrusion* e = Add(OutlinesHereWallsThere(0.0f));
    // With its walls on screen every mode shows the outline's edge.
    for (const EDisplayMode mode : {kModeWireframe, kModeFastWireframe, kModeShaded}) {
        Draw(mode);
        EXPECT_GT(CountDrawnIn(78, 118, 122, 122), 0) << "mode " << mode;
    }
    e->surfaces.Clear();
    e->surfaces.first = MakeFlatSurface(1000, 80, 1040, 120, 0, 1).release();
    Draw(kModeWireframe);
    EXPECT_EQ(CountDrawn(), 0);
    Draw(kModeShaded);
    EXPECT_EQ(CountDrawn(), 0);
    Draw(kModeFastWireframe);
    EXPECT_GT(CountDrawnIn(78, 118, 122, 122), 30);
    EXPECT_EQ(CountDrawnIn(0, 0, 70, 199), 0);
}

TEST_F(FrameTest, UnknownModeAbove100LeavesThePictureAsItWas) {
    Add(Square(20, 20, 60, 60));
    Draw(kModeWireframe);
    const std::vector<uint8_t> before = view->Picture().Pixels();
    const int64_t frames = view->Context()->FramesBegun();
    scene.Clear();
    Draw(static_cast<EDisplayMode>(250));
    EXPECT_EQ(view->Context()->FramesBegun(), frames);
    EXPECT_EQ(view->Picture().Pixels(), before);
}

TEST_F(FrameTest, RenderedModeUsesTheSoftwareRendererUnlessTheUserInteracts) {
    Add(MakeBoxMesh(AtPixel(40, 160, -5.0f), AtPixel(160, 40, 5.0f)));
    const int64_t frames = view->Context()->FramesBegun();
    Draw(kModeRendered);
    EXPECT_EQ(view->Context()->FramesBegun(), frames);
    EXPECT_FALSE(SameColour(Pixel(100, 100), 0xE4E4E4, 8)) << ColourText(Pixel(100, 100));
    EXPECT_TRUE(SameColour(Pixel(5, 5), 0xE4E4E4, 2)) << ColourText(Pixel(5, 5));

    // While dragging, the same mode is drawn as the shaded OpenGL frame (into the back buffer,
    // then shown whole).
    Draw(kModeRendered, true);
    EXPECT_EQ(view->Context()->FramesBegun(), frames + 1);
    EXPECT_TRUE(SameColour(Pixel(100, 100), LitColour(g_colourTable[6], 1.0f)))
        << ColourText(Pixel(100, 100));
}

TEST_F(FrameTest, InteractiveWireframeFrameIsShownWhole) {
    CPolyMesh* square = Add(Square(20, 20, 60, 60));
    Draw(kModeWireframe);
    EXPECT_GT(CountDrawnIn(15, 15, 65, 65), 0);
    square->Transform(CMatrix4::Translation(CVector3(25.0f, 0.0f, 0.0f)), 1);  // 100 pixels
    Draw(kModeWireframe, true);
    EXPECT_EQ(CountDrawnIn(15, 15, 65, 65), 0);
    EXPECT_GT(CountDrawnIn(115, 15, 165, 65), 0);
}

TEST_F(FrameTest, PendingRepaintRedrawsOnlyItsRectangle) {
    CPolyMesh* left = Add(Square(20, 20, 60, 60));
    CPolyMesh* right = Add(Square(140, 20, 180, 60));
    Draw(kModeShaded);
    left->colourIndex = 13;  // red
    right->colourIndex = 13;
    view->Camera().AddRepaintRect(100, 0, 200, 200);
    Draw(kModeShaded);
    EXPECT_TRUE(SameColour(Pixel(40, 40), LitColour(g_colourTable[6], 1.0f)));
    EXPECT_TRUE(SameColour(Pixel(160, 40), LitColour(g_colourTable[19], 1.0f)))
        << ColourText(Pixel(160, 40));

    // An empty repaint rectangle skips the frame altogether.
    const int64_t frames = view->Context()->FramesBegun();
    view->Camera().AddRepaintRect(300, 300, 310, 310);
    Draw(kModeShaded);
    EXPECT_EQ(view->Context()->FramesBegun(), frames);
}

// A view whose context can never be made current.
class CBrokenContext final : public CGLContext {
public:
    explicit CBrokenContext(EContextStatus failure) : m_failure(failure) {}
    EContextStatus MakeCurrent() override { return m_failure; }
    void Release() override {}
    void SelectDrawBuffer(EDrawBuffer) override {}
    void Present() override {}
    int Width() const override { return 10; }
    int Height() const override { return 10; }
    bool ReadPixels(std::vector<uint8_t>&) override { return false; }

private:
    EContextStatus m_failure;
};

class CBrokenView final : public CGLView {
public:
    explicit CBrokenView(EContextStatus failure) : m_context(failure) {}
    CDrawSurface& Surface() override { return m_surface; }
    CGLContext* Context() override { return &m_context; }

private:
    CBrokenContext m_context;
    CImageSurface m_surface{10, 10};
};

TEST(FrameFailureTest, ContextThatCannotBeMadeShowsThePixelFormatMessages) {
    std::vector<std::string> shown;
    const CaptionedMessageHandler previous =
        SetCaptionedMessageHandler([&](const std::string& text, const std::string& caption) {
            shown.push_back(caption + ": " + text);
        });
    CBrokenView noFormat(EContextStatus::kNoPixelFormat);
    noFormat.Camera().SetViewportRect(0, 0, 10, 10);
    noFormat.Paint();
    CBrokenView refused(EContextStatus::kPixelFormatRefused);
    refused.Camera().SetViewportRect(0, 0, 10, 10);
    refused.Paint();
    SetCaptionedMessageHandler(previous);
    EXPECT_EQ(shown, (std::vector<std::string>{"Error: ChoosePixelFormat failed",
                                               "Error: SetPixelFormat failed"}));
}

}  // namespace
}  // namespace orva::test
