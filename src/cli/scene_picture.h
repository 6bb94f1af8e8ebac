#pragma once

#include "render/render_scene.h"
#include "scene/scene_file.h"

namespace orva {

class CImageSurface;
class COffscreenView;
class CViewCamera;

// How a picture of a scene is taken: the viewer's camera at start-up unless told otherwise.
struct CPictureSettings {
    int mode = 400;  // 400 shaded per pixel, 300 per vertex; 100, 10 and 0 drawn with OpenGL
    int view = 1;    // standard view 1..6
    bool zoomAll = false;
    int threads = 0;  // below 1: one per core
};

// The display modes drawn with OpenGL rather than the software renderer.
bool IsOpenGLMode(int mode);

// Renders the scene into the whole surface with the software renderer, as the viewer would
// show it in a view of the surface's size.
CRenderStats RenderScenePicture(CSceneAnchor& scene, const CPictureSettings& settings,
                                CImageSurface& surface);

// Draws the scene with the OpenGL display into the view's picture, through the same frame as
// the viewer's window. The view must have OpenGL. The stats count every row as delivered.
CRenderStats DrawScenePicture(CSceneAnchor& scene, const CPictureSettings& settings,
                              COffscreenView& view);

}  // namespace orva
