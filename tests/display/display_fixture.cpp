#include "display_fixture.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "display/tessellation_cache.h"
#include "platform/egl_display.h"
#include "view/display_colours.h"
#include "view/view_camera.h"

namespace orva::test {

CVector3 AtPixel(float column, float row, float depth) {
    const float cx = kViewWidth / 2.0f - 0.5f;
    const float cy = kViewHeight / 2.0f - 0.5f;
    return CVector3((column - cx) / kPixelsPerUnit, depth, (cy - row) / kPixelsPerUnit);
}

bool SameColour(uint32_t a, uint32_t b, int tolerance) {
    for (int shift = 0; shift < 24; shift += 8) {
        const int ca = static_cast<int>((a >> shift) & 0xff);
        const int cb = static_cast<int>((b >> shift) & 0xff);
        if (std::abs(ca - cb) > tolerance) {
            return false;
        }
    }
    return true;
}

std::string ColourText(uint32_t c) {
    char text[32];
    std::snprintf(text, sizeof text, "rgb(%u, %u, %u)", c & 0xff, (c >> 8) & 0xff,
                  (c >> 16) & 0xff);
    return text;
}

uint32_t LitColour(uint32_t diffuse, float cosine) {
    uint32_t lit = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const float d = static_cast<float>((diffuse >> shift) & 0xff) / 255.0f;
        const float v = std::min(1.0f, 0.2f * 0.2f + d * std::max(cosine, 0.0f));
        lit |= static_cast<uint32_t>(std::lround(v * 255.0f)) << shift;
    }
    return lit;
}

std::unique_ptr<CCurve> MakeCurve(const std::vector<CVector3>& points, int steps, bool closed) {
    auto curve = std::make_unique<CCurve>();
    curve->points = points;
    curve->selection.assign(points.size(), 0);
    curve->stepsPerSpan = steps;
    curve->closed = closed ? 1 : 0;
    return curve;
}

std::unique_ptr<CSurface> MakeFlatSurface(float x0, float y0, float x1, float y1, float depth,
                                          int orientation) {
    auto surface = std::make_unique<CSurface>();
    surface->nu = 4;
    surface->nv = 4;
    surface->orientation = orientation;
    // Rows (u) run down the picture, columns (v) across it.
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            surface->points.push_back(
                AtPixel(x0 + (x1 - x0) * c / 3.0f, y0 + (y1 - y0) * r / 3.0f, depth));
        }
    }
    surface->selection.assign(surface->points.size(), 0);
    return surface;
}

std::unique_ptr<CPolyMesh> MakeMesh(const std::vector<CVector3>& points,
                                    const std::vector<std::vector<int32_t>>& polygons) {
    auto mesh = std::make_unique<CPolyMesh>();
    mesh->points = points;
    mesh->selection.assign(points.size(), 0);
    for (const auto& polygon : polygons) {
        mesh->polygonSizes.push_back(static_cast<int32_t>(polygon.size()));
        mesh->vertexIndices.insert(mesh->vertexIndices.end(), polygon.begin(), polygon.end());
    }
    return mesh;
}

void DisplayTest::SetUp() {
    if (!EGLDisplayAvailable()) {
        GTEST_SKIP() << "no EGL display on this machine";
    }
    view = std::make_unique<COffscreenView>(kViewWidth, kViewHeight);
    ASSERT_TRUE(view->HasOpenGL()) << view->OpenGLFailure();
    CViewCamera& camera = view->Camera();
    camera.scene = &scene;
    camera.SetStandardView(1);
    camera.standardView = 1;
}

void DisplayTest::TearDown() {
    view.reset();
    scene.Clear();
}

const CImageSurface& DisplayTest::Draw(EDisplayMode mode, bool interactive) {
    view->Camera().displayMode = mode;
    view->Paint(interactive);
    return view->Picture();
}

int DisplayTest::CountDrawn() const {
    return CountDrawnIn(0, 0, kViewWidth - 1, kViewHeight - 1);
}

int DisplayTest::CountDrawnIn(int x0, int y0, int x1, int y1) const {
    int count = 0;
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            if (!SameColour(Pixel(x, y), g_colourTable[0])) {
                ++count;
            }
        }
    }
    return count;
}

}  // namespace orva::test
