#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <span>

namespace orva {

// Random access to the bytes of a bitmap file. The decoder never trusts a size: it uses
// only what each read actually returned, so a file that is shorter than its headers claim
// (or that shrinks while it is read) leaves the rest of the image as it was allocated.
class CBmpSource {
public:
    virtual ~CBmpSource() = default;
    // Copies up to n bytes starting at `offset` into `buffer` and returns how many there were.
    virtual size_t ReadAt(uint64_t offset, void* buffer, size_t n) = 0;
};

// Bytes that outlive the source; nothing is copied.
class CBmpMemorySource final : public CBmpSource {
public:
    explicit CBmpMemorySource(std::span<const uint8_t> bytes) : m_bytes(bytes) {}
    size_t ReadAt(uint64_t offset, void* buffer, size_t n) override;

private:
    std::span<const uint8_t> m_bytes;
};

// An open file that the caller keeps and closes. Reads go straight into the caller's buffer,
// so a 24-bit picture is one seek and one block read into its pixels.
class CBmpFileSource final : public CBmpSource {
public:
    explicit CBmpFileSource(std::FILE* file) : m_file(file) {}
    size_t ReadAt(uint64_t offset, void* buffer, size_t n) override;

private:
    std::FILE* m_file;
    int64_t m_position = -1;  // where the stream stands; -1 when unknown
};

}  // namespace orva
