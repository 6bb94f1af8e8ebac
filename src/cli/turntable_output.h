#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "image/picture_writer.h"

namespace orva {

enum class ETurntableFormat { kWebp, kMp4, kGif, kFolder, kUnknown };

// ".webp", ".mp4" and ".gif" in any case name an animation file; a name ending in "/", without
// an extension or naming a folder that is there names a folder of frames; any other is unknown.
ETurntableFormat TurntableFormatOf(const std::string& path);

struct CTurntableOutputSettings {
    int width = 0;
    int height = 0;
    int frames = 0;
    int framesPerSecond = 24;
    bool alpha = false;      // frames carry alpha to keep (not in MP4 or GIF)
    uint32_t padColour = 0;  // 0xRRGGBB rounding an MP4's odd sides up to even
};

// Where a turntable's frames go, in order. An animation file is written under a temporary
// name in its own folder and takes its name only when finished, so an output dropped before
// Finish leaves nothing under that name. A folder gets frame_000.png, frame_001.png, ... (more
// digits beyond 1000 frames), each appearing whole, so a stopped run leaves the frames done.
class CTurntableOutput {
public:
    virtual ~CTurntableOutput() = default;
    virtual bool Add(const CPictureView& frame) = 0;
    virtual bool Finish() = 0;
    // Why the last call failed, starting with the file concerned.
    const std::string& Error() const { return m_error; }

protected:
    std::string m_error;
};

// The output for the path's format, ready for the first frame; null with `error` set when it
// cannot be created.
std::unique_ptr<CTurntableOutput> OpenTurntableOutput(const std::string& path,
                                                      const CTurntableOutputSettings& settings,
                                                      std::string& error);

// The name of a folder's frame file, as the folder output writes it.
std::string TurntableFrameName(int frame, int frames);

}  // namespace orva
