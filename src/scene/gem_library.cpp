#include "scene/gem_library.h"

#include <cstdio>
#include <memory>

#include "platform/file_handle.h"
#include "platform/module_directory.h"
#include "scene/byte_reader.h"
#include "scene/object_class.h"
#include "scene/point_set_object.h"

namespace orva {

namespace {

constexpr char kLibrarySignature[] = "BRONTALESIGN0100";

thread_local int t_gemResolutionDepth = 0;

}  // namespace

CGemLibrary::CGemLibrary(std::string path) : m_path(std::move(path)) {}

void CGemLibrary::SetPath(std::string path) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_path = std::move(path);
    m_entries.clear();
    m_shapes.Clear();
    m_loads = 0;
    m_loaded.store(false, std::memory_order_release);
}

int32_t CGemLibrary::ReadShapeList(CByteReader& in, CObjectList& shapes) {
    shapes.Clear();
    for (int i = 0; i < 16; ++i) {
        if (in.ReadByte() != static_cast<uint8_t>(kLibrarySignature[i]) || in.Failed()) {
            return -1;
        }
    }
    CListBuilder builder(shapes.first);
    int32_t count = 0;
    while (!in.Failed()) {
        const uint8_t control = in.ReadByte();
        if (in.Failed() || control == '#' || control == 255) {
            break;
        }
        if (control != ':') {
            continue;
        }
        if (std::unique_ptr<CSceneObject> shape = ReadObject(in)) {
            builder.Append(shape.release());
            ++count;
        }
    }
    return count;
}

int32_t CGemLibrary::LoadGemLibrary() {
    CFileHandle file = OpenFile(m_path, "rb");
    if (!file) {
        return -1;
    }
    ++m_loads;
    CByteReader in(file.get());
    in.SetScrambledReading(false);
    CObjectList shapes;
    const int32_t count = ReadShapeList(in, shapes);
    if (count <= 0) {
        return count;
    }
    m_entries.clear();
    for (CSceneObject* s = shapes.first; s != nullptr; s = s->next) {
        // Library shapes never show their control nets, and a selective move cannot touch them.
        if (s->GetCategory() == 1) {
            static_cast<CPointSetObject*>(s)->netHidden = 1;
        }
        m_entries.push_back(s);
    }
    m_shapes = std::move(shapes);
    m_loaded.store(true, std::memory_order_release);
    return count;
}

bool CGemLibrary::EnsureLoaded() {
    if (m_loaded.load(std::memory_order_acquire)) {
        return true;
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_loaded.load(std::memory_order_relaxed)) {
        LoadGemLibrary();
    }
    return m_loaded.load(std::memory_order_relaxed);
}

const CSceneObject* CGemLibrary::Entry(int32_t index) {
    if (!EnsureLoaded() || index < 0 || static_cast<size_t>(index) >= m_entries.size()) {
        return nullptr;
    }
    return m_entries[static_cast<size_t>(index)];
}

int32_t CGemLibrary::Size() {
    return EnsureLoaded() ? static_cast<int32_t>(m_entries.size()) : 0;
}

CGemLibrary& GemLibrary() {
    static CGemLibrary library(GetProgramDataDirectory() + "gemlib");
    return library;
}

CGemResolution::~CGemResolution() {
    if (m_entered) {
        --t_gemResolutionDepth;
    }
}

const CSceneObject* CGemResolution::Shape(int32_t index) {
    if (!m_entered) {
        if (t_gemResolutionDepth >= kMaxGemResolution) {
            return nullptr;
        }
        ++t_gemResolutionDepth;
        m_entered = true;
    }
    return GemLibrary().Entry(index);
}

}  // namespace orva
