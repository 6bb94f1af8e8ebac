#include "render/csg/tree_walk.h"

#include <algorithm>

#include "render/csg/crossing_lists.h"
#include "render/csg/csg_context.h"
#include "render/csg/list_sort.h"
#include "render/csg/render_group.h"
#include "render/csg/render_mesh.h"

namespace orva {

namespace {

CRenderMesh& AsMesh(CRenderNode& node) {
    return static_cast<CRenderMesh&>(node);
}

void DeleteChain(CRenderNode* node) {
    while (node != nullptr) {
        CRenderNode* next = node->link;
        node->link = nullptr;
        delete node;
        node = next;
    }
}

// Before the first pending child whose first row is not smaller: a child that went quiet
// waits again among the others.
void ReturnToPending(CRenderNode& node, CRenderNode* child) {
    CRenderNode** at = &node.pendingChildren;
    while (*at != nullptr && (*at)->firstRow < child->firstRow) {
        at = &(*at)->link;
    }
    child->link = *at;
    *at = child;
}

// Advances the active children, drops the finished ones and takes in those the row reaches.
// Returns false when an active child had reached its end row.
bool AdvanceChildren(CRenderNode& node, int row, CCsgContext& ctx) {
    bool noneFinished = true;
    CRenderNode** tail = &node.activeChildren;
    while (*tail != nullptr) {
        CRenderNode* child = *tail;
        if (row >= child->endRow) {
            *tail = child->link;
            child->link = nullptr;
            delete child;
            noneFinished = false;
            continue;
        }
        AdvanceToRow(*child, row, ctx);
        if (child->firstRow > row) {
            *tail = child->link;
            ReturnToPending(node, child);
            continue;
        }
        tail = &child->link;
    }
    while (node.pendingChildren != nullptr && node.pendingChildren->firstRow <= row) {
        CRenderNode* child = node.pendingChildren;
        node.pendingChildren = child->link;
        child->link = nullptr;
        child->Activate(row);
        AdvanceToRow(*child, row, ctx);
        *tail = child;
        tail = &child->link;
    }
    return noneFinished;
}

// Chains the active children by leftmost column for the column walk (stable, so children of
// equal leftmost column keep their activation order) and sets the node's columns.
void ChainByColumn(CRenderNode& node) {
    CRenderNode* chain = nullptr;
    CRenderNode** tail = &chain;
    for (CRenderNode* child = node.activeChildren; child != nullptr; child = child->link) {
        *tail = child;
        tail = &child->columnLink;
    }
    *tail = nullptr;
    chain = SortList<CRenderNode, &CRenderNode::columnLink>(
        chain, [](const CRenderNode& a, const CRenderNode& b) {
            return a.leftmostColumn < b.leftmostColumn;
        });
    node.columnActiveChildren = chain;
    node.leftmostColumn = kNoLeftmostColumn;
    node.rightmostColumn = kNoRightmostColumn;
    for (CRenderNode* child = chain; child != nullptr; child = child->columnLink) {
        node.leftmostColumn = std::min(node.leftmostColumn, child->leftmostColumn);
        node.rightmostColumn = std::max(node.rightmostColumn, child->rightmostColumn);
    }
}

// Orders the active children for the column walk, or, when there are none, leaves the node
// quiet until its next child begins (or for good).
void FinishRow(CRenderNode& node) {
    if (node.activeChildren != nullptr) {
        ChainByColumn(node);
        return;
    }
    node.columnActiveChildren = nullptr;
    node.leftmostColumn = kNoLeftmostColumn;
    node.rightmostColumn = kNoRightmostColumn;
    node.firstRow = node.pendingChildren != nullptr ? node.pendingChildren->firstRow : node.endRow;
}

void AdvanceUnion(CRenderNode& node, int row, CCsgContext& ctx) {
    AdvanceChildren(node, row, ctx);
    FinishRow(node);
}

void AdvanceIntersection(CRenderNode& node, int row, CCsgContext& ctx) {
    if (!AdvanceChildren(node, row, ctx)) {
        // One solid has ended: nothing of the intersection is left.
        DeleteChain(node.activeChildren);
        DeleteChain(node.pendingChildren);
        node.activeChildren = nullptr;
        node.pendingChildren = nullptr;
    }
    FinishRow(node);
}

// The base and what is cut from it stay active together from the first row on; both are
// advanced on every row, the cutter beyond its own rows too (it then simply has no spans).
void AdvanceDifference(CRenderNode& node, int row, CCsgContext& ctx) {
    if (node.pendingChildren != nullptr) {
        node.activeChildren = node.pendingChildren;
        node.pendingChildren = nullptr;
        for (CRenderNode* child = node.activeChildren; child != nullptr; child = child->link) {
            child->Activate(row);
        }
    }
    node.leftmostColumn = kNoLeftmostColumn;
    node.rightmostColumn = kNoRightmostColumn;
    for (CRenderNode* child = node.activeChildren; child != nullptr; child = child->link) {
        if (row < child->endRow || child->kind == kNodeLeaf) {
            AdvanceToRow(*child, row, ctx);
        } else {
            child->leftmostColumn = kNoLeftmostColumn;
            child->rightmostColumn = kNoRightmostColumn;
        }
        node.leftmostColumn = std::min(node.leftmostColumn, child->leftmostColumn);
        node.rightmostColumn = std::max(node.rightmostColumn, child->rightmostColumn);
    }
}

bool Covers(const CRenderNode& child, int column) {
    return child.leftmostColumn <= column && column < child.rightmostColumn;
}

// The first column after `column` at which the child, just asked there, may have fragments.
int NextColumnOf(const CRenderNode& child, int column) {
    if (column < child.leftmostColumn) {
        return child.leftmostColumn;
    }
    return column < child.rightmostColumn ? child.nextSpanColumn : kNoLeftmostColumn;
}

// A child's list at the column, or none when the column lies outside the child's columns.
CFragment* ChildFragments(CRenderNode& child, int column, CCsgContext& ctx) {
    return Covers(child, column) ? FragmentsAtColumn(child, column, ctx) : nullptr;
}

// Walks the column-active chain up to the column, unlinking children that have nothing more
// on this row, and calls `visit` for each child covering the column that may have fragments
// there, in chain order. Returns the first column after this one at which a child may have
// fragments again. The visitor is taken by reference: a copy of it would be stored and
// reloaded on every column.
template <typename Visit>
int ForEachCoveringChild(CRenderNode& node, int column, const Visit& visit) {
    int next = kNoLeftmostColumn;
    for (CRenderNode** at = &node.columnActiveChildren; *at != nullptr;) {
        CRenderNode* child = *at;
        if (child->leftmostColumn > column) {
            // The chain is ordered by leftmost column: none after it begins sooner.
            next = std::min(next, child->leftmostColumn);
            break;
        }
        if (child->rightmostColumn <= column) {
            *at = child->columnLink;
            continue;
        }
        if (column >= child->nextSpanColumn) {
            visit(*child);
        }
        next = std::min(next, child->nextSpanColumn);
        at = &child->columnLink;
    }
    return next;
}

// Raw (unreduced) fragments of the mesh leaves below a union of meshes, merged with the
// earlier child first at equal depth. Crossing lists of other solids below it are united into
// `solids`.
CFragment* MeshUnionRaw(CRenderNode& node, int column, CCsgContext& ctx, CFragment*& solids) {
    CFragment* raw = nullptr;
    node.nextSpanColumn = ForEachCoveringChild(node, column, [&](CRenderNode& child) {
        if (child.kind == kNodeLeaf) {
            raw = MergeByDepth(raw, AsMesh(child).RawFragments(column));
        } else if (child.kind == kNodeMeshUnion) {
            raw = MergeByDepth(raw, MeshUnionRaw(child, column, ctx, solids));
        } else {
            solids = UnionCrossings(solids, FragmentsAtColumn(child, column, ctx), ctx.pools);
        }
    });
    return raw;
}

// The lists of the node kinds are made out of line: FragmentsAtColumn runs for every node at
// every pixel, and as a small dispatch it saves and restores little on the way to a leaf.
[[gnu::noinline]] CFragment* MeshUnionFragments(CRenderNode& node, int column, CCsgContext& ctx) {
    CFragment* solids = nullptr;
    CFragment* raw = MeshUnionRaw(node, column, ctx, solids);
    return UnionCrossings(ReduceByCount(raw, ctx.pools), solids, ctx.pools);
}

[[gnu::noinline]] CFragment* UnionFragments(CRenderNode& node, int column, CCsgContext& ctx) {
    CFragment* result = nullptr;
    node.nextSpanColumn = ForEachCoveringChild(node, column, [&](CRenderNode& child) {
        // A child's list has even length, so with nothing before it the union is the list.
        CFragment* list = FragmentsAtColumn(child, column, ctx);
        result = result == nullptr ? list : UnionCrossings(result, list, ctx.pools);
    });
    return result;
}

// Every child covering the column is asked for its list; the lists are dropped once the result
// is known to be empty.
[[gnu::noinline]] CFragment* IntersectionFragments(CRenderNode& node, int column,
                                                   CCsgContext& ctx) {
    bool empty = node.pendingChildren != nullptr;
    bool first = true;
    CFragment* result = nullptr;
    for (CRenderNode* child = node.activeChildren; child != nullptr; child = child->link) {
        CFragment* list = ChildFragments(*child, column, ctx);
        if (list == nullptr) {
            empty = true;
        }
        if (empty) {
            RecycleFragments(ctx.pools, list);
            continue;
        }
        result = first ? list : IntersectCrossings(result, list, ctx.pools);
        first = false;
        empty = result == nullptr;
    }
    if (empty) {
        RecycleFragments(ctx.pools, result);
        return nullptr;
    }
    return result;
}

// Where the base has nothing the difference has nothing: the cutter is not asked there, and
// the difference waits for the base's next column.
[[gnu::noinline]] CFragment* DifferenceFragments(CRenderNode& node, int column, CCsgContext& ctx) {
    CRenderNode* base = node.activeChildren;
    if (base == nullptr) {
        node.nextSpanColumn = kNoLeftmostColumn;
        return nullptr;
    }
    CFragment* kept = ChildFragments(*base, column, ctx);
    node.nextSpanColumn = NextColumnOf(*base, column);
    if (kept == nullptr) {
        return nullptr;
    }
    CRenderNode* cutter = base->link;
    CFragment* cut = cutter != nullptr ? ChildFragments(*cutter, column, ctx) : nullptr;
    return SubtractCrossings(kept, cut, ctx.pools);
}

}  // namespace

void AdvanceToRow(CRenderNode& node, int row, CCsgContext& ctx) {
    if (node.kind != kNodeLeaf) {
        // Known again only once the node is asked on this row; a leaf knows it from its spans.
        node.nextSpanColumn = kAskAtEveryColumn;
    }
    switch (node.kind) {
        case kNodeLeaf:
            AdvanceLeafToRow(AsMesh(node), row, ctx.renderRect.x0, ctx.renderRect.x1,
                             ctx.wantedColumns);
            return;
        case kNodeIntersection:
            AdvanceIntersection(node, row, ctx);
            return;
        case kNodeDifference:
            AdvanceDifference(node, row, ctx);
            return;
        default:
            AdvanceUnion(node, row, ctx);
            return;
    }
}

CFragment* FragmentsAtColumn(CRenderNode& node, int column, CCsgContext& ctx) {
    if (column < node.nextSpanColumn) {
        return nullptr;
    }
    switch (node.kind) {
        case kNodeLeaf:
            return ReduceByCount(AsMesh(node).RawFragments(column), ctx.pools);
        case kNodeMeshUnion:
            return MeshUnionFragments(node, column, ctx);
        case kNodeIntersection:
            return IntersectionFragments(node, column, ctx);
        case kNodeDifference:
            return DifferenceFragments(node, column, ctx);
        default:
            return UnionFragments(node, column, ctx);
    }
}

}  // namespace orva
