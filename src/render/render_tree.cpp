#include "render/render_tree.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "render/csg/render_group.h"
#include "render/csg/render_mesh.h"
#include "render/mesh_builders.h"
#include "render/render_context.h"
#include "scene/extrusion.h"
#include "scene/gem.h"
#include "scene/gem_library.h"
#include "scene/group.h"
#include "scene/poly_mesh.h"
#include "scene/surface.h"

namespace orva {

namespace {

using NodePtr = std::unique_ptr<CRenderNode>;
using NodeList = std::vector<NodePtr>;

bool IsGemOrNeverCut(const CSceneObject& object) {
    return object.GetTypeId() == kTypeGem || object.neverCut != 0;
}

bool NamesMaterial(const char* name) {
    return name != nullptr && name[0] != '\0';
}

bool SameMaterialName(const char* a, const char* b) {
    return std::strcmp(a != nullptr ? a : "", b != nullptr ? b : "") == 0;
}

bool IsMesh(const CSceneObject& object) {
    const int32_t type = object.GetTypeId();
    return type == kTypeSurface || type == kTypePolyMesh || type == kTypeExtrusion;
}

// Gives every mesh below `node` the material. Meshes hand their material to the edges they
// make, so this must happen before the first row.
void ReplaceMaterial(CRenderNode& node, const CRenderMaterial* material) {
    node.material = material;
    for (CRenderNode* list : {node.pendingChildren, node.activeChildren}) {
        for (CRenderNode* child = list; child != nullptr; child = child->link) {
            ReplaceMaterial(*child, material);
        }
    }
}

// Turns scene objects into nodes and sorts them into the three scene-wide lists.
class CTreeBuilder {
public:
    explicit CTreeBuilder(CRenderContext& ctx) : m_ctx(ctx) {}

    NodePtr BuildObjectNode(const CSceneObject& object, const char* materialName);
    NodePtr BuildTopLevelNode(const CSceneObject& object);
    // Where a node of the top-level list goes.
    void Route(const CSceneObject& object, NodePtr node);
    NodePtr Combine();

private:
    NodePtr BuildGroupNode(const CGroup& group, const char* materialName);
    NodePtr BuildGroupChildren(const CGroup& group, const char* materialName);
    NodePtr BuildChild(const CSceneObject& child, const char* groupMaterial, bool cuts);
    // Whether the context's material filter leaves out a mesh of the solid; notes its name.
    bool LeftOutByMaterial(const char* materialName);
    NodePtr BuildGemNode(const CGem& gem, const char* materialName);
    // Where a child node of a group goes: the group's own list or one of the scene-wide ones.
    NodeList* ChildDestination(uint8_t kind, const CSceneObject& child, NodeList& own);

    CRenderContext& m_ctx;
    NodeList m_solids;   // united, then cut
    NodeList m_cutters;  // subtracted from the solids
    NodeList m_uncut;    // gems and never-cut objects, added last
    // The material the outermost group giving one gives everything below: the renderer puts
    // it on the meshes once they are built; null where no group does.
    const char* m_givenMaterial = nullptr;
    int m_cutting = 0;              // above 0 while building what cuts the solid
    int m_intersecting = 0;         // above 0 while building the operands of an intersection
    int m_intersectionMatches = 0;  // meshes of the filter's material met in them
};

bool CTreeBuilder::LeftOutByMaterial(const char* materialName) {
    if (m_cutting > 0) {
        return false;
    }
    const char* name = m_givenMaterial != nullptr ? m_givenMaterial : materialName;
    if (std::vector<const char*>* noted = m_ctx.solidMaterials; noted != nullptr) {
        if (std::find(noted->begin(), noted->end(), name) == noted->end()) {
            noted->push_back(name);
        }
    }
    if (m_ctx.onlyMaterial == nullptr) {
        return false;
    }
    const bool same = SameMaterialName(name, m_ctx.onlyMaterial);
    if (m_intersecting > 0) {
        // Leaving out one operand would grow the intersection: it is judged whole.
        m_intersectionMatches += same ? 1 : 0;
        return false;
    }
    return !same;
}

NodePtr CTreeBuilder::BuildTopLevelNode(const CSceneObject& object) {
    const bool cuts = object.cutter != 0 && !IsGemOrNeverCut(object);
    m_cutting += cuts ? 1 : 0;
    NodePtr node = BuildObjectNode(object, object.materialName);
    m_cutting -= cuts ? 1 : 0;
    return node;
}

NodePtr CTreeBuilder::BuildObjectNode(const CSceneObject& object, const char* materialName) {
    if (IsMesh(object) && LeftOutByMaterial(materialName)) {
        return nullptr;
    }
    switch (object.GetTypeId()) {
        case kTypeSurface:
            return BuildSurfaceNode(m_ctx, static_cast<const CSurface&>(object), materialName);
        case kTypePolyMesh:
            return BuildPolyMeshNode(m_ctx, static_cast<const CPolyMesh&>(object), materialName);
        case kTypeExtrusion:
            return BuildExtrusionNode(m_ctx, static_cast<const CExtrusion&>(object), materialName);
        case kTypeGroup:
            return BuildGroupNode(static_cast<const CGroup&>(object), materialName);
        case kTypeGem:
            return BuildGemNode(static_cast<const CGem&>(object), materialName);
        default:
            return nullptr;
    }
}

NodeList* CTreeBuilder::ChildDestination(uint8_t kind, const CSceneObject& child, NodeList& own) {
    // A difference keeps its base and what is cut from it, nested groups included; a gem
    // keeps the parts of its shape.
    if (kind == kNodeDifference || m_ctx.differenceNesting > 0) {
        return &own;
    }
    if (kind == kNodeUnion && IsGemOrNeverCut(child)) {
        return &m_uncut;
    }
    if (child.cutter != 0 && !IsGemOrNeverCut(child)) {
        return &m_cutters;
    }
    return &own;
}

NodePtr CTreeBuilder::BuildGroupNode(const CGroup& group, const char* materialName) {
    const bool judged = group.kind == kGroupIntersection && m_ctx.onlyMaterial != nullptr &&
                        m_cutting == 0 && m_intersecting == 0;
    if (!judged) {
        return BuildGroupChildren(group, materialName);
    }
    ++m_intersecting;
    m_intersectionMatches = 0;
    NodePtr node = BuildGroupChildren(group, materialName);
    --m_intersecting;
    return m_intersectionMatches > 0 ? std::move(node) : nullptr;
}

NodePtr CTreeBuilder::BuildChild(const CSceneObject& child, const char* groupMaterial, bool cuts) {
    // The renderer gives a group's material to each child but a group naming its own, and
    // the outermost group that gives one has the last word.
    const bool gives = NamesMaterial(groupMaterial) &&
                       !(child.GetTypeId() == kTypeGroup && NamesMaterial(child.materialName));
    const char* outer = m_givenMaterial;
    if (outer == nullptr && gives) {
        m_givenMaterial = groupMaterial;
    }
    m_cutting += cuts ? 1 : 0;
    NodePtr node = BuildObjectNode(child, child.materialName);
    m_cutting -= cuts ? 1 : 0;
    m_givenMaterial = outer;
    return node;
}

NodePtr CTreeBuilder::BuildGroupChildren(const CGroup& group, const char* materialName) {
    // Kinds beyond the four solid operations come only from damaged files: such a group
    // unites its children.
    const bool known = group.kind >= kGroupMeshUnion && group.kind <= kGroupDifference;
    const uint8_t kind = static_cast<uint8_t>(known ? group.kind : int32_t{kNodeUnion});
    const CSceneObject* base = group.children.first;
    if (kind == kNodeDifference && (base == nullptr || !base->IsShown())) {
        return nullptr;
    }
    NodeList own;
    std::vector<std::pair<CRenderNode*, const CSceneObject*>> made;
    for (const CSceneObject* child = base; child != nullptr; child = child->next) {
        if (!child->IsShown()) {
            continue;
        }
        const bool afterBase = kind == kNodeDifference && child != base;
        NodeList* destination = ChildDestination(kind, *child, own);
        m_ctx.differenceNesting += afterBase ? 1 : 0;
        NodePtr node = BuildChild(*child, materialName, afterBase || destination == &m_cutters);
        m_ctx.differenceNesting -= afterBase ? 1 : 0;
        if (node == nullptr) {
            if (kind == kNodeIntersection) {
                // An empty solid, or one wholly outside the part rendered: nothing of the
                // intersection can show there.
                return nullptr;
            }
            if (kind == kNodeDifference && child == base) {
                break;  // nothing to cut from
            }
            continue;
        }
        made.emplace_back(node.get(), child);
        destination->push_back(std::move(node));
    }
    if (NamesMaterial(materialName)) {
        for (const auto& [node, child] : made) {
            // A group naming its own material is more specific than this one.
            const bool ownMaterial =
                child->GetTypeId() == kTypeGroup && NamesMaterial(child->materialName);
            if (!ownMaterial) {
                ReplaceMaterial(*node, &LoadObjectMaterial(m_ctx, group, materialName));
            }
        }
    }
    return MakeGroupNode(kind, std::move(own));
}

NodePtr CTreeBuilder::BuildGemNode(const CGem& gem, const char* materialName) {
    if (m_ctx.leaveOutGems && m_ctx.differenceNesting == 0) {
        return nullptr;
    }
    CGemResolution resolution;
    const CSceneObject* shape = resolution.Shape(gem.gemIndex);
    if (shape == nullptr) {
        return nullptr;
    }
    CMatrixPush push(m_ctx.modelStack);
    m_ctx.modelStack.MultiplyTop(gem.placement);
    // A gem is whole: nothing of its shape joins the scene-wide lists.
    ++m_ctx.differenceNesting;
    NodePtr node = BuildObjectNode(*shape, materialName);
    --m_ctx.differenceNesting;
    return node;
}

void CTreeBuilder::Route(const CSceneObject& object, NodePtr node) {
    if (IsGemOrNeverCut(object)) {
        m_uncut.push_back(std::move(node));
    } else if (object.cutter != 0) {
        m_cutters.push_back(std::move(node));
    } else {
        m_solids.push_back(std::move(node));
    }
}

NodePtr CTreeBuilder::Combine() {
    NodePtr root = MakeGroupNode(kNodeUnion, std::move(m_solids));
    if (root != nullptr && !m_cutters.empty()) {
        NodeList difference;
        difference.push_back(std::move(root));
        for (NodePtr& cutter : m_cutters) {
            difference.push_back(std::move(cutter));
        }
        root = MakeGroupNode(kNodeDifference, std::move(difference));
    }
    m_cutters.clear();  // cutters alone show nothing
    if (!m_uncut.empty()) {
        NodeList all;
        all.push_back(std::move(root));
        for (NodePtr& node : m_uncut) {
            all.push_back(std::move(node));
        }
        root = MakeGroupNode(kNodeUnion, std::move(all));
    }
    return root;
}

// Stamps every mesh below the node with the top-level object it shows: the patches of one
// object then count as one surface where neighbouring pixels are compared.
void MarkOwner(CRenderNode& node, const CSceneObject& object) {
    if (node.kind == kNodeLeaf) {
        static_cast<CRenderMesh&>(node).owner = &object;
        return;
    }
    for (CRenderNode* list : {node.pendingChildren, node.activeChildren}) {
        for (CRenderNode* child = list; child != nullptr; child = child->link) {
            MarkOwner(*child, object);
        }
    }
}

}  // namespace

std::unique_ptr<CRenderNode> BuildRenderTree(CRenderContext& ctx, const CSceneObject* first,
                                             const CSceneObject* stop,
                                             const VisibilityTest& visible) {
    ++ctx.renderNesting;
    CTreeBuilder builder(ctx);
    for (const CSceneObject* object = first; object != nullptr && object != stop;
         object = object->next) {
        if (!object->IsShown() || (visible && !visible(*object))) {
            continue;
        }
        NodePtr node = builder.BuildTopLevelNode(*object);
        if (node != nullptr) {
            MarkOwner(*node, *object);
            builder.Route(*object, std::move(node));
        }
    }
    return builder.Combine();
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
