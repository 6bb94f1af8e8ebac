// Rows shared between workers: however the claims and the steals interleave, every row of a
// band is taken exactly once, and each worker meets its rows in increasing order.
#include "render/claimable_rows.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace orva {
namespace {

constexpr int kFirstRow = -37;  // rows above the picture's top are rows too
constexpr int kRows = 20000;

// Claims everything in `own`; then takes half of what another worker has left, as often as
// there is some. Every row taken is counted in `taken`.
void Work(std::vector<CClaimableRows>& workers, std::size_t me,
          std::vector<std::atomic<int>>& taken, std::atomic<bool>& ordered) {
    for (;;) {
        int previous = kFirstRow - 1;
        int row = 0;
        while (workers[me].Claim(row)) {
            ordered = ordered && row > previous;
            previous = row;
            taken[static_cast<std::size_t>(row - kFirstRow)]++;
        }
        bool stole = false;
        for (std::size_t other = 0; other < workers.size() && !stole; ++other) {
            int first = 0;
            int end = 0;
            if (other != me && workers[other].StealHalf(2, first, end)) {
                workers[me].Assign(first, end);
                stole = true;
            }
        }
        if (!stole) {
            bool anyLeft = false;
            for (const CClaimableRows& w : workers) {
                anyLeft = anyLeft || w.RowsLeft() >= 2;
            }
            if (!anyLeft) {
                return;
            }
        }
    }
}

TEST(ClaimableRowsTest, ClaimedAndStolenRowsAreEachTakenOnceInOrder) {
    for (int round = 0; round < 20; ++round) {
        std::vector<CClaimableRows> workers(4);
        workers[0].Assign(kFirstRow, kFirstRow + kRows);
        std::vector<std::atomic<int>> taken(kRows);
        std::atomic<bool> ordered{true};
        std::vector<std::thread> threads;
        for (std::size_t w = 0; w < workers.size(); ++w) {
            threads.emplace_back(Work, std::ref(workers), w, std::ref(taken), std::ref(ordered));
        }
        for (std::thread& t : threads) {
            t.join();
        }
        int wrong = 0;
        for (const std::atomic<int>& count : taken) {
            wrong += count != 1;
        }
        EXPECT_EQ(wrong, 0) << "round " << round;
        EXPECT_TRUE(ordered) << "round " << round;
    }
}

TEST(ClaimableRowsTest, TooFewRowsAreNotShared) {
    CClaimableRows rows;
    rows.Assign(10, 25);
    int first = 0;
    int end = 0;
    EXPECT_FALSE(rows.StealHalf(16, first, end));
    ASSERT_TRUE(rows.StealHalf(15, first, end));
    EXPECT_EQ(first, 17);  // the owner keeps 10 .. 16, the thief takes 17 .. 24
    EXPECT_EQ(end, 25);
    EXPECT_EQ(rows.RowsLeft(), 7);
}

}  // namespace
}  // namespace orva
