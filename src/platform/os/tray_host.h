#pragma once

#include <functional>

class QObject;

namespace platform {

// Runs makeTrayIcon once a notification area can take the program's icon, and never after
// context is gone. On X11 and Windows that is at once: Qt embeds the icon whenever a tray
// shows up. On Wayland the icon can only go to a StatusNotifier host on the session bus, and
// Qt 6 asks for that host once per process, so an icon made before the host registers never
// appears; there the call waits for the host, which may come later in the run or never.
void whenTrayIconCanBeMade(QObject& context, std::function<void()> makeTrayIcon);

}  // namespace platform
