#include "picture/row_stream_surface.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>

namespace orva {

CRowStreamSurface::CRowStreamSurface(const std::string& path, EPictureFormat format, int width,
                                     int height, bool alpha, uint32_t background, int jpegQuality,
                                     const CPngTexts& texts)
    : m_width(std::max(width, 0)), m_height(std::max(height, 0)), m_alpha(alpha) {
    m_blank.bgr.resize(static_cast<size_t>(m_width) * 3);
    for (size_t i = 0; i < m_blank.bgr.size(); i += 3) {
        m_blank.bgr[i] = static_cast<uint8_t>(background);
        m_blank.bgr[i + 1] = static_cast<uint8_t>(background >> 8);
        m_blank.bgr[i + 2] = static_cast<uint8_t>(background >> 16);
    }
    m_blank.alpha.assign(alpha ? static_cast<size_t>(m_width) : 0, 0);
    constexpr size_t kKeptBytes = 64 << 20;
    const size_t rowBytes = std::max<size_t>(1, static_cast<size_t>(m_width) * (alpha ? 4 : 3));
    m_rowsAhead = static_cast<int>(
        std::max<size_t>((m_height + 3) / 4, std::min<size_t>(kKeptBytes / rowBytes, INT32_MAX)));
    m_writer =
        OpenPictureRowWriter(path, format, width, height, alpha, jpegQuality, texts, m_error);
    clipFirstColumn = 0;
    clipLastColumn = m_width - 1;
    clipFirstRow = 0;
    clipLastRow = m_height - 1;
}

void CRowStreamSurface::SetRowsAhead(int rows) {
    std::lock_guard<std::mutex> lock(m_lock);
    m_rowsAhead = std::max(rows, 1);
}

void CRowStreamSurface::SetInterrupt(CInterrupt* interrupt) {
    std::lock_guard<std::mutex> lock(m_lock);
    m_interrupt = interrupt;
}

void CRowStreamSurface::PutImage(int x, int y, int width, int height, const uint8_t* bits) {
    const size_t stride = (static_cast<size_t>(std::max(width, 0)) * 3 + 3) & ~size_t{3};
    const int first = std::max(x, 0);
    const int last = std::min(x + width, m_width);
    // Top row first, as the rows lower down may have to wait for it; bits run bottom-up.
    for (int r = height - 1; r >= 0; --r) {
        const int row = y + height - 1 - r;
        ++m_rowsDelivered;
        std::unique_lock<std::mutex> lock(m_lock);
        WaitForRoom(lock, row);
        if (!Takes(row) || first >= last) {
            continue;
        }
        CRow& held = HeldRow(row);
        if (held.complete) {
            continue;
        }
        const uint8_t* source = bits + r * stride + static_cast<size_t>(first - x) * 3;
        std::memcpy(held.bgr.data() + static_cast<size_t>(first) * 3, source,
                    static_cast<size_t>(last - first) * 3);
        if (m_alpha && !held.hasCoverage) {
            std::fill(held.alpha.begin() + first, held.alpha.begin() + last, 255);
        }
        held.complete = true;
        if (row == m_nextRow && !m_writing) {
            WriteReadyRows(lock);
        }
    }
}

void CRowStreamSurface::PutCoverage(int x, int y, int width, const uint8_t* alpha) {
    const int first = std::max(x, 0);
    const int last = std::min(x + width, m_width);
    std::unique_lock<std::mutex> lock(m_lock);
    WaitForRoom(lock, y);
    if (!m_alpha || !Takes(y) || first >= last) {
        return;
    }
    CRow& held = HeldRow(y);
    if (held.complete) {
        return;
    }
    std::memcpy(held.alpha.data() + first, alpha + (first - x), static_cast<size_t>(last - first));
    held.hasCoverage = true;
}

bool CRowStreamSurface::Finish() {
    std::unique_lock<std::mutex> lock(m_lock);
    if (m_finished) {
        errno = m_error != 0 ? m_error : EBADF;
        return false;
    }
    m_finished = true;  // whatever still arrives is dropped
    m_rowsDone.notify_all();
    for (; m_error == 0 && m_nextRow < m_height; ++m_nextRow) {
        const auto held = m_held.find(m_nextRow);
        const bool delivered = held != m_held.end() && held->second.complete;
        if (!WriteRow(delivered ? held->second : m_blank)) {
            Fail(errno);
        }
    }
    m_buffered -= static_cast<int>(m_held.size());
    m_held.clear();
    if (m_error == 0 && !m_writer->Finish()) {
        Fail(errno);
    }
    errno = m_error;
    return m_error == 0;
}

bool CRowStreamSurface::Good() const {
    std::lock_guard<std::mutex> lock(m_lock);
    return m_error == 0;
}

int CRowStreamSurface::Error() const {
    std::lock_guard<std::mutex> lock(m_lock);
    return m_error;
}

int CRowStreamSurface::PeakRowsBuffered() const {
    std::lock_guard<std::mutex> lock(m_lock);
    return m_peakBuffered;
}

// Under the lock: whether a row for `y` is still wanted.
bool CRowStreamSurface::Takes(int y) const {
    return m_error == 0 && !m_finished && y >= m_nextRow && y < m_height;
}

// Under the lock: holds the thread delivering row `y` until it is close enough to the rows
// written, or nothing more will be written, or the render was interrupted.
void CRowStreamSurface::WaitForRoom(std::unique_lock<std::mutex>& lock, int y) {
    while (Takes(y) && y - m_rowsWritten >= m_rowsAhead) {
        if (m_interrupt == nullptr) {
            m_rowsDone.wait(lock);
        } else if (m_interrupt->Poll()) {
            return;
        } else {
            m_rowsDone.wait_for(lock, std::chrono::milliseconds(20));
        }
    }
}

// Under the lock: the row held for `y`, made blank when it is new.
CRowStreamSurface::CRow& CRowStreamSurface::HeldRow(int y) {
    const auto found = m_held.find(y);
    if (found != m_held.end()) {
        return found->second;
    }
    CRow row;
    if (!m_spare.empty()) {
        row = std::move(m_spare.back());
        m_spare.pop_back();
    }
    row.bgr = m_blank.bgr;  // reuses the spare's memory
    row.alpha = m_blank.alpha;
    row.hasCoverage = false;
    row.complete = false;
    m_peakBuffered = std::max(m_peakBuffered, ++m_buffered);
    return m_held.emplace(y, std::move(row)).first->second;
}

// Called under the lock by the thread that completed the next row. It writes every complete
// row from there down, without the lock so that the other threads go on delivering; rows
// completed meanwhile are picked up before it stops.
void CRowStreamSurface::WriteReadyRows(std::unique_lock<std::mutex>& lock) {
    m_writing = true;
    std::vector<CRow> ready;
    while (m_error == 0) {
        for (auto next = m_held.begin();
             next != m_held.end() && next->first == m_nextRow && next->second.complete;
             next = m_held.erase(next), ++m_nextRow) {
            ready.push_back(std::move(next->second));
        }
        if (ready.empty()) {
            break;
        }
        lock.unlock();
        bool written = true;
        for (size_t i = 0; written && i < ready.size(); ++i) {
            written = WriteRow(ready[i]);
        }
        const int reason = errno;
        lock.lock();
        if (!written) {
            Fail(reason);
        }
        m_rowsWritten = m_nextRow;
        m_rowsDone.notify_all();
        for (CRow& row : ready) {
            Release(std::move(row));
        }
        ready.clear();
    }
    m_writing = false;
}

bool CRowStreamSurface::WriteRow(const CRow& row) {
    return m_writer->WriteRow(row.bgr.data(), m_alpha ? row.alpha.data() : nullptr);
}

void CRowStreamSurface::Release(CRow&& row) {
    --m_buffered;
    m_spare.push_back(std::move(row));
}

// Under the lock: the file is lost (the writer has removed it), and so are the rows held.
void CRowStreamSurface::Fail(int reason) {
    m_error = reason != 0 ? reason : EIO;
    m_buffered -= static_cast<int>(m_held.size());
    m_held.clear();
    m_spare.clear();
    m_rowsDone.notify_all();
}

}  // namespace orva
