#pragma once

#include <cstdint>
#include <forward_list>
#include <vector>

#include "geometry/matrix4.h"
#include "render/model_matrix_stack.h"
#include "render/render_material.h"
#include "render/render_pools.h"
#include "render/shading.h"
#include "render/texture_cache.h"

namespace orva {

class CInterrupt;
class CMaterialTable;
class CTessellationStore;

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

// The part of the picture being rendered: columns x0..x1 and rows y0..y1, inclusive, in window
// pixels. Spans are clipped to its columns and meshes to its rows.
struct CRenderRect {
    int x0 = 0;
    int x1 = -1;
    int y0 = 0;
    int y1 = -1;
};

// The state of one thread of rendering work. Several renders, or the worker threads of one
// render, each use their own context, so nothing they change is shared. Records handed out
// (materials, images) point into the context, which is therefore neither copied nor moved.
struct CRenderContext {
    // 0: colours lit at the vertices and interpolated (mode 300); 1: every pixel shaded
    // (mode 400).
    EShading shadingModeSwitch = EShading::kPerPixel;
    CProjectionCentre projectionCentre;
    // Asked once per row; null when nothing stops the render.
    CInterrupt* interrupt = nullptr;
    CRenderRect renderRect;
    // Blue, green, red: what a pixel shows where no surface is.
    uint8_t background[3] = {228, 228, 228};
    // Rows carry their coverage: surfaces are shaded over black and the colours made straight.
    bool coverage = false;
    CModelMatrixStack modelStack;
    // Eye space to window pixels (x, y) with the eye depth as z: a model point times the top
    // of the model matrix stack times this lands in the picture.
    CMatrix4 renderTransform;
    // Above 0 while a render tree of this context exists; a render asked for meanwhile
    // draws nothing.
    int renderNesting = 0;
    // Above 0 while the later children of a difference group are built: their cutters and
    // gems stay inside the difference instead of joining the scene-wide lists.
    int differenceNesting = 0;
    // Gems that would be added to the solid are left out of the tree (gems that a difference
    // subtracts still cut): measuring the metal alone.
    bool leaveOutGems = false;
    // Measuring the metal of one material: of the meshes the solid gains, those the renderer
    // gives another material are left out, while everything that cuts the solid stays, so
    // that the part keeps its own holes and seats. An intersection counts as one part, kept
    // whole when any of its meshes has the material. Null: every mesh is kept; the default
    // material is the empty name.
    const char* onlyMaterial = nullptr;
    // When set, the material names of the meshes the solid gains are noted here as the tree
    // is built, each pointer once (one name may come under several pointers).
    std::vector<const char*>* solidMaterials = nullptr;
    // Where the objects' view-independent tessellation is kept between bands and pictures; not
    // owned. Null: every object is tessellated where it is built.
    CTessellationStore* tessellation = nullptr;
    // The scan converter's records; dropped after each render, once its tree is gone.
    CRenderPools pools;
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

    CRenderContext() = default;
    CRenderContext(const CRenderContext&) = delete;
    CRenderContext& operator=(const CRenderContext&) = delete;
    ~CRenderContext();
};

// Top of the model matrix stack times the render transform: model points to window pixels.
inline CMatrix4 ProjectionMatrix(const CRenderContext& ctx) {
    return Multiply(ctx.modelStack.Top(), ctx.renderTransform);
}

// Frees the image cache and then every material of the context. Materials loaded earlier must
// not be used afterwards. Runs again in the context's destructor.
void ReleaseRenderMaterials(CRenderContext& ctx);

}  // namespace orva
