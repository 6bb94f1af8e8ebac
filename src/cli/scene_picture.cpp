#include "cli/scene_picture.h"

#include "scene/gem_library.h"
#include "view/draw_surface.h"
#include "view/view_camera.h"
#include "view/zoom_all.h"

namespace orva {

CRenderStats RenderScenePicture(CSceneAnchor& scene, const CPictureSettings& settings,
                                CImageSurface& surface) {
    // Loaded once, before any render thread looks up a shape.
    GemLibrary().Size();
    CViewCamera camera;
    camera.scene = &scene;
    camera.displayMode = settings.mode;
    camera.SetViewportRect(0, 0, surface.Width(), surface.Height());
    camera.SetStandardView(settings.view);
    camera.standardView = settings.view;
    CViewCamera* previousCamera = SetCurrentCamera(&camera);
    CDrawSurface* previousSurface = SetCurrentSurface(&surface);
    if (settings.zoomAll) {
        ZoomAll(camera);
    }
    camera.ApplyView();
    CRenderRequest request = CurrentViewRequest(settings.mode == 400 ? 1 : 0);
    request.threads = settings.threads >= 1 ? settings.threads : RenderThreads();
    const CRenderStats stats = RenderPicture(request);
    SetCurrentSurface(previousSurface);
    SetCurrentCamera(previousCamera);
    return stats;
}

}  // namespace orva
