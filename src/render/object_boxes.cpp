#include "render/object_boxes.h"

#include "scene/scene_object.h"

namespace orva {

CObjectBoxes::CObjectBoxes(const CSceneObject* first, const CSceneObject* stop,
                           const CMatrix4& window) {
    for (const CSceneObject* o = first; o != nullptr && o != stop; o = o->next) {
        if (o->IsShown()) {
            m_boxes.emplace(o, ProjectedBox(*o, window));
        }
    }
}

const CScreenRect* CObjectBoxes::Find(const CSceneObject& object) const {
    const auto it = m_boxes.find(&object);
    return it != m_boxes.end() ? &it->second : nullptr;
}

}  // namespace orva
