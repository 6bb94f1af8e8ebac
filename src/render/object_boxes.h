#pragma once

#include <unordered_map>

#include "geometry/matrix4.h"
#include "view/on_screen.h"

namespace orva {

class CSceneObject;

// The window boxes of a list's shown objects, projected once for a picture: every band asks
// which objects reach it, and an object's box is the bounds of all it holds, which for a group
// means walking every point below it.
class CObjectBoxes {
public:
    CObjectBoxes(const CSceneObject* first, const CSceneObject* stop, const CMatrix4& window);

    // The object's box (as ProjectedBox gives it), or null for an object not in the list.
    const CScreenRect* Find(const CSceneObject& object) const;

private:
    std::unordered_map<const CSceneObject*, CScreenRect> m_boxes;
};

}  // namespace orva
