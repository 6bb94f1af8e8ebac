#include <cerrno>

#include "image/picture_writer.h"
#include "image/png_row_writer.h"

namespace orva {

bool WritePngFile(const std::string& path, const CPictureView& picture, const CPngTexts& texts) {
    if (picture.width <= 0 || picture.height <= 0 || picture.pixels == nullptr) {
        errno = EINVAL;
        return false;
    }
    const bool alpha = picture.alpha != nullptr;
    CPngRowWriter writer;
    if (!writer.Open(path, picture.width, picture.height, alpha, texts)) {
        return false;
    }
    for (int y = 0; y < picture.height; ++y) {
        const uint8_t* rowAlpha = alpha ? picture.alpha + y * picture.alphaStride : nullptr;
        if (!writer.WriteRow(picture.pixels + y * picture.stride, rowAlpha)) {
            return false;
        }
    }
    return writer.Finish();
}

}  // namespace orva
