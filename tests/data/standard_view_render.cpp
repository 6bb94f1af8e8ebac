#include "standard_view_render.h"

#include "render/render_scene.h"
#include "view/view_camera.h"

namespace orva::test {

void RenderStandardView(CSceneAnchor& scene, int view, float zoom, CImageSurface& surface) {
    CViewCamera camera;
    camera.scene = &scene;
    camera.SetViewportRect(0, 0, surface.Width(), surface.Height());
    camera.SetStandardView(view);
    camera.standardView = view;
    camera.displayMode = kModeRendered;
    camera.CurrentViewport().zoom = zoom;
    CViewCamera* previousCamera = SetCurrentCamera(&camera);
    CDrawSurface* previousSurface = SetCurrentSurface(&surface);
    camera.ApplyView();
    CRenderRequest request = CurrentViewRequest(1);
    request.threads = 1;
    RenderPicture(request);
    SetCurrentSurface(previousSurface);
    SetCurrentCamera(previousCamera);
}

}  // namespace orva::test
