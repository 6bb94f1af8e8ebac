#include "render/csg/csg_plan.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <utility>

#include "scene/gem.h"
#include "scene/gem_library.h"
#include "scene/group.h"

namespace orva {

namespace {

// Groups nest only as deep as a file can describe; a bound keeps damaged ones finite.
constexpr int kDeepestGroup = 256;

bool IsGemOrNeverCut(const CSceneObject& object) {
    return object.GetTypeId() == kTypeGem || object.neverCut != 0;
}

bool IsCutter(const CSceneObject& object) {
    return object.cutter != 0 && !IsGemOrNeverCut(object);
}

bool NamesMaterial(const char* name) {
    return name != nullptr && name[0] != '\0';
}

bool IsMesh(const CSceneObject& object) {
    const int32_t type = object.GetTypeId();
    return type == kTypeSurface || type == kTypePolyMesh || type == kTypeExtrusion;
}

bool IsEmpty(const CCsgNode& node) {
    return node.operation != ECsgOperation::kLeaf && node.children.empty();
}

ECsgOperation OperationOf(int32_t kind) {
    switch (kind) {
        case kGroupMeshUnion:
            return ECsgOperation::kMeshUnion;
        case kGroupIntersection:
            return ECsgOperation::kIntersection;
        case kGroupDifference:
            return ECsgOperation::kDifference;
        default:
            // Kinds beyond the four solid operations come only from damaged files: such a
            // group unites its children.
            return ECsgOperation::kUnion;
    }
}

// Gives every leaf below `node` the material, and the stone it may be.
void GiveMaterial(CCsgNode& node, const char* name, const CSceneObject& source, int key) {
    node.materialName = name;
    node.materialSource = &source;
    node.materialKey = key;
    for (CCsgNode& child : node.children) {
        GiveMaterial(child, name, source, key);
    }
}

void MarkOwner(CCsgNode& node, const CSceneObject& owner) {
    node.owner = &owner;
    for (CCsgNode& child : node.children) {
        MarkOwner(child, owner);
    }
}

// A stone found while building, before its node has its final material and place.
struct CStoneOrder {
    const CSceneObject* gem = nullptr;
    const char* shapelessMaterial = nullptr;  // a gem without a shape keeps its own name
    bool shapeless = false;
};

// Turns the scene's objects into plan nodes and sorts them into the three scene-wide lists.
class CPlanBuilder {
public:
    void AddTopLevel(const CSceneObject& object);
    CCsgPlan Finish();

private:
    using PartList = std::vector<std::unique_ptr<CCsgNode>>;
    enum class EWhere { kOwn, kCutters, kUncut };

    CCsgNode BuildObject(const CSceneObject& object, const char* materialName, int depth);
    CCsgNode BuildLeaf(const CSceneObject& object, const char* materialName);
    CCsgNode BuildGroup(const CGroup& group, const char* materialName, int depth);
    CCsgNode BuildGem(const CGem& gem, const char* materialName, int depth);
    EWhere ChildDestination(ECsgOperation operation, const CSceneObject& child) const;
    ECsgRole Role() const;
    CCsgNode* Hand(PartList& list, CCsgNode node);

    PartList m_solids;   // united, then cut
    PartList m_cutters;  // subtracted from the solids
    PartList m_uncut;    // gems and never-cut objects, added last
    std::vector<const CSceneObject*> m_metalObjects;
    std::vector<CStoneOrder> m_stones;
    std::vector<const CMatrix4*> m_placements;  // of the gems being built, outermost first
    const CSceneObject* m_topLevel = nullptr;
    int m_nextKey = 1;
    int m_cutting = 0;                    // above 0 while building what cuts
    int m_differenceNesting = 0;          // above 0 inside what a difference cuts, and inside gems
    int m_gemNesting = 0;                 // above 0 inside a gem's shape
    bool m_neverCut = false;              // building a part added after the cuts
    ECsgRole m_gemRole = ECsgRole::kGem;  // of the outermost gem being built
};

ECsgRole CPlanBuilder::Role() const {
    if (m_gemNesting > 0) {
        return m_gemRole;
    }
    if (m_cutting > 0) {
        return ECsgRole::kCutter;
    }
    return m_neverCut ? ECsgRole::kNeverCut : ECsgRole::kMetal;
}

CCsgNode CPlanBuilder::BuildLeaf(const CSceneObject& object, const char* materialName) {
    CCsgNode leaf;
    leaf.operation = ECsgOperation::kLeaf;
    leaf.object = &object;
    leaf.placements = m_placements;
    leaf.materialName = materialName;
    leaf.materialSource = &object;
    leaf.materialKey = m_nextKey++;
    leaf.role = Role();
    return leaf;
}

CCsgNode CPlanBuilder::BuildObject(const CSceneObject& object, const char* materialName,
                                   int depth) {
    if (IsMesh(object)) {
        return BuildLeaf(object, materialName);
    }
    switch (object.GetTypeId()) {
        case kTypeGroup:
            return BuildGroup(static_cast<const CGroup&>(object), materialName, depth);
        case kTypeGem:
            return BuildGem(static_cast<const CGem&>(object), materialName, depth);
        default:
            return {};  // curves and reference planes are not solids
    }
}

CPlanBuilder::EWhere CPlanBuilder::ChildDestination(ECsgOperation operation,
                                                    const CSceneObject& child) const {
    // A difference keeps its base and what is cut from it, nested groups included; a gem
    // keeps the parts of its shape.
    if (operation == ECsgOperation::kDifference || m_differenceNesting > 0) {
        return EWhere::kOwn;
    }
    if (operation == ECsgOperation::kUnion && IsGemOrNeverCut(child)) {
        return EWhere::kUncut;
    }
    return IsCutter(child) ? EWhere::kCutters : EWhere::kOwn;
}

CCsgNode* CPlanBuilder::Hand(PartList& list, CCsgNode node) {
    node.topLevel = m_topLevel;
    list.push_back(std::make_unique<CCsgNode>(std::move(node)));
    return list.back().get();
}

CCsgNode CPlanBuilder::BuildGroup(const CGroup& group, const char* materialName, int depth) {
    CCsgNode node;
    node.operation = OperationOf(group.kind);
    node.role = Role();
    const bool difference = node.operation == ECsgOperation::kDifference;
    const CSceneObject* base = group.children.first;
    if (depth > kDeepestGroup || (difference && (base == nullptr || !base->IsShown()))) {
        return node;
    }
    // The children made: an index into the group's own list, or a part handed to the scene.
    struct CMade {
        const CSceneObject* child;
        std::size_t index;
        CCsgNode* handed;
    };
    std::vector<CMade> made;
    const bool neverCut = m_neverCut;
    for (const CSceneObject* child = base; child != nullptr; child = child->next) {
        if (!child->IsShown()) {
            continue;
        }
        const bool afterBase = difference && child != base;
        const EWhere where = ChildDestination(node.operation, *child);
        const bool cuts = afterBase || where == EWhere::kCutters;
        m_cutting += cuts ? 1 : 0;
        m_differenceNesting += afterBase ? 1 : 0;
        m_neverCut = neverCut || where == EWhere::kUncut;
        CCsgNode built = BuildObject(*child, child->materialName, depth + 1);
        m_neverCut = neverCut;
        m_differenceNesting -= afterBase ? 1 : 0;
        m_cutting -= cuts ? 1 : 0;
        if (IsEmpty(built)) {
            if (node.operation == ECsgOperation::kIntersection) {
                return {};  // nothing of an intersection with an empty operand
            }
            if (difference && child == base) {
                break;  // nothing to cut from
            }
            continue;
        }
        if (where == EWhere::kOwn) {
            node.children.push_back(std::move(built));
            made.push_back({child, node.children.size() - 1, nullptr});
        } else {
            made.push_back(
                {child, 0, Hand(where == EWhere::kUncut ? m_uncut : m_cutters, std::move(built))});
        }
    }
    if (NamesMaterial(materialName)) {
        for (const CMade& m : made) {
            // A group naming its own material is more specific than this one.
            if (m.child->GetTypeId() == kTypeGroup && NamesMaterial(m.child->materialName)) {
                continue;
            }
            CCsgNode& target = m.handed != nullptr ? *m.handed : node.children[m.index];
            GiveMaterial(target, materialName, group, m_nextKey++);
        }
    }
    return node;
}

CCsgNode CPlanBuilder::BuildGem(const CGem& gem, const char* materialName, int depth) {
    const bool outermost = m_gemNesting == 0;
    if (outermost) {
        // What a difference cuts with a gem's shape is a cut, not a stone.
        m_gemRole = m_differenceNesting > 0 ? ECsgRole::kCutter : ECsgRole::kGem;
    }
    const bool stone = outermost && m_gemRole == ECsgRole::kGem;
    CGemResolution resolution;
    const CSceneObject* shape = resolution.Shape(gem.gemIndex);
    if (shape == nullptr || depth > kDeepestGroup) {
        if (stone) {
            m_stones.push_back({&gem, materialName, true});
        }
        return {};
    }
    if (stone) {
        m_stones.push_back({&gem, nullptr, false});
    }
    // A gem is whole: nothing of its shape joins the scene-wide lists.
    m_placements.push_back(&gem.placement);
    ++m_differenceNesting;
    ++m_gemNesting;
    CCsgNode node = BuildObject(*shape, materialName, depth + 1);
    --m_gemNesting;
    --m_differenceNesting;
    m_placements.pop_back();
    if (stone) {
        node.gem = &gem;
        node.materialName = materialName;  // what the stone is made of, unless a group gives one
    }
    node.role = outermost ? m_gemRole : node.role;
    return node;
}

void CPlanBuilder::AddTopLevel(const CSceneObject& object) {
    m_topLevel = &object;
    const bool cuts = IsCutter(object);
    m_cutting += cuts ? 1 : 0;
    m_neverCut = IsGemOrNeverCut(object);
    CCsgNode node = BuildObject(object, object.materialName, 0);
    m_neverCut = false;
    m_cutting -= cuts ? 1 : 0;
    // The metal's extent: a group's parts handed to the scene lie in its box too.
    if (!cuts && (IsMesh(object) || object.GetTypeId() == kTypeGroup)) {
        m_metalObjects.push_back(&object);
    }
    if (IsEmpty(node)) {
        return;
    }
    MarkOwner(node, object);
    Hand(IsGemOrNeverCut(object) ? m_uncut : (cuts ? m_cutters : m_solids), std::move(node));
}

// The stone of a gem node and the material its leaves were given.
void CollectStones(const CCsgNode& node, std::vector<CPlannedGem>& found) {
    if (node.gem != nullptr) {
        found.push_back({node.gem, node.materialName});
        return;
    }
    for (const CCsgNode& child : node.children) {
        CollectStones(child, found);
    }
}

CCsgNode Operation(ECsgOperation operation, std::vector<CCsgNode> children) {
    CCsgNode node;
    node.operation = operation;
    node.children = std::move(children);
    return node;
}

std::vector<CCsgNode> Take(std::vector<std::unique_ptr<CCsgNode>>& parts) {
    std::vector<CCsgNode> nodes;
    for (std::unique_ptr<CCsgNode>& part : parts) {
        nodes.push_back(std::move(*part));
    }
    parts.clear();
    return nodes;
}

CCsgPlan CPlanBuilder::Finish() {
    CCsgPlan plan;
    // Stones in the order the scene gives them, each with the material its node ended with.
    std::vector<CPlannedGem> placed;
    for (const PartList* list : {&m_solids, &m_cutters, &m_uncut}) {
        for (const std::unique_ptr<CCsgNode>& part : *list) {
            CollectStones(*part, placed);
        }
    }
    for (const CStoneOrder& stone : m_stones) {
        if (stone.shapeless) {
            plan.gems.push_back({stone.gem, stone.shapelessMaterial});
            continue;
        }
        const auto found = std::find_if(placed.begin(), placed.end(),
                                        [&](const CPlannedGem& p) { return p.gem == stone.gem; });
        if (found != placed.end()) {
            plan.gems.push_back(*found);
        }
    }
    std::vector<CCsgNode> solid;
    solid.push_back(Operation(ECsgOperation::kUnion, Take(m_solids)));
    for (CCsgNode& cutter : Take(m_cutters)) {
        solid.push_back(std::move(cutter));
    }
    std::vector<CCsgNode> all;
    all.push_back(Operation(ECsgOperation::kDifference, std::move(solid)));
    for (CCsgNode& part : Take(m_uncut)) {
        all.push_back(std::move(part));
    }
    plan.root = Operation(ECsgOperation::kUnion, std::move(all));
    plan.metalObjects = std::move(m_metalObjects);
    return plan;
}

// Whether the material filter keeps a part the solid gains.
bool SameMaterial(const char* a, const char* b) {
    return std::strcmp(a != nullptr ? a : "", b != nullptr ? b : "") == 0;
}

bool AnyLeafOf(const CCsgNode& node, const char* material) {
    bool any = false;
    ForEachCsgLeaf(node, [&](const CCsgNode& leaf) {
        any = any || (leaf.role != ECsgRole::kCutter && SameMaterial(leaf.materialName, material));
    });
    return any;
}

// Numbers the parts a filter meets, and lists them when asked.
struct CPartCount {
    int next = 0;
    std::vector<CCsgPart>* listed = nullptr;
};

CCsgPart PartOf(const CCsgNode& node) {
    CCsgPart part;
    ForEachCsgLeaf(node, [&part](const CCsgNode& leaf) {
        part.materialName = leaf.materialName;
        part.objects.push_back(leaf.object);
    });
    return part;
}

// Whether a part selection keeps the node, which is a part when it adds to the solid and is
// a leaf or an intersection outside any judged whole.
bool SelectPart(const CCsgNode& node, const CCsgFilter& filter, bool judged, CPartCount& parts) {
    const bool part =
        !judged && node.role != ECsgRole::kCutter &&
        (node.operation == ECsgOperation::kLeaf || node.operation == ECsgOperation::kIntersection);
    if (!part) {
        return true;
    }
    const auto ordinal = static_cast<std::size_t>(parts.next++);
    if (parts.listed != nullptr) {
        parts.listed->push_back(PartOf(node));
    }
    const std::vector<bool>* kept = filter.keptParts;
    return kept == nullptr || (ordinal < kept->size() && (*kept)[ordinal]);
}

// The node with what the filter leaves out gone; false when nothing of it is left.
bool Filter(CCsgNode& node, const CCsgFilter& filter, bool judged, CPartCount& parts) {
    if (filter.metalOnly && node.role == ECsgRole::kGem) {
        return false;
    }
    if (!SelectPart(node, filter, judged, parts)) {
        return false;
    }
    const bool numbering = filter.keptParts != nullptr || parts.listed != nullptr;
    if (numbering && node.operation == ECsgOperation::kIntersection &&
        node.role != ECsgRole::kCutter) {
        judged = true;  // one part, kept or left out whole
    }
    const bool material = filter.onlyMaterial != nullptr && node.role != ECsgRole::kCutter;
    if (node.operation == ECsgOperation::kLeaf) {
        return judged || !material || SameMaterial(node.materialName, filter.onlyMaterial);
    }
    if (material && !judged && node.operation == ECsgOperation::kIntersection) {
        // Leaving out one operand would grow the intersection: it is judged whole.
        if (!AnyLeafOf(node, filter.onlyMaterial)) {
            return false;
        }
        judged = true;
    }
    std::vector<CCsgNode> kept;
    for (std::size_t i = 0; i < node.children.size(); ++i) {
        if (Filter(node.children[i], filter, judged, parts)) {
            kept.push_back(std::move(node.children[i]));
        } else if (node.operation == ECsgOperation::kIntersection ||
                   (node.operation == ECsgOperation::kDifference && i == 0)) {
            return false;
        }
    }
    node.children = std::move(kept);
    return !node.children.empty();
}

}  // namespace

CCsgPlan MakeCsgPlan(const CSceneObject* first, const CSceneObject* stop,
                     const std::vector<const CSceneObject*>& leftOut) {
    CPlanBuilder builder;
    for (const CSceneObject* object = first; object != nullptr && object != stop;
         object = object->next) {
        if (object->IsShown() &&
            std::find(leftOut.begin(), leftOut.end(), object) == leftOut.end()) {
            builder.AddTopLevel(*object);
        }
    }
    return builder.Finish();
}

CCsgPlan FilterCsgPlan(const CCsgPlan& plan, const CCsgFilter& filter) {
    CCsgPlan filtered = plan;
    CPartCount parts;
    if (!Filter(filtered.root, filter, false, parts)) {
        filtered.root = CCsgNode{};
        filtered.root.operation = ECsgOperation::kUnion;
    }
    return filtered;
}

std::vector<CCsgPart> CsgParts(const CCsgPlan& plan, bool metalOnly) {
    std::vector<CCsgPart> listed;
    CPartCount parts;
    parts.listed = &listed;
    CCsgFilter filter;
    filter.metalOnly = metalOnly;
    CCsgNode root = plan.root;
    Filter(root, filter, false, parts);
    return listed;
}

std::vector<const char*> SolidMaterialNames(const CCsgPlan& plan) {
    std::vector<const char*> names;
    ForEachCsgLeaf(plan.root, [&names](const CCsgNode& leaf) {
        if (leaf.role != ECsgRole::kCutter && leaf.role != ECsgRole::kGem &&
            std::none_of(names.begin(), names.end(), [&leaf](const char* name) {
                return SameMaterial(name, leaf.materialName);
            })) {
            names.push_back(leaf.materialName != nullptr ? leaf.materialName : "");
        }
    });
    return names;
}

}  // namespace orva
