#pragma once

#include <cstdint>
#include <vector>

#include "scene/scene_file.h"

namespace orva {

class CInterrupt;

// A picture for the page: top row first, 3 bytes per pixel in red, green, blue order.
struct CReportPicture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;

    bool Empty() const { return width <= 0 || height <= 0; }
};

// The piece as the report shows it: from the front (standard view 1) and from above (3).
struct CReportPictures {
    CReportPicture front;
    CReportPicture top;
};

// Pixels of each picture: 4:3 like the page's picture boxes, and about 300 dpi at the
// 8.5 cm a box is wide on A4, so that a printed page shows no pixels.
inline constexpr int kReportPictureWidth = 960;
inline constexpr int kReportPictureHeight = 720;

// Renders both pictures of the whole scene with the software renderer, anti-aliased, fitted
// and on white, on `threads` threads (below 1: one per core). The scene must stay unchanged
// meanwhile. False when `interrupt` stopped it; `pictures` are then incomplete.
bool RenderReportPictures(CSceneAnchor& scene, int threads, CReportPictures& pictures,
                          CInterrupt* interrupt = nullptr);

}  // namespace orva
