#pragma once

#include <string>
#include <vector>

#include "render/csg/csg_plan.h"

namespace orva {

class CSceneObject;

// The metal one material owns. Where parts of different materials overlap, the metal belongs
// to the material of the part that comes later in the scene (a group's children in their
// place; an intersection counts as its last object), so that the materials' volumes add up to
// the whole piece. The same rule gives the exported meshes their materials.
struct CMaterialShare {
    std::string material;  // empty: the default material
    CCsgPlan owned;        // the metal the material owns
    CCsgPlan alone;        // all its parts, with every cut made: what it would own alone
    // The materials with a part after one of this material's parts: those that may take some
    // of its metal.
    std::vector<std::string> laterMaterials;
};

// The shares of the materials of `metal` (a plan of the metal alone, of the objects from
// `first` up to `stop`), in the order of their names.
std::vector<CMaterialShare> ShareMetalByMaterial(const CCsgPlan& metal, const CSceneObject* first,
                                                 const CSceneObject* stop);

}  // namespace orva
