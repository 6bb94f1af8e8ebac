#pragma once

#include <QImage>
#include <functional>
#include <string>

namespace orva {

// Where a list item's picture comes from: the ".bmp" beside the scene when there is one,
// otherwise the scene itself, through the shared thumbnail cache.
struct CThumbnailSource {
    std::string bmpPath;
    std::string scenePath;
};

// Renders the scene file at `path` into a square picture `side` pixels wide; a null image when
// the file is no scene. Called on the thumbnail reader's thread. The browser cannot render by
// itself; the application installs the renderer.
using SceneRenderer = std::function<QImage(const std::string& path, int side)>;
void SetSceneRenderer(SceneRenderer renderer);

// The picture of a source as the list shows it, 100 × 100: the bitmap when there is one (a
// null image when it cannot be read); else the fresh cached thumbnail of the scene; else one
// rendered now and stored in the cache. Null when none of these gives a picture.
QImage LoadThumbnail(const CThumbnailSource& source);

}  // namespace orva
