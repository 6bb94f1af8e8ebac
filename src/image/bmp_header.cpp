#include "image/bmp_header.h"

namespace orva {

namespace {

uint16_t U16At(const uint8_t* bytes, size_t offset) {
    return static_cast<uint16_t>(bytes[offset] | bytes[offset + 1] << 8);
}

uint32_t U32At(const uint8_t* bytes, size_t offset) {
    return static_cast<uint32_t>(bytes[offset]) | static_cast<uint32_t>(bytes[offset + 1]) << 8 |
           static_cast<uint32_t>(bytes[offset + 2]) << 16 |
           static_cast<uint32_t>(bytes[offset + 3]) << 24;
}

void ParseInfoHeader(const uint8_t* bytes, CBmpHeader& header) {
    if (header.infoSize == kBmpInfoHeaderSize) {
        header.width = static_cast<int32_t>(U32At(bytes, 18));
        header.height = static_cast<int32_t>(U32At(bytes, 22));
        header.bitsPerPixel = U16At(bytes, 28);
        header.compression = U32At(bytes, 30);
    } else {
        // The core header's sizes are unsigned 16-bit, so they are never negative.
        header.width = U16At(bytes, 18);
        header.height = U16At(bytes, 20);
        header.bitsPerPixel = U16At(bytes, 24);
        header.compression = kBmpCompressionNone;
    }
}

// The declared data size is the difference of two header fields taken modulo 2^32, as the
// files' writers have always been read. Many writers leave the file size 0 or let it count
// the headers only; the wrap-around then declares about 4 GiB and such files stay readable.
// The check cannot protect memory anyway (the declared size is not the real one): the
// decoder bounds every read by the bytes that are actually there.
uint32_t DeclaredDataSize(const CBmpHeader& header) {
    return header.fileSize - header.dataOffset;
}

// Rows × stride in exact arithmetic, so that a product beyond 32 bits cannot wrap to a
// small number and pass.
bool RowsFitDeclaredSize(const CBmpHeader& header) {
    const uint64_t declared = DeclaredDataSize(header);
    return header.sourceStride <= declared / static_cast<uint64_t>(header.height);
}

}  // namespace

std::optional<EBmpStatus> ReadBmpHeader(CBmpSource& source, CBmpHeader& header) {
    uint8_t bytes[kBmpFileHeaderSize + kBmpInfoHeaderSize] = {};
    const size_t got = source.ReadAt(0, bytes, sizeof(bytes));
    if (got < 2) {
        return EBmpStatus::kTruncatedHeader;
    }
    if (bytes[0] != 'B' || bytes[1] != 'M') {
        return EBmpStatus::kBadSignature;
    }
    if (got < kBmpFileHeaderSize + 4) {
        return EBmpStatus::kTruncatedHeader;
    }
    header.fileSize = U32At(bytes, 2);
    header.dataOffset = U32At(bytes, 10);
    header.infoSize = U32At(bytes, 14);
    if (header.infoSize != kBmpInfoHeaderSize && header.infoSize != kBmpCoreHeaderSize) {
        return EBmpStatus::kBadHeaderSize;
    }
    if (got < kBmpFileHeaderSize + header.infoSize) {
        return EBmpStatus::kTruncatedHeader;
    }
    ParseInfoHeader(bytes, header);
    if (header.width <= 0 || header.height <= 0) {
        return EBmpStatus::kBadDimensions;
    }
    // Both factors are below 2^31 and 2^16, so the product fits.
    header.sourceStride = (static_cast<uint64_t>(header.width) * header.bitsPerPixel + 31) / 32 * 4;
    if (!RowsFitDeclaredSize(header)) {
        return EBmpStatus::kBadDataSize;
    }
    if (header.width * header.height > kMaxBmpPixels) {
        return EBmpStatus::kTooLarge;
    }
    return std::nullopt;
}

}  // namespace orva
