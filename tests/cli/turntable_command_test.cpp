#include <gtest/gtest.h>
#include <png.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <thread>
#include <vector>

#include "image/animation_decode.h"
#include "run_orva.h"

namespace orva {
namespace {

namespace fs = std::filesystem;

const std::string kRing = std::string(ORVA_SAMPLES_DIR) + "/solitaire_ring.orv";

test::CRun Turntable(const std::string& out, const std::string& options) {
    return test::RunOrva("turntable '" + kRing + "' -o '" + out + "' " + options,
                         test::EStream::kStderr);
}

// A folder of its own for each test, empty at the start.
std::string Folder(const std::string& name) {
    const fs::path folder = fs::temp_directory_path() / ("orva-turntable-" + name);
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder.string();
}

std::vector<std::string> Listing(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<char> Bytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

// Blue, green, red of a PNG, as the animations decode to; empty when it cannot be read.
std::vector<uint8_t> ReadPngBgr(const std::string& path) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    std::vector<uint8_t> bgr;
    if (png_image_begin_read_from_file(&image, path.c_str()) != 0) {
        image.format = PNG_FORMAT_BGR;
        bgr.resize(PNG_IMAGE_SIZE(image));
        if (png_image_finish_read(&image, nullptr, bgr.data(), 0, nullptr) == 0) {
            bgr.clear();
        }
    }
    return bgr;
}

// Mean difference per channel between a decoded frame and the top left width x height pixels
// of a picture `stride` pixels wide.
double MeanDifference(const test::CDecodedFrames& frames, int frame,
                      const std::vector<uint8_t>& bgr, int width, int height, int stride) {
    double sum = 0.0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            for (int c = 0; c < 3; ++c) {
                sum += std::abs(int(frames.At(frame, x, y)[c]) -
                                int(bgr[3 * (size_t(y) * stride + x) + c]));
            }
        }
    }
    return sum / (double(width) * height * 3);
}

TEST(TurntableCommandTest, FramesOfAFolderFollowOneWholeTurn) {
    const std::string eight = Folder("eight");
    const std::string four = Folder("four");
    const std::string quarter = Folder("quarter");
    ASSERT_EQ(Turntable(eight, "--frames 8 --size 64x48 --turn 10,20").exitCode, 0);
    ASSERT_EQ(Turntable(four, "--frames 4 --size 64x48 --turn 10,20").exitCode, 0);
    // Starting a quarter turn later, on one thread: the same pictures shifted by one frame.
    ASSERT_EQ(Turntable(quarter, "--frames 4 --size 64x48 --turn 100,20 --threads 1").exitCode, 0);
    EXPECT_EQ(Listing(eight).size(), 8u);
    EXPECT_EQ(Listing(four), (std::vector<std::string>{"frame_000.png", "frame_001.png",
                                                       "frame_002.png", "frame_003.png"}));
    for (int i = 0; i < 4; ++i) {
        const auto name = [](int frame) { return "/frame_00" + std::to_string(frame) + ".png"; };
        EXPECT_EQ(Bytes(eight + name(2 * i)), Bytes(four + name(i))) << i;
        EXPECT_EQ(Bytes(quarter + name(i)), Bytes(four + name((i + 1) % 4))) << i;
    }
    EXPECT_EQ(ReadPngBgr(four + "/frame_000.png").size(), 64u * 48 * 3);
    for (const std::string& folder : {eight, four, quarter}) {
        fs::remove_all(folder);
    }
}

// Each animation shows the rendered frames in turn, each for its time (the WebP encoder merges
// a frame equal to the one before into a longer showing of it; a single picture is written as
// a still one); an MP4's odd sides are padded with the background.
TEST(TurntableCommandTest, AnimationsShowTheRenderedFramesInTurn) {
    const std::string folder = Folder("animations");
    const std::string options = "--frames 3 --size 95x71 --background 30A050 ";
    ASSERT_EQ(Turntable(folder + "/frames", options).exitCode, 0);
    std::vector<std::vector<uint8_t>> pictures;
    for (int i = 0; i < 3; ++i) {
        pictures.push_back(ReadPngBgr(folder + "/frames/frame_00" + std::to_string(i) + ".png"));
        ASSERT_EQ(pictures.back().size(), 95u * 71 * 3);
    }
    const test::CRun webpRun = Turntable(folder + "/ring.webp", options + "--fps 12");
    ASSERT_EQ(webpRun.exitCode, 0) << webpRun.output;
    EXPECT_EQ(webpRun.output, "");  // no progress bar when stderr is no terminal
    const test::CDecodedFrames webp = test::DecodeWebpAnimation(folder + "/ring.webp");
    ASSERT_TRUE(webp.read);
    EXPECT_EQ(webp.width, 95);
    EXPECT_EQ(webp.height, 71);
    ASSERT_NE(pictures[0], pictures[1]);  // the frames turn
    ASSERT_NE(pictures[1], pictures[2]);
    ASSERT_EQ(webp.bgra.size(), 3u);
    EXPECT_EQ(webp.loopCount, 0);
    EXPECT_EQ(webp.endMilliseconds.back(), 250);
    for (int i = 0, shown = 0; i < 3; ++i) {
        // The picture shown in the middle of frame i's time, at 12 frames a second.
        while (shown + 1 < int(webp.bgra.size()) && webp.endMilliseconds[shown] <= 83 * i + 41) {
            ++shown;
        }
        // Lossy: near its own frame, further from the next one.
        const double own = MeanDifference(webp, shown, pictures[i], 95, 71, 95);
        EXPECT_LT(own, 6.0) << i;
        EXPECT_LT(own, MeanDifference(webp, shown, pictures[(i + 1) % 3], 95, 71, 95)) << i;
    }

    ASSERT_EQ(Turntable(folder + "/ring.MP4", options + "--fps 30").exitCode, 0);
    const test::CDecodedFrames video = test::DecodeVideo(folder + "/ring.MP4");
    ASSERT_TRUE(video.read);
    EXPECT_EQ(video.width, 96);
    EXPECT_EQ(video.height, 72);
    EXPECT_DOUBLE_EQ(video.framesPerSecond, 30.0);
    ASSERT_EQ(video.bgra.size(), 3u);
    // The last column and row share colour samples (one for 2 x 2 pixels) with the padding.
    EXPECT_LT(MeanDifference(video, 0, pictures[0], 94, 70, 95), 7.0);
    // The padding has the background's brightness.
    const auto luma = [](const uint8_t* bgr) {
        return 0.0722 * bgr[0] + 0.7152 * bgr[1] + 0.2126 * bgr[2];
    };
    const uint8_t background[3] = {0x50, 0xA0, 0x30};
    for (const auto& [x, y] : {std::pair{95, 10}, std::pair{40, 71}, std::pair{95, 71}}) {
        EXPECT_NEAR(luma(video.At(0, x, y)), luma(background), 8.0) << x << "," << y;
    }
    // A GIF: one palette made for the piece keeps the frames close; it loops for ever.
    ASSERT_EQ(Turntable(folder + "/ring.gif", options + "--fps 12").exitCode, 0);
    const test::CDecodedFrames gif = test::DecodeVideo(folder + "/ring.gif");
    ASSERT_TRUE(gif.read);
    EXPECT_EQ(gif.width, 95);
    EXPECT_EQ(gif.height, 71);
    ASSERT_EQ(gif.bgra.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_LT(MeanDifference(gif, i, pictures[i], 95, 71, 95), 4.0) << i;
    }
    std::ifstream gifFile(folder + "/ring.gif", std::ios::binary);
    const std::string gifBytes((std::istreambuf_iterator<char>(gifFile)), {});
    EXPECT_EQ(gifBytes.compare(0, 6, "GIF89a"), 0);
    EXPECT_NE(gifBytes.find(std::string("NETSCAPE2.0\x03\x01\x00\x00", 15)), std::string::npos);
    EXPECT_EQ(Listing(folder),
              (std::vector<std::string>{"frames", "ring.MP4", "ring.gif", "ring.webp"}));
    fs::remove_all(folder);
}

// Starts a turntable of frames of `size` that takes minutes, waits until it is `under way` and
// a little more, interrupts it and returns its exit status.
int InterruptedTurntable(const std::string& out, const char* size,
                         const std::function<bool()>& underWay) {
    const pid_t child = fork();
    if (child == 0) {
        execl(ORVA_PROGRAM, ORVA_PROGRAM, "turntable", kRing.c_str(), "-o", out.c_str(), "--size",
              size, "--frames", "3600", "--aa", "2", static_cast<char*>(nullptr));
        _exit(127);
    }
    for (int wait = 0; wait < 600 && !underWay(); ++wait) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    kill(child, SIGINT);
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(TurntableCommandTest, InterruptLeavesNoAnimationAndOnlyWholeFramesInAFolder) {
    for (const char* name : {"ring.webp", "ring.mp4", "ring.gif"}) {
        const std::string folder = Folder("interrupt");
        // The animation's temporary file is there once the scene is read and frames start.
        EXPECT_EQ(InterruptedTurntable(folder + "/" + name, "1600x1600",
                                       [&] { return !Listing(folder).empty(); }),
                  130)
            << name;
        EXPECT_EQ(Listing(folder), std::vector<std::string>{}) << name;
        fs::remove_all(folder);
    }
    const std::string folder = Folder("interrupt-frames");
    EXPECT_EQ(InterruptedTurntable(folder, "120x90",
                                   [&] { return fs::exists(folder + "/frame_0001.png"); }),
              130);
    const std::vector<std::string> names = Listing(folder);
    ASSERT_GE(names.size(), 2u);
    ASSERT_LT(names.size(), 3600u);
    for (size_t i = 0; i < names.size(); ++i) {
        char expected[32];
        std::snprintf(expected, sizeof expected, "frame_%04zu.png", i);
        EXPECT_EQ(names[i], expected);
        EXPECT_EQ(ReadPngBgr(folder + "/" + names[i]).size(), 120u * 90 * 3) << names[i];
    }
    fs::remove_all(folder);
}

TEST(TurntableCommandTest, BadOptionsExitTwoAndUnusableFilesExitOne) {
    const std::string folder = Folder("bad");
    for (const char* options :
         {"--frames 0", "--frames 3601", "--fps 0", "--fps 121", "--aa 0", "--aa 5", "--view 7",
          "--size 0x10", "--size 10", "--threads 0", "--background 12345", "--background red",
          "--turn 10,", "--turn x", "--turn 1e9", "--frames two"}) {
        const test::CRun run = Turntable(folder + "/x.webp", options);
        EXPECT_EQ(run.exitCode, 2) << options;
        EXPECT_NE(run.output.find('\n'), std::string::npos) << options;
    }
    const test::CRun transparent = Turntable(folder + "/x.mp4", "--background transparent");
    EXPECT_EQ(transparent.exitCode, 2);
    EXPECT_NE(transparent.output.find("MP4 cannot be transparent"), std::string::npos)
        << transparent.output;
    EXPECT_EQ(test::RunOrva("turntable '" + kRing + "'").exitCode, 2);  // no output
    // A name with an extension that names no animation is a mistake, not a folder to make.
    for (const char* name : {"/x.gif", "/spin.avi"}) {
        const test::CRun run = Turntable(folder + name, "--background transparent");
        EXPECT_EQ(run.exitCode, 2) << name;
        EXPECT_EQ(std::count(run.output.begin(), run.output.end(), '\n'), 1) << run.output;
    }
    EXPECT_FALSE(fs::exists(folder + "/spin.avi"));

    const test::CRun missing =
        test::RunOrva("turntable /nonexistent/a.orv -o x.webp", test::EStream::kStderr);
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.output.find("/nonexistent/a.orv: No such file"), std::string::npos);
    const test::CRun unwritable = Turntable("/nonexistent/dir/x.mp4", "--size 8x8 --frames 1");
    EXPECT_EQ(unwritable.exitCode, 1);
    EXPECT_NE(unwritable.output.find("/nonexistent/dir/x.mp4: No such file"), std::string::npos)
        << unwritable.output;
    fs::create_directory(folder + "/taken.webp");
    const test::CRun taken = Turntable(folder + "/taken.webp", "--size 8x8 --frames 1");
    EXPECT_EQ(taken.exitCode, 1);
    EXPECT_NE(taken.output.find("taken.webp: Is a directory"), std::string::npos) << taken.output;
    EXPECT_EQ(Listing(folder), std::vector<std::string>{"taken.webp"});
    fs::remove_all(folder);
}

}  // namespace
}  // namespace orva
