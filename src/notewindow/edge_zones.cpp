#include "notewindow/edge_zones.h"

namespace edgezones {

Decision classify(float x, float y, float w, float h, float band) {
    Decision d;
    // Each sum is kept in single precision before it is compared.
    const float rightSum = x + band;
    const float bottomSum = y + band;
    d.zones.left = x <= band;
    d.zones.right = rightSum >= w;
    d.zones.top = y <= band;
    d.zones.bottom = bottomSum >= h;
    const Zones& z = d.zones;

    // First match wins: corners before edges, right before left in a narrow window.
    if (z.right && z.bottom) {
        d.edges = Qt::BottomEdge | Qt::RightEdge;
    } else if (z.bottom && z.left) {
        d.edges = Qt::BottomEdge | Qt::LeftEdge;
    } else if (z.top && z.left) {
        d.edges = Qt::TopEdge | Qt::LeftEdge;
    } else if (z.top && z.right) {
        d.edges = Qt::TopEdge | Qt::RightEdge;
    } else if (z.right) {
        d.edges = Qt::RightEdge;
    } else if (z.bottom) {
        d.edges = Qt::BottomEdge;
    } else if (z.left) {
        d.edges = Qt::LeftEdge;
    } else if (z.top) {
        d.edges = Qt::TopEdge;
    }

    if ((z.top && z.left) || (z.bottom && z.right)) {
        d.cursor = Qt::SizeFDiagCursor;
    } else if ((z.top && z.right) || (z.bottom && z.left)) {
        d.cursor = Qt::SizeBDiagCursor;
    } else if (z.left || z.right) {
        d.cursor = Qt::SizeHorCursor;
    } else if (z.top || z.bottom) {
        d.cursor = Qt::SizeVerCursor;
    }
    return d;
}

}  // namespace edgezones
