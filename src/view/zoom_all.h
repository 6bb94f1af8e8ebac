#pragma once

namespace orva {

class CViewCamera;

// Fits the camera's scene into the camera's current viewport: the box of every shown object
// that is not a reference plane, centred at the view origin, its largest half extent filling
// half the visible height. An empty or flat scene gives zoom 1 at the box centre (the origin
// when nothing was found). Does not draw.
void ZoomAll(CViewCamera& camera);
// Back to the camera's standard view with zoom 1 and no pan. Does not draw.
void ResetView(CViewCamera& camera);

}  // namespace orva
