// Two pictures of different scenes through different cameras, rendered at the same time on two
// threads, each with two workers of its own, come out exactly as when each is rendered alone:
// nothing a render reads or writes is shared between renders.
#include <gtest/gtest.h>

#include <latch>
#include <string>
#include <thread>

#include "render/render_scene.h"
#include "scene/gem_library.h"
#include "scene/material_file.h"
#include "scene/scene_file.h"
#include "view/draw_surface.h"
#include "view/view_camera.h"
#include "view/zoom_all.h"

namespace orva {
namespace {

struct CPicture {
    CSceneAnchor scene;
    CViewCamera camera;
    CImageSurface surface{240, 180, 0x123456};

    CPicture(const std::string& sample, int view, double turn) {
        LoadSceneFile(scene, std::string(ORVA_SAMPLES_DIR) + "/" + sample + ".orv");
        camera.scene = &scene;
        camera.SetViewportRect(0, 0, surface.Width(), surface.Height());
        camera.SetStandardView(view);
        ZoomAll(camera);
        camera.CurrentViewport().Rotate(1, turn);
    }
    CRenderRequest Request(CImageSurface& into, EShading shading) const {
        return MakeRenderRequest(camera, WholeScene(scene), into, shading, 2);
    }
};

TEST(ConcurrentPicturesTest, TwoRendersAtOnceEqualEachRenderedAlone) {
    const std::string previousGemLibrary = GemLibrary().Path();
    const std::string previousMaterials = MaterialDirectory();
    GemLibrary().SetPath(ORVA_GEMLIB);
    SetMaterialDirectory(ORVA_MATERIAL_DIR);
    CPicture ring("solitaire_ring", 1, 30.0);
    CPicture pendant("pendant", 3, -20.0);
    ASSERT_NE(ring.scene.first, nullptr);
    ASSERT_NE(pendant.scene.first, nullptr);
    for (const EShading shading : {EShading::kPerPixel, EShading::kVertexColours}) {
        RenderPicture(ring.Request(ring.surface, shading));
        RenderPicture(pendant.Request(pendant.surface, shading));
        ASSERT_NE(ring.surface.Pixels(), pendant.surface.Pixels());
        for (int round = 0; round < 3; ++round) {
            CImageSurface ringAtOnce(240, 180, 0x123456);
            CImageSurface pendantAtOnce(240, 180, 0x123456);
            std::latch start(2);
            std::thread first([&] {
                start.arrive_and_wait();
                RenderPicture(ring.Request(ringAtOnce, shading));
            });
            std::thread second([&] {
                start.arrive_and_wait();
                RenderPicture(pendant.Request(pendantAtOnce, shading));
            });
            first.join();
            second.join();
            EXPECT_EQ(ringAtOnce.Pixels(), ring.surface.Pixels()) << "round " << round;
            EXPECT_EQ(pendantAtOnce.Pixels(), pendant.surface.Pixels()) << "round " << round;
        }
    }
    GemLibrary().SetPath(previousGemLibrary);
    SetMaterialDirectory(previousMaterials);
}

}  // namespace
}  // namespace orva
