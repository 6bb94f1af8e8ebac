#include "scene/byte_reader.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstring>

namespace orva {

namespace {

constexpr size_t kFileBufferSize = 1 << 20;

}  // namespace

CByteReader::CByteReader(std::span<const uint8_t> bytes)
    : m_begin(bytes.data()),
      m_cur(bytes.data()),
      m_end(bytes.data() + bytes.size()),
      m_size(static_cast<int64_t>(bytes.size())) {}

CByteReader::CByteReader(std::FILE* file) : m_file(file), m_buffer(kFileBufferSize) {
    m_begin = m_cur = m_end = m_buffer.data();
    struct stat info {};
    if (file != nullptr && fstat(fileno(file), &info) == 0 && S_ISREG(info.st_mode)) {
        m_size = static_cast<int64_t>(info.st_size) - static_cast<int64_t>(std::ftell(file));
    } else {
        SlurpUnsizedSource();
    }
}

void CByteReader::SlurpUnsizedSource() {
    // Pipes and devices do not say how much is left, so counts could not be checked against
    // it; reading them whole bounds every allocation by what the source really holds.
    size_t used = 0;
    while (m_file != nullptr) {
        if (used == m_buffer.size()) {
            m_buffer.resize(m_buffer.size() * 2);
        }
        const size_t got = std::fread(m_buffer.data() + used, 1, m_buffer.size() - used, m_file);
        if (got == 0) {
            break;
        }
        used += got;
    }
    m_file = nullptr;
    m_begin = m_cur = m_buffer.data();
    m_end = m_begin + used;
    m_size = static_cast<int64_t>(used);
}

bool CByteReader::Refill() {
    if (m_file == nullptr) {
        return false;
    }
    if (m_interrupt != nullptr && m_interrupt->Poll()) {
        Stop("stopped");
        return false;
    }
    m_consumedBefore += m_end - m_begin;
    const size_t got = std::fread(m_buffer.data(), 1, m_buffer.size(), m_file);
    m_begin = m_cur = m_buffer.data();
    m_end = m_begin + got;
    return got > 0;
}

void CByteReader::MarkEnd() {
    if (!m_atEnd && m_stopReason.empty()) {
        m_stopOffset = Offset();
    }
    m_atEnd = true;
}

uint8_t CByteReader::NextByte() {
    if (m_cur == m_end && !Refill()) {
        MarkEnd();
        return 255;
    }
    return *m_cur++;
}

void CByteReader::ReadPlain(uint8_t* out, size_t n) {
    while (n > 0) {
        if (m_cur == m_end && !Refill()) {
            MarkEnd();
            return;
        }
        const size_t take = std::min(n, static_cast<size_t>(m_end - m_cur));
        std::memcpy(out, m_cur, take);
        m_cur += take;
        out += take;
        n -= take;
    }
}

void CByteReader::ReadScrambledSlow(uint8_t* out, size_t n) {
    uint8_t a = NextByte();
    for (size_t i = n - 1; n > 1 && i >= 1; --i) {
        const uint8_t b = NextByte();
        out[i] = static_cast<uint8_t>((a << 4) | (b >> 4)) ^ kScrambleKey[i & 7];
        a = b;
    }
    const uint8_t last = n > 0 ? NextByte() : a;
    if (n > 0) {
        out[0] = last ^ kScrambleKey[0];
    }
}

uint8_t CByteReader::ReadByte() {
    uint8_t b = 0;
    ReadBytes(&b, 1);
    return b;
}

int16_t CByteReader::ReadInt16() {
    uint8_t b[2] = {0, 0};
    ReadBytes(b, 2);
    return static_cast<int16_t>(static_cast<uint16_t>(b[0] | (b[1] << 8)));
}

int32_t CByteReader::ReadInt32() {
    uint8_t b[4] = {0, 0, 0, 0};
    ReadBytes(b, 4);
    const uint32_t u = static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) |
                       (static_cast<uint32_t>(b[2]) << 16) | (static_cast<uint32_t>(b[3]) << 24);
    return static_cast<int32_t>(u);
}

float CByteReader::ReadReal() {
    const int32_t bits = ReadInt32();
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

CVector3 CByteReader::ReadPoint() {
    CVector3 p;
    p.x = ReadReal();
    p.y = ReadReal();
    p.z = ReadReal();
    return p;
}

CMatrix4 CByteReader::ReadMatrix() {
    CMatrix4 m;
    for (float& element : m.m) {
        element = ReadReal();
    }
    return m;
}

bool CByteReader::ReadCountedString(std::string& text) {
    text.clear();
    const int32_t length = ReadInt32();
    if (length < 1 || Failed()) {
        return false;
    }
    if (!CanHold(length, 1, 1, "text longer than the rest of the file")) {
        return false;
    }
    text.resize(static_cast<size_t>(length));
    for (int32_t i = 0; i < length; ++i) {
        text[static_cast<size_t>(i)] = static_cast<char>(ReadByte());
    }
    return true;
}

void CByteReader::Stop(std::string reason) {
    if (!Failed()) {
        m_stopOffset = Offset();
        m_stopReason = std::move(reason);
    }
}

std::string CByteReader::StopReason() const {
    if (!m_stopReason.empty()) {
        return m_stopReason;
    }
    return m_atEnd ? "end of file" : "";
}

int64_t CByteReader::RemainingBytes() const {
    if (m_size < 0) {
        return -1;
    }
    return std::max<int64_t>(0, m_size - Offset());
}

bool CByteReader::CanHold(int64_t count, int readsPerItem, int bytesPerRead, const char* what) {
    const int64_t remaining = RemainingBytes();
    if (count <= 0 || remaining < 0) {
        return !Failed();
    }
    const int64_t perItem =
        static_cast<int64_t>(readsPerItem) * (bytesPerRead + (m_scrambled ? 1 : 0));
    // Divide rather than multiply: count * perItem may not fit in 64 bits for hostile counts.
    if (count > remaining / perItem) {
        Stop(what);
        return false;
    }
    return !Failed();
}

bool CByteReader::EnterNesting(int limit) {
    if (m_depth >= limit) {
        Stop("groups nested too deeply");
        return false;
    }
    ++m_depth;
    return true;
}

}  // namespace orva
