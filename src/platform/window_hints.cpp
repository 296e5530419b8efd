#include "platform/window_hints.h"

#include <QGuiApplication>

namespace platform {

bool windowSystemPlacesWindows() {
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

void useActivationToken(const QString& token) {
    if (token.isEmpty() || !windowSystemPlacesWindows()) return;
    qputenv("XDG_ACTIVATION_TOKEN", token.toUtf8());
}

}  // namespace platform
