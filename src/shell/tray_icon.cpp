#include "shell/tray_icon.h"

#include <QMenu>
#include <QSystemTrayIcon>
#include <QWidget>
#include <utility>

#include "platform/os/tray_host.h"
#include "platform/os/window_hints.h"
#include "platform/ui/guard.h"

Tray::Tray(QWidget& window, QMenu& 托盘菜单, std::function<void()> showWindow,
           std::function<void(QMenu*)> popUp)
    : window_(window),
      托盘菜单_(托盘菜单),
      showWindow_(std::move(showWindow)),
      popUp_(std::move(popUp)) {}

Tray::~Tray() {
    delete TrayIcon;
}

void Tray::create() {
    platform::whenTrayIconCanBeMade(window_, [this] {
        TrayIcon = new QSystemTrayIcon(window_.windowIcon(), &window_);
        TrayIcon->setObjectName(QStringLiteral("TrayIcon"));
        TrayIcon->setToolTip(QStringLiteral("Zettara"));
        // On Wayland a menu of ours cannot pop up at the icon (a client never learns where the
        // pointer is); the StatusNotifier host draws the exported menu itself.
        if (platform::windowSystemPlacesWindows()) TrayIcon->setContextMenu(&托盘菜单_);
        QObject::connect(TrayIcon, &QSystemTrayIcon::activated, TrayIcon,
                         [this](QSystemTrayIcon::ActivationReason reason) {
                             platform::runEvent([this, reason] { TrayIcon_Activated(reason); });
                         });
        TrayIcon->show();
    });
}

void Tray::hide() {
    if (TrayIcon) TrayIcon->hide();
}

bool Tray::available() const {
    // Asked each time: a notification area may come up after the program (a late panel).
    // Before the icon exists Qt must not be asked: on Wayland its answer would stick.
    return TrayIcon && QSystemTrayIcon::isSystemTrayAvailable();
}

void Tray::TrayIcon_Activated(int reason) {
    switch (reason) {
        case QSystemTrayIcon::Trigger:
        case QSystemTrayIcon::DoubleClick:
            showWindow_();
            break;
        case QSystemTrayIcon::Context:
            if (!TrayIcon->contextMenu()) popUp_(&托盘菜单_);
            break;
        default:
            break;
    }
}
