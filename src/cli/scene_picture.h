#pragma once

#include "render/render_scene.h"
#include "scene/scene_file.h"

namespace orva {

class CImageSurface;

// How a picture of a scene is taken: the viewer's camera at start-up unless told otherwise.
struct CPictureSettings {
    int mode = 400;  // 400 shaded per pixel, 300 per vertex
    int view = 1;    // standard view 1..6
    bool zoomAll = false;
    int threads = 0;  // below 1: one per core
};

// Renders the scene into the whole surface with the software renderer, as the viewer would
// show it in a view of the surface's size.
CRenderStats RenderScenePicture(CSceneAnchor& scene, const CPictureSettings& settings,
                                CImageSurface& surface);

}  // namespace orva
