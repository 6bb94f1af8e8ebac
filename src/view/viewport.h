#pragma once

#include <cstdint>

#include "geometry/matrix4.h"

namespace orva {

class CFrameContext;

// Zoom is kept between these; one step may overshoot, the next one the same way is refused.
inline constexpr float kMinZoom = 0.001f;
inline constexpr float kMaxZoom = 1000.0f;

// One viewport of a camera: its view matrix, its rectangle in window pixels (y downward), the
// pending-repaint rectangle, and the zoom. A model point p is seen at p * view.
class CViewport {
public:
    // Rows 0..2 hold the orientation, row 3 the pan in view units.
    CMatrix4 view;
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
    // Pending repaint, right and bottom exclusive; used only while repaintSet (then an
    // empty rectangle means nothing is drawn).
    int32_t repaintLeft = 0;
    int32_t repaintTop = 0;
    int32_t repaintRight = 0;
    int32_t repaintBottom = 0;
    bool repaintSet = false;
    float viewSize = 25.0f;  // half the visible height in model units at zoom 1
    float zoom = 1.0f;

    // Clears the matrix and puts sx, sy, sz at (rx, 0), (ry, 1), (rz, 2): the standard views.
    void SetAxes(int rx, int ry, int rz, int sx, int sy, int sz);
    // Turns the view about its own axis (0 screen x, 1 screen y, 2 line of sight) through the
    // view origin; the pan turns with it.
    void Rotate(int axis, double degrees);
    void Zoom(float factor);
    void SetRect(int32_t x, int32_t y, int32_t width, int32_t height);
    void AddRepaintRect(int32_t left, int32_t top, int32_t right, int32_t bottom);
    void ClearRepaint() { repaintSet = false; }
    // Hands the viewport to a frame: viewport and scissor, projection, view matrix as the
    // model-view matrix, and the scissor clipped to the pending repaint.
    void Apply(CFrameContext& frame);
    // The pending repaint clipped to the viewport, in place.
    void ClipRepaint();
    // Model coordinates to window pixels (x, y) with the eye depth as z.
    CMatrix4 WindowMatrix() const;

    bool RepaintEmpty() const { return repaintLeft >= repaintRight || repaintTop >= repaintBottom; }
    bool Overlaps(int32_t left, int32_t top, int32_t right, int32_t bottom) const;
};

}  // namespace orva
