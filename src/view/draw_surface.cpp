#include "view/draw_surface.h"

#include <algorithm>
#include <cstring>

namespace orva {

CDrawSurface::~CDrawSurface() = default;

CImageSurface::CImageSurface(int width, int height, uint32_t fill)
    : m_width(std::max(width, 0)), m_height(std::max(height, 0)) {
    m_pixels.resize(static_cast<size_t>(m_width) * m_height * 3);
    for (size_t i = 0; i < m_pixels.size(); i += 3) {
        m_pixels[i] = static_cast<uint8_t>(fill >> 16);
        m_pixels[i + 1] = static_cast<uint8_t>(fill >> 8);
        m_pixels[i + 2] = static_cast<uint8_t>(fill);
    }
    clipFirstColumn = 0;
    clipLastColumn = m_width - 1;
    clipFirstRow = 0;
    clipLastRow = m_height - 1;
}

void CImageSurface::PutImage(int x, int y, int width, int height, const uint8_t* bits) {
    const size_t stride = (static_cast<size_t>(std::max(width, 0)) * 3 + 3) & ~size_t{3};
    const int first = std::max(x, 0);
    const int last = std::min(x + width, m_width);
    for (int r = 0; r < height; ++r) {
        const int row = y + height - 1 - r;  // bits run bottom-up
        ++m_rowsDelivered;
        if (row < 0 || row >= m_height || first >= last) {
            continue;
        }
        const uint8_t* source = bits + r * stride + static_cast<size_t>(first - x) * 3;
        uint8_t* target = m_pixels.data() + (static_cast<size_t>(row) * m_width + first) * 3;
        std::memcpy(target, source, static_cast<size_t>(last - first) * 3);
    }
}

void CImageSurface::KeepCoverage() {
    m_coverage.assign(static_cast<size_t>(m_width) * m_height, 255);
}

void CImageSurface::PutCoverage(int x, int y, int width, const uint8_t* alpha) {
    const int first = std::max(x, 0);
    const int last = std::min(x + width, m_width);
    if (m_coverage.empty() || y < 0 || y >= m_height || first >= last) {
        return;
    }
    std::memcpy(m_coverage.data() + static_cast<size_t>(y) * m_width + first, alpha + (first - x),
                static_cast<size_t>(last - first));
}

uint32_t CImageSurface::Pixel(int x, int y) const {
    const uint8_t* p = m_pixels.data() + (static_cast<size_t>(y) * m_width + x) * 3;
    return static_cast<uint32_t>(p[2]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[0]) << 16);
}

}  // namespace orva
