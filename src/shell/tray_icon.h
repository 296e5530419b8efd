#pragma once

#include <functional>

class QMenu;
class QSystemTrayIcon;
class QWidget;

// The program's icon in the notification area (TrayIcon), present from the load, or from the
// moment a notification area can take it, to the exit. Its menu is the tray menu (托盘菜单).
class Tray {
  public:
    // window: the main window, whose icon the tray shows; showWindow: what a click does;
    // popUp: pops a menu up at the pointer.
    Tray(QWidget& window, QMenu& 托盘菜单, std::function<void()> showWindow,
         std::function<void(QMenu*)> popUp);
    ~Tray();
    Tray(const Tray&) = delete;
    Tray& operator=(const Tray&) = delete;

    // Shows the icon as soon as a notification area can take it.
    void create();
    void hide();
    // Whether a notification area holds the icon now.
    bool available() const;

  private:
    void TrayIcon_Activated(int reason);

    QWidget& window_;
    QMenu& 托盘菜单_;
    std::function<void()> showWindow_;
    std::function<void(QMenu*)> popUp_;
    QSystemTrayIcon* TrayIcon = nullptr;
};
