#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "image/bmp_bytes.h"
#include "image/bmp_reader.h"

// The public BMP test suite in tests/data/bmpsuite: INDEX.tsv gives the result of the
// reader for every file, EXPECTED_PIXELS.tsv two pixels of every file that is decoded.
namespace orva::test {
namespace {

using Row = std::map<std::string, std::string>;

std::vector<Row> ReadTable(const std::filesystem::path& path) {
    std::ifstream file(path);
    std::vector<Row> rows;
    std::vector<std::string> columns;
    std::string line;
    while (std::getline(file, line)) {
        std::vector<std::string> fields;
        std::stringstream cells(line);
        for (std::string cell; std::getline(cells, cell, '\t');) {
            fields.push_back(cell);
        }
        if (columns.empty()) {
            columns = fields;
            continue;
        }
        Row row;
        for (size_t i = 0; i < columns.size() && i < fields.size(); ++i) {
            row[columns[i]] = fields[i];
        }
        rows.push_back(row);
    }
    return rows;
}

std::vector<uint8_t> ReadBytes(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

Bgr ParseBgr(const std::string& text) {
    Bgr bgr{};
    std::stringstream cells(text);
    std::string cell;
    for (uint8_t& channel : bgr) {
        std::getline(cells, cell, ',');
        channel = static_cast<uint8_t>(std::stoi(cell));
    }
    return bgr;
}

std::vector<uint8_t> Pixels(const BmpImage& image) {
    return {image.pixels, image.pixels + static_cast<size_t>(image.stride) * image.height};
}

// Where this reader deliberately differs from the index's model reader.
const std::map<std::string, Bgr> kSaferTopRight = {
    // Index 196 lies past the 101 colours stored before the pixel data; the model reader
    // takes its "colour" from pixel bytes.
    {"b/pal8badindex.bmp", {0, 0, 0}},
    // The top row lies past the end of the cut file.
    {"b/shortfile.bmp", {0, 0, 0}},
};

EBmpStatus FailureStatus(const std::string& expected) {
    static const std::map<std::string, EBmpStatus> statuses = {
        {"fail:signature", EBmpStatus::kBadSignature},
        {"fail:header-size", EBmpStatus::kBadHeaderSize},
        {"fail:dimensions", EBmpStatus::kBadDimensions},
        {"fail:data-size", EBmpStatus::kBadDataSize},
    };
    return statuses.at(expected);
}

// Uncompressed 16- and 32-bit files are converted although the model reader leaves them.
bool ConvertedDirectColour(const Row& row) {
    return (row.at("bpp") == "16" || row.at("bpp") == "32") && row.at("compression") == "0";
}

class BmpSuiteTest : public testing::Test {
protected:
    // The suite is part of the repository: without it these tests fail rather than skip.
    void SetUp() override {
        ASSERT_TRUE(std::filesystem::exists(m_folder / "INDEX.tsv"))
            << "the BMP suite is missing from " << m_folder;
    }

    std::string PathOf(const std::string& name) const { return (m_folder / name).string(); }

    const std::filesystem::path m_folder{ORVA_BMP_SUITE_DIR};
};

TEST_F(BmpSuiteTest, IndexCoversEveryFileOfTheSuite) {
    size_t files = 0;
    for (const char* group : {"g", "q", "b"}) {
        for (const auto& entry : std::filesystem::directory_iterator(m_folder / group)) {
            files += entry.path().extension() == ".bmp";
        }
    }
    EXPECT_EQ(ReadTable(m_folder / "INDEX.tsv").size(), files);
    EXPECT_EQ(files, 88u);
}

TEST_F(BmpSuiteTest, EveryFileGivesTheIndexedResult) {
    for (const Row& row : ReadTable(m_folder / "INDEX.tsv")) {
        const std::string& expected = row.at("expected");
        SCOPED_TRACE(row.at("path") + " " + expected);
        ScopedBmpImage image;
        CBmpReadInfo info;
        const int result = ReadBmpFile(PathOf(row.at("path")), image.image, &info);
        if (expected.starts_with("fail:")) {
            EXPECT_EQ(result, -1);
            EXPECT_EQ(info.status, FailureStatus(expected));
            EXPECT_EQ(image.image.pixels, nullptr);
            EXPECT_EQ(image.image.width, 0);
            continue;
        }
        ASSERT_EQ(result, 1);
        EXPECT_EQ(image.image.width, std::stoi(row.at("width")));
        EXPECT_EQ(image.image.height, std::stoi(row.at("height")));
        EXPECT_EQ(image.image.stride, (image.image.width * 3 + 3) / 4 * 4);
        ASSERT_NE(image.image.pixels, nullptr);
        if (expected == "ok-decoded" || ConvertedDirectColour(row)) {
            EXPECT_EQ(info.status, EBmpStatus::kDecoded);
        } else {
            ASSERT_EQ(expected, "ok-undecoded");
            EXPECT_EQ(info.status, EBmpStatus::kUndecoded);
            const std::vector<uint8_t> pixels = Pixels(image.image);
            EXPECT_EQ(std::count(pixels.begin(), pixels.end(), 0), std::ssize(pixels));
        }
    }
}

TEST_F(BmpSuiteTest, CornerPixelsMatchTheExpectedTable) {
    const std::vector<Row> rows = ReadTable(m_folder / "EXPECTED_PIXELS.tsv");
    EXPECT_EQ(rows.size(), 35u);
    for (const Row& row : rows) {
        const std::string& path = row.at("path");
        SCOPED_TRACE(path);
        ScopedBmpImage image;
        ASSERT_EQ(ReadBmpFile(PathOf(path), image.image), 1);
        const BmpImage& picture = image.image;
        EXPECT_EQ(PixelAt(picture, 0, 0), ParseBgr(row.at("bottom_left_bgr")));
        const Bgr topRight = PixelAt(picture, picture.width - 1, picture.height - 1);
        const auto safer = kSaferTopRight.find(path);
        if (safer != kSaferTopRight.end()) {
            EXPECT_EQ(topRight, safer->second);
        } else {
            EXPECT_EQ(topRight, ParseBgr(row.at("top_right_bgr")));
        }
    }
}

TEST_F(BmpSuiteTest, FileAndMemoryReadersAgreeOnEveryFile) {
    for (const Row& row : ReadTable(m_folder / "INDEX.tsv")) {
        SCOPED_TRACE(row.at("path"));
        const std::string path = PathOf(row.at("path"));
        ScopedBmpImage fromFile;
        ScopedBmpImage fromMemory;
        CBmpReadInfo fileInfo;
        CBmpReadInfo memoryInfo;
        const int fileResult = ReadBmpFile(path, fromFile.image, &fileInfo);
        EXPECT_EQ(ReadBmpMemory(ReadBytes(path), fromMemory.image, &memoryInfo), fileResult);
        EXPECT_EQ(fileInfo.status, memoryInfo.status);
        EXPECT_EQ(fileInfo.truncated, memoryInfo.truncated);
        EXPECT_EQ(fileInfo.paletteEntries, memoryInfo.paletteEntries);
        if (fileResult == 1) {
            EXPECT_EQ(Pixels(fromFile.image), Pixels(fromMemory.image));
        }
    }
}

// The cut file is the first 273 bytes of g/pal1.bmp: 13 rows of 16 bytes and 3 bytes of the
// next row follow the pixel offset 62.
TEST_F(BmpSuiteTest, ShortFileKeepsWhatItHoldsAndZeroesTheRest) {
    ScopedBmpImage cut;
    ScopedBmpImage whole;
    CBmpReadInfo info;
    ASSERT_EQ(ReadBmpFile(PathOf("b/shortfile.bmp"), cut.image, &info), 1);
    ASSERT_EQ(ReadBmpFile(PathOf("g/pal1.bmp"), whole.image), 1);
    EXPECT_TRUE(info.truncated);
    const std::vector<uint8_t> kept = Pixels(cut.image);
    const std::vector<uint8_t> full = Pixels(whole.image);
    ASSERT_EQ(kept.size(), full.size());
    const size_t stride = static_cast<size_t>(cut.image.stride);
    const size_t heldEnd = 13 * stride + 24 * 3;  // 24 pixels of row 13
    EXPECT_TRUE(std::equal(kept.begin(), kept.begin() + heldEnd, full.begin()));
    EXPECT_EQ(std::count(kept.begin() + heldEnd, kept.end(), 0),
              std::ssize(kept) - static_cast<ptrdiff_t>(heldEnd));
    // The zeroes are not merely what the picture holds there anyway.
    EXPECT_NE(std::count(full.begin() + heldEnd, full.end(), 0),
              std::ssize(full) - static_cast<ptrdiff_t>(heldEnd));
}

// Checked against the file's own bytes: indices below the 101 stored colours take them,
// the others are black.
TEST_F(BmpSuiteTest, BadIndicesAreBlack) {
    const std::vector<uint8_t> bytes = ReadBytes(PathOf("b/pal8badindex.bmp"));
    ScopedBmpImage image;
    CBmpReadInfo info;
    ASSERT_EQ(ReadBmpMemory(bytes, image.image, &info), 1);
    ASSERT_EQ(info.paletteEntries, 101);
    const BmpImage& picture = image.image;
    const size_t stride = SourceStride(picture.width, 8);
    int outside = 0;
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const int index = bytes[458 + y * stride + x];
            Bgr expected = {0, 0, 0};
            if (index < 101) {
                std::memcpy(expected.data(), &bytes[54 + 4 * index], 3);
            } else {
                ++outside;
            }
            ASSERT_EQ(PixelAt(picture, x, y), expected) << "x = " << x << ", y = " << y;
        }
    }
    EXPECT_GT(outside, 0);
}

// Files whose declared size is below their pixel offset (read through the 32-bit
// wrap-around) hold the same pixels as their intact twins.
TEST_F(BmpSuiteTest, WrappedSizeFilesReadLikeTheirIntactTwins) {
    const std::pair<const char*, const char*> twins[] = {
        {"q/pal8os2-sz.bmp", "g/pal8os2.bmp"},
        {"q/pal8os2-hs.bmp", "g/pal8os2.bmp"},
        {"q/pal8os2v2-40sz.bmp", "g/pal8.bmp"},
    };
    for (const auto& [odd, intact] : twins) {
        SCOPED_TRACE(odd);
        ScopedBmpImage a;
        ScopedBmpImage b;
        ASSERT_EQ(ReadBmpFile(PathOf(odd), a.image), 1);
        ASSERT_EQ(ReadBmpFile(PathOf(intact), b.image), 1);
        EXPECT_EQ(Pixels(a.image), Pixels(b.image));
    }
}

// The suite draws one picture in every format: the converted 16- and 32-bit files must
// show the 24-bit one (16 bits within their 5-bit steps).
TEST_F(BmpSuiteTest, DirectColourFilesShowTheTwentyFourBitPicture) {
    ScopedBmpImage reference;
    ASSERT_EQ(ReadBmpFile(PathOf("g/rgb24.bmp"), reference.image), 1);
    const std::vector<uint8_t> expected = Pixels(reference.image);
    for (const char* name : {"g/rgb32.bmp", "q/rgb32fakealpha.bmp"}) {
        ScopedBmpImage image;
        ASSERT_EQ(ReadBmpFile(PathOf(name), image.image), 1);
        EXPECT_EQ(Pixels(image.image), expected) << name;
    }
    for (const char* name : {"g/rgb16.bmp", "q/rgb16faketrns.bmp"}) {
        ScopedBmpImage image;
        ASSERT_EQ(ReadBmpFile(PathOf(name), image.image), 1);
        const std::vector<uint8_t> pixels = Pixels(image.image);
        ASSERT_EQ(pixels.size(), expected.size());
        int worst = 0;
        for (size_t i = 0; i < pixels.size(); ++i) {
            worst = std::max(worst, std::abs(pixels[i] - expected[i]));
        }
        EXPECT_LE(worst, 4) << name;
        EXPECT_GT(worst, 0) << name;  // really the 16-bit data, not a copy of the 24-bit file
    }
}

}  // namespace
}  // namespace orva::test
