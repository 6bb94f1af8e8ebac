#pragma once

#include <string>

#include "image/bmp_image.h"

namespace orva {

struct CRenderContext;

// A map loaded during a render, kept under the path it was loaded from.
struct CTextureImage {
    BmpImage image;
    std::string path;

    CTextureImage() = default;
    CTextureImage(const CTextureImage&) = delete;
    CTextureImage& operator=(const CTextureImage&) = delete;
    ~CTextureImage() { ReleaseBmpImage(image); }
};

// The image of the context's cache that was loaded from exactly `path` (case-sensitive), or the
// file read now and added to the cache. Null when the file cannot be read as a bitmap; nothing
// is cached then, so a later request tries the file again.
const BmpImage* LoadTextureImage(CRenderContext& ctx, const std::string& path);

}  // namespace orva
