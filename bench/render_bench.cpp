// Rendering a tray of rings (bands, heads, gems in cut seats, groups) into pictures of 1080p
// and 2160p, per pixel (display mode 400) and per vertex (300), on one and on two threads.
// Counters: nanoseconds per pixel and the process's peak resident memory so far (run the
// 2160p cases after the 1080p ones to see how memory grows with the picture). `aa` is the
// anti-aliasing: N x N samples per pixel where they differ.
//
//   render_bench --write-scene DIR   also writes DIR/stress.orv with its gemlib and materials,
//                                    for `orva render --stats`.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "render/render_scene.h"
#include "scene_writer.h"
#include "stress_scene.h"
#include "view/draw_surface.h"
#include "view/view_camera.h"

namespace {

using namespace orva;

CSceneAnchor& Scene() {
    static CSceneAnchor scene;
    return scene;
}

double PeakResidentMiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return std::stod(line.substr(6)) / 1024.0;
        }
    }
    return 0.0;
}

void BM_RenderTray(benchmark::State& state) {
    const auto mode = static_cast<EDisplayMode>(state.range(0));
    const int width = static_cast<int>(state.range(1));
    const int height = static_cast<int>(state.range(2));
    const int threads = static_cast<int>(state.range(3));
    const int antialias = static_cast<int>(state.range(4));
    CImageSurface surface(width, height);
    CViewCamera camera;
    camera.scene = &Scene();
    camera.SetViewportRect(0, 0, width, height);
    camera.SetStandardView(1);
    camera.CurrentViewport().Rotate(0, 20.0);
    const EShading shading = mode == kModeRendered ? EShading::kPerPixel : EShading::kVertexColours;
    CRenderRequest request =
        MakeRenderRequest(camera, WholeScene(Scene()), surface, shading, threads);
    request.antialias = antialias;
    double seconds = 0.0;
    double idle = 0.0;  // the longest wait of a thread at the end, summed over pictures
    for (auto _ : state) {
        const CRenderStats stats = RenderPicture(request);
        seconds += stats.seconds;
        idle += stats.idleSeconds.empty()
                    ? 0.0
                    : *std::max_element(stats.idleSeconds.begin(), stats.idleSeconds.end());
    }
    state.counters["idle_ms"] = 1000.0 * idle / double(state.iterations());
    state.counters["ns_per_pixel"] =
        benchmark::Counter(double(width) * height * double(state.iterations()) * 1e-9,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["peak_rss_MiB"] = PeakResidentMiB();
}

BENCHMARK(BM_RenderTray)
    ->ArgNames({"mode", "width", "height", "threads", "aa"})
    ->Args({400, 1920, 1080, 1, 1})
    ->Args({400, 1920, 1080, 2, 1})
    ->Args({300, 1920, 1080, 1, 1})
    ->Args({300, 1920, 1080, 2, 1})
    ->Args({400, 1920, 1080, 2, 2})
    ->Args({400, 1920, 1080, 2, 3})
    ->Args({300, 1920, 1080, 2, 3})
    ->Args({400, 3840, 2160, 2, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) {
    std::string sceneFolder;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--write-scene") == 0) {
            sceneFolder = argv[i + 1];
        }
    }
    const std::string dataFolder =
        sceneFolder.empty()
            ? (std::filesystem::temp_directory_path() / "orva-render-bench").string()
            : sceneFolder;
    if (!bench::WriteStressData(dataFolder)) {
        std::fprintf(stderr, "render_bench: cannot write %s\n", dataFolder.c_str());
        return 1;
    }
    bench::BuildStressScene(Scene());
    if (!sceneFolder.empty()) {
        const std::string path = sceneFolder + "/stress.orv";
        WriteFileBytes(path, WriteSceneBytes(Scene().first));
        std::printf("wrote %s (render with --gemlib %s/gemlib --materials %s/material)\n",
                    path.c_str(), sceneFolder.c_str(), sceneFolder.c_str());
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
