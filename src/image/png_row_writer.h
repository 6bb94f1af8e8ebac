#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "image/picture_writer.h"

namespace orva {

struct CPngCodec;

// Writes an 8-bit RGB or RGBA PNG one row at a time, top row first, so a picture never has to
// be whole in memory. The file is written under a temporary name beside the target and takes
// the target's name only in Finish (see CReplacingFile). Every call returns false with errno
// saying why; after a failure the writer stays failed, and neither the target nor the
// temporary file is left behind.
class CPngRowWriter {
public:
    CPngRowWriter();
    // Without a successful Finish, removes the temporary file.
    ~CPngRowWriter();
    CPngRowWriter(const CPngRowWriter&) = delete;
    CPngRowWriter& operator=(const CPngRowWriter&) = delete;

    // Starts a PNG of width x height pixels (1..1000000 each), with an alpha channel when
    // `alpha`, and the texts stored uncompressed before the pixels.
    bool Open(const std::string& path, int width, int height, bool alpha,
              const CPngTexts& texts = {});
    // Writes the next row: `width` pixels of blue, green, red and, with an alpha channel,
    // `width` bytes of straight alpha (null: opaque).
    bool WriteRow(const uint8_t* bgr, const uint8_t* alpha = nullptr);
    // After the last row: completes the file, closes it and renames it onto the target.
    bool Finish();

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    bool HasAlpha() const { return m_alpha; }
    int RowsWritten() const { return m_rowsWritten; }

private:
    bool Fail(int reason);
    bool Failed();

    std::unique_ptr<CPngCodec> m_codec;  // keeps png.h out of this header; null once done
    int m_width = 0;
    int m_height = 0;
    bool m_alpha = false;
    int m_rowsWritten = 0;
    int m_error = 0;  // the first failure's errno; later calls report it again
    std::vector<uint8_t> m_row;
};

}  // namespace orva
