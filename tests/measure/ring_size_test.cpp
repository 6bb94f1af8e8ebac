#include "measure/ring_size.h"

#include "measure/jewel_report.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <numbers>
#include <string>

#include "render/csg/csg_plan.h"
#include "render/test_shapes.h"
#include "scene/poly_mesh.h"
#include "scene/scene_file.h"
#include "scene/scene_object.h"

namespace orva {
namespace {

// Rows worked by hand from the published definitions the conversions cite: US 0 is 11.6332 mm
// across and a size 0.8128 mm more; UK C is 40 mm round (EU 0 of the old scale) and a letter
// 1.25 mm more; Japanese n is (n + 38) / 3 mm across.
TEST(RingSizeTest, SizesInEverySystem) {
    struct CRow {
        double diameter;
        const char *us, *uk, *eu, *jp;
    };
    const CRow rows[] = {
        {16.0, "5 1/4", "K", "50", "10"},
        {17.0, "6 1/2", "M 1/2", "53", "13"},
        {40.0 / 3.14159265358979, "1 1/4", "C", "40", "below 1"},
        {11.6332, "0", "below A", "37", "below 1"},
        {22.33, "13 1/4", "Z+1", "70", "29"},
        {68.75 / 3.14159265358979, "12 1/2", "Z", "69", "28"},
        {14.0, "3", "F", "44", "4"},
    };
    for (const CRow& r : rows) {
        const CRingSize s = RingSizeOf(r.diameter);
        EXPECT_NEAR(s.circumferenceMm, 3.14159265358979 * r.diameter, 1e-9);
        EXPECT_EQ(s.us, r.us) << r.diameter;
        EXPECT_EQ(s.uk, r.uk) << r.diameter;
        EXPECT_EQ(s.eu, r.eu) << r.diameter;
        EXPECT_EQ(s.jp, r.jp) << r.diameter;
    }
}

// A plain band as a closed mesh of `segments` sides round model y: its bore is known exactly.
std::unique_ptr<CPolyMesh> Band(float inner, float outer, float width, int segments) {
    auto band = std::make_unique<CPolyMesh>();
    for (int k = 0; k < segments; ++k) {
        const double a = 2.0 * std::numbers::pi * k / segments;
        for (const float r : {inner, outer}) {
            for (const float y : {-width / 2, width / 2}) {
                band->points.emplace_back(r * std::cos(a), y, r * std::sin(a));
            }
        }
    }
    band->selection.assign(band->points.size(), 0);
    for (int k = 0; k < segments; ++k) {
        const int p = 4 * k;
        const int q = 4 * ((k + 1) % segments);
        // inner, outer, lower and upper faces of the segment
        for (const std::array<int, 4> face : {std::array{p, p + 1, q + 1, q},
                                              {p + 2, q + 2, q + 3, p + 3},
                                              {p, q, q + 2, p + 2},
                                              {p + 1, p + 3, q + 3, q + 1}}) {
            band->polygonSizes.push_back(4);
            band->vertexIndices.insert(band->vertexIndices.end(), face.begin(), face.end());
        }
    }
    if (ShapeMeshVolume(*band).value_or(0.0) < 0.0) {
        for (std::size_t i = 0; i < band->vertexIndices.size(); i += 4) {
            std::swap(band->vertexIndices[i + 1], band->vertexIndices[i + 3]);
        }
    }
    return band;
}

// A band round a bore of 16 mm, upright and tilted: the inner diameter is found along the
// opening's own axis, whichever way it points.
TEST(RingSizeTest, BoreOfABandAlongItsOwnAxis) {
#ifdef ORVA_SANITIZED
    const double tilts[] = {0.45};  // the upright band takes no path the tilted one does not
#else
    const double tilts[] = {0.0, 0.45};
#endif
    for (const double tilt : tilts) {
        CSceneAnchor scene;
        auto band = Band(8.0f / std::cos(3.14159265358979f / 720), 9.6f, 2.0f, 720);
        for (CVector3& p : band->points) {
            const float y =
                p.y * static_cast<float>(std::cos(tilt)) - p.z * static_cast<float>(std::sin(tilt));
            p.z =
                p.y * static_cast<float>(std::sin(tilt)) + p.z * static_cast<float>(std::cos(tilt));
            p.y = y;
        }
        scene.first = band.release();
        const CCsgPlan plan = MakeCsgPlan(scene.first, nullptr);
        CRingSearch search;
        search.first = scene.first;
        search.metal = &plan;
        ResetBounds(search.min, search.max);
        scene.first->GetBounds(search.min, search.max, CMatrix4::Identity());
        const std::optional<CRingSize> ring = FindRingSize(search);
        ASSERT_TRUE(ring) << tilt;
        EXPECT_NEAR(ring->innerDiameterMm, 16.0, 0.05) << tilt;
        EXPECT_NEAR(std::fabs(ring->axis.y), std::cos(tilt), 0.01) << tilt;
        ClearScene(scene);
    }
}

}  // namespace
}  // namespace orva
