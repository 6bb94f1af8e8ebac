#include "render/claimable_rows.h"

namespace orva {

bool CClaimableRows::Claim(int& row) {
    uint64_t range = m_range.load();
    for (;;) {
        const int next = Next(range);
        if (next >= End(range)) {
            return false;
        }
        if (m_range.compare_exchange_weak(range, Pack(next + 1, End(range)))) {
            row = next;
            return true;
        }
    }
}

bool CClaimableRows::StealHalf(int fewest, int& first, int& end) {
    uint64_t range = m_range.load();
    const int next = Next(range);
    const int left = End(range) - next;
    if (left < fewest || left < 2) {
        return false;
    }
    const int middle = next + left / 2;
    if (!m_range.compare_exchange_strong(range, Pack(next, middle))) {
        return false;
    }
    first = middle;
    end = End(range);
    return true;
}

int CClaimableRows::RowsLeft() const {
    const uint64_t range = m_range.load();
    return End(range) - Next(range);
}

}  // namespace orva
