#include "render/shading/material_names.h"

#include "scene/gem.h"
#include "scene/gem_library.h"
#include "scene/group.h"
#include "scene/scene_object.h"

namespace orva {

namespace {

void AddName(const char* name, std::set<std::string>& names) {
    if (name != nullptr && name[0] != '\0') {
        names.emplace(name);
    }
}

// Follows the render tree's builder: a mesh takes the name it is built with, a group's own
// name may replace its members' names, and a gem's shape is built with the gem's name.
void CollectNames(const CSceneObject& object, const char* materialName,
                  std::set<std::string>& names) {
    switch (object.GetTypeId()) {
        case kTypeSurface:
        case kTypePolyMesh:
        case kTypeExtrusion:
            AddName(materialName, names);
            return;
        case kTypeGroup:
            AddName(materialName, names);
            for (const CSceneObject* child = static_cast<const CGroup&>(object).children.first;
                 child != nullptr; child = child->next) {
                if (child->IsShown()) {
                    CollectNames(*child, child->materialName, names);
                }
            }
            return;
        case kTypeGem: {
            // Held while the shape is walked, so that a gem reaching itself ends.
            CGemResolution resolution;
            const CSceneObject* shape = resolution.Shape(static_cast<const CGem&>(object).gemIndex);
            if (shape != nullptr) {
                CollectNames(*shape, materialName, names);
            }
            return;
        }
        default:
            return;
    }
}

}  // namespace

std::set<std::string> MaterialNamesOf(const CSceneObject* first, const CSceneObject* stop) {
    std::set<std::string> names;
    for (const CSceneObject* object = first; object != nullptr && object != stop;
         object = object->next) {
        if (object->IsShown()) {
            CollectNames(*object, object->materialName, names);
        }
    }
    return names;
}

}  // namespace orva
