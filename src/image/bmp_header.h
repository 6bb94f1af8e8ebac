#pragma once

#include <cstdint>
#include <optional>

#include "image/bmp_reader.h"
#include "image/bmp_source.h"

namespace orva {

inline constexpr uint32_t kBmpFileHeaderSize = 14;
inline constexpr uint32_t kBmpInfoHeaderSize = 40;  // the Windows info header
inline constexpr uint32_t kBmpCoreHeaderSize = 12;  // the older core header
inline constexpr uint32_t kBmpCompressionNone = 0;

// The fields of the two headers that the reader uses.
struct CBmpHeader {
    uint32_t fileSize = 0;    // as declared at offset 2; often not the real size
    uint32_t dataOffset = 0;  // where the bottom row starts
    uint32_t infoSize = 0;    // 40 or 12
    int64_t width = 0;
    int64_t height = 0;
    uint16_t bitsPerPixel = 0;
    uint32_t compression = kBmpCompressionNone;
    uint64_t sourceStride = 0;  // bytes per row in the file, padded to four bytes
};

// Reads and checks the headers at the start of `source`. Returns why the file is refused, or
// nothing when its pixels can be allocated and read.
std::optional<EBmpStatus> ReadBmpHeader(CBmpSource& source, CBmpHeader& header);

}  // namespace orva
