#include "render/span_setup.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "render/lighting.h"
#include "render/render_material.h"
#include "render/render_pools.h"

namespace orva {

namespace {

// An edge this flat lies within one row: it is held, not stepped.
constexpr float kFlatEdge = 0.001f;

const CRenderMaterial& MaterialOrDefault(const CRenderMaterial* material) {
    static const CRenderMaterial kDefault;
    return material != nullptr ? *material : kDefault;
}

CInterpolation VertexValues(const CScanVertex& v, const CRenderMaterial* material,
                            EShading shadingMode) {
    CInterpolation r;
    if (shadingMode == EShading::kVertexColours) {
        r.colour = LightVertex(MaterialOrDefault(material), v.normal);
        return r;
    }
    r.u = v.u;
    r.v = v.v;
    r.point = v.point;
    r.normal = v.normal;
    r.tangentU = v.tangentU;
    r.tangentV = v.tangentV;
    return r;
}

}  // namespace

void EdgeSetUp(CEdgeWalk& edge, const CScanVertex* p, const CScanPoint& pAt, const CScanVertex* q,
               const CScanPoint& qAt) {
    edge.p = p;
    edge.originY = pAt.y;
    edge.x = pAt.x;
    edge.depth = pAt.z;
    const float dy = qAt.y - pAt.y;
    if (std::fabs(dy) < kFlatEdge) {
        edge.q = nullptr;
        edge.dx = 0.0f;
        edge.depthStep = 0.0f;
        return;
    }
    const float inv = 1.0f / dy;
    edge.q = q;
    edge.inv = inv;
    edge.dx = (qAt.x - pAt.x) * inv;
    edge.depthStep = (qAt.z - pAt.z) * inv;
}

const CInterpolation& EdgeValues(CEdgeWalk& edge, const CSpanSource& source) {
    if (edge.values != nullptr) {
        return edge.values->values;
    }
    edge.values = source.pools->edges.Acquire();
    CInterpolation& values = edge.values->values;
    values.material = source.material;
    const CInterpolation a = VertexValues(*edge.p, source.material, source.shadingMode);
    if (edge.q == nullptr) {
        HoldValues(values, a, source.shadingMode);
    } else {
        const CInterpolation b = VertexValues(*edge.q, source.material, source.shadingMode);
        InterpolateBetween(values, a, b, edge.inv, 0.0f, source.shadingMode);
    }
    return values;
}

void ReleaseEdgeValues(CEdgeWalk& edge, CRenderPools& pools) {
    pools.edges.Recycle(edge.values);
    edge.values = nullptr;
}

const CSpan& ShadedSpan(CRowSpan& span, EShading shadingMode) {
    if (span.shaded != nullptr) {
        return *span.shaded;
    }
    const CSpanSource& source = *span.source;
    CSpan& shaded = *source.pools->spans.Acquire();
    span.shaded = &shaded;
    shaded.surface = source.surface;
    shaded.originX = span.originX;
    shaded.values.material = source.material;
    CEdgeWalk& left = *span.left;
    CEdgeWalk& right = *span.right;
    const float rowT = static_cast<float>(span.row);
    const CInterpolation leftValues =
        InterpolatedAt(EdgeValues(left, source), rowT - left.originY, shadingMode);
    const float w = EdgeX(right, span.row) - span.originX;
    if (w < kNarrowSpan) {
        HoldValues(shaded.values, leftValues, shadingMode);
        return shaded;
    }
    const CInterpolation rightValues =
        InterpolatedAt(EdgeValues(right, source), rowT - right.originY, shadingMode);
    InterpolateBetween(shaded.values, leftValues, rightValues, 1.0f / w, 0.0f, shadingMode);
    return shaded;
}

}  // namespace orva
