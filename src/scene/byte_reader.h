#pragma once

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <vector>

#include "geometry/matrix4.h"
#include "platform/interrupt.h"

namespace orva {

// Every read of n bytes in the scrambled mode takes n + 1 bytes of the file; byte i of the
// result is masked with kScrambleKey[i mod 8] (reads are at most 4 bytes, so only the first
// four entries ever take part).
inline constexpr uint8_t kScrambleKey[8] = {0x5E, 0x07, 0xB2, 0xC4, 0x93, 0x1A, 0x6F, 0xE8};

// Reads the files of the system: scene files (scrambled), gem library and material files
// (plain). Each reader owns its position and its mode, so several files can be read at
// once (a gem library loaded in the middle of a scene operation, material files read by
// render threads). A read past the end never fails by itself; it raises AtEnd(), and the
// list readers stop there. Records that cannot be what they claim stop the reader
// with a reason, which the same list readers treat like the end of the file.
class CByteReader {
public:
    // Reads from memory that outlives the reader; nothing is copied.
    explicit CByteReader(std::span<const uint8_t> bytes);
    // Reads from an open file through a buffer of its own; the caller keeps the file.
    explicit CByteReader(std::FILE* file);

    CByteReader(const CByteReader&) = delete;
    CByteReader& operator=(const CByteReader&) = delete;

    void SetScrambledReading(bool on) { m_scrambled = on; }
    // A file reader asks `interrupt` before each buffer it reads and stops there (reason
    // "stopped") once it is requested, so a large file need not be read to its end.
    void SetInterrupt(CInterrupt* interrupt) { m_interrupt = interrupt; }
    bool ScrambledReading() const { return m_scrambled; }

    // Fills buffer[0..n-1]. Plain mode: a short read stores what there is and leaves the rest
    // of the buffer as it was. Scrambled mode: each missing physical byte counts as 255.
    void ReadBytes(void* buffer, size_t n) {
        uint8_t* out = static_cast<uint8_t*>(buffer);
        if (!m_scrambled) {
            ReadPlain(out, n);
        } else if (n > 0 && static_cast<size_t>(m_end - m_cur) > n) {
            Unscramble(out, n, m_cur);
            m_cur += n + 1;
        } else {
            ReadScrambledSlow(out, n);
        }
    }

    uint8_t ReadByte();
    int16_t ReadInt16();
    int32_t ReadInt32();
    float ReadReal();
    CVector3 ReadPoint();
    CMatrix4 ReadMatrix();
    // An int32 length L, then L one-byte reads. Returns false (no text) when L < 1. A length
    // that the rest of the stream cannot hold stops the reader instead of allocating for it.
    bool ReadCountedString(std::string& text);

    // A read has run past the end of the stream.
    bool AtEnd() const { return m_atEnd; }
    // At the end, or stopped because a record cannot be what it claims.
    bool Failed() const { return m_atEnd || !m_stopReason.empty(); }
    void Stop(std::string reason);
    // Why reading stopped: the recorded reason, "end of file", or empty.
    std::string StopReason() const;
    // File offset at which the reader stopped (or ran out).
    int64_t StopOffset() const { return m_stopOffset; }

    // Physical bytes consumed so far.
    int64_t Offset() const { return m_consumedBefore + (m_cur - m_begin); }
    // Physical bytes left, or -1 when the size of the source is unknown.
    int64_t RemainingBytes() const;
    // Checks that `count` items of `readsPerItem` reads of `bytesPerRead` bytes each fit in
    // what is left of the stream; stops the reader with `what` as the reason when they cannot.
    bool CanHold(int64_t count, int readsPerItem, int bytesPerRead, const char* what);

    // Group nesting guard: record readers that recurse (groups) enter here first.
    bool EnterNesting(int limit);
    void LeaveNesting() { --m_depth; }

private:
    static void Unscramble(uint8_t* out, size_t n, const uint8_t* c) {
        for (size_t i = n - 1; i >= 1; --i) {
            out[i] =
                static_cast<uint8_t>((c[n - 1 - i] << 4) | (c[n - i] >> 4)) ^ kScrambleKey[i & 7];
        }
        out[0] = c[n] ^ kScrambleKey[0];
    }
    void ReadPlain(uint8_t* out, size_t n);
    void ReadScrambledSlow(uint8_t* out, size_t n);
    // Next physical byte, 255 past the end.
    uint8_t NextByte();
    bool Refill();
    void MarkEnd();
    void SlurpUnsizedSource();

    const uint8_t* m_begin = nullptr;
    const uint8_t* m_cur = nullptr;
    const uint8_t* m_end = nullptr;
    std::FILE* m_file = nullptr;
    CInterrupt* m_interrupt = nullptr;
    std::vector<uint8_t> m_buffer;
    int64_t m_consumedBefore = 0;  // bytes of the file that came before the buffer
    int64_t m_size = -1;           // whole source size, -1 when unknown
    bool m_scrambled = true;
    bool m_atEnd = false;
    std::string m_stopReason;
    int64_t m_stopOffset = -1;
    int m_depth = 0;
};

}  // namespace orva
