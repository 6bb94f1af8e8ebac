// Cost of shading one pixel in the full-shading mode: the plain material, one with a colour
// map (planar mapping), and one with all four maps. The inputs vary over a ring of fragments
// across the picture so that every call does the whole work.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "render/render_context.h"
#include "render/shading/pixel_shader.h"
#include "render/shading/render_material.h"

namespace {

using namespace orva;

constexpr int kMapSide = 256;
constexpr int kFragments = 1024;

// A procedural picture, released with ReleaseBmpImage like one read from a file.
struct CBenchImage {
    BmpImage image;
    explicit CBenchImage(int seed) {
        image.width = kMapSide;
        image.height = kMapSide;
        image.stride = static_cast<int32_t>(BmpImageStride(kMapSide));
        image.pixels = static_cast<uint8_t*>(std::calloc(image.stride * kMapSide, 1));
        for (int y = 0; y < kMapSide; ++y) {
            for (int x = 0; x < kMapSide * 3; ++x) {
                image.pixels[y * image.stride + x] = static_cast<uint8_t>(x * seed + y * 7);
            }
        }
    }
    ~CBenchImage() { ReleaseBmpImage(image); }
};

struct CFragment {
    int column;
    int row;
    CShadingInputs inputs;
};

std::vector<CFragment> MakeFragments() {
    std::vector<CFragment> fragments(kFragments);
    for (int i = 0; i < kFragments; ++i) {
        const float a = 0.0061f * static_cast<float>(i);
        CFragment& f = fragments[i];
        f.column = i % 800;
        f.row = (i * 7) % 600;
        f.inputs.u = 0.001f * static_cast<float>(i);
        f.inputs.v = 0.0007f * static_cast<float>(i);
        f.inputs.surfacePoint = {std::cos(a), std::sin(a), 0.3f};
        f.inputs.normal = {0.4f * std::sin(a), 0.3f * std::cos(a), 1.0f};
        f.inputs.tangentU = {1.0f, 0.0f, -0.4f * std::sin(a)};
        f.inputs.tangentV = {0.0f, 1.0f, -0.3f * std::cos(a)};
    }
    return fragments;
}

CRenderMaterial Metal() {
    CRenderMaterial m;
    m.ambientColour = {0.1f, 0.08f, 0.02f};
    m.baseColour = {0.9f, 0.7f, 0.2f};
    m.highlightThreshold = 0.6f;
    m.transparency = 0.2f;
    return m;
}

void ShadeAll(benchmark::State& state, const CRenderMaterial& material) {
    CRenderContext ctx;
    ctx.projectionCentre = {400.0f, 300.0f, -1.0f, 300.0f, 50.0f};
    const std::vector<CFragment> fragments = MakeFragments();
    uint8_t pixel[3] = {100, 150, 200};
    size_t i = 0;
    for (auto _ : state) {
        const CFragment& f = fragments[i];
        ShadePixel(ctx, material, pixel, f.column, f.row, f.inputs);
        benchmark::DoNotOptimize(pixel);
        i = (i + 1) % kFragments;
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_ShadePixelNoMap(benchmark::State& state) {
    ShadeAll(state, Metal());
}
BENCHMARK(BM_ShadePixelNoMap);

void BM_ShadePixelColourMap(benchmark::State& state) {
    const CBenchImage colour(3);
    CRenderMaterial m = Metal();
    m.colourMap = &colour.image;
    m.mappingMode = kMappingPlanar;
    ShadeAll(state, m);
}
BENCHMARK(BM_ShadePixelColourMap);

void BM_ShadePixelAllMaps(benchmark::State& state) {
    const CBenchImage colour(3);
    const CBenchImage bump(5);
    const CBenchImage reflection(11);
    const CBenchImage gloss(13);
    CRenderMaterial m = Metal();
    m.colourMap = &colour.image;
    m.bumpMap = &bump.image;
    m.reflectionMap = &reflection.image;
    m.glossMap = &gloss.image;
    m.mappingMode = kMappingCylindrical;
    ShadeAll(state, m);
}
BENCHMARK(BM_ShadePixelAllMaps);

}  // namespace

BENCHMARK_MAIN();
