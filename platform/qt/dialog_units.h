#pragma once
// The templates are drawn in dialog units; this turns them into pixels with the metrics of the dialog font,
// so that a window keeps its proportions whatever font and screen resolution the desktop has.
#include <QFont>
#include <QRect>

namespace orvex {

// The font every templated window is laid out with: the desktop's general sans font at 8 points.
QFont dialogFont();

class DialogUnits {
  public:
    explicit DialogUnits(const QFont& font);

    // Horizontal units are quarters of the average character width, vertical ones eighths of the line height.
    int toPixelsX(int units) const;
    int toPixelsY(int units) const;
    QRect toPixels(int x, int y, int width, int height) const;

    int averageCharWidth() const { return averageCharWidth_; }
    int charHeight() const { return charHeight_; }

  private:
    int averageCharWidth_;
    int charHeight_;
};

} // namespace orvex
