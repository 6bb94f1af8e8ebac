#pragma once

#include <functional>
#include <vector>

#include "render/claimable_rows.h"

namespace orva {

class CInterrupt;

// Rows first..last (inclusive) of one band of work.
struct CRowBand {
    int first = 0;
    int last = -1;
};

struct CBandRunOptions {
    int threads = 1;
    // Once the bands are taken, an idle worker takes the lower half of the rows another has
    // not reached yet (at least this many, else the work is not worth a second start). 0:
    // bands stay whole.
    int fewestRowsToShare = 16;
    // Polled before rows are shared; each band polls it for its own rows.
    CInterrupt* interrupt = nullptr;
};

// Works through `band` on worker `worker` (0 .. threads - 1): the rows are claimed one by one
// from `rows`, where other workers may take the lower half of what is left. False when the
// work was stopped.
using BandWork = std::function<bool(int worker, const CRowBand& band, CClaimableRows& rows)>;

struct CBandRunStats {
    int threads = 0;
    // Per worker: how long it waited at the end for the others.
    std::vector<double> idleSeconds;
};

// Splits the bands among min(threads, bands) workers, taken in order, each band handed over
// with its rows assigned to the worker's claimable rows; then shares the rows still left.
// Blocks until every worker is done. A single worker runs on the caller's thread.
CBandRunStats RunBands(const std::vector<CRowBand>& bands, const CBandRunOptions& options,
                       const BandWork& work);

}  // namespace orva
