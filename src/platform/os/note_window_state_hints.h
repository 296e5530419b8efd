#pragma once

#include <functional>

class QWidget;

namespace platform {

// Whether the window system lets a program arrange its own top-level windows in a given way.
enum class WindowHint {
    Available,
    NotOnWayland,   // no protocol for it: the compositor alone decides
    NoCompositor,   // X11 without a compositing manager draws every window opaque
    NotOnPlatform,  // this operating system has no such thing for a program to set
};

WindowHint keepAboveHint();
WindowHint workspaceHint();
// Asks the window system each time (a compositor may come or go); cheap enough for a menu.
WindowHint transparencyHint();

// Keeps a top-level window above the others (X11: _NET_WM_STATE_ABOVE), shown or not.
void setKeepAbove(QWidget* window, bool above);
// Puts a top-level window on every virtual desktop, or back on the current one only.
void setOnAllWorkspaces(QWidget* window, bool all);
// Puts a window that is not shown yet on a virtual desktop (counted from 0) when that desktop
// exists; otherwise it opens on the current one.
void putOnWorkspace(QWidget* window, int workspace);
// Calls `moved` with the desktop (from 0) each time the window lands on another single one;
// being on all of them, or withdrawn, is not a desktop. Stops when the window goes.
void watchWorkspace(QWidget* window, std::function<void(int)> moved);

}  // namespace platform
