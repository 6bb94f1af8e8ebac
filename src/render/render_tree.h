#pragma once

#include <functional>
#include <memory>

#include "render/csg/render_node.h"

namespace orva {

class CSceneObject;
struct CRenderContext;

// Whether an object of the scene can show in the part being rendered.
using VisibilityTest = std::function<bool(const CSceneObject&)>;

// The render tree of the shown objects from `first` up to (not including) `stop`, or none when
// nothing can be drawn. Ordinary solids are united; cutters are subtracted from that union;
// gems and never-cut objects are added afterwards, so they are never cut. Objects the
// visibility test rejects (when there is one) are left out. Raises the context's render
// nesting counter; ReleaseRenderTree lowers it again.
std::unique_ptr<CRenderNode> BuildRenderTree(CRenderContext& ctx, const CSceneObject* first,
                                             const CSceneObject* stop,
                                             const VisibilityTest& visible);

// Deletes the tree and lowers the nesting counter; when the last tree of the context is gone
// the scan converter's pools are dropped.
void ReleaseRenderTree(CRenderContext& ctx, std::unique_ptr<CRenderNode> tree);

}  // namespace orva
