#pragma once

#include <cstdint>

#include "geometry/matrix4.h"
#include "scene/display_mode.h"

namespace orva {

class CFrameContext;
class CSceneObject;

// A part of the window in pixels; right and bottom are exclusive.
struct CScreenRect {
    float left = 0.0f;
    float top = 0.0f;
    float right = 0.0f;
    float bottom = 0.0f;
};

// The smallest rectangle of the window holding the eight corners of the object's box projected
// with `windowMatrix` (model to window pixels); right and bottom are the largest coordinates.
CScreenRect ProjectedBox(const CSceneObject& object, const CMatrix4& windowMatrix);

// Whether the object's box, projected with `windowMatrix` (model to window pixels) and widened
// by the margin of `displayMode`, overlaps `rect`. Reference planes are always on screen. Safe
// on any thread: it reads only what it is given.
bool IsOnScreenIn(const CSceneObject& object, const CMatrix4& windowMatrix, const CScreenRect& rect,
                  EDisplayMode displayMode);
// The same for an object whose projected box is known.
bool IsOnScreenIn(const CSceneObject& object, const CScreenRect& box, const CScreenRect& rect,
                  EDisplayMode displayMode);

// Whether an object's box, projected with the frame's window matrix and widened by a margin
// of its camera's display mode, overlaps the part of the viewport being drawn. Reference
// planes are always on screen.
bool IsOnScreen(const CFrameContext& frame, const CSceneObject& object);

}  // namespace orva
