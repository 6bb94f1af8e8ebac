#pragma once

#include <forward_list>
#include <string>

#include "image/bmp_image.h"

namespace orva {

struct CShadingContext;

// A map loaded during a render, kept under the path it was loaded from.
struct CTextureImage {
    BmpImage image;
    std::string path;

    CTextureImage() = default;
    CTextureImage(const CTextureImage&) = delete;
    CTextureImage& operator=(const CTextureImage&) = delete;
    ~CTextureImage() { ReleaseBmpImage(image); }
};

// Maps read during a render, newest first. A list keeps each image in place while more are
// added, so the materials pointing at them stay valid.
using CImageCache = std::forward_list<CTextureImage>;

// The image of the cache that was loaded from exactly `path` (case-sensitive), or the file read
// now and added to the cache. Null when the file cannot be read as a bitmap; nothing is cached
// then, so a later request tries the file again.
const BmpImage* LoadTextureImage(CImageCache& cache, const std::string& path);
// The same with the context's own cache.
const BmpImage* LoadTextureImage(CShadingContext& ctx, const std::string& path);

}  // namespace orva
