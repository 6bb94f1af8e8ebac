#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace orva {

// A picture to write: `height` rows of `width` pixels, top row first, 3 bytes per pixel in
// blue, green, red order, rows `stride` bytes apart.
struct CPictureView {
    int width = 0;
    int height = 0;
    int64_t stride = 0;
    const uint8_t* pixels = nullptr;
    // Straight alpha, one byte per pixel, rows `alphaStride` bytes apart; null: opaque. Only
    // PNG keeps it.
    const uint8_t* alpha = nullptr;
    int64_t alphaStride = 0;
};

enum class EPictureFormat { kPng, kBmp, kJpeg };

inline constexpr int kDefaultJpegQuality = 90;

// Every writer writes to a temporary file beside the target and renames it onto the target
// once complete (see CReplacingFile). It returns false, with errno saying why, when the picture
// cannot be written; it then leaves no file behind and any file of that name as it was.

// Key and text pairs stored uncompressed in a PNG, where other programs read them back
// ("Thumb::URI" of a cached thumbnail).
using CPngTexts = std::vector<std::pair<std::string, std::string>>;

// Writes an 8-bit PNG: RGBA when the picture has alpha, RGB otherwise (see CPngRowWriter).
bool WritePngFile(const std::string& path, const CPictureView& picture,
                  const CPngTexts& texts = {});
// Writes an uncompressed 24-bit bottom-up BMP with a 40-byte header.
bool WriteBmpFile(const std::string& path, const CPictureView& picture);
// Writes a baseline JPEG of quality 1..100.
bool WriteJpegFile(const std::string& path, const CPictureView& picture, int quality);

// The same baseline JPEG into `bytes`, for a picture that goes inside another file.
bool EncodeJpeg(const CPictureView& picture, int quality, std::string& bytes);

// The format a file name asks for by its extension, in any case: ".png", ".bmp", ".jpg" or
// ".jpeg"; nothing for any other name.
std::optional<EPictureFormat> PictureFormatOf(const std::string& path);
// Writes the picture in the format of its file name; false (errno EINVAL) for a name that
// asks for none.
bool WritePictureFile(const std::string& path, const CPictureView& picture,
                      int jpegQuality = kDefaultJpegQuality);

}  // namespace orva
