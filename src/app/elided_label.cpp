#include "app/elided_label.h"

#include <QPainter>

namespace orva {

CElidedLabel::CElidedLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

QString CElidedLabel::DisplayedText() const {
    return fontMetrics().elidedText(text(), Qt::ElideRight, contentsRect().width());
}

QSize CElidedLabel::minimumSizeHint() const {
    // Narrow windows keep the label: it shows as much of its text as fits.
    return QSize(0, QLabel::minimumSizeHint().height());
}

void CElidedLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(palette().color(foregroundRole()));
    painter.drawText(contentsRect(), int(alignment()) | Qt::TextSingleLine, DisplayedText());
}

void CElidedLabel::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    setToolTip(DisplayedText() == text() ? QString() : text());
}

}  // namespace orva
