#pragma once

#include <QFont>

namespace orva {

// Dialog layouts are given in dialog units, which scale with the dialog's font: a horizontal
// unit is a quarter of the average width of the letters, a vertical unit an eighth of the
// font's height. Converting through the font keeps the proportions whatever the
// font and the screen resolution.
class CDialogUnits {
public:
    explicit CDialogUnits(const QFont& font);

    int X(int units) const;
    int Y(int units) const;

private:
    int m_baseX;  // average letter width in pixels
    int m_baseY;  // font height in pixels
};

}  // namespace orva
