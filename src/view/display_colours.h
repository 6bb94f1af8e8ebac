#pragma once

#include <array>
#include <cstdint>

namespace orva {

// The display's fixed colours, 0x00BBGGRR: entry 0 the background, entry 4 highlighted
// objects, entries 6..25 the twenty object colours. Process-wide and constant, so any thread
// may read it.
extern const std::array<uint32_t, 26> g_colourTable;

// White for highlighted objects (state 1), else the object colour of the index. Indices
// outside 0..19 take the colour of index 0.
uint32_t ObjectColour(int32_t state, int32_t colourIndex);

// The display's grey where no surface is (the colour table's first entry), as 0xRRGGBB: the
// background of pictures unless one is asked for.
inline uint32_t DisplayGrey() {
    const uint32_t bgr = g_colourTable[0];
    return ((bgr & 0xFFu) << 16) | (bgr & 0xFF00u) | ((bgr >> 16) & 0xFFu);
}

}  // namespace orva
