#pragma once

#include <cstddef>
#include <memory>
#include <new>
#include <type_traits>
#include <vector>

namespace orva {

// Fixed-size cells carved from large blocks and recycled through a free list. A render takes
// and returns millions of short-lived records (fragments live one pixel, spans one row), so
// nothing is freed individually: Release drops every block at once after the render.
// Records must be trivially destructible, because Release never runs their destructors.
template <typename T, std::size_t BlockRecords>
class CCellPool {
    static_assert(std::is_trivially_destructible_v<T>, "pool records are dropped unrun");
    static_assert(BlockRecords >= 1);

public:
    CCellPool() = default;
    CCellPool(const CCellPool&) = delete;
    CCellPool& operator=(const CCellPool&) = delete;

    // A freshly value-initialised record.
    T* Acquire() {
        if (free_ == nullptr) {
            Grow();
        }
        Cell* cell = free_;
        free_ = cell->next;
        ++liveCount_;
        return ::new (static_cast<void*>(&cell->record)) T{};
    }

    // `record` must come from this pool and not be used afterwards.
    void Recycle(T* record) {
        if (record == nullptr) {
            return;
        }
        Cell* cell = reinterpret_cast<Cell*>(record);
        cell->next = free_;
        free_ = cell;
        --liveCount_;
    }

    // Every record handed out becomes invalid.
    void Release() {
        blocks_.clear();
        blocks_.shrink_to_fit();
        free_ = nullptr;
        liveCount_ = 0;
    }

    std::size_t BlockCount() const { return blocks_.size(); }
    // Records handed out and not yet recycled.
    std::size_t LiveCount() const { return liveCount_; }

private:
    union Cell {
        Cell* next;
        T record;
        Cell() : next(nullptr) {}
    };

    // The first cell of a new block is what the caller asked for; the rest go on the free
    // list, in address order so that consecutive requests touch neighbouring memory.
    void Grow() {
        blocks_.push_back(std::make_unique<Cell[]>(BlockRecords));
        Cell* block = blocks_.back().get();
        for (std::size_t i = BlockRecords; i-- > 0;) {
            block[i].next = free_;
            free_ = &block[i];
        }
    }

    std::vector<std::unique_ptr<Cell[]>> blocks_;
    Cell* free_ = nullptr;
    std::size_t liveCount_ = 0;
};

}  // namespace orva
