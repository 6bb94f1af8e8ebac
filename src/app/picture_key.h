#pragma once

#include <cstdint>

#include "render/render_scene.h"

namespace orva {

// Everything a rendered picture depends on. The window renders again only when this changes,
// never merely because it was uncovered or repainted.
struct CPictureKey {
    CRenderRequest request;
    int64_t sceneGeneration = 0;  // a new file may reuse the addresses of the old objects
};

bool SamePicture(const CPictureKey& a, const CPictureKey& b);

}  // namespace orva
