#pragma once

#include <cstdint>

#include "render/scan_records.h"

namespace orva {

// Sets `edge` up from the upper vertex p to the lower vertex q, with its values at p and their
// steps per row. An edge within one row is held at p. Uses the edge's material for the lit
// colours and to select the interpolated attributes.
void EdgeSetUp(CEdge& edge, const CScanVertex& p, const CScanVertex& q, EShading shadingMode);

// The edge's column and depth on `row`.
float EdgeX(const CEdge& edge, int row);
float EdgeDepth(const CEdge& edge, int row);

// Puts the span's left edge first, sets its orientation, its columns on `row` clipped to
// firstColumn..lastColumn of the render rectangle, and its values at the left edge with their
// steps per column. A span without pixels in the rectangle gets endColumn <= firstColumn or
// columns outside it.
void SetUpSpan(CSpan& span, int row, int firstColumn, int lastColumn);

// Sets up the values SetUpSpan left pending, once; the same values it would have set itself.
void SetUpSpanValues(CSpan& span, EShading shadingMode);

}  // namespace orva
