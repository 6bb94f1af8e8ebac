#include "report/report_pictures.h"

#include "picture/scene_picture.h"
#include "render/tessellation/tessellation_store.h"
#include "view/draw_surface.h"

namespace orva {

namespace {

CReportPicture Rgb(const CImageSurface& surface) {
    CReportPicture picture{surface.Width(), surface.Height(), surface.Pixels()};
    // The surface holds blue, green, red.
    for (size_t i = 0; i + 2 < picture.rgb.size(); i += 3) {
        std::swap(picture.rgb[i], picture.rgb[i + 2]);
    }
    return picture;
}

}  // namespace

bool RenderReportPictures(CSceneAnchor& scene, int threads, CReportPictures& pictures,
                          CInterrupt* interrupt) {
    // Both views share the scene's tessellation: the second picture need not sample it again.
    CTessellationStore tessellation;
    CPictureSettings settings;
    settings.antialias = 3;
    settings.zoomAll = true;
    settings.margin = 6.0f;  // the piece clear of the box's frame
    settings.background = 0xFFFFFF;
    settings.threads = threads;
    settings.tessellation = &tessellation;
    for (const int view : {1, 3}) {
        settings.view = view;
        settings.keepMemory = view == 1;
        CImageSurface surface(kReportPictureWidth, kReportPictureHeight, 0xFFFFFF);
        if (RenderScenePicture(scene, settings, surface, interrupt).interrupted) {
            return false;
        }
        (view == 1 ? pictures.front : pictures.top) = Rgb(surface);
    }
    return true;
}

}  // namespace orva
