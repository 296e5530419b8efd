#pragma once

#include <QtGui/qtguiglobal.h>

#if QT_CONFIG(xcb)
#include <xcb/xcb.h>

#include <cstdint>

class QWidget;

// The display connection Qt holds, and atoms looked up once per name for the whole run.
namespace platform::x11 {

// Null unless the program runs on Qt's xcb platform with a display.
xcb_connection_t* connection();
xcb_window_t rootWindow();
xcb_atom_t atom(const char* name);
// The native window of a top-level widget, 0 while it has none.
xcb_window_t windowOf(const QWidget* window);
// One 32-bit CARDINAL of a window's property, or none.
bool readCardinal(xcb_window_t window, xcb_atom_t property, std::uint32_t* value);

}  // namespace platform::x11

#endif
