#pragma once

#include <cstdint>

namespace orva {

struct CRenderMaterial;

// What a node is: a triangle mesh, or a solid operation over its children.
enum : uint8_t {
    kNodeLeaf = 0,
    kNodeMeshUnion = 1,  // overlapping meshes merged into one solid
    kNodeUnion = 2,
    kNodeIntersection = 3,
    kNodeDifference = 4,  // the first child minus the others
};

// No span on the current row: the column walk never reaches the node.
inline constexpr int kNoLeftmostColumn =
    1 << 29;  // beyond any picture, 16K wide at 4 x 4 samples too
inline constexpr int kNoRightmostColumn = -(1 << 29);
// A node's next span column when it must be asked at every column from here on: before any
// column of any picture.
inline constexpr int kAskAtEveryColumn = -(1 << 30);

// A node of the render tree: the tree's solid operations are evaluated per pixel on the
// crossing lists that its nodes give along the eye ray. Nodes are walked by rows from the top;
// a node is deleted by its parent once the rows pass its end row, which keeps memory bounded.
class CRenderNode {
public:
    CRenderNode() = default;
    CRenderNode(const CRenderNode&) = delete;
    CRenderNode& operator=(const CRenderNode&) = delete;

    // Deletes the pending and active children (the column-active list only re-chains active
    // ones). A leaf returns its records to their pools.
    virtual ~CRenderNode();
    // Called once, when the scanline first reaches the node.
    virtual void Activate(int row);

    // What the column walk reads of every child at every pixel comes first, on one cache line.
    CRenderNode* link = nullptr;               // next sibling in the parent's child list
    CRenderNode* columnLink = nullptr;         // next in the parent's column-active list (unions)
    int leftmostColumn = kNoLeftmostColumn;    // smallest first column of this row's spans
    int rightmostColumn = kNoRightmostColumn;  // largest end column of this row's spans
    // The first column from which the node may have fragments again on this row, known after
    // it was last asked (kAskAtEveryColumn: the next one; kNoLeftmostColumn: none on this row). A
    // node's columns often have long gaps without a span (the two sides of a ring); asking for a
    // column before this one gives nothing, so it is not asked. Nodes may be asked for any rising
    // columns: a column passed over changes nothing for the next.
    int nextSpanColumn = kAskAtEveryColumn;
    uint8_t kind = kNodeLeaf;
    CRenderNode* pendingChildren = nullptr;       // first row not yet reached, sorted by first row
    CRenderNode* activeChildren = nullptr;        // covering the current row
    CRenderNode* columnActiveChildren = nullptr;  // unions: active ones by leftmost column
    // Not owned: the render materials live in the render context's material list.
    const CRenderMaterial* material = nullptr;
    int firstRow = 0;  // inclusive
    int endRow = 0;    // first row after the node
};

}  // namespace orva
