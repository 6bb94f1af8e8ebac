#pragma once

#include <cstdint>
#include <forward_list>

#include "render/render_material.h"
#include "render/texture_cache.h"

namespace orva {

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

// The state of one thread of rendering work. Several renders, or the worker threads of one
// render, each use their own context, so nothing they change is shared. Records handed out
// (materials, images) point into the context, which is therefore neither copied nor moved.
struct CRenderContext {
    // 0: colours lit at the vertices and interpolated (mode 300); 1: every pixel shaded
    // (mode 400).
    int16_t shadingModeSwitch = 1;
    CProjectionCentre projectionCentre;
    // Every material made during this render, newest first. A list keeps the records in place
    // while more are added, so the pointers the render tree holds stay valid.
    std::forward_list<CRenderMaterial> materialList;
    // Maps loaded during this render, newest first, shared by every material naming them.
    std::forward_list<CTextureImage> imageCache;

    CRenderContext() = default;
    CRenderContext(const CRenderContext&) = delete;
    CRenderContext& operator=(const CRenderContext&) = delete;
    ~CRenderContext();
};

// Frees the image cache and then every material of the context. Materials loaded earlier must
// not be used afterwards. Runs again in the context's destructor.
void ReleaseRenderMaterials(CRenderContext& ctx);

}  // namespace orva
