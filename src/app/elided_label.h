#pragma once

#include <QLabel>

namespace orva {

// A one-line label that ends its text with "…" where the width runs out, instead of cutting
// a word in half; the full text stays its text and shows as the tooltip while it is shortened.
class CElidedLabel : public QLabel {
    Q_OBJECT

public:
    explicit CElidedLabel(const QString& text, QWidget* parent = nullptr);

    // The text as drawn at the label's present width.
    QString DisplayedText() const;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
};

}  // namespace orva
