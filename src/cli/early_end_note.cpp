#include "cli/early_end_note.h"

#include <cstdio>

namespace orva {

void PrintEarlyEndNote(const std::string& scenePath, const CLoadReport& load) {
    if (!load.stoppedEarly || load.status != CLoadReport::kOk) {
        return;
    }
    std::fprintf(stderr, "orva: %s: reading stopped at byte %lld in top-level record %d: %s\n",
                 scenePath.c_str(), static_cast<long long>(load.stopOffset), load.stopRecord,
                 load.stopReason.c_str());
}

}  // namespace orva
