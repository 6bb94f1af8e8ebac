#pragma once

#include <QImage>
#include <QRect>

namespace orva {

// Where the warning mark sits on a thumbnail of `size`: the lower right corner, where the
// rendered pictures leave the background and the placeholder has no drawing.
QRect ThumbnailMarkArea(const QSize& size);

// The thumbnail of a file that will not open as it is: the picture with an amber warning
// triangle in ThumbnailMarkArea, so the file stands out in a full folder before any tooltip.
QImage MarkedThumbnail(const QImage& picture);

}  // namespace orva
