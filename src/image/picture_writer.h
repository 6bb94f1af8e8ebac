#pragma once

#include <cstdint>
#include <string>

namespace orva {

// A picture to write: `height` rows of `width` pixels, top row first, 3 bytes per pixel in
// blue, green, red order, rows `stride` bytes apart.
struct CPictureView {
    int width = 0;
    int height = 0;
    int64_t stride = 0;
    const uint8_t* pixels = nullptr;
};

// Writes an 8-bit RGB PNG. False (and no file left behind) when it cannot be written.
bool WritePngFile(const std::string& path, const CPictureView& picture);
// Writes an uncompressed 24-bit bottom-up BMP with a 40-byte header.
bool WriteBmpFile(const std::string& path, const CPictureView& picture);
// Chooses the format by the file name: ".bmp" (any case) gives BMP, anything else PNG.
bool WritePictureFile(const std::string& path, const CPictureView& picture);

}  // namespace orva
