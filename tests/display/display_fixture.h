#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "display/offscreen_view.h"
#include "geometry/vector3.h"
#include "scene/curve.h"
#include "scene/poly_mesh.h"
#include "scene/scene_file.h"
#include "scene/surface.h"

namespace orva::test {

// The picture geometry every display test uses: standard view 1 (looking along +y, x to the
// right, z up) at zoom 1 in a 200 x 200 view, which shows 4 pixels per model unit with the
// model origin at window point (99.5, 99.5). The window point (x, y) is the centre of the
// pixel in column x and row y.
inline constexpr int kViewWidth = 200;
inline constexpr int kViewHeight = 200;
inline constexpr float kPixelsPerUnit = 4.0f;

// The model point seen at the centre of pixel (column, row), at model depth y (smaller y is
// nearer the viewer).
CVector3 AtPixel(float column, float row, float depth = 0.0f);

// 0x00BBGGRR colours: equal within `tolerance` in every channel.
bool SameColour(uint32_t a, uint32_t b, int tolerance = 1);
std::string ColourText(uint32_t c);

// What fixed-function lighting with the display's headlight gives a surface of diffuse colour
// `diffuse` whose normal makes an angle with cosine `cosine` with the line of sight: the
// default ambient (0.2 of a 0.2 material ambient) plus the diffuse part.
uint32_t LitColour(uint32_t diffuse, float cosine);

// Objects built in memory.
std::unique_ptr<CCurve> MakeCurve(const std::vector<CVector3>& points, int steps = 8,
                                  bool closed = false);
// A flat rectangle parallel to the picture at model depth y, covering the pixels of columns
// x0..x1 and rows y0..y1 (window points), as a 4 x 4 net of evenly spaced points (a B-spline
// with clamped ends through such a net is exactly the rectangle).
std::unique_ptr<CSurface> MakeFlatSurface(float x0, float y0, float x1, float y1, float depth,
                                          int orientation);
// A polygon mesh; `polygons` lists the vertex indices of every polygon.
std::unique_ptr<CPolyMesh> MakeMesh(const std::vector<CVector3>& points,
                                    const std::vector<std::vector<int32_t>>& polygons);

// A headless view on a scene of its own. Tests are skipped only when no EGL display exists at
// all; a display that exists but gives no context is a failure.
class DisplayTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    template <typename T>
    T* Add(std::unique_ptr<T> object) {
        T* raw = object.get();
        CSceneObject** tail = &scene.first;
        while (*tail != nullptr) {
            tail = &(*tail)->next;
        }
        *tail = object.release();
        return raw;
    }

    // Paints the view in `mode` (as the quick preview when `interactive`) and returns the
    // picture.
    const CImageSurface& Draw(EDisplayMode mode, bool interactive = false);
    uint32_t Pixel(int x, int y) const { return view->Picture().Pixel(x, y); }
    // Pixels of the picture that differ from the background.
    int CountDrawn() const;
    int CountDrawnIn(int x0, int y0, int x1, int y1) const;

    CSceneAnchor scene;
    std::unique_ptr<COffscreenView> view;
};

}  // namespace orva::test
