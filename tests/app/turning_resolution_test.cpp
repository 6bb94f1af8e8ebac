#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "app/turning_resolution.h"

namespace orva {
namespace {

constexpr double kTarget = 50.0;

TEST(TurningResolutionTest, TheShareMovesTowardTheTargetWithinItsBounds) {
    EXPECT_LT(NextTurningFraction(0.25, 80.0, kTarget), 0.25);
    EXPECT_GT(NextTurningFraction(0.25, 30.0, kTarget), 0.25);
    EXPECT_DOUBLE_EQ(NextTurningFraction(0.25, kTarget, kTarget), 0.25);
    // One picture moves it half the way, in ratio: four times too slow halves it.
    EXPECT_DOUBLE_EQ(NextTurningFraction(0.5, 4 * kTarget, kTarget), 0.25);
    // Never more than twice or half at once, whatever one picture took.
    EXPECT_DOUBLE_EQ(NextTurningFraction(0.5, 1e6, kTarget), 0.25);
    EXPECT_DOUBLE_EQ(NextTurningFraction(0.25, 1e-6, kTarget), 0.5);
    // Slow pictures stop at an eighth, fast ones at the whole view.
    double slow = kTurningStartFraction;
    double fast = kTurningStartFraction;
    for (int i = 0; i < 20; ++i) {
        slow = NextTurningFraction(slow, 1000.0, kTarget);
        fast = NextTurningFraction(fast, 1.0, kTarget);
    }
    EXPECT_DOUBLE_EQ(slow, kTurningLeastFraction);
    EXPECT_DOUBLE_EQ(fast, 1.0);
    // A time that says nothing leaves it within its bounds.
    for (const double time : {0.0, -5.0, std::numeric_limits<double>::quiet_NaN()}) {
        const double next = NextTurningFraction(0.75, time, kTarget);
        EXPECT_GE(next, kTurningLeastFraction);
        EXPECT_LE(next, 1.0);
    }
    EXPECT_DOUBLE_EQ(NextTurningFraction(0.01, kTarget, kTarget), kTurningLeastFraction);
}

TEST(TurningResolutionTest, ASceneWhoseTimeGrowsWithThePixelsSettlesOnTheTarget) {
    // 8 ms whatever the size, plus 120 ms for the whole view: 50 ms at 0.35 of the pixels.
    const auto frameTime = [](double fraction) { return 8.0 + 120.0 * fraction; };
    double fraction = kTurningStartFraction;
    for (int i = 0; i < 12; ++i) {
        fraction = NextTurningFraction(fraction, frameTime(fraction), kTarget);
    }
    EXPECT_NEAR(fraction, 0.35, 0.01);
    EXPECT_NEAR(frameTime(fraction), kTarget, 1.5);
}

TEST(TurningResolutionTest, ThePictureSizeHoldsTheShareOfThePixelsInTheViewsShape) {
    const CTurningSize quarter = TurningPictureSize(1920, 1080, 0.25);
    EXPECT_EQ(quarter.width, 960);
    EXPECT_EQ(quarter.height, 540);
    const CTurningSize eighth = TurningPictureSize(1920, 1080, 0.125);
    EXPECT_EQ(eighth.width, 679);
    EXPECT_EQ(eighth.height, 382);
    EXPECT_NEAR(double(eighth.width) * eighth.height / (1920.0 * 1080.0), 0.125, 0.001);
    const CTurningSize whole = TurningPictureSize(1920, 1080, 3.0);
    EXPECT_EQ(whole.width, 1920);
    EXPECT_EQ(whole.height, 1080);
    for (const CTurningSize tiny : {TurningPictureSize(1, 1, 0.125), TurningPictureSize(0, -4, 0.5),
                                    TurningPictureSize(640, 480, -1.0)}) {
        EXPECT_EQ(tiny.width, 1);
        EXPECT_EQ(tiny.height, 1);
    }
}

}  // namespace
}  // namespace orva
