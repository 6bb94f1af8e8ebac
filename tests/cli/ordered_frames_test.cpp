#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

#include "cli/ordered_frames.h"
#include "view/draw_surface.h"

namespace orva {
namespace {

// A frame that names itself in its one pixel (the fill reads back as the pixel), rendered in a time
// that varies from frame to frame so that the workers finish out of order.
struct CCountingRender {
    std::atomic<int> started{0};
    std::atomic<int> delivered{0};
    std::atomic<int> mostAhead{0};
    int stopAt = -1;

    std::unique_ptr<CImageSurface> operator()(int frame) {
        const int ahead = ++started - delivered.load();
        int most = mostAhead.load();
        while (ahead > most && !mostAhead.compare_exchange_weak(most, ahead)) {
        }
        std::this_thread::sleep_for(std::chrono::microseconds(200 * ((frame * 7919) % 13)));
        if (frame == stopAt) {
            return nullptr;
        }
        return std::make_unique<CImageSurface>(1, 1, static_cast<uint32_t>(frame));
    }
};

TEST(OrderedFramesTest, FramesArriveInOrderWithFewHeldAtOnce) {
    for (const int workers : {1, 3, 8}) {
        CCountingRender render;
        std::vector<int> order;
        const COrderedFramesResult result = RenderFramesInOrder(
            60, workers, [&](int frame) { return render(frame); },
            [&](int frame, const CImageSurface& picture) {
                order.push_back(static_cast<int>(picture.Pixel(0, 0)));
                EXPECT_EQ(frame, static_cast<int>(order.size()) - 1);
                ++render.delivered;
                return true;
            });
        EXPECT_EQ(result.delivered, 60);
        EXPECT_FALSE(result.renderStopped);
        EXPECT_FALSE(result.deliveryFailed);
        std::vector<int> expected(60);
        for (int i = 0; i < 60; ++i) {
            expected[i] = i;
        }
        EXPECT_EQ(order, expected) << workers << " workers";
        EXPECT_EQ(render.started.load(), 60);
        // Frames started and not yet handed over: at most two per worker wait their turn.
        EXPECT_LE(render.mostAhead.load(), 2 * workers) << workers << " workers";
    }
}

TEST(OrderedFramesTest, AStoppedRenderOrARefusedFrameEndsTheRun) {
    CCountingRender stopped;
    stopped.stopAt = 17;
    const COrderedFramesResult interrupted = RenderFramesInOrder(
        100, 4, [&](int frame) { return stopped(frame); },
        [](int, const CImageSurface&) { return true; });
    EXPECT_TRUE(interrupted.renderStopped);
    EXPECT_LE(interrupted.delivered, 17);
    EXPECT_LT(stopped.started.load(), 100);

    CCountingRender render;
    int deliveries = 0;
    const COrderedFramesResult refused = RenderFramesInOrder(
        100, 4, [&](int frame) { return render(frame); },
        [&](int frame, const CImageSurface&) {
            ++deliveries;
            return frame < 5;
        });
    EXPECT_TRUE(refused.deliveryFailed);
    EXPECT_FALSE(refused.renderStopped);
    EXPECT_EQ(refused.delivered, 5);
    EXPECT_EQ(deliveries, 6);
    EXPECT_LE(render.started.load(), 5 + 2 * 4);
}

}  // namespace
}  // namespace orva
