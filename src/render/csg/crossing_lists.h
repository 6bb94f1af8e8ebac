#pragma once

#include "render/csg/render_pools.h"
#include "render/csg/scan_records.h"

namespace orva {

// Fragment lists along one eye ray, sorted front (largest depth) first. A crossing list is
// made of pairs: the fragment where the ray enters a solid, then the one where it leaves.
// Every function takes ownership of its input lists, returns the result list, and gives every
// fragment it drops back to the pool at once. An empty list is nullptr.
//
// A crossing list of odd length ends with an entry that has no exit. The combining functions
// drop that fragment, as if its list ended one fragment earlier: the alternative, an interval
// running to the back of the ray, would make a single stray fragment hide everything behind
// it. Their results therefore always have even length.

// A mesh's raw fragments reduced to the union of its closed shells: a running sum of
// orientations keeps the fragment where the sum leaves 0 and the one where it returns to 0.
// An unclosed run at the end loses its opening fragment too.
CFragment* ReduceByCount(CFragment* raw, CRenderPools& pools);

// One depth-sorted list of both; at equal depth every fragment of `first` comes before those
// of `second`. Drops nothing.
CFragment* MergeByDepth(CFragment* first, CFragment* second);

// Interval union: where intervals overlap, the inner boundaries go. At equal depth the
// fragment of `built` counts as nearer.
CFragment* UnionCrossings(CFragment* built, CFragment* other, CRenderPools& pools);

// Interval intersection: at each end the inner boundary of the two stays. At equal depth the
// fragment of `built` counts as nearer.
CFragment* IntersectCrossings(CFragment* built, CFragment* other, CRenderPools& pools);

// `base` minus `cutter`: parts of base intervals inside a cutter interval go, and a cutter
// boundary inside a base interval becomes a boundary of the result, so the cut face shows the
// cutter's surface. At equal depth the cutter's boundary counts as nearer, so that faces a cut
// shares with its base disappear.
CFragment* SubtractCrossings(CFragment* base, CFragment* cutter, CRenderPools& pools);

}  // namespace orva
