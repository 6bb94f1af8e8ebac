#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

namespace orva {

// Sorts items by 64-bit keys whose low halves already increase along the items (from the back
// when `fromBack`), by counting their high halves: that gives the order of the whole keys. A
// mesh's triangles and spans start within few rows and columns, so counting beats comparing;
// keys spread too widely are compared.
template <typename T, typename KeyOf>
void SortByHighHalf(std::vector<T>& items, std::vector<T>& scratch, std::vector<uint32_t>& counts,
                    KeyOf keyOf, bool fromBack) {
    if (items.size() < 2) {
        return;
    }
    uint32_t lowest = UINT32_MAX;
    uint32_t highest = 0;
    for (const T& item : items) {
        lowest = std::min(lowest, uint32_t(keyOf(item) >> 32));
        highest = std::max(highest, uint32_t(keyOf(item) >> 32));
    }
    const uint64_t range = uint64_t(highest) - lowest + 1;
    if (range > 4 * items.size() + 64) {
        std::sort(items.begin(), items.end(),
                  [&](const T& a, const T& b) { return keyOf(a) < keyOf(b); });
        return;
    }
    counts.assign(range + 1, 0);
    for (const T& item : items) {
        ++counts[uint32_t(keyOf(item) >> 32) - lowest + 1];
    }
    for (std::size_t i = 1; i < counts.size(); ++i) {
        counts[i] += counts[i - 1];  // now where each high half's items begin
    }
    scratch.resize(items.size());
    auto place = [&](const T& item) {
        scratch[counts[uint32_t(keyOf(item) >> 32) - lowest]++] = item;
    };
    if (fromBack) {
        std::for_each(items.rbegin(), items.rend(), place);
    } else {
        std::for_each(items.begin(), items.end(), place);
    }
    items.swap(scratch);
}

}  // namespace orva
