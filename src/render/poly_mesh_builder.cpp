#include <vector>

#include "render/csg/leaf_view.h"
#include "render/csg/render_mesh.h"
#include "render/mesh_builders.h"
#include "render/render_context.h"
#include "render/shading/render_material.h"
#include "render/tessellation/unit_vectors.h"
#include "scene/poly_mesh.h"

namespace orva {

namespace {

CScanVertex CornerVertex(const CPolygonTessellation& polygons, std::size_t k,
                         const CLeafView& view) {
    const CVector3& p = polygons.points[k];
    CScanVertex v = ProjectedVertex(p, view);
    v.normal = UnitDirection(TransformDirection(polygons.normals[k], view.eye));
    if (view.shadingMode != EShading::kVertexColours) {
        v.point = p;
    }
    return v;
}

}  // namespace

std::unique_ptr<CRenderNode> BuildPolyMeshNode(CRenderContext& ctx, const CPolyMesh& mesh,
                                               const CRenderMaterial& material) {
    const CLeafView view = CaptureLeafView(ctx, ctx.shadingModeSwitch);
    const std::shared_ptr<const CObjectTessellation> tessellation = TessellationOf(ctx, mesh);
    const CPolygonTessellation& polygons = tessellation->polygons;
    std::vector<CScanVertex> corners;
    corners.reserve(polygons.points.size());
    for (std::size_t k = 0; k < polygons.points.size(); ++k) {
        corners.push_back(CornerVertex(polygons, k, view));
    }
    std::vector<uint32_t> kept;
    const std::vector<uint32_t>& t = polygons.triangles;
    for (std::size_t k = 0; k + 2 < t.size(); k += 3) {
        const bool valid =
            t[k] < corners.size() && t[k + 1] < corners.size() && t[k + 2] < corners.size();
        if (valid && MayReachRows(corners[t[k]].y, corners[t[k + 1]].y, corners[t[k + 2]].y,
                                  view.firstRow, view.lastRow)) {
            kept.insert(kept.end(), {t[k], t[k + 1], t[k + 2]});
        }
    }
    return BuildSharedMesh(ctx.pools, view.shadingMode, std::move(corners), kept, &material,
                           view.firstRow, view.lastRow);
}

}  // namespace orva
