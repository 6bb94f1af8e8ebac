#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace orva {

// Colours of 1-, 4- and 8-bit pictures as blue, green, red, unused. Entries that the file
// does not hold stay black, so every index, whatever the file says, has a defined colour.
struct CBmpPalette {
    std::array<uint8_t, 256 * 4> bgrx{};
    int entries = 0;  // entries taken from the file
};

// Each converter writes the first `width` pixels of an image row as blue, green, red, taken
// from one file row of which only the first `available` bytes were read. Pixels whose bits
// lie past `available` are left as they are (zero in a new image).

// 1, 4 or 8 bits per index, the leftmost pixel in the most significant bits of each byte.
void ExpandIndexedRow(const uint8_t* source, size_t available, int bitsPerPixel,
                      const CBmpPalette& palette, uint8_t* target, int32_t width);

// 16 bits per pixel, little-endian, 5 bits each of red, green, blue from the top; bit 15 unused.
void ConvertRgb555Row(const uint8_t* source, size_t available, uint8_t* target, int32_t width);

// 32 bits per pixel: blue, green, red and an unused byte.
void ConvertBgrxRow(const uint8_t* source, size_t available, uint8_t* target, int32_t width);

}  // namespace orva
