#pragma once

#include <cstdint>

#include "view/display_colours.h"

namespace orva {

// The widest and tallest picture either program makes: one written whole from memory (BMP, and
// the OpenGL modes) already takes 800 MB at 16384 x 16384 pixels.
inline constexpr int kMaxPictureSide = 16384;

// The display's grey where no surface is, as 0xRRGGBB (the colour table holds 0x00BBGGRR).
inline uint32_t DisplayGrey() {
    const uint32_t bgr = g_colourTable[0];
    return ((bgr & 0xFFu) << 16) | (bgr & 0xFF00u) | ((bgr >> 16) & 0xFFu);
}

}  // namespace orva
