#pragma once

#include <cstdint>

namespace orva {

// A picture laid out exactly like a bottom-up 24-bit device-independent bitmap, so the
// thumbnail list can take the block as it is and the texture maps can sample it by row and
// column: rows in file order (the first row is the bottom of the picture), three bytes per
// pixel in the order blue, green, red, each row padded to a multiple of four bytes.
struct BmpImage {
    int32_t width = 0;   // pixels per row; > 0 when pixels is set
    int32_t height = 0;  // rows; > 0 when pixels is set
    int32_t stride = 0;  // bytes per row, BmpImageStride(width)
    // stride × height bytes owned by the image; null when reading failed. Callers test this
    // pointer, not a result code.
    uint8_t* pixels = nullptr;
};

// Three bytes per pixel rounded up to a multiple of four.
constexpr int64_t BmpImageStride(int64_t width) {
    return (width * 3 + 3) / 4 * 4;
}

// Frees the pixels and clears the fields, so a second release does nothing. The record
// itself belongs to the caller (the texture cache embeds it).
void ReleaseBmpImage(BmpImage& image);

}  // namespace orva
