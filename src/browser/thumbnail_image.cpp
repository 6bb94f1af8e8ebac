#include "browser/thumbnail_image.h"

#include <vector>

#include "image/bmp_reader.h"

namespace orva {

namespace {

// The source position whose pixel covers the centre of target position `target` when `length`
// source pixels are stretched over kThumbnailSize: a plain stretch without blending, so the
// hard edges of a rendered jewel stay hard. At length 100 it is `target` itself, which keeps a
// 100 × 100 bitmap pixel for pixel.
int SourceIndex(int target, int length) {
    return static_cast<int>((2 * int64_t{target} + 1) * length / (2 * kThumbnailSize));
}

}  // namespace

QImage ThumbnailFromBmp(const BmpImage& image) {
    if (image.pixels == nullptr || image.width <= 0 || image.height <= 0) {
        return {};
    }
    // Sampling straight from the bitmap needs no full-size copy of a large picture.
    std::vector<int> columns(kThumbnailSize);
    for (int x = 0; x < kThumbnailSize; ++x) {
        columns[x] = 3 * SourceIndex(x, image.width);
    }
    QImage thumbnail(kThumbnailSize, kThumbnailSize, QImage::Format_RGB32);
    for (int y = 0; y < kThumbnailSize; ++y) {
        // The bitmap's rows are bottom-up; the thumbnail's top row is the picture's top row.
        const int fromTop = SourceIndex(y, image.height);
        const uint8_t* row =
            image.pixels + static_cast<int64_t>(image.height - 1 - fromTop) * image.stride;
        auto* out = reinterpret_cast<QRgb*>(thumbnail.scanLine(y));
        for (int x = 0; x < kThumbnailSize; ++x) {
            const uint8_t* bgr = row + columns[x];
            out[x] = qRgb(bgr[2], bgr[1], bgr[0]);
        }
    }
    return thumbnail;
}

QImage ReadThumbnail(const std::string& path) {
    BmpImage image;
    if (ReadBmpFile(path, image) != 1) {
        return {};
    }
    QImage thumbnail = ThumbnailFromBmp(image);
    ReleaseBmpImage(image);
    return thumbnail;
}

}  // namespace orva
