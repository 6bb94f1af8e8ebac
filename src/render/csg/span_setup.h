#pragma once

#include <cmath>
#include <cstdint>

#include "render/csg/scan_records.h"

namespace orva {

// Sets `edge` up from the upper vertex p at pAt to the lower vertex q at qAt, for stepping
// per row. An edge
// within one row is held at p. Its values wait until a span of it is shaded (see EdgeValues);
// a record of earlier values must have been given back before.
void EdgeSetUp(CEdgeWalk& edge, const CScanVertex* p, const CScanPoint& pAt, const CScanVertex* q,
               const CScanPoint& qAt);

// The edge's values at p with their steps per row, set up on first use from its vertices with
// the source's material and mode.
const CInterpolation& EdgeValues(CEdgeWalk& edge, const CSpanSource& source);

// Gives the edge's values record back to the pool.
void ReleaseEdgeValues(CEdgeWalk& edge, CRenderPools& pools);

// The edge's column and depth on `row`.
inline float EdgeX(const CEdgeWalk& edge, int row) {
    return edge.x + edge.dx * (static_cast<float>(row) - edge.originY);
}
inline float EdgeDepth(const CEdgeWalk& edge, int row) {
    return edge.depth + edge.depthStep * (static_cast<float>(row) - edge.originY);
}

// A row or column belongs to a span when its centre lies at or after the start; the bias
// takes in a start that sits on the centre up to rounding.
inline constexpr float kCentreBias = 0.9999f;
// Narrower spans get no gradients: 1 / width would blow up.
inline constexpr float kNarrowSpan = 0.00001f;

// First column whose centre lies at or after the finite x, kept within one column beyond
// either side of the rectangle so that far-off or huge coordinates never overflow an int.
inline int CentreColumn(float x, int firstColumn, int lastColumn) {
    const double c = static_cast<double>(x + kCentreBias);
    if (!(c > firstColumn - 1.0)) {
        return firstColumn - 1;
    }
    if (c >= lastColumn + 1.0) {
        return lastColumn + 1;
    }
    // Within an int now: truncation, one less where it went up.
    const int t = static_cast<int>(c);
    return static_cast<double>(t) > c ? t - 1 : t;
}

// Where the edges of a triangle cross a row: which one lies on the left, and the columns whose
// centres lie between them as far as the edges alone decide (none when first == end; an edge
// that is not finite makes both lastColumn + 1).
struct CSpanEnds {
    bool forward = false;  // the first edge lies on the left
    float leftX = 0.0f;
    float rightX = 0.0f;
    int firstColumn = 0;
    int endColumn = 0;
};

inline CSpanEnds SpanEnds(const CEdgeWalk& first, const CEdgeWalk& second, int row, int firstColumn,
                          int lastColumn) {
    const float firstX = EdgeX(first, row);
    const float secondX = EdgeX(second, row);
    CSpanEnds ends;
    // Selected rather than branched on: which way a triangle faces is as good as random.
    ends.forward = firstX < secondX;
    ends.leftX = ends.forward ? firstX : secondX;
    ends.rightX = ends.forward ? secondX : firstX;
    if (!std::isfinite(ends.leftX) || !std::isfinite(ends.rightX)) {
        ends.firstColumn = ends.endColumn = lastColumn + 1;
        return ends;
    }
    ends.firstColumn = CentreColumn(ends.leftX, firstColumn, lastColumn);
    ends.endColumn = CentreColumn(ends.rightX, firstColumn, lastColumn);
    return ends;
}

// Sets `span` up for the triangle with edges first and second on `row`, whose SpanEnds are
// `ends` with pixels between them: the left edge, the orientation, the columns clipped to
// firstColumn..lastColumn of the render rectangle and the depth along the row. A span without
// pixels in the rectangle gets endColumn <= firstColumn or columns outside it. Inline: the walk
// sets up a span per active triangle and row.
inline void SetUpSpan(CRowSpan& span, CEdgeWalk& first, CEdgeWalk& second, int row,
                      const CSpanEnds& ends, int firstColumn, int lastColumn) {
    span.orientation = ends.forward ? 1 : -1;
    span.left = ends.forward ? &first : &second;
    span.right = ends.forward ? &second : &first;
    span.row = row;
    int c = ends.firstColumn;
    const int d = ends.endColumn;
    span.firstColumn = c;
    span.endColumn = d;
    if (d == c || d < firstColumn || c > lastColumn) {
        return;
    }
    if (c < firstColumn) {
        span.firstColumn = c = firstColumn;
    }
    span.originX = ends.leftX;
    span.originDepth = EdgeDepth(*span.left, row);
    const float w = ends.rightX - ends.leftX;
    if (w < kNarrowSpan) {
        // Covers one column yet has no usable width: the column shows the left edge.
        span.depthStep = 0.0f;
        return;
    }
    span.depthStep = (EdgeDepth(*span.right, row) - span.originDepth) * (1.0f / w);
    if (!std::isfinite(span.originDepth) || !std::isfinite(span.depthStep)) {
        // Depths beyond float range would sort unpredictably: such a span shows nothing.
        span.endColumn = span.firstColumn;
    }
}

// The span's values, set up on first use from its edges: at its left edge on its row, with
// their steps per column.
const CSpan& ShadedSpan(CRowSpan& span, EShading shadingMode);

}  // namespace orva
