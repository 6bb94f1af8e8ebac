#include "render/csg/span_setup.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "render/csg/render_pools.h"
#include "render/shading/render_material.h"

namespace orva {

namespace {

// An edge this flat lies within one row: it is held, not stepped.
constexpr float kFlatEdge = 0.001f;

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
    if (edge.q == nullptr) {
        InterpolateVertices(values, *edge.p, *edge.p, 0.0f, source.shadingMode);
    } else {
        InterpolateVertices(values, *edge.p, *edge.q, edge.inv, source.shadingMode);
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
    const CInterpolation& leftValues = EdgeValues(left, source);
    const float leftT = rowT - left.originY;
    const float w = EdgeX(right, span.row) - span.originX;
    if (w < kNarrowSpan) {
        InterpolateAcross(shaded.values, leftValues, leftT, leftValues, leftT, 0.0f, shadingMode);
        return shaded;
    }
    InterpolateAcross(shaded.values, leftValues, leftT, EdgeValues(right, source),
                      rowT - right.originY, 1.0f / w, shadingMode);
    return shaded;
}

}  // namespace orva
