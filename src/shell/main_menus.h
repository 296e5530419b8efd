#pragma once

#include <cstdint>
#include <functional>

class NoteCommands;
class QAction;
class QMainWindow;
class QMenu;
class QActionGroup;

// The main window's menu bar and its three pop-up menus: items named, captioned and given their
// shortcuts, each wired to the command it runs. Every item runs as an event handler.
class MainMenus {
  public:
    // What the items run besides the note commands and the menus' own handlers.
    struct WindowCommands {
        std::function<void()> 退出程序;
        std::function<void()> 显示主窗体;
        std::function<void()> 帮助_关于_Click;
        // The note the note menu was popped up for.
        std::function<std::int64_t()> 当前便签ID;
        std::function<void()> 查找便签;
    };

    MainMenus(QMainWindow& window, NoteCommands& commands, const WindowCommands& own);
    MainMenus(const MainMenus&) = delete;
    MainMenus& operator=(const MainMenus&) = delete;

    // The pop-up menus (owned by the window, never part of its menu bar) and the start-with-login
    // item, whose mark the load sets.
    QMenu* 托盘菜单 = nullptr;
    QMenu* 列表菜单 = nullptr;
    QMenu* 便签菜单 = nullptr;
    QAction* 工具_开机启动 = nullptr;

  private:
    NoteCommands& commands_;
    QMenu* 便签菜单_透明度 = nullptr;
    QActionGroup* 透明度档 = nullptr;

  private:
    // The note menu's second group, set for the note it pops up for.
    void 便签菜单_显示前(std::int64_t 便签ID);
    void 工具_开机启动_Click();
    void 帮助_意见反馈_Click();
};
