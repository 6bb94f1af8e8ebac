#include <gtest/gtest.h>

#include <png.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <vector>

#include "image/bmp_reader.h"
#include "image/picture_writer.h"

namespace orva {
namespace {

// A 5 x 3 picture (odd width: BMP rows need padding) with a distinct colour per pixel.
struct CTestPicture {
    static constexpr int kWidth = 5;
    static constexpr int kHeight = 3;
    std::vector<uint8_t> pixels;
    CTestPicture() {
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                pixels.push_back(static_cast<uint8_t>(10 * x));       // blue
                pixels.push_back(static_cast<uint8_t>(100 + y));      // green
                pixels.push_back(static_cast<uint8_t>(200 + x + y));  // red
            }
        }
    }
    CPictureView View() const { return {kWidth, kHeight, kWidth * 3, pixels.data()}; }
};

std::string TempPath(const std::string& name) {
    return (std::filesystem::temp_directory_path() /
            ("orva-picture-" + std::to_string(getpid()) + name))
        .string();
}

TEST(PictureWriterTest, BmpReadsBackThroughOurReaderPixelForPixel) {
    const CTestPicture picture;
    const std::string path = TempPath(".BMP");
    ASSERT_TRUE(WritePictureFile(path, picture.View()));
    BmpImage image;
    ASSERT_EQ(ReadBmpFile(path, image), 1);
    EXPECT_EQ(image.width, 5);
    EXPECT_EQ(image.height, 3);
    for (int y = 0; y < 3; ++y) {
        const uint8_t* row = image.pixels + (2 - y) * image.stride;  // bottom-up
        for (int x = 0; x < 5; ++x) {
            EXPECT_EQ(row[3 * x], 10 * x);
            EXPECT_EQ(row[3 * x + 1], 100 + y);
            EXPECT_EQ(row[3 * x + 2], 200 + x + y);
        }
    }
    ReleaseBmpImage(image);
    std::remove(path.c_str());
}

TEST(PictureWriterTest, PngHoldsRedGreenBlueTopRowFirst) {
    const CTestPicture picture;
    const std::string path = TempPath(".png");
    ASSERT_TRUE(WritePictureFile(path, picture.View()));
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    ASSERT_NE(png_image_begin_read_from_file(&image, path.c_str()), 0);
    image.format = PNG_FORMAT_RGB;
    std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(image));
    ASSERT_NE(png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr), 0);
    EXPECT_EQ(image.width, 5u);
    EXPECT_EQ(image.height, 3u);
    const uint8_t* last = rgb.data() + (2 * 5 + 4) * 3;  // x = 4, y = 2
    EXPECT_EQ(last[0], 206);
    EXPECT_EQ(last[1], 102);
    EXPECT_EQ(last[2], 40);
    std::remove(path.c_str());
}

TEST(PictureWriterTest, NothingToWriteOrNowhereToWriteFails) {
    const CTestPicture picture;
    EXPECT_FALSE(WritePngFile(TempPath("empty.png"), {0, 3, 0, picture.pixels.data()}));
    EXPECT_FALSE(WriteBmpFile(TempPath("empty.bmp"), {5, 3, 15, nullptr}));
    EXPECT_FALSE(WritePngFile("/nonexistent/folder/x.png", picture.View()));
    EXPECT_FALSE(WriteBmpFile("/nonexistent/folder/x.bmp", picture.View()));
    EXPECT_FALSE(WriteJpegFile("/nonexistent/folder/x.jpg", picture.View(), 90));
    EXPECT_FALSE(WriteJpegFile(TempPath("q0.jpg"), picture.View(), 0));
    EXPECT_FALSE(std::filesystem::exists(TempPath("q0.jpg")));
    EXPECT_FALSE(WritePictureFile(TempPath(".gif"), picture.View()));
    EXPECT_FALSE(std::filesystem::exists(TempPath(".gif")));
}

}  // namespace
}  // namespace orva
