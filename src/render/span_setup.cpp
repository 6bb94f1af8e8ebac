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

// First column whose centre lies at or after x, kept within one column beyond either side of
// the rectangle so that far-off or huge coordinates never overflow an int.
int CentreColumn(float x, int firstColumn, int lastColumn) {
    const double c = std::floor(static_cast<double>(x + kCentreBias));
    return static_cast<int>(std::clamp(c, firstColumn - 1.0, lastColumn + 1.0));
}

}  // namespace

void EdgeSetUp(CEdge& edge, const CScanVertex& p, const CScanVertex& q, EShading shadingMode) {
    edge.values.material = edge.material;
    const CInterpolation a = VertexValues(p, edge.material, shadingMode);
    edge.originY = p.y;
    edge.x = p.x;
    edge.depth = p.z;
    const float dy = q.y - p.y;
    if (std::fabs(dy) < kFlatEdge) {
        // Zero steps keep it in place (a reused edge record would otherwise go on with its old
        // steps).
        edge.dx = 0.0f;
        edge.depthStep = 0.0f;
        HoldValues(edge.values, a, shadingMode);
        return;
    }
    const CInterpolation b = VertexValues(q, edge.material, shadingMode);
    const float inv = 1.0f / dy;
    edge.dx = (q.x - p.x) * inv;
    edge.depthStep = (q.z - p.z) * inv;
    InterpolateBetween(edge.values, a, b, inv, 0.0f, shadingMode);
}

float EdgeX(const CEdge& edge, int row) {
    return edge.x + edge.dx * (static_cast<float>(row) - edge.originY);
}

float EdgeDepth(const CEdge& edge, int row) {
    return edge.depth + edge.depthStep * (static_cast<float>(row) - edge.originY);
}

void SetUpSpan(CSpan& span, int row, int firstColumn, int lastColumn) {
    float leftX = EdgeX(*span.firstEdge, row);
    float rightX = EdgeX(*span.secondEdge, row);
    if (leftX < rightX) {
        span.orientation = 1;
    } else {
        span.orientation = -1;
        std::swap(span.firstEdge, span.secondEdge);
        std::swap(leftX, rightX);
    }
    const CEdge& left = *span.firstEdge;
    const CEdge& right = *span.secondEdge;
    span.values.material = left.material;
    if (!std::isfinite(leftX) || !std::isfinite(rightX)) {
        span.firstColumn = span.endColumn = lastColumn + 1;
        return;
    }
    int c = CentreColumn(leftX, firstColumn, lastColumn);
    const int d = CentreColumn(rightX, firstColumn, lastColumn);
    span.firstColumn = c;
    span.endColumn = d;
    if (d == c || d < firstColumn || c > lastColumn) {
        return;
    }
    if (c < firstColumn) {
        span.firstColumn = c = firstColumn;
    }
    span.originX = leftX;
    span.originDepth = EdgeDepth(left, row);
    span.depth = span.originDepth;
    span.valuesRow = row;
    span.valuesPending = true;
    const float w = rightX - leftX;
    if (w < kNarrowSpan) {
        // Covers one column yet has no usable width: the column shows the left edge.
        span.depthStep = 0.0f;
        return;
    }
    span.depthStep = (EdgeDepth(right, row) - span.originDepth) * (1.0f / w);
    if (!std::isfinite(span.originDepth) || !std::isfinite(span.depthStep)) {
        // Depths beyond float range would sort unpredictably: such a span shows nothing.
        span.endColumn = span.firstColumn;
    }
}

void SetUpSpanValues(CSpan& span, EShading shadingMode) {
    if (!span.valuesPending) {
        return;
    }
    span.valuesPending = false;
    const CEdge& left = *span.firstEdge;
    const CEdge& right = *span.secondEdge;
    const float rowT = static_cast<float>(span.valuesRow);
    const CInterpolation leftValues = InterpolatedAt(left.values, rowT - left.originY, shadingMode);
    const float w = EdgeX(right, span.valuesRow) - span.originX;
    if (w < kNarrowSpan) {
        HoldValues(span.values, leftValues, shadingMode);
        return;
    }
    const CInterpolation rightValues =
        InterpolatedAt(right.values, rowT - right.originY, shadingMode);
    InterpolateBetween(span.values, leftValues, rightValues, 1.0f / w, 0.0f, shadingMode);
}

}  // namespace orva
