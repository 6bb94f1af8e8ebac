#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace orva::test {

// Every frame of an animation or video as the viewer of the file would show it, in blue,
// green, red, alpha order (alpha 255 for video), top row first.
struct CDecodedFrames {
    bool read = false;
    int width = 0;
    int height = 0;
    int loopCount = -1;                // WebP only: 0 is forever
    double framesPerSecond = 0.0;      // video only
    std::vector<int> endMilliseconds;  // WebP only: when each frame stops showing
    std::vector<std::vector<uint8_t>> bgra;

    const uint8_t* At(int frame, int x, int y) const {
        return bgra[frame].data() + 4 * (size_t(y) * width + x);
    }
};

// Through libwebpdemux's animation decoder.
CDecodedFrames DecodeWebpAnimation(const std::string& path);
// Through libavformat and libavcodec, turned into colours as the stream's tags say.
CDecodedFrames DecodeVideo(const std::string& path);

}  // namespace orva::test
