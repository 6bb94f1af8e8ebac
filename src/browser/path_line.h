#pragma once

#include <QLabel>

namespace orva {

// One line showing a folder's path that never cuts it off: when the path is wider than the
// line, its middle gives way to "…", so the start of the path and the folder's own name stay
// in view; the whole path is the tooltip. It takes the width its layout leaves it and never
// widens the window for a long path.
class CPathLine : public QLabel {
    Q_OBJECT

public:
    explicit CPathLine(QWidget* parent = nullptr);

    void SetPath(const QString& path);
    const QString& Path() const { return m_path; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void Elide();

    QString m_path;
};

}  // namespace orva
