#include <png.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <vector>

#include "image/picture_writer.h"

namespace orva {

namespace {

struct CPngWrite {
    png_structp png = nullptr;
    png_infop info = nullptr;
    ~CPngWrite() { png_destroy_write_struct(&png, &info); }
};

// libpng reports errors by longjmp; nothing with a destructor may live between setjmp and the
// calls that can fail, so the row is converted into a buffer owned by the caller.
bool WritePng(std::FILE* file, const CPictureView& picture, std::vector<uint8_t>& row,
              std::vector<png_text>& texts) {
    CPngWrite write;
    write.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (write.png == nullptr) {
        return false;
    }
    write.info = png_create_info_struct(write.png);
    if (write.info == nullptr || setjmp(png_jmpbuf(write.png))) {
        return false;
    }
    png_init_io(write.png, file);
    png_set_IHDR(write.png, write.info, static_cast<png_uint_32>(picture.width),
                 static_cast<png_uint_32>(picture.height), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!texts.empty()) {
        png_set_text(write.png, write.info, texts.data(), static_cast<int>(texts.size()));
    }
    png_write_info(write.png, write.info);
    for (int y = 0; y < picture.height; ++y) {
        const uint8_t* source = picture.pixels + y * picture.stride;
        for (int x = 0; x < picture.width; ++x) {
            row[3 * x] = source[3 * x + 2];
            row[3 * x + 1] = source[3 * x + 1];
            row[3 * x + 2] = source[3 * x];
        }
        png_write_row(write.png, row.data());
    }
    png_write_end(write.png, nullptr);
    return true;
}

}  // namespace

bool WritePngFile(const std::string& path, const CPictureView& picture, const CPngTexts& texts) {
    if (picture.width <= 0 || picture.height <= 0 || picture.pixels == nullptr) {
        errno = EINVAL;
        return false;
    }
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    errno = 0;  // what libpng leaves here when it fails is the reason
    std::vector<uint8_t> row(static_cast<size_t>(picture.width) * 3);
    std::vector<png_text> chunks(texts.size());
    for (size_t i = 0; i < texts.size(); ++i) {
        chunks[i].compression = PNG_TEXT_COMPRESSION_NONE;
        chunks[i].key = const_cast<char*>(texts[i].first.c_str());
        chunks[i].text = const_cast<char*>(texts[i].second.c_str());
        chunks[i].text_length = texts[i].second.size();
    }
    const bool written = WritePng(file, picture, row, chunks);
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed) {
        const int reason = errno != 0 ? errno : EIO;
        std::remove(path.c_str());
        errno = reason;
        return false;
    }
    return true;
}

}  // namespace orva
