#include "picture/picture_row_writer.h"

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <vector>

// jpeglib.h wants FILE and size_t declared before it.
#include <jpeglib.h>

#include "image/png_row_writer.h"
#include "platform/replacing_file.h"

namespace orva {

namespace {

class CPngPictureRowWriter : public CPictureRowWriter {
public:
    bool Open(const std::string& path, int width, int height, bool alpha, const CPngTexts& texts) {
        return m_png.Open(path, width, height, alpha, texts);
    }
    bool WriteRow(const uint8_t* bgr, const uint8_t* alpha) override {
        return m_png.WriteRow(bgr, alpha);
    }
    bool Finish() override { return m_png.Finish(); }

private:
    CPngRowWriter m_png;
};

// libjpeg ends the program on an error unless the handler jumps out; this one jumps back to
// the call that failed, keeping what errno said (a failed fwrite leaves its reason there).
struct CJpegErrors {
    jpeg_error_mgr manager{};  // first: libjpeg hands the handler a pointer to it
    std::jmp_buf back{};
    int error = 0;
};

extern "C" void JumpBackOnJpegError(j_common_ptr codec) {
    CJpegErrors* errors = reinterpret_cast<CJpegErrors*>(codec->err);
    errors->error = errno != 0 ? errno : EIO;
    std::longjmp(errors->back, 1);
}

extern "C" void StayQuietOnJpegMessage(j_common_ptr, int) {}

struct CJpegCodec {
    CReplacingFile file;
    CJpegErrors errors;
    jpeg_compress_struct codec{};
    ~CJpegCodec() { jpeg_destroy_compress(&codec); }
};

// libjpeg leaves by longjmp: nothing with a destructor may live in the functions below. The
// settings are those of WriteJpegFile, so that a streamed picture is the same file.
bool StartJpeg(CJpegCodec& jpeg, int width, int height, int quality) {
    jpeg.codec.err = jpeg_std_error(&jpeg.errors.manager);
    jpeg.errors.manager.error_exit = JumpBackOnJpegError;
    jpeg.errors.manager.emit_message = StayQuietOnJpegMessage;
    if (setjmp(jpeg.errors.back)) {
        return false;
    }
    jpeg_create_compress(&jpeg.codec);
    jpeg_stdio_dest(&jpeg.codec, jpeg.file.File());
    jpeg.codec.image_width = static_cast<JDIMENSION>(width);
    jpeg.codec.image_height = static_cast<JDIMENSION>(height);
    jpeg.codec.input_components = 3;
    jpeg.codec.in_color_space = JCS_RGB;
    jpeg_set_defaults(&jpeg.codec);
    jpeg_set_quality(&jpeg.codec, quality, TRUE);
    jpeg_start_compress(&jpeg.codec, TRUE);
    return true;
}

bool WriteJpegRow(CJpegCodec& jpeg, uint8_t* row) {
    if (setjmp(jpeg.errors.back)) {
        return false;
    }
    JSAMPROW rows[1] = {row};
    jpeg_write_scanlines(&jpeg.codec, rows, 1);
    return true;
}

bool EndJpeg(CJpegCodec& jpeg) {
    if (setjmp(jpeg.errors.back)) {
        return false;
    }
    jpeg_finish_compress(&jpeg.codec);
    return true;
}

class CJpegPictureRowWriter : public CPictureRowWriter {
public:
    bool Open(const std::string& path, int width, int height, int quality) {
        // JPEG sides stop at 65500 pixels.
        if (width < 1 || height < 1 || width > 65500 || height > 65500 || quality < 1 ||
            quality > 100) {
            return Fail(EINVAL);
        }
        m_jpeg = std::make_unique<CJpegCodec>();
        if (!m_jpeg->file.Open(path)) {
            return Fail(errno);
        }
        m_width = width;
        m_height = height;
        m_row.resize(static_cast<size_t>(width) * 3);
        errno = 0;
        return StartJpeg(*m_jpeg, width, height, quality) || Fail(m_jpeg->errors.error);
    }

    bool WriteRow(const uint8_t* bgr, const uint8_t*) override {
        if (!m_jpeg) {
            return Failed();
        }
        if (bgr == nullptr || m_rowsWritten >= m_height) {
            return Fail(EINVAL);
        }
        for (int x = 0; x < m_width; ++x) {
            m_row[3 * x] = bgr[3 * x + 2];
            m_row[3 * x + 1] = bgr[3 * x + 1];
            m_row[3 * x + 2] = bgr[3 * x];
        }
        errno = 0;
        if (!WriteJpegRow(*m_jpeg, m_row.data())) {
            return Fail(m_jpeg->errors.error);
        }
        ++m_rowsWritten;
        return true;
    }

    bool Finish() override {
        if (!m_jpeg) {
            return Failed();
        }
        if (m_rowsWritten != m_height) {
            return Fail(EINVAL);
        }
        errno = 0;
        if (!EndJpeg(*m_jpeg)) {
            return Fail(m_jpeg->errors.error);
        }
        if (!m_jpeg->file.Commit()) {
            return Fail(errno);
        }
        m_jpeg.reset();
        m_error = EBADF;  // the file is done: nothing more can be written to it
        return true;
    }

private:
    bool Fail(int reason) {
        m_error = reason != 0 ? reason : EIO;
        m_jpeg.reset();  // removes the temporary file
        errno = m_error;
        return false;
    }
    bool Failed() {
        errno = m_error != 0 ? m_error : EBADF;
        return false;
    }

    std::unique_ptr<CJpegCodec> m_jpeg;  // null once done or failed
    int m_width = 0;
    int m_height = 0;
    int m_rowsWritten = 0;
    int m_error = 0;
    std::vector<uint8_t> m_row;
};

}  // namespace

std::unique_ptr<CPictureRowWriter> OpenPictureRowWriter(const std::string& path,
                                                        EPictureFormat format, int width,
                                                        int height, bool alpha, int jpegQuality,
                                                        const CPngTexts& texts, int& error) {
    error = 0;
    bool opened = false;
    std::unique_ptr<CPictureRowWriter> writer;
    if (format == EPictureFormat::kPng) {
        auto png = std::make_unique<CPngPictureRowWriter>();
        opened = png->Open(path, width, height, alpha, texts);
        writer = std::move(png);
    } else if (format == EPictureFormat::kJpeg && !alpha) {
        auto jpeg = std::make_unique<CJpegPictureRowWriter>();
        opened = jpeg->Open(path, width, height, jpegQuality);
        writer = std::move(jpeg);
    } else {
        errno = EINVAL;
    }
    if (!opened) {
        error = errno != 0 ? errno : EIO;
        return nullptr;
    }
    return writer;
}

}  // namespace orva
