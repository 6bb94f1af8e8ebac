#include <gtest/gtest.h>

#include <thread>

#include "platform/thread_priority.h"

namespace orva {
namespace {

// Each case runs in threads of its own: a lowered priority cannot be raised again, and the
// test program's main thread must keep its own.
TEST(ThreadPriority, LowersOnlyTheCallingThreadAndWhatItStartsLater) {
    const int mainBefore = CurrentThreadNiceness();
    int before = 0;
    int after = 0;
    int child = 0;
    bool lowered = false;
    std::thread worker([&] {
        before = CurrentThreadNiceness();
        lowered = LowerCurrentThreadPriority();
        after = CurrentThreadNiceness();
        std::thread started([&] { child = CurrentThreadNiceness(); });
        started.join();
    });
    worker.join();
    ASSERT_TRUE(lowered);
    EXPECT_GT(after, before);
    EXPECT_LE(after, 19);
    EXPECT_EQ(child, after);
    EXPECT_EQ(CurrentThreadNiceness(), mainBefore);
}

TEST(ThreadPriority, StopsAtTheLowestPriority) {
    int lowest = 0;
    std::thread worker([&] {
        for (int i = 0; i < 10; ++i) {
            LowerCurrentThreadPriority();
        }
        lowest = CurrentThreadNiceness();
    });
    worker.join();
    EXPECT_EQ(lowest, 19);
}

}  // namespace
}  // namespace orva
