#pragma once

namespace orva {

class CViewCamera;
class CViewport;

// What a mouse drag does: left rotates, Ctrl+left pans, right zooms, Ctrl+right rolls, both
// buttons zoom. While a standard view is still loaded, a drag pans or zooms only.
enum class EGesture { kRotate, kRoll, kZoom, kPan };

// Picks the gesture of a drag step; a rotating or rolling button combination leaves the
// standard view (its index becomes 0), so from then on the same buttons rotate and roll.
EGesture ChooseGesture(CViewCamera& camera, bool left, bool right, bool ctrl);

// Carries out one drag step of (dx, dy) pixels (y downward) on the viewport. A drag over the
// full viewport height turns by 100 degrees; the pan follows the mouse exactly; dragging up or
// right magnifies by about 1.0048 per pixel.
void ApplyGesture(CViewport& viewport, EGesture gesture, float dx, float dy);

// Wheel notches (120 units each, truncated toward zero): zoom by 1.1 per notch, or with Ctrl
// roll by 10 degrees per notch (leaving the standard view).
void ApplyWheel(CViewCamera& camera, int notches, bool ctrl);

}  // namespace orva
