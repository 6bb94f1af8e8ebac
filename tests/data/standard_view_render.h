#pragma once

#include <cstdint>

#include "scene/scene_file.h"
#include "view/draw_surface.h"

namespace orva::test {

// What the renderer paints where no surface is.
inline constexpr uint32_t kBackground = 0xE4E4E4;

// Renders `scene` into the whole of `surface` with the software renderer, per pixel (display
// mode 400) on one thread, from standard view `view` at `zoom`.
void RenderStandardView(CSceneAnchor& scene, int view, float zoom, CImageSurface& surface);

}  // namespace orva::test
