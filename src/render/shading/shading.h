#pragma once

#include <cstdint>

namespace orva {

// How a rendered picture is shaded: colours lit at the vertices and interpolated (display
// mode 300), or every pixel lit (display mode 400). Small, because scan records carry it.
enum class EShading : int16_t { kVertexColours, kPerPixel };

}  // namespace orva
