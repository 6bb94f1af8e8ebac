#pragma once

namespace orva {

class CFrameContext;
class CTessellationCache;
class CSceneObject;

// Draws an object lit and filled, in the frame's colour (inside a shaded OpenGL frame): surfaces,
// polygon meshes and extrusions with their caps; groups and gems through their parts. Curves,
// reference planes and unknown objects draw nothing here.
// Surfaces, extrusions and meshes are drawn from their parts in `cache`, built when missing.
void DrawShadedObject(CFrameContext& frame, CTessellationCache& cache, const CSceneObject& object);

}  // namespace orva
