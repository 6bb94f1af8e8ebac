#include "app/toolbar_icons.h"

#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QRadialGradient>

#include "app/command_ids.h"

namespace orva {

namespace {

const QColor kInk(40, 48, 60);
const QColor kAccent(52, 120, 200);

// Every picture is drawn in a 24 x 24 box.
void DrawOpenFile(QPainter& p) {
    QPainterPath folder;
    folder.moveTo(3, 7);
    folder.lineTo(9, 7);
    folder.lineTo(11, 9);
    folder.lineTo(21, 9);
    folder.lineTo(21, 19);
    folder.lineTo(3, 19);
    folder.closeSubpath();
    p.setBrush(QColor(240, 200, 90));
    p.drawPath(folder);
}

void DrawWireframe(QPainter& p) {
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(4, 9, 11, 11));
    p.drawRect(QRectF(9, 4, 11, 11));
    p.drawLine(QPointF(4, 9), QPointF(9, 4));
    p.drawLine(QPointF(15, 9), QPointF(20, 4));
    p.drawLine(QPointF(4, 20), QPointF(9, 15));
    p.drawLine(QPointF(15, 20), QPointF(20, 15));
}

void DrawRendering(QPainter& p) {
    QRadialGradient shade(QPointF(9, 9), 12);
    shade.setColorAt(0, QColor(250, 250, 255));
    shade.setColorAt(0.5, kAccent);
    shade.setColorAt(1, QColor(20, 40, 90));
    p.setBrush(shade);
    p.drawEllipse(QPointF(12, 12), 8.5, 8.5);
}

void DrawZoomAll(QPainter& p) {
    p.setBrush(Qt::NoBrush);
    const qreal a = 3, b = 21, l = 5;
    for (const QPointF& c : {QPointF(a, a), QPointF(b, a), QPointF(a, b), QPointF(b, b)}) {
        const qreal sx = c.x() == a ? 1 : -1;
        const qreal sy = c.y() == a ? 1 : -1;
        p.drawLine(c, c + QPointF(sx * l, 0));
        p.drawLine(c, c + QPointF(0, sy * l));
    }
    p.drawEllipse(QPointF(11, 11), 4, 4);
    p.drawLine(QPointF(14, 14), QPointF(17.5, 17.5));
}

void DrawResetView(QPainter& p) {
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(4, 4, 16, 16), 100 * 16, 290 * 16);
    QPainterPath head;
    head.moveTo(8, 2.5);
    head.lineTo(13.5, 5);
    head.lineTo(8.5, 8.5);
    head.closeSubpath();
    p.setBrush(kInk);
    p.drawPath(head);
    p.drawEllipse(QPointF(12, 12), 1.6, 1.6);
}

class CToolbarIconEngine final : public QIconEngine {
public:
    explicit CToolbarIconEngine(int commandId) : m_command(commandId) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->translate(rect.topLeft());
        painter->scale(rect.width() / 24.0, rect.height() / 24.0);
        painter->setPen(QPen(kInk, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        if (mode == QIcon::Disabled) {
            painter->setOpacity(0.4);
        }
        Draw(*painter);
        painter->restore();
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        QPixmap pixmap(size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        paint(&painter, QRect(QPoint(0, 0), size), mode, state);
        return pixmap;
    }

    QIconEngine* clone() const override { return new CToolbarIconEngine(m_command); }

private:
    void Draw(QPainter& p) const {
        switch (m_command) {
            case kCommandOpenFile:
                DrawOpenFile(p);
                break;
            case kCommandViewWireframe:
                DrawWireframe(p);
                break;
            case kCommandViewRendering:
                DrawRendering(p);
                break;
            case kCommandViewZoomAll:
                DrawZoomAll(p);
                break;
            case kCommandViewReset:
                DrawResetView(p);
                break;
            default:
                break;
        }
    }

    int m_command;
};

}  // namespace

QIcon ToolbarIcon(int commandId) {
    return QIcon(new CToolbarIconEngine(commandId));
}

}  // namespace orva
