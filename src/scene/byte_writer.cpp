#include "scene/byte_writer.h"

#include <cstring>

#include "scene/byte_reader.h"

namespace orva {

uint8_t CByteWriter::NextFillerNibble() {
    m_filler = m_filler * 1664525u + 1013904223u;
    return static_cast<uint8_t>(m_filler >> 28);
}

void CByteWriter::WriteBytes(const void* buffer, size_t n) {
    const uint8_t* in = static_cast<const uint8_t*>(buffer);
    if (!m_scrambled) {
        m_sink.Put(in, n);
        return;
    }
    if (n == 0) {
        const uint8_t c0 = static_cast<uint8_t>(NextFillerNibble() << 4 | NextFillerNibble());
        m_sink.Put(&c0, 1);
        return;
    }
    // The reader builds byte i (1 <= i < n) from the low nibble of c[n-1-i] and the high nibble
    // of c[n-i], and byte 0 from c[n] alone; so c[j] carries the high nibble of x[n-1-j] in its
    // low half and the low nibble of x[n-j] in its high half.
    uint8_t x[8];
    uint8_t c[9];
    for (size_t i = 0; i < n; ++i) {
        x[i] = in[i] ^ kScrambleKey[i & 7];
    }
    for (size_t j = 0; j < n; ++j) {
        const uint8_t high = j >= 1 ? static_cast<uint8_t>(x[n - j] & 0x0F) : NextFillerNibble();
        const uint8_t low =
            j + 2 <= n ? static_cast<uint8_t>(x[n - 1 - j] >> 4) : NextFillerNibble();
        c[j] = static_cast<uint8_t>(high << 4 | low);
    }
    c[n] = x[0];
    m_sink.Put(c, n + 1);
}

void CByteWriter::WriteInt16(int16_t value) {
    const uint16_t u = static_cast<uint16_t>(value);
    const uint8_t b[2] = {static_cast<uint8_t>(u), static_cast<uint8_t>(u >> 8)};
    WriteBytes(b, 2);
}

void CByteWriter::WriteInt32(int32_t value) {
    const uint32_t u = static_cast<uint32_t>(value);
    const uint8_t b[4] = {static_cast<uint8_t>(u), static_cast<uint8_t>(u >> 8),
                          static_cast<uint8_t>(u >> 16), static_cast<uint8_t>(u >> 24)};
    WriteBytes(b, 4);
}

void CByteWriter::WriteReal(float value) {
    int32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    WriteInt32(bits);
}

void CByteWriter::WritePoint(CVector3 p) {
    WriteReal(p.x);
    WriteReal(p.y);
    WriteReal(p.z);
}

void CByteWriter::WriteMatrix(const CMatrix4& m) {
    for (float element : m.m) {
        WriteReal(element);
    }
}

void CByteWriter::WriteCountedString(const char* text) {
    const size_t length = text == nullptr ? 0 : std::strlen(text);
    WriteInt32(static_cast<int32_t>(length));
    for (size_t i = 0; i < length; ++i) {
        WriteByte(static_cast<uint8_t>(text[i]));
    }
}

}  // namespace orva
