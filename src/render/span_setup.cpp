#include "render/span_setup.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "render/lighting.h"
#include "render/render_material.h"

namespace orva {

namespace {

// An edge this flat lies within one row: it is held, not stepped.
constexpr float kFlatEdge = 0.001f;
// A row or column belongs to a span when its centre lies at or after the start; the bias
// takes in a start that sits on the centre up to rounding.
constexpr float kCentreBias = 0.9999f;
// Narrower spans get no gradients: 1 / width would blow up.
constexpr float kNarrowSpan = 0.00001f;

const CRenderMaterial& MaterialOrDefault(const CRenderMaterial* material) {
    static const CRenderMaterial kDefault;
    return material != nullptr ? *material : kDefault;
}

CInterpolation VertexValues(const CScanVertex& v, const CRenderMaterial* material,
                            int16_t shadingMode) {
    CInterpolation r;
    if (shadingMode == kShadeVertexColours) {
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

// First column whose centre lies at or after x, kept within one column beyond either side of
// the rectangle so that far-off or huge coordinates never overflow an int.
int CentreColumn(float x, int firstColumn, int lastColumn) {
    const double c = std::floor(static_cast<double>(x + kCentreBias));
    return static_cast<int>(std::clamp(c, firstColumn - 1.0, lastColumn + 1.0));
}

}  // namespace

void EdgeSetUp(CEdge& edge, const CScanVertex& p, const CScanVertex& q, int row,
               int16_t shadingMode) {
    edge.values.material = edge.material;
    const CInterpolation a = VertexValues(p, edge.material, shadingMode);
    const float dy = q.y - p.y;
    if (std::fabs(dy) < kFlatEdge) {
        // Zero steps, so that stepping it anyway keeps it in place (a reused edge record
        // would otherwise go on with its old steps).
        edge.x = p.x;
        edge.dx = 0.0f;
        edge.depth = p.z;
        edge.depthStep = 0.0f;
        HoldValues(edge.values, a, shadingMode);
        return;
    }
    const CInterpolation b = VertexValues(q, edge.material, shadingMode);
    const float inv = 1.0f / dy;
    const float startRow = std::max(std::floor(p.y + kCentreBias), static_cast<float>(row));
    const float f = startRow - p.y;
    edge.dx = (q.x - p.x) * inv;
    edge.x = p.x + edge.dx * f;
    edge.depthStep = (q.z - p.z) * inv;
    edge.depth = p.z + edge.depthStep * f;
    InterpolateBetween(edge.values, a, b, inv, f, shadingMode);
}

void StepEdge(CEdge& edge, int16_t shadingMode) {
    edge.x += edge.dx;
    edge.depth += edge.depthStep;
    StepInterpolation(edge.values, shadingMode);
}

void SetUpSpan(CSpan& span, int firstColumn, int lastColumn, int16_t shadingMode) {
    if (span.firstEdge->x < span.secondEdge->x) {
        span.orientation = 1;
    } else {
        span.orientation = -1;
        std::swap(span.firstEdge, span.secondEdge);
    }
    const CEdge& left = *span.firstEdge;
    const CEdge& right = *span.secondEdge;
    span.values.material = left.material;
    if (!std::isfinite(left.x) || !std::isfinite(right.x)) {
        span.firstColumn = span.endColumn = lastColumn + 1;
        return;
    }
    int c = CentreColumn(left.x, firstColumn, lastColumn);
    const int d = CentreColumn(right.x, firstColumn, lastColumn);
    span.firstColumn = c;
    span.endColumn = d;
    if (d == c || d < firstColumn || c > lastColumn) {
        return;
    }
    if (c < firstColumn) {
        span.firstColumn = c = firstColumn;
    }
    const float w = right.x - left.x;
    if (w < kNarrowSpan) {
        // Covers one column yet has no usable width: the column shows the left edge.
        span.depth = left.depth;
        span.depthStep = 0.0f;
        HoldValues(span.values, left.values, shadingMode);
        return;
    }
    const float inv = 1.0f / w;
    const float f = static_cast<float>(c) - left.x;
    span.depthStep = (right.depth - left.depth) * inv;
    span.depth = left.depth + span.depthStep * f;
    if (!std::isfinite(span.depth) || !std::isfinite(span.depthStep)) {
        // Depths beyond float range would sort unpredictably: such a span shows nothing.
        span.endColumn = span.firstColumn;
        return;
    }
    InterpolateBetween(span.values, left.values, right.values, inv, f, shadingMode);
}

}  // namespace orva
