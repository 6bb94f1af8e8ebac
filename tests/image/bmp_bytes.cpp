#include "image/bmp_bytes.h"

namespace orva::test {

namespace {

void PutU16(std::vector<uint8_t>& out, size_t at, uint32_t value) {
    out[at] = static_cast<uint8_t>(value);
    out[at + 1] = static_cast<uint8_t>(value >> 8);
}

void PutU32(std::vector<uint8_t>& out, size_t at, uint32_t value) {
    PutU16(out, at, value & 0xFFFF);
    PutU16(out, at + 2, value >> 16);
}

void PutInfoHeader(const BmpFileLayout& layout, std::vector<uint8_t>& out) {
    PutU32(out, 14, layout.infoSize);
    if (layout.infoSize == 12) {
        PutU16(out, 18, static_cast<uint32_t>(layout.width));
        PutU16(out, 20, static_cast<uint32_t>(layout.height));
        PutU16(out, 22, 1);
        PutU16(out, 24, layout.bitsPerPixel);
        return;
    }
    PutU32(out, 18, static_cast<uint32_t>(layout.width));
    PutU32(out, 22, static_cast<uint32_t>(layout.height));
    PutU16(out, 26, 1);
    PutU16(out, 28, layout.bitsPerPixel);
    PutU32(out, 30, layout.compression);
}

}  // namespace

std::vector<uint8_t> MakeBmpBytes(const BmpFileLayout& layout) {
    const size_t headerEnd =
        14 + (layout.infoSize == 12 ? 12 : std::max<uint32_t>(layout.infoSize, 40));
    std::vector<uint8_t> out(headerEnd, 0);
    out[0] = 'B';
    out[1] = 'M';
    PutInfoHeader(layout, out);
    for (const auto& colour : layout.palette) {
        out.insert(out.end(), colour.begin(), colour.end());
        if (layout.infoSize != 12) {
            out.push_back(0);
        }
    }
    out.insert(out.end(), layout.gapBeforeRows, 0xEE);
    const size_t rowsStart = out.size();
    out.insert(out.end(), layout.rows.begin(), layout.rows.end());
    PutU32(out, 2, layout.sizeField.value_or(static_cast<uint32_t>(out.size())));
    PutU32(out, 10, layout.offsetField.value_or(static_cast<uint32_t>(rowsStart)));
    return out;
}

size_t SourceStride(int64_t width, int bitsPerPixel) {
    return static_cast<size_t>((width * bitsPerPixel + 31) / 32 * 4);
}

std::vector<uint8_t> PaddedRows(const std::vector<std::vector<uint8_t>>& rows, size_t stride,
                                uint8_t fill) {
    std::vector<uint8_t> out;
    for (const auto& row : rows) {
        out.insert(out.end(), row.begin(), row.end());
        out.insert(out.end(), stride - row.size(), fill);
    }
    return out;
}

std::array<uint8_t, 3> PixelAt(const BmpImage& image, int x, int y) {
    const uint8_t* p = image.pixels + static_cast<size_t>(y) * image.stride + 3 * x;
    return {p[0], p[1], p[2]};
}

}  // namespace orva::test
