#include "browser/path_line.h"

#include <QFontMetrics>

namespace orva {

CPathLine::CPathLine(QWidget* parent) : QLabel(parent) {
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    // The user may copy the path to a terminal or a file manager.
    setTextInteractionFlags(Qt::TextSelectableByMouse);
    setTextFormat(Qt::PlainText);
}

void CPathLine::SetPath(const QString& path) {
    m_path = path;
    setToolTip(path);
    Elide();
}

void CPathLine::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    Elide();
}

void CPathLine::Elide() {
    setText(fontMetrics().elidedText(m_path, Qt::ElideMiddle, contentsRect().width()));
}

}  // namespace orva
