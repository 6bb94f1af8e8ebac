#pragma once

#include <algorithm>

#include "render/csg/render_mesh.h"
#include "render/csg/render_pools.h"
#include "render/render_context.h"

namespace orva::test {

// Calls visit(x, fragment) for each fragment of the row the mesh was last advanced to, column
// by column from its leftmost span (but not left of x0) to x1, front first within a column.
// As in the row loop, a column's fragments go back to the pool once it is done.
template <typename Visit>
void TakeRowFragments(CRenderPools& pools, CRenderMesh& mesh, int x0, int x1, Visit visit) {
    for (int x = std::max(x0, mesh.leftmostColumn); x <= x1; ++x) {
        CFragment* list = mesh.RawFragments(x);
        for (const CFragment* f = list; f != nullptr; f = f->link) {
            visit(x, *f);
        }
        RecycleFragments(pools, list);
    }
}

// Walks `mesh` over `rect` the way the row loop does: rows from the top, from the mesh's first
// row on, each advanced to and then emptied by TakeRowFragments; visit(x, y, fragment).
template <typename Visit>
void WalkFragments(CRenderPools& pools, CRenderMesh& mesh, const CRenderRect& rect, Visit visit) {
    for (int y = rect.y0; y <= rect.y1; ++y) {
        if (y < mesh.firstRow) {
            continue;
        }
        AdvanceLeafToRow(mesh, y, rect.x0, rect.x1);
        TakeRowFragments(pools, mesh, rect.x0, rect.x1,
                         [&](int x, const CFragment& f) { visit(x, y, f); });
    }
}

}  // namespace orva::test
