#pragma once

namespace orva {

class CSceneObject;

// Whether an object's box, projected with the current window matrix and widened by a margin
// of the current camera's display mode, overlaps the part of the viewport being drawn.
// Reference planes are always on screen. Without a current camera everything is.
int IsOnScreen(const CSceneObject& object);

}  // namespace orva
