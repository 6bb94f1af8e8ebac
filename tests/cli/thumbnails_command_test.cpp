#include <gtest/gtest.h>
#include <png.h>

#include <filesystem>
#include <fstream>

#include "image/bmp_image.h"
#include "image/bmp_reader.h"
#include "run_orva.h"
#include "scene_bytes.h"

namespace orva {
namespace {

namespace fs = std::filesystem;
using test::json;

// A box in the upper left of the picture after Zoom All with a small second box far to the
// lower right, so a picture turned upside down or mirrored shows.
json TwoBoxes() {
    auto box = [](double x0, double z0, double x1, double z1) {
        return json{
            {"type", "polyMesh"},
            {"points",
             {{x0, -1, z0},
              {x1, -1, z0},
              {x0, 1, z0},
              {x1, 1, z0},
              {x0, -1, z1},
              {x1, -1, z1},
              {x0, 1, z1},
              {x1, 1, z1}}},
            {"polygons",
             {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4}, {2, 6, 7, 3}, {0, 4, 6, 2}, {1, 3, 7, 5}}}};
    };
    return json::array({box(-10, 2, -2, 10), box(8, -10, 10, -8)});
}

class ThumbnailsTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_folder = fs::temp_directory_path() /
                   ("orva-thumbnails-" +
                    std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(m_folder);
        fs::create_directories(m_folder);
    }
    void TearDown() override { fs::remove_all(m_folder); }

    std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) {
        const fs::path path = m_folder / name;
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        return path.string();
    }
    std::string Q(const fs::path& p) const { return "'" + p.string() + "'"; }

    fs::path m_folder;
};

// Blue, green, red of pixel (x, y) counted from the top of a bottom-up picture.
const uint8_t* BmpPixel(const BmpImage& image, int x, int y) {
    return image.pixels + (image.height - 1 - y) * image.stride + 3 * x;
}

TEST_F(ThumbnailsTest, EveryScenePictureIsAHundredSquareBottomUpBitmapThatMatchesThePng) {
    const std::string scene = Write("Rings.orv", test::SceneBytes(TwoBoxes()));
    Write("other.ORV", test::SceneBytes(TwoBoxes()));
    ASSERT_EQ(test::RunOrva("thumbnails " + Q(m_folder)).exitCode, 0);
    for (const char* name : {"Rings.bmp", "other.bmp"}) {
        const fs::path path = m_folder / name;
        ASSERT_TRUE(fs::exists(path)) << name;
        std::ifstream file(path, std::ios::binary);
        std::vector<uint8_t> header(54);
        file.read(reinterpret_cast<char*>(header.data()), 54);
        EXPECT_EQ(header[28], 24) << "bits per pixel";
        EXPECT_GT(int32_t(header[22] | header[23] << 8 | header[24] << 16 | header[25] << 24), 0)
            << "a positive height: rows stored bottom up";
        BmpImage image;
        ASSERT_EQ(ReadBmpFile(path.string(), image), 1);
        EXPECT_EQ(image.width, 100);
        EXPECT_EQ(image.height, 100);
        ReleaseBmpImage(image);
    }

    // The desktop's picture of the same scene at the same size is the same picture.
    const fs::path png = m_folder / "one.png";
    ASSERT_EQ(test::RunOrva("thumbnails --one " + Q(scene) + " " + Q(png) + " 100").exitCode, 0);
    png_image p{};
    p.version = PNG_IMAGE_VERSION;
    ASSERT_NE(png_image_begin_read_from_file(&p, png.string().c_str()), 0);
    p.format = PNG_FORMAT_BGR;
    std::vector<uint8_t> bgr(PNG_IMAGE_SIZE(p));
    ASSERT_NE(png_image_finish_read(&p, nullptr, bgr.data(), 0, nullptr), 0);
    BmpImage image;
    ASSERT_EQ(ReadBmpFile((m_folder / "Rings.bmp").string(), image), 1);
    int covered = 0;
    for (int y = 0; y < 100; ++y) {
        for (int x = 0; x < 100; ++x) {
            const uint8_t* b = BmpPixel(image, x, y);
            const uint8_t* q = bgr.data() + 3 * (y * 100 + x);
            ASSERT_TRUE(b[0] == q[0] && b[1] == q[1] && b[2] == q[2]) << x << "," << y;
            covered += b[0] != 228 ? 1 : 0;
        }
    }
    EXPECT_GT(covered, 500);
    // The large box is at the upper left, the small one at the lower right.
    EXPECT_NE(BmpPixel(image, 25, 25)[0], 228);
    EXPECT_EQ(BmpPixel(image, 25, 75)[0], 228);
    EXPECT_NE(BmpPixel(image, 95, 95)[0], 228);
    ReleaseBmpImage(image);
    // The format the name asks for; a name that asks for none gets PNG.
    const auto magic = [&](const char* name) {
        const fs::path out = m_folder / name;
        EXPECT_EQ(test::RunOrva("thumbnails --one " + Q(scene) + " " + Q(out) + " 64").exitCode, 0);
        std::ifstream in(out, std::ios::binary);
        std::string bytes(4, '\0');
        in.read(bytes.data(), 4);
        return bytes;
    };
    EXPECT_EQ(magic("one.JPG").substr(0, 3), "\xFF\xD8\xFF");
    EXPECT_EQ(magic("one.bmp").substr(0, 2), "BM");
    EXPECT_EQ(magic("gnome-thumbnail-XXXXXX"), "\x89PNG");
}

TEST_F(ThumbnailsTest, ExistingPicturesStayUnlessForcedAndBadScenesAreReported) {
    Write("kept.orv", test::SceneBytes(TwoBoxes()));
    const std::vector<uint8_t> mine = {'m', 'i', 'n', 'e'};
    Write("kept.bmp", mine);
    Write("broken.orv", {'n', 'o', 'p', 'e'});
    Write("lonely.bmp", mine);
    Write("fresh.orv", test::SceneBytes(TwoBoxes()));
    // Every failure once, naming its file, and one line that counts them all at the end.
    const test::CRun run = test::RunOrva("thumbnails " + Q(m_folder), test::EStream::kStderr);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.output, "orva: " + (m_folder / "broken.orv").string() +
                              ": Invalid file format!\n"
                              "thumbnails: 1 written, 1 skipped (already there), 1 failed\n");
    EXPECT_EQ(fs::file_size(m_folder / "kept.bmp"), 4u);
    EXPECT_FALSE(fs::exists(m_folder / "broken.bmp"));
    const test::CRun forced =
        test::RunOrva("thumbnails --force --size 32 " + Q(m_folder), test::EStream::kStderr);
    EXPECT_EQ(forced.exitCode, 1);
    EXPECT_EQ(forced.output, "orva: " + (m_folder / "broken.orv").string() +
                                 ": Invalid file format!\n"
                                 "thumbnails: 2 written, 0 skipped (already there), 1 failed\n");
    EXPECT_EQ(fs::file_size(m_folder / "kept.bmp"), 54u + 32 * 32 * 3);
    EXPECT_EQ(fs::file_size(m_folder / "lonely.bmp"), 4u);
}

TEST_F(ThumbnailsTest, BadOptionsExitTwo) {
    EXPECT_EQ(test::RunOrva("thumbnails").exitCode, 2);
    EXPECT_EQ(test::RunOrva("thumbnails --size 0 " + Q(m_folder)).exitCode, 2);
    EXPECT_EQ(test::RunOrva("thumbnails --one a.orv b.png").exitCode, 2);
    EXPECT_EQ(test::RunOrva("thumbnails --one a.orv b.png 12x").exitCode, 2);
    EXPECT_EQ(test::RunOrva("thumbnails " + Q(m_folder) + " --one a.orv b.png 12").exitCode, 2);
    EXPECT_EQ(test::RunOrva("thumbnails /nonexistent/folder").exitCode, 1);
}

}  // namespace
}  // namespace orva
