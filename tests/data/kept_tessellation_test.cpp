// Pictures that take their objects' tessellation from a store kept across pictures, or from one
// too small to keep it all, come out exactly as pictures that tessellate everything afresh; an
// object changed between two pictures is tessellated anew.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "render/render_scene.h"
#include "render/tessellation/tessellation_store.h"
#include "scene/extrusion.h"
#include "shipped_data.h"
#include "view/draw_surface.h"
#include "view/view_camera.h"
#include "view/zoom_all.h"

namespace orva {
namespace {

constexpr const char* kSamples[] = {"channel_band", "earrings", "first_ring", "pendant",
                                    "solitaire_ring"};

struct CTurnedPicture {
    CSceneAnchor scene;
    CViewCamera camera;

    explicit CTurnedPicture(const std::string& sample) {
        LoadSceneFile(scene, std::string(ORVA_SAMPLES_DIR) + "/" + sample + ".orv");
        camera.scene = &scene;
        camera.SetViewportRect(0, 0, 200, 150);
        camera.SetStandardView(1);
        ZoomAll(camera);
    }
    std::vector<uint8_t> Render(CTessellationStore* store, EShading shading, double turn) {
        camera.CurrentViewport().Rotate(1, turn);
        CImageSurface surface(200, 150, 0x102030);
        CRenderRequest request = MakeRenderRequest(camera, WholeScene(scene), surface, shading, 2);
        request.tessellation = store;
        RenderPicture(request);
        return surface.Pixels();
    }
};

TEST(KeptTessellationTest, PicturesFromKeptTessellationEqualFreshOnes) {
    const test::CShippedData data;
    for (const char* sample : kSamples) {
        SCOPED_TRACE(sample);
        CTurnedPicture fresh(sample);
        CTurnedPicture kept(sample);
        CTurnedPicture starved(sample);
        ASSERT_NE(fresh.scene.first, nullptr);
        CTessellationStore store;
        CTessellationStore small(4096);  // holds a few small objects at most
        int64_t builds = 0;
        for (const double turn : {0.0, 17.0, 123.0, 2.0}) {
            for (const EShading shading : {EShading::kPerPixel, EShading::kVertexColours}) {
                const std::vector<uint8_t> expected = fresh.Render(nullptr, shading, turn);
                EXPECT_TRUE(kept.Render(&store, shading, turn) == expected) << turn;
                EXPECT_TRUE(starved.Render(&small, shading, turn) == expected) << turn;
                EXPECT_LE(small.Bytes(), 4096u);
                // Every object is tessellated by the first picture and found by the others.
                builds = builds == 0 ? store.Builds() : builds;
                EXPECT_EQ(store.Builds(), builds);
            }
        }
        EXPECT_GT(store.Size(), 0u);
        for (int picture = 0; picture < 8; ++picture) {
            store.EndPicture();
        }
        EXPECT_EQ(store.Size(), 0u) << "objects no picture showed are forgotten";
        EXPECT_EQ(store.Bytes(), 0u);
    }
}

// The share of bytes in which two pictures differ.
double ChangedShare(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    std::size_t changed = 0;
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
        changed += a[i] != b[i] ? 1 : 0;
    }
    return double(changed) / double(std::max<std::size_t>(1, a.size()));
}

TEST(KeptTessellationTest, AChangedObjectIsTessellatedAnew) {
    const test::CShippedData data;
    CTurnedPicture kept("solitaire_ring");
    CTurnedPicture fresh("solitaire_ring");
    CTessellationStore store;
    const std::vector<uint8_t> before = kept.Render(&store, EShading::kPerPixel, 10.0);
    // The shank, the largest part of the ring, grows by a fifth about its own centre.
    for (CTurnedPicture* picture : {&kept, &fresh}) {
        auto* shank = dynamic_cast<CExtrusion*>(picture->scene.first);
        ASSERT_NE(shank, nullptr);
        shank->placement = Multiply(shank->placement, CMatrix4::Scaling(1.2f, 1.2f, 1.2f));
    }
    const std::vector<uint8_t> after = kept.Render(&store, EShading::kPerPixel, 0.0);
    EXPECT_GT(ChangedShare(after, before), 0.02);
    EXPECT_TRUE(after == fresh.Render(nullptr, EShading::kPerPixel, 10.0));
}

}  // namespace
}  // namespace orva
