#pragma once

#include <string>
#include <vector>

#include "image/picture_writer.h"

namespace orva {

struct CRenderOptions {
    std::vector<std::string> scenePaths;  // one or more, rendered one after another
    std::string outputPath;  // ".png", ".jpg", ".jpeg" or ".bmp" in any case; {name} the scene's
    std::string size = "800x600";
    int mode = 400;
    int view = 1;
    bool zoomAll = false;
    int antialias = 1;              // N x N samples per pixel, modes 400 and 300
    std::string turn;               // "AZ" or "AZ,EL" degrees; empty: none
    float zoom = 1.0f;              // magnification applied last
    float margin = 0.0f;            // percent left free on each side by --zoom-all
    std::string background;         // "RRGGBB" or "transparent"; empty: the display's grey
    std::string gemLibraryPath;     // empty: the library beside the program
    std::string materialDirectory;  // empty: the folder beside the program
    int threads = 0;                // below 1: one per core
    bool stats = false;
    int quality = kDefaultJpegQuality;  // JPEG only, 1..100
};

// Width and height of "WxH", each 1..16384; false when the text is not that.
bool ParsePictureSize(const std::string& text, int& width, int& height);

// Renders each scene as the viewer's first picture would show it and writes it. Exit status:
// 0 written, 1 unreadable scene or unwritable picture (of several scenes: any of them), 2 bad
// options (an output name of no known picture format among them, or several scenes with no
// {name} in it), 130 interrupted (the rows done are written).
int RunRenderCommand(const CRenderOptions& options);

}  // namespace orva
