#include "shell/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <algorithm>

#include "editor/note_editor.h"
#include "platform/app.h"
#include "platform/color_picker.h"
#include "platform/convert.h"
#include "platform/error.h"
#include "platform/form_font.h"
#include "platform/guard.h"
#include "platform/list_view.h"
#include "platform/msgbox.h"
#include "platform/perf_log.h"
#include "platform/twips.h"
#include "platform/web_browser.h"
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

}  // namespace

QString Form_Main::caption() {
    return platform::app::title() + QStringLiteral(" - Ver.") + platform::app::versionText();
}

Form_Main::Form_Main(QWidget* parent) : QMainWindow(parent) {
    Q_INIT_RESOURCE(resources);  // the resources live in a static library
    setWindowTitle(caption());
    setWindowIcon(QIcon(QStringLiteral(":/zettara/zettara.png")));
    setFont(platform::formFont());
    popupMenu = [](QMenu* menu) { menu->exec(QCursor::pos()); };

    createControls();
    createMenus();
    createTray();

    // Client area 9480 x 7140 twips below the menu bar, centred on the screen.
    const QSize client = platform::twips::toPixels(kClientWidth, kClientHeight);
    resize(client.width(), client.height() + menuBar()->sizeHint().height());
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(), size());
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    Form_Resize();
}

Form_Main::~Form_Main() = default;

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
    // No guard of its own: the list shows a failing user click itself, and hands a failing
    // change made by a command back to that command, which then stops.
    ListView_Zettara->itemCheck = [this](platform::ListItem item) {
        ListView_Zettara_ItemCheck(item);
    };
    ListView_Zettara->mouseUp = [this](int button, int, double, double) {
        platform::runEvent([&] { ListView_Zettara_MouseUp(button); });
    };

    // Keyboard order: tab control, list, browser strip.
    setTabOrder(TabControl_Main, ListView_Zettara);
    setTabOrder(ListView_Zettara, WebBrowser_广告);
    TabControl_Main->setFocus();

    // Enabled from the creation of the controls; its tick comes from the event loop, so never
    // before the load steps have finished.
    Timer_自动升级 = new QTimer(this);
    Timer_自动升级->setInterval(kUpdateDelayMs);
    connect(Timer_自动升级, &QTimer::timeout, this,
            [this] { platform::runEvent([this] { Timer_自动升级_Timer(); }); });
    Timer_自动升级->start();
}

QAction* Form_Main::addItem(QMenu* menu, const char* name, const QString& caption,
                            void (Form_Main::*handler)(), const QKeySequence& shortcut) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QString::fromUtf8(name));
    if (!shortcut.isEmpty()) action->setShortcut(shortcut);
    if (handler) {
        connect(action, &QAction::triggered, this,
                [this, handler] { platform::runEvent([this, handler] { (this->*handler)(); }); });
    } else {
        action->setVisible(false);  // never displayed, no action
    }
    return action;
}

void Form_Main::addSeparator(QMenu* menu, const char* name) {
    menu->addSeparator()->setObjectName(QString::fromUtf8(name));
}

void Form_Main::createMenus() {
    文件 = menuBar()->addMenu(QStringLiteral("文件[&F]"));
    文件->setObjectName(QStringLiteral("文件"));
    文件_新建 = addItem(文件, "文件_新建", QStringLiteral("新建便签[&N]"),
                        &Form_Main::文件_新建_Click, QKeySequence(Qt::CTRL | Qt::Key_N));
    addSeparator(文件, "文件_分隔符0");
    文件_退出 =
        addItem(文件, "文件_退出", QStringLiteral("退出程序[&X]"), &Form_Main::文件_退出_Click);

    编辑 = menuBar()->addMenu(QStringLiteral("编辑[&E]"));
    编辑->setObjectName(QStringLiteral("编辑"));
    编辑_全选 = addItem(编辑, "编辑_全选", QStringLiteral("全选便签[&A]"), nullptr,
                        QKeySequence(Qt::CTRL | Qt::Key_A));
    编辑_删除 = addItem(编辑, "编辑_删除", QStringLiteral("删除便签[&D]"),
                        &Form_Main::编辑_删除_Click, QKeySequence(Qt::Key_Delete));
    编辑_修改 = addItem(编辑, "编辑_修改", QStringLiteral("修改便签[&E]"),
                        &Form_Main::编辑_修改_Click, QKeySequence(Qt::CTRL | Qt::Key_E));
    addSeparator(编辑, "编辑_分隔符0");
    编辑_刷新列表 = addItem(编辑, "编辑_刷新列表", QStringLiteral("刷新列表[&F]"),
                            &Form_Main::编辑_刷新列表_Click, QKeySequence(Qt::Key_F5));

    工具 = menuBar()->addMenu(QStringLiteral("工具[&T]"));
    工具->setObjectName(QStringLiteral("工具"));
    工具_开机启动 = addItem(工具, "工具_开机启动", QStringLiteral("开机自动启动程序[&R]"),
                            &Form_Main::工具_开机启动_Click);
    工具_开机启动->setCheckable(true);
    工具_桌面菜单 = addItem(工具, "工具_桌面菜单", QStringLiteral("添加桌面菜单便签[&D]"), nullptr);

    帮助 = menuBar()->addMenu(QStringLiteral("帮助[&H]"));
    帮助->setObjectName(QStringLiteral("帮助"));
    帮助_意见反馈 = addItem(帮助, "帮助_意见反馈", QStringLiteral("意见反馈[&F]"),
                            &Form_Main::帮助_意见反馈_Click);
    帮助_关于 = addItem(帮助, "帮助_关于", QStringLiteral("关于[&A]"), &Form_Main::帮助_关于_Click);

    // The three pop-up menus are never part of the menu bar.
    托盘菜单 = new QMenu(this);
    托盘菜单->setObjectName(QStringLiteral("托盘菜单"));
    托盘菜单_新建 = addItem(托盘菜单, "托盘菜单_新建", QStringLiteral("新建便签[&N]"),
                            &Form_Main::托盘菜单_新建_Click);
    托盘菜单_显示窗口 = addItem(托盘菜单, "托盘菜单_显示窗口", QStringLiteral("显示窗口[&W]"),
                                &Form_Main::托盘菜单_显示窗口_Click);
    addSeparator(托盘菜单, "托盘菜单_分隔符0");
    托盘菜单_全部隐藏 = addItem(托盘菜单, "托盘菜单_全部隐藏", QStringLiteral("全部隐藏[&H]"),
                                &Form_Main::托盘菜单_全部隐藏_Click);
    托盘菜单_全部显示 = addItem(托盘菜单, "托盘菜单_全部显示", QStringLiteral("全部显示[&S]"),
                                &Form_Main::托盘菜单_全部显示_Click);
    addSeparator(托盘菜单, "托盘菜单_分隔符1");
    托盘菜单_退出程序 = addItem(托盘菜单, "托盘菜单_退出程序", QStringLiteral("退出程序[&X]"),
                                &Form_Main::托盘菜单_退出程序_Click);

    列表菜单 = new QMenu(this);
    列表菜单->setObjectName(QStringLiteral("列表菜单"));
    列表菜单_新建 = addItem(列表菜单, "列表菜单_新建", QStringLiteral("新建便签[&N]"),
                            &Form_Main::列表菜单_新建_Click);
    addSeparator(列表菜单, "列表菜单_分隔符0");
    列表菜单_全部隐藏 = addItem(列表菜单, "列表菜单_全部隐藏", QStringLiteral("全部隐藏[&H]"),
                                &Form_Main::列表菜单_全部隐藏_Click);
    列表菜单_全部显示 = addItem(列表菜单, "列表菜单_全部显示", QStringLiteral("全部显示[&S]"),
                                &Form_Main::列表菜单_全部显示_Click);
    addSeparator(列表菜单, "列表菜单_分隔符1");
    列表菜单_删除 = addItem(列表菜单, "列表菜单_删除", QStringLiteral("删除便签[&D]"),
                            &Form_Main::列表菜单_删除_Click);
    列表菜单_修改 = addItem(列表菜单, "列表菜单_修改", QStringLiteral("修改便签[&E]"),
                            &Form_Main::列表菜单_修改_Click);
    addSeparator(列表菜单, "列表菜单_分隔符2");
    列表菜单_刷新列表 = addItem(列表菜单, "列表菜单_刷新列表", QStringLiteral("刷新列表[&F]"),
                                &Form_Main::列表菜单_刷新列表_Click);

    便签菜单 = new QMenu(this);
    便签菜单->setObjectName(QStringLiteral("便签菜单"));
    便签菜单_修改 = addItem(便签菜单, "便签菜单_修改", QStringLiteral("修改便签[&E]"),
                            &Form_Main::便签菜单_修改_Click);
    便签菜单_删除 = addItem(便签菜单, "便签菜单_删除", QStringLiteral("删除便签[&D]"),
                            &Form_Main::便签菜单_删除_Click);
    便签菜单_关闭窗口 = addItem(便签菜单, "便签菜单_关闭窗口", QStringLiteral("关闭窗口[&C]"),
                                &Form_Main::便签菜单_关闭窗口_Click);
}

void Form_Main::createTray() {
    TrayIcon = new QSystemTrayIcon(windowIcon(), this);
    TrayIcon->setToolTip(QStringLiteral("Zettara"));
    connect(TrayIcon, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                platform::runEvent([this, reason] { TrayIcon_Activated(reason); });
            });
}

// ---- start-up and exit -------------------------------------------------------------------

void Form_Main::Form_Load(const QString& commandText) {
    platform::PhaseTimer phases;
    QDir::setCurrent(platform::app::path());
    连接数据库();
    // A damaged file ends the start before anything is written to it.
    NoteFileCheck::run(数据库对象(), 数据库文件路径());
    phases.mark("database opened");
    WebBrowser_广告->Navigate(web_addresses::advertisement());
    主窗体控制器().初始化界面(*ListView_Zettara);
    phases.mark("list filled");
    // Notes that cannot be opened (a NULL or foreign colour) do not keep the program from
    // starting; the user is told once.
    if (const int failed = 主窗体控制器().初始化便签显示(*ListView_Zettara)) {
        platform::MsgBox(kNotesNotOpened.arg(failed), platform::mb::Exclamation);
    }
    phases.mark("note windows shown");
    工具_开机启动->setChecked(开机启动_已设置());
    TrayIcon->show();  // present from load to exit, visible window or not
    if (commandText == QLatin1String("mini")) {
        hide();
    } else {
        show();
    }
    phases.mark("main window shown");
}

void Form_Main::closeEvent(QCloseEvent* event) {
    if (退出标志) {
        platform::guarded([] { 数据库对象().关闭数据库(); });
        TrayIcon->hide();
        event->accept();
        return;
    }
    // The close box only hides: the notes, the editors and the tray icon stay.
    event->ignore();
    hide();
}

void Form_Main::退出程序() {
    if (platform::MsgBox(QStringLiteral("退出本程序后Zettara将不再显示，是否确定？"),
                         platform::mb::YesNo | platform::mb::Question,
                         QStringLiteral("确定退出")) != platform::mb::Yes)
        return;
    // From here on every error is ignored and the next step runs regardless.
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget* window : windows) {
        if (window != this && window->isWindow() && !qobject_cast<QMenu*>(window))
            platform::guarded([window] { window->close(); });
    }
    platform::guarded([this] { close(); });  // refused: the flag is still false
    退出标志 = true;
    platform::guarded([this] { close(); });
    QCoreApplication::quit();
}

// ---- members -----------------------------------------------------------------------------

Class_主窗体& Form_Main::主窗体控制器() {
    if (!主窗体控制器_) 主窗体控制器_ = std::make_unique<Class_主窗体>(*ListView_Zettara, *this);
    return *主窗体控制器_;
}

platform::ListView& Form_Main::便签列表() {
    return *ListView_Zettara;
}

void Form_Main::编辑_刷新列表_Click() {
    // Queried first: a store that cannot be read leaves the rows as they were.
    platform::Recordset rs = 主窗体控制器().获取数据();
    ListView_Zettara->clear();
    主窗体控制器().刷新数据(*ListView_Zettara, rs);
}

void Form_Main::显示主窗体() {
    // show() keeps the window state: a minimised window stays minimised.
    platform::guarded([this] {
        show();
        activateWindow();
    });
}

void Form_Main::显示并恢复主窗体() {
    platform::guarded([this] {
        show();
        setWindowState(windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
        raise();
        activateWindow();
    });
}

// ---- layout ------------------------------------------------------------------------------

bool Form_Main::eventFilter(QObject* watched, QEvent* event) {
    if (watched == client_ && event->type() == QEvent::Resize) Form_Resize();
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
    // A store that refuses the delete (locked, read-only) is reported by the caller; the row
    // then stays, so the list never claims a delete that did not happen.
    数据库对象().数据库_删除_语句(statements::deleteOne(item.subItem(1)));
    item.setChecked(false);  // closes the note's windows
    // Its place goes with it; a place left behind is never used.
    platform::guarded(
        [&] { NotePlacements(数据库对象()).remove(platform::toInt32(item.subItem(1))); });
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
    const QString id = item.subItem(1);
    auto editor = std::make_unique<Form_添加便签>(*this);
    try {
        editor->便签ID = platform::toInt32(id);
        editor->FlatEdit_内容->setPlainText(item.subItem(2));
        platform::Recordset rs = 数据库对象().数据库_查找_语句(statements::selectOne(id));
        const std::int32_t back = platform::toInt32(rs.field(QStringLiteral("BackColor")));
        editor->设置内容背景颜色(back);
        editor->ColorPicker_背景颜色->setColor(back);
        const std::int32_t fore = platform::toInt32(rs.field(QStringLiteral("FontColor")));
        editor->设置内容字体颜色(fore);
        editor->ColorPicker_字体颜色->setColor(fore);
    } catch (const platform::Error& error) {
        // The editor that could not be set up is destroyed with the unique_ptr. A note deleted
        // meanwhile ends the command silently; anything else is reported.
        if (error.number() == platform::errc::noCurrentRecord) return;
        throw;
    }
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
    const double current = 当前便签ID;
    for (int i = 1; i <= count; ++i) {
        bool ok = false;
        const double id = ListView_Zettara->subItem(i, 1).toDouble(&ok);
        if (ok && id == current) return i;
    }
    return 0;
}

// ---- event handlers ----------------------------------------------------------------------

void Form_Main::文件_新建_Click() {
    新建便签();
}
void Form_Main::文件_退出_Click() {
    退出程序();
}
void Form_Main::编辑_删除_Click() {
    删除便签();
}
void Form_Main::编辑_修改_Click() {
    修改便签();
}

void Form_Main::工具_开机启动_Click() {
    // The action toggled its own mark before this runs; the rule works from the mark as it was.
    const bool wasChecked = !工具_开机启动->isChecked();
    工具_开机启动->setChecked(::工具_开机启动_Click(wasChecked));
}

void Form_Main::帮助_意见反馈_Click() {
    用户反馈::ShowComment(QStringLiteral("Zettara ") + platform::app::versionText());
}

void Form_Main::帮助_关于_Click() {
    frmAbout::Show(windowIcon());
}

void Form_Main::托盘菜单_新建_Click() {
    新建便签();
}
void Form_Main::托盘菜单_显示窗口_Click() {
    显示主窗体();
}
void Form_Main::托盘菜单_全部隐藏_Click() {
    全部隐藏();
}
void Form_Main::托盘菜单_全部显示_Click() {
    全部显示();
}
void Form_Main::托盘菜单_退出程序_Click() {
    退出程序();
}
void Form_Main::列表菜单_新建_Click() {
    新建便签();
}
void Form_Main::列表菜单_全部隐藏_Click() {
    全部隐藏();
}
void Form_Main::列表菜单_全部显示_Click() {
    全部显示();
}
void Form_Main::列表菜单_删除_Click() {
    删除便签();
}
void Form_Main::列表菜单_修改_Click() {
    修改便签();
}
void Form_Main::列表菜单_刷新列表_Click() {
    编辑_刷新列表_Click();
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

void Form_Main::ListView_Zettara_ItemCheck(const platform::ListItem& item) {
    主窗体控制器().便签显示(item);
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
            popupMenu(托盘菜单);
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
