#pragma once

#include <cstdint>
#include <optional>

#include "render/render_scene.h"
#include "scene/scene_file.h"
#include "view/view_camera.h"

namespace orva {

class CDrawSurface;
class CImageSurface;
class CInterrupt;
class COffscreenView;
class CTessellationStore;

// How a picture of a scene is taken: the viewer's camera at start-up unless told otherwise.
struct CPictureSettings {
    // 400 shaded per pixel, 300 per vertex; 100, 10 and 0 drawn with OpenGL
    EDisplayMode mode = kModeRendered;
    int view = 1;  // standard view 1..6
    // Degrees after the standard view: a turn about the view's vertical axis, then a tilt
    // about its horizontal axis.
    float turnAzimuth = 0.0f;
    float turnElevation = 0.0f;
    bool zoomAll = false;
    // With zoomAll: the fit keeps the model clear of every azimuth of a whole turn about the
    // view's vertical axis (a turntable's frames then share one zoom).
    bool fitWholeTurn = false;
    float margin = 0.0f;  // percent of the picture left free on each side by zoomAll, 0..45
    float zoom = 1.0f;    // magnification applied last
    int antialias = 1;    // N x N samples per pixel, 1..4 (modes 400 and 300)
    std::optional<uint32_t> background;  // 0xRRGGBB; unset: the display's grey
    bool transparent = false;            // rows carry coverage (see CRenderRequest)
    int threads = 0;                     // below 1: one per core
    // Where pictures of the scene keep its tessellation for the next (not owned; pictures
    // rendered side by side may share it). Null: each picture keeps its own.
    CTessellationStore* tessellation = nullptr;
    bool keepMemory = false;  // more pictures follow at once (see CRenderRequest)
};

// The display modes drawn with OpenGL rather than the software renderer.
bool IsOpenGLMode(EDisplayMode mode);

// Sets the camera up as the viewer's first picture of the scene in a view of width x height
// pixels, or as the settings say otherwise.
void SetUpPictureCamera(CViewCamera& camera, CSceneAnchor& scene, const CPictureSettings& settings,
                        int width, int height);

// Renders the scene into the whole surface with the software renderer, as the viewer would
// show it in a view of the surface's size. `interrupt`, when given, stops it after the rows in
// progress.
CRenderStats RenderScenePicture(CSceneAnchor& scene, const CPictureSettings& settings,
                                CImageSurface& surface, CInterrupt* interrupt = nullptr);
// The same into any surface that takes a picture of width x height pixels.
CRenderStats RenderScenePicture(CSceneAnchor& scene, const CPictureSettings& settings,
                                CDrawSurface& surface, int width, int height,
                                CInterrupt* interrupt = nullptr);

// Draws the scene with the OpenGL display into the view's picture, through the same frame as
// the viewer's window. The view must have OpenGL. The stats count every row as delivered.
CRenderStats DrawScenePicture(CSceneAnchor& scene, const CPictureSettings& settings,
                              COffscreenView& view);

}  // namespace orva
