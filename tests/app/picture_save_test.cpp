#include <gtest/gtest.h>

#include <filesystem>
#include <future>

#include "app/picture_save_job.h"
#include "geometry/matrix4.h"
#include "picture/picture_save_settings.h"
#include "view/draw_surface.h"
#include "view/view_camera.h"

namespace orva {
namespace {

CPictureSaveSettings Settings(int width, int height, EPictureBackground background,
                              const std::string& path) {
    CPictureSaveSettings settings;
    settings.width = width;
    settings.height = height;
    settings.background = background;
    settings.path = path;
    return settings;
}

TEST(PictureSaveTest, SettingsOutsideTheirRangesAreRefusedWithAReason) {
    using E = EPictureBackground;
    EXPECT_EQ(CheckPictureSaveSettings(Settings(1, 16384, E::kTransparent, "a.PNG")), "");
    EXPECT_EQ(CheckPictureSaveSettings(Settings(16384, 1, E::kWhite, "a.jpg")), "");
    EXPECT_EQ(CheckPictureSaveSettings(Settings(5, 5, E::kWindow, "a.bmp")), "");
    for (const CPictureSaveSettings& refused :
         {Settings(0, 5, E::kWindow, "a.png"), Settings(5, 16385, E::kWindow, "a.png"),
          Settings(5, 5, E::kWindow, "a.gif"), Settings(5, 5, E::kWindow, "png"),
          Settings(5, 5, E::kTransparent, "a.jpg"), Settings(5, 5, E::kTransparent, "a.bmp")}) {
        EXPECT_NE(CheckPictureSaveSettings(refused), "") << refused.path;
    }
    CPictureSaveSettings samples = Settings(5, 5, E::kWindow, "a.png");
    for (int antialias : {0, 5}) {
        samples.antialias = antialias;
        EXPECT_NE(CheckPictureSaveSettings(samples), "");
    }
}

TEST(PictureSaveTest, TheRequestShowsTheViewsPictureScaledToTheChosenSize) {
    // A turned, zoomed and panned view of 320 x 240 pixels, saved at twice its size.
    CViewCamera camera;
    camera.SetViewportRect(0, 0, 320, 240);
    CViewport& view = camera.CurrentViewport();
    view.Rotate(0, 30);
    view.Rotate(1, -50);
    view.Zoom(1.7f);
    view.view[12] += 3.0f;
    view.view[13] -= 1.5f;
    CImageSurface surface(640, 480);
    CPictureSaveSettings settings = Settings(640, 480, EPictureBackground::kWhite, "a.png");
    const CRenderRequest request =
        MakePictureSaveRequest(view, kModeShaded, {}, settings, surface, 2);
    EXPECT_EQ(request.view, view.view);
    EXPECT_EQ(request.viewportWidth, 640);
    EXPECT_EQ(request.viewportHeight, 480);
    EXPECT_FALSE(request.repaintSet);
    EXPECT_EQ(request.surface, &surface);
    EXPECT_EQ(request.threads, 2);
    // Every model point lands on the same place of the picture: pixel centres twice as far
    // from the corner.
    const CMatrix4 shown = view.WindowMatrix();
    for (const CVector3 point : {CVector3(0, 0, 0), CVector3(7, -3, 2), CVector3(-11, 5, -9)}) {
        const CVector3 a = TransformPoint(point, shown);
        const CVector3 b = TransformPoint(point, request.windowMatrix);
        EXPECT_NEAR(b.x + 0.5f, 2 * (a.x + 0.5f), 1e-3f);
        EXPECT_NEAR(b.y + 0.5f, 2 * (a.y + 0.5f), 1e-3f);
        EXPECT_NEAR(b.z, a.z, 1e-4f);
    }
    // The choices reach the render; an OpenGL mode saves the picture of the rendered mode.
    EXPECT_EQ(request.shading, EShading::kPerPixel);
    EXPECT_EQ(request.antialias, 3);
    EXPECT_EQ(request.background, 0xFFFFFFu);
    EXPECT_FALSE(request.coverage);
    settings.background = EPictureBackground::kTransparent;
    settings.antialias = 1;
    const CRenderRequest clear =
        MakePictureSaveRequest(view, kModeRenderedVertexColours, {}, settings, surface, 1);
    EXPECT_EQ(clear.shading, EShading::kVertexColours);
    EXPECT_EQ(clear.antialias, 1);
    EXPECT_FALSE(clear.background.has_value());  // the colours stay those of the surfaces
    EXPECT_TRUE(clear.coverage);
}

CPictureSaveResult SaveAndWait(const CPictureSaveSettings& settings) {
    CPictureSaveJob job;
    std::promise<CPictureSaveResult> done;
    CViewport view;
    view.SetRect(0, 0, 100, 100);
    job.Start(view, kModeRendered, {}, settings, 1,
              [&](const CPictureSaveResult& result) { done.set_value(result); });
    return done.get_future().get();
}

TEST(PictureSaveTest, TheJobWritesThePictureWithoutAWindow) {
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() / "orva_picture_save_test.bmp";
    std::filesystem::remove(path);
    const CPictureSaveResult written =
        SaveAndWait(Settings(37, 23, EPictureBackground::kWindow, path.string()));
    EXPECT_EQ(written.outcome, ESaveOutcome::kWritten);
    EXPECT_NE(written.message.find(path.string()), std::string::npos);
    // A 54-byte header and 23 rows of 37 pixels padded to 112 bytes.
    EXPECT_EQ(std::filesystem::file_size(path), 54u + 112u * 23u);
    std::filesystem::remove(path);
}

}  // namespace
}  // namespace orva
