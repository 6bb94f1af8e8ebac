#include "render/band_runner.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <random>
#include <thread>
#include <vector>

#include "platform/interrupt.h"

namespace orva {
namespace {

// Random bands over random row counts, on 1 to 4 threads, with workers that dawdle at random
// so that idle ones take rows from busy ones: every row is done exactly once, by a worker of
// the run, in rising order within each band a worker is handed.
TEST(BandRunnerTest, EveryRowIsWorkedOnceHoweverBandsAndThreadsFall) {
    std::mt19937 random(7);
    for (int trial = 0; trial < 40; ++trial) {
        std::vector<CRowBand> bands;
        int rows = 0;
        for (int b = 1 + static_cast<int>(random() % 6); b > 0; --b) {
            const int height = 1 + static_cast<int>(random() % 60);
            bands.push_back({rows, rows + height - 1});
            rows += height;
        }
        CBandRunOptions options;
        options.threads = 1 + static_cast<int>(random() % 4);
        options.fewestRowsToShare = trial % 3 == 0 ? 0 : 2;
        std::vector<std::atomic<int>> done(static_cast<std::size_t>(rows));
        std::atomic<int> outOfOrder{0};
        std::atomic<int> badWorker{0};
        const unsigned seed = static_cast<unsigned>(random());
        const CBandRunStats stats =
            RunBands(bands, options, [&](int worker, const CRowBand& band, CClaimableRows& own) {
                badWorker += worker < 0 || worker >= options.threads;
                std::minstd_rand dawdle(seed + static_cast<unsigned>(band.first));
                int last = band.first - 1;
                for (int row = 0; own.Claim(row);) {
                    outOfOrder += row <= last || row > band.last;
                    last = row;
                    ++done[static_cast<std::size_t>(row)];
                    std::this_thread::sleep_for(std::chrono::microseconds(dawdle() % 50));
                }
                return true;
            });
        EXPECT_EQ(badWorker, 0);
        EXPECT_EQ(outOfOrder, 0);
        EXPECT_EQ(stats.threads, std::min<int>(options.threads, static_cast<int>(bands.size())));
        for (int row = 0; row < rows; ++row) {
            ASSERT_EQ(done[static_cast<std::size_t>(row)], 1) << "trial " << trial << " row " << row;
        }
    }
}

// A stopped band ends its worker's run, and a stop asked for keeps idle workers from sharing.
TEST(BandRunnerTest, StoppedWorkEndsTheRun) {
    CInterrupt stop;
    CBandRunOptions options;
    options.threads = 2;
    options.interrupt = &stop;
    std::atomic<int> bandsStarted{0};
    RunBands({{0, 9}, {10, 19}, {20, 29}, {30, 39}}, options,
             [&](int, const CRowBand&, CClaimableRows&) {
                 ++bandsStarted;
                 stop.Request();
                 return false;
             });
    EXPECT_EQ(bandsStarted, 2);  // one per worker, then each stops
    EXPECT_TRUE(stop.Poll());    // and the stop is still there for its owner
}

}  // namespace
}  // namespace orva
