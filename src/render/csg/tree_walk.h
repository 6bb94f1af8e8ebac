#pragma once

#include "render/csg/render_node.h"
#include "render/csg/scan_records.h"

namespace orva {

struct CCsgContext;

// The per-row update of a node and everything below it. Called on the root for rows of the
// render rectangle from its first row on, in increasing order. With
// the context's wanted columns set, the row may be asked for those columns only. Finished children
// are deleted on the way, which keeps memory bounded on large scenes.
void AdvanceToRow(CRenderNode& node, int row, CCsgContext& ctx);

// The node's crossing list at `column` of the current row: entry and exit fragments in pairs,
// front first. Called on the root for each column at or right of its leftmost column, left to
// right; a node passes the call on to every child whose columns include `column`, because
// leaves must see each of their columns once.
CFragment* FragmentsAtColumn(CRenderNode& node, int column, CCsgContext& ctx);

}  // namespace orva
