#include "cli/thumbnails_command.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "cli/early_end_note.h"
#include "cli/scene_load.h"
#include "cli/stop_on_signal.h"
#include "image/picture_writer.h"
#include "picture/scene_picture.h"
#include "view/display_colours.h"
#include "view/draw_surface.h"

namespace orva {

namespace {

namespace fs = std::filesystem;

constexpr int kMaxThumbnailSize = 4096;

bool IsSceneFile(const fs::directory_entry& entry) {
    std::string extension = entry.path().extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    std::error_code error;
    return extension == ".orv" && entry.is_regular_file(error);
}

// Renders the scene file into the whole picture after Zoom All; false (with a message) when the
// scene cannot be read.
bool RenderThumbnail(const std::string& scenePath, CImageSurface& surface) {
    CSceneAnchor scene;
    CLoadReport load;
    if (!LoadCommandScene(scene, scenePath, load)) {
        return false;
    }
    PrintEarlyEndNote(scenePath, load);
    CPictureSettings settings;
    settings.zoomAll = true;
    return !RenderScenePicture(scene, settings, surface, &UserInterrupt()).interrupted;
}

void ReportUnwritten(const std::string& path) {
    std::fprintf(stderr, "orva: cannot write %s: %s\n", path.c_str(), std::strerror(errno));
}

CPictureView ViewOf(const CImageSurface& s) {
    return {s.Width(), s.Height(), int64_t{s.Width()} * 3, s.Pixels().data()};
}

int WriteOne(const std::vector<std::string>& one) {
    char* end = nullptr;
    const long size = std::strtol(one[2].c_str(), &end, 10);
    if (end == one[2].c_str() || *end != '\0' || size < 1 || size > kMaxThumbnailSize) {
        std::fprintf(stderr, "orva: thumbnails: --one's SIZE must be 1 to %d (got %s)\n",
                     kMaxThumbnailSize, one[2].c_str());
        return 2;
    }
    const int side = static_cast<int>(size);
    CImageSurface surface(side, side, DisplayGrey());
    if (!RenderThumbnail(one[0], surface)) {
        return StopRequested() ? 130 : 1;
    }
    // The format the name asks for, as `orva render` writes it; a name that asks for none (the
    // desktop's thumbnailer may pass a temporary name) gets PNG, which the desktop reads.
    const CPictureView picture = ViewOf(surface);
    const bool written =
        PictureFormatOf(one[1]) ? WritePictureFile(one[1], picture) : WritePngFile(one[1], picture);
    if (!written) {
        ReportUnwritten(one[1]);
        return 1;
    }
    return 0;
}

struct CFolderCounts {
    int written = 0;
    int skipped = 0;  // a thumbnail was already there
    int failed = 0;
};

// Writes one scene's thumbnail unless it has one; false only when interrupted.
bool WriteThumbnailOf(const fs::path& scene, const CThumbnailOptions& o, CFolderCounts& counts) {
    const std::string thumbnail = ThumbnailPath(scene.string());
    std::error_code error;
    if (!o.force && fs::exists(thumbnail, error)) {
        ++counts.skipped;
        return true;
    }
    CImageSurface surface(o.size, o.size, DisplayGrey());
    if (!RenderThumbnail(scene.string(), surface)) {
        if (StopRequested()) {
            return false;  // the scene was not done, not failed
        }
        ++counts.failed;
        return true;
    }
    if (!WriteBmpFile(thumbnail, ViewOf(surface))) {
        ReportUnwritten(thumbnail);
        ++counts.failed;
        return true;
    }
    ++counts.written;
    return true;
}

int WriteFolder(const CThumbnailOptions& o) {
    std::error_code error;
    std::vector<fs::path> scenes;
    for (const fs::directory_entry& entry : fs::directory_iterator(o.folder, error)) {
        if (IsSceneFile(entry)) {
            scenes.push_back(entry.path());
        }
    }
    if (error) {
        std::fprintf(stderr, "orva: cannot read the folder %s: %s\n", o.folder.c_str(),
                     error.message().c_str());
        return 1;
    }
    std::sort(scenes.begin(), scenes.end());
    CFolderCounts counts;
    bool interrupted = false;
    for (const fs::path& scene : scenes) {
        if (!WriteThumbnailOf(scene, o, counts)) {
            interrupted = true;
            break;
        }
    }
    std::fprintf(stderr, "thumbnails: %d written, %d skipped (already there), %d failed\n",
                 counts.written, counts.skipped, counts.failed);
    if (interrupted) {
        return 130;
    }
    return counts.failed > 0 ? 1 : 0;
}

}  // namespace

std::string ThumbnailPath(const std::string& scenePath) {
    return fs::path(scenePath).replace_extension(".bmp").string();
}

int RunThumbnailsCommand(const CThumbnailOptions& o) {
    const CStopOnSignal stopOnSignal;
    if (o.one.empty() == o.folder.empty()) {
        std::fprintf(stderr, "orva: thumbnails: a folder, or --one IN OUT SIZE, is required\n");
        return 2;
    }
    if (o.size < 1 || o.size > kMaxThumbnailSize) {
        std::fprintf(stderr, "orva: thumbnails: --size must be 1 to %d (got %d)\n",
                     kMaxThumbnailSize, o.size);
        return 2;
    }
    UseCommandData(o.gemLibraryPath, o.materialDirectory);
    return o.one.empty() ? WriteFolder(o) : WriteOne(o.one);
}

}  // namespace orva
