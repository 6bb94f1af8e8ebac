#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "json_scene.h"
#include "mesh_measures.h"
#include "scene/gem_library.h"
#include "shipped_gems.h"

namespace orva {
namespace {

using nlohmann::json;
using test::CPoint2;

constexpr double kDegree = M_PI / 180.0;
// Points are stored as floats of about unit size.
constexpr double kLength = 2e-5;

bool IsOneOf(const std::string& name, std::initializer_list<const char*> names) {
    return std::any_of(names.begin(), names.end(), [&](const char* n) { return name == n; });
}
bool IsBrilliant(const std::string& cut) {
    return IsOneOf(cut,
                   {"roundBrilliant", "oval", "marquise", "pear", "heart", "cushion", "trillion"});
}
bool IsStepped(const std::string& cut) {
    return IsOneOf(cut, {"emerald", "baguette", "princess"});
}
bool IsSmooth(const std::string& cut) {
    return IsOneOf(cut, {"cabochon", "pearl"});
}

// What the description promises, worked out from its proportions on their own.
struct CPromise {
    double ratio = 1.0;     // length along y over width along x
    double crown = 0.0;     // highest point above the girdle
    double pavilion = 0.0;  // lowest point below it
    double table = -1.0;    // width of the top facet; negative when there is none
};

// Rows of steps going in by `inset` in equal shares, each at its angle.
double RowsHeight(const json& angles, double inset) {
    double height = 0.0;
    for (const json& a : angles) {
        height += inset / static_cast<double>(angles.size()) * std::tan(a.get<double>() * kDegree);
    }
    return height;
}

CPromise Promised(const json& cut) {
    const std::string name = cut.at("cut");
    CPromise p;
    p.ratio = cut.value("ratio", 1.0);
    if (IsBrilliant(name)) {
        p.table = cut.at("table");
        // Angles are those of the mains at the ends of the width, from girdle to table (half
        // the width less half the table) and from girdle to culet (half the width).
        p.crown =
            cut.contains("crownAngle")
                ? (1.0 - p.table) / 2.0 * std::tan(cut.at("crownAngle").get<double>() * kDegree)
                : cut.at("crownHeight").get<double>();
        p.pavilion = cut.contains("pavilionAngle")
                         ? 0.5 * std::tan(cut.at("pavilionAngle").get<double>() * kDegree)
                         : cut.at("pavilionDepth").get<double>();
    } else if (IsStepped(name)) {
        p.table = cut.at("table");
        p.crown = RowsHeight(cut.at("crownAngles"), (1.0 - p.table) / 2.0);
        p.pavilion = RowsHeight(cut.at("pavilionAngles"), 0.5);
    } else if (name == "cabochon") {
        p.crown = cut.at("dome");
    } else {
        p.crown = p.pavilion = 0.5;
    }
    return p;
}

class ShippedGemTest : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override {
        m_mesh = test::ShippedShape(GetParam());
        ASSERT_NE(m_mesh, nullptr)
            << "no polygon mesh at index " << GetParam() << " of " << test::ShippedLibraryPath();
        m_name = test::kShippedCutNames[GetParam()];
        m_promise = Promised(test::ShippedCut(GetParam()));
    }

    double MinZ() const {
        return std::min_element(m_mesh->points.begin(), m_mesh->points.end(),
                                [](auto& a, auto& b) { return a.z < b.z; })
            ->z;
    }
    double MaxZ() const {
        return std::max_element(m_mesh->points.begin(), m_mesh->points.end(),
                                [](auto& a, auto& b) { return a.z < b.z; })
            ->z;
    }

    const CPolyMesh* m_mesh = nullptr;
    std::string m_name;
    CPromise m_promise;
};

TEST(ShippedGemLibrary, HoldsTheTwelveCutsInIndexOrder) {
    const json& cuts = test::ShippedDescription().at("cuts");
    ASSERT_EQ(cuts.size(), static_cast<std::size_t>(test::kShippedGems));
    for (int i = 0; i < test::kShippedGems; ++i) {
        EXPECT_EQ(cuts[static_cast<std::size_t>(i)].at("cut"), test::kShippedCutNames[i]) << i;
        EXPECT_NE(test::ShippedShape(i), nullptr) << i;
    }
    CGemLibrary library(test::ShippedLibraryPath());
    EXPECT_EQ(library.LoadGemLibrary(), test::kShippedGems);
}

TEST(ShippedGemLibrary, IsWhatTheGeneratorMakesOfTheDescription) {
    std::ifstream file(test::ShippedLibraryPath(), std::ios::binary);
    const std::vector<uint8_t> shipped((std::istreambuf_iterator<char>(file)),
                                       std::istreambuf_iterator<char>());
    EXPECT_EQ(shipped, FileBytesFromJson(test::ShippedDescription()));
}

TEST_P(ShippedGemTest, IsAnUnselectedMeshShadedAsItsKindOfStone) {
    EXPECT_EQ(m_mesh->selection.size(), m_mesh->points.size());
    EXPECT_TRUE(std::all_of(m_mesh->selection.begin(), m_mesh->selection.end(),
                            [](int32_t s) { return s == 0; }));
    EXPECT_EQ(m_mesh->orientation, 1);
    EXPECT_EQ(m_mesh->flatShading, IsSmooth(m_name) ? 0 : 1);
}

TEST_P(ShippedGemTest, IsAClosedSurfaceWithEveryEdgeMetOnceEachWay) {
    EXPECT_EQ(test::UnmatchedEdges(*m_mesh), 0);
    // One piece without handles: V - E + F = 2.
    EXPECT_EQ(m_mesh->PointCount() - test::EdgeCount(*m_mesh) + m_mesh->PolygonCount(), 2);
    for (const auto& polygon : test::Polygons(*m_mesh)) {
        const std::set<int32_t> distinct(polygon.begin(), polygon.end());
        EXPECT_EQ(distinct.size(), polygon.size()) << "a corner repeats in a facet";
    }
}

TEST_P(ShippedGemTest, FacetsAreFlatAndTheirFirstCornersGiveTheirOwnSide) {
    for (const auto& polygon : test::Polygons(*m_mesh)) {
        const auto corners = test::Corners(*m_mesh, polygon);
        ASSERT_GE(corners.size(), 3u);
        EXPECT_LT(test::FlatnessError(corners), kLength);
        const CVector3 first = test::FirstCornersNormal(corners);
        ASSERT_GT(Length(first), 1e-9f) << "first three corners in a line";
        // The viewer shades with the first three corners' normal: it must be the facet's.
        EXPECT_GT(DotProduct(Normalized(first), Normalized(test::AreaNormal(corners))), 0.999f);
    }
}

TEST_P(ShippedGemTest, EnclosesAPositiveVolumeBetweenDoubleConeAndPrism) {
    const double volume = test::SignedVolume(*m_mesh);
    const double area = test::OutlineArea(test::GirdleOutline(*m_mesh));
    const double height = MaxZ() - MinZ();
    EXPECT_GT(volume, 0.0) << "the facets face inward";
    // A stone bulging out to its girdle holds at least the cones from the girdle to its top
    // and bottom points and at most the prism over the girdle.
    EXPECT_GT(volume, area * height / 3.0);
    EXPECT_LT(volume, area * height);
}

// Jewellers estimate a diamond's weight from its measurements in millimetres as
// length x width x depth x a factor for the shape (the factors in common use, for the usual
// length-to-width ratios). A carat is 200 mg and diamond weighs 3.52 mg per cubic millimetre,
// so the factor times 200 / 3.52 is the share of the box the stone fills. The estimates allow
// for a girdle of some thickness, which these knife-edge stones lack, so the volume may fall
// somewhat short; 20 % either way still tells a stone of the cut from a wrong shape.
TEST_P(ShippedGemTest, FillsItsBoxAsJewellersEstimateForItsShape) {
    const std::map<std::string, double> kFactors = {
        {"roundBrilliant", 0.0061}, {"oval", 0.0062},     {"marquise", 0.0058},
        {"pear", 0.0060},           {"heart", 0.0059},    {"emerald", 0.0090},
        {"princess", 0.0083},       {"baguette", 0.00915}};
    const double box = m_promise.ratio * (m_promise.crown + m_promise.pavilion);
    const double volume = test::SignedVolume(*m_mesh);
    if (m_name == "cabochon") {
        // Half a spheroid over the elliptical base.
        EXPECT_NEAR(volume, 2.0 / 3.0 * M_PI * 0.25 * m_promise.ratio * m_promise.crown,
                    0.015 * volume);
    } else if (m_name == "pearl") {
        EXPECT_NEAR(volume, M_PI / 6.0, 0.015 * volume);
    } else if (const auto factor = kFactors.find(m_name); factor != kFactors.end()) {
        EXPECT_NEAR(volume / box, factor->second * 200.0 / 3.52, 0.2 * volume / box);
    }
}

TEST_P(ShippedGemTest, SmoothStonesBendLittleFromFacetToFacet) {
    if (!IsSmooth(m_name)) {
        return;
    }
    // The renderer smooths across edges bending less than about 26 degrees: a finely
    // divided dome or sphere must stay well below that to look round.
    EXPECT_LT(test::LargestBendDegrees(*m_mesh, true), 10.0);
    for (const CVector3& p : m_mesh->points) {
        if (m_name == "pearl") {
            EXPECT_NEAR(Length(p), 0.5, kLength);
        } else {
            const double x = p.x / 0.5, y = p.y / (0.5 * m_promise.ratio),
                         z = p.z / m_promise.crown;
            EXPECT_NEAR(x * x + y * y + z * z, 1.0, 1e-4) << "off the dome";
        }
    }
}

TEST_P(ShippedGemTest, GirdleIsOneWideAndRatioLongAtZeroHeight) {
    const std::vector<CPoint2> outline = test::GirdleOutline(*m_mesh);
    ASSERT_GE(outline.size(), 3u) << "no single girdle loop at z = 0";
    auto [minX, maxX] = std::minmax_element(outline.begin(), outline.end(),
                                            [](auto& a, auto& b) { return a.x < b.x; });
    auto [minY, maxY] = std::minmax_element(outline.begin(), outline.end(),
                                            [](auto& a, auto& b) { return a.y < b.y; });
    EXPECT_NEAR(maxX->x - minX->x, 1.0, kLength);
    EXPECT_NEAR(maxY->y - minY->y, m_promise.ratio, kLength);
    EXPECT_NEAR(maxX->x + minX->x, 0.0, kLength) << "girdle box centred on the origin";
    EXPECT_NEAR(maxY->y + minY->y, 0.0, kLength);
    EXPECT_GT(test::OutlineArea(outline), 0.0) << "counter-clockwise seen from above";
    // Nothing reaches out past the girdle's box.
    for (const CVector3& p : m_mesh->points) {
        EXPECT_LE(std::abs(p.x), 0.5 + kLength);
        EXPECT_LE(std::abs(p.y), m_promise.ratio / 2.0 + kLength);
    }
}

TEST_P(ShippedGemTest, TableFacesUpAtTheCrownHeightAndThePavilionIsAsDeepAsDescribed) {
    EXPECT_NEAR(MaxZ(), m_promise.crown, kLength);
    EXPECT_NEAR(-MinZ(), m_promise.pavilion, kLength);
    if (m_promise.table < 0.0) {
        return;
    }
    // The table: the one facet facing straight up, at the top, as wide as described.
    int tables = 0;
    for (const auto& polygon : test::Polygons(*m_mesh)) {
        const auto corners = test::Corners(*m_mesh, polygon);
        if (test::TiltDegrees(corners) > 0.01) {
            continue;
        }
        ++tables;
        auto [lo, hi] = std::minmax_element(corners.begin(), corners.end(),
                                            [](auto& a, auto& b) { return a.x < b.x; });
        EXPECT_NEAR(hi->x - lo->x, m_promise.table, kLength);
        for (const CVector3& c : corners) {
            EXPECT_NEAR(c.z, m_promise.crown, kLength);
        }
    }
    EXPECT_EQ(tables, 1);
}

// Standard view 3 at zoom 1 shows 50 model units over the picture's height: a pixel (c, r)
// has its centre at model x = (c - size / 2 + 0.5) / k, y = -(r - size / 2 + 0.5) / k with
// k = size / 50 pixels per unit. Seen from above, a stone covers exactly its girdle outline.
TEST_P(ShippedGemTest, SilhouetteFromAboveIsTheGirdleOutline) {
    const std::vector<CPoint2> outline = test::GirdleOutline(*m_mesh);
    ASSERT_GE(outline.size(), 3u);
    constexpr int kSize = 320;
    const float scale = 36.0f / static_cast<float>(std::max(1.0, m_promise.ratio));
    const auto picture = test::RenderFromAbove(GetParam(), scale, kSize);
    const double pixelsPerUnit = kSize / 50.0 * scale;
    int covered = 0;
    int wrong = 0;
    for (int r = 0; r < kSize; ++r) {
        for (int c = 0; c < kSize; ++c) {
            const CPoint2 centre{(c - kSize / 2.0 + 0.5) / pixelsPerUnit,
                                 -(r - kSize / 2.0 + 0.5) / pixelsPerUnit};
            const uint32_t pixel = picture->Pixel(c, r);
            ASSERT_NE(pixel, test::kUnrendered) << c << "," << r;
            const bool isCovered = pixel != test::kBackground;
            covered += isCovered ? 1 : 0;
            if (test::DistanceToOutline(outline, centre) * pixelsPerUnit <= 1.0) {
                continue;  // the edge may fall either way within a pixel
            }
            if (isCovered != test::InsideOutline(outline, centre)) {
                ++wrong;
                ADD_FAILURE() << "pixel " << c << "," << r << " covered " << isCovered;
                if (wrong > 10) {
                    return;
                }
            }
        }
    }
    const double expected = test::OutlineArea(outline) * pixelsPerUnit * pixelsPerUnit;
    EXPECT_NEAR(covered, expected, 0.02 * expected);
}

// The 57 facets of the round brilliant stand at the angles of its description.
TEST(ShippedRoundBrilliant, HasItsFiftySevenFacetsAtTheirAngles) {
    const CPolyMesh* mesh = test::ShippedShape(0);
    ASSERT_NE(mesh, nullptr);
    const CPromise promise = Promised(test::ShippedCut(0));
    const json& cut = test::ShippedCut(0);
    const double crownAngle = cut.at("crownAngle"), pavilionAngle = cut.at("pavilionAngle");
    ASSERT_TRUE(mesh->PolygonCount() == 57 || mesh->PolygonCount() == 58)
        << mesh->PolygonCount() << " facets";
    int tables = 0, kites = 0, crownTriangles = 0, pavilionMains = 0, lowerGirdles = 0;
    for (const auto& polygon : test::Polygons(*mesh)) {
        const auto corners = test::Corners(*mesh, polygon);
        const bool crown = std::all_of(corners.begin(), corners.end(),
                                       [](const CVector3& c) { return c.z > -kLength; });
        const double tilt = test::TiltDegrees(corners);
        if (crown && corners.size() == 8) {
            ++tables;
            EXPECT_NEAR(tilt, 0.0, 0.01);
        } else if (crown && corners.size() == 4) {
            ++kites;
            EXPECT_NEAR(tilt, crownAngle, 0.01) << "a bezel facet";
        } else if (crown && corners.size() == 3) {
            ++crownTriangles;
            EXPECT_LT(tilt, 60.0);
        } else if (!crown && corners.size() == 4) {
            ++pavilionMains;
            EXPECT_NEAR(180.0 - tilt, pavilionAngle, 0.01) << "a pavilion main";
        } else if (!crown && corners.size() == 3) {
            ++lowerGirdles;
        }
    }
    EXPECT_EQ(tables, 1);
    EXPECT_EQ(kites, 8);
    EXPECT_EQ(crownTriangles, 8 + 16);  // stars and upper girdle facets
    EXPECT_EQ(pavilionMains, 8);
    EXPECT_EQ(lowerGirdles, 16);
    // The girdle is a circle of diameter 1 through its 16 corners.
    const auto outline = test::GirdleOutline(*mesh);
    EXPECT_EQ(outline.size(), 16u);
    for (const CPoint2& p : outline) {
        EXPECT_NEAR(std::hypot(p.x, p.y), 0.5, kLength);
    }
    // The ideal table spans 53 to 57 % of the width.
    EXPECT_GE(promise.table, 0.53 - kLength);
    EXPECT_LE(promise.table, 0.57 + kLength);
}

INSTANTIATE_TEST_SUITE_P(EveryCut, ShippedGemTest, ::testing::Range(0, test::kShippedGems),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return std::string(test::kShippedCutNames[info.param]);
                         });

}  // namespace
}  // namespace orva
