#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "scene/object_list.h"

namespace orva {

class CByteReader;
class CSceneObject;

// The shared shapes that gems refer to by index, read from the "gemlib" file on first use
// and kept until the library goes. While the file is missing or rejected the library stays
// empty and every lookup tries again. Loading is guarded, so render threads may look up
// shapes at any time.
class CGemLibrary {
public:
    explicit CGemLibrary(std::string path);
    CGemLibrary(const CGemLibrary&) = delete;
    CGemLibrary& operator=(const CGemLibrary&) = delete;

    // entries[index] when 0 <= index < size after loading if needed; null otherwise.
    const CSceneObject* Entry(int32_t index);
    // The number of shapes, loading if needed.
    int32_t Size();
    // Reads the file now: the shape count, 0 for a file with no shapes, -1 when it is missing
    // or its signature does not match.
    int32_t LoadGemLibrary();

    // Replaces the file (and forgets what was loaded).
    void SetPath(std::string path);
    const std::string& Path() const { return m_path; }
    // How many times the file has been opened and read.
    int LoadCount() const { return m_loads; }

    // Reads a library stream: signature, then shapes until "#" or 255 (or the end of the
    // stream, keeping the shapes read). Returns the count, or -1 on a signature mismatch.
    static int32_t ReadShapeList(CByteReader& in, CObjectList& shapes);

private:
    bool EnsureLoaded();

    std::mutex m_mutex;
    std::atomic<bool> m_loaded{false};
    std::string m_path;
    CObjectList m_shapes;
    std::vector<const CSceneObject*> m_entries;
    int m_loads = 0;
};

// The process-wide library, "gemlib" of the program data (GetProgramDataDirectory) unless
// SetPath chose another file. Process-wide because every scene's gems refer into the one
// library; its loading is guarded, so any thread may look shapes up.
CGemLibrary& GemLibrary();

// Gems may reach further gems through the library (a shape that is a gem, or a group holding
// gems). A resolution holds one step of that chain for the current thread; past
// kMaxGemResolution steps it selects nothing, so a gem that refers to itself ends.
inline constexpr int kMaxGemResolution = 8;

class CGemResolution {
public:
    CGemResolution() = default;
    ~CGemResolution();
    CGemResolution(const CGemResolution&) = delete;
    CGemResolution& operator=(const CGemResolution&) = delete;

    // The process-wide library's shape for the index, or null.
    const CSceneObject* Shape(int32_t index);

private:
    bool m_entered = false;
};

}  // namespace orva
