#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "image/bmp_image.h"

namespace orva {

// The largest picture the readers accept: 2^26 pixels (8192 × 8192, or any other shape of
// that area), which is at most about 192 MiB of pixels. Thumbnails are 100 × 100 and texture
// maps a few thousand pixels wide; a header that claims more is far more likely damaged than
// real, and the reader would otherwise allocate whatever a few header bytes ask for.
inline constexpr int64_t kMaxBmpPixels = int64_t{1} << 26;

enum class EBmpStatus {
    kDecoded,          // result 1: the picture; what the file does not hold is black (zero)
    kUndecoded,        // result 1: a bit depth or compression not decoded; every byte is zero
    kNoFile,           // empty path, or the file cannot be opened
    kBadSignature,     // the file does not start with "BM"
    kBadHeaderSize,    // an info header other than 40 or 12 bytes
    kTruncatedHeader,  // the file ends inside its headers
    kBadDimensions,    // width or height zero or negative (top-down files)
    kBadDataSize,      // the rows need more bytes than the file header declares
    kTooLarge,         // more than kMaxBmpPixels
    kOutOfMemory,
};

// What a read found, for diagnostics; the result code and the image are what callers use.
struct CBmpReadInfo {
    EBmpStatus status = EBmpStatus::kNoFile;
    uint32_t headerSize = 0;    // the info header's own size field
    uint16_t bitsPerPixel = 0;  // as the header gives it
    uint32_t compression = 0;   // 0 after a 12-byte header, which has no such field
    // Colour-table entries that lie in the file before its pixel data. Indices past them
    // are black rather than colours made of whatever bytes follow the table.
    int paletteEntries = 0;
    // The file ended before its last pixel row; the pixels it did not hold are zero.
    bool truncated = false;
};

// Reads a ".bmp" file (1, 4, 8 or 24 bits per pixel; 16-bit 5-5-5 and 32-bit B,G,R,x when
// uncompressed) into `image`. Returns 1 on success and -1 on failure. The image is cleared
// first, without releasing what it held; on failure it stays cleared.
int ReadBmpFile(const std::string& path, BmpImage& image, CBmpReadInfo* info = nullptr);

// The same reader over the bytes of a whole file held in memory.
int ReadBmpMemory(std::span<const uint8_t> bytes, BmpImage& image, CBmpReadInfo* info = nullptr);

}  // namespace orva
