#include <strings.h>

#include <cerrno>
#include <filesystem>

#include "image/picture_writer.h"

namespace orva {

std::optional<EPictureFormat> PictureFormatOf(const std::string& path) {
    const std::string extension = std::filesystem::path(path).extension().string();
    const auto is = [&extension](const char* name) {
        return strcasecmp(extension.c_str(), name) == 0;
    };
    if (is(".png")) {
        return EPictureFormat::kPng;
    }
    if (is(".bmp")) {
        return EPictureFormat::kBmp;
    }
    if (is(".jpg") || is(".jpeg")) {
        return EPictureFormat::kJpeg;
    }
    return std::nullopt;
}

bool WritePictureFile(const std::string& path, const CPictureView& picture, int jpegQuality) {
    const std::optional<EPictureFormat> format = PictureFormatOf(path);
    if (!format) {
        errno = EINVAL;
        return false;
    }
    switch (*format) {
        case EPictureFormat::kBmp:
            return WriteBmpFile(path, picture);
        case EPictureFormat::kJpeg:
            return WriteJpegFile(path, picture, jpegQuality);
        case EPictureFormat::kPng:
            break;
    }
    return WritePngFile(path, picture);
}

}  // namespace orva
