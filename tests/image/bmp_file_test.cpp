#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "image/bmp_bytes.h"
#include "image/bmp_reader.h"

namespace orva::test {
namespace {

class ReadBmpFileTest : public testing::Test {
protected:
    void SetUp() override {
        m_folder =
            std::filesystem::path(testing::TempDir()) / ("orva_bmp_" + std::to_string(getpid()));
        std::filesystem::create_directories(m_folder);
    }
    void TearDown() override { std::filesystem::remove_all(m_folder); }

    std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) {
        const std::string path = (m_folder / name).string();
        std::FILE* file = std::fopen(path.c_str(), "wb");
        EXPECT_NE(file, nullptr);
        if (file != nullptr) {
            std::fwrite(bytes.data(), 1, bytes.size(), file);
            std::fclose(file);
        }
        return path;
    }

    std::filesystem::path m_folder;
};

TEST_F(ReadBmpFileTest, UnreadablePathsFailWithAClearedImage) {
    const std::string paths[] = {"", (m_folder / "missing.bmp").string(), m_folder.string()};
    for (const std::string& path : paths) {
        SCOPED_TRACE(path);
        uint8_t junk[4];
        ScopedBmpImage image;
        image.image = {1, 2, 3, junk};
        EXPECT_EQ(ReadBmpFile(path, image.image), -1);
        EXPECT_EQ(image.image.width, 0);
        EXPECT_EQ(image.image.height, 0);
        EXPECT_EQ(image.image.stride, 0);
        EXPECT_EQ(image.image.pixels, nullptr);
    }
}

// The file reader seeks and reads where the memory reader copies; both must give the same
// picture, also where rows are converted one by one, gaps are skipped or the file is cut.
TEST_F(ReadBmpFileTest, ReadsWhatTheMemoryReaderReads) {
    std::vector<uint8_t> rows8(SourceStride(37, 8) * 29);
    for (size_t i = 0; i < rows8.size(); ++i) {
        rows8[i] = static_cast<uint8_t>(i * 7);
    }
    std::vector<std::array<uint8_t, 3>> palette(256);
    for (int i = 0; i < 256; ++i) {
        palette[i] = {static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i), 9};
    }
    std::vector<uint8_t> cut = MakeBmpBytes(
        {.width = 37, .height = 29, .bitsPerPixel = 8, .palette = palette, .rows = rows8});
    cut.resize(cut.size() - 500);
    const std::vector<std::vector<uint8_t>> files = {
        MakeBmpBytes({.width = 5,
                      .height = 3,
                      .gapBeforeRows = 10,
                      .rows = std::vector<uint8_t>(16 * 3, 0x5A)}),
        MakeBmpBytes({.infoSize = 12,
                      .width = 37,
                      .height = 29,
                      .bitsPerPixel = 8,
                      .palette = palette,
                      .rows = rows8}),
        cut,
    };
    for (size_t i = 0; i < files.size(); ++i) {
        SCOPED_TRACE(i);
        const std::string path = Write("file" + std::to_string(i) + ".bmp", files[i]);
        ScopedBmpImage fromFile;
        ScopedBmpImage fromMemory;
        CBmpReadInfo fileInfo;
        CBmpReadInfo memoryInfo;
        ASSERT_EQ(ReadBmpFile(path, fromFile.image, &fileInfo), 1);
        ASSERT_EQ(ReadBmpMemory(files[i], fromMemory.image, &memoryInfo), 1);
        EXPECT_EQ(memoryInfo.truncated, files[i].size() == cut.size());
        EXPECT_EQ(fileInfo.truncated, memoryInfo.truncated);
        EXPECT_EQ(fileInfo.paletteEntries, memoryInfo.paletteEntries);
        ASSERT_EQ(fromFile.image.stride, fromMemory.image.stride);
        ASSERT_EQ(fromFile.image.height, fromMemory.image.height);
        const size_t size = static_cast<size_t>(fromFile.image.stride) * fromFile.image.height;
        EXPECT_EQ(std::memcmp(fromFile.image.pixels, fromMemory.image.pixels, size), 0);
    }
}

}  // namespace
}  // namespace orva::test
