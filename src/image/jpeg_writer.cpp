#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

// jpeglib.h wants FILE and size_t declared before it.
#include <jpeglib.h>

#include "image/picture_writer.h"
#include "platform/replacing_file.h"

namespace orva {

namespace {

// libjpeg ends the program on an error unless the handler jumps out; this one jumps back to
// the writer, which then reports the failure.
struct CJpegErrors {
    jpeg_error_mgr manager{};
    std::jmp_buf back{};
};

extern "C" void JumpBackOnError(j_common_ptr codec) {
    std::longjmp(reinterpret_cast<CJpegErrors*>(codec->err)->back, 1);
}

extern "C" void StayQuiet(j_common_ptr, int) {}

struct CJpegWrite {
    jpeg_compress_struct codec{};
    ~CJpegWrite() { jpeg_destroy_compress(&codec); }
};

// Nothing with a destructor may live between setjmp and the calls that can fail, so the row
// is converted into a buffer owned by the caller.
bool WriteJpeg(std::FILE* file, const CPictureView& picture, int quality,
               std::vector<uint8_t>& row) {
    CJpegErrors errors;
    CJpegWrite write;
    write.codec.err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = JumpBackOnError;
    errors.manager.emit_message = StayQuiet;
    if (setjmp(errors.back)) {
        return false;
    }
    jpeg_create_compress(&write.codec);
    jpeg_stdio_dest(&write.codec, file);
    write.codec.image_width = static_cast<JDIMENSION>(picture.width);
    write.codec.image_height = static_cast<JDIMENSION>(picture.height);
    write.codec.input_components = 3;
    write.codec.in_color_space = JCS_RGB;
    jpeg_set_defaults(&write.codec);
    jpeg_set_quality(&write.codec, quality, TRUE);
    jpeg_start_compress(&write.codec, TRUE);
    JSAMPROW rows[1] = {row.data()};
    for (int y = 0; y < picture.height; ++y) {
        const uint8_t* source = picture.pixels + y * picture.stride;
        for (int x = 0; x < picture.width; ++x) {
            row[3 * x] = source[3 * x + 2];
            row[3 * x + 1] = source[3 * x + 1];
            row[3 * x + 2] = source[3 * x];
        }
        jpeg_write_scanlines(&write.codec, rows, 1);
    }
    jpeg_finish_compress(&write.codec);
    return true;
}

bool Writable(const CPictureView& picture, int quality) {
    // JPEG sides stop at 65500 pixels.
    return picture.width > 0 && picture.height > 0 && picture.width <= 65500 &&
           picture.height <= 65500 && picture.pixels != nullptr && quality >= 1 && quality <= 100;
}

}  // namespace

bool EncodeJpeg(const CPictureView& picture, int quality, std::string& bytes) {
    if (!Writable(picture, quality)) {
        errno = EINVAL;
        return false;
    }
    char* buffer = nullptr;
    size_t size = 0;
    std::FILE* memory = open_memstream(&buffer, &size);
    if (memory == nullptr) {
        return false;
    }
    std::vector<uint8_t> row(static_cast<size_t>(picture.width) * 3);
    const bool encoded = WriteJpeg(memory, picture, quality, row);
    const bool closed = std::fclose(memory) == 0;
    if (encoded && closed) {
        bytes.assign(buffer, size);
    }
    std::free(buffer);
    return encoded && closed;
}

bool WriteJpegFile(const std::string& path, const CPictureView& picture, int quality) {
    if (!Writable(picture, quality)) {
        errno = EINVAL;
        return false;
    }
    std::vector<uint8_t> row(static_cast<size_t>(picture.width) * 3);
    return WriteReplacingFile(
        path, [&](std::FILE* file) { return WriteJpeg(file, picture, quality, row); });
}

}  // namespace orva
