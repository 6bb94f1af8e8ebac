#include "browser/thumbnail_mark.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

namespace orva {

namespace {

constexpr int kMarkSide = 30;
constexpr int kMarkInset = 3;

// A triangle standing on the area's bottom edge with an exclamation mark in it.
void DrawWarning(QPainter& painter, const QRectF& area) {
    const QPolygonF triangle(
        {QPointF(area.center().x(), area.top()), area.bottomRight(), area.bottomLeft()});
    // A light rim keeps the mark apart from dark pictures, the dark outline from light ones.
    painter.setPen(QPen(QColor(255, 255, 255), 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPolygon(triangle);
    painter.setPen(QPen(QColor(90, 50, 0), 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(QColor(245, 170, 0));
    painter.drawPolygon(triangle);

    const double x = area.center().x();
    painter.setPen(QPen(QColor(40, 25, 0), 3.5, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(x, area.top() + area.height() * 0.36),
                     QPointF(x, area.top() + area.height() * 0.66));
    painter.drawPoint(QPointF(x, area.top() + area.height() * 0.83));
}

}  // namespace

QRect ThumbnailMarkArea(const QSize& size) {
    return {size.width() - kMarkInset - kMarkSide, size.height() - kMarkInset - kMarkSide,
            kMarkSide, kMarkSide};
}

QImage MarkedThumbnail(const QImage& picture) {
    QImage marked = picture.convertToFormat(QImage::Format_RGB32);
    QPainter painter(&marked);
    painter.setRenderHint(QPainter::Antialiasing);
    DrawWarning(painter, ThumbnailMarkArea(marked.size()));
    return marked;
}

}  // namespace orva
