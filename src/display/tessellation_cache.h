#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "display/shaded_parts.h"

namespace orva {

class CSceneObject;

// The shaded parts of every object drawn lately, kept from frame to frame so that a drag
// re-draws without re-evaluating every surface. An entry is remembered with a copy of all the
// object data it was built from and is rebuilt as soon as any of it differs, so a changed or
// replaced scene never shows stale geometry. Entries not drawn for a few frames are dropped.
// Each view keeps its own; the frames of one view are drawn on one thread.
class CTessellationCache {
public:
    // The parts of a surface, extrusion or polygon mesh (nothing for other objects).
    CShadedParts& Parts(const CSceneObject& object);
    // Ends a shaded frame: forgets what has not been drawn for a while.
    void EndFrame();
    void Clear();

    std::size_t Size() const { return m_entries.size(); }
    // How many times parts were built rather than found.
    int64_t Builds() const { return m_builds; }

private:
    struct CEntry {
        std::vector<uint32_t> signature;
        CShadedParts parts;
        int64_t lastFrame = 0;
    };
    std::unordered_map<const CSceneObject*, CEntry> m_entries;
    std::vector<uint32_t> m_scratch;
    int64_t m_frame = 0;
    int64_t m_builds = 0;
};

}  // namespace orva
