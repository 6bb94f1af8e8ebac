#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "image/bmp_bytes.h"
#include "material_folder.h"
#include "render/shading/texture_sampling.h"

namespace orva {
namespace {

using test::Rgb;

// 4 x 2, bottom row first; every component differs so a wrong texel or channel shows.
const std::vector<Rgb> kFourByTwo = {
    {10, 20, 30},    {40, 50, 60},    {70, 80, 90},    {100, 110, 120},  // row 0 (bottom)
    {130, 140, 150}, {160, 170, 180}, {190, 200, 210}, {220, 230, 240},  // row 1 (top)
};

std::array<double, 3> Texel(int column, int row) {
    const Rgb& p = kFourByTwo[static_cast<size_t>(row * 4 + column)];
    return {p.r / 255.0, p.g / 255.0, p.b / 255.0};
}

void ExpectColour(CVector3 actual, std::array<double, 3> expected, double tolerance = 1e-5) {
    EXPECT_NEAR(actual.x, expected[0], tolerance);
    EXPECT_NEAR(actual.y, expected[1], tolerance);
    EXPECT_NEAR(actual.z, expected[2], tolerance);
}

std::array<double, 3> Mix(std::array<double, 3> a, std::array<double, 3> b, double f) {
    return {a[0] + (b[0] - a[0]) * f, a[1] + (b[1] - a[1]) * f, a[2] + (b[2] - a[2]) * f};
}

class SampleColourTest : public ::testing::Test {
protected:
    void SetUp() override { test::MakeImage(m_image.image, 4, 2, kFourByTwo); }
    const BmpImage& Image() const { return m_image.image; }
    test::ScopedBmpImage m_image;
};

TEST_F(SampleColourTest, TexelCornersGiveTheTexelAndRowZeroIsTheBottom) {
    ExpectColour(SampleColour(Image(), 0.0f, 0.0f), Texel(0, 0));
    ExpectColour(SampleColour(Image(), 0.25f, 0.0f), Texel(1, 0));
    ExpectColour(SampleColour(Image(), 0.75f, 0.5f), Texel(3, 1));
}

// At u = 0.3, v = 0.1: x = 1.2, y = 0.2, so columns 1 and 2 and rows 0 and 1, weights 0.2.
std::array<double, 3> AtPointThreePointOne() {
    return Mix(Mix(Texel(1, 0), Texel(2, 0), 0.2), Mix(Texel(1, 1), Texel(2, 1), 0.2), 0.2);
}

TEST_F(SampleColourTest, BlendsTheFourNeighboursBilinearly) {
    ExpectColour(SampleColour(Image(), 0.3f, 0.1f), AtPointThreePointOne());
    // Half way between all four.
    const auto quarter =
        Mix(Mix(Texel(0, 0), Texel(1, 0), 0.5), Mix(Texel(0, 1), Texel(1, 1), 0.5), 0.5);
    ExpectColour(SampleColour(Image(), 0.125f, 0.25f), quarter);
}

TEST_F(SampleColourTest, WrapsAroundInBothDirections) {
    ExpectColour(SampleColour(Image(), 1.25f, 0.0f), Texel(1, 0));
    ExpectColour(SampleColour(Image(), -0.25f, 0.0f), Texel(3, 0));
    ExpectColour(SampleColour(Image(), 0.0f, -0.5f), Texel(0, 1));
    ExpectColour(SampleColour(Image(), 0.25f, 3.0f), Texel(1, 0));
    // Between the last column and the first, and between the top row and the bottom one.
    ExpectColour(SampleColour(Image(), 0.875f, 0.0f), Mix(Texel(3, 0), Texel(0, 0), 0.5));
    ExpectColour(SampleColour(Image(), 0.0f, 0.75f), Mix(Texel(0, 1), Texel(0, 0), 0.5));
    // Off the texel corners the wrapped coordinate samples the same blend.
    ExpectColour(SampleColour(Image(), 1.3f, 0.1f), AtPointThreePointOne());
    ExpectColour(SampleColour(Image(), -0.7f, 0.1f), AtPointThreePointOne());
    ExpectColour(SampleColour(Image(), 0.3f, -1.9f), AtPointThreePointOne());
}

TEST(SampleColourEdgeTest, OnePixelWideImageSamplesThatColumnForEveryU) {
    test::ScopedBmpImage image;
    test::MakeImage(image.image, 1, 2, {{200, 100, 50}, {0, 0, 0}});
    for (float u : {-3.7f, -0.5f, 0.0f, 0.3f, 0.99f, 1.0f, 12.5f}) {
        ExpectColour(SampleColour(image.image, u, 0.0f), {200 / 255.0, 100 / 255.0, 50 / 255.0});
        // Rows still blend: a quarter of the way up between the two rows.
        ExpectColour(SampleColour(image.image, u, 0.125f), {150 / 255.0, 75 / 255.0, 37.5 / 255.0});
    }
}

TEST(SampleColourEdgeTest, ImagesWithoutPixelsSampleBlack) {
    const BmpImage empty;
    ExpectColour(SampleColour(empty, 0.5f, 0.5f), {0, 0, 0});
    uint8_t bytes[12] = {255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255};
    const BmpImage noWidth{0, 2, 4, bytes};
    const BmpImage noHeight{1, 0, 4, bytes};
    const BmpImage shortRows{4, 1, 4, bytes};  // rows shorter than their pixels
    for (const BmpImage* image : {&noWidth, &noHeight, &shortRows}) {
        ExpectColour(SampleColour(*image, 0.5f, 0.5f), {0, 0, 0});
        const CBumpGradient g = SampleBumpGradient(*image, 0.5f, 0.5f);
        EXPECT_EQ(g.bu, 0.0f);
        EXPECT_EQ(g.bv, 0.0f);
    }
}

TEST_F(SampleColourTest, CoordinatesThatAreNotFiniteSampleAsZero) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    ExpectColour(SampleColour(Image(), nan, 0.5f), Texel(0, 1));
    ExpectColour(SampleColour(Image(), 0.25f, nan), Texel(1, 0));
    ExpectColour(SampleColour(Image(), inf, -inf), Texel(0, 0));
    ExpectColour(SampleColour(Image(), 3e38f, 0.0f), Texel(0, 0));  // 4 * u overflows
    // Far outside 0..1 but finite: still wraps onto a texel of the image.
    ExpectColour(SampleColour(Image(), 1e20f, -1e20f), Texel(0, 0));
    ExpectColour(SampleColour(Image(), 1000000.25f, 0.0f), Texel(1, 0));
}

// Grey columns 0, 30, ..., 210: brightness 3 * 30 * column.
std::vector<Rgb> Ramp(int width, int height, bool alongRows) {
    std::vector<Rgb> pixels;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const auto grey = static_cast<uint8_t>(30 * (alongRows ? y : x));
            pixels.push_back({grey, grey, grey});
        }
    }
    return pixels;
}

TEST(SampleBumpGradientTest, CentralDifferencesOfTheBrightness) {
    test::ScopedBmpImage columns;
    test::MakeImage(columns.image, 8, 1, Ramp(8, 1, false));
    // At column 3: (I(4) - I(2)) / 765 = 3 * (120 - 60) / 765.
    CBumpGradient g = SampleBumpGradient(columns.image, 3.0f / 8.0f, 0.0f);
    EXPECT_NEAR(g.bu, 180.0 / 765.0, 1e-6);
    EXPECT_NEAR(g.bv, 0.0, 1e-7);
    // Half way to column 4 blends the same slope.
    g = SampleBumpGradient(columns.image, 3.5f / 8.0f, 0.0f);
    EXPECT_NEAR(g.bu, 180.0 / 765.0, 1e-6);
    // Column 0 takes its left neighbour from column 7: 3 * (30 - 210) / 765.
    g = SampleBumpGradient(columns.image, 0.0f, 0.0f);
    EXPECT_NEAR(g.bu, -540.0 / 765.0, 1e-6);
    // Half way between column 7 (3 * (0 - 180)) and column 0 (3 * (30 - 210)).
    g = SampleBumpGradient(columns.image, 7.5f / 8.0f, 0.0f);
    EXPECT_NEAR(g.bu, 0.5 * (-540.0 / 765.0) + 0.5 * (-540.0 / 765.0), 1e-6);
    // Column 6: neighbours 5 and 7, 3 * (210 - 150).
    g = SampleBumpGradient(columns.image, 6.25f / 8.0f, 0.0f);
    EXPECT_NEAR(g.bu, 0.75 * (180.0 / 765.0) + 0.25 * (-540.0 / 765.0), 1e-6);

    test::ScopedBmpImage rows;
    test::MakeImage(rows.image, 1, 8, Ramp(1, 8, true));
    g = SampleBumpGradient(rows.image, 0.7f, 2.0f / 8.0f);
    EXPECT_NEAR(g.bu, 0.0, 1e-7);
    EXPECT_NEAR(g.bv, 180.0 / 765.0, 1e-6);
    g = SampleBumpGradient(rows.image, 0.0f, 7.0f / 8.0f);  // top row wraps to the bottom
    EXPECT_NEAR(g.bv, 3.0 * (0 - 180) / 765.0, 1e-6);
}

TEST(SampleBumpGradientTest, UniformImageHasNoSlopeAnywhere) {
    test::ScopedBmpImage image;
    test::MakeImage(image.image, 3, 3, std::vector<Rgb>(9, Rgb{90, 180, 40}));
    for (float u : {0.0f, 0.4f, -1.3f, std::numeric_limits<float>::quiet_NaN()}) {
        const CBumpGradient g = SampleBumpGradient(image.image, u, 0.6f);
        EXPECT_EQ(g.bu, 0.0f);
        EXPECT_EQ(g.bv, 0.0f);
    }
}

// Texels sample to the image's own colours, every bit, over random images of odd sizes (one
// texel wide or high too) and coordinates near, far, negative and not finite; images without
// pixels or too large make no texels.
TEST(TexelMapTest, SamplesEveryBitAsTheImageDoes) {
    std::mt19937 random(3);
    std::uniform_int_distribution<int> size(1, 9);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_real_distribution<float> near(-1.5f, 2.5f);
    const float special[] = {0.0f,
                             1.0f,
                             -1.0f,
                             1e9f,
                             -3e7f,
                             std::numeric_limits<float>::infinity(),
                             std::numeric_limits<float>::quiet_NaN()};
    for (int trial = 0; trial < 50; ++trial) {
        const int width = size(random);
        const int height = size(random);
        std::vector<Rgb> pixels;
        for (int i = 0; i < width * height; ++i) {
            pixels.push_back({uint8_t(byte(random)), uint8_t(byte(random)), uint8_t(byte(random))});
        }
        test::ScopedBmpImage image;
        test::MakeImage(image.image, width, height, pixels);
        const CTexelMap texels = MakeTexelMap(image.image);
        ASSERT_FALSE(texels.Empty());
        for (int k = 0; k < 200; ++k) {
            const float u = k % 10 == 0 ? special[k / 10 % 7] : near(random);
            const float v = k % 15 == 0 ? special[k / 15 % 7] : near(random);
            const CVector3 expected = SampleColour(image.image, u, v);
            const CVector3 actual = SampleColour(texels, u, v);
            ASSERT_EQ(std::memcmp(&expected, &actual, sizeof expected), 0)
                << width << "x" << height << " at " << u << "," << v;
        }
    }
    EXPECT_TRUE(MakeTexelMap(BmpImage{}).Empty());
    BmpImage huge{4096, 4096, int32_t(BmpImageStride(4096)), nullptr};
    std::vector<uint8_t> bytes(std::size_t(huge.stride) * huge.height);
    huge.pixels = bytes.data();
    EXPECT_TRUE(MakeTexelMap(huge).Empty());
}

}  // namespace
}  // namespace orva
