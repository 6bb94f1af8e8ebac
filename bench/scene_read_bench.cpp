// Reading speed of scene files: a generated scene of tens of MB, mostly surfaces and meshes,
// read from a file through LoadSceneFile. Reported in bytes of file per second.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>

#include "scene/curve.h"
#include "scene/group.h"
#include "scene/poly_mesh.h"
#include "scene/scene_file.h"
#include "scene/surface.h"
#include "scene_writer.h"

namespace {

std::unique_ptr<orva::CSurface> MakeSurface(int nu, int nv, float offset) {
    auto s = std::make_unique<orva::CSurface>();
    s->materialName = "Gold18KYellow";
    s->nu = nu;
    s->nv = nv;
    for (int r = 0; r < nu; ++r) {
        for (int c = 0; c < nv; ++c) {
            const float a = 6.2831853f * c / nv;
            s->points.emplace_back(std::cos(a) * (1 + r), std::sin(a) * (1 + r), offset + r);
        }
    }
    s->selection.assign(s->points.size(), 0);
    return s;
}

std::unique_ptr<orva::CPolyMesh> MakeMesh(int side, float offset) {
    auto m = std::make_unique<orva::CPolyMesh>();
    for (int y = 0; y <= side; ++y) {
        for (int x = 0; x <= side; ++x) {
            m->points.emplace_back(float(x), float(y), offset + std::sin(x * 0.1f));
        }
    }
    m->selection.assign(m->points.size(), 0);
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            const int i = y * (side + 1) + x;
            m->polygonSizes.push_back(4);
            m->vertexIndices.insert(m->vertexIndices.end(), {i, i + 1, i + side + 2, i + side + 1});
        }
    }
    return m;
}

// About 40 MB: 400 surfaces of 40 x 40 points, 200 meshes of 40 x 40 quads, a few groups.
const std::string& LargeSceneFile() {
    static const std::string path = [] {
        orva::CObjectList scene;
        orva::CListBuilder builder(scene.first);
        for (int i = 0; i < 400; ++i) {
            builder.Append(MakeSurface(40, 40, float(i)).release());
        }
        for (int i = 0; i < 200; ++i) {
            builder.Append(MakeMesh(40, float(i)).release());
        }
        for (int i = 0; i < 20; ++i) {
            auto group = std::make_unique<orva::CGroup>();
            orva::CListBuilder children(group->children.first);
            children.Append(MakeSurface(10, 10, 0).release());
            children.Append(MakeMesh(10, 0).release());
            builder.Append(group.release());
        }
        const std::string file = (std::filesystem::temp_directory_path() /
                                  ("orva-bench-scene-" + std::to_string(getpid()) + ".orv"))
                                     .string();
        orva::WriteFileBytes(file, orva::WriteSceneBytes(scene.first));
        return file;
    }();
    return path;
}

void BM_LoadSceneFile(benchmark::State& state) {
    const std::string& path = LargeSceneFile();
    std::FILE* f = std::fopen(path.c_str(), "rb");
    std::fseek(f, 0, SEEK_END);
    const long bytes = std::ftell(f);
    std::fclose(f);
    for (auto _ : state) {
        orva::CSceneAnchor scene;
        orva::LoadSceneFile(scene, path);
        benchmark::DoNotOptimize(scene.first);
    }
    state.SetBytesProcessed(state.iterations() * bytes);
    state.counters["file_MB"] = double(bytes) / 1e6;
}
BENCHMARK(BM_LoadSceneFile)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    std::printf("scene file: %s (compare: time cat FILE > /dev/null)\n", LargeSceneFile().c_str());
    std::remove(LargeSceneFile().c_str());
    benchmark::Shutdown();
    return 0;
}
