#pragma once

#include <QCoreApplication>
#include <cstdint>
#include <functional>

#include "platform/ui/language_choice.h"

class NoteCommands;
class NoteFileCommands;
class NoteWindowStateCommands;
class StartWithLoginChoice;
class QAction;
class QMainWindow;
class QMenu;
class QActionGroup;

// The main window's menu bar and its three pop-up menus: items named, captioned and given their
// shortcuts, each wired to the command it runs. Every item runs as an event handler. Whether an
// item is enabled or checked is set in one place, from the state of the program.
class MainMenus {
    Q_DECLARE_TR_FUNCTIONS(MainMenus)

  public:
    // The objects whose commands the items run, and whose state the items show.
    struct Commands {
        NoteCommands& notes;
        NoteFileCommands& files;
        NoteWindowStateCommands& windowStates;
        StartWithLoginChoice& startWithLogin;
    };
    // What the items run besides those commands.
    struct WindowCommands {
        std::function<void()> 退出程序;
        std::function<void()> 显示主窗体;
        std::function<void()> 帮助_关于_Click;
        // The note the note menu was popped up for.
        std::function<std::int64_t()> 当前便签ID;
        std::function<void()> 查找便签;
        std::function<void()> 同步文件夹;
    };

    MainMenus(QMainWindow& window, const Commands& commands, const WindowCommands& own);
    ~MainMenus();
    MainMenus(const MainMenus&) = delete;
    MainMenus& operator=(const MainMenus&) = delete;

    // The pop-up menus, owned by the window, never part of its menu bar.
    QMenu* 托盘菜单 = nullptr;
    QMenu* 列表菜单 = nullptr;
    QMenu* 便签菜单 = nullptr;

  private:
    // Every item's enabled and checked state, in whichever menu it is, from the state of the
    // commands, of start with login and of the note the note menu is for. Called whenever that
    // may have changed.
    void updateActionStates();
    // 颜色: the swatches and 自定义颜色…, before 总在最前.
    void addColourMenu(const std::function<std::int64_t()>& 当前便签ID);
    // The note menu shows the state of the note it pops up for.
    void 便签菜单_显示前();
    void 工具_开机启动_Click();
    // 工具 > 界面语言, checked as remembered.
    void addLanguageMenu(QMenu& tools);
    void showLanguageChoice();
    void 工具_界面语言_Click(platform::LanguageChoice choice);
    void 帮助_意见反馈_Click();

    Commands commands_;
    std::function<std::int64_t()> 当前便签ID_;
    QAction* 编辑_撤销删除 = nullptr;
    QAction* 列表菜单_撤销删除 = nullptr;
    QAction* 工具_开机启动 = nullptr;
    QAction* 便签菜单_总在最前 = nullptr;
    QAction* 便签菜单_所有工作区 = nullptr;
    QMenu* 便签菜单_透明度 = nullptr;
    QActionGroup* 透明度档 = nullptr;
    QActionGroup* 颜色档 = nullptr;
    QActionGroup* 界面语言档 = nullptr;
};
