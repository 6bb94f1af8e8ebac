#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "image/animation_decode.h"
#include "image/mp4_writer.h"

namespace orva {
namespace {

constexpr int kWidth = 65;  // odd both ways: the video rounds them up
constexpr int kHeight = 49;

// A smooth ground with a bright square that moves with the frame number, so that frames out of
// order or channels swapped show.
std::vector<uint8_t> Frame(int index) {
    std::vector<uint8_t> bgr(size_t(kWidth) * kHeight * 3);
    for (int p = 0; p < kWidth * kHeight; ++p) {
        const int x = p % kWidth;
        const int y = p / kWidth;
        const bool square = x >= 8 * index && x < 8 * index + 16 && y >= 12 && y < 28;
        bgr[3 * p] = square ? 250 : static_cast<uint8_t>(30 + 2 * x);
        bgr[3 * p + 1] = square ? 250 : static_cast<uint8_t>(60 + y);
        bgr[3 * p + 2] = square ? 250 : 200;
    }
    return bgr;
}

double MeanDifference(const test::CDecodedFrames& video, int decoded,
                      const std::vector<uint8_t>& bgr) {
    double sum = 0.0;
    for (int p = 0; p < kWidth * kHeight; ++p) {
        for (int c = 0; c < 3; ++c) {
            sum +=
                std::abs(int(video.At(decoded, p % kWidth, p / kWidth)[c]) - int(bgr[3 * p + c]));
        }
    }
    return sum / (kWidth * kHeight * 3);
}

double Luma(const uint8_t* bgr) {
    return 0.0722 * bgr[0] + 0.7152 * bgr[1] + 0.2126 * bgr[2];
}

TEST(Mp4WriterTest, FramesComeBackInOrderCloseToTheOriginalsPaddedToEvenSides) {
    const std::string path = (std::filesystem::temp_directory_path() / "orva-video.mp4").string();
    CMp4Writer writer;
    ASSERT_TRUE(writer.Open(path, CMp4Settings{kWidth, kHeight, 10, 0x20E040, 20}))
        << writer.Error();
    std::vector<std::vector<uint8_t>> frames;
    for (int i = 0; i < 5; ++i) {
        frames.push_back(Frame(i));
        ASSERT_TRUE(writer.AddFrame(CPictureView{kWidth, kHeight, kWidth * 3, frames[i].data()}))
            << writer.Error();
    }
    ASSERT_TRUE(writer.Finish()) << writer.Error();

    const test::CDecodedFrames video = test::DecodeVideo(path);
    ASSERT_TRUE(video.read);
    EXPECT_EQ(video.width, kWidth + 1);
    EXPECT_EQ(video.height, kHeight + 1);
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
    const uint8_t pad[3] = {0x40, 0xE0, 0x20};
    EXPECT_NEAR(Luma(video.At(0, kWidth, kHeight)), Luma(pad), 6.0);
    EXPECT_GT(std::abs(Luma(video.At(0, kWidth - 1, kHeight - 1)) - Luma(pad)), 18.0);
    std::filesystem::remove(path);
}

}  // namespace
}  // namespace orva
