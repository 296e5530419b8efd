#include "platform/ui/centre.h"

#include <QScreen>
#include <QWidget>

#include "platform/os/window_hints.h"

namespace platform {

void centreOnScreen(QWidget& window) {
    const QScreen* screen = window.screen();
    if (!screen || windowSystemPlacesWindows()) return;
    QRect frame = window.frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window.move(frame.topLeft());
}

}  // namespace platform
