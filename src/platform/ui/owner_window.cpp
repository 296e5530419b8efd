#include "platform/ui/owner_window.h"

#include <QApplication>
#include <QMainWindow>

namespace platform {

QWidget* ownerWindow() {
    // A menu or a tip is no place for a box: it goes away as the box opens.
    if (QWidget* active = QApplication::activeWindow();
        active && active->windowType() != Qt::Popup && active->windowType() != Qt::ToolTip)
        return active;
    // A minimised window would take its box with it into the task bar.
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (qobject_cast<QMainWindow*>(window) && window->isVisible() && !window->isMinimized())
            return window;
    }
    return nullptr;
}

}  // namespace platform
