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
        d.hitCode = kBottomRight;
    } else if (z.bottom && z.left) {
        d.hitCode = kBottomLeft;
    } else if (z.top && z.left) {
        d.hitCode = kTopLeft;
    } else if (z.top && z.right) {
        d.hitCode = kTopRight;
    } else if (z.right) {
        d.hitCode = kRight;
    } else if (z.bottom) {
        d.hitCode = kBottom;
    } else if (z.left) {
        d.hitCode = kLeft;
    } else if (z.top) {
        d.hitCode = kTop;
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

Qt::Edges edgesFor(int hitCode) {
    switch (hitCode) {
        case kLeft:
            return Qt::LeftEdge;
        case kRight:
            return Qt::RightEdge;
        case kTop:
            return Qt::TopEdge;
        case kBottom:
            return Qt::BottomEdge;
        case kTopLeft:
            return Qt::TopEdge | Qt::LeftEdge;
        case kTopRight:
            return Qt::TopEdge | Qt::RightEdge;
        case kBottomLeft:
            return Qt::BottomEdge | Qt::LeftEdge;
        case kBottomRight:
            return Qt::BottomEdge | Qt::RightEdge;
        default:
            return {};
    }
}

}  // namespace edgezones
