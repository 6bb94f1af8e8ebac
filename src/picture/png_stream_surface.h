#pragma once

#include <cstdint>
#include <string>

#include "picture/row_stream_surface.h"

namespace orva {

// The streaming surface for a PNG file, whatever the file's name.
class CPngStreamSurface : public CRowStreamSurface {
public:
    // `background` is 0xRRGGBB.
    CPngStreamSurface(const std::string& path, int width, int height, bool alpha,
                      uint32_t background, const CPngTexts& texts = {})
        : CRowStreamSurface(path, EPictureFormat::kPng, width, height, alpha, background,
                            kDefaultJpegQuality, texts) {}
};

}  // namespace orva
