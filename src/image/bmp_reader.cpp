#include "image/bmp_reader.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <new>

#include "image/bmp_header.h"
#include "image/bmp_rows.h"
#include "image/bmp_source.h"

namespace orva {

namespace {

bool IsIndexed(uint16_t bits) {
    return bits == 1 || bits == 4 || bits == 8;
}

// 16- and 32-bit pixels are read only in the plain layout; bit-field masks and other
// compressions leave the picture zero.
bool IsDirectColour(const CBmpHeader& header) {
    return (header.bitsPerPixel == 16 || header.bitsPerPixel == 32) &&
           header.compression == kBmpCompressionNone;
}

// The colour table starts right after the info header. Only entries that lie wholly before
// the pixel data (and inside the file) are colours; reading the full 2^bits entries would
// take the colours of unused indices from the pixel rows.
CBmpPalette ReadPalette(CBmpSource& source, const CBmpHeader& header) {
    const uint32_t entrySize = header.infoSize == kBmpInfoHeaderSize ? 4 : 3;
    const uint64_t start = kBmpFileHeaderSize + header.infoSize;
    const uint64_t end = start + (uint64_t{1} << header.bitsPerPixel) * entrySize;
    const uint64_t held =
        header.dataOffset < start ? 0 : std::min<uint64_t>(end, header.dataOffset) - start;
    uint8_t table[256 * 4];
    const size_t got = source.ReadAt(start, table, static_cast<size_t>(held));
    CBmpPalette palette;
    palette.entries = static_cast<int>(got / entrySize);
    for (int i = 0; i < palette.entries; ++i) {
        std::copy_n(table + i * entrySize, 3, &palette.bgrx[i * 4]);
    }
    return palette;
}

enum class ERowsRead { kComplete, kTruncated, kOutOfMemory };

// The file's rows have the layout of the image: one block, padding included.
ERowsRead ReadBgrRows(CBmpSource& source, const CBmpHeader& header, BmpImage& image) {
    const size_t size = static_cast<size_t>(image.stride) * static_cast<size_t>(image.height);
    const size_t got = source.ReadAt(header.dataOffset, image.pixels, size);
    return got == size ? ERowsRead::kComplete : ERowsRead::kTruncated;
}

// Reads the rows one at a time through one row buffer and converts each with
// convert(row, bytesRead, target).
template <typename Convert>
ERowsRead ConvertRows(CBmpSource& source, const CBmpHeader& header, BmpImage& image,
                      Convert convert) {
    const auto stride = static_cast<size_t>(header.sourceStride);
    std::unique_ptr<uint8_t[]> row(new (std::nothrow) uint8_t[stride]);
    if (!row) {
        return ERowsRead::kOutOfMemory;
    }
    for (int64_t y = 0; y < header.height; ++y) {
        const uint64_t offset = header.dataOffset + static_cast<uint64_t>(y) * stride;
        const size_t got = source.ReadAt(offset, row.get(), stride);
        convert(row.get(), got, image.pixels + y * image.stride);
        if (got < stride) {
            return ERowsRead::kTruncated;
        }
    }
    return ERowsRead::kComplete;
}

ERowsRead ReadIndexedRows(CBmpSource& source, const CBmpHeader& header, BmpImage& image,
                          CBmpReadInfo& info) {
    const CBmpPalette palette = ReadPalette(source, header);
    info.paletteEntries = palette.entries;
    const int bits = header.bitsPerPixel;
    return ConvertRows(source, header, image, [&](const uint8_t* row, size_t got, uint8_t* to) {
        ExpandIndexedRow(row, got, bits, palette, to, image.width);
    });
}

ERowsRead ReadDirectRows(CBmpSource& source, const CBmpHeader& header, BmpImage& image) {
    if (header.bitsPerPixel == 16) {
        return ConvertRows(source, header, image, [&](const uint8_t* row, size_t got, uint8_t* to) {
            ConvertRgb555Row(row, got, to, image.width);
        });
    }
    return ConvertRows(source, header, image, [&](const uint8_t* row, size_t got, uint8_t* to) {
        ConvertBgrxRow(row, got, to, image.width);
    });
}

// Fills the allocated, zeroed pixels of `image`.
EBmpStatus DecodePixels(CBmpSource& source, const CBmpHeader& header, BmpImage& image,
                        CBmpReadInfo& info) {
    ERowsRead rows;
    if (header.bitsPerPixel == 24) {
        rows = ReadBgrRows(source, header, image);
    } else if (IsIndexed(header.bitsPerPixel)) {
        rows = ReadIndexedRows(source, header, image, info);
    } else if (IsDirectColour(header)) {
        rows = ReadDirectRows(source, header, image);
    } else {
        return EBmpStatus::kUndecoded;
    }
    if (rows == ERowsRead::kOutOfMemory) {
        return EBmpStatus::kOutOfMemory;
    }
    info.truncated = rows == ERowsRead::kTruncated;
    return EBmpStatus::kDecoded;
}

EBmpStatus ReadImage(CBmpSource& source, BmpImage& image, CBmpReadInfo& info) {
    CBmpHeader header;
    const std::optional<EBmpStatus> refused = ReadBmpHeader(source, header);
    info.headerSize = header.infoSize;
    info.bitsPerPixel = header.bitsPerPixel;
    info.compression = header.compression;
    if (refused) {
        return *refused;
    }
    image.width = static_cast<int32_t>(header.width);
    image.height = static_cast<int32_t>(header.height);
    image.stride = static_cast<int32_t>(BmpImageStride(header.width));
    const size_t size = static_cast<size_t>(image.stride) * static_cast<size_t>(image.height);
    // Zeroed, so that nothing of the heap's former contents can show through.
    image.pixels = static_cast<uint8_t*>(std::calloc(size, 1));
    if (image.pixels == nullptr) {
        return EBmpStatus::kOutOfMemory;
    }
    return DecodePixels(source, header, image, info);
}

int Read(CBmpSource& source, BmpImage& image, CBmpReadInfo* info) {
    CBmpReadInfo local;
    CBmpReadInfo& result = info != nullptr ? *info : local;
    result = CBmpReadInfo{};
    result.status = ReadImage(source, image, result);
    if (result.status != EBmpStatus::kDecoded && result.status != EBmpStatus::kUndecoded) {
        ReleaseBmpImage(image);
        return -1;
    }
    return 1;
}

}  // namespace

int ReadBmpMemory(std::span<const uint8_t> bytes, BmpImage& image, CBmpReadInfo* info) {
    image = BmpImage{};
    CBmpMemorySource source(bytes);
    return Read(source, image, info);
}

int ReadBmpFile(const std::string& path, BmpImage& image, CBmpReadInfo* info) {
    image = BmpImage{};
    std::FILE* file = path.empty() ? nullptr : std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        if (info != nullptr) {
            *info = CBmpReadInfo{};
        }
        return -1;
    }
    CBmpFileSource source(file);
    const int result = Read(source, image, info);
    std::fclose(file);
    return result;
}

}  // namespace orva
