// Measuring the shipped samples for the jeweller's report at 0.5 % and 0.1 % on two threads:
// the time of the whole report (metal integration and stones). Counters: the metal volume in
// mm³, the spread of the three directions in per cent and the grid's cell in micrometres.
#include <benchmark/benchmark.h>

#include <string>

#include "measure/jewel_report.h"
#include "scene/gem_library.h"
#include "scene/scene_file.h"

namespace {

using namespace orva;

constexpr const char* kSamples[] = {"first_ring", "solitaire_ring", "channel_band", "pendant",
                                    "earrings"};

void BM_MeasureSample(benchmark::State& state) {
    GemLibrary().SetPath(ORVA_OUTPUT_DIR "/gemlib");
    const char* name = kSamples[state.range(0)];
    CSceneAnchor scene;
    CLoadReport load;
    ReadSceneFile(scene, std::string(ORVA_OUTPUT_DIR "/samples/") + name + ".orv", load);
    if (load.status != CLoadReport::kOk) {
        state.SkipWithError("sample not readable");
        return;
    }
    CJewelOptions options;
    options.accuracyPercent = static_cast<double>(state.range(1)) / 10.0;
    options.threads = static_cast<int>(state.range(2));
    CJewelReport report;
    for (auto _ : state) {
        report = MeasureJewel(scene.first, nullptr, options);
        benchmark::DoNotOptimize(report.metal.volume);
    }
    state.SetLabel(std::string(name) + " " + std::to_string(options.accuracyPercent).substr(0, 3) +
                   "%");
    state.counters["mm3"] = report.metal.volume;
    state.counters["spread%"] = report.metal.uncertaintyPercent;
    state.counters["cell_um"] = report.metal.cellSize * 1000.0;
    ClearScene(scene);
}

// Sample, accuracy in tenths of a per cent, threads.
BENCHMARK(BM_MeasureSample)
    ->ArgsProduct({{0, 1, 2, 3, 4}, {5, 1}, {2}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
