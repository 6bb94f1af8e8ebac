#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "golden_picture.h"
#include "material_folder.h"
#include "render/render_scene.h"
#include "scene/name_pool.h"
#include "scene/object_list.h"
#include "scene/scene_file.h"
#include "test_shapes.h"
#include "view/draw_surface.h"
#include "view/view_camera.h"

namespace orva {
namespace {

using test::Rgb;

// A studio-like environment: dark below, a bright strip above the horizon, light sky.
std::vector<Rgb> StudioMap(int size) {
    std::vector<Rgb> pixels;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const double t = double(y) / (size - 1);  // bottom row first
            const double strip = std::exp(-std::pow((t - 0.7) * 8.0, 2.0));
            const auto level = static_cast<uint8_t>(std::min(255.0, 40 + 150 * t + 90 * strip));
            pixels.push_back({level, level, static_cast<uint8_t>(level * 0.9 + 10)});
            (void)x;
        }
    }
    return pixels;
}

// Shading guarded against regressions: metal with a reflection map, a transparent stone in
// front of it, and plain default surfaces, rendered per pixel and per vertex.
class GoldenRenderTest : public test::MaterialFolderTest {
protected:
    void SetUp() override {
        MaterialFolderTest::SetUp();
        WriteBmp("material/TxtrMap/studio.bmp", 32, 32, StudioMap(32));
        CMaterialDescription gold;
        gold.ambient = {90, 60, 10};
        gold.base = {230, 170, 50};
        gold.highlight = {255, 240, 200};
        gold.shininess = 80;
        gold.maps[2] = "studio.bmp";
        WriteMaterial("material/gold.mtl", gold);
        CMaterialDescription stone;
        stone.base = {60, 90, 230};
        stone.highlight = {255, 255, 255};
        stone.shininess = 95;
        stone.transparency = 50;
        WriteMaterial("material/stone.mtl", stone);
    }
    void TearDown() override {
        m_scene.Clear();
        MaterialFolderTest::TearDown();
    }

    void BuildScene() {
        CListBuilder list(m_scene.first);
        auto band = test::Box({-12, -6, -8}, {12, 6, 8});
        band->materialName = NamePool().RegisterName("gold");
        list.Append(band.release());
        auto cutter = test::Box({-5, -10, -3}, {5, 10, 3});
        cutter->cutter = 1;
        list.Append(cutter.release());
        auto stone = test::Tube(5.0f, -14.0f, -8.0f);
        stone->materialName = NamePool().RegisterName("stone");
        list.Append(stone.release());
        list.Append(test::Tube(3.0f, -9.0f, -7.0f).release());
    }

    std::unique_ptr<CImageSurface> Render(EShading shading) {
        auto surface = std::make_unique<CImageSurface>(160, 120, 0);
        CViewCamera camera;
        camera.scene = &m_scene;
        camera.SetViewportRect(0, 0, 160, 120);
        camera.SetStandardView(1);
        camera.CurrentViewport().Rotate(0, 25.0);
        camera.CurrentViewport().Rotate(1, -30.0);
        RenderPicture(MakeRenderRequest(camera, WholeScene(m_scene), *surface, shading, 2));
        return surface;
    }

    CSceneAnchor m_scene;
};

TEST_F(GoldenRenderTest, PerPixelShadingOfMetalAndTransparentStone) {
    BuildScene();
    test::ExpectMatchesGolden("metal_and_stone_400", *Render(EShading::kPerPixel));
}

TEST_F(GoldenRenderTest, PerVertexShadingOfTheSameScene) {
    BuildScene();
    test::ExpectMatchesGolden("metal_and_stone_300", *Render(EShading::kVertexColours));
}

}  // namespace
}  // namespace orva
