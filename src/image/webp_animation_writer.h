#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "image/picture_writer.h"

namespace orva {

struct CWebpAnimationSettings {
    int width = 0;
    int height = 0;
    int framesPerSecond = 24;  // 1..1000
    // Lossless keeps every pixel exactly; lossy files are several times smaller.
    bool lossless = false;
    float quality = 90.0f;  // 0..100: lossy picture quality, or lossless compression effort
    bool alpha = false;     // frames carry alpha and the file keeps it
};

// Writes frames of one size, in order, into an animated WebP that loops forever. Frames are
// compressed as they come and the file is written by Finish: until then the path holds an
// empty file, and a writer destroyed without finishing removes it, so a stopped animation
// leaves nothing behind.
class CWebpAnimationWriter {
public:
    CWebpAnimationWriter();
    ~CWebpAnimationWriter();
    CWebpAnimationWriter(const CWebpAnimationWriter&) = delete;
    CWebpAnimationWriter& operator=(const CWebpAnimationWriter&) = delete;

    // Creates the file; false (Error() says why) when it cannot be created or the settings
    // are out of range.
    bool Open(const std::string& path, const CWebpAnimationSettings& settings);
    // The frame must have the animation's size; its alpha is read only when the settings ask.
    bool AddFrame(const CPictureView& frame);
    // Writes the animation; false leaves no file.
    bool Finish();
    const std::string& Error() const { return m_error; }

private:
    struct CState;

    bool Fail(const std::string& reason);
    void Abandon();

    std::unique_ptr<CState> m_state;
    std::string m_path;
    std::string m_error;
};

}  // namespace orva
