#include "browser/scene_thumbnail.h"

#include <mutex>

#include "browser/thumbnail_cache.h"
#include "browser/thumbnail_image.h"

namespace orva {

namespace {

std::mutex g_rendererMutex;
SceneRenderer g_renderer;

SceneRenderer InstalledRenderer() {
    std::lock_guard lock(g_rendererMutex);
    return g_renderer;
}

QImage ListSized(const QImage& picture) {
    return picture.isNull() ? picture
                            : picture.scaled(kThumbnailSize, kThumbnailSize, Qt::KeepAspectRatio,
                                             Qt::SmoothTransformation);
}

}  // namespace

void SetSceneRenderer(SceneRenderer renderer) {
    std::lock_guard lock(g_rendererMutex);
    g_renderer = std::move(renderer);
}

QImage LoadThumbnail(const CThumbnailSource& source) {
    if (!source.bmpPath.empty()) {
        return ReadThumbnail(source.bmpPath);
    }
    if (source.scenePath.empty()) {
        return {};
    }
    if (QImage cached = FreshCachedThumbnail(source.scenePath); !cached.isNull()) {
        return ListSized(cached);
    }
    const SceneRenderer render = InstalledRenderer();
    if (!render) {
        return {};
    }
    const QImage rendered = render(source.scenePath, kCachedThumbnailSize);
    StoreCachedThumbnail(source.scenePath, rendered);
    return ListSized(rendered);
}

}  // namespace orva
