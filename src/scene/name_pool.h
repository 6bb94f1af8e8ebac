#pragma once

#include <cstddef>
#include <memory>
#include <mutex>
#include <string_view>

namespace orva {

// Keeper of the material-name texts read from files. Objects point into the pool and never
// free the texts; the pool frees them when it goes (at exit for the process-wide one).
// The array of text pointers starts with room for 10 and grows by its count; the texts
// themselves never move, so pointers handed out stay valid while the array grows.
class CNamePool {
public:
    CNamePool();
    ~CNamePool();
    CNamePool(const CNamePool&) = delete;
    CNamePool& operator=(const CNamePool&) = delete;

    // Keeps a copy of `text` (or a null entry when there is no text) and returns the copy.
    const char* RegisterName(const char* text, size_t length);
    const char* RegisterName(std::string_view text) {
        return RegisterName(text.data(), text.size());
    }
    const char* RegisterNoName() { return RegisterName(nullptr, 0); }

    size_t Count() const;
    size_t Capacity() const;

private:
    mutable std::mutex m_mutex;  // scenes load on one thread while renders may read names
    std::unique_ptr<char*[]> m_texts;
    size_t m_count = 0;
    size_t m_capacity = 0;
};

// The process-wide pool that scene reading registers material names in: objects of every scene
// point into it for as long as the program runs. Guarded, so any thread may register and read.
CNamePool& NamePool();

}  // namespace orva
