#include "picture/picture_save_settings.h"

#include "image/picture_writer.h"
#include "picture/picture_limits.h"
#include "scene/display_mode.h"
#include "scene/scene_file.h"
#include "view/display_colours.h"
#include "view/draw_surface.h"
#include "view/view_camera.h"
#include "view/zoom_all.h"

namespace orva {

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;

bool SideFits(int side) {
    return side >= 1 && side <= kMaxPictureSide;
}

}  // namespace

std::string CheckPictureSaveSettings(const CPictureSaveSettings& settings) {
    if (!SideFits(settings.width) || !SideFits(settings.height)) {
        return "The picture must be 1 to " + std::to_string(kMaxPictureSide) +
               " pixels wide and high.";
    }
    if (settings.antialias < 1 || settings.antialias > 4) {
        return "Anti-aliasing takes 1 to 4 samples per side.";
    }
    if (settings.fitPiece && !(settings.margin >= 0.0f && settings.margin <= 45.0f)) {
        return "The margin around the piece is 0 to 45 percent.";
    }
    const std::optional<EPictureFormat> format = PictureFormatOf(settings.path);
    if (!format) {
        return "Pictures are saved as .png, .jpg or .bmp files.";
    }
    if (settings.background == EPictureBackground::kTransparent &&
        *format != EPictureFormat::kPng) {
        return "Only PNG pictures keep a transparent background.";
    }
    return {};
}

CRenderRequest MakePictureSaveRequest(const CViewport& view, EDisplayMode mode,
                                      const CSceneRange& scene,
                                      const CPictureSaveSettings& settings, CDrawSurface& surface,
                                      int threads) {
    // The same view in a viewport of the picture's size: the zoom keeps the visible height, so
    // a larger picture shows the same part of the scene in more pixels.
    CViewCamera camera;
    camera.CurrentViewport() = view;
    camera.CurrentViewport().ClearRepaint();
    camera.SetViewportRect(0, 0, settings.width, settings.height);
    // Fitted as the command line's --zoom-all --margin fits, so that both give one picture.
    if (settings.fitPiece) {
        ZoomAllToShorterSide(camera, scene);
        LeaveMargin(camera.CurrentViewport(), settings.margin);
    }
    // The OpenGL modes save the picture of the rendered mode.
    const EShading shading =
        mode == kModeRenderedVertexColours ? EShading::kVertexColours : EShading::kPerPixel;
    CRenderRequest request = MakeRenderRequest(camera, scene, surface, shading, threads);
    request.antialias = settings.antialias;
    request.coverage = settings.background == EPictureBackground::kTransparent;
    // The window's grey is the render's own background, as on screen.
    if (settings.background == EPictureBackground::kWhite ||
        settings.background == EPictureBackground::kColour) {
        request.background = SavedPictureBackground(settings);
    }
    return request;
}

uint32_t SavedPictureBackground(const CPictureSaveSettings& settings) {
    switch (settings.background) {
        case EPictureBackground::kWhite:
            return kWhite;
        case EPictureBackground::kTransparent:
            return 0;
        case EPictureBackground::kColour:
            return settings.colour;
        case EPictureBackground::kWindow:
            break;
    }
    return DisplayGrey();
}

bool WriteSavedPicture(const CPictureSaveSettings& settings, const CImageSurface& surface) {
    CPictureView picture;
    picture.width = surface.Width();
    picture.height = surface.Height();
    picture.stride = static_cast<int64_t>(surface.Width()) * 3;
    picture.pixels = surface.Pixels().data();
    if (settings.background == EPictureBackground::kTransparent && !surface.Coverage().empty()) {
        picture.alpha = surface.Coverage().data();
        picture.alphaStride = surface.Width();
    }
    return WritePictureFile(settings.path, picture);
}

}  // namespace orva
