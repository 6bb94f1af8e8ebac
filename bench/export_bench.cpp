// Exporting the shipped samples as closed meshes at 0.02 mm and 0.05 mm on two threads: the
// time of the whole export (level sets, meshes and the STL file). Counters: the triangles, the
// STL's size in MB and the process's peak resident memory in MB (a peak so far: run one sample
// and resolution at a time, with --benchmark_filter, to read each one's own).
// BM_WebSample: the same samples for the web at 0.02 mm: the GLB, and the shop's page (the GLB,
// the measurement for its caption and its poster); counters: the triangles written, the file's
// size in MB and the time after the lattice's meshes were made.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "mesh/glb_file.h"
#include "mesh/mesh_files.h"
#include "mesh/piece_mesh.h"
#include "report/shop_page.h"
#include "scene/gem_library.h"
#include "scene/material_file.h"
#include "scene/scene_file.h"

namespace {

using namespace orva;

constexpr const char* kSamples[] = {"first_ring", "solitaire_ring", "channel_band", "pendant",
                                    "earrings"};

void BM_ExportSample(benchmark::State& state) {
    GemLibrary().SetPath(ORVA_OUTPUT_DIR "/gemlib");
    const char* name = kSamples[state.range(0)];
    CSceneAnchor scene;
    CLoadReport load;
    ReadSceneFile(scene, std::string(ORVA_OUTPUT_DIR "/samples/") + name + ".orv", load);
    if (load.status != CLoadReport::kOk) {
        state.SkipWithError("sample not readable");
        return;
    }
    CPieceMeshOptions options;
    options.resolution = static_cast<double>(state.range(1)) / 1000.0;
    options.threads = static_cast<int>(state.range(2));
    const std::string path =
        (std::filesystem::temp_directory_path() / (std::string(name) + "_bench.stl")).string();
    std::size_t triangles = 0;
    for (auto _ : state) {
        const CPieceMesh piece = MeshPiece(scene.first, nullptr, options);
        std::string error;
        if (!WriteStl(path, name, piece.parts, error)) {
            state.SkipWithError(error.c_str());
            break;
        }
        triangles = 0;
        for (const CMeshPart& p : piece.parts) {
            triangles += p.mesh.triangles.size();
        }
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.SetLabel(std::string(name) + " " + std::to_string(state.range(1)) + " um");
    state.counters["triangles"] = static_cast<double>(triangles);
    state.counters["stl_MB"] = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
    state.counters["peak_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
    std::filesystem::remove(path);
    ClearScene(scene);
}

// Sample, resolution in micrometres, threads.
BENCHMARK(BM_ExportSample)
    ->ArgsProduct({{0, 1, 2, 3, 4}, {50, 20}, {2}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);

void BM_WebSample(benchmark::State& state) {
    GemLibrary().SetPath(ORVA_OUTPUT_DIR "/gemlib");
    SetMaterialDirectory(ORVA_OUTPUT_DIR "/material");
    const char* name = kSamples[state.range(0)];
    const bool page = state.range(1) == 1;
    CSceneAnchor scene;
    CLoadReport load;
    ReadSceneFile(scene, std::string(ORVA_OUTPUT_DIR "/samples/") + name + ".orv", load);
    if (load.status != CLoadReport::kOk) {
        state.SkipWithError("sample not readable");
        return;
    }
    CPieceMeshOptions options;
    options.threads = 2;
    std::size_t triangles = 0;
    std::size_t bytes = 0;
    double afterMeshMs = 0.0;
    for (auto _ : state) {
        const CPieceMesh piece = MeshPiece(scene.first, nullptr, options);
        const auto meshed = std::chrono::steady_clock::now();
        CGlbFile glb = MakeGlb(name, piece.parts);
        std::string out = std::move(glb.bytes);
        std::string error;
        if (page && !MakeShopPage(scene, name, std::move(out), 2, nullptr, out, error,
                                  ORVA_OUTPUT_DIR "/web/model-viewer.min.js")) {
            state.SkipWithError(error.c_str());
            break;
        }
        afterMeshMs =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - meshed)
                .count();
        bytes = out.size();
        triangles = 0;
        for (const std::size_t n : glb.triangles) {
            triangles += n;
        }
    }
    state.SetLabel(std::string(name) + (page ? " html" : " glb"));
    state.counters["triangles"] = static_cast<double>(triangles);
    state.counters["file_MB"] = static_cast<double>(bytes) / 1e6;
    state.counters["after_mesh_ms"] = afterMeshMs;
    ClearScene(scene);
}

// Sample, GLB (0) or page (1).
BENCHMARK(BM_WebSample)
    ->ArgsProduct({{0, 1, 2, 3, 4}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
