// An anti-aliased picture against its reference: the same request rendered n times larger and
// averaged in n x n blocks. Refining only where samples differ must stay within 3 levels of it
// on at least 99.5 % of pixels, for every sample and for a turned cube with a cut and a gem.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>

#include "../render/test_shapes.h"
#include "render/antialiased_band.h"
#include "render/render_scene.h"
#include "scene/gem.h"
#include "scene/gem_library.h"
#include "scene/material_file.h"
#include "scene/name_pool.h"
#include "scene/scene_file.h"
#include "shipped_data.h"
#include "view/draw_surface.h"
#include "view/view_camera.h"
#include "view/zoom_all.h"

namespace orva {
namespace {

constexpr int kWidth = 160;
constexpr int kHeight = 120;

// The n x n block means of a picture n times larger, rounded as the renderer rounds them.
std::vector<uint8_t> BoxAverage(const CImageSurface& big, int n) {
    const int w = big.Width() / n;
    const int h = big.Height() / n;
    std::vector<uint8_t> out(static_cast<size_t>(w) * h * 3);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            for (int c = 0; c < 3; ++c) {
                int sum = 0;
                for (int i = 0; i < n; ++i) {
                    for (int j = 0; j < n; ++j) {
                        sum += big.Row(n * y + i)[3 * (n * x + j) + c];
                    }
                }
                out[3 * (static_cast<size_t>(y) * w + x) + c] =
                    static_cast<uint8_t>((sum + n * n / 2) / (n * n));
            }
        }
    }
    return out;
}

// Pixels of the anti-aliased picture that are neither the reference's nor the picture without
// anti-aliasing: a refined pixel's samples are the reference's pixels, so its average is the
// reference's to the byte, and any other pixel keeps its one sample. Counts the refined ones
// (those equal to the reference only) into `refined`.
int PixelsOfNeither(const std::vector<uint8_t>& picture, const std::vector<uint8_t>& reference,
                    const std::vector<uint8_t>& aliased, int& refined) {
    int neither = 0;
    refined = 0;
    for (size_t p = 0; p < picture.size(); p += 3) {
        const bool isReference = std::equal(&picture[p], &picture[p] + 3, &reference[p]);
        const bool isAliased = std::equal(&picture[p], &picture[p] + 3, &aliased[p]);
        neither += !isReference && !isAliased;
        refined += isReference && !isAliased;
    }
    return neither;
}

// Share of pixels further than 3 levels from the reference in some channel.
double ShareOff(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    int off = 0;
    for (size_t p = 0; p < a.size(); p += 3) {
        for (int c = 0; c < 3; ++c) {
            if (std::abs(int(a[p + c]) - int(b[p + c])) > 3) {
                ++off;
                break;
            }
        }
    }
    return static_cast<double>(off) / static_cast<double>(a.size() / 3);
}

class AntialiasTest : public ::testing::Test {
protected:
    CRenderRequest Request(CSceneAnchor& scene, CImageSurface& into, EShading shading, int n,
                           int threads) {
        m_camera.scene = &scene;
        m_camera.SetViewportRect(0, 0, kWidth, kHeight);
        m_camera.SetStandardView(1);
        m_camera.CurrentViewport().Rotate(1, 35.0);
        m_camera.CurrentViewport().Rotate(0, 20.0);
        ZoomAll(m_camera);
        CRenderRequest r = MakeRenderRequest(m_camera, WholeScene(scene), into, shading, threads);
        r.antialias = n;
        return r;
    }

    // Anti-aliases the scene and checks it against the reference, and that the thread count
    // does not change it.
    void ExpectNearReference(CSceneAnchor& scene, EShading shading, int n) {
        CImageSurface picture(kWidth, kHeight);
        RenderPicture(Request(scene, picture, shading, n, 2));
        CImageSurface big(n * kWidth, n * kHeight);
        const CRenderRequest plain = Request(scene, big, shading, n, 2);
        RenderPicture(SupersampledRequest(plain, n));
        const std::vector<uint8_t> reference = BoxAverage(big, n);
        EXPECT_LE(ShareOff(picture.Pixels(), reference), 0.005) << "n = " << n;
        CImageSurface alone(kWidth, kHeight);
        RenderPicture(Request(scene, alone, shading, n, 1));
        EXPECT_EQ(alone.Pixels(), picture.Pixels()) << "one thread, n = " << n;
        CImageSurface aliased(kWidth, kHeight);
        RenderPicture(Request(scene, aliased, shading, 1, 2));
        EXPECT_NE(aliased.Pixels(), picture.Pixels()) << "nothing was anti-aliased";
        int refined = 0;
        EXPECT_EQ(PixelsOfNeither(picture.Pixels(), reference, aliased.Pixels(), refined), 0)
            << "n = " << n;
        EXPECT_GT(refined, 0) << "n = " << n;
    }

    const test::CShippedData m_data;
    CViewCamera m_camera;
};

TEST_F(AntialiasTest, EverySampleStaysNearItsReference) {
    for (const char* name :
         {"solitaire_ring", "first_ring", "channel_band", "pendant", "earrings"}) {
        SCOPED_TRACE(name);
        CSceneAnchor scene;
        LoadSceneFile(scene, std::string(ORVA_SAMPLES_DIR) + "/" + name + ".orv");
        ASSERT_NE(scene.first, nullptr);
        for (int n : {2, 3}) {
            ExpectNearReference(scene, EShading::kPerPixel, n);
        }
        ExpectNearReference(scene, EShading::kVertexColours, 3);
    }
}

TEST_F(AntialiasTest, TurnedCubeWithACutAndAGemStaysNearItsReference) {
    CSceneAnchor scene;
    auto cube = test::Box({-10, -10, -10}, {10, 10, 10});
    cube->materialName = NamePool().RegisterName("Gold18KYellow");
    auto cutter = test::Box({-4, -15, -4}, {4, 15, 4});
    cutter->cutter = 1;
    auto gem = std::make_unique<CGem>();
    gem->gemIndex = 0;
    gem->materialName = NamePool().RegisterName("Diamond");
    gem->placement = Multiply(CMatrix4::Scaling(6, 6, 6), CMatrix4::Translation({0, -10, 0}));
    scene.first = cube.release();
    scene.first->next = cutter.release();
    scene.first->next->next = gem.release();
    for (int n : {2, 3, 4}) {
        ExpectNearReference(scene, EShading::kPerPixel, n);
    }
    scene.Clear();
}

}  // namespace
}  // namespace orva
