#include "render/mesh_builders.h"

#include <span>
#include <utility>
#include <vector>

#include "geometry/bspline_surface.h"
#include "render/cap_contours.h"
#include "render/flat_cap.h"
#include "render/leaf_view.h"
#include "render/render_context.h"
#include "render/render_group.h"
#include "render/render_material.h"
#include "render/render_patch.h"
#include "scene/extrusion.h"
#include "scene/surface.h"

namespace orva {

namespace {

using NodeList = std::vector<std::unique_ptr<CRenderNode>>;

CSplineEnds Ends(const CSurfaceDirection& d) {
    return {d.freeStart != 0, d.freeEnd != 0, d.closed != 0};
}

CPatchSteps Steps(const CSurface& surface) {
    return {surface.u.stepsPerSpan, surface.v.stepsPerSpan};
}

// A flat leaf over a cap's contours; none when it has nothing to fill.
std::unique_ptr<CRenderNode> CapNode(CRenderPools& pools, const CLeafView& view,
                                     const CCapContours& cap, const CRenderMaterial* material) {
    const std::vector<std::span<const CVector3>> contours(cap.contours.begin(), cap.contours.end());
    return BuildFlatCap(pools, view, contours, cap.normal, material);
}

void AddCaps(CRenderPools& pools, const CLeafView& view, const std::vector<CCapContours>& caps,
             const CRenderMaterial* material, NodeList& nodes) {
    for (const CCapContours& cap : caps) {
        nodes.push_back(CapNode(pools, view, cap, material));
    }
}

}  // namespace

CRenderMaterial& LoadObjectMaterial(CRenderContext& ctx, const CSceneObject& object,
                                    const char* materialName) {
    CRenderMaterial& material = LoadRenderMaterial(ctx, materialName);
    material.mappingMode = object.materialValue;
    material.mappingMatrix = Inverse(object.materialMatrix);
    return material;
}

std::unique_ptr<CRenderNode> BuildSurfaceNode(CRenderContext& ctx, const CSurface& surface,
                                              const char* materialName) {
    if (!surface.HasValidNet()) {
        return nullptr;
    }
    const CControlNet net =
        ExtendControlNet(surface.points, surface.nu, surface.nv, Ends(surface.u), Ends(surface.v));
    const CLeafView view = CaptureLeafView(ctx);
    const CRenderMaterial& material = LoadObjectMaterial(ctx, surface, materialName);
    // The caps lie within the net's hull too: when the patch has nothing to draw, neither
    // have they.
    NodeList nodes;
    nodes.push_back(MakeRenderPatch(ctx.pools, view, net, Steps(surface), &material));
    if (nodes.front() == nullptr) {
        return nullptr;
    }
    AddCaps(ctx.pools, view, SurfaceCapContours(surface, net), &material, nodes);
    return MakeGroupNode(kNodeMeshUnion, std::move(nodes));
}

std::unique_ptr<CRenderNode> BuildExtrusionNode(CRenderContext& ctx, const CExtrusion& extrusion,
                                                const char* materialName) {
    const CLeafView view = CaptureLeafView(ctx);
    const CRenderMaterial& material = LoadObjectMaterial(ctx, extrusion, materialName);
    NodeList nodes;
    for (const CSceneObject* o = extrusion.surfaces.first; o != nullptr; o = o->next) {
        const auto* surface = dynamic_cast<const CSurface*>(o);
        if (surface == nullptr || !surface->HasValidNet()) {
            continue;
        }
        CControlNet net = ExtendControlNet(surface->points, surface->nu, surface->nv,
                                           Ends(surface->u), Ends(surface->v));
        for (CVector3& p : net.points) {
            p = TransformPoint(p, extrusion.placement);
        }
        nodes.push_back(
            MakeRenderPatch(ctx.pools, view, std::move(net), Steps(*surface), &material));
    }
    AddCaps(ctx.pools, view, ExtrusionCapContours(extrusion), &material, nodes);
    return MakeGroupNode(kNodeMeshUnion, std::move(nodes));
}

}  // namespace orva
