#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "image/animation_decode.h"
#include "image/webp_animation_writer.h"

namespace orva {
namespace {

namespace fs = std::filesystem;

// A frame whose colours and alpha differ from pixel to pixel and from frame to frame, with
// red and blue far apart so that swapped channels show.
struct CFrame {
    int width;
    int height;
    std::vector<uint8_t> bgr;
    std::vector<uint8_t> alpha;

    CFrame(int w, int h, int index) : width(w), height(h), bgr(size_t(w) * h * 3), alpha(w * h) {
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                uint8_t* p = &bgr[3 * (size_t(y) * w + x)];
                p[0] = static_cast<uint8_t>(40 + 2 * x + 10 * index);
                p[1] = static_cast<uint8_t>(2 * y + x);
                p[2] = static_cast<uint8_t>(220 - 2 * y);
                // Whole bands of no, half and full coverage, as a turntable's edges have.
                alpha[size_t(y) * w + x] = static_cast<uint8_t>(((x + index) / 4 % 3) * 255 / 2);
            }
        }
    }
    CPictureView View(bool withAlpha) const {
        CPictureView view{width, height, int64_t{width} * 3, bgr.data()};
        if (withAlpha) {
            view.alpha = alpha.data();
            view.alphaStride = width;
        }
        return view;
    }
};

std::string TempPath(const std::string& name) {
    return (fs::temp_directory_path() / ("orva-webp-" + name)).string();
}

TEST(WebpAnimationWriterTest, LosslessFramesComeBackExactlyWithAlphaTimingAndEndlessLoop) {
    const std::string path = TempPath("lossless.webp");
    CWebpAnimationSettings settings{37, 23, 24, true, 50.0f, true};
    std::vector<CFrame> frames;
    CWebpAnimationWriter writer;
    ASSERT_TRUE(writer.Open(path, settings)) << writer.Error();
    for (int i = 0; i < 4; ++i) {
        frames.emplace_back(37, 23, i);
        ASSERT_TRUE(writer.AddFrame(frames.back().View(true))) << writer.Error();
    }
    ASSERT_TRUE(writer.Finish()) << writer.Error();

    const test::CDecodedFrames decoded = test::DecodeWebpAnimation(path);
    ASSERT_TRUE(decoded.read);
    EXPECT_EQ(decoded.width, 37);
    EXPECT_EQ(decoded.height, 23);
    EXPECT_EQ(decoded.loopCount, 0);
    // 1000 / 24 ms a frame, rounded from the frame number so that it never drifts.
    EXPECT_EQ(decoded.endMilliseconds, (std::vector<int>{42, 83, 125, 167}));
    ASSERT_EQ(decoded.bgra.size(), 4u);
    int mismatches = 0;
    for (int i = 0; i < 4; ++i) {
        for (int y = 0; y < 23; ++y) {
            for (int x = 0; x < 37; ++x) {
                const uint8_t* got = decoded.At(i, x, y);
                const uint8_t* colour = &frames[i].bgr[3 * (size_t(y) * 37 + x)];
                const uint8_t alpha = frames[i].alpha[size_t(y) * 37 + x];
                // Where nothing shows, the colour is of no account.
                const bool colourWrong = alpha != 0 && (got[0] != colour[0] ||
                                                        got[1] != colour[1] || got[2] != colour[2]);
                mismatches += colourWrong || got[3] != alpha;
            }
        }
    }
    EXPECT_EQ(mismatches, 0);
    fs::remove(path);
}

TEST(WebpAnimationWriterTest, LossyOpaqueFramesStayCloseAndCarryNoAlpha) {
    const std::string path = TempPath("lossy.webp");
    CWebpAnimationWriter writer;
    ASSERT_TRUE(writer.Open(path, CWebpAnimationSettings{64, 48, 10, false, 90.0f, false}));
    std::vector<CFrame> frames;
    for (int i = 0; i < 3; ++i) {
        frames.emplace_back(64, 48, i);
        ASSERT_TRUE(writer.AddFrame(frames.back().View(false))) << writer.Error();
    }
    ASSERT_TRUE(writer.Finish()) << writer.Error();
    const test::CDecodedFrames decoded = test::DecodeWebpAnimation(path);
    ASSERT_TRUE(decoded.read);
    ASSERT_EQ(decoded.bgra.size(), 3u);
    EXPECT_EQ(decoded.endMilliseconds, (std::vector<int>{100, 200, 300}));
    for (int i = 0; i < 3; ++i) {
        double difference = 0.0;
        int opaque = 0;
        for (int y = 0; y < 48; ++y) {
            for (int x = 0; x < 64; ++x) {
                const uint8_t* got = decoded.At(i, x, y);
                const uint8_t* colour = &frames[i].bgr[3 * (size_t(y) * 64 + x)];
                for (int c = 0; c < 3; ++c) {
                    difference += std::abs(int(got[c]) - int(colour[c]));
                }
                opaque += got[3] == 255;
            }
        }
        EXPECT_LT(difference / (64 * 48 * 3), 3.0) << "frame " << i;
        EXPECT_EQ(opaque, 64 * 48) << "frame " << i;
    }
    fs::remove(path);
}

TEST(WebpAnimationWriterTest, AnimationNotFinishedOrRefusedLeavesNoFile) {
    const std::string path = TempPath("unfinished.webp");
    const CFrame frame(16, 16, 0);
    {
        CWebpAnimationWriter writer;
        ASSERT_TRUE(writer.Open(path, CWebpAnimationSettings{16, 16, 24, false, 90.0f, false}));
        ASSERT_TRUE(writer.AddFrame(frame.View(false)));
        EXPECT_TRUE(fs::exists(path));
    }
    EXPECT_FALSE(fs::exists(path));

    CWebpAnimationWriter writer;
    ASSERT_TRUE(writer.Open(path, CWebpAnimationSettings{17, 16, 24, false, 90.0f, false}));
    EXPECT_FALSE(writer.AddFrame(frame.View(false)));  // one column short
    EXPECT_FALSE(writer.Error().empty());
    EXPECT_FALSE(fs::exists(path));
    EXPECT_FALSE(writer.Finish());

    EXPECT_FALSE(writer.Open("/nonexistent/a.webp", CWebpAnimationSettings{16, 16}));
    EXPECT_NE(writer.Error().find("No such file"), std::string::npos) << writer.Error();
    EXPECT_FALSE(writer.Open(path, CWebpAnimationSettings{0, 16}));
    EXPECT_FALSE(fs::exists(path));
}

}  // namespace
}  // namespace orva
