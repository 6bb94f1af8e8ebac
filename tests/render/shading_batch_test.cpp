// The batch shades four pixels side by side; every byte must be the one the pixel shader gives
// the same fragment alone, for any material the batch takes and any normal, however odd.
#include "render/shading/shading_batch.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <random>
#include <vector>

#include "image/bmp_bytes.h"
#include "material_folder.h"
#include "render/render_context.h"
#include "render/shading/pixel_shader.h"

namespace orva {
namespace {

struct CCase {
    const CRenderMaterial* material;
    int column;
    float depth;
    CVector3 normal;
};

class ShadingBatchTest : public ::testing::Test {
protected:
    const BmpImage* RandomMap(std::mt19937& random) {
        const int width = 1 + static_cast<int>(random() % 9);
        const int height = 1 + static_cast<int>(random() % 9);
        std::vector<test::Rgb> pixels(static_cast<std::size_t>(width * height));
        for (test::Rgb& p : pixels) {
            p = {static_cast<uint8_t>(random()), static_cast<uint8_t>(random()),
                 static_cast<uint8_t>(random())};
        }
        m_maps.push_back(std::make_unique<test::ScopedBmpImage>());
        test::MakeImage(m_maps.back()->image, width, height, pixels);
        return &m_maps.back()->image;
    }

    std::vector<std::unique_ptr<test::ScopedBmpImage>> m_maps;
};

// Mostly ordinary values, now and then zero, huge, infinite or not a number.
float Odd(std::mt19937& random, float low, float high) {
    switch (random() % 16) {
        case 0:
            return 0.0f;
        case 1:
            return std::numeric_limits<float>::quiet_NaN();
        case 2:
            return -std::numeric_limits<float>::infinity();
        case 3:
            return 1e-7f;
        default:
            return std::uniform_real_distribution<float>(low, high)(random);
    }
}

TEST_F(ShadingBatchTest, EveryByteEqualsThePixelShadersOwn) {
    std::mt19937 random(20261208);
    std::vector<CRenderMaterial> materials(24);
    for (CRenderMaterial& m : materials) {
        m.ambientColour = {Odd(random, 0, 1), Odd(random, 0, 1), Odd(random, 0, 1)};
        m.baseColour = {Odd(random, -0.2f, 1.2f), Odd(random, 0, 1), Odd(random, 0, 1)};
        m.highlightColour = {Odd(random, 0, 1), Odd(random, 0, 1), Odd(random, 0, 1)};
        m.highlightThreshold = Odd(random, -0.5f, 1.2f);
        m.transparency = random() % 4 == 0 ? -0.25f : 0.0f;
        m.reflectionMap = random() % 3 != 0 ? RandomMap(random) : nullptr;
        m.glossMap = random() % 3 == 0 ? RandomMap(random) : nullptr;
        ASSERT_TRUE(CShadingBatch::Takes(m));
    }
    CRenderContext ctx;
    ctx.projectionCentre = {400.5f, 300.0f, -1.0f, 300.0f, 0.0f};
    for (int row : {0, 117, 599}) {
        std::vector<CCase> cases(1000);
        for (CCase& c : cases) {
            c.material = &materials[random() % materials.size()];
            c.column = static_cast<int>(random() % 800);
            c.depth = Odd(random, -400.0f, 400.0f);
            c.normal = {Odd(random, -2, 2), Odd(random, -2, 2), Odd(random, -2, 2)};
        }
        std::vector<uint8_t> batched(3 * cases.size(), 7);
        std::vector<uint8_t> alone(3 * cases.size(), 7);
        CShadingBatch batch;
        batch.SetRow(row);
        for (std::size_t i = 0; i < cases.size(); ++i) {
            const CCase& c = cases[i];
            batch.Add(ctx, *c.material, &batched[3 * i], c.column, c.depth, c.normal);
            if (i % 37 == 0) {
                batch.Flush(ctx);  // partly filled lanes too
            }
            ctx.projectionCentre.fragmentDepth = c.depth;
            CShadingInputs inputs;
            inputs.normal = c.normal;
            EXPECT_EQ(ShadePixel(ctx, *c.material, &alone[3 * i], c.column, row, inputs), 0.0f);
        }
        batch.Flush(ctx);
        int differing = 0;
        for (std::size_t i = 0; i < batched.size(); ++i) {
            differing += batched[i] != alone[i];
        }
        EXPECT_EQ(differing, 0) << "row " << row;
    }
}

TEST_F(ShadingBatchTest, TakesOnlyOpaqueMaterialsWithoutColourOrBumpMaps) {
    std::mt19937 random(7);
    CRenderMaterial m;
    EXPECT_TRUE(CShadingBatch::Takes(m));
    m.transparency = 0.1f;
    EXPECT_FALSE(CShadingBatch::Takes(m));
    m.transparency = 0.0f;
    m.colourMap = RandomMap(random);
    EXPECT_FALSE(CShadingBatch::Takes(m));
    m.colourMap = nullptr;
    m.bumpMap = RandomMap(random);
    EXPECT_FALSE(CShadingBatch::Takes(m));
}

}  // namespace
}  // namespace orva
