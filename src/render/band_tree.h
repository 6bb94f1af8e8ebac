#pragma once

#include <memory>

#include "render/csg/render_node.h"
#include "render/render_context.h"

namespace orva {

class CObjectBoxes;
struct CRenderRequest;

// Sets a worker's context up for a request: shading, interrupt, background, the projection
// centre of the whole viewport and the transform from eye space to window pixels.
void PrepareContext(CRenderContext& ctx, const CRenderRequest& request);

// The render tree of the objects that reach one rectangle of a request's picture, built on
// construction and released on destruction; the context is prepared for the request and its
// render rectangle set meanwhile. `boxes`, when given, holds the projected boxes of the
// request's objects in its window.
class CBandTree {
public:
    CBandTree(CRenderContext& ctx, const CRenderRequest& request, const CRenderRect& rect,
              const CObjectBoxes* boxes = nullptr);
    ~CBandTree();
    CBandTree(const CBandTree&) = delete;
    CBandTree& operator=(const CBandTree&) = delete;

    // Null when nothing reaches the rectangle.
    CRenderNode* Root() const { return m_tree.get(); }

private:
    CRenderContext& m_ctx;
    CMatrixPush m_push;
    std::unique_ptr<CRenderNode> m_tree;
};

}  // namespace orva
