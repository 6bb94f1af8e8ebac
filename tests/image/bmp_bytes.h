#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "image/bmp_image.h"

namespace orva::test {

// Describes a bitmap file to be made in memory. Fields left alone give a consistent file.
struct BmpFileLayout {
    uint32_t infoSize = 40;  // 40 or 12; other sizes write a 40-byte layout with that size
    int32_t width = 1;       // written as uint16 after a 12-byte header
    int32_t height = 1;
    uint16_t bitsPerPixel = 24;
    uint32_t compression = 0;
    // Blue, green, red; written as 4-byte entries after a 40-byte header, 3-byte otherwise.
    std::vector<std::array<uint8_t, 3>> palette{};
    uint32_t gapBeforeRows = 0;             // bytes of 0xEE between the colour table and the rows
    std::vector<uint8_t> rows{};            // the pixel data exactly as stored
    std::optional<uint32_t> sizeField{};    // default: the real size
    std::optional<uint32_t> offsetField{};  // default: where the rows start
};

std::vector<uint8_t> MakeBmpBytes(const BmpFileLayout& layout);

// Bytes per file row: width × bits rounded up to four bytes.
size_t SourceStride(int64_t width, int bitsPerPixel);

// Rows given without padding, each padded with `fill` to the file stride.
std::vector<uint8_t> PaddedRows(const std::vector<std::vector<uint8_t>>& rows, size_t stride,
                                uint8_t fill = 0);

// Blue, green, red of the pixel at column x of row y (rows in memory order, bottom first).
std::array<uint8_t, 3> PixelAt(const BmpImage& image, int x, int y);

// Releases the pixels at the end of a test, whatever its assertions did.
struct ScopedBmpImage {
    BmpImage image;
    ScopedBmpImage() = default;
    ScopedBmpImage(const ScopedBmpImage&) = delete;
    ScopedBmpImage& operator=(const ScopedBmpImage&) = delete;
    ~ScopedBmpImage() { ReleaseBmpImage(image); }
};

using Bgr = std::array<uint8_t, 3>;

}  // namespace orva::test
