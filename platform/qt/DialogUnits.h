// Dialog units: the font-relative unit in which the dialog templates are laid out. One
// horizontal unit is a quarter of the font's average character width, one vertical unit an
// eighth of its height, so a dialog keeps its proportions with any font and screen.
#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

namespace kestrel::qt {

class DialogUnits {
public:
    // Base units in pixels: average character width and character height. They need not be
    // whole pixels: a dialog may widen its unit so that its texts fit.
    DialogUnits(double baseWidth, double baseHeight);
    // The base units of a font, measured the way the template layout expects.
    static DialogUnits ForFont(const QFont& font);

    double BaseWidth() const { return baseWidth; }
    double BaseHeight() const { return baseHeight; }

    // Pixels for x (horizontal) and y (vertical) dialog units, rounded to the nearest pixel.
    int ToPixelsX(int units) const;
    int ToPixelsY(int units) const;
    QRect ToPixels(int x, int y, int width, int height) const;
    QSize ToPixels(int width, int height) const;

private:
    double baseWidth;
    double baseHeight;
};

} // namespace kestrel::qt
