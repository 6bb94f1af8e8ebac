#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "image/bmp_bytes.h"
#include "image/bmp_reader.h"

namespace orva::test {
namespace {

int Read(const std::vector<uint8_t>& bytes, ScopedBmpImage& out, CBmpReadInfo* info = nullptr) {
    return ReadBmpMemory(bytes, out.image, info);
}

void ExpectCleared(const BmpImage& image) {
    EXPECT_EQ(image.width, 0);
    EXPECT_EQ(image.height, 0);
    EXPECT_EQ(image.stride, 0);
    EXPECT_EQ(image.pixels, nullptr);
}

bool AllZero(const BmpImage& image) {
    const size_t size = static_cast<size_t>(image.stride) * image.height;
    for (size_t i = 0; i < size; ++i) {
        if (image.pixels[i] != 0) {
            return false;
        }
    }
    return true;
}

// A byte pattern without repeats over short distances, so misplaced rows or pixels show.
std::vector<uint8_t> Pattern(size_t size, uint8_t seed = 7) {
    std::vector<uint8_t> bytes(size);
    for (size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<uint8_t>(i * 31 + seed + i / 251);
    }
    return bytes;
}

// `count` (at most 256) distinct colours, none of them black: entry i is blue i + 1, green
// 2i + 10, red 255 - i, each modulo 256.
std::vector<Bgr> Colours(int count) {
    std::vector<Bgr> colours;
    for (int i = 0; i < count; ++i) {
        colours.push_back({static_cast<uint8_t>(i + 1), static_cast<uint8_t>(2 * i + 10),
                           static_cast<uint8_t>(255 - i)});
    }
    return colours;
}

// Packs indices into a file row of the given depth, the leftmost pixel in the high bits.
std::vector<uint8_t> PackIndices(const std::vector<int>& indices, int bits) {
    std::vector<uint8_t> row((indices.size() * bits + 7) / 8, 0);
    for (size_t x = 0; x < indices.size(); ++x) {
        const size_t bit = x * bits;
        row[bit / 8] |= static_cast<uint8_t>(indices[x] << (8 - bits - bit % 8));
    }
    return row;
}

// ---------------------------------------------------------------------------------------------
// 24 bits: the file's rows are the image.

TEST(Bmp24BitTest, HundredSquareIsThePixelBlockByteForByte) {
    BmpFileLayout layout{.width = 100, .height = 100, .rows = Pattern(300 * 100)};
    for (const uint32_t header : {40u, 12u}) {
        layout.infoSize = header;
        ScopedBmpImage image;
        CBmpReadInfo info;
        ASSERT_EQ(Read(MakeBmpBytes(layout), image, &info), 1);
        EXPECT_EQ(info.status, EBmpStatus::kDecoded);
        EXPECT_FALSE(info.truncated);
        EXPECT_EQ(image.image.width, 100);
        EXPECT_EQ(image.image.height, 100);
        EXPECT_EQ(image.image.stride, 300);
        EXPECT_EQ(std::memcmp(image.image.pixels, layout.rows.data(), layout.rows.size()), 0);
    }
}

TEST(Bmp24BitTest, ThreeByTwoHasTwelveByteRowsInFileOrder) {
    const std::vector<uint8_t> rows = {1, 2,  3,  4,  5,  6,  7,  8,  9,  0, 0, 0,
                                       9, 10, 11, 12, 13, 14, 15, 16, 17, 0, 0, 0};
    ScopedBmpImage image;
    ASSERT_EQ(Read(MakeBmpBytes({.width = 3, .height = 2, .rows = rows}), image), 1);
    EXPECT_EQ(image.image.stride, 12);
    EXPECT_EQ(PixelAt(image.image, 0, 0), (Bgr{1, 2, 3}));     // bottom row, first pixel
    EXPECT_EQ(PixelAt(image.image, 2, 1), (Bgr{15, 16, 17}));  // top row, last pixel
    EXPECT_EQ(std::memcmp(image.image.pixels, rows.data(), rows.size()), 0);
}

TEST(Bmp24BitTest, RowsStartAtTheDeclaredOffsetNotAfterTheHeaders) {
    // A colour table and a gap before the rows, as some writers leave them.
    const BmpFileLayout layout{
        .width = 1, .height = 1, .palette = Colours(3), .gapBeforeRows = 84, .rows = {5, 6, 7, 0}};
    ScopedBmpImage image;
    ASSERT_EQ(Read(MakeBmpBytes(layout), image), 1);
    EXPECT_EQ(PixelAt(image.image, 0, 0), (Bgr{5, 6, 7}));
}

// ---------------------------------------------------------------------------------------------
// 1, 4 and 8 bits: indices through the colour table.

TEST(BmpIndexedTest, OneBitTakesTheMostSignificantBitFirst) {
    const BmpFileLayout layout{.width = 9,
                               .height = 1,
                               .bitsPerPixel = 1,
                               .palette = {{0, 0, 0}, {255, 255, 255}},
                               .rows = {0x80, 0x80, 0, 0}};
    ScopedBmpImage image;
    ASSERT_EQ(Read(MakeBmpBytes(layout), image), 1);
    EXPECT_EQ(PixelAt(image.image, 0, 0), (Bgr{255, 255, 255}));
    for (int x = 1; x < 8; ++x) {
        EXPECT_EQ(PixelAt(image.image, x, 0), (Bgr{0, 0, 0})) << "x = " << x;
    }
    EXPECT_EQ(PixelAt(image.image, 8, 0), (Bgr{255, 255, 255}));  // first bit of the next byte
}

TEST(BmpIndexedTest, FourBitTakesTheHighNibbleFirst) {
    const std::vector<Bgr> colours = Colours(16);
    const BmpFileLayout layout{
        .width = 3, .height = 1, .bitsPerPixel = 4, .palette = colours, .rows = {0x1F, 0x20, 0, 0}};
    ScopedBmpImage image;
    ASSERT_EQ(Read(MakeBmpBytes(layout), image), 1);
    EXPECT_EQ(PixelAt(image.image, 0, 0), colours[1]);
    EXPECT_EQ(PixelAt(image.image, 1, 0), colours[15]);
    EXPECT_EQ(PixelAt(image.image, 2, 0), colours[2]);
}

// Every depth and header, widths across the padding cases, three rows in file order. The
// file's padding bytes hold set bits, which must not leak into the picture.
TEST(BmpIndexedTest, EveryDepthAndHeaderSkipsRowPaddingAndKeepsRowOrder) {
    for (const int bits : {1, 4, 8}) {
        const int colourCount = 1 << bits;
        for (const uint32_t header : {40u, 12u}) {
            for (int width = 1; width <= 9; ++width) {
                SCOPED_TRACE(testing::Message()
                             << bits << " bits, header " << header << ", width " << width);
                std::vector<std::vector<int>> indices(3, std::vector<int>(width));
                std::vector<std::vector<uint8_t>> packed;
                for (int y = 0; y < 3; ++y) {
                    for (int x = 0; x < width; ++x) {
                        indices[y][x] = (x * 5 + y * 3 + 1) % colourCount;
                    }
                    packed.push_back(PackIndices(indices[y], bits));
                }
                // Padding inside the last byte of a 1- or 4-bit row stays zero (index 0).
                const BmpFileLayout layout{
                    .infoSize = header,
                    .width = width,
                    .height = 3,
                    .bitsPerPixel = static_cast<uint16_t>(bits),
                    .palette = Colours(colourCount),
                    .rows = PaddedRows(packed, SourceStride(width, bits), 0xFF)};
                ScopedBmpImage image;
                CBmpReadInfo info;
                ASSERT_EQ(Read(MakeBmpBytes(layout), image, &info), 1);
                EXPECT_EQ(info.status, EBmpStatus::kDecoded);
                EXPECT_EQ(info.paletteEntries, colourCount);
                ASSERT_EQ(image.image.stride, (width * 3 + 3) / 4 * 4);
                for (int y = 0; y < 3; ++y) {
                    for (int x = 0; x < width; ++x) {
                        EXPECT_EQ(PixelAt(image.image, x, y), layout.palette[indices[y][x]])
                            << "x = " << x << ", y = " << y;
                    }
                    for (int i = 3 * width; i < image.image.stride; ++i) {
                        EXPECT_EQ(image.image.pixels[y * image.image.stride + i], 0);
                    }
                }
            }
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Colour tables shorter than the indices.

TEST(BmpPaletteTest, IndicesPastTheStoredTableAreBlackNotPixelBytes) {
    // Two stored entries; the pixel rows follow at once. Read as a 256-entry table, index 2
    // would be the colour (2, 255, 200) made of the pixel bytes.
    const BmpFileLayout layout{.width = 4,
                               .height = 1,
                               .bitsPerPixel = 8,
                               .palette = {{10, 20, 30}, {40, 50, 60}},
                               .rows = {1, 0, 2, 255}};
    ScopedBmpImage image;
    CBmpReadInfo info;
    ASSERT_EQ(Read(MakeBmpBytes(layout), image, &info), 1);
    EXPECT_EQ(info.paletteEntries, 2);
    EXPECT_EQ(PixelAt(image.image, 0, 0), (Bgr{40, 50, 60}));
    EXPECT_EQ(PixelAt(image.image, 1, 0), (Bgr{10, 20, 30}));
    EXPECT_EQ(PixelAt(image.image, 2, 0), (Bgr{0, 0, 0}));
    EXPECT_EQ(PixelAt(image.image, 3, 0), (Bgr{0, 0, 0}));
}

TEST(BmpPaletteTest, CoreHeaderTableCutByThePixelOffsetMidEntry) {
    // Three-byte entries; the offset cuts the third entry after two of its bytes.
    BmpFileLayout layout{.infoSize = 12,
                         .width = 3,
                         .height = 1,
                         .bitsPerPixel = 4,
                         .palette = Colours(3),
                         .rows = {0x01, 0x20, 0, 0}};
    layout.offsetField = 14 + 12 + 8;
    std::vector<uint8_t> bytes = MakeBmpBytes(layout);
    bytes.erase(bytes.begin() + 34, bytes.begin() + 35);  // rows now start at 34
    ScopedBmpImage image;
    CBmpReadInfo info;
    ASSERT_EQ(Read(bytes, image, &info), 1);
    EXPECT_EQ(info.paletteEntries, 2);
    EXPECT_EQ(PixelAt(image.image, 0, 0), layout.palette[0]);
    EXPECT_EQ(PixelAt(image.image, 1, 0), layout.palette[1]);
    EXPECT_EQ(PixelAt(image.image, 2, 0), (Bgr{0, 0, 0}));
}

TEST(BmpPaletteTest, PixelOffsetInsideTheHeadersLeavesNoColours) {
    BmpFileLayout layout{.width = 8, .height = 2, .bitsPerPixel = 8, .palette = Colours(4)};
    layout.offsetField = 30;  // the rows are read from header bytes
    ScopedBmpImage image;
    CBmpReadInfo info;
    ASSERT_EQ(Read(MakeBmpBytes(layout), image, &info), 1);
    EXPECT_EQ(info.paletteEntries, 0);
    EXPECT_TRUE(AllZero(image.image));
}

// ---------------------------------------------------------------------------------------------
// 16 and 32 bits without compression are converted; other depths give a zero picture.

TEST(BmpDirectColourTest, SixteenBitsAreFiveFiveFiveWithTheTopBitIgnored) {
    const std::vector<uint16_t> values = {0x7FFF, 0x001F, 0x03E0, 0x7C00,
                                          0x8000, 0x0421, 0x5294, 0xFC00};
    std::vector<uint8_t> row;
    for (const uint16_t v : values) {
        row.push_back(static_cast<uint8_t>(v));
        row.push_back(static_cast<uint8_t>(v >> 8));
    }
    for (const uint32_t header : {40u, 12u}) {
        ScopedBmpImage image;
        CBmpReadInfo info;
        ASSERT_EQ(
            Read(
                MakeBmpBytes(
                    {.infoSize = header, .width = 8, .height = 1, .bitsPerPixel = 16, .rows = row}),
                image, &info),
            1);
        EXPECT_EQ(info.status, EBmpStatus::kDecoded);
        EXPECT_EQ(PixelAt(image.image, 0, 0), (Bgr{255, 255, 255}));
        EXPECT_EQ(PixelAt(image.image, 1, 0), (Bgr{255, 0, 0}));  // blue in the low bits
        EXPECT_EQ(PixelAt(image.image, 2, 0), (Bgr{0, 255, 0}));
        EXPECT_EQ(PixelAt(image.image, 3, 0), (Bgr{0, 0, 255}));
        EXPECT_EQ(PixelAt(image.image, 4, 0), (Bgr{0, 0, 0}));
        EXPECT_EQ(PixelAt(image.image, 5, 0), (Bgr{8, 8, 8}));        // 1 of 31
        EXPECT_EQ(PixelAt(image.image, 6, 0), (Bgr{165, 165, 165}));  // 20 of 31
        EXPECT_EQ(PixelAt(image.image, 7, 0), (Bgr{0, 0, 255}));
    }
}

TEST(BmpDirectColourTest, ThirtyTwoBitsDropTheFourthByte) {
    const std::vector<uint8_t> rows = {1, 2, 3, 99, 4,  5,  6,  255,  // bottom row
                                       7, 8, 9, 0,  10, 11, 12, 77};
    ScopedBmpImage image;
    ASSERT_EQ(
        Read(MakeBmpBytes({.width = 2, .height = 2, .bitsPerPixel = 32, .rows = rows}), image), 1);
    EXPECT_EQ(image.image.stride, 8);
    const std::vector<uint8_t> expected = {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0};
    EXPECT_EQ(std::vector<uint8_t>(image.image.pixels, image.image.pixels + 16), expected);
}

TEST(BmpDirectColourTest, UndecodedDepthsAndCompressionsGiveAZeroPicture) {
    struct Case {
        uint16_t bits;
        uint32_t compression;
    };
    // Bit fields (3) and alpha bit fields (6) for 16 and 32 bits; depths without a decoder.
    for (const Case c :
         {Case{16, 3}, Case{32, 3}, Case{32, 6}, Case{2, 0}, Case{64, 0}, Case{0, 0}, Case{7, 0}}) {
        SCOPED_TRACE(testing::Message() << c.bits << " bits, compression " << c.compression);
        const size_t stride = SourceStride(5, c.bits);
        ScopedBmpImage image;
        CBmpReadInfo info;
        ASSERT_EQ(Read(MakeBmpBytes({.width = 5,
                                     .height = 3,
                                     .bitsPerPixel = c.bits,
                                     .compression = c.compression,
                                     .palette = Colours(4),
                                     .rows = std::vector<uint8_t>(stride * 3 + 12, 0xAB)}),
                       image, &info),
                  1);
        EXPECT_EQ(info.status, EBmpStatus::kUndecoded);
        EXPECT_EQ(image.image.width, 5);
        EXPECT_EQ(image.image.height, 3);
        EXPECT_EQ(image.image.stride, 16);
        ASSERT_NE(image.image.pixels, nullptr);
        EXPECT_TRUE(AllZero(image.image));
    }
}

// ---------------------------------------------------------------------------------------------
// Files shorter than their headers say: every pixel whose bytes are missing is zero, even
// where index 0 of the colour table is not black.

TEST(BmpTruncatedTest, PixelsPastTheEndOfTheFileAreZero) {
    for (const int bits : {1, 4, 8, 16, 24, 32}) {
        const int width = 5;
        const int height = 4;
        const size_t stride = SourceStride(width, bits);
        BmpFileLayout layout{.width = width,
                             .height = height,
                             .bitsPerPixel = static_cast<uint16_t>(bits),
                             .rows = Pattern(stride * height, 3)};
        if (bits <= 8) {
            layout.palette = Colours(1 << bits);
        }
        const std::vector<uint8_t> whole = MakeBmpBytes(layout);
        const size_t rowsStart = whole.size() - layout.rows.size();
        ScopedBmpImage full;
        ASSERT_EQ(Read(whole, full), 1);
        for (size_t kept = 0; kept < layout.rows.size(); kept += 3) {
            SCOPED_TRACE(testing::Message() << bits << " bits, " << kept << " row bytes kept");
            const std::vector<uint8_t> cut(whole.begin(), whole.begin() + rowsStart + kept);
            ScopedBmpImage image;
            CBmpReadInfo info;
            ASSERT_EQ(Read(cut, image, &info), 1);
            EXPECT_TRUE(info.truncated);
            for (int y = 0; y < height; ++y) {
                for (int x = 0; x < width; ++x) {
                    const Bgr whole = PixelAt(full.image, x, y);
                    Bgr expected = {0, 0, 0};
                    for (size_t c = 0; c < 3; ++c) {
                        // 24-bit rows are copied as bytes; other depths convert whole pixels.
                        const size_t lastBit = bits == 24 ? y * stride * 8 + (3 * x + c + 1) * 8
                                                          : y * stride * 8 + (x + 1) * bits;
                        expected[c] = lastBit <= kept * 8 ? whole[c] : 0;
                    }
                    EXPECT_EQ(PixelAt(image.image, x, y), expected) << "x = " << x << ", y = " << y;
                }
            }
        }
    }
}

TEST(BmpTruncatedTest, PixelOffsetPastTheEndGivesAZeroPicture) {
    BmpFileLayout layout{.width = 4, .height = 4, .bitsPerPixel = 8, .palette = Colours(256)};
    layout.offsetField = 5000;
    ScopedBmpImage image;
    CBmpReadInfo info;
    ASSERT_EQ(Read(MakeBmpBytes(layout), image, &info), 1);
    EXPECT_TRUE(info.truncated);
    EXPECT_EQ(info.paletteEntries, 256);
    EXPECT_TRUE(AllZero(image.image));
}

// ---------------------------------------------------------------------------------------------
// Header checks.

TEST(BmpHeaderTest, RefusedFilesLeaveTheImageCleared) {
    const std::vector<uint8_t> good = MakeBmpBytes({.width = 2, .height = 2, .rows = Pattern(16)});
    std::vector<uint8_t> badSignature = good;
    badSignature[1] = 'A';
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        EBmpStatus status;
    };
    const std::vector<Case> cases = {
        {"empty", {}, EBmpStatus::kTruncatedHeader},
        {"signature", badSignature, EBmpStatus::kBadSignature},
        {"only the file header", {good.begin(), good.begin() + 17}, EBmpStatus::kTruncatedHeader},
        {"cut in the info header", {good.begin(), good.begin() + 53}, EBmpStatus::kTruncatedHeader},
        {"cut in the core header",
         [] {
             auto b = MakeBmpBytes({.infoSize = 12, .width = 2, .height = 2});
             return std::vector<uint8_t>(b.begin(), b.begin() + 25);
         }(),
         EBmpStatus::kTruncatedHeader},
        {"header 16", MakeBmpBytes({.infoSize = 16}), EBmpStatus::kBadHeaderSize},
        {"header 64", MakeBmpBytes({.infoSize = 64}), EBmpStatus::kBadHeaderSize},
        {"header 108", MakeBmpBytes({.infoSize = 108}), EBmpStatus::kBadHeaderSize},
        {"header 124", MakeBmpBytes({.infoSize = 124}), EBmpStatus::kBadHeaderSize},
        {"top-down", MakeBmpBytes({.width = 2, .height = -2, .rows = Pattern(16)}),
         EBmpStatus::kBadDimensions},
        {"negative width", MakeBmpBytes({.width = -2, .height = 2}), EBmpStatus::kBadDimensions},
        {"zero width", MakeBmpBytes({.width = 0, .height = 2}), EBmpStatus::kBadDimensions},
        {"zero height, core", MakeBmpBytes({.infoSize = 12, .width = 3, .height = 0}),
         EBmpStatus::kBadDimensions},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        uint8_t junk[4];
        ScopedBmpImage image;
        CBmpReadInfo info;
        image.image = {7, 8, 9, junk};  // not released by the reader: the caller owns it
        EXPECT_EQ(Read(c.bytes, image, &info), -1);
        EXPECT_EQ(info.status, c.status);
        ExpectCleared(image.image);
    }
}

TEST(BmpHeaderTest, DeclaredDataSizeMustHoldTheRows) {
    // 3 × 2 at 8 bits: rows of 4 bytes, 8 bytes in all.
    BmpFileLayout layout{.width = 3, .height = 2, .bitsPerPixel = 8, .palette = Colours(4)};
    layout.rows = std::vector<uint8_t>(8, 1);
    const uint32_t offset = 14 + 40 + 16;
    layout.sizeField = offset + 8;
    ScopedBmpImage exact;
    EXPECT_EQ(Read(MakeBmpBytes(layout), exact), 1);
    layout.sizeField = offset + 7;
    ScopedBmpImage oneShort;
    CBmpReadInfo info;
    EXPECT_EQ(Read(MakeBmpBytes(layout), oneShort, &info), -1);
    EXPECT_EQ(info.status, EBmpStatus::kBadDataSize);
}

// A declared file size below the pixel offset (writers that count the headers only, or
// write 0) wraps around modulo 2^32 and the file is read. Its real length still bounds the
// reads, which the truncated-file tests check.
TEST(BmpHeaderTest, DeclaredSizeBelowThePixelOffsetWrapsAndIsRead) {
    for (const uint32_t sizeField : {0u, 14u, 25u}) {
        BmpFileLayout layout{
            .infoSize = 12, .width = 2, .height = 1, .rows = {1, 2, 3, 4, 5, 6, 0, 0}};
        layout.sizeField = sizeField;
        ScopedBmpImage image;
        ASSERT_EQ(Read(MakeBmpBytes(layout), image), 1) << "size field " << sizeField;
        EXPECT_EQ(PixelAt(image.image, 1, 0), (Bgr{4, 5, 6}));
    }
}

TEST(BmpHeaderTest, SizeProductsDoNotWrapAround) {
    struct Case {
        const char* what;
        int32_t width;
        int32_t height;
        uint16_t bits;
        uint32_t sizeField;
        EBmpStatus status;
    };
    const std::vector<Case> cases = {
        // Rows of 2^30 bytes × 4 = 2^32, which is 0 in 32 bits.
        {"rows × height", 1 << 28, 4, 32, 1000, EBmpStatus::kBadDataSize},
        // width × bits = 2^32, a zero-byte row in 32 bits; the exact row of 2^29 bytes passes
        // the wrapped declared size, and the pixel count is past the limit.
        {"width × bits", 1 << 27, 1, 32, 0, EBmpStatus::kTooLarge},
        {"largest 40-byte sizes", 0x7FFFFFFF, 0x7FFFFFFF, 24, 0, EBmpStatus::kBadDataSize},
        {"bit count", 127, 64, 30000, 1086, EBmpStatus::kBadDataSize},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        BmpFileLayout layout{.width = c.width, .height = c.height, .bitsPerPixel = c.bits};
        layout.sizeField = c.sizeField;
        ScopedBmpImage image;
        CBmpReadInfo info;
        EXPECT_EQ(Read(MakeBmpBytes(layout), image, &info), -1);
        EXPECT_EQ(info.status, c.status);
        ExpectCleared(image.image);
    }
}

TEST(BmpHeaderTest, PixelCountLimitIsInclusive) {
    // A 12-byte header can claim 65535 × 65535 from a few bytes.
    BmpFileLayout core{.infoSize = 12, .width = 65535, .height = 65535, .bitsPerPixel = 1};
    core.sizeField = 0;
    ScopedBmpImage huge;
    CBmpReadInfo info;
    EXPECT_EQ(Read(MakeBmpBytes(core), huge, &info), -1);
    EXPECT_EQ(info.status, EBmpStatus::kTooLarge);

    BmpFileLayout atLimit{.width = 1 << 13, .height = 1 << 13, .bitsPerPixel = 2};
    atLimit.sizeField = 0;
    ScopedBmpImage image;
    ASSERT_EQ(Read(MakeBmpBytes(atLimit), image, &info), 1);
    EXPECT_EQ(image.image.width * int64_t{image.image.height}, kMaxBmpPixels);

    BmpFileLayout past = atLimit;
    past.width = (1 << 26) + 1;
    past.height = 1;
    ScopedBmpImage onePast;
    EXPECT_EQ(Read(MakeBmpBytes(past), onePast, &info), -1);
    EXPECT_EQ(info.status, EBmpStatus::kTooLarge);
}

// ---------------------------------------------------------------------------------------------

TEST(BmpImageTest, ReleaseClearsTheRecordAndCanBeRepeated) {
    ScopedBmpImage image;
    ASSERT_EQ(Read(MakeBmpBytes({.width = 2, .height = 2, .rows = Pattern(16)}), image), 1);
    ASSERT_NE(image.image.pixels, nullptr);
    ReleaseBmpImage(image.image);
    ExpectCleared(image.image);
    ReleaseBmpImage(image.image);
    ExpectCleared(image.image);
}

}  // namespace
}  // namespace orva::test
