#pragma once

#include <memory>
#include <string>

#include "image/picture_writer.h"

namespace orva {

struct CGifSettings {
    int width = 0;
    int height = 0;
    int framesPerSecond = 24;  // 1..100: a GIF counts its delays in hundredths of a second
};

// Writes frames of one size, in order, as an animated GIF that loops for ever, through FFmpeg's
// GIF encoder. One palette of 256 colours is made for the whole animation from every frame's
// colours (the piece's golds and greys get the entries, not a fixed web palette), and each
// frame is dithered to it; so the frames are kept by the palette filter until Finish. The
// frames' alpha, if any, is ignored. A writer destroyed without finishing removes its file.
class CGifAnimationWriter {
public:
    CGifAnimationWriter();
    ~CGifAnimationWriter();
    CGifAnimationWriter(const CGifAnimationWriter&) = delete;
    CGifAnimationWriter& operator=(const CGifAnimationWriter&) = delete;

    // Creates the file and readies the encoder; false (Error() says why) when the file cannot
    // be created or the settings are out of range.
    bool Open(const std::string& path, const CGifSettings& settings);
    // The frame must have the animation's size.
    bool AddFrame(const CPictureView& frame);
    // Makes the palette, writes every frame and completes the file; false leaves no file.
    bool Finish();
    const std::string& Error() const { return m_error; }

private:
    struct CState;

    bool Fail(const std::string& reason);
    bool FailWith(const char* what, int averror);
    void Abandon();
    bool EncodeFiltered();
    bool WritePackets();

    std::unique_ptr<CState> m_state;
    std::string m_path;
    std::string m_error;
};

}  // namespace orva
