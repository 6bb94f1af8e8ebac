// Sorting by high halves alone gives the order of the whole keys whenever the low halves
// already increase along the items (or from their back), whether the high halves lie close
// together (counted) or far apart (compared).
#include "render/csg/high_half_sort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <utility>
#include <vector>

namespace orva {
namespace {

TEST(HighHalfSortTest, GivesTheOrderOfTheWholeKeys) {
    std::mt19937 random(5);
    std::vector<std::pair<uint64_t, int>> scratch;
    std::vector<uint32_t> counts;
    for (int round = 0; round < 400; ++round) {
        const std::size_t size = random() % 300;
        const uint32_t spread = round % 3 == 0 ? 0xffffffffu : 1 + random() % 40;
        const uint32_t base = static_cast<uint32_t>(random());
        const bool fromBack = round % 2 == 1;
        std::vector<std::pair<uint64_t, int>> items;
        for (std::size_t i = 0; i < size; ++i) {
            const uint64_t high = uint32_t(base + random() % spread);
            const uint64_t low = fromBack ? 0xffffffffu - i : i;
            items.push_back({high << 32 | low, static_cast<int>(i)});
        }
        std::vector<std::pair<uint64_t, int>> expected = items;
        std::sort(expected.begin(), expected.end());
        SortByHighHalf(
            items, scratch, counts, [](const auto& item) { return item.first; }, fromBack);
        ASSERT_EQ(items, expected) << "round " << round;
    }
}

}  // namespace
}  // namespace orva
