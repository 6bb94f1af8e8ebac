#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "render/tessellation/object_tessellation.h"

namespace orva {

class CSceneObject;

// The view-independent tessellation of the objects pictures showed lately, kept between bands
// and pictures so that a new view only projects what it already has. An entry is kept with a
// copy of all the object data it was built from and is rebuilt as soon as any of it differs,
// so a changed or replaced object never shows stale geometry. The store holds at most its
// budget: past it, the entries used longest ago go first, and an object larger than the whole
// budget is built for each picture and not kept. Entries no picture used for a few pictures
// are dropped too, so a closed scene does not linger. Safe to share between threads.
class CTessellationStore {
public:
    // 256 MiB: a scene of several million triangles fits.
    static constexpr std::size_t kDefaultBudgetBytes = std::size_t{256} << 20;

    explicit CTessellationStore(std::size_t budgetBytes = kDefaultBudgetBytes);
    CTessellationStore(const CTessellationStore&) = delete;
    CTessellationStore& operator=(const CTessellationStore&) = delete;

    // The object's tessellation, kept or built now. Holding it keeps it valid after the entry
    // is dropped.
    std::shared_ptr<const CObjectTessellation> Get(const CSceneObject& object);
    // Ends a picture: forgets what the last few pictures did not use.
    void EndPicture();
    void Clear();

    std::size_t Bytes() const;
    std::size_t Size() const;
    // How many times a tessellation was built rather than found.
    int64_t Builds() const;

private:
    struct CEntry {
        std::vector<uint32_t> signature;
        std::shared_ptr<const CObjectTessellation> tessellation;
        std::size_t bytes = 0;
        int64_t lastUse = 0;      // of the use counter
        int64_t lastPicture = 0;  // of the picture counter
    };

    void Keep(const CSceneObject& object, std::vector<uint32_t> signature,
              const std::shared_ptr<const CObjectTessellation>& tessellation, std::size_t bytes);
    void Erase(std::unordered_map<const CSceneObject*, CEntry>::iterator at);
    void TrimToBudget();

    const std::size_t m_budget;
    mutable std::mutex m_mutex;
    std::unordered_map<const CSceneObject*, CEntry> m_entries;
    std::size_t m_bytes = 0;
    int64_t m_uses = 0;
    int64_t m_pictures = 0;
    int64_t m_builds = 0;
};

}  // namespace orva
