#include "image/png_row_writer.h"

#include <png.h>

#include <cerrno>
#include <csetjmp>

#include "platform/replacing_file.h"

namespace orva {

// libpng's state for one file; its errors jump back to the call that made them.
struct CPngCodec {
    CReplacingFile file;
    png_structp png = nullptr;
    png_infop info = nullptr;
    int error = 0;  // errno when libpng gave up
    ~CPngCodec() { png_destroy_write_struct(&png, &info); }
};

namespace {

constexpr int kLargestSide = 1000000;  // libpng's own limit unless told otherwise

extern "C" void JumpBackOnPngError(png_structp png, png_const_charp) {
    // A failed fwrite leaves its reason in errno; libpng's own complaints leave nothing there.
    static_cast<CPngCodec*>(png_get_error_ptr(png))->error = errno != 0 ? errno : EIO;
    png_longjmp(png, 1);
}

extern "C" void IgnorePngWarning(png_structp, png_const_charp) {}

// libpng leaves by longjmp: nothing with a destructor may live in the functions below, so the
// texts and the row are prepared in buffers owned by the caller.
bool WriteHeader(CPngCodec& codec, int width, int height, bool alpha,
                 std::vector<png_text>& texts) {
    if (setjmp(png_jmpbuf(codec.png))) {
        return false;
    }
    png_init_io(codec.png, codec.file.File());
    png_set_IHDR(codec.png, codec.info, static_cast<png_uint_32>(width),
                 static_cast<png_uint_32>(height), 8,
                 alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!texts.empty()) {
        png_set_text(codec.png, codec.info, texts.data(), static_cast<int>(texts.size()));
    }
    png_write_info(codec.png, codec.info);
    return true;
}

bool WriteOneRow(CPngCodec& codec, uint8_t* row) {
    if (setjmp(png_jmpbuf(codec.png))) {
        return false;
    }
    png_write_row(codec.png, row);
    return true;
}

bool WriteEnd(CPngCodec& codec) {
    if (setjmp(png_jmpbuf(codec.png))) {
        return false;
    }
    png_write_end(codec.png, nullptr);
    return true;
}

std::vector<png_text> TextChunks(const CPngTexts& texts) {
    std::vector<png_text> chunks(texts.size());
    for (size_t i = 0; i < texts.size(); ++i) {
        chunks[i].compression = PNG_TEXT_COMPRESSION_NONE;
        chunks[i].key = const_cast<char*>(texts[i].first.c_str());
        chunks[i].text = const_cast<char*>(texts[i].second.c_str());
        chunks[i].text_length = texts[i].second.size();
    }
    return chunks;
}

}  // namespace

CPngRowWriter::CPngRowWriter() = default;

CPngRowWriter::~CPngRowWriter() = default;

bool CPngRowWriter::Open(const std::string& path, int width, int height, bool alpha,
                         const CPngTexts& texts) {
    m_codec.reset();
    m_rowsWritten = 0;
    if (width < 1 || height < 1 || width > kLargestSide || height > kLargestSide) {
        return Fail(EINVAL);
    }
    m_width = width;
    m_height = height;
    m_alpha = alpha;
    m_codec = std::make_unique<CPngCodec>();
    if (!m_codec->file.Open(path)) {
        return Fail(errno);
    }
    m_codec->png = png_create_write_struct(PNG_LIBPNG_VER_STRING, m_codec.get(), JumpBackOnPngError,
                                           IgnorePngWarning);
    if (m_codec->png == nullptr) {
        return Fail(ENOMEM);
    }
    m_codec->info = png_create_info_struct(m_codec->png);
    if (m_codec->info == nullptr) {
        return Fail(ENOMEM);
    }
    m_row.resize(static_cast<size_t>(width) * (alpha ? 4 : 3));
    std::vector<png_text> chunks = TextChunks(texts);
    errno = 0;
    if (!WriteHeader(*m_codec, width, height, alpha, chunks)) {
        return Fail(m_codec->error);
    }
    m_error = 0;
    return true;
}

bool CPngRowWriter::WriteRow(const uint8_t* bgr, const uint8_t* alpha) {
    if (!m_codec) {
        return Failed();
    }
    if (bgr == nullptr || m_rowsWritten >= m_height) {
        return Fail(EINVAL);
    }
    const int step = m_alpha ? 4 : 3;
    uint8_t* target = m_row.data();
    for (int x = 0; x < m_width; ++x, target += step, bgr += 3) {
        target[0] = bgr[2];
        target[1] = bgr[1];
        target[2] = bgr[0];
        if (m_alpha) {
            target[3] = alpha != nullptr ? alpha[x] : 255;
        }
    }
    errno = 0;
    if (!WriteOneRow(*m_codec, m_row.data())) {
        return Fail(m_codec->error);
    }
    ++m_rowsWritten;
    return true;
}

bool CPngRowWriter::Finish() {
    if (!m_codec) {
        return Failed();
    }
    if (m_rowsWritten != m_height) {
        return Fail(EINVAL);
    }
    errno = 0;
    if (!WriteEnd(*m_codec)) {
        return Fail(m_codec->error);
    }
    if (!m_codec->file.Commit()) {
        return Fail(errno);
    }
    m_codec.reset();
    m_error = EBADF;  // the file is done: nothing more can be written to it
    return true;
}

bool CPngRowWriter::Fail(int reason) {
    m_error = reason != 0 ? reason : EIO;
    m_codec.reset();  // removes the temporary file
    errno = m_error;
    return false;
}

bool CPngRowWriter::Failed() {
    errno = m_error != 0 ? m_error : EBADF;
    return false;
}

}  // namespace orva
