#include <gtest/gtest.h>

#include <cstdio>
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

namespace orva {
namespace {

using test::Box;
using test::Rgb;

// The test program is linked with fopen wrapped (tests/render/CMakeLists.txt), so every file
// that is opened under the watched folder is counted here, whichever code path opens it.
std::mutex g_openedMutex;
std::string g_watchedFolder;
std::map<std::string, int> g_opened;

}  // namespace
}  // namespace orva

extern "C" std::FILE* __real_fopen(const char* path, const char* mode);
extern "C" std::FILE* __wrap_fopen(const char* path, const char* mode) {
    {
        std::lock_guard<std::mutex> lock(orva::g_openedMutex);
        const std::string_view opened(path);
        if (!orva::g_watchedFolder.empty() && opened.starts_with(orva::g_watchedFolder)) {
            ++orva::g_opened[std::filesystem::path(opened).filename().string()];
        }
    }
    return __real_fopen(path, mode);
}

namespace orva {
namespace {

// Counts, by file name, the files opened under a folder while it lives.
class COpenCounter {
public:
    explicit COpenCounter(const std::filesystem::path& folder) {
        std::lock_guard<std::mutex> lock(g_openedMutex);
        g_watchedFolder = folder.string();
    }
    ~COpenCounter() {
        std::lock_guard<std::mutex> lock(g_openedMutex);
        g_watchedFolder.clear();
    }
    // The files opened since the last call.
    std::map<std::string, int> Take() {
        std::lock_guard<std::mutex> lock(g_openedMutex);
        return std::exchange(g_opened, {});
    }
};

CSceneObject* Named(std::unique_ptr<CSceneObject> object, const char* material) {
    object->materialName = material == nullptr ? nullptr : NamePool().RegisterName(material);
    return object.release();
}

int CoveredPixels(const CImageSurface& s) {
    int covered = 0;
    for (int y = 0; y < s.Height(); ++y) {
        for (int x = 0; x < s.Width(); ++x) {
            covered += s.Pixel(x, y) != 0xE4E4E4 ? 1 : 0;
        }
    }
    return covered;
}

class MaterialTableTest : public test::MaterialFolderTest {
protected:
    void SetUp() override {
        MaterialFolderTest::SetUp();
        CMaterialDescription gold;
        gold.maps = {"Grain", "", "Studio", ""};
        WriteMaterial("material/Gold.mtl", gold);
        CMaterialDescription stone;
        stone.base = {40, 60, 220};
        stone.transparency = 40;
        stone.maps = {"", "Broken", "", "studio.BMP"};  // another spelling of the same file
        WriteMaterial("material/Stone.mtl", stone);
        CMaterialDescription ruby;
        ruby.base = {200, 10, 30};
        ruby.maps[3] = "Broken";  // not a bitmap: tried once all the same
        ASSERT_TRUE(WriteFileBytes((m_root / "material/TxtrMap/Broken.bmp").string(), {'B'}));
        WriteMaterial("material/Ruby.mtl", ruby);
        WriteMaterial("material/Inner.mtl", CMaterialDescription{});
        WriteBmp("material/TxtrMap/Grain.bmp", 2, 1, {{200, 150, 40}, {120, 90, 20}});
        WriteBmp("material/TxtrMap/Studio.bmp", 1, 2, {{30, 30, 40}, {240, 240, 250}});
        // The gem's shape names a material of its own inside a group that takes the gem's.
        const auto shape = test::Group(kGroupUnion, {Named(Box({-1, -1, -1}, {0, 1, 1}), "Inner"),
                                                     Box({0, -1, -1}, {1, 1, 1}).release()});
        const std::string gems = (m_root / "gemlib").string();
        ASSERT_TRUE(WriteFileBytes(gems, WriteGemLibraryBytes(shape.get())));
        m_previousGems = GemLibrary().Path();
        GemLibrary().SetPath(gems);
        BuildScene();
    }
    void TearDown() override {
        m_scene.Clear();
        GemLibrary().SetPath(m_previousGems);
        MaterialFolderTest::TearDown();
    }

    // Objects from the top of the picture to its bottom, so every band of a render meets
    // several materials and most materials are met in several bands.
    void BuildScene() {
        CListBuilder list(m_scene.first);
        list.Append(Named(Box({-12, -4, 14}, {12, 4, 18}), "Gold"));
        list.Append(Named(Box({-8, -4, 5}, {8, 4, 11}), "Stone"));
        list.Append(Named(test::Group(kGroupUnion, {Named(Box({-12, -4, -2}, {0, 4, 2}), "Stone"),
                                                    Box({0, -4, -3}, {12, 4, 3}).release()}),
                          "Gold"));
        auto gem = std::make_unique<CGem>();
        gem->gemIndex = 0;
        gem->placement = Multiply(CMatrix4::Scaling(4, 4, 4), CMatrix4::Translation({0, 0, -10}));
        list.Append(Named(std::move(gem), "Ruby"));
        list.Append(Named(Box({-12, -4, -19}, {12, 4, -15}), "Gold"));
        list.Append(Named(Box({-14, -2, -14}, {-13, 2, 14}), "Missing"));
    }

    // Looking along +y with z up, 4 pixels to the unit, the origin in the middle.
    std::unique_ptr<CImageSurface> Render(int mode, int threads) {
        auto surface = std::make_unique<CImageSurface>(120, 160);
        CMatrix4 view = CMatrix4::Zero();  // model x, z, -y to eye x, y, z
        view.At(0, 0) = view.At(2, 1) = view.At(3, 3) = 1.0f;
        view.At(1, 2) = -1.0f;
        CMatrix4 eyeToWindow = CMatrix4::Scaling(4, -4, 1);
        eyeToWindow.At(3, 0) = 60.0f;
        eyeToWindow.At(3, 1) = 80.0f;
        CRenderRequest request;
        request.first = m_scene.first;
        request.view = view;
        request.windowMatrix = Multiply(view, eyeToWindow);
        request.viewportWidth = surface->Width();
        request.viewportHeight = surface->Height();
        request.mode = mode;
        request.threads = threads;
        request.surface = surface.get();
        RenderPicture(request);
        return surface;
    }

    CSceneAnchor m_scene;
    std::string m_previousGems;
};

TEST_F(MaterialTableTest, EveryMaterialAndMapIsReadOncePerRenderWhateverTheThreads) {
    COpenCounter opened(m_root / "material");
    for (int mode : {1, 0}) {
        opened.Take();
        const auto one = Render(mode, 1);
        EXPECT_GT(CoveredPixels(*one), 120 * 160 / 3);
        opened.Take();
        const auto many = Render(mode, 3);
        // Only per-pixel shading reads maps.
        std::map<std::string, int> once = {
            {"Gold.mtl", 1}, {"Inner.mtl", 1}, {"Ruby.mtl", 1}, {"Stone.mtl", 1}};
        if (mode == 1) {
            once.insert({{"Broken.bmp", 1}, {"Grain.bmp", 1}, {"Studio.bmp", 1}});
        }
        EXPECT_EQ(opened.Take(), once) << "mode " << mode;
        EXPECT_EQ(one->Pixels(), many->Pixels()) << "mode " << mode;
    }
}

}  // namespace
}  // namespace orva
