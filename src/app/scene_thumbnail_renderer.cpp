#include "app/scene_thumbnail_renderer.h"

#include "browser/scene_thumbnail.h"
#include "picture/scene_picture.h"
#include "platform/interrupt.h"
#include "view/display_colours.h"
#include "view/draw_surface.h"

namespace orva {

QImage RenderSceneThumbnail(const std::string& path, int side) {
    CSceneAnchor scene;
    CLoadReport load;
    ReadSceneFile(scene, path, load);
    if (load.status != CLoadReport::kOk || side < 1) {
        return {};
    }
    CImageSurface surface(side, side, DisplayGrey());
    CPictureSettings settings;
    settings.zoomAll = true;
    // One thread, so the cores stay with the view's render.
    settings.threads = 1;
    // An interrupt of its own: stopping the view's render must not stop a thumbnail.
    CInterrupt interrupt;
    if (RenderScenePicture(scene, settings, surface, &interrupt).interrupted) {
        return {};
    }
    // The surface keeps blue, green, red.
    return QImage(surface.Pixels().data(), side, side, side * 3, QImage::Format_BGR888).copy();
}

void InstallSceneThumbnailRenderer() {
    SetSceneRenderer(RenderSceneThumbnail);
}

}  // namespace orva
