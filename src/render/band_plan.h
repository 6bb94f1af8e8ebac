#pragma once

#include <vector>

#include "render/render_context.h"

namespace orva {

class CObjectBoxes;
struct CRenderRequest;

// Rows of a picture are handed to the workers in bands, each with a tree of its own. Bands
// tall enough to be worth a tree come first; towards the end they shrink, and a worker left
// without a band takes rows from another's.

// How much work each row of `rect` holds, in arbitrary units: every row its pixels (little
// each), and every shown top-level object the width of its projected box (from `boxes`, made
// for the request's objects and window) on the rows the box covers, which is where triangles
// are walked and fragments resolved.
std::vector<double> EstimateRowWork(const CRenderRequest& request, const CRenderRect& rect,
                                    const CObjectBoxes& boxes);

// How a picture's last bands end: workers share the rows left at the end of plain pictures,
// but anti-aliased bands look one row beyond their own and stay whole.
enum class EBandEnds { kRowsShared, kBandsWhole };

// Splits rect's rows, whose work `rowWork` gives (one entry per row), into bands for `threads`
// workers that take them in order: each band about half of the work left per worker, no less
// than a share that keeps the bands few (about three per worker where rows are shared at the
// end, about eight where bands stay whole), at least 8 rows and at most 256. One thread takes
// the rows in bands of at most 256.
std::vector<CRenderRect> SplitIntoBands(const CRenderRect& rect, const std::vector<double>& rowWork,
                                        int threads, EBandEnds ends);

}  // namespace orva
