#include "render/tessellation/tessellation_store.h"

#include <algorithm>

#include "scene/object_signature.h"

namespace orva {

namespace {

// Several views may take turns on one store; an object they show is drawn at least this often.
constexpr int64_t kPicturesKept = 8;

}  // namespace

CTessellationStore::CTessellationStore(std::size_t budgetBytes) : m_budget(budgetBytes) {}

std::shared_ptr<const CObjectTessellation> CTessellationStore::Get(const CSceneObject& object) {
    std::vector<uint32_t> signature;
    ObjectSignature(object, signature);
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        const auto at = m_entries.find(&object);
        if (at != m_entries.end() && at->second.signature == signature) {
            at->second.lastUse = ++m_uses;
            at->second.lastPicture = m_pictures;
            return at->second.tessellation;
        }
        ++m_builds;
    }
    // Built outside the lock, so that other threads go on meanwhile; two threads building the
    // same object build the same thing, and the later one's copy replaces the earlier.
    auto built = std::make_shared<const CObjectTessellation>(TessellateObject(object));
    Keep(object, std::move(signature), built, built->Bytes());
    return built;
}

void CTessellationStore::Keep(const CSceneObject& object, std::vector<uint32_t> signature,
                              const std::shared_ptr<const CObjectTessellation>& tessellation,
                              std::size_t bytes) {
    bytes += signature.capacity() * sizeof(uint32_t);
    const std::lock_guard<std::mutex> lock(m_mutex);
    if (const auto at = m_entries.find(&object); at != m_entries.end()) {
        Erase(at);
    }
    if (bytes > m_budget) {
        return;
    }
    CEntry& entry = m_entries[&object];
    entry.signature = std::move(signature);
    entry.tessellation = tessellation;
    entry.bytes = bytes;
    entry.lastUse = ++m_uses;
    entry.lastPicture = m_pictures;
    m_bytes += bytes;
    TrimToBudget();
}

void CTessellationStore::Erase(std::unordered_map<const CSceneObject*, CEntry>::iterator at) {
    m_bytes -= at->second.bytes;
    m_entries.erase(at);
}

void CTessellationStore::TrimToBudget() {
    while (m_bytes > m_budget && !m_entries.empty()) {
        const auto oldest = std::min_element(
            m_entries.begin(), m_entries.end(),
            [](const auto& a, const auto& b) { return a.second.lastUse < b.second.lastUse; });
        Erase(oldest);
    }
}

void CTessellationStore::EndPicture() {
    const std::lock_guard<std::mutex> lock(m_mutex);
    for (auto at = m_entries.begin(); at != m_entries.end();) {
        const auto next = std::next(at);
        if (m_pictures - at->second.lastPicture >= kPicturesKept) {
            Erase(at);
        }
        at = next;
    }
    ++m_pictures;
}

void CTessellationStore::Clear() {
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_entries.clear();
    m_bytes = 0;
}

std::size_t CTessellationStore::Bytes() const {
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_bytes;
}

std::size_t CTessellationStore::Size() const {
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_entries.size();
}

int64_t CTessellationStore::Builds() const {
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_builds;
}

}  // namespace orva
