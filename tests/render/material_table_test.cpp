#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <utility>

#include "material_folder.h"
#include "render/render_scene.h"
#include "scene/gem.h"
#include "scene/gem_library.h"
#include "scene/name_pool.h"
#include "scene/object_list.h"
#include "scene/scene_file.h"
#include "scene_writer.h"
#include "test_shapes.h"
#include "view/draw_surface.h"

namespace {

// The test program is linked with fopen wrapped (tests/render/CMakeLists.txt), so every file
// opened under the watched folder is counted, whichever code path opens it.
std::mutex g_openedMutex;
std::string g_watchedFolder;
std::map<std::string, int> g_opened;

}  // namespace

extern "C" std::FILE* __real_fopen(const char* path, const char* mode);
extern "C" std::FILE* __wrap_fopen(const char* path, const char* mode) {
    std::unique_lock<std::mutex> lock(g_openedMutex);
    const std::string_view opened(path);
    if (!g_watchedFolder.empty() && opened.starts_with(g_watchedFolder)) {
        ++g_opened[std::filesystem::path(opened).filename().string()];
    }
    lock.unlock();
    return __real_fopen(path, mode);
}

namespace orva {
namespace {

using test::Box;

// The files opened since the last call, by name; watches `folder` from now on.
std::map<std::string, int> TakeOpened(const std::string& folder) {
    std::lock_guard<std::mutex> lock(g_openedMutex);
    g_watchedFolder = folder;
    return std::exchange(g_opened, {});
}

CSceneObject* Named(std::unique_ptr<CSceneObject> object, const char* material) {
    object->materialName = NamePool().RegisterName(material);
    return object.release();
}

class MaterialTableTest : public test::MaterialFolderTest {
protected:
    void SetUp() override {
        MaterialFolderTest::SetUp();
        // "studio.BMP" is another spelling of Studio.bmp; Broken.bmp is no bitmap.
        const std::pair<const char*, std::array<std::string, 4>> materials[] = {
            {"Gold", {"Grain", "", "Studio", ""}},
            {"Stone", {"", "Broken", "", "studio.BMP"}},
            {"Ruby", {"", "", "", "Broken"}},
            {"Inner", {}}};
        for (const auto& [name, maps] : materials) {
            CMaterialDescription d;
            d.base = {static_cast<int32_t>(40 * std::strlen(name)), 90, 220};
            d.transparency = name[0] == 'S' ? 40 : 0;
            d.maps = maps;
            WriteMaterial(std::string("material/") + name + ".mtl", d);
        }
        WriteBmp("material/TxtrMap/Grain.bmp", 2, 1, {{200, 150, 40}, {120, 90, 20}});
        WriteBmp("material/TxtrMap/Studio.bmp", 1, 2, {{30, 30, 40}, {240, 240, 250}});
        ASSERT_TRUE(WriteFileBytes((m_root / "material/TxtrMap/Broken.bmp").string(), {'B'}));
        // The gem's shape names a material of its own inside a group that takes the gem's.
        const auto shape = test::Group(kGroupUnion, {Named(Box({-1, -1, -1}, {0, 1, 1}), "Inner"),
                                                     Box({0, -1, -1}, {1, 1, 1}).release()});
        ASSERT_TRUE(
            WriteFileBytes((m_root / "gemlib").string(), WriteGemLibraryBytes(shape.get())));
        m_previousGems = GemLibrary().Path();
        GemLibrary().SetPath((m_root / "gemlib").string());
        // From the top of the picture to its bottom, so that bands share materials.
        CListBuilder list(m_scene.first);
        list.Append(Named(Box({-12, -4, 14}, {12, 4, 18}), "Gold"));
        list.Append(Named(Box({-8, -4, 5}, {8, 4, 11}), "Stone"));
        list.Append(Named(test::Group(kGroupUnion, {Named(Box({-12, -4, -2}, {0, 4, 2}), "Stone"),
                                                    Box({0, -4, -3}, {12, 4, 3}).release()}),
                          "Gold"));
        auto gem = std::make_unique<CGem>();
        gem->placement = Multiply(CMatrix4::Scaling(4, 4, 4), CMatrix4::Translation({0, 0, -10}));
        list.Append(Named(std::move(gem), "Ruby"));
        list.Append(Named(Box({-12, -4, -19}, {12, 4, -15}), "Gold"));
        list.Append(Named(Box({-14, -2, -14}, {-13, 2, 14}), "Missing"));
    }
    void TearDown() override {
        TakeOpened("");
        m_scene.Clear();
        GemLibrary().SetPath(m_previousGems);
        MaterialFolderTest::TearDown();
    }

    // Looking along +y with z up, 4 pixels to the unit, the origin in the middle.
    std::unique_ptr<CImageSurface> Render(EShading shading, int threads) {
        auto surface = std::make_unique<CImageSurface>(120, 160);
        CRenderRequest request;
        request.view = CMatrix4::Zero();  // model x, z, -y to eye x, y, z
        request.view.At(0, 0) = request.view.At(2, 1) = request.view.At(3, 3) = 1.0f;
        request.view.At(1, 2) = -1.0f;
        CMatrix4 eyeToWindow = CMatrix4::Scaling(4, -4, 1);
        eyeToWindow.At(3, 0) = 60.0f;
        eyeToWindow.At(3, 1) = 80.0f;
        request.windowMatrix = Multiply(request.view, eyeToWindow);
        request.first = m_scene.first;
        request.viewportWidth = surface->Width();
        request.viewportHeight = surface->Height();
        request.shading = shading;
        request.threads = threads;
        request.surface = surface.get();
        RenderPicture(request);
        return surface;
    }

    CSceneAnchor m_scene;
    std::string m_previousGems;
};

TEST_F(MaterialTableTest, EveryMaterialAndMapIsReadOncePerRenderWhateverTheThreads) {
    for (EShading shading : {EShading::kPerPixel, EShading::kVertexColours}) {
        const bool perPixel = shading == EShading::kPerPixel;
        const auto one = Render(shading, 1);
        EXPECT_NE(one->Pixel(60, 16), 0xE4E4E4u);   // the top box
        EXPECT_NE(one->Pixel(60, 120), 0xE4E4E4u);  // the gem
        TakeOpened((m_root / "material").string());
        const auto many = Render(shading, 3);
        std::map<std::string, int> once = {
            {"Gold.mtl", 1}, {"Inner.mtl", 1}, {"Ruby.mtl", 1}, {"Stone.mtl", 1}};
        if (perPixel) {  // only per-pixel shading reads maps
            once.insert({{"Broken.bmp", 1}, {"Grain.bmp", 1}, {"Studio.bmp", 1}});
        }
        EXPECT_EQ(TakeOpened(""), once) << "per pixel " << perPixel;
        EXPECT_EQ(one->Pixels(), many->Pixels()) << "per pixel " << perPixel;
    }
}

}  // namespace
}  // namespace orva
