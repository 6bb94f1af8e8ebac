#include "render/csg/span_setup.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>

namespace orva {
namespace {

// The first column a span takes, as the walk defined it before it had a faster form: the
// floor of the biased column, clamped in double.
int ReferenceCentreColumn(float x, int firstColumn, int lastColumn) {
    const double c = std::floor(static_cast<double>(x + kCentreBias));
    return static_cast<int>(std::clamp(c, firstColumn - 1.0, lastColumn + 1.0));
}

TEST(SpanSetUpTest, CentreColumnEqualsTheFloorClampedToTheRectangle) {
    std::mt19937 rng(1208);
    const float special[] = {0.0f,
                             -0.0f,
                             0.0001f,
                             -0.0001f,
                             0.5f,
                             -0.5f,
                             1.0f - kCentreBias,
                             -kCentreBias,
                             99.0f,
                             99.9999f,
                             100.0f,
                             -1.0f,
                             -1e-30f,
                             3e38f,
                             -3e38f,
                             std::numeric_limits<float>::max(),
                             std::numeric_limits<float>::lowest(),
                             std::nextafter(5.0f, 0.0f)};
    const int rectangles[][2] = {{0, 99}, {-40, 17}, {13, 13}, {0, 65535}};
    for (const auto& r : rectangles) {
        for (float x : special) {
            EXPECT_EQ(CentreColumn(x, r[0], r[1]), ReferenceCentreColumn(x, r[0], r[1])) << x;
        }
        // Every bit pattern of a finite float is as likely: tiny, huge and near-whole columns.
        for (int i = 0; i < 200000; ++i) {
            const uint32_t bits = rng();
            float x = 0.0f;
            std::memcpy(&x, &bits, sizeof x);
            if (!std::isfinite(x)) {
                continue;
            }
            ASSERT_EQ(CentreColumn(x, r[0], r[1]), ReferenceCentreColumn(x, r[0], r[1])) << x;
        }
        // Columns near the rectangle, where the floor itself decides.
        std::uniform_real_distribution<float> near(float(r[0]) - 3.0f, float(r[1]) + 3.0f);
        for (int i = 0; i < 200000; ++i) {
            const float x = near(rng);
            ASSERT_EQ(CentreColumn(x, r[0], r[1]), ReferenceCentreColumn(x, r[0], r[1])) << x;
        }
    }
}

}  // namespace
}  // namespace orva
