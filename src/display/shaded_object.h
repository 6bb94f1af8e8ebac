#pragma once

namespace orva {

class CFrameContext;
class CSceneObject;

// Draws an object lit and filled, in the frame's colour (inside a shaded OpenGL frame): surfaces,
// polygon meshes and extrusions with their caps; groups and gems through their parts. Curves,
// reference planes and unknown objects draw nothing here.
void DrawShadedObject(CFrameContext& frame, const CSceneObject& object);

}  // namespace orva
