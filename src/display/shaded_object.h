#pragma once

namespace orva {

class CSceneObject;

// Draws an object lit and filled, in the current colour (inside a shaded frame): surfaces,
// polygon meshes and extrusions with their caps; groups and gems through their parts. Curves,
// reference planes and unknown objects draw nothing here.
void DrawShadedObject(const CSceneObject& object);

}  // namespace orva
