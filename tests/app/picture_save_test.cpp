#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <future>
#include <iterator>
#include <set>
#include <thread>

#include "app/picture_save_job.h"
#include "geometry/matrix4.h"
#include "picture/picture_save_settings.h"
#include "picture/scene_picture.h"
#include "picture/streamed_picture.h"
#include "scene_bytes.h"
#include "view/display_colours.h"
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
    // The margin counts only for a fitted picture.
    CPictureSaveSettings framed = Settings(5, 5, E::kColour, "a.png");
    framed.margin = 46.0f;
    EXPECT_EQ(CheckPictureSaveSettings(framed), "");
    framed.fitPiece = true;
    EXPECT_NE(CheckPictureSaveSettings(framed), "");
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

CPictureSaveResult SaveAndWait(const CPictureSaveSettings& settings, const CViewport& view = {},
                               const CSceneRange& scene = {}) {
    CPictureSaveJob job;
    std::promise<CPictureSaveResult> done;
    job.Start(view, kModeRendered, scene, settings, 2,
              [&](const CPictureSaveResult& result) { done.set_value(result); });
    return done.get_future().get();
}

// A box from corner `lo` to corner `hi`, as a mesh of six faces.
test::json Box(const std::array<float, 3>& lo, const std::array<float, 3>& hi) {
    test::json points = test::json::array();
    for (int corner = 0; corner < 8; ++corner) {
        points.push_back(
            {corner & 1 ? hi[0] : lo[0], corner & 2 ? hi[1] : lo[1], corner & 4 ? hi[2] : lo[2]});
    }
    return {{"type", "polyMesh"},
            {"points", points},
            {"polygons",
             {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4}, {2, 6, 7, 3}, {0, 4, 6, 2}, {1, 3, 7, 5}}}};
}

// A cube of side 20 at the origin, turned so that three of its faces show in three shades.
class PictureSaveSceneTest : public ::testing::Test {
protected:
    PictureSaveSceneTest() {
        m_cube = test::ReadScene(
            test::SceneBytes(test::json::array({Box({-10, -10, -10}, {10, 10, 10})})));
        CViewCamera camera;
        camera.SetViewportRect(0, 0, 120, 90);
        camera.SetStandardView(1);
        m_view = camera.CurrentViewport();
        m_view.Rotate(0, 25);
        m_view.Rotate(1, -35);
        m_folder = std::filesystem::temp_directory_path() /
                   ("orva-picture-save-" + std::to_string(getpid()));
        std::filesystem::create_directories(m_folder);
    }
    ~PictureSaveSceneTest() override { std::filesystem::remove_all(m_folder); }

    CSceneRange Scene() const { return {m_cube.objects.first, nullptr}; }

    test::CReadResult m_cube;
    CViewport m_view;
    std::filesystem::path m_folder;
};

std::string Bytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST_F(PictureSaveSceneTest, StreamedFilesAreThoseOfThePictureRenderedWholeInMemory) {
    using E = EPictureBackground;
    for (const auto& [background, name] :
         {std::pair{E::kWindow, "window.png"}, std::pair{E::kTransparent, "clear.png"},
          std::pair{E::kWhite, "white.jpg"}}) {
        CPictureSaveSettings settings = Settings(301, 207, background, (m_folder / name).string());
        ASSERT_EQ(SaveAndWait(settings, m_view, Scene()).outcome, ESaveOutcome::kWritten) << name;
        // The same picture rendered whole into memory and written from there.
        CImageSurface whole(settings.width, settings.height);
        if (background == E::kTransparent) {
            whole.KeepCoverage();
        }
        RenderPicture(MakePictureSaveRequest(m_view, kModeRendered, Scene(), settings, whole, 2));
        const std::set<uint8_t> shades(whole.Pixels().begin(), whole.Pixels().end());
        EXPECT_GT(shades.size(), 3u) << name << ": the cube is not in the picture";
        settings.path = (m_folder / (std::string("whole-") + name)).string();
        ASSERT_TRUE(WriteSavedPicture(settings, whole));
        const std::string streamed = Bytes(m_folder / name);
        EXPECT_FALSE(streamed.empty());
        EXPECT_TRUE(streamed == Bytes(settings.path)) << name;
    }
}

// The picture `orva render` writes of the scene at width x height with these settings.
std::string CommandLinePicture(CSceneAnchor& scene, const CPictureSettings& settings, int width,
                               int height, const std::filesystem::path& path) {
    CStreamedPicture picture;
    picture.path = path.string();
    picture.width = width;
    picture.height = height;
    picture.background = settings.background.value_or(DisplayGrey());
    const CStreamedPictureResult result = RenderStreamedPicture(
        picture,
        [&](CRowStreamSurface& surface) {
            return RenderScenePicture(scene, settings, surface, width, height);
        },
        nullptr);
    return result.written ? Bytes(path) : "not written";
}

// A cube at the origin and a bar off to its side: fitting moves the view as well as zooming it.
test::CReadResult CubeAndBar() {
    return test::ReadScene(test::SceneBytes(
        test::json::array({Box({-10, -10, -10}, {10, 10, 10}), Box({15, -3, -2}, {45, 3, 2})})));
}

TEST(PictureSaveTest, AFittedOrColouredPictureIsTheCommandLinesPicture) {
    test::CReadResult read = CubeAndBar();
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("orva-picture-fit-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    // The viewer's first view, which the command line shows unless told otherwise; a fitted
    // picture leaves out the zoom and pan given by hand.
    CViewCamera camera;
    camera.SetViewportRect(0, 0, 160, 120);
    camera.SetStandardView(1);
    const CViewport firstView = camera.CurrentViewport();
    CViewport movedView = firstView;
    movedView.Zoom(2.3f);
    movedView.view[12] += 7.0f;
    movedView.view[13] -= 4.0f;
    struct CCase {
        bool fit;
        float margin;
        int antialias;
        uint32_t colour;  // 0: the window's grey
    };
    std::set<std::string> pictures;
    // The first: the dialog's first choices, today's picture of the view.
    for (const CCase c : {CCase{false, 0, 3, 0}, CCase{true, 10, 2, 0}, CCase{true, 0, 3, 0x2A6B9C},
                          CCase{false, 0, 3, 0xF0E0D0}}) {
        CPictureSaveSettings viewer = Settings(
            210, 120, c.colour != 0 ? EPictureBackground::kColour : EPictureBackground::kWindow,
            (folder / "viewer.png").string());
        viewer.fitPiece = c.fit;
        viewer.margin = c.margin;
        viewer.antialias = c.antialias;
        viewer.colour = c.colour;
        // orva render --aa N [--zoom-all --margin M] [--background RRGGBB]
        CPictureSettings commandLine;
        commandLine.zoomAll = c.fit;
        commandLine.margin = c.margin;
        commandLine.antialias = c.antialias;
        if (c.colour != 0) {
            commandLine.background = c.colour;
        }
        const CViewport& view = c.fit ? movedView : firstView;
        ASSERT_EQ(SaveAndWait(viewer, view, WholeScene(read.objects)).outcome,
                  ESaveOutcome::kWritten);
        const std::string saved = Bytes(viewer.path);
        EXPECT_TRUE(saved == CommandLinePicture(read.objects, commandLine, 210, 120,
                                                folder / "command-line.png"))
            << "case " << pictures.size();
        pictures.insert(saved);
    }
    // Each setting changes the picture: none is lost on the way.
    EXPECT_EQ(pictures.size(), 4u);
    std::filesystem::remove_all(folder);
}

// Fitted into a picture taller than wide, the piece keeps within the picture's width, each
// side keeping its margin's share free.
TEST(PictureSaveTest, AFittedPortraitKeepsThePieceWithinItsWidth) {
    test::CReadResult read = CubeAndBar();
    CViewCamera camera;
    camera.SetViewportRect(0, 0, 160, 120);
    camera.SetStandardView(1);
    CPictureSaveSettings settings = Settings(60, 200, EPictureBackground::kColour, "a.png");
    settings.colour = 0x205020;  // unlike any shade of the boxes, whichever the bytes' order
    settings.fitPiece = true;
    settings.margin = 10.0f;
    CImageSurface surface(settings.width, settings.height);
    RenderPicture(MakePictureSaveRequest(camera.CurrentViewport(), kModeRendered,
                                         WholeScene(read.objects), settings, surface, 2));
    int left = settings.width;
    int right = -1;
    for (int y = 0; y < settings.height; ++y) {
        for (int x = 0; x < settings.width; ++x) {
            const uint8_t* rgb = &surface.Pixels()[(size_t(y) * settings.width + x) * 3];
            if (rgb[0] != 0x20 || rgb[1] != 0x50 || rgb[2] != 0x20) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
    }
    // The box's 55 units across fill the width less the margins: 6 pixels free each side.
    EXPECT_NEAR(left, 6, 1);
    EXPECT_NEAR(right, 53, 1);
}

TEST_F(PictureSaveSceneTest, ACancelledSaveLeavesNoFile) {
    const std::string path = (m_folder / "cancelled.png").string();
    CPictureSaveJob job;
    std::promise<CPictureSaveResult> done;
    job.Start(m_view, kModeRendered, Scene(),
              Settings(16384, 16384, EPictureBackground::kWindow, path), 2,
              [&](const CPictureSaveResult& result) { done.set_value(result); });
    // Once rows arrive the render is under way, and far from its end.
    while (job.Percent() == 0 && job.Running()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    job.RequestCancel();
    const CPictureSaveResult result = done.get_future().get();
    EXPECT_EQ(result.outcome, ESaveOutcome::kCancelled);
    EXPECT_GT(job.Percent(), 0);
    EXPECT_LT(job.Percent(), 100);
    // Neither the picture nor the temporary file it was written to.
    EXPECT_TRUE(std::filesystem::is_empty(m_folder));
}

TEST_F(PictureSaveSceneTest, AFileThatCannotBeWrittenSaysWhyWhetherStreamedOrNot) {
    for (const char* name : {"a.png", "a.jpg", "a.bmp"}) {
        const std::string path = (m_folder / "missing" / name).string();
        const CPictureSaveResult result =
            SaveAndWait(Settings(40, 30, EPictureBackground::kWindow, path), m_view, Scene());
        EXPECT_EQ(result.outcome, ESaveOutcome::kFailed) << name;
        EXPECT_EQ(result.message,
                  "The picture could not be written to " + path + ": " + std::strerror(ENOENT));
    }
}

long PeakResidentKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// The largest picture, written as it is rendered, never lies whole in memory (800 MB). It takes
// long, and its process must be its own: ctest runs it alone, in the timing runs.
TEST_F(PictureSaveSceneTest, DISABLED_TheLargestPngTakesLittleMemory) {
    const long before = PeakResidentKiB();
    const CPictureSaveSettings settings =
        Settings(16384, 16384, EPictureBackground::kWindow, (m_folder / "large.png").string());
    ASSERT_EQ(SaveAndWait(settings, m_view, Scene()).outcome, ESaveOutcome::kWritten);
    const long peak = PeakResidentKiB();
    std::printf("peak resident: %ld MiB, %ld MiB before the save\n", peak / 1024, before / 1024);
    EXPECT_LT(peak - before, 300 * 1024);
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
