#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
// jpeglib.h wants FILE and size_t declared before it.
#include <jpeglib.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "platform/egl_display.h"
#include "run_orva.h"
#include "scene_bytes.h"

namespace orva {
namespace {

using test::json;

using test::CRun;

CRun RunOrva(const std::string& arguments) {
    return test::RunOrva(arguments, test::EStream::kStderr);
}

struct CPicture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;
    const uint8_t* At(int x, int y) const { return rgb.data() + 3 * (y * width + x); }
};

CPicture ReadPng(const std::string& path) {
    CPicture p;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&image, path.c_str()) == 0) {
        return p;
    }
    image.format = PNG_FORMAT_RGB;
    p.rgb.resize(PNG_IMAGE_SIZE(image));
    if (png_image_finish_read(&image, nullptr, p.rgb.data(), 0, nullptr) == 0) {
        p.rgb.clear();
        return p;
    }
    p.width = static_cast<int>(image.width);
    p.height = static_cast<int>(image.height);
    return p;
}

// Decodes with libjpeg's own error handling, which ends the test program on a broken file.
CPicture ReadJpeg(const std::string& path) {
    CPicture p;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return p;
    }
    jpeg_decompress_struct codec{};
    jpeg_error_mgr errors{};
    codec.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&codec);
    jpeg_stdio_src(&codec, file);
    jpeg_read_header(&codec, TRUE);
    codec.out_color_space = JCS_RGB;
    jpeg_start_decompress(&codec);
    p.width = static_cast<int>(codec.output_width);
    p.height = static_cast<int>(codec.output_height);
    p.rgb.resize(size_t(p.width) * p.height * 3);
    while (codec.output_scanline < codec.output_height) {
        JSAMPROW row = p.rgb.data() + size_t(codec.output_scanline) * p.width * 3;
        jpeg_read_scanlines(&codec, &row, 1);
    }
    jpeg_finish_decompress(&codec);
    jpeg_destroy_decompress(&codec);
    std::fclose(file);
    return p;
}

// A cube of side 20 at the origin: at zoom 1 it fills the middle two fifths of the height.
std::string CubeScene() {
    const json box = {
        {"type", "polyMesh"},
        {"points",
         {{-10, -10, -10},
          {10, -10, -10},
          {-10, 10, -10},
          {10, 10, -10},
          {-10, -10, 10},
          {10, -10, 10},
          {-10, 10, 10},
          {10, 10, 10}}},
        {"polygons",
         {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4}, {2, 6, 7, 3}, {0, 4, 6, 2}, {1, 3, 7, 5}}}};
    return test::WriteTempFile("cube.orv", test::SceneBytes(json::array({box})));
}

std::string OutputPath(const std::string& name) {
    return (std::filesystem::temp_directory_path() / ("orva-render-" + name)).string();
}

TEST(RenderCommandTest, WritesThePictureTheViewerWouldShow) {
    const std::string out = OutputPath("cube.png");
    const CRun run = RunOrva("render '" + CubeScene() + "' -o '" + out + "' --size 200x100");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    const CPicture p = ReadPng(out);
    ASSERT_EQ(p.width, 200);
    ASSERT_EQ(p.height, 100);
    // 2 pixels per unit at this height: the cube spans columns 79..119 and rows 29..69.
    EXPECT_EQ(p.At(0, 0)[0], 228);
    EXPECT_EQ(p.At(199, 99)[2], 228);
    EXPECT_NE(p.At(100, 50)[0], 228);
    EXPECT_NE(p.At(80, 30)[0], 228);
    EXPECT_EQ(p.At(77, 50)[0], 228);
    EXPECT_EQ(p.At(100, 71)[0], 228);
    std::filesystem::remove(out);
}

TEST(RenderCommandTest, BmpOutputAndZoomAllAndEveryView) {
    const std::string out = OutputPath("cube.bmp");
    for (int view = 1; view <= 6; ++view) {
        const CRun run =
            RunOrva("render '" + CubeScene() + "' -o '" + out +
                    "' --size 64x48 --zoom-all --mode 300 --view " + std::to_string(view));
        ASSERT_EQ(run.exitCode, 0) << run.output;
        std::ifstream file(out, std::ios::binary);
        std::vector<char> bytes((std::istreambuf_iterator<char>(file)), {});
        ASSERT_GE(bytes.size(), 54u + 64 * 48 * 3);
        EXPECT_EQ(bytes[0], 'B');
        EXPECT_EQ(bytes[1], 'M');
        // Zoom All fits the cube to the height: the middle row is covered from edge to edge
        // of the cube, so its centre is not background.
        const std::size_t centre = 54 + (24 * 64 + 32) * 3;
        EXPECT_NE(static_cast<uint8_t>(bytes[centre]), 228) << view;
    }
    std::filesystem::remove(out);
}

TEST(RenderCommandTest, JpegByItsExtensionInAnyCaseAndNoOtherUnknownExtension) {
    const std::string scene = CubeScene();
    const std::string png = OutputPath("jpeg-reference.png");
    ASSERT_EQ(RunOrva("render '" + scene + "' -o '" + png + "' --size 120x90").exitCode, 0);
    const CPicture reference = ReadPng(png);
    std::uintmax_t bytesAt90 = 0;
    for (const char* name : {"cube.jpg", "cube.JPEG", "cube-q20.Jpg"}) {
        const std::string out = OutputPath(name);
        const bool low = std::string(name).find("q20") != std::string::npos;
        const CRun run = RunOrva("render '" + scene + "' -o '" + out + "' --size 120x90" +
                                 (low ? " --quality 20" : ""));
        ASSERT_EQ(run.exitCode, 0) << run.output;
        std::ifstream file(out, std::ios::binary);
        std::array<unsigned char, 3> soi{};
        file.read(reinterpret_cast<char*>(soi.data()), 3);
        ASSERT_EQ(soi, (std::array<unsigned char, 3>{0xFF, 0xD8, 0xFF})) << name;
        const CPicture jpeg = ReadJpeg(out);
        ASSERT_EQ(jpeg.width, 120);
        ASSERT_EQ(jpeg.height, 90);
        long difference = 0;
        for (std::size_t i = 0; i < jpeg.rgb.size(); ++i) {
            difference += std::abs(int(jpeg.rgb[i]) - int(reference.rgb[i]));
        }
        // Mostly flat background: red and blue swapped would show far above these.
        EXPECT_LT(double(difference) / double(jpeg.rgb.size()), low ? 1.5 : 0.5) << name;
        const std::uintmax_t bytes = std::filesystem::file_size(out);
        if (low) {
            EXPECT_LT(bytes, bytesAt90);
        }
        bytesAt90 = bytes;
        std::filesystem::remove(out);
    }
    std::filesystem::remove(png);

    for (const char* name : {"cube.gif", "cube.png.txt", "cube"}) {
        const std::string out = OutputPath(name);
        std::filesystem::remove(out);
        const CRun run = RunOrva("render '" + scene + "' -o '" + out + "'");
        EXPECT_EQ(run.exitCode, 2) << name;
        EXPECT_FALSE(std::filesystem::exists(out)) << name;
        EXPECT_EQ(std::count(run.output.begin(), run.output.end(), '\n'), 1) << run.output;
    }
    EXPECT_NE(RunOrva("render '" + scene + "' -o x.gif").output.find("\".gif\""),
              std::string::npos);
    EXPECT_EQ(RunOrva("render '" + scene + "' -o x.jpg --quality 0").exitCode, 2);
}

TEST(RenderCommandTest, VersionAndEveryFileThatCannotBeUsedNamedWithTheReason) {
    const CRun version = test::RunOrva("--version");
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.output, "orva " ORVA_VERSION "\n");

    const std::string folder = std::filesystem::temp_directory_path().string();
    const std::string scene = CubeScene();
    const std::string out = OutputPath("unused.png");
    const std::string folderAsPicture = OutputPath("folder.jpg");
    std::filesystem::create_directories(folderAsPicture);
    const std::pair<std::string, std::string> cases[] = {
        {"render /nonexistent/a.orv -o '" + out + "'", "/nonexistent/a.orv: No such file"},
        {"render '" + folder + "' -o '" + out + "'", folder + ": Is a directory"},
        {"info /nonexistent/b.orv", "/nonexistent/b.orv: No such file"},
        {"render '" + scene + "' -o /nonexistent/c.png", "/nonexistent/c.png: No such file"},
        {"render '" + scene + "' -o '" + folderAsPicture + "'", "folder.jpg: Is a directory"},
        {"thumbnails /nonexistent/d", "/nonexistent/d: No such file"},
        {"thumbnails --one /nonexistent/e.orv x.png 10", "/nonexistent/e.orv: No such file"}};
    for (const auto& [arguments, message] : cases) {
        const CRun run = RunOrva(arguments);
        EXPECT_EQ(run.exitCode, 1) << arguments;
        EXPECT_NE(run.output.find(message), std::string::npos) << arguments << "\n" << run.output;
        EXPECT_EQ(std::count(run.output.begin(), run.output.end(), '\n'), 1) << run.output;
    }
    EXPECT_FALSE(std::filesystem::exists(out));
    std::filesystem::remove(folderAsPicture);
}

TEST(RenderCommandTest, StatsArePrintedAsOneJsonLine) {
    const std::string out = OutputPath("stats.png");
    const CRun run =
        RunOrva("render '" + CubeScene() + "' -o '" + out + "' --size 80x60 --threads 2 --stats");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    const json stats = json::parse(run.output);
    EXPECT_EQ(stats["width"], 80);
    EXPECT_EQ(stats["height"], 60);
    EXPECT_EQ(stats["rows"], 60);
    EXPECT_EQ(stats["threads"], 2);
    EXPECT_EQ(stats["interrupted"], false);
    EXPECT_GT(stats["peak_rss_kib"].get<long>(), 0);
    std::filesystem::remove(out);
}

TEST(RenderCommandTest, BadOptionsExitTwoAndBadFilesExitOne) {
    const std::string scene = CubeScene();
    const std::string out = OutputPath("bad.png");
    EXPECT_EQ(RunOrva("render '" + scene + "'").exitCode, 2);  // no output
    EXPECT_EQ(RunOrva("render '" + scene + "' -o x.png --mode 250").exitCode, 2);
    EXPECT_EQ(RunOrva("render '" + scene + "' -o x.png --view 7").exitCode, 2);
    EXPECT_EQ(RunOrva("render '" + scene + "' -o x.png --threads 0").exitCode, 2);
    for (const char* size : {"0x10", "10", "10x", "x10", "20000x10", "10x10x", "-5x3"}) {
        EXPECT_EQ(RunOrva("render '" + scene + "' -o x.png --size " + size).exitCode, 2) << size;
    }
    for (const char* studio :
         {"--aa 5", "--aa 0", "--turn 10,", "--turn a", "--turn 1e9", "--zoom 0", "--margin 50",
          "--background 12345", "--background '#GG0000'", "--mode 100 --aa 2",
          "--mode 0 --background FFFFFF"}) {
        EXPECT_EQ(RunOrva("render '" + scene + "' -o x.png " + studio).exitCode, 2) << studio;
    }
    const CRun opaque = RunOrva("render '" + scene + "' -o x.jpg --background transparent");
    EXPECT_EQ(opaque.exitCode, 2);
    EXPECT_NE(opaque.output.find("needs a .png"), std::string::npos) << opaque.output;
    EXPECT_EQ(RunOrva("render /nonexistent/a.orv -o '" + out + "'").exitCode, 1);
    std::vector<uint8_t> bytes = test::SceneBytes(json::array());
    bytes[5] ^= 0x40;
    const std::string invalid = test::WriteTempFile("invalid-render.orv", bytes);
    const CRun run = RunOrva("render '" + invalid + "' -o '" + out + "'");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.output.find("Invalid file format!"), std::string::npos) << run.output;
    EXPECT_FALSE(std::filesystem::exists(out));
    EXPECT_EQ(RunOrva("render '" + scene + "' -o /nonexistent/dir/x.png").exitCode, 1);
}

// The OpenGL modes need an EGL display; the machine may have none at all.
bool HasOpenGL() {
    return EGLDisplayAvailable();
}

// Under the address sanitizer, its leak check stops every thread at exit; after the EGL driver
// ran, its tracer itself crashes there now and then on a busy machine ("Tracer caught signal
// 11"), which is no finding about orva. The OpenGL pictures are checked for memory errors, not
// for leaks.
class CNoLeakCheckInChildren {
public:
    CNoLeakCheckInChildren() {
        const char* options = std::getenv("ASAN_OPTIONS");
        m_had = options != nullptr;
        m_options = m_had ? options : "";
        setenv("ASAN_OPTIONS", (m_options + ":detect_leaks=0").c_str(), 1);
    }
    ~CNoLeakCheckInChildren() {
        if (m_had) {
            setenv("ASAN_OPTIONS", m_options.c_str(), 1);
        } else {
            unsetenv("ASAN_OPTIONS");
        }
    }

private:
    bool m_had = false;
    std::string m_options;
};

// What the display's headlight makes of the default object colour (159, 159, 223) on a face
// turned straight to the viewer: 0.2 of the 0.2 ambient material plus the full diffuse colour.
constexpr uint8_t kLitDefault[3] = {169, 169, 233};

bool Near(const uint8_t* rgb, const uint8_t* expected) {
    for (int c = 0; c < 3; ++c) {
        if (std::abs(int(rgb[c]) - int(expected[c])) > 1) {
            return false;
        }
    }
    return true;
}

int DrawnPixels(const CPicture& p, int x0, int y0, int x1, int y1) {
    int count = 0;
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            count += p.At(x, y)[0] != 228 || p.At(x, y)[1] != 228 || p.At(x, y)[2] != 228;
        }
    }
    return count;
}

TEST(RenderCommandTest, OpenGLModesDrawTheViewersWireframeAndShadedPictures) {
    if (!HasOpenGL()) {
        GTEST_SKIP() << "no EGL display on this machine";
    }
    const CNoLeakCheckInChildren sanitizerTracer;
    const std::string scene = CubeScene();
    const std::string out = OutputPath("cube-gl.png");
    // 2 pixels per unit at this height: the cube's front face covers columns 79.5..119.5 and
    // rows 29.5..69.5.
    for (const int mode : {0, 10, 100}) {
        const CRun run = RunOrva("render '" + scene + "' -o '" + out + "' --size 200x100 --mode " +
                                 std::to_string(mode));
        ASSERT_EQ(run.exitCode, 0) << run.output;
        const CPicture p = ReadPng(out);
        ASSERT_EQ(p.width, 200);
        ASSERT_EQ(p.height, 100);
        EXPECT_EQ(DrawnPixels(p, 0, 0, 199, 27), 0) << mode;
        EXPECT_EQ(DrawnPixels(p, 0, 72, 199, 99), 0) << mode;
        EXPECT_EQ(DrawnPixels(p, 0, 0, 77, 99), 0) << mode;
        EXPECT_EQ(DrawnPixels(p, 122, 0, 199, 99), 0) << mode;
        if (mode == 100) {
            EXPECT_TRUE(Near(p.At(100, 50), kLitDefault))
                << int(p.At(100, 50)[0]) << " " << int(p.At(100, 50)[1]) << " "
                << int(p.At(100, 50)[2]);
        } else {
            // Lines only: the edges, not the faces.
            EXPECT_EQ(DrawnPixels(p, 85, 35, 114, 64), 0) << mode;
            EXPECT_GT(DrawnPixels(p, 78, 28, 121, 71), 30) << mode;
        }
    }
    std::filesystem::remove(out);
}

TEST(RenderCommandTest, WithoutOpenGLOnlyTheOpenGLModesFailWithOneLine) {
    // Pointing the EGL loader at no driver at all is what a machine without OpenGL looks like.
    setenv("__EGL_VENDOR_LIBRARY_FILENAMES", "/nonexistent/egl_vendor.json", 1);
    const std::string scene = CubeScene();
    const std::string out = OutputPath("no-gl.png");
    std::filesystem::remove(out);
    const CRun failed = RunOrva("render '" + scene + "' -o '" + out + "' --mode 100");
    const CRun software = RunOrva("render '" + scene + "' -o '" + out + "' --size 20x20");
    unsetenv("__EGL_VENDOR_LIBRARY_FILENAMES");
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_EQ(std::count(failed.output.begin(), failed.output.end(), '\n'), 1) << failed.output;
    EXPECT_NE(failed.output.find("OpenGL"), std::string::npos) << failed.output;
    EXPECT_EQ(software.exitCode, 0) << software.output;
    EXPECT_TRUE(std::filesystem::exists(out));
    std::filesystem::remove(out);
}

// Starts a render that takes seconds, interrupts it after `delay` and returns the exit status.
int InterruptedRender(const std::string& scene, const std::string& out,
                      std::chrono::milliseconds delay) {
    const pid_t child = fork();
    if (child == 0) {
        execl(ORVA_PROGRAM, ORVA_PROGRAM, "render", scene.c_str(), "-o", out.c_str(), "--size",
              "2000x6000", "--threads", "1", "--zoom-all", "--zoom", "3",
              static_cast<char*>(nullptr));
        _exit(127);
    }
    std::this_thread::sleep_for(delay);
    kill(child, SIGINT);
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(RenderCommandTest, InterruptStopsTheRenderAndWritesTheRowsDone) {
    const std::string out = OutputPath("interrupted.png");
    const std::string scene = CubeScene();
    std::filesystem::remove(out);
    int status = -1;
    // An interrupt that comes while the scene is still being read leaves no picture; a slow
    // machine may need a longer wait to see rows done.
    for (int delay = 400; delay <= 3200 && !std::filesystem::exists(out); delay *= 2) {
        status = InterruptedRender(scene, out, std::chrono::milliseconds(delay));
        ASSERT_NE(status, -1) << "killed by the signal instead of stopping";
        ASSERT_NE(status, 0) << "the render ended before the interrupt came";
        EXPECT_EQ(status, 130);
    }
    const CPicture p = ReadPng(out);
    ASSERT_EQ(p.width, 2000);
    ASSERT_EQ(p.height, 6000);
    // Fitted to the picture's width and magnified thrice, the cube fills the picture: its top
    // row was rendered, its bottom row was not and shows the background.
    EXPECT_NE(p.At(1000, 0)[0], 228);
    EXPECT_EQ(p.At(1000, 5999)[0], 228);
    std::filesystem::remove(out);
}

}  // namespace
}  // namespace orva
