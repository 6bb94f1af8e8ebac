#pragma once

#include <cstdint>

#include "render/scan_records.h"

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
float EdgeX(const CEdgeWalk& edge, int row);
float EdgeDepth(const CEdgeWalk& edge, int row);

// Sets `span` up for the triangle with edges first and second on `row`: the left edge, the
// orientation, the columns clipped to firstColumn..lastColumn of the render rectangle and the
// depth along the row. A span without pixels in the rectangle gets endColumn <= firstColumn
// or columns outside it.
void SetUpSpan(CRowSpan& span, CEdgeWalk& first, CEdgeWalk& second, int row, int firstColumn,
               int lastColumn);

// The span's values, set up on first use from its edges: at its left edge on its row, with
// their steps per column.
const CSpan& ShadedSpan(CRowSpan& span, EShading shadingMode);

}  // namespace orva
