#pragma once

namespace orva {

struct CMatrix4;
struct CSceneRange;

class CViewCamera;
class CViewport;

// Fits the camera's scene into the camera's current viewport: the box of every shown object
// that is not a reference plane, centred at the view origin, its largest half extent filling
// half the visible height. An empty or flat scene gives zoom 1 at the box centre (the origin
// when nothing was found). Does not draw.
void ZoomAll(CViewCamera& camera);
// The same for the objects of `scene` rather than the camera's.
void ZoomAll(CViewCamera& camera, const CSceneRange& scene);
// Zoom All for a picture: as above, but the largest half extent fills half the shorter side
// of the viewport, so that in a picture taller than wide the piece keeps within its width.
void ZoomAllToShorterSide(CViewCamera& camera, const CSceneRange& scene);
// Shrinks the zoom of a fitted view so that the piece leaves `percent` (clamped to 0..45) of
// the view free on each side.
void LeaveMargin(CViewport& view, float percent);
// The zoom at which the Zoom All box of the camera's scene, centred at the view origin, stays
// within the current viewport at every azimuth of a whole turn about the view's vertical axis,
// the turn made on `beforeTurn` and followed by a tilt of `elevation` degrees about the
// horizontal axis; the current zoom when the scene is empty or flat.
float WholeTurnZoom(const CViewCamera& camera, const CMatrix4& beforeTurn, float elevation);

// Whether the Zoom All box of the camera's scene lies within the current viewport as it is
// shown (its zoom and pan); an empty or flat scene, or a viewport without a size, fits.
bool SceneFitsView(const CViewCamera& camera);
// Zoom All when the scene's box does not fit the current viewport, so that a piece opened or
// shown from a standard view is never cut off; a piece that fits keeps its zoom and pan.
// Returns whether it zoomed. Does not draw.
bool ZoomAllWhenCutOff(CViewCamera& camera);

// Back to the camera's standard view with zoom 1 and no pan. Does not draw.
void ResetView(CViewCamera& camera);

}  // namespace orva
