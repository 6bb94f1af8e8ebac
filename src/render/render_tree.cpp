#include "render/render_tree.h"

#include <unordered_map>
#include <vector>

#include "render/csg/csg_plan.h"
#include "render/csg/render_group.h"
#include "render/csg/render_mesh.h"
#include "render/mesh_builders.h"
#include "render/render_context.h"
#include "scene/extrusion.h"
#include "scene/poly_mesh.h"
#include "scene/surface.h"

namespace orva {

namespace {

using NodePtr = std::unique_ptr<CRenderNode>;
using NodeList = std::vector<NodePtr>;

uint8_t NodeKind(ECsgOperation operation) {
    switch (operation) {
        case ECsgOperation::kMeshUnion:
            return kNodeMeshUnion;
        case ECsgOperation::kIntersection:
            return kNodeIntersection;
        case ECsgOperation::kDifference:
            return kNodeDifference;
        default:
            return kNodeUnion;
    }
}

// Stamps every mesh below the node with the top-level object it shows: the patches of one
// object then count as one surface where neighbouring pixels are compared.
void MarkOwner(CRenderNode& node, const CSceneObject* owner) {
    if (node.kind == kNodeLeaf) {
        static_cast<CRenderMesh&>(node).owner = owner;
        return;
    }
    for (CRenderNode* list : {node.pendingChildren, node.activeChildren}) {
        for (CRenderNode* child = list; child != nullptr; child = child->link) {
            MarkOwner(*child, owner);
        }
    }
}

// Evaluates the plan into render nodes for one part of one picture.
class CTreeBuilder {
public:
    CTreeBuilder(CRenderContext& ctx, const VisibilityTest& visible)
        : m_ctx(ctx), m_visible(visible) {}

    NodePtr Build(const CCsgNode& node);

private:
    NodePtr BuildLeaf(const CCsgNode& leaf);
    NodePtr BuildOperation(const CCsgNode& node);
    const CRenderMaterial& MaterialOf(const CCsgNode& leaf);

    CRenderContext& m_ctx;
    const VisibilityTest& m_visible;
    // Leaves given one material by one group share its record.
    std::unordered_map<int, const CRenderMaterial*> m_materials;
};

const CRenderMaterial& CTreeBuilder::MaterialOf(const CCsgNode& leaf) {
    const CRenderMaterial*& made = m_materials[leaf.materialKey];
    if (made == nullptr) {
        made = &LoadObjectMaterial(m_ctx, *leaf.materialSource, leaf.materialName);
    }
    return *made;
}

NodePtr CTreeBuilder::BuildLeaf(const CCsgNode& leaf) {
    CMatrixPush push(m_ctx.modelStack);
    for (const CMatrix4* placement : leaf.placements) {
        m_ctx.modelStack.MultiplyTop(*placement);
    }
    const CRenderMaterial& material = MaterialOf(leaf);
    NodePtr node;
    switch (leaf.object->GetTypeId()) {
        case kTypeSurface:
            node = BuildSurfaceNode(m_ctx, static_cast<const CSurface&>(*leaf.object), material);
            break;
        case kTypePolyMesh:
            node = BuildPolyMeshNode(m_ctx, static_cast<const CPolyMesh&>(*leaf.object), material);
            break;
        case kTypeExtrusion:
            node =
                BuildExtrusionNode(m_ctx, static_cast<const CExtrusion&>(*leaf.object), material);
            break;
        default:
            break;
    }
    if (node != nullptr && leaf.owner != nullptr) {
        MarkOwner(*node, leaf.owner);
    }
    return node;
}

NodePtr CTreeBuilder::BuildOperation(const CCsgNode& node) {
    NodeList children;
    for (const CCsgNode& child : node.children) {
        NodePtr built = Build(child);
        if (built == nullptr) {
            if (node.operation == ECsgOperation::kIntersection) {
                return nullptr;  // an empty solid, or one wholly outside the part rendered
            }
            if (node.operation == ECsgOperation::kDifference && children.empty()) {
                return nullptr;  // nothing to cut from
            }
            continue;
        }
        children.push_back(std::move(built));
    }
    return MakeGroupNode(NodeKind(node.operation), std::move(children));
}

NodePtr CTreeBuilder::Build(const CCsgNode& node) {
    if (node.topLevel != nullptr && m_visible && !m_visible(*node.topLevel)) {
        return nullptr;
    }
    return node.operation == ECsgOperation::kLeaf ? BuildLeaf(node) : BuildOperation(node);
}

}  // namespace

std::unique_ptr<CRenderNode> BuildRenderTree(CRenderContext& ctx, const CCsgPlan& plan,
                                             const VisibilityTest& visible) {
    ++ctx.renderNesting;
    CTreeBuilder builder(ctx, visible);
    return builder.Build(plan.root);
}

void ReleaseRenderTree(CRenderContext& ctx, std::unique_ptr<CRenderNode> tree) {
    tree.reset();
    const int previous = ctx.renderNesting--;
    if (previous >= 2) {
        return;
    }
    ctx.renderNesting = 0;
    ctx.pools.Release();
}

}  // namespace orva
