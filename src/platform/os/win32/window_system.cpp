#include "platform/os/window_hints.h"

namespace platform {

bool windowSystemPlacesWindows() {
    // Windows leaves the place of a top-level window to the program.
    return false;
}

void mapAsNormal(QWidget*) {}

}  // namespace platform
