#pragma once

#include "render/render_scene.h"
#include "scene/scene_file.h"
#include "view/view_camera.h"

namespace orva {

class CImageSurface;
class CInterrupt;
class COffscreenView;

// How a picture of a scene is taken: the viewer's camera at start-up unless told otherwise.
struct CPictureSettings {
    // 400 shaded per pixel, 300 per vertex; 100, 10 and 0 drawn with OpenGL
    EDisplayMode mode = kModeRendered;
    int view = 1;  // standard view 1..6
    bool zoomAll = false;
    int threads = 0;  // below 1: one per core
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

// Draws the scene with the OpenGL display into the view's picture, through the same frame as
// the viewer's window. The view must have OpenGL. The stats count every row as delivered.
CRenderStats DrawScenePicture(CSceneAnchor& scene, const CPictureSettings& settings,
                              COffscreenView& view);

}  // namespace orva
