#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "render/csg/render_node.h"

namespace orva {

// A solid operation (kNodeMeshUnion .. kNodeDifference) over `children`, which wait in the
// node's pending list sorted by first row. A difference keeps its base first and, when more
// than one child is cut from it, cuts the union of those. Its rows follow from the children: unions
// cover every child's rows, an intersection only the rows all children share, a difference the
// base's rows. A single child is returned as it is, and no children give none.
std::unique_ptr<CRenderNode> MakeGroupNode(uint8_t kind,
                                           std::vector<std::unique_ptr<CRenderNode>> children);

// Puts `child` into the chain `list` (linked through `link`, sorted by first row) after every
// child whose first row is not larger, so children of equal first row keep their order.
void InsertByFirstRow(CRenderNode*& list, CRenderNode* child);

}  // namespace orva
