#include "DialogUnits.h"

#include <QFontMetrics>
#include <algorithm>
#include <cmath>

namespace kestrel::qt {
DialogUnits::DialogUnits(double baseWidth, double baseHeight)
    : baseWidth(std::max(1.0, baseWidth)), baseHeight(std::max(1.0, baseHeight)) {}

DialogUnits DialogUnits::ForFont(const QFont& font) {
    // The average width of the 52 letters, rounded, as dialog managers have always measured it.
    static const QString letters =
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    const QFontMetrics metrics(font);
    const int total = metrics.horizontalAdvance(letters);
    const int average = (total / 26 + 1) / 2;
    return DialogUnits(average, metrics.height());
}

int DialogUnits::ToPixelsX(int units) const {
    return static_cast<int>(std::lround(units * baseWidth / 4));
}

int DialogUnits::ToPixelsY(int units) const {
    return static_cast<int>(std::lround(units * baseHeight / 8));
}

QRect DialogUnits::ToPixels(int x, int y, int width, int height) const {
    return QRect(ToPixelsX(x), ToPixelsY(y), ToPixelsX(width), ToPixelsY(height));
}

QSize DialogUnits::ToPixels(int width, int height) const {
    return QSize(ToPixelsX(width), ToPixelsY(height));
}

} // namespace kestrel::qt
