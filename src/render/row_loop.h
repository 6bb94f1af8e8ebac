#pragma once

#include <cstdint>

#include "render/scan_records.h"

namespace orva {

class CDrawSurface;
class CRenderNode;
struct CRenderContext;

// Renders the rows of the context's render rectangle from the top, pixel by pixel from the
// tree's crossing lists (the background where there are none), and hands each row to the
// surface as soon as it is done. Polls the interrupt before every row and stops there.
// Returns the number of rows handed over. `tree` may be null.
int RenderRows(CRenderContext& ctx, CRenderNode* tree, CDrawSurface& surface);

// Two surfaces at the same depth in front cancel: both go back to the pool, repeatedly, so the
// pixel shows what lies behind them.
CFragment* DropCoincidentPairs(CFragment* list, CRenderContext& ctx);

// Per-pixel shading of a crossing list into `pixel` (blue, green, red): the front fragment,
// with what lies behind a transparent one shaded first so that it shows through.
void ShadeFragments(CRenderContext& ctx, CFragment* list, uint8_t* pixel, int column, int row);

// Per-vertex shading: the front fragment's interpolated colour, each component scaled to a
// byte and kept within 0..255.
void StoreVertexColour(const CFragment& front, int column, uint8_t* pixel);

}  // namespace orva
