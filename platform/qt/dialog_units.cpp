#include "platform/qt/dialog_units.h"

#include <QFontDatabase>
#include <QFontMetrics>

#include <algorithm>

namespace orvex {
namespace {

// Multiplies then divides, rounding half away from zero, so that neighbouring controls that share an edge in
// dialog units share it in pixels too.
int scale(int units, int numerator, int denominator) {
    const long long product = static_cast<long long>(units) * numerator;
    const long long half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator : (product - half) / denominator);
}

} // namespace

QFont dialogFont() {
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPointSize(8);
    return font;
}

DialogUnits::DialogUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    // The mean advance over both alphabets, rounded: the letters are what the templates were sized for,
    // whereas a font's own average width also counts digits and punctuation.
    const int alphabet =
        metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    averageCharWidth_ = std::max(1, (alphabet / 26 + 1) / 2);
    charHeight_ = std::max(1, metrics.height());
}

int DialogUnits::toPixelsX(int units) const {
    return scale(units, averageCharWidth_, 4);
}

int DialogUnits::toPixelsY(int units) const {
    return scale(units, charHeight_, 8);
}

QRect DialogUnits::toPixels(int x, int y, int width, int height) const {
    return QRect(toPixelsX(x), toPixelsY(y), toPixelsX(width), toPixelsY(height));
}

} // namespace orvex
