#include "cli/scene_picture.h"

#include <chrono>

#include "display/offscreen_view.h"
#include "scene/gem_library.h"
#include "view/draw_surface.h"
#include "view/view_camera.h"
#include "view/zoom_all.h"

namespace orva {

namespace {

// The viewer's first picture: a standard view at zoom 1, or fitted to the scene.
void SetUpCamera(CViewCamera& camera, CSceneAnchor& scene, const CPictureSettings& settings,
                 int width, int height) {
    camera.scene = &scene;
    camera.displayMode = settings.mode;
    camera.SetViewportRect(0, 0, width, height);
    camera.SetStandardView(settings.view);
    camera.standardView = settings.view;
    if (settings.zoomAll) {
        CViewCamera* previous = SetCurrentCamera(&camera);
        ZoomAll(camera);
        SetCurrentCamera(previous);
    }
}

}  // namespace

bool IsOpenGLMode(int mode) {
    return mode == 0 || mode == 10 || mode == 100;
}

CRenderStats RenderScenePicture(CSceneAnchor& scene, const CPictureSettings& settings,
                                CImageSurface& surface) {
    // Loaded once, before any render thread looks up a shape.
    GemLibrary().Size();
    CViewCamera camera;
    SetUpCamera(camera, scene, settings, surface.Width(), surface.Height());
    CViewCamera* previousCamera = SetCurrentCamera(&camera);
    CDrawSurface* previousSurface = SetCurrentSurface(&surface);
    camera.ApplyView();
    CRenderRequest request = CurrentViewRequest(settings.mode == 400 ? 1 : 0);
    request.threads = settings.threads >= 1 ? settings.threads : RenderThreads();
    const CRenderStats stats = RenderPicture(request);
    SetCurrentSurface(previousSurface);
    SetCurrentCamera(previousCamera);
    return stats;
}

CRenderStats DrawScenePicture(CSceneAnchor& scene, const CPictureSettings& settings,
                              COffscreenView& view) {
    const CImageSurface& picture = view.Picture();
    SetUpCamera(view.Camera(), scene, settings, picture.Width(), picture.Height());
    const auto start = std::chrono::steady_clock::now();
    view.Paint();
    CRenderStats stats;
    stats.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    stats.rowsDelivered = picture.Height();
    stats.threads = 1;
    stats.bands = 1;
    return stats;
}

}  // namespace orva
