#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <vector>

#include "image/bmp_image.h"
#include "image/picture_writer.h"
#include "platform/replacing_file.h"

namespace orva {

namespace {

void PutLittleEndian(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
    }
}

std::vector<uint8_t> BmpHeaders(const CPictureView& picture, uint32_t imageBytes) {
    std::vector<uint8_t> h;
    h.push_back('B');
    h.push_back('M');
    PutLittleEndian(h, 14 + 40 + imageBytes, 4);  // file size
    PutLittleEndian(h, 0, 4);                     // reserved
    PutLittleEndian(h, 14 + 40, 4);               // pixel data offset
    PutLittleEndian(h, 40, 4);                    // info header size
    PutLittleEndian(h, static_cast<uint32_t>(picture.width), 4);
    PutLittleEndian(h, static_cast<uint32_t>(picture.height), 4);  // positive: bottom-up
    PutLittleEndian(h, 1, 2);                                      // planes
    PutLittleEndian(h, 24, 2);                                     // bits per pixel
    PutLittleEndian(h, 0, 4);                                      // no compression
    PutLittleEndian(h, imageBytes, 4);
    PutLittleEndian(h, 2835, 4);  // 72 dots per inch
    PutLittleEndian(h, 2835, 4);
    PutLittleEndian(h, 0, 4);
    PutLittleEndian(h, 0, 4);
    return h;
}

}  // namespace

bool WriteBmpFile(const std::string& path, const CPictureView& picture) {
    if (picture.width <= 0 || picture.height <= 0 || picture.pixels == nullptr) {
        errno = EINVAL;
        return false;
    }
    const int64_t stride = BmpImageStride(picture.width);
    const int64_t imageBytes = stride * picture.height;
    if (imageBytes > 0xFFFFFFFFLL - 54) {
        errno = EFBIG;
        return false;
    }
    const std::vector<uint8_t> headers = BmpHeaders(picture, static_cast<uint32_t>(imageBytes));
    return WriteReplacingFile(path, [&](std::FILE* file) {
        bool ok = std::fwrite(headers.data(), 1, headers.size(), file) == headers.size();
        std::vector<uint8_t> row(static_cast<size_t>(stride), 0);
        for (int y = picture.height - 1; ok && y >= 0; --y) {
            const uint8_t* source = picture.pixels + y * picture.stride;
            std::copy(source, source + 3 * static_cast<size_t>(picture.width), row.begin());
            ok = std::fwrite(row.data(), 1, row.size(), file) == row.size();
        }
        return ok;
    });
}

}  // namespace orva
