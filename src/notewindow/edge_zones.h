#pragma once

#include <Qt>

// Where a pointer lies on a frameless note window: which edge bands it is in, which edges a
// press there resizes from and which pointer shape the surface shows. Pure geometry, in the
// window's own unit (twips).
namespace edgezones {

struct Zones {
    bool left = false;
    bool right = false;
    bool top = false;
    bool bottom = false;
};

struct Decision {
    Zones zones;
    Qt::Edges edges;                           // resized by a press here
    Qt::CursorShape cursor = Qt::ArrowCursor;  // pointer over the window surface here

    // A press away from every edge moves the window instead.
    bool moves() const { return edges == Qt::Edges(); }
};

// x, y: pointer position; w, h: inner size; band: depth of the edge bands.
Decision classify(float x, float y, float w, float h, float band);

}  // namespace edgezones
