#pragma once

#include <QImage>
#include <string>

#include "image/bmp_image.h"

namespace orva {

// Every picture of the file list is exactly this many pixels wide and high.
inline constexpr int kThumbnailSize = 100;

// The thumbnail of a decoded bitmap: the picture itself when it is 100 × 100, otherwise
// stretched to 100 × 100 without keeping its proportions. A null image when `image` holds no
// pixels. Safe to call on any thread.
QImage ThumbnailFromBmp(const BmpImage& image);

// Reads `path` with our own BMP reader and makes its thumbnail; a null image when the file is
// missing or cannot be read, so the caller shows the placeholder.
QImage ReadThumbnail(const std::string& path);

}  // namespace orva
