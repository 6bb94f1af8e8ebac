// Pictures with a transparent background and through the studio camera, from the samples.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>

#include "picture/scene_picture.h"
#include "scene/gem_library.h"
#include "scene/material_file.h"
#include "shipped_data.h"
#include "view/draw_surface.h"

namespace orva {
namespace {

constexpr uint32_t kGrey = 0xE4E4E4;

class StudioPictureTest : public ::testing::Test {
protected:
    void SetUp() override {
        LoadSceneFile(m_scene, std::string(ORVA_SAMPLES_DIR) + "/solitaire_ring.orv");
        ASSERT_NE(m_scene.first, nullptr);
    }
    std::unique_ptr<CImageSurface> Render(const CPictureSettings& settings, int width = 120,
                                          int height = 90) {
        auto surface = std::make_unique<CImageSurface>(width, height, 0x123456);
        if (settings.transparent) {
            surface->KeepCoverage();
        }
        RenderScenePicture(m_scene, settings, *surface);
        return surface;
    }

    const test::CShippedData m_data;
    CSceneAnchor m_scene;
};

// The covered pixels' bounding box: columns x0..x1, rows y0..y1.
struct CExtent {
    int x0 = 1 << 20, x1 = -1, y0 = 1 << 20, y1 = -1;
};

CExtent Covered(const CImageSurface& s, uint32_t background) {
    CExtent e;
    for (int y = 0; y < s.Height(); ++y) {
        for (int x = 0; x < s.Width(); ++x) {
            if (s.Pixel(x, y) != background) {
                e.x0 = std::min(e.x0, x), e.x1 = std::max(e.x1, x);
                e.y0 = std::min(e.y0, y), e.y1 = std::max(e.y1, y);
            }
        }
    }
    return e;
}

// Straight colours with their coverage, laid over a background, give the picture rendered on
// that background; the transparent diamond lets some of it through, and so do edges once
// anti-aliased.
TEST_F(StudioPictureTest, CoverageOverABackgroundGivesThePictureOnIt) {
    for (int aa : {1, 3}) {
        CPictureSettings settings;
        settings.zoomAll = true;
        settings.turnElevation = 30.0f;
        settings.antialias = aa;
        settings.background = 0x3060A0;
        const auto blueSurface = Render(settings);
        settings.transparent = true;
        const auto clearSurface = Render(settings);
        const CImageSurface& onBlue = *blueSurface;
        const CImageSurface& clear = *clearSurface;
        const std::vector<uint8_t>& alpha = clear.Coverage();
        int off = 0;
        int partial = 0;
        for (size_t p = 0; p < alpha.size(); ++p) {
            const float a = alpha[p] / 255.0f;
            const uint8_t blue[3] = {0xA0, 0x60, 0x30};
            for (int c = 0; c < 3; ++c) {
                const float laid = clear.Pixels()[3 * p + c] * a + blue[c] * (1.0f - a);
                if (std::abs(laid - onBlue.Pixels()[3 * p + c]) > 3.0f) {
                    ++off;
                    break;
                }
            }
            partial += alpha[p] > 0 && alpha[p] < 255;
        }
        EXPECT_LE(off, static_cast<int>(alpha.size() / 200)) << "aa " << aa;
        EXPECT_GT(partial, 20) << "aa " << aa;
        EXPECT_EQ(alpha.front(), 0);
        EXPECT_GT(std::count(alpha.begin(), alpha.end(), 255), 1000) << "the metal is opaque";
    }
}

// A whole turn's fit keeps every frame inside the picture yet fills it; a margin leaves that
// share free on each side, and --zoom magnifies about the centre.
TEST_F(StudioPictureTest, TheCameraFitsAWholeTurnAndKeepsItsMargin) {
    CPictureSettings settings;
    settings.zoomAll = true;
    settings.fitWholeTurn = true;
    settings.turnElevation = 25.0f;
    int widest = 0;
    for (int frame = 0; frame < 12; ++frame) {
        settings.turnAzimuth = 30.0f * frame;
        const CExtent e = Covered(*Render(settings), kGrey);
        ASSERT_GT(e.x0, 0) << frame;
        ASSERT_LT(e.x1, 119) << frame;
        ASSERT_GT(e.y0, 0) << frame;
        ASSERT_LT(e.y1, 89) << frame;
        widest = std::max({widest, e.y1 - e.y0 + 1, (e.x1 - e.x0 + 1) * 90 / 120});
    }
    EXPECT_GT(widest, 90 * 7 / 10) << "the fit is far too loose";

    CPictureSettings plain;
    plain.zoomAll = true;
    const CExtent full = Covered(*Render(plain, 200, 200), kGrey);
    plain.margin = 20.0f;
    const CExtent framed = Covered(*Render(plain, 200, 200), kGrey);
    EXPECT_NEAR(framed.y1 - framed.y0, 0.6 * (full.y1 - full.y0), 2.0);
    EXPECT_NEAR(framed.x1 - framed.x0, 0.6 * (full.x1 - full.x0), 2.0);
    plain.margin = 0.0f;
    plain.zoom = 0.5f;
    const CExtent half = Covered(*Render(plain, 200, 200), kGrey);
    EXPECT_NEAR(half.x1 - half.x0, 0.5 * (full.x1 - full.x0), 2.0);
}

}  // namespace
}  // namespace orva
