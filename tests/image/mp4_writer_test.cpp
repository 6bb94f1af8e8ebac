#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "image/animation_decode.h"
#include "image/mp4_writer.h"

namespace orva {
namespace {

namespace fs = std::filesystem;

constexpr int kWidth = 65;  // odd both ways: the video rounds them up
constexpr int kHeight = 49;
constexpr uint32_t kPad = 0x20E040;

// A smooth background with a bright square that moves with the frame number, so that frames
// out of order or channels swapped show.
std::vector<uint8_t> Frame(int index) {
    std::vector<uint8_t> bgr(size_t(kWidth) * kHeight * 3);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            uint8_t* p = &bgr[3 * (size_t(y) * kWidth + x)];
            const bool square = x >= 8 * index && x < 8 * index + 16 && y >= 12 && y < 28;
            p[0] = square ? 250 : static_cast<uint8_t>(30 + 2 * x);
            p[1] = square ? 250 : static_cast<uint8_t>(60 + y);
            p[2] = square ? 250 : 200;
        }
    }
    return bgr;
}

double MeanDifference(const test::CDecodedFrames& video, int decoded,
                      const std::vector<uint8_t>& bgr) {
    double sum = 0.0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            for (int c = 0; c < 3; ++c) {
                sum += std::abs(int(video.At(decoded, x, y)[c]) -
                                int(bgr[3 * (size_t(y) * kWidth + x) + c]));
            }
        }
    }
    return sum / (kWidth * kHeight * 3);
}

TEST(Mp4WriterTest, FramesComeBackInOrderCloseToTheOriginalsPaddedToEvenSides) {
    const std::string path = (fs::temp_directory_path() / "orva-mp4-frames.mp4").string();
    CMp4Writer writer;
    ASSERT_TRUE(writer.Open(path, CMp4Settings{kWidth, kHeight, 10, kPad, 20})) << writer.Error();
    std::vector<std::vector<uint8_t>> frames;
    for (int i = 0; i < 5; ++i) {
        frames.push_back(Frame(i));
        const CPictureView view{kWidth, kHeight, kWidth * 3, frames.back().data()};
        ASSERT_TRUE(writer.AddFrame(view)) << writer.Error();
    }
    ASSERT_TRUE(writer.Finish()) << writer.Error();

    const test::CDecodedFrames video = test::DecodeVideo(path);
    ASSERT_TRUE(video.read);
    EXPECT_EQ(video.width, 66);
    EXPECT_EQ(video.height, 50);
    EXPECT_DOUBLE_EQ(video.framesPerSecond, 10.0);
    ASSERT_EQ(video.bgra.size(), 5u);
    for (int i = 0; i < 5; ++i) {
        const double own = MeanDifference(video, i, frames[i]);
        EXPECT_LT(own, 4.0) << "frame " << i;
        // Each decoded frame is far nearer its own original than its neighbour's.
        EXPECT_LT(3 * own, MeanDifference(video, i, frames[(i + 1) % 5])) << "frame " << i;
    }
    // The padding's corner shares its colour samples with the picture (4:2:0 keeps one for
    // every 2 x 2 pixels), but its brightness is the pad colour's own.
    const auto luma = [](const uint8_t* bgr) {
        return 0.0722 * bgr[0] + 0.7152 * bgr[1] + 0.2126 * bgr[2];
    };
    const uint8_t padBgr[3] = {0x40, 0xE0, 0x20};
    EXPECT_NEAR(luma(video.At(0, kWidth, kHeight)), luma(padBgr), 6.0);
    EXPECT_GT(std::abs(luma(video.At(0, kWidth - 1, kHeight - 1)) - luma(padBgr)), 18.0);
    fs::remove(path);
}

TEST(Mp4WriterTest, VideoNotFinishedOrRefusedLeavesNoFile) {
    const std::string path = (fs::temp_directory_path() / "orva-mp4-unfinished.mp4").string();
    const std::vector<uint8_t> frame = Frame(0);
    const CPictureView view{kWidth, kHeight, kWidth * 3, frame.data()};
    {
        CMp4Writer writer;
        ASSERT_TRUE(writer.Open(path, CMp4Settings{kWidth, kHeight, 24, 0, 20}));
        ASSERT_TRUE(writer.AddFrame(view));
        EXPECT_TRUE(fs::exists(path));
    }
    EXPECT_FALSE(fs::exists(path));

    CMp4Writer writer;
    ASSERT_TRUE(writer.Open(path, CMp4Settings{kWidth + 2, kHeight, 24, 0, 20}));
    EXPECT_FALSE(writer.AddFrame(view));
    EXPECT_FALSE(fs::exists(path));
    EXPECT_FALSE(writer.Finish());
    EXPECT_FALSE(writer.Open("/nonexistent/a.mp4", CMp4Settings{16, 16, 24, 0, 20}));
    EXPECT_NE(writer.Error().find("No such file"), std::string::npos) << writer.Error();
    EXPECT_FALSE(writer.Open(path, CMp4Settings{16, 16, 0, 0, 20}));
    EXPECT_FALSE(fs::exists(path));
}

}  // namespace
}  // namespace orva
