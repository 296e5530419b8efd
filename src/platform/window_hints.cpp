#include "platform/window_hints.h"

#include <QGuiApplication>

namespace platform {

bool windowSystemPlacesWindows() {
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

}  // namespace platform
