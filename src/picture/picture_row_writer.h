#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "image/picture_writer.h"

namespace orva {

// A picture file written one row at a time, top row first, so that the picture never has to
// be whole in memory. Like every picture writer it writes under a temporary name and gives
// the file its name only in a successful Finish; a writer destroyed before that, or one that
// failed, leaves nothing behind. Every call returns false with errno saying why.
class CPictureRowWriter {
public:
    virtual ~CPictureRowWriter() = default;
    // `width` pixels of blue, green and red, and `width` bytes of straight alpha when the
    // writer keeps alpha (null: opaque).
    virtual bool WriteRow(const uint8_t* bgr, const uint8_t* alpha) = 0;
    // After the last row: completes the file and renames it onto its target.
    virtual bool Finish() = 0;
};

// Starts a PNG (with alpha when `alpha`, and `texts`) or a baseline JPEG of `jpegQuality`
// (1..100, never with alpha) of width x height pixels at `path`. The files are byte for byte
// those WritePngFile and WriteJpegFile write of the same picture. Null, with `error` set to
// errno's reason, when the file cannot be started; BMP rows run bottom-up and cannot be
// streamed (EINVAL).
std::unique_ptr<CPictureRowWriter> OpenPictureRowWriter(const std::string& path,
                                                        EPictureFormat format, int width,
                                                        int height, bool alpha, int jpegQuality,
                                                        const CPngTexts& texts, int& error);

}  // namespace orva
