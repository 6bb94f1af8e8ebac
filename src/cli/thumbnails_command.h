#pragma once

#include <string>
#include <vector>

namespace orva {

inline constexpr int kDefaultThumbnailSize = 100;

struct CThumbnailOptions {
    std::string folder;
    bool force = false;
    int size = kDefaultThumbnailSize;
    // IN, OUT and SIZE of one picture for the desktop's thumbnailer; empty for a folder.
    std::vector<std::string> one;
    std::string gemLibraryPath;
    std::string materialDirectory;
};

// The thumbnail a scene file gets in its folder: the same title with ".bmp".
std::string ThumbnailPath(const std::string& scenePath);

// Writes the thumbnails of a folder's scene files (TITLE.orv gets TITLE.bmp, a 24-bit
// picture of size x size rendered per pixel after Zoom All), or one PNG for the desktop.
// Exit status: 0 all written, 1 some scene or picture failed, 2 bad options, 130 interrupted.
int RunThumbnailsCommand(const CThumbnailOptions& options);

}  // namespace orva
