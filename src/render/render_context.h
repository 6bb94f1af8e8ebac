#pragma once

#include "render/csg/csg_context.h"
#include "render/shading/shading_context.h"

namespace orva {

class CInterrupt;

// The state of one thread of rendering work: its CSG half (the tree's records and where its
// leaves reach the screen) and its shading half (materials, maps and how pixels are coloured).
// Several renders, or the worker threads of one render, each use their own, so nothing they
// change is shared.
struct CRenderContext : CCsgContext, CShadingContext {
    // Asked once per row; null when nothing stops the render.
    CInterrupt* interrupt = nullptr;
};

}  // namespace orva
