#include "shell/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QLabel>
#include <QLoggingCategory>
#include <QMenu>
#include <QMenuBar>
#include <QSessionManager>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <utility>

#include "controller/note_sync.h"
#include "controller/note_window_state_commands.h"
#include "platform/core/app.h"
#include "platform/core/perf_log.h"
#include "platform/os/window_hints.h"
#include "platform/ui/centre.h"
#include "platform/ui/form_font.h"
#include "platform/ui/guard.h"
#include "platform/ui/list_view.h"
#include "platform/ui/msgbox.h"
#include "platform/ui/twips.h"
#include "platform/ui/web_browser.h"
#include "shell/about_box.h"
#include "shell/find_bar.h"
#include "shell/main_menus.h"
#include "shell/note_commands.h"
#include "shell/note_file_commands.h"
#include "shell/own_windows_above_notes.h"
#include "shell/sync_folder_choice.h"
#include "shell/tray_icon.h"
#include "store/database_module.h"
#include "store/note_file_check.h"
#include "store/own_schema.h"
#include "system/start_with_login.h"
#include "system/update_call.h"
#include "system/web_addresses.h"

namespace {

// Where new notes asked for by a launch open (zettara.launch.debug=true).
Q_LOGGING_CATEGORY(lcLaunch, "zettara.launch", QtWarningMsg)

// Creation-time geometry, twips.
constexpr double kClientWidth = 9480;
constexpr double kClientHeight = 7140;
constexpr double kBrowserHeight = 1005;
constexpr double kTabLeft = 30;
constexpr double kTabTop = 1050;
constexpr double kListTop = 330;  // on the tab control; its left (30) is the frame's
constexpr int kUpdateDelayMs = 2000;

const char* const kNotesNotOpened =
    QT_TRANSLATE_NOOP("Form_Main", "有 %1 个便签无法在桌面打开，已跳过。");
const char* const kNotesNotListed =
    QT_TRANSLATE_NOOP("Form_Main", "有 %1 个便签的编号无效，未列出。");

}  // namespace

QString Form_Main::caption() {
    return platform::app::title() + QStringLiteral(" - Ver.") + platform::app::versionText();
}

Form_Main::Form_Main(数据库操作模块& 数据库对象, QWidget* parent)
    : QMainWindow(parent),
      数据库对象_(数据库对象),
      popupMenu_([](QMenu* menu, const QPoint& at) { menu->exec(at); }),
      trayAvailable_([this] { return TrayIcon->available(); }) {
    setWindowTitle(caption());
    setWindowIcon(QIcon(QStringLiteral(":/zettara/zettara.png")));
    setFont(platform::formFont());

    createControls();
    主窗体控制器_ = std::make_unique<Class_主窗体>(*ListView_Zettara, *this, 数据库对象_);
    commands_ =
        std::make_unique<NoteCommands>(*ListView_Zettara, *主窗体控制器_, 数据库对象_, *this);
    fileCommands_ = std::make_unique<NoteFileCommands>(*ListView_Zettara, *主窗体控制器_,
                                                       数据库对象_, *commands_);
    windowStateCommands_ = std::make_unique<NoteWindowStateCommands>(*主窗体控制器_, 数据库对象_);
    startWithLogin_ = std::make_unique<StartWithLoginChoice>();
    sync_ = new NoteSync(
        数据库对象_,
        NoteSync::Hooks{[this](const std::vector<std::int64_t>& ids) {
                            // Many notes at once (the first merge): one reload costs less.
                            if (ids.size() > 16) {
                                主窗体控制器_->更新列表();
                                主窗体控制器_->刷新便签();
                                return;
                            }
                            for (const std::int64_t id : ids) 主窗体控制器_->便签已变(id);
                        },
                        [this](std::int64_t id) { commands_->已在别处删除(id); },
                        [this] { showSyncState(); },
                        [this](std::int64_t id, const NoteWindowStates::State& before) {
                            windowStateCommands_->窗口状态已存(id, before);
                        }},
        this);
    主窗体控制器_->便签文件已改 = [this] { sync_->localChange(); };
    menus_ = std::make_unique<MainMenus>(
        *this,
        MainMenus::Commands{*commands_, *fileCommands_, *windowStateCommands_, *startWithLogin_},
        MainMenus::WindowCommands{[this] { 退出程序(); }, [this] { 显示主窗体(); },
                                  [this] { 帮助_关于_Click(); }, [this] { return 当前便签ID; },
                                  [this] { 查找便签(); }, [this] { 工具_同步文件夹_Click(); }});
    connect(qApp, &QGuiApplication::commitDataRequest, this,
            [this](QSessionManager&) { platform::runEvent([this] { 会话结束(); }); });
    TrayIcon = std::make_unique<Tray>(
        *this, *menus_->托盘菜单, [this] { 显示主窗体(); },
        [this](QMenu* menu) { popupMenu_(menu, QCursor::pos()); });
    new OwnWindowsAboveNotes(*主窗体控制器_, this);

    // Client area 9480 x 7140 twips below the menu bar, centred on the screen.
    const QSize client = platform::twips::toPixels(kClientWidth, kClientHeight);
    resize(client.width(), client.height() + menuBar()->sizeHint().height());
    platform::centreOnScreen(*this);
    Form_Resize();
}

Form_Main::~Form_Main() {
    delete about_.data();
}

void Form_Main::createControls() {
    client_ = new QWidget(this);
    setCentralWidget(client_);
    client_->installEventFilter(this);

    WebBrowser_广告 = new platform::WebBrowser(client_);
    WebBrowser_广告->setObjectName(QStringLiteral("WebBrowser_广告"));
    WebBrowser_广告->setAccessibleName(tr("广告"));
    // The page shown until (or instead of) the web page comes in the interface's language.
    WebBrowser_广告->setFallback(QUrl(tr("qrc:/zettara/banner.html")));
    platform::twips::setGeometry(WebBrowser_广告, 0, 0, 9465, kBrowserHeight);

    TabControl_Main = new QTabWidget(client_);
    TabControl_Main->setObjectName(QStringLiteral("TabControl_Main"));
    auto* page = new QWidget;
    TabControl_Main->addTab(page, QStringLiteral("Zettara"));
    platform::twips::setGeometry(TabControl_Main, kTabLeft, kTabTop, 9435, 6075);

    ListView_Zettara = new platform::ListView(page);
    ListView_Zettara->setObjectName(QStringLiteral("ListView_Zettara"));
    ListView_Zettara->setAccessibleName(tr("便签列表"));
    ListView_Zettara->setCheckSpeech(2, tr("显示在桌面上"), tr("未显示在桌面上"));
    // The list guards its notifications itself. Its item-check notification is wired by the
    // controller.
    ListView_Zettara->mouseUp = [this](int button, int, double, double) {
        ListView_Zettara_MouseUp(button);
    };
    ListView_Zettara->doubleClick = [this](int index) { commands_->修改行便签(index); };

    // The note text is sub-item 2.
    findBar_ = new FindBar(page);
    findBar_->hide();
    findBar_->wordsChanged = [this](const QStringList& words) {
        ListView_Zettara->setRowFilter(2, words);
    };
    findBar_->toggled = [this] {
        Form_Resize();
        // The focus would otherwise move on to the browser strip.
        if (findBar_->isHidden() && isActiveWindow()) ListView_Zettara->setFocus();
    };

    // Keyboard order: tab control, list, (find field,) browser strip.
    setTabOrder(TabControl_Main, ListView_Zettara);
    setTabOrder(ListView_Zettara, findBar_);
    setTabOrder(findBar_, WebBrowser_广告);
    TabControl_Main->setFocus();

    // Enabled from the creation of the controls; its tick comes from the event loop, so never
    // before the load steps have finished.
    Timer_自动升级 = new QTimer(this);
    Timer_自动升级->setObjectName(QStringLiteral("Timer_自动升级"));
    Timer_自动升级->setInterval(kUpdateDelayMs);
    connect(Timer_自动升级, &QTimer::timeout, this,
            [this] { platform::runEvent([this] { Timer_自动升级_Timer(); }); });
    Timer_自动升级->start();
}

// ---- start-up and exit -------------------------------------------------------------------

void Form_Main::Form_Load(const QString& databasePath, const QString& commandText) {
    platform::PhaseTimer phases;
    // A damaged file ends the start before anything is written to it, unless the user has
    // its newest good backup put in its place.
    const QString recovered =
        NoteFileCheck::open(数据库对象_, databasePath, [](const QString& text) {
            return platform::MsgBox(text, platform::mb::YesNo | platform::mb::Exclamation,
                                    tr("便签文件已损坏")) == platform::mb::Yes;
        });
    if (!recovered.isEmpty()) platform::MsgBox(recovered, platform::mb::Exclamation);
    commands_->整理回收站();
    phases.mark("database opened");
    WebBrowser_广告->Navigate(web_addresses::advertisement());
    const int unlisted = 主窗体控制器_->初始化界面(*ListView_Zettara);
    phases.mark("list filled");
    startWithLogin_->load();
    // Present from load (or from the moment a notification area can take it) to exit,
    // visible window or not.
    TrayIcon->create();
    // The main window first, so that it answers while the notes open; notes mapped after it
    // also come above it where the compositor places windows.
    if (commandText == QLatin1String("mini")) {
        hideOrMinimise();
    } else {
        show();
    }
    phases.mark("main window shown");
    // After the window is up: the first look at a big sync folder takes a moment.
    sync_->start();
    showSyncState();
    已加载_ = true;
    if (待显示请求_) 显示并恢复主窗体(*std::exchange(待显示请求_, std::nullopt));
    主窗体控制器_->分批显示便签([this, unlisted, phases](int failed) mutable {
        phases.mark("note windows shown");
        // Notes that cannot be listed (an ID not stored as an integer) or opened (a NULL or
        // foreign colour), and what our own tables cannot keep, do not keep the program from
        // starting; the user is told once, in one box.
        QStringList notices;
        if (const QString own = OwnSchema::notice(数据库对象_); !own.isEmpty()) notices << own;
        if (unlisted) notices << tr(kNotesNotListed).arg(unlisted);
        if (failed) notices << tr(kNotesNotOpened).arg(failed);
        if (!notices.isEmpty()) {
            platform::MsgBox(notices.join(QLatin1Char('\n')), platform::mb::Exclamation);
        }
        便签已打开_ = true;
        for (const QString& token : std::exchange(待新建请求_, {})) 新建桌面便签(token);
        if (启动完成) 启动完成();
    });
}

void Form_Main::closeEvent(QCloseEvent* event) {
    if (退出标志) {
        // Unloading ends the update timer with the window.
        Timer_自动升级->stop();
        platform::guarded([this] { 数据库对象_.关闭数据库(); });
        TrayIcon->hide();
        event->accept();
        return;
    }
    // The close box only hides: the notes, the editors and the tray icon stay.
    event->ignore();
    hideOrMinimise();
}

void Form_Main::hideOrMinimise() {
    // Without a notification area a hidden window could only come back through a second
    // launch, so it waits in the task bar instead.
    if (trayAvailable_()) {
        hide();
        return;
    }
    // A compositor may drop a minimise asked before it has mapped the window (weston does):
    // it is asked again once the window is on the screen.
    再次最小化_ = platform::windowSystemPlacesWindows() && !isVisible();
    已在Wayland最小化_ = platform::windowSystemPlacesWindows();
    showMinimized();
    if (再次最小化_) windowHandle()->installEventFilter(this);
}

void Form_Main::退出程序() {
    // Typed text first: a cancelled editor question keeps the program running.
    if (!commands_->询问已修改的编辑器() ||
        platform::MsgBox(tr("退出本程序后Zettara将不再显示，是否确定？"),
                         platform::mb::YesNo | platform::mb::Question,
                         tr("确定退出")) != platform::mb::Yes)
        return;
    结束程序();
}

void Form_Main::会话结束() {
    commands_->保存全部编辑器();
    platform::guarded([this] { 主窗体控制器_->结束就地编辑(); });
    // Ended once the session manager has had its answer: the program must not quit inside
    // the request.
    QMetaObject::invokeMethod(
        this, [this] { platform::runEvent([this] { 结束程序(); }); }, Qt::QueuedConnection);
}

void Form_Main::结束程序() {
    // Every other window of the program closes first; none of them refuses.
    commands_->关闭全部编辑器();
    主窗体控制器_->关闭全部便签();
    // What the closing windows stored reaches the sync folder now, not at the next start.
    sync_->writeChangesNow();
    if (about_) about_->close();
    close();  // refused: the flag is still false
    退出标志 = true;
    close();
    QCoreApplication::quit();
}

// ---- members -----------------------------------------------------------------------------

void Form_Main::编辑_刷新列表_Click() {
    commands_->刷新列表();
}

void Form_Main::便签已保存(std::int64_t 便签ID, bool closing) {
    commands_->便签已保存(便签ID, closing);
}

void Form_Main::showNoteMenu(std::int64_t noteId, QWidget& note, const QPoint& at) {
    当前便签ID = noteId;
    // A Wayland compositor places a menu relative to the window it belongs to, and the
    // program knows no window's place but its own idea of it: the note's, not the main
    // window's (the menu's parent).
    QMenu* menu = menus_->便签菜单;
    menu->winId();
    if (QWindow* handle = note.windowHandle()) menu->windowHandle()->setTransientParent(handle);
    popupMenu_(menu, note.mapToGlobal(at));
}

void Form_Main::stepNoteText(std::int64_t noteId, int step) {
    windowStateCommands_->便签菜单_文字大小(noteId, step);
}

void Form_Main::显示主窗体() {
    // show() keeps the window state: a minimised window stays minimised.
    再次最小化_ = false;
    show();
    activateWindow();
}

void Form_Main::查找便签() {
    findBar_->open();
}

void Form_Main::显示并恢复主窗体(const QString& activationToken) {
    // A start-up message box runs its own event loop: shown now, the window would be
    // half-loaded, and a hidden start would hide it again at the end of the load.
    if (!已加载_) {
        待显示请求_ = activationToken;
        return;
    }
    platform::useActivationToken(activationToken);
    再次最小化_ = false;
    // Wayland lets no program restore a minimised window, and some compositors ignore the
    // activation that would: the window is made anew instead.
    if (std::exchange(已在Wayland最小化_, false)) hide();
    if (isHidden()) platform::mapAsNormal(this);
    show();
    setWindowState(windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
    raise();
    activateWindow();
}

void Form_Main::新建桌面便签(const QString& activationToken) {
    // Opened before the start's notes, it would end up below them.
    if (!便签已打开_) {
        待新建请求_.push_back(activationToken);
        return;
    }
    platform::useActivationToken(activationToken);
    const QPoint near = QCursor::pos();
    qCDebug(lcLaunch) << "new note near" << near;
    主窗体控制器_->就地新建便签(near);
}

// ---- layout ------------------------------------------------------------------------------

bool Form_Main::eventFilter(QObject* watched, QEvent* event) {
    if (watched == client_ && event->type() == QEvent::Resize) Form_Resize();
    if (再次最小化_ && watched == windowHandle() && event->type() == QEvent::Expose) {
        // After the expose has drawn the window and handed it to the compositor.
        QTimer::singleShot(0, this, [this] {
            if (!std::exchange(再次最小化_, false)) return;
            showMinimized();
            已在Wayland最小化_ = true;  // whatever the compositor did with the first show
        });
    }
    return QMainWindow::eventFilter(watched, event);
}

void Form_Main::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) Form_Resize();
    // Active, it is no longer minimised, whoever restored it.
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) 已在Wayland最小化_ = false;
}

void Form_Main::Form_Resize() {
    if (isMinimized()) return;
    const auto inTwips = [](int pixels) {
        return static_cast<float>(platform::twips::fromPixels(pixels));
    };
    const float clientWidth = inTwips(client_->width());
    const float clientHeight = inTwips(client_->height());
    const auto atLeastZero = [](float v) { return std::max(0.0f, v); };

    const float tabWidth = atLeastZero(clientWidth - 30.0f);
    // The height leaves the tab control's top and a 15-twip margin out, so the list stays
    // inside the window.
    const float tabHeight = atLeastZero(clientHeight - static_cast<float>(kTabTop) - 15.0f);
    platform::twips::resize(TabControl_Main, tabWidth, tabHeight);
    const float listWidth = atLeastZero(inTwips(TabControl_Main->width()) - 90.0f);
    const float listHeight = atLeastZero(inTwips(TabControl_Main->height()) - 375.0f);

    // The list's place is given on the tab control; here its page starts below the tab bar,
    // which is taller than the 330-twip offset allows for, so the list is kept on its page.
    const int tabBar = TabControl_Main->tabBar()->sizeHint().height();
    // The page itself sits inside the tab control's frame, which takes the list's left offset.
    const QPoint topLeft(0, std::max(0, platform::twips::toPixels(kListTop) - tabBar));
    const QSize wanted = platform::twips::toPixels(listWidth, listHeight);
    const QSize room(std::max(0, TabControl_Main->width() - 4 - topLeft.x()),
                     std::max(0, TabControl_Main->height() - tabBar - 4 - topLeft.y()));
    QRect list(topLeft, wanted.boundedTo(room));
    if (!findBar_->isHidden()) {
        // The find field takes its height off the list's bottom.
        const int barHeight = std::min(findBar_->sizeHint().height(), list.height());
        list.setHeight(list.height() - barHeight);
        findBar_->setGeometry(list.left(), list.bottom() + 1, list.width(), barHeight);
    }
    ListView_Zettara->setGeometry(list);
    platform::twips::resize(WebBrowser_广告, clientWidth, kBrowserHeight);
}

// ---- event handlers ----------------------------------------------------------------------

void Form_Main::工具_同步文件夹_Click() {
    if (!数据库对象_.database()) return;
    SyncFolderChoice::ask(*sync_, 数据库对象_.database()->path(), this);
    showSyncState();
}

void Form_Main::showSyncState() {
    const QString text = SyncFolderChoice::statusText(*sync_);
    if (text.isEmpty()) {
        if (QStatusBar* bar = findChild<QStatusBar*>(); bar && bar->isVisible()) {
            bar->hide();
            if (!isMaximized()) resize(width(), height() - bar->height());
        }
        return;
    }
    QStatusBar* bar = statusBar();
    if (!syncState_) {
        // A widget of its own: the bar's message gives way to every menu item's tip.
        syncState_ = new QLabel(bar);
        syncState_->setObjectName(QStringLiteral("同步状态"));
        syncState_->setTextFormat(Qt::PlainText);
        bar->addWidget(syncState_, 1);
    }
    syncState_->setText(text);
    syncState_->setToolTip(text);  // the whole of it where the line is too short
    if (bar->isHidden()) {
        // The list keeps its height: the window grows by the status line.
        bar->show();
        if (!isMaximized()) resize(width(), height() + bar->sizeHint().height());
    }
}

void Form_Main::帮助_关于_Click() {
    // One box at a time: while it is open, the same window comes forward.
    if (!about_) about_ = new frmAbout(windowIcon());
    about_->show();
    about_->raise();
    about_->activateWindow();
}

void Form_Main::ListView_Zettara_MouseUp(int button) {
    if (button == 2) popupMenu_(menus_->列表菜单, QCursor::pos());
}

void Form_Main::Timer_自动升级_Timer() {
    // One check per run: the timer is off before the call, so a slow check cannot tick again.
    Timer_自动升级->stop();
    modUpdate::DoUpdate(modUpdate::kUpdateListAddress.toString());
}
