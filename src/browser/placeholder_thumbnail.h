#pragma once

#include <QImage>

namespace orva {

// The picture shown for a scene file without a readable ".bmp": a grey outline of a ring with
// a stone on a pale ground, 100 × 100, so a missing thumbnail reads as "no picture" rather than
// as a black or empty jewel. Made once; later calls return the same image.
const QImage& PlaceholderThumbnail();

}  // namespace orva
