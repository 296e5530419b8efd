#include <QGuiApplication>

#include "platform/os/window_hints.h"

namespace platform {

bool windowSystemPlacesWindows() {
    // Under Wayland a client never learns or sets the place of its windows.
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

}  // namespace platform
