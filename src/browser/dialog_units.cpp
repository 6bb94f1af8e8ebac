#include "browser/dialog_units.h"

#include <QFontMetrics>
#include <algorithm>

namespace orva {

namespace {

// The average width over the 52 letters, rounded: the usual measure of a dialog font.
int AverageLetterWidth(const QFontMetrics& metrics) {
    const int width = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return (width / 26 + 1) / 2;
}

int ScaledRounded(int value, int numerator, int denominator) {
    const long long product = static_cast<long long>(value) * numerator;
    return static_cast<int>((product + denominator / 2) / denominator);
}

}  // namespace

CDialogUnits::CDialogUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    m_baseX = std::max(1, AverageLetterWidth(metrics));
    m_baseY = std::max(1, metrics.height());
}

int CDialogUnits::X(int units) const {
    return ScaledRounded(units, m_baseX, 4);
}

int CDialogUnits::Y(int units) const {
    return ScaledRounded(units, m_baseY, 8);
}

}  // namespace orva
