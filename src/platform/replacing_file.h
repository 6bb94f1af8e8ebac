#pragma once

#include <sys/types.h>

#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace orva {

// A file written under a temporary name beside its target, which takes the target's name only
// once it is complete: a write that fails, or a program that stops half way, never leaves a
// half-written file under the target's name nor destroys a file already there. (It does not
// guard against a power cut: nothing is synced to the disk.) An existing target that may not
// be written is kept, as opening it for writing would have refused; a symbolic link under the
// target's name is replaced by the file, not written through. A file replaced keeps its
// permissions, unless it is opened with permissions of its own (a private cache's 0600, say),
// which the file then gets whatever it replaces. A device or a pipe under the target's name is
// written directly.
class CReplacingFile {
public:
    CReplacingFile() = default;
    // Removes the temporary file unless Commit succeeded.
    ~CReplacingFile();
    CReplacingFile(const CReplacingFile&) = delete;
    CReplacingFile& operator=(const CReplacingFile&) = delete;

    // Creates "<target>.XXXXXX" with `permissions`, or without them as the file would be
    // created or kept in place; false with errno.
    bool Open(const std::string& target, std::optional<mode_t> permissions = {});
    // For a library that opens its output by name: creates the temporary file as Open does but
    // leaves it closed, for the library to write at Path(); Commit then renames what it wrote.
    bool Reserve(const std::string& target, std::optional<mode_t> permissions = {});
    // Null after Reserve.
    std::FILE* File() const { return m_file; }
    const std::string& TemporaryPath() const { return m_temporary; }
    // Where the content goes: the temporary file, or the target itself when it is written
    // directly.
    const std::string& Path() const { return m_temporary.empty() ? m_target : m_temporary; }
    // Closes the file and renames it onto the target; false with errno, the temporary file
    // then removed.
    bool Commit();
    // Closes and removes the temporary file, keeping errno.
    void Discard();

private:
    bool Start(const std::string& target, std::optional<mode_t> permissions, bool keepOpen);

    std::string m_target;
    std::string m_temporary;
    std::FILE* m_file = nullptr;
    bool m_started = false;  // opened or reserved, and neither committed nor discarded since
};

// Opens `target` as a CReplacingFile, lets `write` fill it and commits it. False with errno
// when anything fails; a `write` that fails should leave errno saying why (0 reads as EIO).
bool WriteReplacingFile(const std::string& target, const std::function<bool(std::FILE*)>& write);
// Writes `contents` as the whole file, the same way; `permissions` as for CReplacingFile::Open.
bool WriteReplacingFile(const std::string& target, std::string_view contents,
                        std::optional<mode_t> permissions = {});

}  // namespace orva
