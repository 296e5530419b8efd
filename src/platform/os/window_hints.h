#pragma once

class QString;
class QWidget;

namespace platform {

// Keeps a top-level window out of the task bar and the pager, where the window system has such
// a hint (X11: _NET_WM_STATE_SKIP_TASKBAR/SKIP_PAGER, set before every map). Wayland has no
// such hint for ordinary windows, so there, and elsewhere, this does nothing.
void keepOffTaskbar(QWidget* window);

// Makes a window that is not shown come back normal at its next show, not in the state it was
// last minimised to (X11: the initial state of WM_HINTS). Elsewhere this does nothing.
void mapAsNormal(QWidget* window);

// True under Wayland, where the compositor alone places top-level windows (positions are then
// left alone, only sizes are set) and a tray icon needs a StatusNotifier host. The one answer
// to "is this Wayland" for the whole program.
bool windowSystemPlacesWindows();

// Hands a launcher's activation token to the window system for the next window activation
// (Wayland's xdg-activation; Qt's plugin reads it from XDG_ACTIVATION_TOKEN when a window asks
// for the focus, and then forgets it). On X11 the token is a startup id, and this ends the
// launcher's startup feedback for it. Elsewhere, or for an empty token, nothing happens.
void useActivationToken(const QString& token);

}  // namespace platform
