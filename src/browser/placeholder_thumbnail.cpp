#include "browser/placeholder_thumbnail.h"

#include <QPainter>
#include <QPolygonF>

#include "browser/thumbnail_image.h"

namespace orva {

namespace {

QImage DrawPlaceholder() {
    QImage picture(kThumbnailSize, kThumbnailSize, QImage::Format_RGB32);
    picture.fill(QColor(236, 236, 240));
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor outline(150, 150, 160);

    // The band, seen a little from above.
    painter.setPen(QPen(outline, 7));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(QRectF(22, 42, 56, 40));

    // The stone on top of the band: a crown and a pointed pavilion.
    const QPolygonF stone(
        {QPointF(38, 30), QPointF(44, 22), QPointF(56, 22), QPointF(62, 30), QPointF(50, 44)});
    painter.setPen(QPen(outline, 2.5));
    painter.setBrush(QColor(250, 250, 252));
    painter.drawPolygon(stone);
    painter.drawLine(QPointF(38, 30), QPointF(62, 30));
    return picture;
}

}  // namespace

const QImage& PlaceholderThumbnail() {
    static const QImage picture = DrawPlaceholder();
    return picture;
}

}  // namespace orva
