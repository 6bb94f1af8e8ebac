#pragma once

#include <cstdint>
#include <forward_list>
#include <vector>

#include "render/shading/render_material.h"
#include "render/shading/shading.h"
#include "render/shading/texture_cache.h"

namespace orva {

class CMaterialTable;
struct CFragment;

// What the pixel shader needs to rebuild the eye direction of a pixel. Taken from the whole
// viewport, never from a partial repaint, so that a repainted part matches a full render.
struct CProjectionCentre {
    float centreColumn = 0.0f;   // viewport x + width / 2
    float centreRow = 0.0f;      // viewport y + height / 2
    float verticalSign = -1.0f;  // window rows grow downwards, eye y upwards
    float focalDistance = 0.0f;  // viewport height / 2
    // Set before each shader call: the depth of the fragment being shaded.
    float fragmentDepth = 0.0f;
};

// The shading half of a thread's render state: how pixels are coloured and the materials and
// maps they are coloured with. Records handed out (materials, images) point into it, which is
// therefore neither copied nor moved.
struct CShadingContext {
    // 0: colours lit at the vertices and interpolated (mode 300); 1: every pixel shaded
    // (mode 400).
    EShading shadingModeSwitch = EShading::kPerPixel;
    CProjectionCentre projectionCentre;
    // Blue, green, red: what a pixel shows where no surface is.
    uint8_t background[3] = {228, 228, 228};
    // Rows carry their coverage: surfaces are shaded over black and the colours made straight.
    bool coverage = false;
    // Scratch of the pixel shading: the layers of one pixel, kept to spare an allocation each.
    std::vector<CFragment*> shadingLayers;
    // The materials resolved when the render started, shared by all its threads and read only;
    // not owned. Null when the context reads material files itself as objects ask for them.
    const CMaterialTable* materials = nullptr;
    // Every material made during this render, newest first. A list keeps the records in place
    // while more are added, so the pointers the render tree holds stay valid.
    std::forward_list<CRenderMaterial> materialList;
    // Maps this context read itself (for names its material table lacks), shared by every
    // material naming them.
    CImageCache imageCache;

    CShadingContext() = default;
    CShadingContext(const CShadingContext&) = delete;
    CShadingContext& operator=(const CShadingContext&) = delete;
    ~CShadingContext();
};

// Frees the image cache and then every material of the context. Materials loaded earlier must
// not be used afterwards. Runs again in the context's destructor.
void ReleaseRenderMaterials(CShadingContext& ctx);

}  // namespace orva
