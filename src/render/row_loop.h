#pragma once

#include <cstdint>
#include <vector>

#include "render/csg/scan_records.h"

namespace orva {

class CClaimableRows;
class CDrawSurface;
class CRenderNode;
class CShadingBatch;
struct CRenderContext;

// What a sample leaves besides its colour.
struct CSampleResult {
    float transmitted = 1.0f;  // the share of the background that shows through
    uint64_t key = 0;          // which surfaces it shows; 0 for the background alone
};

// Walks a render tree down the rows of its context's rectangle, rows skipped or not: activates
// the root when the first row reaches it and advances it to each row asked for.
class CRowWalker {
public:
    explicit CRowWalker(CRenderNode* tree) : m_tree(tree) {}
    // Advances to `row` (increasing from call to call); false when the tree has nothing there.
    bool AdvanceTo(int row, CRenderContext& ctx);

private:
    CRenderNode* m_tree;
    bool m_activated = false;
};

// Renders the rows claimed from `rows`, which lie in the context's render rectangle, in the order
// claimed, pixel by pixel from the tree's crossing lists (the background where there are none),
// and hands each row to the surface as soon as it is done. Polls the interrupt before every row
// and stops there. Returns the number of rows handed over. `tree` may be null.
int RenderRows(CRenderContext& ctx, CRenderNode* tree, CDrawSurface& surface, CClaimableRows& rows);

// Fills `pixels` pixels (3 bytes each) with the context's background.
void FillBackground(const CRenderContext& ctx, uint8_t* row, int pixels);

// The row `row` of the rectangle into `pixels`, which holds the background (the walker has
// been advanced to the row); with `samples`, what each pixel's sample left.
void ShadeRow(CRenderContext& ctx, CRenderNode& tree, int row, uint8_t* pixels,
              CSampleResult* samples);

// Shades the crossing list seen at (column, row) into `pixel`, which holds what lies behind,
// and recycles the list. A null list leaves the pixel as it is.
CSampleResult ShadeSample(CRenderContext& ctx, CFragment* list, uint8_t* pixel, int column,
                          int row);

// ShadeSample, except that a lone opaque fragment the batch takes is queued there: its result
// does not depend on the pixel's old colour, so it may be shaded when the batch is flushed.
CSampleResult ShadeOrQueue(CRenderContext& ctx, CShadingBatch& batch, CFragment* list,
                           uint8_t* pixel, int column, int row);

// Colours of surfaces shaded over black, with the coverage 1 - transmitted, into colours of
// their own and alpha bytes: what a picture with coverage delivers.
void StraightenColours(uint8_t* pixels, const float* coverage, int count, uint8_t* alpha);

// Two surfaces at the same depth in front cancel: both go back to the pool, repeatedly, so the
// pixel shows what lies behind them.
CFragment* DropCoincidentPairs(CFragment* list, CRenderContext& ctx);

// Per-vertex shading: the front fragment's interpolated colour, each component scaled to a
// byte and kept within 0..255.
void StoreVertexColour(const CFragment& front, int column, uint8_t* pixel);

}  // namespace orva
