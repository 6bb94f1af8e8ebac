#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "geometry/matrix4.h"

namespace orva {

// Where written bytes go. The viewer only ever writes to the discarding sink; the
// generator of test and shipped data writes to memory or to files.
class CByteSink {
public:
    virtual ~CByteSink() = default;
    virtual void Put(const uint8_t* bytes, size_t n) = 0;
};

class CDiscardingSink final : public CByteSink {
public:
    void Put(const uint8_t*, size_t) override {}
};

class CMemorySink final : public CByteSink {
public:
    void Put(const uint8_t* bytes, size_t n) override { data.insert(data.end(), bytes, bytes + n); }
    std::vector<uint8_t> data;
};

// The mirror image of CByteReader: every WriteBytes call produces what one ReadBytes call of
// the same size reads back. In the scrambled mode the nibbles the reader ignores are filled
// with pseudo-random bits, so files never depend on them.
class CByteWriter {
public:
    explicit CByteWriter(CByteSink& sink, bool scrambled = true)
        : m_sink(sink), m_scrambled(scrambled) {}

    void SetScrambledWriting(bool on) { m_scrambled = on; }
    bool ScrambledWriting() const { return m_scrambled; }
    // Seeds the filler of the ignored nibbles.
    void SetFillerSeed(uint32_t seed) { m_filler = seed; }

    void WriteBytes(const void* buffer, size_t n);
    void WriteByte(uint8_t value) { WriteBytes(&value, 1); }
    void WriteInt16(int16_t value);
    void WriteInt32(int32_t value);
    void WriteReal(float value);
    void WritePoint(CVector3 p);
    void WriteMatrix(const CMatrix4& m);
    // Length then one byte per character; null or empty writes the length 0 (no text).
    void WriteCountedString(const char* text);

private:
    uint8_t NextFillerNibble();

    CByteSink& m_sink;
    bool m_scrambled;
    uint32_t m_filler = 0x2545F491u;
};

}  // namespace orva
