#include "cli/render_command.h"

#include <sys/resource.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <thread>

#include <nlohmann/json.hpp>

#include "cli/progress_bar.h"
#include "cli/scene_load.h"
#include "cli/stop_on_signal.h"
#include "display/offscreen_view.h"
#include "image/picture_writer.h"
#include "picture/picture_limits.h"
#include "picture/picture_options.h"
#include "picture/scene_picture.h"
#include "picture/streamed_picture.h"
#include "render/render_scene.h"
#include "scene/scene_file.h"
#include "view/display_colours.h"
#include "view/draw_surface.h"

namespace orva {

namespace {

long PeakResidentKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

void PrintStats(const CRenderOptions& o, int width, int height, const CRenderStats& s) {
    const double pixels = double(width) * height;
    nlohmann::ordered_json j;
    j["width"] = width;
    j["height"] = height;
    j["mode"] = o.mode;
    j["threads"] = s.threads;
    j["bands"] = s.bands;
    j["rows"] = s.rowsDelivered;
    j["interrupted"] = s.interrupted;
    j["ms"] = s.seconds * 1000.0;
    std::vector<double> idle;
    for (double seconds : s.idleSeconds) {
        idle.push_back(seconds * 1000.0);
    }
    j["idle_ms"] = idle;
    j["ns_per_pixel"] = pixels > 0 ? s.seconds * 1e9 / pixels : 0.0;
    j["peak_rss_kib"] = PeakResidentKiB();
    std::fprintf(stderr, "%s\n", j.dump().c_str());
}

// The output's format decided before anything is rendered, so a wrong name costs no time.
bool HasPictureExtension(const std::string& path) {
    if (PictureFormatOf(path)) {
        return true;
    }
    const std::string extension = std::filesystem::path(path).extension().string();
    const std::string named =
        extension.empty() ? "a name without extension" : "\"" + extension + "\"";
    std::fprintf(stderr, "orva: render: -o must be a .png, .jpg, .jpeg or .bmp file (got %s)\n",
                 named.c_str());
    return false;
}

// The picture's settings from the options; false, with a message, when they do not fit.
bool StudioSettings(const CRenderOptions& o, CPictureSettings& settings) {
    settings.mode = static_cast<EDisplayMode>(o.mode);  // one of the modes the parser accepts
    settings.view = o.view;
    settings.zoomAll = o.zoomAll;
    settings.threads = o.threads;
    settings.antialias = o.antialias;
    settings.zoom = o.zoom;
    settings.margin = o.margin;
    if (!o.turn.empty() && !ParseTurn(o.turn, settings)) {
        std::fprintf(stderr, "orva: render: --turn must be AZ or AZ,EL in degrees (got %s)\n",
                     o.turn.c_str());
        return false;
    }
    if (!o.background.empty() && !ParseBackground(o.background, settings)) {
        std::fprintf(stderr, "orva: render: --background must be RRGGBB or transparent (got %s)\n",
                     o.background.c_str());
        return false;
    }
    if (IsOpenGLMode(settings.mode) && (o.antialias > 1 || !o.background.empty())) {
        std::fprintf(stderr, "orva: render: --aa and --background need display mode 400 or 300\n");
        return false;
    }
    if (settings.transparent && PictureFormatOf(o.outputPath) != EPictureFormat::kPng) {
        std::fprintf(stderr, "orva: a transparent background needs a .png picture\n");
        return false;
    }
    return true;
}

// A software picture written to its PNG or JPEG row by row as the render delivers them, so
// that even the largest never lies whole in memory. An interrupted render keeps the rows done.
int RenderStreamed(const CRenderOptions& o, CSceneAnchor& scene, const CPictureSettings& settings,
                   int width, int height) {
    CStreamedPicture picture;
    picture.path = o.outputPath;
    picture.width = width;
    picture.height = height;
    picture.transparent = settings.transparent;
    picture.background = settings.background.value_or(DisplayGrey());
    picture.jpegQuality = o.quality;
    picture.interrupted = EInterruptedPicture::kKeepRowsDrawn;
    const CStreamedPictureResult result = RenderStreamedPicture(
        picture,
        [&](CRowStreamSurface& surface) {
            CRenderStats stats;
            {
                const CProgressBar progress([&surface] { return surface.RowsDelivered(); }, height,
                                            isatty(STDERR_FILENO) != 0);
                stats =
                    RenderScenePicture(scene, settings, surface, width, height, &UserInterrupt());
            }
            if (o.stats) {
                PrintStats(o, width, height, stats);
            }
            return stats;
        },
        &UserInterrupt());
    if (result.error != 0) {
        std::fprintf(stderr, "orva: cannot write %s: %s\n", o.outputPath.c_str(),
                     std::strerror(result.error));
        return 1;
    }
    // Stopped before the first row, the file is never made.
    return result.stats.interrupted ? 130 : 0;
}

}  // namespace

bool ParsePictureSize(const std::string& text, int& width, int& height) {
    int w = 0;
    int h = 0;
    char x = 0;
    int consumed = 0;
    if (std::sscanf(text.c_str(), "%d%c%d%n", &w, &x, &h, &consumed) != 3 ||
        static_cast<std::size_t>(consumed) != text.size() || (x != 'x' && x != 'X') || w < 1 ||
        h < 1 || w > kMaxPictureSide || h > kMaxPictureSide) {
        return false;
    }
    width = w;
    height = h;
    return true;
}

int RunRenderCommand(const CRenderOptions& o) {
    const CStopOnSignal stopOnSignal;
    int width = 0;
    int height = 0;
    if (!ParsePictureSize(o.size, width, height)) {
        std::fprintf(stderr, "orva: render: --size must be WIDTHxHEIGHT, each 1 to %d (got %s)\n",
                     kMaxPictureSide, o.size.c_str());
        return 2;
    }
    if (!HasPictureExtension(o.outputPath)) {
        return 2;
    }
    CPictureSettings settings;
    if (!StudioSettings(o, settings)) {
        return 2;
    }
    // The OpenGL modes need a context; without one there is nothing to draw with.
    std::unique_ptr<COffscreenView> glView;
    if (IsOpenGLMode(static_cast<EDisplayMode>(o.mode))) {
        glView = std::make_unique<COffscreenView>(width, height);
        if (!glView->HasOpenGL()) {
            std::fprintf(stderr, "orva: display mode %d needs OpenGL, which is not available: %s\n",
                         o.mode, glView->OpenGLFailure().c_str());
            return 1;
        }
    }
    UseCommandData(o.gemLibraryPath, o.materialDirectory);
    CSceneAnchor scene;
    if (const int status = LoadPictureScene(scene, o.scenePath); status != 0) {
        return status;
    }
    if (glView == nullptr && StreamsPicture(o.outputPath)) {
        return RenderStreamed(o, scene, settings, width, height);
    }
    // The display's grey, in the surface's 0xBBGGRR, where an interrupted render drew nothing.
    CImageSurface surface(glView != nullptr ? 1 : width, glView != nullptr ? 1 : height,
                          g_colourTable[0]);
    CRenderStats stats;
    if (glView != nullptr) {
        stats = DrawScenePicture(scene, settings, *glView);
    } else {
        const CProgressBar progress([&surface] { return surface.RowsDelivered(); }, height,
                                    isatty(STDERR_FILENO) != 0);
        stats = RenderScenePicture(scene, settings, surface, &UserInterrupt());
    }
    if (o.stats) {
        PrintStats(o, width, height, stats);
    }
    if (stats.interrupted && stats.rowsDelivered == 0) {
        return 130;  // stopped before the first row: there is nothing to keep
    }
    const CImageSurface& drawn = glView != nullptr ? glView->Picture() : surface;
    const CPictureView picture{width, height, int64_t{width} * 3, drawn.Pixels().data()};
    if (!WritePictureFile(o.outputPath, picture, o.quality)) {
        std::fprintf(stderr, "orva: cannot write %s: %s\n", o.outputPath.c_str(),
                     std::strerror(errno));
        return 1;
    }
    return stats.interrupted ? 130 : 0;
}

}  // namespace orva
