#pragma once

#include "geometry/matrix4.h"
#include "render/csg/model_matrix_stack.h"
#include "render/csg/render_pools.h"

namespace orva {

class CTessellationStore;
class CWantedColumns;

// The part of the picture being rendered: columns x0..x1 and rows y0..y1, inclusive, in window
// pixels. Spans are clipped to its columns and meshes to its rows.
struct CRenderRect {
    int x0 = 0;
    int x1 = -1;
    int y0 = 0;
    int y1 = -1;
};

// The CSG half of a thread's render state: where the solid's leaves are brought to the screen
// and the records its tree is made of. Several renders, or the worker threads of one render,
// each use their own, so nothing they change is shared.
struct CCsgContext {
    CRenderRect renderRect;
    // Set while rows are walked to be asked for some of their columns only; not owned. Null:
    // every column of the rectangle may be asked for.
    const CWantedColumns* wantedColumns = nullptr;
    CModelMatrixStack modelStack;
    // Eye space to window pixels (x, y) with the eye depth as z: a model point times the top
    // of the model matrix stack times this lands in the picture.
    CMatrix4 renderTransform;
    // Above 0 while a render tree of this context exists; a render asked for meanwhile
    // draws nothing.
    int renderNesting = 0;
    // Where the objects' view-independent tessellation is kept between bands and pictures; not
    // owned. Null: every object is tessellated where it is built.
    CTessellationStore* tessellation = nullptr;
    // The scan converter's records; dropped after each render, once its tree is gone.
    CRenderPools pools;

    CCsgContext() = default;
    CCsgContext(const CCsgContext&) = delete;
    CCsgContext& operator=(const CCsgContext&) = delete;
};

// Top of the model matrix stack times the render transform: model points to window pixels.
inline CMatrix4 ProjectionMatrix(const CCsgContext& ctx) {
    return Multiply(ctx.modelStack.Top(), ctx.renderTransform);
}

}  // namespace orva
