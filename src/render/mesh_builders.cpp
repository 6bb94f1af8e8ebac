#include "render/mesh_builders.h"

#include <algorithm>
#include <span>
#include <utility>
#include <vector>

#include "geometry/bspline_curve.h"
#include "geometry/bspline_surface.h"
#include "render/flat_cap.h"
#include "render/leaf_view.h"
#include "render/render_context.h"
#include "render/render_group.h"
#include "render/render_material.h"
#include "render/render_patch.h"
#include "render/unit_vectors.h"
#include "scene/curve.h"
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

// Steps for a curve along the edge of a patch that meet the patch's own samples there: where
// the grid takes a single step it shows the control polygon itself, which is what the curve
// evaluation gives without steps.
int BoundarySteps(int steps) {
    return steps >= 2 ? steps : 0;
}

// The samples of a curve over an extended control polygon, without the closing repeat of the
// first point.
std::vector<CVector3> BoundaryCurve(std::span<const CVector3> polygon, int steps, bool closed) {
    std::vector<CVector3> points = EvaluateCurvePoints(polygon, BoundarySteps(steps));
    if (closed && !points.empty()) {
        points.pop_back();
    }
    return points;
}

std::vector<CVector3> NetRow(const CControlNet& net, int r) {
    const auto first = net.points.begin() + static_cast<std::ptrdiff_t>(r) * net.cols;
    return {first, first + net.cols};
}

std::vector<CVector3> NetColumn(const CControlNet& net, int c) {
    std::vector<CVector3> column;
    column.reserve(static_cast<std::size_t>(net.rows));
    for (int r = 0; r < net.rows; ++r) {
        column.push_back(net.At(r, c));
    }
    return column;
}

// A flat cap over an open end of a patch. The patch runs along its first row and its last
// column against the order of the boundary curve, and along its last row and first column
// with it (sign +1), so the cap takes the curve's order in the first case and the reverse in
// the second: each edge is then crossed once each way, and the shell is wound consistently.
std::unique_ptr<CRenderNode> BoundaryCap(CRenderPools& pools, const CLeafView& view,
                                         std::vector<CVector3> points, int sign,
                                         const CRenderMaterial* material) {
    if (points.size() < 3) {
        return nullptr;
    }
    if (sign > 0) {
        std::reverse(points.begin(), points.end());
    }
    const std::span<const CVector3> contours[] = {points};
    return BuildFlatCap(pools, view, contours, UnitContourNormal(points), material);
}

// Caps over the ends of every open direction: the second and second-to-last rows (columns) of
// the extended net are where the surface's boundary curves lie.
void AddSurfaceCaps(CRenderPools& pools, const CLeafView& view, const CControlNet& net,
                    const CSurface& surface, const CRenderMaterial* material, NodeList& nodes) {
    if (surface.u.closed == 0) {
        const int steps = surface.v.stepsPerSpan;
        const bool closed = surface.v.closed != 0;
        nodes.push_back(
            BoundaryCap(pools, view, BoundaryCurve(NetRow(net, 1), steps, closed), -1, material));
        nodes.push_back(BoundaryCap(
            pools, view, BoundaryCurve(NetRow(net, net.rows - 2), steps, closed), +1, material));
    }
    if (surface.v.closed == 0) {
        const int steps = surface.u.stepsPerSpan;
        const bool closed = surface.u.closed != 0;
        nodes.push_back(BoundaryCap(pools, view, BoundaryCurve(NetColumn(net, 1), steps, closed),
                                    +1, material));
        nodes.push_back(BoundaryCap(
            pools, view, BoundaryCurve(NetColumn(net, net.cols - 2), steps, closed), -1, material));
    }
}

// The samples of an extrusion outline under the placement: a closed curve, so the closing
// repeat of the first sample goes.
std::vector<CVector3> OutlineContour(const CCurve& outline, const CMatrix4& placement) {
    std::vector<CVector3> placed;
    placed.reserve(outline.points.size());
    for (const CVector3& p : outline.points) {
        placed.push_back(TransformPoint(p, placement));
    }
    const std::vector<CVector3> polygon = ExtendControlPolygon(placed, {.closed = true});
    return BoundaryCurve(polygon, outline.stepsPerSpan, true);
}

// One end of an extrusion: the first contour is the outer one, the others holes. The
// triangulation needs holes to run against the outer contour, which profiles drawn by hand
// need not do.
std::unique_ptr<CRenderNode> EndCap(CRenderPools& pools, const CLeafView& view,
                                    std::vector<std::vector<CVector3>>& contours,
                                    CVector3 objectNormal, const CRenderMaterial* material) {
    if (contours.empty()) {
        return nullptr;
    }
    const CVector3 outer = UnitContourNormal(contours.front());
    std::vector<std::span<const CVector3>> spans;
    for (std::vector<CVector3>& contour : contours) {
        if (&contour != &contours.front() && DotProduct(UnitContourNormal(contour), outer) > 0.0f) {
            std::reverse(contour.begin(), contour.end());
        }
        spans.emplace_back(contour);
    }
    return BuildFlatCap(pools, view, spans, objectNormal, material);
}

// The outlines hold every profile's bottom outline followed by its top outline. The top ones
// are reversed, so that the two ends wind opposite ways round the solid.
void AddExtrusionCaps(CRenderPools& pools, const CLeafView& view, const CExtrusion& extrusion,
                      const CRenderMaterial* material, NodeList& nodes) {
    if (extrusion.extrusionAxis < 0 || extrusion.extrusionAxis > 2) {
        return;
    }
    std::vector<const CCurve*> outlines;
    for (const CSceneObject* o = extrusion.curves.first; o != nullptr; o = o->next) {
        if (const auto* curve = dynamic_cast<const CCurve*>(o)) {
            outlines.push_back(curve);
        }
    }
    std::vector<std::vector<CVector3>> firstEnd;
    std::vector<std::vector<CVector3>> secondEnd;
    for (std::size_t k = 0; k + 1 < outlines.size(); k += 2) {
        firstEnd.push_back(OutlineContour(*outlines[k], extrusion.placement));
        secondEnd.push_back(OutlineContour(*outlines[k + 1], extrusion.placement));
        std::reverse(secondEnd.back().begin(), secondEnd.back().end());
    }
    CVector3 axis;
    axis[extrusion.extrusionAxis] = 1.0f;
    const CVector3 n = TransformDirection(axis, extrusion.placement);
    nodes.push_back(EndCap(pools, view, firstEnd, n, material));
    nodes.push_back(EndCap(pools, view, secondEnd, Scale(n, -1.0f), material));
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
    AddSurfaceCaps(ctx.pools, view, net, surface, &material, nodes);
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
    AddExtrusionCaps(ctx.pools, view, extrusion, &material, nodes);
    return MakeGroupNode(kNodeMeshUnion, std::move(nodes));
}

}  // namespace orva
