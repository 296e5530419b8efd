// Windows: keep-above and see-through come with Qt (topmost and layered windows); a program
// cannot choose a window's virtual desktop through any documented call, so workspaces are not
// offered.
#include "platform/os/note_window_state_hints.h"

#include <QWidget>
#include <QWindow>

namespace platform {

WindowHint keepAboveHint() {
    return WindowHint::Available;
}

WindowHint workspaceHint() {
    return WindowHint::NotOnPlatform;
}

WindowHint transparencyHint() {
    return WindowHint::Available;
}

void setKeepAbove(QWidget* window, bool above) {
    Qt::WindowFlags flags = window->windowFlags();
    flags.setFlag(Qt::WindowStaysOnTopHint, above);
    if (flags == window->windowFlags()) return;
    window->overrideWindowFlags(flags);
    if (QWindow* handle = window->windowHandle()) handle->setFlags(flags);
}

void setOnAllWorkspaces(QWidget*, bool) {}
void putOnWorkspace(QWidget*, int) {}
void watchWorkspace(QWidget*, std::function<void(int)>) {}

}  // namespace platform
