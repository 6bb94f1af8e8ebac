#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "image/picture_writer.h"

namespace orva {

struct CMp4Settings {
    int width = 0;
    int height = 0;
    int framesPerSecond = 24;  // 1..1000
    // 0xRRGGBB of the column and row that round an odd width or height up to even, which
    // 4:2:0 video needs; the video is then one pixel wider or taller than the frames.
    uint32_t padColour = 0;
    int crf = 20;  // H.264 constant rate factor: 0 best .. 51 smallest
};

// Writes frames of one size, in order, as an H.264 video (4:2:0, BT.709) in an MP4 file whose
// index comes first, so that browsers start playing before the whole file is there. The frames'
// alpha, if any, is ignored. A writer destroyed without finishing removes its file, so a
// stopped video leaves nothing behind.
class CMp4Writer {
public:
    CMp4Writer();
    ~CMp4Writer();
    CMp4Writer(const CMp4Writer&) = delete;
    CMp4Writer& operator=(const CMp4Writer&) = delete;

    // Creates the file and readies the encoder; false (Error() says why) when the file cannot
    // be created, no H.264 encoder is there, or the settings are out of range.
    bool Open(const std::string& path, const CMp4Settings& settings);
    // The frame must have the video's size (before padding).
    bool AddFrame(const CPictureView& frame);
    // Flushes the encoder and completes the file; false leaves no file.
    bool Finish();
    const std::string& Error() const { return m_error; }

    // Even sizes pass unchanged, odd ones gain one.
    static int PaddedSide(int side) { return side + (side & 1); }

private:
    struct CState;

    bool Fail(const std::string& reason);
    bool FailWith(const char* what, int averror);
    void Abandon();
    bool Drain();

    std::unique_ptr<CState> m_state;
    std::string m_path;
    std::string m_error;
};

}  // namespace orva
