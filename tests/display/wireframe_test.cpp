#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "display/stroke_label.h"
#include "display_fixture.h"
#include "scene/extrusion.h"
#include "scene/extrusion_generator.h"
#include "view/display_colours.h"

namespace orva::test {
namespace {

using WireframeTest = DisplayTest;

// Object colour index 0 (entry 6 of the table).
const uint32_t kLine = g_colourTable[6];
constexpr uint32_t kWhite = 0xFFFFFF;

class WireframeColours : public WireframeTest {
protected:
    bool IsLine(int x, int y) const { return SameColour(Pixel(x, y), kLine); }
    bool IsWhite(int x, int y) const { return SameColour(Pixel(x, y), kWhite); }
    bool IsEmpty(int x, int y) const { return SameColour(Pixel(x, y), g_colourTable[0]); }
    // The columns of row y that hold a drawn pixel.
    std::set<int> DrawnColumns(int y) const {
        std::set<int> columns;
        for (int x = 0; x < kViewWidth; ++x) {
            if (!IsEmpty(x, y)) {
                columns.insert(x);
            }
        }
        return columns;
    }
};

using CurveMarkerTest = WireframeColours;

TEST_F(CurveMarkerTest, MarkersAreFiveByFiveSquaresAtTheControlPoints) {
    // A straight curve along row 100 that starts exactly at its first point, (40, 100).
    CCurve* curve =
        Add(MakeCurve({AtPixel(40, 100), AtPixel(80, 100), AtPixel(120, 100), AtPixel(160, 100)}));
    curve->selection[2] = 1;
    Draw(kModeWireframe);
    for (int d = -2; d <= 2; ++d) {
        EXPECT_TRUE(IsLine(40 + d, 98)) << d;
        EXPECT_TRUE(IsLine(40 + d, 102)) << d;
        EXPECT_TRUE(IsLine(38, 100 + d)) << d;
        EXPECT_TRUE(IsLine(42, 100 + d)) << d;
    }
    // Inside the square only the curve itself (row 100) and, right of the point, the label's
    // first stroke (from column 41 up) may show.
    for (const int x : {39, 40}) {
        EXPECT_TRUE(IsEmpty(x, 99)) << x;
        EXPECT_TRUE(IsEmpty(x, 101)) << x;
    }
    EXPECT_TRUE(IsEmpty(41, 101));
    // Nothing just outside it where neither the curve nor the label reaches.
    for (int d = -3; d <= 3; ++d) {
        EXPECT_TRUE(IsEmpty(37, 100 + d)) << d;
        EXPECT_TRUE(IsEmpty(40 + d, 103)) << d;
    }
    for (int x = 37; x <= 40; ++x) {
        EXPECT_TRUE(IsEmpty(x, 97)) << x;
    }
    // The selected point's square is drawn again in white, the others keep the object colour.
    for (int d = -2; d <= 2; ++d) {
        EXPECT_TRUE(IsWhite(120 + d, 102)) << ColourText(Pixel(120 + d, 102));
        EXPECT_TRUE(IsLine(80 + d, 102)) << d;
    }
    EXPECT_TRUE(IsEmpty(119, 101));
    EXPECT_TRUE(IsEmpty(120, 103));
}

TEST_F(CurveMarkerTest, HiddenNetShowsOnlyTheLineInMode0ButMarkersInMode5) {
    CCurve* curve =
        Add(MakeCurve({AtPixel(40, 100), AtPixel(80, 100), AtPixel(120, 100), AtPixel(160, 100)}));
    curve->netHidden = 1;
    Draw(kModeWireframe);
    EXPECT_TRUE(IsLine(60, 100));
    EXPECT_TRUE(IsEmpty(80, 102));
    EXPECT_EQ(DrawnColumns(98).size(), 0u);
    Draw(static_cast<EDisplayMode>(5));
    EXPECT_TRUE(IsLine(60, 100));
    EXPECT_TRUE(IsLine(80, 102));
}

TEST_F(CurveMarkerTest, CurveWithoutStepsIsItsControlPolygonClosedWhenTheCurveIs) {
    // A right triangle: the closing edge is the diagonal from (140, 140) back to (60, 60).
    CCurve* curve = Add(MakeCurve({AtPixel(60, 60), AtPixel(60, 140), AtPixel(140, 140)}, 1, true));
    Draw(kModeFastWireframe);  // no markers or labels in the fast wireframe
    EXPECT_TRUE(IsLine(60, 100));
    EXPECT_TRUE(IsLine(100, 140));
    EXPECT_TRUE(IsLine(100, 100));
    curve->closed = 0;
    Draw(kModeFastWireframe);
    EXPECT_TRUE(IsLine(60, 100));
    EXPECT_TRUE(IsLine(100, 140));
    EXPECT_TRUE(IsEmpty(100, 100));
}

TEST(ControlPointLabelTest, RunsOfCoincidentPointsShareOneLabel) {
    const CVector3 a(0, 0, 0), b(1, 0, 0), c(2, 0, 0), d(3, 0, 0), e(4, 0, 0), f(5, 0, 0);
    // Points 3..5 coincide, and so do 7 and 8; 9 differs from 8 by less than the tolerance.
    const std::vector<CVector3> points = {a, b, c, d, d, d, e, f, f, CVector3(5.00005f, 0, 0)};
    std::vector<std::string> texts;
    std::vector<int> at;
    for (const CPointLabel& label : ControlPointLabels(points)) {
        texts.push_back(label.text);
        at.push_back(label.index);
    }
    EXPECT_EQ(texts, (std::vector<std::string>{"0", "1", "2", "3..5", "6", "7..9"}));
    EXPECT_EQ(at, (std::vector<int>{0, 1, 2, 3, 6, 7}));
    const std::vector<CVector3> pair = {a, b, b};
    EXPECT_EQ(ControlPointLabels(pair).back().text, "1.2");
}

using CurveLabelTest = WireframeColours;

// Points 3, 4 and 5 coincide at pixel (135, 120). The curve runs down to the right, so the
// label, which grows right and up from its point, is drawn on empty ground.
TEST_F(CurveLabelTest, CoincidentPointsAreLabelledThreeDotDotFive) {
    std::vector<CVector3> points;
    for (const int k : {0, 1, 2, 3, 3, 3, 4}) {
        points.push_back(AtPixel(30 + 35 * k, 30 + 30 * k));
    }
    Add(MakeCurve(points));
    Draw(kModeWireframe);
    const int ax = 135;
    const int ay = 120;
    // "3": bars at the bottom, middle and top, one vertical stroke on the right (column +7),
    // no stroke on the left.
    for (int y = ay - 9; y <= ay - 1; ++y) {
        EXPECT_TRUE(IsLine(ax + 7, y)) << y;
    }
    for (const int y : {ay, ay - 5, ay - 10}) {
        EXPECT_TRUE(IsLine(ax + 4, y)) << y;
    }
    EXPECT_TRUE(IsEmpty(ax + 1, ay - 8));
    EXPECT_TRUE(IsEmpty(ax + 1, ay - 3));
    // Then two small squares, 7 pixels apart, each 3 x 3 with an empty centre.
    for (const int pen : {ax + 9, ax + 16}) {
        for (int x = pen + 3; x <= pen + 5; ++x) {
            EXPECT_TRUE(IsLine(x, ay)) << x;
            EXPECT_TRUE(IsLine(x, ay - 2)) << x;
        }
        EXPECT_TRUE(IsLine(pen + 3, ay - 1));
        EXPECT_TRUE(IsLine(pen + 5, ay - 1));
        EXPECT_TRUE(IsEmpty(pen + 4, ay - 1));
    }
    // "5" with its pen 23 pixels right of the anchor: the upper half's vertical stroke on the
    // left, the lower half's on the right.
    const int five = ax + 23;
    for (int y = ay - 9; y <= ay - 6; ++y) {
        EXPECT_TRUE(IsLine(five + 1, y)) << y;
        EXPECT_TRUE(IsEmpty(five + 7, y)) << y;
    }
    for (int y = ay - 4; y <= ay - 1; ++y) {
        EXPECT_TRUE(IsLine(five + 7, y)) << y;
        EXPECT_TRUE(IsEmpty(five + 1, y)) << y;
    }
    for (const int y : {ay, ay - 5, ay - 10}) {
        EXPECT_TRUE(IsLine(five + 4, y)) << y;
    }
    // The gaps between the characters, and the space after the label, are empty.
    for (int y = ay - 11; y <= ay + 1; ++y) {
        for (const int x : {ax + 8, ax + 9, ax + 10, ax + 11, ax + 15, ax + 16, ax + 17, ax + 18,
                            ax + 22, five + 10, five + 11}) {
            EXPECT_TRUE(IsEmpty(x, y)) << x << "," << y;
        }
    }
    // The digits of the other labels, not "4" or "5" again: nothing right of point 2's label.
    EXPECT_EQ(CountDrawnIn(five + 10, ay - 30, 199, ay + 1), 0);
}

using MeshWireframeTest = WireframeColours;

TEST_F(MeshWireframeTest, FastWireframeDrawsTheFirstEdgeOfEverySecondPolygon) {
    // Five separate squares side by side; each polygon's first edge is its bottom edge.
    std::vector<CVector3> points;
    std::vector<std::vector<int32_t>> polygons;
    for (int i = 0; i < 5; ++i) {
        const int x0 = 10 + 38 * i;
        const int x1 = x0 + 28;
        const int32_t first = static_cast<int32_t>(points.size());
        for (const auto& [x, y] : {std::pair{x0, 120}, {x1, 120}, {x1, 80}, {x0, 80}}) {
            points.push_back(AtPixel(x, y));
        }
        polygons.push_back({first, first + 1, first + 2, first + 3});
    }
    Add(MakeMesh(points, polygons));
    Draw(kModeFastWireframe);
    for (int i = 0; i < 5; ++i) {
        const int x0 = 10 + 38 * i;
        const int x1 = x0 + 28;
        const int middle = x0 + 14;
        EXPECT_EQ(IsLine(middle, 120), i % 2 == 0) << "polygon " << i;
        EXPECT_TRUE(IsEmpty(x1, 100)) << "polygon " << i;
        EXPECT_TRUE(IsEmpty(middle, 80)) << "polygon " << i;
        EXPECT_TRUE(IsEmpty(x0, 100)) << "polygon " << i;
    }
    Draw(kModeWireframe);
    for (int i = 0; i < 5; ++i) {
        const int x0 = 10 + 38 * i;
        EXPECT_TRUE(IsLine(x0 + 14, 120)) << "polygon " << i;
        EXPECT_TRUE(IsLine(x0 + 28, 100)) << "polygon " << i;
        EXPECT_TRUE(IsLine(x0 + 14, 80)) << "polygon " << i;
        EXPECT_TRUE(IsLine(x0, 100)) << "polygon " << i;
    }
}

using SurfaceWireframeTest = WireframeColours;

// A flat 4 x 4 net over pixels 52..148: its knots lie on the control points, 32 pixels apart.
TEST_F(SurfaceWireframeTest, EachModeDrawsItsOwnCurves) {
    CSurface* s = Add(MakeFlatSurface(52, 52, 148, 148, 0, 1));
    Draw(kModeWireframe);  // iso-curves through every knot
    EXPECT_EQ(DrawnColumns(98), (std::set<int>{52, 84, 116, 148}));
    EXPECT_TRUE(IsEmpty(50, 50));        // the net is hidden: no markers
    Draw(static_cast<EDisplayMode>(5));  // the evaluated grid: 8 steps per span, 3 spans
    std::set<int> grid;
    for (int k = 0; k <= 24; ++k) {
        grid.insert(52 + 4 * k);
    }
    EXPECT_EQ(DrawnColumns(98), grid);
    Draw(kModeFastWireframe);  // one curve through the middle row and one through the middle column
    EXPECT_EQ(DrawnColumns(98), (std::set<int>{116}));
    EXPECT_TRUE(IsLine(60, 116));
    EXPECT_TRUE(IsEmpty(60, 84));

    s->netHidden = 0;
    Draw(kModeWireframe);
    EXPECT_TRUE(IsLine(50, 50));  // corner of the marker at control point (52, 52)
    Draw(static_cast<EDisplayMode>(5));
    EXPECT_TRUE(IsEmpty(50, 50));
}

using ExtrusionWireframeTest = WireframeColours;

TEST_F(ExtrusionWireframeTest, FastWireframeShowsOnlyTheOutlines) {
    auto e = std::make_unique<CExtrusion>();
    e->firstPlaneAxis = 0;
    e->secondPlaneAxis = 1;
    e->extrusionAxis = 2;
    e->depth = 20.0f;  // 80 pixels up from row 99.5
    e->pointCounts = {4};
    e->stepsPerSpan = {4};
    e->profilePoints = {{-10, -10, 0}, {10, -10, 0}, {10, 10, 0}, {-10, 10, 0}};
    GenerateExtrusion(*e);
    Add(std::move(e));
    // The wall's fast curve along its middle column runs up at x = 20/3 (column 126).
    // The outlines, seen edge on, run between two pixel rows (99.5 and 19.5), either of which
    // the rasterizer may take.
    const auto outlines = [&] {
        return (IsLine(100, 99) || IsLine(100, 100)) && (IsLine(100, 19) || IsLine(100, 20));
    };
    Draw(kModeWireframe);
    EXPECT_TRUE(IsLine(126, 60));
    EXPECT_TRUE(outlines());
    Draw(kModeFastWireframe);
    EXPECT_TRUE(IsEmpty(126, 60));
    EXPECT_TRUE(outlines());
}

}  // namespace
}  // namespace orva::test
