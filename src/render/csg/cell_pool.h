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
        if (m_free == nullptr) {
            Grow();
        }
        Cell* cell = m_free;
        m_free = cell->next;
        ++m_liveCount;
        return ::new (static_cast<void*>(&cell->record)) T{};
    }

    // `record` must come from this pool and not be used afterwards.
    void Recycle(T* record) {
        if (record == nullptr) {
            return;
        }
        Cell* cell = reinterpret_cast<Cell*>(record);
        cell->next = m_free;
        m_free = cell;
        --m_liveCount;
    }

    // Every record handed out becomes invalid.
    void Release() {
        m_blocks.clear();
        m_blocks.shrink_to_fit();
        m_free = nullptr;
        m_liveCount = 0;
    }

    std::size_t BlockCount() const { return m_blocks.size(); }
    // Records handed out and not yet recycled.
    std::size_t LiveCount() const { return m_liveCount; }

private:
    union Cell {
        Cell* next;
        T record;
        Cell() : next(nullptr) {}
    };

    // The first cell of a new block is what the caller asked for; the rest go on the free
    // list, in address order so that consecutive requests touch neighbouring memory.
    void Grow() {
        m_blocks.push_back(std::make_unique<Cell[]>(BlockRecords));
        Cell* block = m_blocks.back().get();
        for (std::size_t i = BlockRecords; i-- > 0;) {
            block[i].next = m_free;
            m_free = &block[i];
        }
    }

    std::vector<std::unique_ptr<Cell[]>> m_blocks;
    Cell* m_free = nullptr;
    std::size_t m_liveCount = 0;
};

}  // namespace orva
