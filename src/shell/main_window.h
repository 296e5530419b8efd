#pragma once

#include <QMainWindow>
#include <QPointer>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "controller/note_list_controller.h"
#include "editor/editor_host.h"
#include "notewindow/note_menu_host.h"

class Form_添加便签;
class QAction;
class QMenu;
class QSystemTrayIcon;
class QTabWidget;
class QTimer;
class 数据库操作模块;
namespace platform {
class ListView;
class WebBrowser;
}  // namespace platform

// The main window: owns the note list, the menus, the tray icon and the update timer, runs
// the note commands and the start-up and exit of the program. Its controls and menu items
// carry their names as object names.
class Form_Main : public QMainWindow, public NoteMenuHost, public EditorHost {
  public:
    // The caption is also the single-instance key.
    static QString caption();

    // 数据库对象 is the note store the window, its controller and its editors work on.
    explicit Form_Main(数据库操作模块& 数据库对象, QWidget* parent = nullptr);
    ~Form_Main() override;

    // The load steps over the note file at databasePath; an error here aborts the start-up
    // (the caller reports it and ends).
    void Form_Load(const QString& databasePath, const QString& commandText);

    Class_主窗体& 主窗体控制器() { return *主窗体控制器_; }

    // A second launch: show, restore (from minimised or maximised) and raise, using the
    // launch's activation token. A request during the load waits until the load has finished.
    void 显示并恢复主窗体(const QString& activationToken = {});

    // Pops up a menu at the pointer; replaceable so tests need no modal menu.
    std::function<void(QMenu*)> popupMenu;
    // Whether a notification area holds the tray icon now; replaceable for tests.
    std::function<bool()> trayAvailable;

    // EditorHost
    数据库操作模块& 数据库对象() override { return 数据库对象_; }
    void 便签已保存(std::int64_t 便签ID, bool closing) override;
    // NoteMenuHost
    void showNoteMenu(std::int64_t noteId) override;

  protected:
    void closeEvent(QCloseEvent* event) override;  // the unload request
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void createControls();
    void createMenus();
    void createTray();
    // The close box and a hidden start: hidden with a notification area, minimised without.
    void hideOrMinimise();

    // The commands the menu items run.
    void 新建便签();
    void 删除便签();
    void 修改便签();
    void 全部显示();
    void 全部隐藏();
    void 退出程序();
    // Tray activation and "显示窗口": make the window visible and active.
    void 显示主窗体();
    void setAllChecks(bool checked);
    // The current note's list row (by 当前便签ID), or 0.
    int 当前便签行() const;
    void Form_Resize();
    // Reloads the list after a save; a reload that fails is tried again on the next window
    // activation (tell: say so now, once per save).
    void 保存后刷新列表(bool tell);

    // Event handlers that do more than run one command.
    void 编辑_刷新列表_Click();
    void 工具_开机启动_Click();
    void 帮助_意见反馈_Click();
    void 帮助_关于_Click();
    void 便签菜单_修改_Click();
    void 便签菜单_删除_Click();
    void 便签菜单_关闭窗口_Click();
    void ListView_Zettara_MouseUp(int button);
    void TrayIcon_Activated(int reason);
    void Timer_自动升级_Timer();

    platform::WebBrowser* WebBrowser_广告 = nullptr;
    QTabWidget* TabControl_Main = nullptr;
    platform::ListView* ListView_Zettara = nullptr;
    QTimer* Timer_自动升级 = nullptr;
    QSystemTrayIcon* TrayIcon = nullptr;
    QMenu* 托盘菜单 = nullptr;
    QMenu* 列表菜单 = nullptr;
    QMenu* 便签菜单 = nullptr;
    QAction* 工具_开机启动 = nullptr;
    QWidget* client_ = nullptr;

    数据库操作模块& 数据库对象_;
    std::unique_ptr<Class_主窗体> 主窗体控制器_;
    std::vector<QPointer<Form_添加便签>> editors_;  // for the exit command
    std::int64_t 当前便签ID = 0;
    bool 退出标志 = false;
    bool 已加载_ = false;
    std::optional<QString> 待显示请求_;  // a second launch during the load: its token
    bool 列表待刷新_ = false;            // a save's list reload failed
    bool 刷新已排队_ = false;
    bool 新便签待显示_ = false;  // ...after a new note's save-and-close: its window opens then
};
