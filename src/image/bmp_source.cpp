#include "image/bmp_source.h"

#include <sys/types.h>

#include <cstring>
#include <limits>

namespace orva {

size_t CBmpMemorySource::ReadAt(uint64_t offset, void* buffer, size_t n) {
    if (offset >= m_bytes.size()) {
        return 0;
    }
    const size_t available = m_bytes.size() - static_cast<size_t>(offset);
    const size_t count = n < available ? n : available;
    if (count > 0) {
        std::memcpy(buffer, m_bytes.data() + offset, count);
    }
    return count;
}

size_t CBmpFileSource::ReadAt(uint64_t offset, void* buffer, size_t n) {
    if (offset > static_cast<uint64_t>(std::numeric_limits<off_t>::max())) {
        return 0;
    }
    const auto position = static_cast<int64_t>(offset);
    // Rows are read in order; skipping the redundant seek keeps the stream's buffer.
    if (position != m_position) {
        if (fseeko(m_file, static_cast<off_t>(position), SEEK_SET) != 0) {
            m_position = -1;
            return 0;
        }
    }
    const size_t got = std::fread(buffer, 1, n, m_file);
    m_position = position + static_cast<int64_t>(got);
    if (got < n) {
        std::clearerr(m_file);
        m_position = -1;
    }
    return got;
}

}  // namespace orva
