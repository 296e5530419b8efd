#include "platform/os/window_hints.h"

namespace platform {

// Windows keeps a window out of the task bar through its owner, which the note windows do not
// have; nothing to set here.
void keepOffTaskbar(QWidget*) {}

}  // namespace platform
