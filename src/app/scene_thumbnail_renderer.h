#pragma once

#include <QImage>
#include <string>

namespace orva {

// Renders a scene file's thumbnail as `orva thumbnails` does: the whole scene after Zoom All
// on the thumbnails' grey, square, `side` pixels wide. Quiet and safe on any thread, beside the
// view's own render; a null image when the file is no scene or cannot be read.
QImage RenderSceneThumbnail(const std::string& path, int side);

// Lets the Open File browser render the thumbnails that scene files lack.
void InstallSceneThumbnailRenderer();

}  // namespace orva
