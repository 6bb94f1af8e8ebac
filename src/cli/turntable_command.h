#pragma once

#include <string>

namespace orva {

inline constexpr int kDefaultTurntableFrames = 36;
inline constexpr int kDefaultTurntableFps = 24;

struct CTurntableOptions {
    std::string scenePath;
    std::string outputPath;                // ".webp", ".mp4" (any case) or a folder of PNG frames
    int frames = kDefaultTurntableFrames;  // 1..3600
    std::string size = "800x800";
    int antialias = 1;               // 1..4
    std::string turn = "0,0";        // azimuth of the first frame and elevation, in degrees
    std::string background;          // "RRGGBB" or "transparent"; empty: the display's grey
    int view = 1;                    // standard view 1..6
    float margin = 0.0f;             // percent of the frame left free on each side, 0..45
    int fps = kDefaultTurntableFps;  // 1..120
    std::string gemLibraryPath;      // empty: the library beside the program
    std::string materialDirectory;   // empty: the folder beside the program
    int threads = 0;                 // below 1: one per core
};

// Renders the scene once around the view's vertical axis, all frames at one zoom that fits
// every azimuth, and writes the frames as an animation or a folder of pictures. Exit status:
// 0 written, 1 unreadable scene or unwritable output, 2 bad options, 130 interrupted (nothing
// under the output's name, except the whole frames a folder got before).
int RunTurntableCommand(const CTurntableOptions& options);

}  // namespace orva
