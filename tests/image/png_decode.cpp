#include "image/png_decode.h"

#include <png.h>

namespace orva {

bool DecodePng(const std::string& path, CDecodedPng& decoded) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&image, path.c_str()) == 0) {
        return false;
    }
    decoded.hasAlpha = (image.format & PNG_FORMAT_FLAG_ALPHA) != 0;
    image.format = PNG_FORMAT_RGBA;
    decoded.width = static_cast<int>(image.width);
    decoded.height = static_cast<int>(image.height);
    decoded.rgba.assign(PNG_IMAGE_SIZE(image), 0);
    return png_image_finish_read(&image, nullptr, decoded.rgba.data(), 0, nullptr) != 0;
}

}  // namespace orva
