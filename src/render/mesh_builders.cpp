#include "render/mesh_builders.h"

#include <utility>
#include <vector>

#include "render/csg/flat_cap.h"
#include "render/csg/leaf_view.h"
#include "render/csg/render_group.h"
#include "render/csg/render_patch.h"
#include "render/render_context.h"
#include "render/shading/render_material.h"
#include "render/tessellation/tessellation_store.h"
#include "scene/extrusion.h"
#include "scene/surface.h"

namespace orva {

namespace {

using NodeList = std::vector<std::unique_ptr<CRenderNode>>;

void AddCaps(CRenderPools& pools, const CLeafView& view, const CObjectTessellation& tessellation,
             const CRenderMaterial* material, NodeList& nodes) {
    for (const CCapTessellation& cap : tessellation.caps) {
        nodes.push_back(BuildFlatCap(pools, view, cap, material));
    }
}

}  // namespace

std::shared_ptr<const CObjectTessellation> TessellationOf(CRenderContext& ctx,
                                                          const CSceneObject& object) {
    if (ctx.tessellation != nullptr) {
        return ctx.tessellation->Get(object);
    }
    return std::make_shared<const CObjectTessellation>(TessellateObject(object));
}

CRenderMaterial& LoadObjectMaterial(CRenderContext& ctx, const CSceneObject& object,
                                    const char* materialName) {
    CRenderMaterial& material = LoadRenderMaterial(ctx, materialName);
    material.mappingMode = object.materialValue;
    material.mappingMatrix = Inverse(object.materialMatrix);
    return material;
}

std::unique_ptr<CRenderNode> BuildSurfaceNode(CRenderContext& ctx, const CSurface& surface,
                                              const CRenderMaterial& material) {
    std::shared_ptr<const CObjectTessellation> tessellation = TessellationOf(ctx, surface);
    if (tessellation->patches.empty()) {
        return nullptr;
    }
    const CLeafView view = CaptureLeafView(ctx, ctx.shadingModeSwitch);
    // The caps lie within the net's hull too: when the patch has nothing to draw, neither
    // have they.
    NodeList nodes;
    const CPatchTessellation& patch = tessellation->patches.front();
    nodes.push_back(MakeRenderPatch(ctx.pools, view, tessellation, patch, &material));
    if (nodes.front() == nullptr) {
        return nullptr;
    }
    AddCaps(ctx.pools, view, *tessellation, &material, nodes);
    return MakeGroupNode(kNodeMeshUnion, std::move(nodes));
}

std::unique_ptr<CRenderNode> BuildExtrusionNode(CRenderContext& ctx, const CExtrusion& extrusion,
                                                const CRenderMaterial& material) {
    std::shared_ptr<const CObjectTessellation> tessellation = TessellationOf(ctx, extrusion);
    const CLeafView view = CaptureLeafView(ctx, ctx.shadingModeSwitch);
    NodeList nodes;
    for (const CPatchTessellation& patch : tessellation->patches) {
        nodes.push_back(MakeRenderPatch(ctx.pools, view, tessellation, patch, &material));
    }
    AddCaps(ctx.pools, view, *tessellation, &material, nodes);
    return MakeGroupNode(kNodeMeshUnion, std::move(nodes));
}

}  // namespace orva
