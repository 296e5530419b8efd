#include "platform/os/tray_host.h"

namespace platform {

// The Windows notification area takes an icon whenever it is there.
void whenTrayIconCanBeMade(QObject&, std::function<void()> makeTrayIcon) {
    makeTrayIcon();
}

}  // namespace platform
