#pragma once

#include <cstdint>

namespace orva {

// The widest and tallest picture either program makes: one written whole from memory (BMP, and
// the OpenGL modes) already takes 800 MB at 16384 x 16384 pixels.
inline constexpr int kMaxPictureSide = 16384;

// DisplayGrey() (view/display_colours.h) is the picture's background unless one is asked for.

}  // namespace orva
