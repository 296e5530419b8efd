#pragma once

#include <QRect>
#include <QSize>

class QWidget;

namespace platform::twips {

// Twips per logical pixel: 1440 / logical DPI (15 at 96 dpi, 12 at 120 dpi).
double perPixel();
int toPixels(double twips);  // rounded to the nearest pixel
double fromPixels(double pixels);

QRect toPixels(double left, double top, double width, double height);
QSize toPixels(double width, double height);

// Places a widget with a geometry given in twips; negative sizes are clamped to 0.
void setGeometry(QWidget* widget, double left, double top, double width, double height);
// Sets only the size (twips), clamped to 0.
void resize(QWidget* widget, double width, double height);

// The DPI the conversions use. The program always takes the primary screen's; a test reaches
// the setter through a subclass to fix it.
class DpiSeam {
  protected:
    // Overrides the logical DPI (0 = the primary screen's).
    static void setLogicalDpi(double dpi);
};

}  // namespace platform::twips
