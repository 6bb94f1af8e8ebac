#pragma once

#include <cstdint>
#include <string>

#include "render/render_scene.h"
#include "scene/display_mode.h"

namespace orva {

class CDrawSurface;
class CImageSurface;
class CViewport;
struct CSceneRange;

enum class EPictureBackground { kWindow, kWhite, kTransparent, kColour };

// What the user chose for a saved picture of the view.
struct CPictureSaveSettings {
    int width = 0;
    int height = 0;
    int antialias = 3;  // samples per side of a pixel, 1 (none) .. 4
    EPictureBackground background = EPictureBackground::kWindow;
    uint32_t colour = 0xFFFFFF;  // 0xRRGGBB of the kColour background
    // The picture shows the whole piece, as Zoom All in the view's direction at the picture's
    // size would, leaving `margin` percent (0..45) of it free on each side; else the view as
    // shown.
    bool fitPiece = false;
    float margin = 0.0f;
    std::string path;  // ".png", ".jpg", ".jpeg" or ".bmp"
};

// Why the settings cannot make a picture, or empty when they can.
std::string CheckPictureSaveSettings(const CPictureSaveSettings& settings);

// The request for what the viewport `view` shows (its view, zoom and pan, or its view fitted
// to `scene` when the settings fit the piece) in display mode `mode` (shaded per vertex in
// mode 300, else per pixel) at the settings' size, with their anti-aliasing and background,
// into `surface`.
CRenderRequest MakePictureSaveRequest(const CViewport& view, EDisplayMode mode,
                                      const CSceneRange& scene,
                                      const CPictureSaveSettings& settings, CDrawSurface& surface,
                                      int threads);

// The colour, 0xRRGGBB, of the picture where nothing is drawn; black behind a transparent one.
uint32_t SavedPictureBackground(const CPictureSaveSettings& settings);

// Writes a picture rendered whole in memory (a BMP, whose rows cannot be streamed) in the format of
// the settings' path, with its coverage as alpha when the background is transparent; false (errno
// says why) when it cannot be written.
bool WriteSavedPicture(const CPictureSaveSettings& settings, const CImageSurface& surface);

}  // namespace orva
