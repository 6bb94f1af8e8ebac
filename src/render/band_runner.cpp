#include "render/band_runner.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

#include "platform/interrupt.h"

namespace orva {

namespace {

using Clock = std::chrono::steady_clock;

// What the workers share: the bands, taken in order, and each worker's rows in progress, of
// which an idle worker takes half.
struct CSharedBands {
    const std::vector<CRowBand>& bands;
    const CBandRunOptions& options;
    const BandWork& work;
    std::vector<CClaimableRows> inProgress;
    std::atomic<std::size_t> nextBand{0};
    Clock::time_point start = Clock::now();

    CSharedBands(const std::vector<CRowBand>& b, const CBandRunOptions& o, const BandWork& w,
                 int workers)
        : bands(b), options(o), work(w), inProgress(static_cast<std::size_t>(workers)) {}

    bool Interrupted() const { return options.interrupt != nullptr && options.interrupt->Poll(); }
};

// Rows another worker has not reached yet, from the one with the most left: false when no
// worker has enough left to share.
bool ShareRows(CSharedBands& shared, CRowBand& taken) {
    const int fewest = shared.options.fewestRowsToShare;
    for (;;) {
        CClaimableRows* most = nullptr;
        for (CClaimableRows& rows : shared.inProgress) {
            if (rows.RowsLeft() >= fewest &&
                (most == nullptr || rows.RowsLeft() > most->RowsLeft())) {
                most = &rows;
            }
        }
        if (most == nullptr || shared.Interrupted()) {
            return false;
        }
        int first = 0;
        int end = 0;
        if (most->StealHalf(fewest, first, end)) {
            taken = {first, end - 1};
            return true;
        }
    }
}

// Takes bands in turn until none is left or the work stops, then helps the others with the
// rows they have left. Returns when it ran out of work, counted from the start.
double Worker(CSharedBands& shared, int index) {
    CClaimableRows& own = shared.inProgress[static_cast<std::size_t>(index)];
    bool stopped = false;
    for (std::size_t b = shared.nextBand++; b < shared.bands.size() && !stopped;
         b = shared.nextBand++) {
        own.Assign(shared.bands[b].first, shared.bands[b].last + 1);
        stopped = !shared.work(index, shared.bands[b], own);
    }
    CRowBand taken;
    while (!stopped && shared.options.fewestRowsToShare > 0 && ShareRows(shared, taken)) {
        own.Assign(taken.first, taken.last + 1);
        stopped = !shared.work(index, taken, own);
    }
    own.Assign(0, 0);  // nothing of it is left to share
    return std::chrono::duration<double>(Clock::now() - shared.start).count();
}

}  // namespace

CBandRunStats RunBands(const std::vector<CRowBand>& bands, const CBandRunOptions& options,
                       const BandWork& work) {
    CBandRunStats stats;
    stats.threads =
        std::clamp(options.threads, 1, std::max<int>(1, static_cast<int>(bands.size())));
    CSharedBands shared(bands, options, work, stats.threads);
    std::vector<double> finished(static_cast<std::size_t>(stats.threads), 0.0);
    if (stats.threads == 1) {
        finished[0] = Worker(shared, 0);
    } else {
        // Every worker on a thread of its own, the caller's thread waiting: the workers' memory
        // then comes from their threads' own arenas, which the caller's trimming between
        // pictures leaves alone.
        std::vector<std::thread> workers;
        for (int t = 0; t < stats.threads; ++t) {
            workers.emplace_back([&shared, &finished, t] { finished[t] = Worker(shared, t); });
        }
        for (std::thread& worker : workers) {
            worker.join();
        }
    }
    const double last = *std::max_element(finished.begin(), finished.end());
    for (const double f : finished) {
        stats.idleSeconds.push_back(last - f);
    }
    return stats;
}

}  // namespace orva
