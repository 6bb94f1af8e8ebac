#pragma once

#include <atomic>
#include <cstdint>

namespace orva {

// The rows of a band its worker has not reached yet. The worker claims them one by one from the
// top; a worker that has run out of bands takes the lower half of what is left. Both ends live
// in one atomic word, so a row is either claimed by the owner or stolen, never both.
class CClaimableRows {
public:
    // Hands rows first .. end - 1 to the owner. Only the owner calls this, between ranges.
    void Assign(int first, int end) { m_range.store(Pack(first, end)); }

    // The next row for the owner, or false when none is left.
    bool Claim(int& row);

    // Moves the lower half of the rows left to [first, end) of the caller's, when at least
    // `fewest` rows are left (each side then keeps half). False when there was too little, or
    // the range changed meanwhile.
    bool StealHalf(int fewest, int& first, int& end);

    int RowsLeft() const;

private:
    static uint64_t Pack(int next, int end) {
        return (uint64_t{static_cast<uint32_t>(next)} << 32) | static_cast<uint32_t>(end);
    }
    static int Next(uint64_t range) { return static_cast<int32_t>(range >> 32); }
    static int End(uint64_t range) { return static_cast<int32_t>(range & 0xFFFFFFFFu); }

    std::atomic<uint64_t> m_range{0};
};

}  // namespace orva
