#include "cli/render_command.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include <nlohmann/json.hpp>

#include "cli/progress_bar.h"
#include "cli/scene_batch.h"
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
    return true;
}

// A transparent background has only PNG to keep it in.
bool TransparencyFits(const CPictureSettings& settings, const std::vector<std::string>& outputs) {
    for (const std::string& path : outputs) {
        if (settings.transparent && PictureFormatOf(path) != EPictureFormat::kPng) {
            std::fprintf(stderr, "orva: a transparent background needs a .png picture\n");
            return false;
        }
    }
    return true;
}

// What every scene of a run is rendered with.
struct CRenderJob {
    const CRenderOptions& options;
    CPictureSettings settings;
    int width = 0;
    int height = 0;
    COffscreenView* glView = nullptr;  // set in the OpenGL modes
};

// The bar of a run over several scenes goes once from empty to full, each scene's rows its share.
CProgressBar RowsBar(std::function<int64_t()> rows, int height, const CScenePlace& place) {
    return CProgressBar([rows = std::move(rows), height,
                         index = place.index] { return int64_t(index) * height + rows(); },
                        int64_t(place.count) * height, isatty(STDERR_FILENO) != 0);
}

// A software picture written to its PNG or JPEG row by row as the render delivers them, so
// that even the largest never lies whole in memory. An interrupted render keeps the rows done.
int RenderStreamed(const CRenderJob& job, CSceneAnchor& scene, const std::string& out,
                   const CScenePlace& place) {
    CStreamedPicture picture;
    picture.path = out;
    picture.width = job.width;
    picture.height = job.height;
    picture.transparent = job.settings.transparent;
    picture.background = job.settings.background.value_or(DisplayGrey());
    picture.jpegQuality = job.options.quality;
    picture.interrupted = EInterruptedPicture::kKeepRowsDrawn;
    const CStreamedPictureResult result = RenderStreamedPicture(
        picture,
        [&](CRowStreamSurface& surface) {
            CRenderStats stats;
            {
                const CProgressBar progress =
                    RowsBar([&surface] { return surface.RowsDelivered(); }, job.height, place);
                stats = RenderScenePicture(scene, job.settings, surface, job.width, job.height,
                                           &UserInterrupt());
            }
            if (job.options.stats) {
                PrintStats(job.options, job.width, job.height, stats);
            }
            return stats;
        },
        &UserInterrupt());
    if (result.error != 0) {
        std::fprintf(stderr, "orva: cannot write %s: %s\n", out.c_str(),
                     std::strerror(result.error));
        return 1;
    }
    // Stopped before the first row, the file is never made.
    return result.stats.interrupted ? 130 : 0;
}

// A picture drawn whole, then written: a BMP, or any picture of the OpenGL modes.
int RenderWhole(const CRenderJob& job, CSceneAnchor& scene, const std::string& out,
                const CScenePlace& place) {
    const int width = job.width;
    const int height = job.height;
    // The display's grey, in the surface's 0xBBGGRR, where an interrupted render drew nothing.
    CImageSurface surface(job.glView != nullptr ? 1 : width, job.glView != nullptr ? 1 : height,
                          g_colourTable[0]);
    CRenderStats stats;
    if (job.glView != nullptr) {
        stats = DrawScenePicture(scene, job.settings, *job.glView);
    } else {
        const CProgressBar progress =
            RowsBar([&surface] { return surface.RowsDelivered(); }, height, place);
        stats = RenderScenePicture(scene, job.settings, surface, &UserInterrupt());
    }
    if (job.options.stats) {
        PrintStats(job.options, width, height, stats);
    }
    if (stats.interrupted && stats.rowsDelivered == 0) {
        return 130;  // stopped before the first row: there is nothing to keep
    }
    const CImageSurface& drawn = job.glView != nullptr ? job.glView->Picture() : surface;
    const CPictureView picture{width, height, int64_t{width} * 3, drawn.Pixels().data()};
    if (!WritePictureFile(out, picture, job.options.quality)) {
        std::fprintf(stderr, "orva: cannot write %s: %s\n", out.c_str(), std::strerror(errno));
        return 1;
    }
    return stats.interrupted ? 130 : 0;
}

int RenderScene(const CRenderJob& job, const std::string& path, const std::string& out,
                const CScenePlace& place) {
    CSceneAnchor scene;
    if (const int status = LoadPictureScene(scene, path); status != 0) {
        return status;
    }
    if (job.glView == nullptr && StreamsPicture(out)) {
        return RenderStreamed(job, scene, out, place);
    }
    return RenderWhole(job, scene, out, place);
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
    CRenderJob job{o, {}, 0, 0, nullptr};
    if (!ParsePictureSize(o.size, job.width, job.height)) {
        std::fprintf(stderr, "orva: render: --size must be WIDTHxHEIGHT, each 1 to %d (got %s)\n",
                     kMaxPictureSide, o.size.c_str());
        return 2;
    }
    std::vector<std::string> outputs;
    if (!OutputPerScene("render", "-o", o.scenePaths, o.outputPath, outputs) ||
        !std::all_of(outputs.begin(), outputs.end(), HasPictureExtension) ||
        !StudioSettings(o, job.settings) || !TransparencyFits(job.settings, outputs)) {
        return 2;
    }
    // The OpenGL modes need a context; without one there is nothing to draw with. One serves
    // every scene: what it keeps of a scene is rebuilt as soon as the scene differs.
    std::unique_ptr<COffscreenView> glView;
    if (IsOpenGLMode(static_cast<EDisplayMode>(o.mode))) {
        glView = std::make_unique<COffscreenView>(job.width, job.height);
        if (!glView->HasOpenGL()) {
            std::fprintf(stderr, "orva: display mode %d needs OpenGL, which is not available: %s\n",
                         o.mode, glView->OpenGLFailure().c_str());
            return 1;
        }
        job.glView = glView.get();
    }
    UseCommandData(o.gemLibraryPath, o.materialDirectory);
    return RunSceneBatch(o.scenePaths, [&](const std::string& path, const CScenePlace& place) {
        return RenderScene(job, path, outputs[place.index], place);
    });
}

}  // namespace orva
