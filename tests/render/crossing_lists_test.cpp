#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <unordered_map>
#include <utility>
#include <vector>

#include "render/csg/crossing_lists.h"
#include "render/csg/render_pools.h"

namespace orva {
namespace {

// A fragment as the tests see it: its depth and a tag naming where it came from.
using CEntry = std::pair<float, int>;
using CEntries = std::vector<CEntry>;

struct CRawFragment {
    float depth;
    int orientation;
    int tag;
};

class CrossingListsTest : public ::testing::Test {
protected:
    // Entries and exits alternate in a crossing list, so orientations follow from position.
    CFragment* Crossings(const CEntries& entries) {
        std::vector<CRawFragment> raw;
        for (std::size_t i = 0; i < entries.size(); ++i) {
            raw.push_back({entries[i].first, i % 2 == 0 ? 1 : -1, entries[i].second});
        }
        return Raw(raw);
    }

    CFragment* Raw(const std::vector<CRawFragment>& raw) {
        CFragment* head = nullptr;
        CFragment** tail = &head;
        for (const CRawFragment& r : raw) {
            CFragment* fragment = pools_.fragments.Acquire();
            fragment->depth = r.depth;
            fragment->orientation = static_cast<int16_t>(r.orientation);
            tags_[fragment] = r.tag;
            *tail = fragment;
            tail = &fragment->link;
        }
        return head;
    }

    // Reads a result and gives it back to the pool. Every fragment still handed out must be in
    // the result: anything else was leaked or recycled twice.
    CEntries Take(CFragment* list) {
        const std::size_t live = pools_.fragments.LiveCount();
        CEntries entries;
        // The bound stops a corrupt, cyclic result from hanging the test.
        for (CFragment* f = list; f != nullptr && entries.size() <= live; f = f->link) {
            entries.emplace_back(f->depth, tags_.at(f));
        }
        EXPECT_EQ(entries.size(), live) << "fragments leaked or recycled twice";
        if (entries.size() == live) {
            RecycleFragments(pools_, list);
        }
        return entries;
    }

    CRenderPools pools_;
    std::unordered_map<const CFragment*, int> tags_;
};

TEST_F(CrossingListsTest, ReduceMergesOverlappingShellsOfOneMesh) {
    // Shells [10, 6] and [8, 4]: the sum reaches 2 between 8 and 6.
    CFragment* r = ReduceByCount(Raw({{10, 1, 1}, {8, 1, 2}, {6, -1, 3}, {4, -1, 4}}), pools_);
    EXPECT_EQ(Take(r), (CEntries{{10, 1}, {4, 4}}));

    // A shell inside another one vanishes into it.
    r = ReduceByCount(Raw({{10, 1, 1}, {8, 1, 2}, {4, -1, 3}, {2, -1, 4}}), pools_);
    EXPECT_EQ(Take(r), (CEntries{{10, 1}, {2, 4}}));

    // An inward-facing inner shell is a cavity: along the ray it looks like two solids.
    r = ReduceByCount(Raw({{10, 1, 1}, {8, -1, 2}, {4, 1, 3}, {2, -1, 4}}), pools_);
    EXPECT_EQ(Take(r), (CEntries{{10, 1}, {8, 2}, {4, 3}, {2, 4}}));

    EXPECT_EQ(ReduceByCount(nullptr, pools_), nullptr);
}

TEST_F(CrossingListsTest, ReduceDropsARunThatNeverCloses) {
    // The run opened at 4 climbs to 2 and only falls back to 1.
    CFragment* r =
        ReduceByCount(Raw({{10, 1, 1}, {6, -1, 2}, {4, 1, 3}, {3, 1, 4}, {2, -1, 5}}), pools_);
    EXPECT_EQ(Take(r), (CEntries{{10, 1}, {6, 2}}));

    r = ReduceByCount(Raw({{5, 1, 1}}), pools_);
    EXPECT_EQ(Take(r), CEntries{});
}

TEST_F(CrossingListsTest, MergeKeepsEveryFragmentAndPutsFirstAheadOnTies) {
    CFragment* m = MergeByDepth(Crossings({{10, 1}, {5, 2}, {5, 3}, {0, 4}}),
                                Crossings({{10, 5}, {7, 6}, {5, 7}, {1, 8}}));
    EXPECT_EQ(Take(m),
              (CEntries{{10, 1}, {10, 5}, {7, 6}, {5, 2}, {5, 3}, {5, 7}, {1, 8}, {0, 4}}));

    EXPECT_EQ(Take(MergeByDepth(nullptr, Crossings({{3, 1}, {2, 2}}))), (CEntries{{3, 1}, {2, 2}}));
    EXPECT_EQ(Take(MergeByDepth(Crossings({{3, 1}, {2, 2}}), nullptr)), (CEntries{{3, 1}, {2, 2}}));
    EXPECT_EQ(MergeByDepth(nullptr, nullptr), nullptr);
}

// Tags: 1x for `built` / `base`, 2x for `other` / `cutter`.

TEST_F(CrossingListsTest, UnionOfSeparateAndOverlappingIntervals) {
    auto unite = [&](const CEntries& built, const CEntries& other) {
        return Take(UnionCrossings(Crossings(built), Crossings(other), pools_));
    };
    EXPECT_EQ(unite({{10, 11}, {8, 12}}, {{5, 21}, {3, 22}}),
              (CEntries{{10, 11}, {8, 12}, {5, 21}, {3, 22}}));
    EXPECT_EQ(unite({{5, 11}, {3, 12}}, {{10, 21}, {8, 22}}),
              (CEntries{{10, 21}, {8, 22}, {5, 11}, {3, 12}}));
    EXPECT_EQ(unite({{10, 11}, {5, 12}}, {{8, 21}, {2, 22}}), (CEntries{{10, 11}, {2, 22}}));
    EXPECT_EQ(unite({{10, 11}, {2, 12}}, {{8, 21}, {4, 22}}), (CEntries{{10, 11}, {2, 12}}));
    // One interval of `other` extends one of `built`, a longer one bridges two.
    EXPECT_EQ(unite({{10, 11}, {7, 12}, {5, 13}, {1, 14}}, {{8, 21}, {6, 22}}),
              (CEntries{{10, 11}, {6, 22}, {5, 13}, {1, 14}}));
    EXPECT_EQ(unite({{10, 11}, {7, 12}, {5, 13}, {1, 14}}, {{8, 21}, {4, 22}}),
              (CEntries{{10, 11}, {1, 14}}));
    EXPECT_EQ(unite({}, {{8, 21}, {4, 22}}), (CEntries{{8, 21}, {4, 22}}));
    EXPECT_EQ(unite({{8, 11}, {4, 12}}, {}), (CEntries{{8, 11}, {4, 12}}));
}

TEST_F(CrossingListsTest, UnionTiesCountBuiltAsNearer) {
    auto unite = [&](const CEntries& built, const CEntries& other) {
        return Take(UnionCrossings(Crossings(built), Crossings(other), pools_));
    };
    // Shared entry: built's face is the one that shows.
    EXPECT_EQ(unite({{10, 11}, {5, 12}}, {{10, 21}, {2, 22}}), (CEntries{{10, 11}, {2, 22}}));
    // Built's exit at 5 comes before other's entry at 5, so the two stay apart.
    EXPECT_EQ(unite({{10, 11}, {5, 12}}, {{5, 21}, {2, 22}}),
              (CEntries{{10, 11}, {5, 12}, {5, 21}, {2, 22}}));
    // Built's entry at 5 comes before other's exit there, so the intervals join.
    EXPECT_EQ(unite({{5, 11}, {2, 12}}, {{10, 21}, {5, 22}}), (CEntries{{10, 21}, {2, 12}}));
    EXPECT_EQ(unite({{10, 11}, {5, 12}}, {{10, 21}, {5, 22}}), (CEntries{{10, 11}, {5, 22}}));
}

TEST_F(CrossingListsTest, IntersectionKeepsInnerBoundaries) {
    auto intersect = [&](const CEntries& built, const CEntries& other) {
        return Take(IntersectCrossings(Crossings(built), Crossings(other), pools_));
    };
    EXPECT_EQ(intersect({{10, 11}, {8, 12}}, {{5, 21}, {3, 22}}), CEntries{});
    EXPECT_EQ(intersect({{10, 11}, {5, 12}}, {{8, 21}, {2, 22}}), (CEntries{{8, 21}, {5, 12}}));
    EXPECT_EQ(intersect({{10, 11}, {2, 12}}, {{8, 21}, {4, 22}}), (CEntries{{8, 21}, {4, 22}}));
    EXPECT_EQ(intersect({{10, 11}, {6, 12}, {4, 13}, {1, 14}}, {{8, 21}, {3, 22}}),
              (CEntries{{8, 21}, {6, 12}, {4, 13}, {3, 22}}));
    EXPECT_EQ(intersect({}, {{8, 21}, {4, 22}}), CEntries{});
    EXPECT_EQ(intersect({{8, 11}, {4, 12}}, {}), CEntries{});
}

TEST_F(CrossingListsTest, IntersectionTiesCountBuiltAsNearer) {
    auto intersect = [&](const CEntries& built, const CEntries& other) {
        return Take(IntersectCrossings(Crossings(built), Crossings(other), pools_));
    };
    // Built enters first, so other's entry is the inner one; built leaves first, so its exit is.
    EXPECT_EQ(intersect({{10, 11}, {5, 12}}, {{10, 21}, {5, 22}}), (CEntries{{10, 21}, {5, 12}}));
    // Built leaves at 5 before other enters there.
    EXPECT_EQ(intersect({{10, 11}, {5, 12}}, {{5, 21}, {2, 22}}), CEntries{});
    // Built enters at 5 before other leaves there: a zero-width overlap survives.
    EXPECT_EQ(intersect({{5, 11}, {2, 12}}, {{10, 21}, {5, 22}}), (CEntries{{5, 11}, {5, 22}}));
}

TEST_F(CrossingListsTest, DifferenceCutsBaseWithCutterFaces) {
    auto subtract = [&](const CEntries& base, const CEntries& cutter) {
        return Take(SubtractCrossings(Crossings(base), Crossings(cutter), pools_));
    };
    EXPECT_EQ(subtract({{6, 11}, {2, 12}}, {{10, 21}, {8, 22}}), (CEntries{{6, 11}, {2, 12}}));
    EXPECT_EQ(subtract({{6, 11}, {2, 12}}, {{1, 21}, {0, 22}}), (CEntries{{6, 11}, {2, 12}}));
    // The front of the result is the cutter's back face.
    EXPECT_EQ(subtract({{10, 11}, {2, 12}}, {{12, 21}, {6, 22}}), (CEntries{{6, 22}, {2, 12}}));
    EXPECT_EQ(subtract({{10, 11}, {2, 12}}, {{4, 21}, {0, 22}}), (CEntries{{10, 11}, {4, 21}}));
    EXPECT_EQ(subtract({{10, 11}, {2, 12}}, {{8, 21}, {4, 22}}),
              (CEntries{{10, 11}, {8, 21}, {4, 22}, {2, 12}}));
    EXPECT_EQ(subtract({{8, 11}, {4, 12}}, {{10, 21}, {2, 22}}), CEntries{});
    // One cutter interval across the gap between two base intervals.
    EXPECT_EQ(subtract({{10, 11}, {6, 12}, {4, 13}, {1, 14}}, {{7, 21}, {3, 22}}),
              (CEntries{{10, 11}, {7, 21}, {3, 22}, {1, 14}}));
    EXPECT_EQ(subtract({{6, 11}, {2, 12}}, {}), (CEntries{{6, 11}, {2, 12}}));
    EXPECT_EQ(subtract({}, {{6, 21}, {2, 22}}), CEntries{});
}

TEST_F(CrossingListsTest, DifferenceTiesCountCutterAsNearer) {
    auto subtract = [&](const CEntries& base, const CEntries& cutter) {
        return Take(SubtractCrossings(Crossings(base), Crossings(cutter), pools_));
    };
    // A cutter face on the base's front face removes it.
    EXPECT_EQ(subtract({{10, 11}, {2, 12}}, {{10, 21}, {5, 22}}), (CEntries{{5, 22}, {2, 12}}));
    EXPECT_EQ(subtract({{10, 11}, {2, 12}}, {{10, 21}, {9, 22}}), (CEntries{{9, 22}, {2, 12}}));
    // A cutter that only touches the base leaves it whole...
    EXPECT_EQ(subtract({{10, 11}, {2, 12}}, {{12, 21}, {10, 22}}), (CEntries{{10, 11}, {2, 12}}));
    // ...except that on the far side the cutter's coinciding face is the one that shows.
    EXPECT_EQ(subtract({{10, 11}, {5, 12}}, {{5, 21}, {2, 22}}), (CEntries{{10, 11}, {5, 21}}));
    // Shared back faces: the cutter leaves first, so a zero-width piece of base survives there.
    EXPECT_EQ(subtract({{10, 11}, {2, 12}}, {{5, 21}, {2, 22}}),
              (CEntries{{10, 11}, {5, 21}, {2, 22}, {2, 12}}));
    EXPECT_EQ(subtract({{10, 11}, {2, 12}}, {{10, 21}, {2, 22}}), (CEntries{{2, 22}, {2, 12}}));
}

TEST_F(CrossingListsTest, OddLengthInputLosesItsTrailingEntry) {
    CFragment* r = UnionCrossings(Crossings({{10, 11}, {5, 12}, {3, 13}}),
                                  Crossings({{4, 21}, {2, 22}}), pools_);
    EXPECT_EQ(Take(r), (CEntries{{10, 11}, {5, 12}, {4, 21}, {2, 22}}));

    r = UnionCrossings(Crossings({{10, 11}}), Crossings({{8, 21}}), pools_);
    EXPECT_EQ(Take(r), CEntries{});

    r = IntersectCrossings(Crossings({{10, 11}, {2, 12}}), Crossings({{8, 21}, {6, 22}, {4, 23}}),
                           pools_);
    EXPECT_EQ(Take(r), (CEntries{{8, 21}, {6, 22}}));

    // A stray cutter entry must not eat the rest of the base.
    r = SubtractCrossings(Crossings({{10, 11}, {2, 12}}), Crossings({{6, 21}}), pools_);
    EXPECT_EQ(Take(r), (CEntries{{10, 11}, {2, 12}}));
}

// The brute-force reference below decides membership by testing each interval on its own, on a
// ray where every tie has been broken by a small shift that the tie rules imply: the list that
// counts as nearer moves forward by a quarter, and fragments of one list at one depth keep
// their list order. All positions are then distinct, each boundary of the result belongs to
// exactly one fragment, and the expected list follows from where membership changes.

struct CPlaced {
    double position;
    CEntry entry;
};

std::vector<CPlaced> Place(const CEntries& list, double shift) {
    std::vector<CPlaced> placed;
    for (std::size_t i = 0; i < list.size(); ++i) {
        placed.push_back({list[i].first + shift - 0.001 * static_cast<double>(i), list[i]});
    }
    return placed;
}

bool InsideIntervals(const std::vector<CPlaced>& list, double at) {
    for (std::size_t i = 0; i + 1 < list.size(); i += 2) {
        if (list[i].position > at && at > list[i + 1].position) {
            return true;
        }
    }
    return false;
}

// Samples membership in front of, between and behind the fragments (all sorted front first),
// and keeps those where it changes.
template <typename Inside>
CEntries Boundaries(const std::vector<CPlaced>& sorted, Inside inside) {
    std::vector<bool> gap;
    for (std::size_t j = 0; j <= sorted.size(); ++j) {
        const double front = j == 0 ? sorted.front().position + 1 : sorted[j - 1].position;
        const double back = j == sorted.size() ? sorted.back().position - 1 : sorted[j].position;
        gap.push_back(inside((front + back) / 2));
    }
    CEntries kept;
    for (std::size_t j = 0; j < sorted.size(); ++j) {
        if (gap[j] != gap[j + 1]) {
            kept.push_back(sorted[j].entry);
        }
    }
    return kept;
}

CEntries RandomList(std::mt19937& rng, int maxSize, int tagBase) {
    const int size = std::uniform_int_distribution<int>(0, maxSize)(rng);
    std::vector<int> depths;
    for (int i = 0; i < size; ++i) {
        depths.push_back(std::uniform_int_distribution<int>(0, 8)(rng));
    }
    std::sort(depths.rbegin(), depths.rend());
    CEntries list;
    for (int i = 0; i < size; ++i) {
        list.emplace_back(static_cast<float>(depths[i]), tagBase + i);
    }
    return list;
}

TEST_F(CrossingListsTest, CombinationsMatchBruteForceReference) {
    struct COperation {
        const char* name;
        CFragment* (*function)(CFragment*, CFragment*, CRenderPools&);
        bool firstNearerOnTies;
        bool (*predicate)(bool, bool);
    };
    const COperation operations[] = {
        {"union", UnionCrossings, true, [](bool a, bool b) { return a || b; }},
        {"intersection", IntersectCrossings, true, [](bool a, bool b) { return a && b; }},
        {"difference", SubtractCrossings, false, [](bool a, bool b) { return a && !b; }},
    };
    std::mt19937 rng(20240611);
    for (int round = 0; round < 3000; ++round) {
        const CEntries a = RandomList(rng, 7, 100);
        const CEntries b = RandomList(rng, 7, 200);
        for (const COperation& op : operations) {
            // An odd list counts as if its trailing entry were not there.
            CEntries aEven(a.begin(), a.begin() + static_cast<long>(a.size() & ~std::size_t{1}));
            CEntries bEven(b.begin(), b.begin() + static_cast<long>(b.size() & ~std::size_t{1}));
            const std::vector<CPlaced> placedA = Place(aEven, op.firstNearerOnTies ? 0.25 : 0);
            const std::vector<CPlaced> placedB = Place(bEven, op.firstNearerOnTies ? 0 : 0.25);
            std::vector<CPlaced> all = placedA;
            all.insert(all.end(), placedB.begin(), placedB.end());
            std::sort(all.begin(), all.end(),
                      [](const CPlaced& x, const CPlaced& y) { return x.position > y.position; });
            const CEntries expected = all.empty() ? CEntries{} : Boundaries(all, [&](double at) {
                return op.predicate(InsideIntervals(placedA, at), InsideIntervals(placedB, at));
            });
            CFragment* result = op.function(Crossings(a), Crossings(b), pools_);
            ASSERT_EQ(Take(result), expected) << op.name << " in round " << round;
        }
    }
}

TEST_F(CrossingListsTest, ReduceMatchesBruteForceWindingReference) {
    std::mt19937 rng(7);
    for (int round = 0; round < 3000; ++round) {
        const CEntries list = RandomList(rng, 10, 1);
        std::vector<CRawFragment> raw;
        for (const CEntry& e : list) {
            raw.push_back(
                {e.first, std::uniform_int_distribution<int>(0, 1)(rng) * 2 - 1, e.second});
        }
        const std::vector<CPlaced> placed = Place(list, 0);
        auto inside = [&](double at) {
            int winding = 0;
            for (std::size_t i = 0; i < placed.size(); ++i) {
                winding += placed[i].position > at ? raw[i].orientation : 0;
            }
            return winding != 0;
        };
        CEntries expected = placed.empty() ? CEntries{} : Boundaries(placed, inside);
        // A run still open behind the last fragment loses its opening fragment.
        if (!placed.empty() && inside(placed.back().position - 1)) {
            expected.pop_back();
        }
        ASSERT_EQ(Take(ReduceByCount(Raw(raw), pools_)), expected) << "round " << round;
    }
}

}  // namespace
}  // namespace orva
