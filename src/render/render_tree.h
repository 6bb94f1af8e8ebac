#pragma once

#include <functional>
#include <memory>

#include "render/csg/render_node.h"

namespace orva {

class CSceneObject;
struct CCsgPlan;
struct CRenderContext;

// Whether a top-level object of the scene can show in the part being rendered.
using VisibilityTest = std::function<bool(const CSceneObject&)>;

// The render tree of the plan's parts whose top-level objects pass the visibility test (every
// part without one), or none when nothing can be drawn. The plan says what is united, cut and
// added; the tree evaluates it: an empty union operand is dropped, an empty intersection
// operand or an empty difference base leaves nothing. Raises the context's render nesting
// counter; ReleaseRenderTree lowers it again.
std::unique_ptr<CRenderNode> BuildRenderTree(CRenderContext& ctx, const CCsgPlan& plan,
                                             const VisibilityTest& visible);

// Deletes the tree and lowers the nesting counter; when the last tree of the context is gone
// the scan converter's pools are dropped.
void ReleaseRenderTree(CRenderContext& ctx, std::unique_ptr<CRenderNode> tree);

}  // namespace orva
