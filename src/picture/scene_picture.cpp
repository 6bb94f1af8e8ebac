#include "picture/scene_picture.h"

#include <algorithm>
#include <chrono>

#include "display/offscreen_view.h"
#include "scene/gem_library.h"
#include "view/draw_surface.h"
#include "view/view_camera.h"
#include "view/zoom_all.h"

namespace orva {

void SetUpPictureCamera(CViewCamera& camera, CSceneAnchor& scene, const CPictureSettings& settings,
                        int width, int height) {
    camera.scene = &scene;
    camera.displayMode = settings.mode;
    camera.SetViewportRect(0, 0, width, height);
    camera.SetStandardView(settings.view);
    camera.standardView = settings.view;
    CViewport& v = camera.CurrentViewport();
    const CMatrix4 standard = v.view;
    if (settings.turnAzimuth != 0.0f || settings.turnElevation != 0.0f) {
        v.Rotate(1, settings.turnAzimuth);
        v.Rotate(0, settings.turnElevation);
        camera.standardView = 0;  // turned: no longer a standard view
    }
    if (settings.zoomAll) {
        ZoomAllToShorterSide(camera, WholeScene(scene));
        if (settings.fitWholeTurn) {
            v.zoom = WholeTurnZoom(camera, standard, settings.turnElevation);
        }
        LeaveMargin(v, settings.margin);
    }
    if (settings.zoom != 1.0f) {
        v.zoom = std::clamp(v.zoom * settings.zoom, kMinZoom, kMaxZoom);
    }
}

bool IsOpenGLMode(EDisplayMode mode) {
    return mode == kModeWireframe || mode == kModeFastWireframe || mode == kModeShaded;
}

CRenderStats RenderScenePicture(CSceneAnchor& scene, const CPictureSettings& settings,
                                CImageSurface& surface, CInterrupt* interrupt) {
    return RenderScenePicture(scene, settings, surface, surface.Width(), surface.Height(),
                              interrupt);
}

CRenderStats RenderScenePicture(CSceneAnchor& scene, const CPictureSettings& settings,
                                CDrawSurface& surface, int width, int height,
                                CInterrupt* interrupt) {
    // Loaded once, before any render thread looks up a shape.
    GemLibrary().Size();
    CViewCamera camera;
    SetUpPictureCamera(camera, scene, settings, width, height);
    const EShading shading =
        settings.mode == kModeRendered ? EShading::kPerPixel : EShading::kVertexColours;
    CRenderRequest request = MakeRenderRequest(camera, WholeScene(scene), surface, shading,
                                               ThreadsOrCores(settings.threads));
    request.interrupt = interrupt;
    request.antialias = settings.antialias;
    request.background = settings.background;
    request.coverage = settings.transparent;
    request.tessellation = settings.tessellation;
    request.keepMemory = settings.keepMemory;
    return RenderPicture(request);
}

CRenderStats DrawScenePicture(CSceneAnchor& scene, const CPictureSettings& settings,
                              COffscreenView& view) {
    const CImageSurface& picture = view.Picture();
    SetUpPictureCamera(view.Camera(), scene, settings, picture.Width(), picture.Height());
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
