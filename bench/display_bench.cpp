// Frames of the OpenGL display on the tray of rings of the renderer benchmark, at 1920 x 1080
// on the headless context (llvmpipe where there is no GPU): the wireframe (mode 0), the fast
// wireframe (10) and the shaded frame drawn while dragging (100), each as a first frame (every
// surface evaluated) and in steady state (tessellation kept from the previous frame); and the
// software renderer's picture (400) of the same view through the same view, for comparison.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "display/offscreen_view.h"
#include "display/tessellation_cache.h"
#include "render/render_scene.h"
#include "stress_scene.h"

namespace {

using namespace orva;

CSceneAnchor& Scene() {
    static CSceneAnchor scene;
    return scene;
}

COffscreenView& View() {
    static COffscreenView view(1920, 1080);
    return view;
}

void BM_DisplayFrame(benchmark::State& state) {
    const auto mode = static_cast<EDisplayMode>(state.range(0));
    const bool keep = state.range(1) != 0;
    COffscreenView& view = View();
    if (!view.HasOpenGL()) {
        state.SkipWithError(("no OpenGL: " + view.OpenGLFailure()).c_str());
        return;
    }
    CViewCamera& camera = view.Camera();
    camera.scene = &Scene();
    camera.displayMode = mode;
    camera.SetStandardView(1);
    camera.CurrentViewport().Rotate(0, 20.0);
    view.Tessellation().Clear();
    view.Paint();  // warms the context (and, when kept, the tessellation)
    for (auto _ : state) {
        if (!keep) {
            view.Tessellation().Clear();
        }
        view.Paint();
    }
    state.counters["fps"] =
        benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}

BENCHMARK(BM_DisplayFrame)
    ->ArgNames({"mode", "kept"})
    ->Args({100, 0})
    ->Args({100, 1})
    ->Args({0, 0})
    ->Args({0, 1})
    ->Args({10, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(2.0);

// Clearing and reading back an empty picture: what every headless frame above pays on top of
// its drawing, and a window does not.
void BM_EmptyFrame(benchmark::State& state) {
    static CSceneAnchor empty;
    COffscreenView& view = View();
    if (!view.HasOpenGL()) {
        state.SkipWithError(("no OpenGL: " + view.OpenGLFailure()).c_str());
        return;
    }
    view.Camera().scene = &empty;
    view.Camera().displayMode = kModeShaded;
    for (auto _ : state) {
        view.Paint();
    }
}

BENCHMARK(BM_EmptyFrame)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);

void BM_SoftwarePicture(benchmark::State& state) {
    COffscreenView& view = View();
    view.SetRenderThreads(static_cast<int>(state.range(0)));
    CViewCamera& camera = view.Camera();
    camera.scene = &Scene();
    camera.displayMode = kModeRendered;
    camera.SetStandardView(1);
    camera.CurrentViewport().Rotate(0, 20.0);
    for (auto _ : state) {
        view.Paint();
    }
    state.counters["fps"] =
        benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}

BENCHMARK(BM_SoftwarePicture)
    ->ArgNames({"threads"})
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) {
    const std::string dataFolder =
        (std::filesystem::temp_directory_path() / "orva-display-bench").string();
    if (!bench::WriteStressData(dataFolder)) {
        std::fprintf(stderr, "display_bench: cannot write %s\n", dataFolder.c_str());
        return 1;
    }
    bench::BuildStressScene(Scene());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
