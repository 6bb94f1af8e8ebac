#include "render/texture_cache.h"

#include "image/bmp_reader.h"
#include "render/render_context.h"

namespace orva {

const BmpImage* LoadTextureImage(CRenderContext& ctx, const std::string& path) {
    for (const CTextureImage& cached : ctx.imageCache) {
        if (cached.path == path) {
            return &cached.image;
        }
    }
    CTextureImage& loaded = ctx.imageCache.emplace_front();
    loaded.path = path;
    if (ReadBmpFile(path, loaded.image) != 1 || loaded.image.pixels == nullptr) {
        ctx.imageCache.pop_front();
        return nullptr;
    }
    return &loaded.image;
}

}  // namespace orva
