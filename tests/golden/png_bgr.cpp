#include "golden/png_bgr.h"

#include <png.h>

namespace orva::test {

std::vector<uint8_t> ReadPngBgr(const std::string& path, int& width, int& height) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&image, path.c_str()) == 0) {
        return {};
    }
    image.format = PNG_FORMAT_BGR;
    std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(image));
    if (png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr) == 0) {
        png_image_free(&image);
        return {};
    }
    width = static_cast<int>(image.width);
    height = static_cast<int>(image.height);
    return pixels;
}

bool WritePngBgr(const std::string& path, int width, int height, const std::vector<uint8_t>& bgr) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_BGR;
    return png_image_write_to_file(&image, path.c_str(), 0, bgr.data(), 0, nullptr) != 0;
}

}  // namespace orva::test
