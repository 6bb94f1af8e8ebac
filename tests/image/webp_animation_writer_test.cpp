#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "image/animation_decode.h"
#include "image/webp_animation_writer.h"

namespace orva {
namespace {

// Lossless frames with alpha come back exactly, each shown for its time, looping forever; red
// and blue far apart so that swapped channels show, and bands of no, half and full coverage as
// a turntable's edges have.
TEST(WebpAnimationWriterTest, LosslessFramesComeBackExactlyWithAlphaTimingAndEndlessLoop) {
    constexpr int kWidth = 37;
    constexpr int kHeight = 23;
    const std::string path = (std::filesystem::temp_directory_path() / "orva-anim.webp").string();
    std::vector<std::vector<uint8_t>> colours(4, std::vector<uint8_t>(kWidth * kHeight * 3));
    std::vector<std::vector<uint8_t>> alphas(4, std::vector<uint8_t>(kWidth * kHeight));
    CWebpAnimationWriter writer;
    ASSERT_TRUE(writer.Open(path, CWebpAnimationSettings{kWidth, kHeight, 24, true, 50.0f, true}))
        << writer.Error();
    for (int i = 0; i < 4; ++i) {
        for (int p = 0; p < kWidth * kHeight; ++p) {
            const int x = p % kWidth;
            const int y = p / kWidth;
            colours[i][3 * p] = static_cast<uint8_t>(40 + 4 * x + 20 * i);
            colours[i][3 * p + 1] = static_cast<uint8_t>(7 * y + 3 * x);
            colours[i][3 * p + 2] = static_cast<uint8_t>(220 - 5 * y);
            alphas[i][p] = static_cast<uint8_t>(((x + i) / 4 % 3) * 255 / 2);
        }
        const CPictureView frame{kWidth,           kHeight,        kWidth * 3, colours[i].data(),
                                 alphas[i].data(), int64_t{kWidth}};
        ASSERT_TRUE(writer.AddFrame(frame)) << writer.Error();
    }
    ASSERT_TRUE(writer.Finish()) << writer.Error();

    const test::CDecodedFrames decoded = test::DecodeWebpAnimation(path);
    ASSERT_TRUE(decoded.read);
    EXPECT_EQ(decoded.width, kWidth);
    EXPECT_EQ(decoded.height, kHeight);
    EXPECT_EQ(decoded.loopCount, 0);
    // 1000 / 24 ms a frame, rounded from the frame number so that it never drifts.
    EXPECT_EQ(decoded.endMilliseconds, (std::vector<int>{42, 83, 125, 167}));
    ASSERT_EQ(decoded.bgra.size(), 4u);
    int mismatches = 0;
    for (int i = 0; i < 4; ++i) {
        for (int p = 0; p < kWidth * kHeight; ++p) {
            const uint8_t* got = &decoded.bgra[i][4 * p];
            const uint8_t* colour = &colours[i][3 * p];
            // Where nothing shows, the colour is of no account.
            mismatches += got[3] != alphas[i][p] ||
                          (alphas[i][p] != 0 &&
                           (got[0] != colour[0] || got[1] != colour[1] || got[2] != colour[2]));
        }
    }
    EXPECT_EQ(mismatches, 0);
    std::filesystem::remove(path);
}

}  // namespace
}  // namespace orva
