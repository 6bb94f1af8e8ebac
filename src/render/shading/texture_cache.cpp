#include "render/shading/texture_cache.h"

#include "image/bmp_reader.h"
#include "render/shading/shading_context.h"

namespace orva {

const BmpImage* LoadTextureImage(CImageCache& cache, const std::string& path) {
    for (const CTextureImage& cached : cache) {
        if (cached.path == path) {
            return &cached.image;
        }
    }
    CTextureImage& loaded = cache.emplace_front();
    loaded.path = path;
    if (ReadBmpFile(path, loaded.image) != 1 || loaded.image.pixels == nullptr) {
        cache.pop_front();
        return nullptr;
    }
    return &loaded.image;
}

const BmpImage* LoadTextureImage(CShadingContext& ctx, const std::string& path) {
    return LoadTextureImage(ctx.imageCache, path);
}

}  // namespace orva
