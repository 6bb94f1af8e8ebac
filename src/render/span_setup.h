#pragma once

#include <cstdint>

#include "render/scan_records.h"

namespace orva {

// Sets `edge` up from the upper vertex p to the lower vertex q at `row`, with its values at
// that row and its steps per row. Uses the edge's material for the lit colours and to select
// the interpolated attributes.
void EdgeSetUp(CEdge& edge, const CScanVertex& p, const CScanVertex& q, int row,
               int16_t shadingMode);

// Moves the edge one row down.
void StepEdge(CEdge& edge, int16_t shadingMode);

// Puts the span's left edge first, sets its orientation, its columns clipped to
// firstColumn..lastColumn of the render rectangle, and its values at its first column with
// their steps per column. A span without pixels in the rectangle gets endColumn <= firstColumn
// or columns outside it.
void SetUpSpan(CSpan& span, int firstColumn, int lastColumn, int16_t shadingMode);

}  // namespace orva
