#include "render/csg/render_group.h"

#include <algorithm>

namespace orva {

void InsertByFirstRow(CRenderNode*& list, CRenderNode* child) {
    CRenderNode** at = &list;
    while (*at != nullptr && (*at)->firstRow <= child->firstRow) {
        at = &(*at)->link;
    }
    child->link = *at;
    *at = child;
}

namespace {

void SetExtent(CRenderNode& node, const std::vector<std::unique_ptr<CRenderNode>>& children) {
    const CRenderNode& base = *children.front();
    if (node.kind == kNodeDifference) {
        node.firstRow = base.firstRow;
        node.endRow = base.endRow;
        return;
    }
    int first = base.firstRow;
    int end = base.endRow;
    for (const auto& child : children) {
        if (node.kind == kNodeIntersection) {
            first = std::max(first, child->firstRow);
            end = std::min(end, child->endRow);
        } else {
            first = std::min(first, child->firstRow);
            end = std::max(end, child->endRow);
        }
    }
    node.firstRow = first;
    node.endRow = end;
}

}  // namespace

std::unique_ptr<CRenderNode> MakeGroupNode(uint8_t kind,
                                           std::vector<std::unique_ptr<CRenderNode>> children) {
    std::erase(children, nullptr);
    if (children.size() <= 1) {
        return children.empty() ? nullptr : std::move(children.front());
    }
    auto node = std::make_unique<CRenderNode>();
    node->kind = kind;
    SetExtent(*node, children);
    if (kind == kNodeDifference) {
        // Base first, then one node for everything cut from it: the walk splits the list there.
        std::unique_ptr<CRenderNode> base = std::move(children.front());
        children.erase(children.begin());
        std::unique_ptr<CRenderNode> cutters = MakeGroupNode(kNodeUnion, std::move(children));
        base->link = cutters.release();
        node->pendingChildren = base.release();
        return node;
    }
    for (auto& child : children) {
        InsertByFirstRow(node->pendingChildren, child.release());
    }
    return node;
}

}  // namespace orva
