#include "display/tessellation_cache.h"

#include "display/object_parts.h"
#include "scene/object_signature.h"
#include "scene/extrusion.h"
#include "scene/poly_mesh.h"
#include "scene/surface.h"

namespace orva {

namespace {

// Several views may take turns; an object they show is drawn at least this often.
constexpr int64_t kFramesKept = 8;

CShadedParts BuildParts(const CSceneObject& object) {
    if (const auto* s = dynamic_cast<const CSurface*>(&object)) {
        return BuildSurfaceParts(*s);
    }
    if (const auto* m = dynamic_cast<const CPolyMesh*>(&object)) {
        return BuildPolyMeshParts(*m);
    }
    if (const auto* e = dynamic_cast<const CExtrusion*>(&object)) {
        return BuildExtrusionParts(*e);
    }
    return CShadedParts{};
}

}  // namespace

CShadedParts& CTessellationCache::Parts(const CSceneObject& object) {
    ObjectSignature(object, m_scratch);
    CEntry& entry = m_entries[&object];
    entry.lastFrame = m_frame;
    if (entry.signature != m_scratch || m_scratch.empty()) {
        entry.parts = BuildParts(object);
        entry.signature.swap(m_scratch);
        ++m_builds;
    }
    return entry.parts;
}

void CTessellationCache::EndFrame() {
    std::erase_if(m_entries, [this](const auto& item) {
        return m_frame - item.second.lastFrame >= kFramesKept;
    });
    ++m_frame;
}

void CTessellationCache::Clear() {
    m_entries.clear();
}

}  // namespace orva
