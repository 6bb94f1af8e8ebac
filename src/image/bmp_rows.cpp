#include "image/bmp_rows.h"

#include <algorithm>
#include <cstring>

namespace orva {

namespace {

// Pixels whose bits lie wholly within the bytes that were read.
size_t CompletePixels(size_t available, int bitsPerPixel, int32_t width) {
    const size_t held = available * 8 / static_cast<size_t>(bitsPerPixel);
    return std::min(held, static_cast<size_t>(width));
}

void PutColour(const CBmpPalette& palette, unsigned index, uint8_t* target) {
    std::memcpy(target, &palette.bgrx[index * 4], 3);
}

// 5 bits to 8 that span the full range: 31 becomes 255.
template <unsigned Bits>
void ExpandIndexed(const uint8_t* source, size_t count, const CBmpPalette& palette,
                   uint8_t* target) {
    constexpr unsigned kPerByte = 8 / Bits;
    constexpr unsigned kMask = (1u << Bits) - 1;
    for (size_t x = 0; x < count; ++x) {
        const unsigned shift = 8 - Bits * (static_cast<unsigned>(x % kPerByte) + 1);
        PutColour(palette, (source[x / kPerByte] >> shift) & kMask, target + 3 * x);
    }
}

uint8_t Expand5(unsigned value) {
    return static_cast<uint8_t>(value << 3 | value >> 2);
}

}  // namespace

void ExpandIndexedRow(const uint8_t* source, size_t available, int bitsPerPixel,
                      const CBmpPalette& palette, uint8_t* target, int32_t width) {
    const size_t count = CompletePixels(available, bitsPerPixel, width);
    switch (bitsPerPixel) {
        case 1:
            ExpandIndexed<1>(source, count, palette, target);
            break;
        case 4:
            ExpandIndexed<4>(source, count, palette, target);
            break;
        case 8:
            ExpandIndexed<8>(source, count, palette, target);
            break;
        default:
            break;
    }
}

void ConvertRgb555Row(const uint8_t* source, size_t available, uint8_t* target, int32_t width) {
    const size_t count = CompletePixels(available, 16, width);
    for (size_t x = 0; x < count; ++x) {
        const unsigned value = source[2 * x] | source[2 * x + 1] << 8;
        target[3 * x] = Expand5(value & 31);
        target[3 * x + 1] = Expand5(value >> 5 & 31);
        target[3 * x + 2] = Expand5(value >> 10 & 31);
    }
}

void ConvertBgrxRow(const uint8_t* source, size_t available, uint8_t* target, int32_t width) {
    const size_t count = CompletePixels(available, 32, width);
    for (size_t x = 0; x < count; ++x) {
        std::memcpy(target + 3 * x, source + 4 * x, 3);
    }
}

}  // namespace orva
