// Rendering a tray of rings (bands, heads, gems in cut seats, groups) into pictures of 1080p
// and 2160p, per pixel (display mode 400) and per vertex (300), on one and on two threads.
// Counters: nanoseconds per pixel and the process's peak resident memory so far (run the
// 2160p cases after the 1080p ones to see how memory grows with the picture). `aa` is the
// anti-aliasing: N x N samples per pixel where they differ.
//
// BM_ThreadSpeedUp renders on one and on two threads in turn and reports the speed-up and the
// idle time of each thread; BM_KeptTray renders the same picture again with the tessellation kept
// from the last (as the viewer does); BM_SecondPicture renders a picture with nothing kept and then
// one turned by 2 degrees from what the first kept; BM_ScaledTray renders the whole tray, and the
// tray ten times over, fitted into the picture (run each alone to compare their peak memory).
// BM_SamplePicture renders each shipped sample fitted into a 1080p picture, as the viewer shows
// a design filling its window: large triangles, most pixels on metal.
//
//   render_bench --write-scene DIR   also writes DIR/stress.orv (and the tenfold DIR/stress10.orv)
//                                    with its gemlib and materials, for `orva render --stats`.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "render/render_scene.h"
#include "render/tessellation/tessellation_store.h"
#include "scene/gem_library.h"
#include "scene/material_file.h"
#include "scene/scene_file.h"
#include "scene_writer.h"
#include "stress_scene.h"
#include "view/draw_surface.h"
#include "view/view_camera.h"
#include "view/zoom_all.h"

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

// The stress tray's request for the surface's size, view 1 turned by `turn` degrees.
CRenderRequest TrayRequest(CViewCamera& camera, CImageSurface& surface, double turn, int threads,
                           EShading shading = EShading::kPerPixel) {
    camera.scene = &Scene();
    camera.SetViewportRect(0, 0, surface.Width(), surface.Height());
    camera.SetStandardView(1);
    camera.CurrentViewport().Rotate(0, turn);
    return MakeRenderRequest(camera, WholeScene(Scene()), surface, shading, threads);
}

// View 1 turned by 20 degrees, the scene fitted into the surface.
void FitInto(CViewCamera& camera, CSceneAnchor& scene, const CImageSurface& surface) {
    camera.scene = &scene;
    camera.SetViewportRect(0, 0, surface.Width(), surface.Height());
    camera.SetStandardView(1);
    camera.CurrentViewport().Rotate(0, 20.0);
    ZoomAll(camera);
}

void BM_RenderTray(benchmark::State& state) {
    const auto mode = static_cast<EDisplayMode>(state.range(0));
    const int width = static_cast<int>(state.range(1));
    const int height = static_cast<int>(state.range(2));
    const int threads = static_cast<int>(state.range(3));
    const int antialias = static_cast<int>(state.range(4));
    CImageSurface surface(width, height);
    CViewCamera camera;
    const EShading shading = mode == kModeRendered ? EShading::kPerPixel : EShading::kVertexColours;
    CRenderRequest request = TrayRequest(camera, surface, 20.0, threads, shading);
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

void BM_KeptTray(benchmark::State& state) {
    CImageSurface surface(1920, 1080);
    CViewCamera camera;
    CTessellationStore store;
    CRenderRequest request = TrayRequest(camera, surface, 20.0, static_cast<int>(state.range(0)));
    request.tessellation = &store;
    RenderPicture(request);
    for (auto _ : state) {
        RenderPicture(request);
    }
    state.counters["kept_MiB"] = double(store.Bytes()) / (1 << 20);
}

BENCHMARK(BM_KeptTray)
    ->ArgNames({"threads"})
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(2.0);

// One picture on one thread, then on two, in turn: the speed-up, and how long each of the two
// threads waited at the end of its pictures.
void BM_ThreadSpeedUp(benchmark::State& state) {
    CImageSurface surface(1920, 1080);
    CViewCamera camera;
    CRenderRequest request = TrayRequest(camera, surface, 20.0, 1);
    double one = 0.0;
    double two = 0.0;
    double idle[2] = {0.0, 0.0};
    for (auto _ : state) {
        request.threads = 1;
        one += RenderPicture(request).seconds;
        request.threads = 2;
        const CRenderStats stats = RenderPicture(request);
        two += stats.seconds;
        for (std::size_t t = 0; t < 2 && t < stats.idleSeconds.size(); ++t) {
            idle[t] += stats.idleSeconds[t];
        }
    }
    const double n = double(state.iterations());
    state.counters["one_thread_ms"] = 1000.0 * one / n;
    state.counters["two_threads_ms"] = 1000.0 * two / n;
    state.counters["speed_up"] = one / two;
    state.counters["idle_ms_thread_0"] = 1000.0 * idle[0] / n;
    state.counters["idle_ms_thread_1"] = 1000.0 * idle[1] / n;
}

BENCHMARK(BM_ThreadSpeedUp)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(4.0);

void BM_SecondPicture(benchmark::State& state) {
    CImageSurface surface(1920, 1080);
    CViewCamera camera;
    double first = 0.0;
    double second = 0.0;
    for (auto _ : state) {
        CTessellationStore store;
        CRenderRequest request = TrayRequest(camera, surface, 20.0, 2);
        request.tessellation = &store;
        first += RenderPicture(request).seconds;
        request = TrayRequest(camera, surface, 22.0, 2);
        request.tessellation = &store;
        second += RenderPicture(request).seconds;
    }
    state.counters["first_ms"] = 1000.0 * first / double(state.iterations());
    state.counters["second_ms"] = 1000.0 * second / double(state.iterations());
    state.counters["second_share"] = second / first;
}

BENCHMARK(BM_SecondPicture)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);

void BM_ScaledTray(benchmark::State& state) {
    const int copies = static_cast<int>(state.range(0));
    static CSceneAnchor scaled;
    // The tray repeated: five across and, for ten, two deep.
    if (copies == 1) {
        bench::BuildStressScene(scaled);
    } else {
        bench::BuildStressScene(scaled, bench::kTrayColumns * 5, bench::kTrayRows * copies / 5);
    }
    CImageSurface surface(1920, 1080);
    CViewCamera camera;
    FitInto(camera, scaled, surface);
    const CRenderRequest request =
        MakeRenderRequest(camera, WholeScene(scaled), surface, EShading::kPerPixel, 2);
    double idle = 0.0;
    for (auto _ : state) {
        const CRenderStats stats = RenderPicture(request);
        idle += *std::max_element(stats.idleSeconds.begin(), stats.idleSeconds.end());
    }
    state.counters["idle_ms"] = 1000.0 * idle / double(state.iterations());
    state.counters["peak_rss_MiB"] = PeakResidentMiB();
}

BENCHMARK(BM_ScaledTray)
    ->ArgNames({"copies"})
    ->Arg(1)
    ->Arg(10)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(3.0);

constexpr const char* kSamples[] = {"first_ring", "solitaire_ring", "channel_band", "pendant",
                                    "earrings"};

void BM_SamplePicture(benchmark::State& state) {
    GemLibrary().SetPath(ORVA_OUTPUT_DIR "/gemlib");
    SetMaterialDirectory(ORVA_OUTPUT_DIR "/material");
    const char* name = kSamples[state.range(0)];
    CSceneAnchor scene;
    CLoadReport load;
    ReadSceneFile(scene, std::string(ORVA_OUTPUT_DIR "/samples/") + name + ".orv", load);
    if (load.status != CLoadReport::kOk) {
        state.SkipWithError("sample not readable");
        return;
    }
    CImageSurface surface(1920, 1080);
    CViewCamera camera;
    FitInto(camera, scene, surface);
    CTessellationStore store;
    CRenderRequest request = MakeRenderRequest(camera, WholeScene(scene), surface,
                                               EShading::kPerPixel, int(state.range(1)));
    request.tessellation = &store;
    RenderPicture(request);
    for (auto _ : state) {
        RenderPicture(request);
    }
    state.SetLabel(name);
    ClearScene(scene);
}

BENCHMARK(BM_SamplePicture)
    ->ArgNames({"sample", "threads"})
    ->ArgsProduct({{0, 1, 2, 3, 4}, {1, 2}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(1.0);

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
        CSceneAnchor tenfold;
        bench::BuildStressScene(tenfold, bench::kTrayColumns * 5, bench::kTrayRows * 2);
        WriteFileBytes(sceneFolder + "/stress10.orv", WriteSceneBytes(tenfold.first));
        std::printf("wrote %s (render with --gemlib %s/gemlib --materials %s/material)\n",
                    path.c_str(), sceneFolder.c_str(), sceneFolder.c_str());
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
