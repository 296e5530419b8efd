#pragma once

class QWidget;

namespace platform {

// Keeps a top-level window out of the task bar and the pager, where the window system has such
// a hint (X11: _NET_WM_STATE_SKIP_TASKBAR/SKIP_PAGER, set before every map). Wayland has no
// such hint for ordinary windows, so there, and elsewhere, this does nothing.
void keepOffTaskbar(QWidget* window);

}  // namespace platform
