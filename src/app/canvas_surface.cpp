#include "app/canvas_surface.h"

#include <QPainter>

#include <algorithm>

namespace orva {

namespace {

// Rows of a 24-bit device-independent bitmap are padded to a multiple of 4 bytes.
int PaddedRowBytes(int width) {
    return (width * 3 + 3) & ~3;
}

}  // namespace

CCanvasSurface::CCanvasSurface() {
    Resize(1, 1);
}

void CCanvasSurface::Resize(int width, int height) {
    const std::lock_guard<std::mutex> lock(m_mutex);
    // Held as 32-bit pixels, which OpenGL takes as they are; 24-bit ones would be converted
    // on the window's thread each time rows are shown.
    m_image = QImage(std::max(width, 1), std::max(height, 1), QImage::Format_RGB32);
    m_image.fill(Qt::black);
    m_arrived.assign(static_cast<size_t>(m_image.height()), 0);
    m_drawn.assign(m_arrived.size(), 0);
    m_arrivedCount = 0;
}

void CCanvasSurface::BeginPicture() {
    const std::lock_guard<std::mutex> lock(m_mutex);
    std::fill(m_arrived.begin(), m_arrived.end(), 0);
    std::fill(m_drawn.begin(), m_drawn.end(), 0);
    m_arrivedCount = 0;
    // The first rows of the new picture are announced, whatever the old one left pending.
    m_notifyPending = false;
}

bool CCanvasSurface::ReplacePicture(const CImageSurface& picture) {
    const std::lock_guard<std::mutex> lock(m_mutex);
    if (picture.Width() != m_image.width() || picture.Height() != m_image.height()) {
        return false;
    }
    for (int row = 0; row < picture.Height(); ++row) {
        const uint8_t* source = picture.Row(row);
        QRgb* target = reinterpret_cast<QRgb*>(m_image.scanLine(row));
        for (int i = 0; i < picture.Width(); ++i, source += 3) {
            target[i] = qRgb(source[2], source[1], source[0]);  // blue first
        }
    }
    std::fill(m_arrived.begin(), m_arrived.end(), 1);
    std::fill(m_drawn.begin(), m_drawn.end(), 0);
    m_arrivedCount = m_image.height();
    return true;
}

void CCanvasSurface::PutImage(int x, int y, int width, int height, const uint8_t* bits) {
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        const int x0 = std::max(x, 0);
        const int x1 = std::min(x + width, m_image.width());
        const int stride = PaddedRowBytes(width);
        for (int r = 0; r < height && x0 < x1; ++r) {
            // The bitmap's first row is the bottom row of the rectangle.
            const int row = y + height - 1 - r;
            if (row < 0 || row >= m_image.height()) {
                continue;
            }
            const uint8_t* source = bits + static_cast<size_t>(r) * stride + (x0 - x) * 3;
            QRgb* target = reinterpret_cast<QRgb*>(m_image.scanLine(row)) + x0;
            for (int i = 0; i < x1 - x0; ++i, source += 3) {
                target[i] = qRgb(source[2], source[1], source[0]);  // the bitmap is blue first
            }
            if (m_arrived[static_cast<size_t>(row)] == 0) {
                m_arrived[static_cast<size_t>(row)] = 1;
                ++m_arrivedCount;
            }
        }
    }
    if (m_notify && !m_notifyPending.exchange(true)) {
        m_notify();
    }
    m_hold.Wait();
}

void CCanvasSurface::HoldRows(std::chrono::milliseconds atMost) {
    m_hold.Hold(atMost);
}

void CCanvasSurface::ReleaseRows() {
    m_hold.Release();
}

void CCanvasSurface::Draw(QPainter& painter, double devicePixelRatio) {
    DrawRows(painter, devicePixelRatio, false);
}

void CCanvasSurface::DrawNewRows(QPainter& painter, double devicePixelRatio) {
    DrawRows(painter, devicePixelRatio, true);
}

void CCanvasSurface::DrawRows(QPainter& painter, double devicePixelRatio, bool onlyNew) {
    m_notifyPending = false;
    const std::lock_guard<std::mutex> lock(m_mutex);
    const int rows = m_image.height();
    const auto wanted = [&](int row) {
        const size_t r = static_cast<size_t>(row);
        return m_arrived[r] != 0 && (!onlyNew || m_drawn[r] == 0);
    };
    // Runs of arrived rows, so an unfinished picture leaves what is below it visible.
    for (int top = 0; top < rows;) {
        if (!wanted(top)) {
            ++top;
            continue;
        }
        int bottom = top;
        while (bottom < rows && wanted(bottom)) {
            m_drawn[static_cast<size_t>(bottom)] = 1;
            ++bottom;
        }
        const QRect source(0, top, m_image.width(), bottom - top);
        const QRectF target(0, top / devicePixelRatio, m_image.width() / devicePixelRatio,
                            (bottom - top) / devicePixelRatio);
        // A few new rows are copied out, so the painter uploads them and not the picture.
        if (onlyNew) {
            painter.drawImage(target, m_image.copy(source));
        } else {
            painter.drawImage(target, m_image, source);
        }
        top = bottom;
    }
}

bool CCanvasSurface::Complete() const {
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_arrivedCount == m_image.height();
}

int CCanvasSurface::RowsArrived() const {
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_arrivedCount;
}

int CCanvasSurface::Width() const {
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_image.width();
}

int CCanvasSurface::Height() const {
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_image.height();
}

QImage CCanvasSurface::Image() const {
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_image.copy();
}

}  // namespace orva
