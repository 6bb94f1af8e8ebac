#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

namespace orva {

// Where pictures go. The window binds its device and copies rendered rows to the screen;
// CImageSurface keeps them in memory for the command line and for tests.
class CDrawSurface {
public:
    CDrawSurface() = default;
    virtual ~CDrawSurface();
    CDrawSurface(const CDrawSurface&) = delete;
    CDrawSurface& operator=(const CDrawSurface&) = delete;

    virtual void BindDevice() {}
    // Copies `height` rows of `width` pixels to (x, y): the rows in `bits` run from the bottom
    // row of the rectangle upward, 3 bytes per pixel (blue, green, red), each row padded to a
    // multiple of 4 bytes.
    virtual void PutImage(int x, int y, int width, int height, const uint8_t* bits) {
        (void)x, (void)y, (void)width, (void)height, (void)bits;
    }
    // The alpha (0..255, one byte per pixel) of `width` pixels at (x, y), handed over just
    // before the same row's colours, when the render was asked for coverage.
    virtual void PutCoverage(int x, int y, int width, const uint8_t* alpha) {
        (void)x, (void)y, (void)width, (void)alpha;
    }

    // Inclusive clip bounds in window pixels; the display counts OpenGL rows from the last row.
    int32_t clipFirstColumn = -30000;
    int32_t clipLastColumn = 30000;
    int32_t clipFirstRow = -30000;
    int32_t clipLastRow = 30000;
};

// A memory picture of width x height pixels, top row first, 3 bytes per pixel in blue, green,
// red order. PutImage writes the rows it is given; the parts outside the picture are dropped.
// Several threads may deliver different rows at once.
class CImageSurface : public CDrawSurface {
public:
    CImageSurface(int width, int height, uint32_t fill = 0);

    void PutImage(int x, int y, int width, int height, const uint8_t* bits) override;
    // Coverage is kept only once asked for; until then PutCoverage drops it.
    void KeepCoverage();
    void PutCoverage(int x, int y, int width, const uint8_t* alpha) override;

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    // Red, green and blue of a pixel as 0x00BBGGRR.
    uint32_t Pixel(int x, int y) const;
    const uint8_t* Row(int y) const {
        return m_pixels.data() + static_cast<size_t>(y) * m_width * 3;
    }
    const std::vector<uint8_t>& Pixels() const { return m_pixels; }
    // One alpha byte per pixel, top row first, 255 where nothing was delivered; empty unless
    // KeepCoverage was called.
    const std::vector<uint8_t>& Coverage() const { return m_coverage; }
    // How many rows PutImage has delivered so far.
    int64_t RowsDelivered() const { return m_rowsDelivered.load(); }

private:
    int m_width;
    int m_height;
    std::vector<uint8_t> m_pixels;
    std::vector<uint8_t> m_coverage;
    std::atomic<int64_t> m_rowsDelivered{0};  // render threads deliver rows at once
};

}  // namespace orva
