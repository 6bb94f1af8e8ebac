#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "cli/ordered_frames.h"
#include "view/draw_surface.h"

namespace orva {
namespace {

// Frames that name themselves in their one pixel, rendered in times that vary from frame to
// frame so that the workers finish out of order, come out in order with at most two frames per
// worker started ahead of the one being handed over; a stopped render or a refused frame ends
// the run after the frames in progress.
TEST(OrderedFramesTest, FramesArriveInOrderWithFewHeldAndStopWhenAskedTo) {
    for (const int workers : {1, 3, 8}) {
        for (const int stopAt : {-1, 17}) {
            std::atomic<int> started{0};
            std::atomic<int> delivered{0};
            std::atomic<bool> tooFarAhead{false};
            const auto render = [&](int frame) -> std::unique_ptr<CImageSurface> {
                tooFarAhead = tooFarAhead || ++started - delivered > 2 * workers;
                std::this_thread::sleep_for(std::chrono::microseconds(200 * (frame * 7919 % 13)));
                return frame == stopAt ? nullptr : std::make_unique<CImageSurface>(1, 1, frame);
            };
            const auto deliver = [&](int frame, const CImageSurface& picture) {
                EXPECT_EQ(frame, delivered.load());
                EXPECT_EQ(picture.Pixel(0, 0), uint32_t(frame));
                return ++delivered < 50;  // the 50th frame is refused
            };
            const COrderedFramesResult result = RenderFramesInOrder(60, workers, render, deliver);
            EXPECT_FALSE(tooFarAhead) << workers;
            EXPECT_EQ(result.renderStopped, stopAt >= 0);
            EXPECT_EQ(result.deliveryFailed, stopAt < 0);
            EXPECT_EQ(result.delivered, stopAt < 0 ? 49 : delivered.load());
            EXPECT_LE(result.delivered, stopAt < 0 ? 49 : stopAt);
            EXPECT_LE(started, (stopAt < 0 ? 49 : stopAt) + 1 + 2 * workers);
        }
    }
}

}  // namespace
}  // namespace orva
