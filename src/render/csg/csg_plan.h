#pragma once

#include <cstdint>
#include <vector>

#include "geometry/matrix4.h"

namespace orva {

class CSceneObject;

// What a part of the piece is to the solid.
enum class ECsgRole : uint8_t {
    kMetal,     // a solid that is united and then cut
    kGem,       // a stone: added whole, never cut
    kCutter,    // subtracted: a scene-wide cutter, or what a difference cuts from its base
    kNeverCut,  // a solid added after the cuts
};

enum class ECsgOperation : uint8_t {
    kLeaf,
    kMeshUnion,  // overlapping meshes merged into one solid
    kUnion,
    kIntersection,
    kDifference,  // the first child minus the others
};

// A node of the plan: an operation over its children, or one solid object (a surface, polygon
// mesh or extrusion) with its placement and material.
struct CCsgNode {
    ECsgOperation operation = ECsgOperation::kUnion;  // with no children: nothing
    std::vector<CCsgNode> children;

    // Leaves.
    const CSceneObject* object = nullptr;
    // The placements of the gems the object is part of, outermost first, each applied to the
    // object's points before the one before it.
    std::vector<const CMatrix4*> placements;
    // The material as the renderer gives it: the name (of the object, of the gem lending it to
    // its shape, or of the group giving it to what is below), the object whose material value
    // and matrix map it, and a key shared by the leaves that share one material record.
    const char* materialName = nullptr;
    const CSceneObject* materialSource = nullptr;
    int materialKey = 0;
    ECsgRole role = ECsgRole::kMetal;
    // The top-level object whose picture the leaf is part of, so that the patches of one object
    // count as one surface where neighbouring pixels are compared; null for a part its group
    // handed to the whole scene (a stone or cutter of a nested group).
    const CSceneObject* owner = nullptr;

    // The node made of a gem's shape: the gem, which is a stone unless it cuts.
    const CSceneObject* gem = nullptr;

    // The parts of the scene: the top-level object they come from (shown only where it can
    // show); null below them.
    const CSceneObject* topLevel = nullptr;
};

// A stone of the piece with the material the renderer gives it.
struct CPlannedGem {
    const CSceneObject* gem = nullptr;
    const char* materialName = nullptr;
};

// One statement of how a scene becomes a solid. The scene's solids are united; the cutters are
// subtracted from that union; stones and never-cut solids are added after the cuts, so they
// are never cut. Groups combine their children by their kind (a damaged kind unites); a group's
// stones (in a union) and cutters (in a union or intersection) join the scene's own, but what
// a difference holds and what a gem's shape holds stay where they are. A group naming a
// material gives it to everything below but a child group naming its own. A difference whose
// base is not shown is nothing; objects that are not solids (curves, reference planes) and
// hidden objects are not part of it.
//
// The root is a union of (the solids' union minus the cutters) and the uncut parts; the parts
// below it carry their top-level object. An empty node (no children) stands for nothing.
struct CCsgPlan {
    CCsgNode root;
    // Every top-level solid or group that is not a stone or a cutter: where the metal lies.
    std::vector<const CSceneObject*> metalObjects;
    // The stones, in scene order: every gem but those that cut, and those inside other gems'
    // shapes.
    std::vector<CPlannedGem> gems;
};

// The plan of the objects from `first` up to (not including) `stop`, but for the top-level
// objects in `leftOut`.
CCsgPlan MakeCsgPlan(const CSceneObject* first, const CSceneObject* stop,
                     const std::vector<const CSceneObject*>& leftOut = {});

// What a measurement keeps of the plan.
struct CCsgFilter {
    // Stones are left out, except where they cut: the metal alone.
    bool metalOnly = false;
    // When set: of the parts the solid gains, those of another material are left out, while
    // everything that cuts stays, so that a part keeps its own holes and seats. An
    // intersection counts as one part, kept whole when any of its parts has the material.
    // The default material is the empty name.
    const char* onlyMaterial = nullptr;
    // When set: of the parts the solid gains (numbered as CsgParts lists them), those whose
    // flag is false or missing are left out, while everything that cuts stays.
    const std::vector<bool>* keptParts = nullptr;
};

// A part the solid gains as the filters judge them: a leaf that does not cut, or an
// intersection, which counts as one part.
struct CCsgPart {
    // The material of the part; an intersection's is that of its last leaf.
    const char* materialName = nullptr;
    // The objects of its leaves, in plan order.
    std::vector<const CSceneObject*> objects;
};

// The plan with what the filter leaves out gone, and what that empties with it: a union keeps
// its other children, an intersection or a difference losing its base becomes nothing.
CCsgPlan FilterCsgPlan(const CCsgPlan& plan, const CCsgFilter& filter);

// The parts of the plan the solid gains, in the order the filters number them; with
// `metalOnly`, of the plan as that filter leaves it.
std::vector<CCsgPart> CsgParts(const CCsgPlan& plan, bool metalOnly);

// Calls `visit` for every leaf of the subtree.
template <typename Visit>
void ForEachCsgLeaf(const CCsgNode& node, Visit&& visit) {
    if (node.operation == ECsgOperation::kLeaf) {
        visit(node);
        return;
    }
    for (const CCsgNode& child : node.children) {
        ForEachCsgLeaf(child, visit);
    }
}

// The material names of the leaves that add to the solid (not cutting), each once, in the
// order first met; the default material is the empty name.
std::vector<const char*> SolidMaterialNames(const CCsgPlan& plan);

}  // namespace orva
