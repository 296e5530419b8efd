#include "platform/ui/twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace platform::twips {
namespace {
double& dpiOverride() {
    static double dpi = 0;
    return dpi;
}
int clampPixels(double twips) {
    return std::max(0, toPixels(twips));
}
}  // namespace

double perPixel() {
    double dpi = dpiOverride();
    if (dpi <= 0) {
        const QScreen* screen = QGuiApplication::primaryScreen();
        dpi = screen ? screen->logicalDotsPerInch() : 96.0;
        if (dpi <= 0) dpi = 96.0;
    }
    return 1440.0 / dpi;
}

void DpiSeam::setLogicalDpi(double dpi) {
    dpiOverride() = dpi;
}

int toPixels(double twips) {
    return static_cast<int>(std::lround(twips / perPixel()));
}

double fromPixels(double pixels) {
    return pixels * perPixel();
}

QRect toPixels(double left, double top, double width, double height) {
    return QRect(toPixels(left), toPixels(top), clampPixels(width), clampPixels(height));
}

QSize toPixels(double width, double height) {
    return QSize(clampPixels(width), clampPixels(height));
}

void setGeometry(QWidget* widget, double left, double top, double width, double height) {
    widget->setGeometry(toPixels(left, top, width, height));
}

void resize(QWidget* widget, double width, double height) {
    widget->resize(toPixels(width, height));
}

}  // namespace platform::twips
