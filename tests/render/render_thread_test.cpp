#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <latch>
#include <string>
#include <thread>

#include "material_folder.h"
#include "render/render_context.h"
#include "render/shading/render_material.h"
#include "render/shading/texture_sampling.h"
#include "scene_writer.h"

namespace orva {
namespace {

using test::Rgb;

// What one worker expects of the material it loads over and over.
struct CExpected {
    const char* name;
    float baseRed;
    float threshold;
    Rgb mapPixel;  // a uniform map, read through the sampler
};

bool Near(float a, double b) {
    return std::fabs(a - b) < 1e-6;
}

bool Matches(const CRenderContext& ctx, const CRenderMaterial& m, const CExpected& e) {
    const BmpImage* map = e.name[0] == 'G' ? m.colourMap : m.reflectionMap;
    if (map == nullptr || !Near(m.baseColour.x, e.baseRed) ||
        !Near(m.highlightThreshold, e.threshold)) {
        return false;
    }
    bool inOwnCache = false;
    for (const CTextureImage& image : ctx.imageCache) {
        inOwnCache = inOwnCache || &image.image == map;
    }
    const CVector3 c = SampleColour(*map, 0.3f, 0.6f);
    return inOwnCache && Near(c.x, e.mapPixel.r / 255.0) && Near(c.y, e.mapPixel.g / 255.0) &&
           Near(c.z, e.mapPixel.b / 255.0);
}

using RenderThreadTest = test::MaterialFolderTest;

// Two renders at once, each on its own thread with its own context, read the same material
// folder. Each must see exactly its own records and images.
TEST_F(RenderThreadTest, TwoThreadsWithTheirOwnContextsLoadCorrectRecords) {
    CMaterialDescription gold;
    gold.base = {255, 200, 50};
    gold.shininess = 80;
    gold.maps = {"GoldGrain", "", "", ""};
    WriteMaterial("material/Gold.mtl", gold);
    CMaterialDescription ruby;
    ruby.base = {51, 0, 20};
    ruby.shininess = 100;
    ruby.maps = {"", "", "Studio", ""};
    WriteMaterial("material/Ruby.mtl", ruby);
    WriteBmp("material/TxtrMap/GoldGrain.bmp", 3, 2, std::vector<Rgb>(6, Rgb{240, 180, 30}));
    WriteBmp("material/Studio.bmp", 2, 2, std::vector<Rgb>(4, Rgb{20, 40, 250}));

    const CExpected expected[2] = {
        {"Gold", 1.0f, (0.8f - 0.001f) * (0.8f - 0.001f), {240, 180, 30}},
        {"Ruby", 0.2f, 0.999f * 0.999f, {20, 40, 250}},
    };
    constexpr int kIterations = 300;
    std::atomic<int> wrong{0};
    std::atomic<int> checked{0};
    std::latch start(2);
    auto work = [&](int worker) {
        CRenderContext ctx;
        start.arrive_and_wait();
        for (int i = 0; i < kIterations; ++i) {
            // Alternate which material comes first so the two threads overlap differently.
            const CExpected& first = expected[(worker + i) % 2];
            const CExpected& second = expected[(worker + i + 1) % 2];
            const CRenderMaterial& a = LoadRenderMaterial(ctx, first.name);
            const CRenderMaterial& b = LoadRenderMaterial(ctx, second.name);
            wrong += Matches(ctx, a, first) ? 0 : 1;
            wrong += Matches(ctx, b, second) ? 0 : 1;
            checked += 2;
            if (i % 5 == 4) {
                ReleaseRenderMaterials(ctx);  // the end of one render of this thread
            }
        }
    };
    std::thread one(work, 0);
    std::thread two(work, 1);
    one.join();
    two.join();
    EXPECT_EQ(checked.load(), 2 * 2 * kIterations);
    EXPECT_EQ(wrong.load(), 0);
}

}  // namespace
}  // namespace orva
