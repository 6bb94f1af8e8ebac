// Bands of rows over many random pictures: they tile the rows in order, stay within their
// sizes, and end small enough that no worker waits long for the last one.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>

#include "render/band_plan.h"
#include "render/object_boxes.h"
#include "render/render_scene.h"
#include "scene/poly_mesh.h"

namespace orva {
namespace {

double WorkOf(const std::vector<double>& work, const CRenderRect& rect, const CRenderRect& band) {
    return std::accumulate(work.begin() + (band.y0 - rect.y0),
                           work.begin() + (band.y1 - rect.y0 + 1), 0.0);
}

TEST(BandPlanTest, BandsTileTheRowsAndShrinkTowardsTheEnd) {
    std::mt19937 random(7);
    for (int trial = 0; trial < 2000; ++trial) {
        const int rows = std::uniform_int_distribution<int>(1, 3000)(random);
        const int threads = std::uniform_int_distribution<int>(1, 8)(random);
        const CRenderRect rect{-5, 90, trial - 1000, trial - 1000 + rows - 1};
        // Empty rows, a few objects in bands of rows, now and then one heavy spike.
        std::vector<double> work(rows, 1.0);
        for (int object = std::uniform_int_distribution<int>(0, 20)(random); object > 0; --object) {
            const int top = std::uniform_int_distribution<int>(0, rows - 1)(random);
            const int height = std::uniform_int_distribution<int>(1, 400)(random);
            const double weight = trial % 7 == 0 ? 1e5 : 50.0;
            for (int y = top; y < std::min(rows, top + height); ++y) {
                work[y] += weight;
            }
        }
        const EBandEnds ends = trial % 2 == 0 ? EBandEnds::kBandsWhole : EBandEnds::kRowsShared;
        const std::vector<CRenderRect> bands = SplitIntoBands(rect, work, threads, ends);
        ASSERT_FALSE(bands.empty());
        int next = rect.y0;
        for (std::size_t b = 0; b < bands.size(); ++b) {
            const CRenderRect& band = bands[b];
            ASSERT_EQ(band.y0, next) << trial;
            ASSERT_EQ(band.x0, rect.x0);
            ASSERT_EQ(band.x1, rect.x1);
            const int height = band.y1 - band.y0 + 1;
            ASSERT_GE(height, b + 1 < bands.size() ? std::min(rows, 8) : 1) << trial;
            ASSERT_LE(height, 256) << trial;
            next = band.y1 + 1;
        }
        ASSERT_EQ(next, rect.y1 + 1) << trial;
        if (threads > 1 && rows > 256 && ends == EBandEnds::kBandsWhole) {
            // The last band is small beside the work: at most half a thread's share of it, and
            // the few rows that no band may be without.
            const double total = std::accumulate(work.begin(), work.end(), 0.0);
            const double heaviestRow = *std::max_element(work.begin(), work.end());
            EXPECT_LE(WorkOf(work, rect, bands.back()),
                      total / (2.0 * threads) + 16 * heaviestRow + 1e-6)
                << trial;
            EXPECT_LE(bands.size(), std::size_t(12 * threads + rows / 256)) << trial;
        }
        if (ends == EBandEnds::kRowsShared) {
            // Fewer trees where workers share the last rows.
            EXPECT_LE(bands.size(), std::size_t(4 * threads + rows / 256)) << trial;
        }
    }
}

// An object far larger than the picture (a stray point makes one) covers every row with the
// picture's width: its box is clipped before it is taken as rows and columns.
TEST(BandPlanTest, AnObjectFarBeyondThePictureCoversEveryRow) {
    CPolyMesh mesh;  // only its points count for its box
    mesh.points = {{-7e29f, -7e29f, 0.0f}, {7e29f, 7e29f, 0.0f}};
    CRenderRequest request;
    request.first = &mesh;
    request.windowMatrix = CMatrix4::Identity();
    const CRenderRect rect{0, 99, 0, 49};
    const CObjectBoxes boxes(request.first, request.stop, request.windowMatrix);
    const std::vector<double> work = EstimateRowWork(request, rect, boxes);
    ASSERT_EQ(work.size(), 50u);
    const std::vector<double> empty =
        EstimateRowWork(request, rect, CObjectBoxes(nullptr, nullptr, CMatrix4()));
    for (std::size_t y = 0; y < work.size(); ++y) {
        EXPECT_DOUBLE_EQ(work[y] - empty[y], 101.0) << y;
    }
}

}  // namespace
}  // namespace orva
