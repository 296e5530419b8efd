#include "shell/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QMenu>
#include <QMenuBar>
#include <QSystemTrayIcon>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <algorithm>
#include <utility>

#include "editor/note_editor.h"
#include "platform/core/app.h"
#include "platform/core/colour.h"
#include "platform/core/convert.h"
#include "platform/core/error.h"
#include "platform/core/perf_log.h"
#include "platform/net/web_browser.h"
#include "platform/os/tray_host.h"
#include "platform/os/window_hints.h"
#include "platform/ui/centre.h"
#include "platform/ui/form_font.h"
#include "platform/ui/guard.h"
#include "platform/ui/list_view.h"
#include "platform/ui/msgbox.h"
#include "platform/ui/twips.h"
#include "store/note_file_check.h"
#include "store/note_placements.h"
#include "store/shared_objects.h"
#include "store/statements.h"
#include "system/about_box.h"
#include "system/feedback_call.h"
#include "system/start_with_login.h"
#include "system/update_call.h"
#include "system/web_addresses.h"

namespace {

// Creation-time geometry, twips.
constexpr double kClientWidth = 9480;
constexpr double kClientHeight = 7140;
constexpr double kBrowserHeight = 1005;
constexpr double kTabLeft = 30;
constexpr double kTabTop = 1050;
constexpr double kListTop = 330;  // on the tab control; its left (30) is the frame's
constexpr int kUpdateDelayMs = 2000;

const QString kNoSelection = QStringLiteral("未选中任何便签！");
const QString kNotesNotOpened = QStringLiteral("有 %1 个便签无法在桌面打开，已跳过。");
const QString kNotesNotListed = QStringLiteral("有 %1 个便签的编号无效，未列出。");
const QString kListNotRefreshed =
    QStringLiteral("便签已保存，但列表暂时无法刷新（%1）。稍后会自动刷新。");

}  // namespace

QString Form_Main::caption() {
    return platform::app::title() + QStringLiteral(" - Ver.") + platform::app::versionText();
}

Form_Main::Form_Main(数据库操作模块& 数据库对象, QWidget* parent)
    : QMainWindow(parent), 数据库对象_(数据库对象) {
    setWindowTitle(caption());
    setWindowIcon(QIcon(QStringLiteral(":/zettara/zettara.png")));
    setFont(platform::formFont());
    popupMenu = [](QMenu* menu) { menu->exec(QCursor::pos()); };
    // Asked each time: a notification area may come up after the program (a late panel).
    // Before the icon exists Qt must not be asked: on Wayland its answer would stick.
    trayAvailable = [this] { return TrayIcon && QSystemTrayIcon::isSystemTrayAvailable(); };

    createControls();
    createMenus();
    主窗体控制器_ = std::make_unique<Class_主窗体>(*ListView_Zettara, *this, 数据库对象_);

    // Client area 9480 x 7140 twips below the menu bar, centred on the screen.
    const QSize client = platform::twips::toPixels(kClientWidth, kClientHeight);
    resize(client.width(), client.height() + menuBar()->sizeHint().height());
    platform::centreOnScreen(*this);
    Form_Resize();
}

Form_Main::~Form_Main() {
    qApp->removeEventFilter(this);
    // Editors still open go with the window they report to.
    for (const QPointer<Form_添加便签>& editor : editors_) delete editor.data();
}

void Form_Main::createControls() {
    client_ = new QWidget(this);
    setCentralWidget(client_);
    client_->installEventFilter(this);

    WebBrowser_广告 = new platform::WebBrowser(client_);
    WebBrowser_广告->setObjectName(QStringLiteral("WebBrowser_广告"));
    WebBrowser_广告->setFallback(QUrl(QStringLiteral("qrc:/zettara/banner.html")));
    platform::twips::setGeometry(WebBrowser_广告, 0, 0, 9465, kBrowserHeight);

    TabControl_Main = new QTabWidget(client_);
    TabControl_Main->setObjectName(QStringLiteral("TabControl_Main"));
    auto* page = new QWidget;
    TabControl_Main->addTab(page, QStringLiteral("Zettara"));
    platform::twips::setGeometry(TabControl_Main, kTabLeft, kTabTop, 9435, 6075);

    ListView_Zettara = new platform::ListView(page);
    ListView_Zettara->setObjectName(QStringLiteral("ListView_Zettara"));
    // The list guards its notifications itself. Its item-check notification is wired by the
    // controller.
    ListView_Zettara->mouseUp = [this](int button, int, double, double) {
        ListView_Zettara_MouseUp(button);
    };

    // Keyboard order: tab control, list, browser strip.
    setTabOrder(TabControl_Main, ListView_Zettara);
    setTabOrder(ListView_Zettara, WebBrowser_广告);
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

void Form_Main::createMenus() {
    struct Item {
        const char* name;
        const char* caption = nullptr;       // none: a separator
        void (Form_Main::*run)() = nullptr;  // none: never displayed, no action
        QKeyCombination key = {};
    };
    const auto fill = [this](QMenu* menu, const char* name, std::initializer_list<Item> items) {
        menu->setObjectName(QString::fromUtf8(name));
        for (const Item& item : items) {
            if (!item.caption) {
                menu->addSeparator()->setObjectName(QString::fromUtf8(item.name));
                continue;
            }
            QAction* action = menu->addAction(QString::fromUtf8(item.caption));
            action->setObjectName(QString::fromUtf8(item.name));
            if (item.key != QKeyCombination()) action->setShortcut(item.key);
            if (!item.run) {
                action->setVisible(false);
                continue;
            }
            connect(action, &QAction::triggered, this, [this, run = item.run] {
                platform::runEvent([this, run] { (this->*run)(); });
            });
        }
        return menu;
    };

    fill(menuBar()->addMenu(QStringLiteral("文件[&F]")), "文件",
         {{"文件_新建", "新建便签[&N]", &Form_Main::新建便签, Qt::CTRL | Qt::Key_N},
          {"文件_分隔符0"},
          {"文件_退出", "退出程序[&X]", &Form_Main::退出程序}});
    fill(menuBar()->addMenu(QStringLiteral("编辑[&E]")), "编辑",
         {{"编辑_全选", "全选便签[&A]", nullptr, Qt::CTRL | Qt::Key_A},
          {"编辑_删除", "删除便签[&D]", &Form_Main::删除便签, Qt::Key_Delete},
          {"编辑_修改", "修改便签[&E]", &Form_Main::修改便签, Qt::CTRL | Qt::Key_E},
          {"编辑_分隔符0"},
          {"编辑_刷新列表", "刷新列表[&F]", &Form_Main::编辑_刷新列表_Click, Qt::Key_F5}});
    fill(menuBar()->addMenu(QStringLiteral("工具[&T]")), "工具",
         {{"工具_开机启动", "开机自动启动程序[&R]", &Form_Main::工具_开机启动_Click},
          {"工具_桌面菜单", "添加桌面菜单便签[&D]"}});
    fill(menuBar()->addMenu(QStringLiteral("帮助[&H]")), "帮助",
         {{"帮助_意见反馈", "意见反馈[&F]", &Form_Main::帮助_意见反馈_Click},
          {"帮助_关于", "关于[&A]", &Form_Main::帮助_关于_Click}});
    工具_开机启动 = findChild<QAction*>(QStringLiteral("工具_开机启动"));
    工具_开机启动->setCheckable(true);

    // The three pop-up menus are never part of the menu bar.
    托盘菜单 = fill(new QMenu(this), "托盘菜单",
                    {{"托盘菜单_新建", "新建便签[&N]", &Form_Main::新建便签},
                     {"托盘菜单_显示窗口", "显示窗口[&W]", &Form_Main::显示主窗体},
                     {"托盘菜单_分隔符0"},
                     {"托盘菜单_全部隐藏", "全部隐藏[&H]", &Form_Main::全部隐藏},
                     {"托盘菜单_全部显示", "全部显示[&S]", &Form_Main::全部显示},
                     {"托盘菜单_分隔符1"},
                     {"托盘菜单_退出程序", "退出程序[&X]", &Form_Main::退出程序}});
    列表菜单 = fill(new QMenu(this), "列表菜单",
                    {{"列表菜单_新建", "新建便签[&N]", &Form_Main::新建便签},
                     {"列表菜单_分隔符0"},
                     {"列表菜单_全部隐藏", "全部隐藏[&H]", &Form_Main::全部隐藏},
                     {"列表菜单_全部显示", "全部显示[&S]", &Form_Main::全部显示},
                     {"列表菜单_分隔符1"},
                     {"列表菜单_删除", "删除便签[&D]", &Form_Main::删除便签},
                     {"列表菜单_修改", "修改便签[&E]", &Form_Main::修改便签},
                     {"列表菜单_分隔符2"},
                     {"列表菜单_刷新列表", "刷新列表[&F]", &Form_Main::编辑_刷新列表_Click}});
    便签菜单 = fill(new QMenu(this), "便签菜单",
                    {{"便签菜单_修改", "修改便签[&E]", &Form_Main::便签菜单_修改_Click},
                     {"便签菜单_删除", "删除便签[&D]", &Form_Main::便签菜单_删除_Click},
                     {"便签菜单_关闭窗口", "关闭窗口[&C]", &Form_Main::便签菜单_关闭窗口_Click}});
}

void Form_Main::createTray() {
    TrayIcon = new QSystemTrayIcon(windowIcon(), this);
    TrayIcon->setObjectName(QStringLiteral("TrayIcon"));
    TrayIcon->setToolTip(QStringLiteral("Zettara"));
    // On Wayland a menu of ours cannot pop up at the icon (a client never learns where the
    // pointer is); the StatusNotifier host draws the exported menu itself.
    if (platform::windowSystemPlacesWindows()) TrayIcon->setContextMenu(托盘菜单);
    connect(TrayIcon, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                platform::runEvent([this, reason] { TrayIcon_Activated(reason); });
            });
}

// ---- start-up and exit -------------------------------------------------------------------

void Form_Main::Form_Load(const QString& databasePath, const QString& commandText) {
    platform::PhaseTimer phases;
    // A damaged file ends the start before anything is written to it.
    NoteFileCheck::open(数据库对象_, databasePath);
    phases.mark("database opened");
    WebBrowser_广告->Navigate(web_addresses::advertisement());
    const int unlisted = 主窗体控制器_->初始化界面(*ListView_Zettara);
    phases.mark("list filled");
    // Notes that cannot be listed (an ID that is not a number) or opened (a NULL or foreign
    // colour) do not keep the program from starting; the user is told once, in one box.
    QStringList skipped;
    if (unlisted) skipped << kNotesNotListed.arg(unlisted);
    if (const int failed = 主窗体控制器_->初始化便签显示(*ListView_Zettara)) {
        skipped << kNotesNotOpened.arg(failed);
    }
    if (!skipped.isEmpty()) {
        platform::MsgBox(skipped.join(QLatin1Char('\n')), platform::mb::Exclamation);
    }
    phases.mark("note windows shown");
    工具_开机启动->setChecked(开机启动_已设置());
    // Present from load (or from the moment a notification area can take it) to exit,
    // visible window or not.
    platform::whenTrayIconCanBeMade(*this, [this] {
        createTray();
        TrayIcon->show();
    });
    if (commandText == QLatin1String("mini")) {
        hideOrMinimise();
    } else {
        show();
    }
    phases.mark("main window shown");
    已加载_ = true;
    if (待显示请求_) 显示并恢复主窗体(*std::exchange(待显示请求_, std::nullopt));
}

void Form_Main::closeEvent(QCloseEvent* event) {
    if (退出标志) {
        // Unloading ends the update timer with the window.
        Timer_自动升级->stop();
        platform::guarded([this] { 数据库对象_.关闭数据库(); });
        if (TrayIcon) TrayIcon->hide();
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
    if (trayAvailable()) {
        hide();
    } else {
        showMinimized();
    }
}

void Form_Main::退出程序() {
    if (platform::MsgBox(QStringLiteral("退出本程序后Zettara将不再显示，是否确定？"),
                         platform::mb::YesNo | platform::mb::Question,
                         QStringLiteral("确定退出")) != platform::mb::Yes)
        return;
    // Every other window of the program closes first; none of them refuses.
    for (const QPointer<Form_添加便签>& editor : editors_) {
        if (editor) editor->close();
    }
    主窗体控制器_->关闭全部便签();
    if (frmAbout* about = frmAbout::current()) about->close();
    close();  // refused: the flag is still false
    退出标志 = true;
    close();
    QCoreApplication::quit();
}

// ---- members -----------------------------------------------------------------------------

void Form_Main::编辑_刷新列表_Click() {
    // Queried first: a store that cannot be read leaves the rows as they were.
    platform::Recordset rs = 主窗体控制器().获取数据();
    ListView_Zettara->clear();
    主窗体控制器_->刷新数据(*ListView_Zettara, rs);
}

void Form_Main::便签已保存(std::int64_t 便签ID, bool closing) {
    // A new note closing its editor is the list's last row once the list is reloaded: toggling
    // its check mark opens its desktop window. A modified note's windows are brought up to date
    // by the refresh.
    if (便签ID == 0 && closing) 新便签待显示_ = true;
    保存后刷新列表(true);
}

void Form_Main::保存后刷新列表(bool tell) {
    // The note is stored by now: a list that cannot be reloaded must not make the save look
    // failed (saving again would store the note twice). Another program's lock goes away on its
    // own, so the reload waits for the user to come back to one of our windows.
    try {
        编辑_刷新列表_Click();
    } catch (const platform::Error& error) {
        if (tell) {
            const QString reason =
                error.busy()
                    ? QStringLiteral("便签文件被占用")
                    : QStringLiteral("错误 %1：%2").arg(error.number()).arg(error.message());
            platform::MsgBox(kListNotRefreshed.arg(reason), platform::mb::Exclamation);
        }
        // Watched only from here on: the box's own activation is no reason to try again.
        if (!std::exchange(列表待刷新_, true)) qApp->installEventFilter(this);
        return;
    }
    if (std::exchange(列表待刷新_, false)) qApp->removeEventFilter(this);
    主窗体控制器_->刷新便签();
    if (!std::exchange(新便签待显示_, false)) return;
    platform::ListView& list = *ListView_Zettara;
    try {
        if (list.count() > 0) {
            list.setChecked(list.count(), false);
            list.setChecked(list.count(), true);
        }
    } catch (const platform::Error& error) {
        platform::reportError(error);  // saved all the same
    }
}

void Form_Main::showNoteMenu(std::int64_t noteId) {
    当前便签ID = noteId;
    popupMenu(便签菜单);
}

void Form_Main::显示主窗体() {
    // show() keeps the window state: a minimised window stays minimised.
    show();
    activateWindow();
}

void Form_Main::显示并恢复主窗体(const QString& activationToken) {
    // A start-up message box runs its own event loop: shown now, the window would be
    // half-loaded, and a hidden start would hide it again at the end of the load.
    if (!已加载_) {
        待显示请求_ = activationToken;
        return;
    }
    platform::useActivationToken(activationToken);
    show();
    setWindowState(windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
    raise();
    activateWindow();
}

// ---- layout ------------------------------------------------------------------------------

bool Form_Main::eventFilter(QObject* watched, QEvent* event) {
    if (watched == client_ && event->type() == QEvent::Resize) Form_Resize();
    // Every widget of an activated window hears of it: one queued retry, after the activation.
    if (列表待刷新_ && event->type() == QEvent::WindowActivate &&
        !std::exchange(刷新已排队_, true)) {
        QMetaObject::invokeMethod(
            this,
            [this] {
                刷新已排队_ = false;
                if (列表待刷新_) platform::runEvent([this] { 保存后刷新列表(false); });
            },
            Qt::QueuedConnection);
    }
    return QMainWindow::eventFilter(watched, event);
}

void Form_Main::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) Form_Resize();
}

void Form_Main::Form_Resize() {
    if (isMinimized()) return;
    const float clientWidth = static_cast<float>(platform::twips::fromPixels(client_->width()));
    const float clientHeight = static_cast<float>(platform::twips::fromPixels(client_->height()));
    const auto atLeastZero = [](float v) { return std::max(0.0f, v); };

    const float tabWidth = atLeastZero(clientWidth - 30.0f);
    // The height leaves the tab control's top and a 15-twip margin out, so the list stays
    // inside the window.
    const float tabHeight = atLeastZero(clientHeight - static_cast<float>(kTabTop) - 15.0f);
    platform::twips::resize(TabControl_Main, tabWidth, tabHeight);
    const float listWidth = atLeastZero(
        static_cast<float>(platform::twips::fromPixels(TabControl_Main->width())) - 90.0f);
    const float listHeight = atLeastZero(
        static_cast<float>(platform::twips::fromPixels(TabControl_Main->height())) - 375.0f);

    // The list's place is given on the tab control; here its page starts below the tab bar,
    // which is taller than the 330-twip offset allows for, so the list is kept on its page.
    const int tabBar = TabControl_Main->tabBar()->sizeHint().height();
    // The page itself sits inside the tab control's frame, which takes the list's left offset.
    const QPoint topLeft(0, std::max(0, platform::twips::toPixels(kListTop) - tabBar));
    const QSize wanted = platform::twips::toPixels(listWidth, listHeight);
    const QSize room(std::max(0, TabControl_Main->width() - 4 - topLeft.x()),
                     std::max(0, TabControl_Main->height() - tabBar - 4 - topLeft.y()));
    ListView_Zettara->setGeometry(QRect(topLeft, wanted.boundedTo(room)));
    platform::twips::resize(WebBrowser_广告, clientWidth, kBrowserHeight);
}

// ---- note commands -----------------------------------------------------------------------

void Form_Main::新建便签() {
    auto* editor = new Form_添加便签(*this);
    std::erase_if(editors_, [](const QPointer<Form_添加便签>& e) { return e.isNull(); });
    editors_.emplace_back(editor);
    editor->show();
}

void Form_Main::删除便签() {
    platform::ListView& list = *ListView_Zettara;
    if (list.count() == 0) return;
    const int selected = list.selectedIndex();
    if (selected == 0) {
        platform::MsgBox(kNoSelection, platform::mb::Critical);
        return;
    }
    const platform::ListItem item = list.item(selected);
    // A row whose ID is not an identifier is refused (reported by the caller) before any
    // statement exists. A store that refuses the delete (locked, read-only) is reported by the
    // caller too; the row then stays, so the list never claims a delete that did not happen.
    const std::int64_t id = platform::toIdentifier(item.subItem(1));
    数据库对象_.数据库_删除_语句(statements::deleteOne(id));
    item.setChecked(false);  // closes the note's windows
    // Its place goes with it; a place left behind is never used.
    platform::guarded([&] { NotePlacements(数据库对象_).remove(id); });
    list.remove(selected);
}

void Form_Main::修改便签() {
    platform::ListView& list = *ListView_Zettara;
    if (list.count() == 0) return;
    const int selected = list.selectedIndex();
    if (selected == 0) {
        platform::MsgBox(kNoSelection, platform::mb::Critical);
        return;
    }
    const platform::ListItem item = list.item(selected);
    const std::int64_t id = platform::toIdentifier(item.subItem(1));
    auto editor = std::make_unique<Form_添加便签>(*this);
    try {
        platform::Recordset rs = 数据库对象_.数据库_查找_语句(statements::selectOne(id));
        // A colour that cannot be read does not keep the note from being changed: the editor
        // offers a new note's colour instead.
        editor->加载便签(id, item.subItem(2),
                         platform::storedColour(rs.field(QStringLiteral("BackColor"))),
                         platform::storedColour(rs.field(QStringLiteral("FontColor"))));
    } catch (const platform::Error& error) {
        // The editor that could not be set up is destroyed with the unique_ptr. A note deleted
        // meanwhile ends the command silently; anything else is reported.
        if (error.number() == platform::errc::noCurrentRecord) return;
        throw;
    }
    std::erase_if(editors_, [](const QPointer<Form_添加便签>& e) { return e.isNull(); });
    editors_.emplace_back(editor.get());
    editor.release()->show();
}

void Form_Main::setAllChecks(bool checked) {
    const int count = ListView_Zettara->count();
    for (int i = 1; i <= count; ++i) ListView_Zettara->setChecked(i, checked);
}

void Form_Main::全部显示() {
    setAllChecks(true);
}
void Form_Main::全部隐藏() {
    setAllChecks(false);
}

int Form_Main::当前便签行() const {
    const int count = ListView_Zettara->count();
    for (int i = 1; i <= count; ++i) {
        if (platform::parseIdentifier(ListView_Zettara->subItem(i, 1)) == 当前便签ID) return i;
    }
    return 0;
}

// ---- event handlers ----------------------------------------------------------------------

void Form_Main::工具_开机启动_Click() {
    // The action toggled its own mark before this runs; the rule works from the mark as it was.
    const bool wasChecked = !工具_开机启动->isChecked();
    工具_开机启动->setChecked(::工具_开机启动_Click(wasChecked));
}

void Form_Main::帮助_意见反馈_Click() {
    用户反馈::ShowComment(用户反馈::productText());
}

void Form_Main::帮助_关于_Click() {
    frmAbout::Show(windowIcon());
}

void Form_Main::便签菜单_修改_Click() {
    if (const int row = 当前便签行()) {
        ListView_Zettara->setSelected(row, true);
        修改便签();
    }
}

void Form_Main::便签菜单_删除_Click() {
    if (const int row = 当前便签行()) {
        ListView_Zettara->setSelected(row, true);
        删除便签();
    }
}

void Form_Main::便签菜单_关闭窗口_Click() {
    if (const int row = 当前便签行()) ListView_Zettara->setChecked(row, false);
}

void Form_Main::ListView_Zettara_MouseUp(int button) {
    if (button == 2) popupMenu(列表菜单);
}

void Form_Main::TrayIcon_Activated(int reason) {
    switch (reason) {
        case QSystemTrayIcon::Trigger:
        case QSystemTrayIcon::DoubleClick:
            显示主窗体();
            break;
        case QSystemTrayIcon::Context:
            if (!TrayIcon->contextMenu()) popupMenu(托盘菜单);
            break;
        default:
            break;
    }
}

void Form_Main::Timer_自动升级_Timer() {
    // One check per run: the timer is off before the call, so a slow check cannot tick again.
    Timer_自动升级->stop();
    modUpdate::DoUpdate(modUpdate::kUpdateListAddress.toString());
}
