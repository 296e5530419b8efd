#pragma once

#include <QMainWindow>
#include <cstdint>
#include <functional>
#include <memory>

#include "controller/note_list_controller.h"
#include "editor/editor_host.h"
#include "notewindow/note_menu_host.h"

class QAction;
class QMenu;
class QSystemTrayIcon;
class QTabWidget;
class QTimer;
namespace platform {
class ListView;
class WebBrowser;
}  // namespace platform

// The main window: owns the note list, the menus, the tray icon and the update timer, runs
// the note commands and the start-up and exit of the program.
class Form_Main : public QMainWindow, public NoteMenuHost, public EditorHost {
  public:
    // The caption is also the single-instance key.
    static QString caption();

    explicit Form_Main(QWidget* parent = nullptr);
    ~Form_Main() override;

    // The load steps; an error here aborts the start-up (the caller reports it and ends).
    void Form_Load(const QString& commandText);

    // Public members the other windows use.
    Class_主窗体& 主窗体控制器() override;
    std::int32_t 当前便签ID = 0;
    void 编辑_刷新列表_Click() override;
    platform::ListView& 便签列表() override;

    // NoteMenuHost
    void setCurrentNoteId(std::int32_t id) override { 当前便签ID = id; }
    QMenu* noteMenu() override { return 便签菜单; }

    // Tray activation and "显示窗口": make the window visible and active.
    void 显示主窗体();
    // A second launch: show, restore (from minimised or maximised) and raise.
    void 显示并恢复主窗体();

    // Controls, public like a form's controls so that tests can drive them.
    platform::WebBrowser* WebBrowser_广告 = nullptr;
    QTabWidget* TabControl_Main = nullptr;
    platform::ListView* ListView_Zettara = nullptr;
    QTimer* Timer_自动升级 = nullptr;
    QSystemTrayIcon* TrayIcon = nullptr;

    QMenu* 文件 = nullptr;
    QMenu* 编辑 = nullptr;
    QMenu* 工具 = nullptr;
    QMenu* 帮助 = nullptr;
    QMenu* 托盘菜单 = nullptr;
    QMenu* 列表菜单 = nullptr;
    QMenu* 便签菜单 = nullptr;

    QAction* 文件_新建 = nullptr;
    QAction* 文件_退出 = nullptr;
    QAction* 编辑_全选 = nullptr;
    QAction* 编辑_删除 = nullptr;
    QAction* 编辑_修改 = nullptr;
    QAction* 编辑_刷新列表 = nullptr;
    QAction* 工具_开机启动 = nullptr;
    QAction* 工具_桌面菜单 = nullptr;
    QAction* 帮助_意见反馈 = nullptr;
    QAction* 帮助_关于 = nullptr;
    QAction* 托盘菜单_新建 = nullptr;
    QAction* 托盘菜单_显示窗口 = nullptr;
    QAction* 托盘菜单_全部隐藏 = nullptr;
    QAction* 托盘菜单_全部显示 = nullptr;
    QAction* 托盘菜单_退出程序 = nullptr;
    QAction* 列表菜单_新建 = nullptr;
    QAction* 列表菜单_全部隐藏 = nullptr;
    QAction* 列表菜单_全部显示 = nullptr;
    QAction* 列表菜单_删除 = nullptr;
    QAction* 列表菜单_修改 = nullptr;
    QAction* 列表菜单_刷新列表 = nullptr;
    QAction* 便签菜单_修改 = nullptr;
    QAction* 便签菜单_删除 = nullptr;
    QAction* 便签菜单_关闭窗口 = nullptr;

    // Pops up a menu at the pointer; replaceable so tests need no modal menu.
    std::function<void(QMenu*)> popupMenu;

    // The note commands; the menu, list-menu, tray-menu and note-menu items run these.
    void 新建便签();
    void 删除便签();
    void 修改便签();
    void 全部显示();
    void 全部隐藏();
    void 退出程序();
    // The current note's list row (by 当前便签ID), or 0.
    int 当前便签行() const;

    // The resize rule; public for tests.
    void Form_Resize();

  protected:
    void closeEvent(QCloseEvent* event) override;  // the unload request
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void createControls();
    void createMenus();
    void createTray();
    QAction* addItem(QMenu* menu, const char* name, const QString& caption,
                     void (Form_Main::*handler)(), const QKeySequence& shortcut = {});
    void addSeparator(QMenu* menu, const char* name);

    // Event handlers, one per control event.
    void 文件_新建_Click();
    void 文件_退出_Click();
    void 编辑_删除_Click();
    void 编辑_修改_Click();
    void 工具_开机启动_Click();
    void 帮助_意见反馈_Click();
    void 帮助_关于_Click();
    void 托盘菜单_新建_Click();
    void 托盘菜单_显示窗口_Click();
    void 托盘菜单_全部隐藏_Click();
    void 托盘菜单_全部显示_Click();
    void 托盘菜单_退出程序_Click();
    void 列表菜单_新建_Click();
    void 列表菜单_全部隐藏_Click();
    void 列表菜单_全部显示_Click();
    void 列表菜单_删除_Click();
    void 列表菜单_修改_Click();
    void 列表菜单_刷新列表_Click();
    void 便签菜单_修改_Click();
    void 便签菜单_删除_Click();
    void 便签菜单_关闭窗口_Click();
    void ListView_Zettara_ItemCheck(const platform::ListItem& item);
    void ListView_Zettara_MouseUp(int button);
    void TrayIcon_Activated(int reason);
    void Timer_自动升级_Timer();

    void setAllChecks(bool checked);

    bool 退出标志 = false;
    std::unique_ptr<Class_主窗体> 主窗体控制器_;
    QWidget* client_ = nullptr;
};
