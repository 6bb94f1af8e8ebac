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
    RenderPicture(MakeRenderRequest(camera, WholeScene(scene), surface, EShading::kPerPixel, 1));
}

}  // namespace orva::test
