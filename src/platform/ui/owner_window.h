#pragma once

class QWidget;

namespace platform {

// The program window a box or dialog about to open belongs to: the active one, else the main
// window when it is shown; null when neither is. Window managers keep a box with the window it
// belongs to (its desktop, above it) instead of pulling every window of the program to it.
QWidget* ownerWindow();

}  // namespace platform
