#include "render/csg/render_node.h"

namespace orva {

namespace {

void DeleteChain(CRenderNode* node) {
    while (node != nullptr) {
        CRenderNode* next = node->link;
        delete node;
        node = next;
    }
}

}  // namespace

CRenderNode::~CRenderNode() {
    DeleteChain(pendingChildren);
    DeleteChain(activeChildren);
}

void CRenderNode::Activate(int) {}

}  // namespace orva
