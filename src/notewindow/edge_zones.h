#pragma once

#include <Qt>

// Where a pointer lies on a frameless note window: which edge bands it is in, which resize (if
// any) a press there starts and which pointer shape the surface shows. Pure geometry, in the
// window's own unit (twips).
namespace edgezones {

// Frame hit-test codes a press can start (0 = none, the window's interior).
inline constexpr int kNone = 0;
inline constexpr int kCaption = 2;
inline constexpr int kLeft = 10;
inline constexpr int kRight = 11;
inline constexpr int kTop = 12;
inline constexpr int kTopLeft = 13;
inline constexpr int kTopRight = 14;
inline constexpr int kBottom = 15;
inline constexpr int kBottomLeft = 16;
inline constexpr int kBottomRight = 17;

struct Zones {
    bool left = false;
    bool right = false;
    bool top = false;
    bool bottom = false;
};

struct Decision {
    Zones zones;
    int hitCode = kNone;                       // resize started by a press here
    Qt::CursorShape cursor = Qt::ArrowCursor;  // pointer over the window surface here
};

// x, y: pointer position; w, h: inner size; band: depth of the edge bands.
Decision classify(float x, float y, float w, float h, float band);

// The window edges a hit-test code resizes from (empty for kNone and kCaption).
Qt::Edges edgesFor(int hitCode);

}  // namespace edgezones
