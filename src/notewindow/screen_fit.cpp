#include "notewindow/screen_fit.h"

#include <QRegion>
#include <algorithm>
#include <limits>

namespace screenfit {
namespace {

qint64 overlap(const QRect& a, const QRect& b) {
    const QRect common = a.intersected(b);
    return common.isEmpty() ? 0 : qint64(common.width()) * common.height();
}

// Squared distance from a point to the nearest point of a rectangle.
qint64 distance(const QPoint& p, const QRect& r) {
    const auto gap = [](qint64 v, qint64 low, qint64 high) {
        return v < low ? low - v : (v > high ? v - high : 0);
    };
    const qint64 dx = gap(p.x(), r.left(), r.right());
    const qint64 dy = gap(p.y(), r.top(), r.bottom());
    return dx * dx + dy * dy;
}

// Beyond every desktop and far from the ends of int: whatever lies further is as far off.
constexpr int kFar = 1 << 28;

}  // namespace

QRect bounded(const QPoint& topLeft, const QSize& size) {
    const QSize s = size.boundedTo(QSize(kFar, kFar));
    return QRect(std::clamp(topLeft.x(), -kFar, kFar), std::clamp(topLeft.y(), -kFar, kFar),
                 s.width(), s.height());
}

QRect fit(const QRect& window, const QList<QRect>& areas) {
    QRegion desktop;
    for (const QRect& area : areas) desktop += area;
    if (desktop.isEmpty() || QRegion(window).subtracted(desktop).isEmpty()) return window;

    const QRect* best = nullptr;
    qint64 bestOverlap = 0;
    qint64 bestDistance = std::numeric_limits<qint64>::max();
    for (const QRect& area : areas) {
        if (area.isEmpty()) continue;
        const qint64 o = overlap(window, area);
        const qint64 d = distance(window.center(), area);
        if (o > bestOverlap || (bestOverlap == 0 && o == 0 && d < bestDistance)) {
            best = &area;
            bestOverlap = o;
            bestDistance = d;
        }
    }
    if (!best) return window;
    QRect result(window.topLeft(), window.size().boundedTo(best->size()));
    result.moveLeft(std::clamp(result.left(), best->left(), best->right() - result.width() + 1));
    result.moveTop(std::clamp(result.top(), best->top(), best->bottom() - result.height() + 1));
    return result;
}

}  // namespace screenfit
