#pragma once

#include <QCoreApplication>
#include <QMainWindow>
#include <QPointer>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "controller/note_list_controller.h"
#include "editor/editor_host.h"
#include "notewindow/note_menu_host.h"

class FindBar;
class MainMenus;
class NoteCommands;
class NoteSync;
class NoteFileCommands;
class NoteWindowStateCommands;
class StartWithLoginChoice;
class QLabel;
class QMenu;
class QTabWidget;
class QTimer;
class Tray;
class frmAbout;
class 数据库操作模块;
namespace platform {
class ListView;
class WebBrowser;
}  // namespace platform

// The main window: holds the note list, the menus, the tray icon and the update timer, wires
// the menus to the note commands, lays its controls out, and runs the start-up and exit of the
// program. Its controls and menu items carry their names as object names.
class Form_Main : public QMainWindow, public NoteMenuHost, public EditorHost {
    Q_DECLARE_TR_FUNCTIONS(Form_Main)

  public:
    // The caption is also the single-instance key.
    static QString caption();

    // 数据库对象 is the note store the window, its controller and its editors work on.
    explicit Form_Main(数据库操作模块& 数据库对象, QWidget* parent = nullptr);
    ~Form_Main() override;

    // The load steps over the note file at databasePath; an error here aborts the start-up
    // (the caller reports it and ends). The note windows open after it, from the event loop.
    void Form_Load(const QString& databasePath, const QString& commandText);
    // Told once every note window of the start has had its turn to open.
    std::function<void()> 启动完成;

    Class_主窗体& 主窗体控制器() { return *主窗体控制器_; }
    NoteSync& noteSync() { return *sync_; }

    // A second launch: show, restore (from minimised or maximised) and raise, using the
    // launch's activation token. A request during the load waits until the load has finished.
    void 显示并恢复主窗体(const QString& activationToken = {});

    // The launcher's new note: a new note window near the pointer, ready for typing, using the
    // activation token of the launch that asked. Before the start has opened the note windows,
    // the request waits for them.
    void 新建桌面便签(const QString& activationToken);

    // Reloads the list from the store.
    void 编辑_刷新列表_Click();

    // EditorHost
    数据库操作模块& 数据库对象() override { return 数据库对象_; }
    void 便签已保存(std::int64_t 便签ID, bool closing) override;
    // NoteMenuHost
    void showNoteMenu(std::int64_t noteId, QWidget& note, const QPoint& at) override;
    void stepNoteText(std::int64_t noteId, int step) override;

  protected:
    void closeEvent(QCloseEvent* event) override;  // the unload request
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

    // How a menu pops up at the pointer, and whether a notification area holds the tray icon
    // now; tests replace them, so they need no modal menu and no notification area.
    void setPopupMenu(std::function<void(QMenu*, const QPoint& at)> popUp) {
        popupMenu_ = std::move(popUp);
    }
    void setTrayAvailable(std::function<bool()> available) {
        trayAvailable_ = std::move(available);
    }
    // The end of the desktop session: nothing can be asked; every changed editor is stored,
    // then the program ends.
    void 会话结束();

  private:
    void createControls();
    // The close box and a hidden start: hidden with a notification area, minimised without.
    void hideOrMinimise();
    void 退出程序();
    // The exit once confirmed: every window closes, then the program ends.
    void 结束程序();
    // Tray activation and "显示窗口": make the window visible and active.
    void 显示主窗体();
    void 查找便签();
    void 工具_同步文件夹_Click();
    // The status line says how syncing goes; it is there only while sync is on.
    void showSyncState();
    void Form_Resize();

    // Event handlers that do more than run one command.
    void 帮助_关于_Click();
    void ListView_Zettara_MouseUp(int button);
    void Timer_自动升级_Timer();

    platform::WebBrowser* WebBrowser_广告 = nullptr;
    QTabWidget* TabControl_Main = nullptr;
    platform::ListView* ListView_Zettara = nullptr;
    FindBar* findBar_ = nullptr;  // under the list while open
    QTimer* Timer_自动升级 = nullptr;
    QWidget* client_ = nullptr;

    数据库操作模块& 数据库对象_;
    std::unique_ptr<Class_主窗体> 主窗体控制器_;
    std::unique_ptr<NoteCommands> commands_;  // after the controller: its editors go first
    std::unique_ptr<NoteFileCommands> fileCommands_;
    std::unique_ptr<NoteWindowStateCommands> windowStateCommands_;
    std::unique_ptr<StartWithLoginChoice> startWithLogin_;
    std::unique_ptr<MainMenus> menus_;
    NoteSync* sync_ = nullptr;
    QLabel* syncState_ = nullptr;  // in the status line, while sync is on
    std::unique_ptr<Tray> TrayIcon;
    QPointer<frmAbout> about_;  // open from 帮助_关于 until closed
    std::function<void(QMenu*, const QPoint& at)> popupMenu_;  // at: global
    std::function<bool()> trayAvailable_;
    std::int64_t 当前便签ID = 0;
    bool 退出标志 = false;
    bool 已加载_ = false;
    bool 再次最小化_ = false;            // a hidden start minimises again once the window is mapped
    bool 已在Wayland最小化_ = false;     // minimised by us there, as far as we know
    std::optional<QString> 待显示请求_;  // a second launch during the load: its token
    bool 便签已打开_ = false;            // the start has opened the note windows
    std::vector<QString> 待新建请求_;    // new notes asked for before: their tokens
};
