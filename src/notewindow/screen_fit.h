#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

namespace screenfit {

// A window rectangle that lies wholly on the given screen areas (the screens' available
// geometries, virtual-desktop pixels) is returned as it is. Otherwise it is moved fully onto
// the area it overlaps most (or, overlapping none, the nearest one), keeping its size where
// it fits and shrunk to the area where it does not. No areas: unchanged.
QRect fit(const QRect& window, const QList<QRect>& areas);

// A rectangle of the given size at the given spot, both pulled in from the ends of int where
// needed, so that its edges can be computed and it can still be fitted.
QRect bounded(const QPoint& topLeft, const QSize& size);

}  // namespace screenfit
