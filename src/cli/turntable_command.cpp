#include "cli/turntable_command.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

#include "cli/ordered_frames.h"
#include "cli/render_command.h"
#include "cli/scene_load.h"
#include "cli/stop_on_signal.h"
#include "cli/turntable_output.h"
#include "picture/picture_limits.h"
#include "picture/picture_options.h"
#include "picture/scene_picture.h"
#include "render/render_scene.h"
#include "render/tessellation/tessellation_store.h"
#include "scene/gem_library.h"
#include "view/display_colours.h"
#include "view/draw_surface.h"

namespace orva {

namespace {

constexpr int kMaxFrames = 3600;
constexpr int kMaxFps = 120;

struct CTurntablePlan {
    int width = 0;
    int height = 0;
    CPictureSettings settings;  // of the first frame
    ETurntableFormat format = ETurntableFormat::kFolder;
};

// Says what is wrong with the options, or nothing when the plan is made.
std::string MakePlan(const CTurntableOptions& o, CTurntablePlan& plan) {
    if (o.frames < 1 || o.frames > kMaxFrames) {
        return "--frames must be 1 to " + std::to_string(kMaxFrames) + " (got " +
               std::to_string(o.frames) + ")";
    }
    if (o.fps < 1 || o.fps > kMaxFps) {
        return "--fps must be 1 to " + std::to_string(kMaxFps) + " (got " + std::to_string(o.fps) +
               ")";
    }
    if (o.antialias < 1 || o.antialias > 4) {
        return "--aa must be 1 to 4 (got " + std::to_string(o.antialias) + ")";
    }
    if (o.view < 1 || o.view > 6) {
        return "--view must be 1 to 6 (got " + std::to_string(o.view) + ")";
    }
    if (!ParsePictureSize(o.size, plan.width, plan.height)) {
        return "--size must be WIDTHxHEIGHT, each 1 to " + std::to_string(kMaxPictureSide) +
               " (got " + o.size + ")";
    }
    if (!o.background.empty() && !ParseBackground(o.background, plan.settings)) {
        return "--background must be RRGGBB or transparent (got " + o.background + ")";
    }
    if (!ParseTurn(o.turn, plan.settings)) {
        return "--turn must be AZIMUTH[,ELEVATION] in degrees (got " + o.turn + ")";
    }
    plan.format = TurntableFormatOf(o.outputPath);
    if (plan.format == ETurntableFormat::kUnknown) {
        return "-o must be a .webp, .mp4 or .gif file, or a folder (a name without an "
               "extension or ending in /) (got " +
               o.outputPath + ")";
    }
    if (plan.format == ETurntableFormat::kGif && o.fps > 100) {
        return "--fps must be 1 to 100 for a GIF (got " + std::to_string(o.fps) + ")";
    }
    if (plan.settings.transparent &&
        (plan.format == ETurntableFormat::kMp4 || plan.format == ETurntableFormat::kGif)) {
        return std::string("an ") + (plan.format == ETurntableFormat::kMp4 ? "MP4" : "GIF") +
               " cannot be transparent: write .webp or a folder of PNG frames";
    }
    plan.settings.mode = kModeRendered;
    plan.settings.view = o.view;
    plan.settings.zoomAll = true;
    plan.settings.fitWholeTurn = true;
    plan.settings.margin = o.margin;
    plan.settings.antialias = o.antialias;
    return {};
}

// 0xRRGGBB as the surface's fill, which names blue in the high byte.
uint32_t SurfaceFill(uint32_t rgb) {
    return ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | (rgb >> 16);
}

// Azimuths kept within one turn, so that the same direction gives the same picture whichever
// first azimuth and frame count lead to it.
CPictureSettings FrameSettings(const CPictureSettings& first, int frame, int frames) {
    CPictureSettings settings = first;
    double azimuth = std::fmod(double(first.turnAzimuth) + 360.0 * frame / frames, 360.0);
    if (azimuth < 0.0) {
        azimuth += 360.0;
    }
    settings.turnAzimuth = static_cast<float>(azimuth);
    return settings;
}

std::unique_ptr<CImageSurface> RenderFrame(CSceneAnchor& scene, const CPictureSettings& settings,
                                           int width, int height) {
    auto surface = std::make_unique<CImageSurface>(
        width, height, SurfaceFill(settings.background.value_or(DisplayGrey())));
    if (settings.transparent) {
        surface->KeepCoverage();
    }
    const CRenderStats stats = RenderScenePicture(scene, settings, *surface, &UserInterrupt());
    return stats.interrupted ? nullptr : std::move(surface);
}

CPictureView FrameView(const CImageSurface& surface, bool alpha) {
    CPictureView view{surface.Width(), surface.Height(), int64_t{surface.Width()} * 3,
                      surface.Pixels().data()};
    if (alpha && !surface.Coverage().empty()) {
        view.alpha = surface.Coverage().data();
        view.alphaStride = surface.Width();
    }
    return view;
}

// Workers that may render at once, when each may have two more frames waiting for their turn,
// within a memory budget that keeps huge frames from exhausting the machine.
int FramesThatFit(int width, int height) {
    constexpr int64_t kBudget = int64_t{1} << 30;
    const int64_t frameBytes = int64_t{width} * height * 4;  // colours and coverage
    return static_cast<int>(std::clamp<int64_t>(kBudget / (3 * frameBytes), 1, 1024));
}

// Frames done out of all, redrawn in place when a person watches stderr.
void ShowProgress(int done, int frames) {
    const int bar = done * 40 / frames;
    std::fprintf(stderr, "\r[%-40.*s] %d/%d frames", bar,
                 "========================================", done, frames);
    std::fflush(stderr);
}

// Reads the scene with the command's gem library and materials: 0 read, else the exit status.
int LoadScene(const CTurntableOptions& o, CSceneAnchor& scene) {
    UseCommandData(o.gemLibraryPath, o.materialDirectory);
    if (const int status = LoadPictureScene(scene, o.scenePath); status != 0) {
        return status;
    }
    GemLibrary().Size();  // loaded here, not by the first of the renders running side by side
    return 0;
}

// Renders every frame into the output, in order: the exit status.
int RenderTurntable(const CTurntableOptions& o, const CTurntablePlan& plan, CSceneAnchor& scene,
                    CTurntableOutput& output) {
    // Whole frames side by side scale better than the rows of one frame; the threads left over
    // when there are fewer frames (or room for fewer) than threads go to each frame's rows.
    const int threads = ThreadsOrCores(o.threads);
    const int workers = std::min({threads, o.frames, FramesThatFit(plan.width, plan.height)});
    CPictureSettings first = plan.settings;
    first.threads = std::max(1, threads / workers);
    // Every frame shows the same objects from another side: they are tessellated once.
    CTessellationStore tessellation;
    first.tessellation = &tessellation;
    // Frames follow one another (and run side by side): each keeps its memory for the next.
    first.keepMemory = true;
    const bool progress = isatty(STDERR_FILENO) != 0;
    if (progress) {
        ShowProgress(0, o.frames);
    }
    const COrderedFramesResult result = RenderFramesInOrder(
        o.frames, workers,
        [&](int frame) {
            return RenderFrame(scene, FrameSettings(first, frame, o.frames), plan.width,
                               plan.height);
        },
        [&](int frame, const CImageSurface& picture) {
            const bool added = output.Add(FrameView(picture, first.transparent));
            if (added && progress) {
                ShowProgress(frame + 1, o.frames);
            }
            return added;
        });
    if (progress) {
        std::fputs("\r\033[K", stderr);
    }
    if (result.renderStopped || StopRequested()) {
        return 130;  // the output, dropped unfinished, takes its temporary file with it
    }
    if (result.deliveryFailed || !output.Finish()) {
        std::fprintf(stderr, "orva: cannot write %s\n", output.Error().c_str());
        return 1;
    }
    return 0;
}

}  // namespace

int RunTurntableCommand(const CTurntableOptions& o) {
    const CStopOnSignal stopOnSignal;
    CTurntablePlan plan;
    const std::string wrong = MakePlan(o, plan);
    if (!wrong.empty()) {
        std::fprintf(stderr, "orva: turntable: %s\n", wrong.c_str());
        return 2;
    }
    CSceneAnchor scene;
    if (const int status = LoadScene(o, scene); status != 0) {
        return status;
    }
    const CTurntableOutputSettings outputSettings{plan.width,
                                                  plan.height,
                                                  o.frames,
                                                  o.fps,
                                                  plan.settings.transparent,
                                                  plan.settings.background.value_or(DisplayGrey())};
    std::string error;
    const std::unique_ptr<CTurntableOutput> output =
        OpenTurntableOutput(o.outputPath, outputSettings, error);
    if (output == nullptr) {
        std::fprintf(stderr, "orva: cannot write %s\n", error.c_str());
        return 1;
    }
    return RenderTurntable(o, plan, scene, *output);
}

}  // namespace orva
