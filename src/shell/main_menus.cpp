#include "shell/main_menus.h"

#include <QAction>
#include <QActionGroup>
#include <QCoreApplication>
#include <QDir>
#include <QLoggingCategory>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPen>
#include <QPixmap>
#include <QPolygonF>
#include <initializer_list>
#include <iterator>
#include <optional>
#include <utility>

#include "controller/note_window_state_commands.h"
#include "platform/core/colour.h"
#include "platform/os/note_window_state_hints.h"
#include "platform/ui/color_picker.h"
#include "platform/ui/guard.h"
#include "platform/ui/interface_texts.h"
#include "platform/ui/msgbox.h"
#include "shell/note_commands.h"
#include "shell/note_file_commands.h"
#include "system/feedback_call.h"
#include "system/start_with_login.h"

namespace {

// What the window system does not allow, each time the note menu opens.
Q_LOGGING_CATEGORY(lcNoteMenu, "zettara.notemenu", QtWarningMsg)

using Run = std::function<void()>;

struct Item {
    const char* name;
    const char* caption = nullptr;  // none: a separator
    Run run = {};                   // none: never displayed, no action
    QKeyCombination key = {};
};

QMenu* fill(QMenu* menu, const char* name, std::initializer_list<Item> items) {
    menu->setObjectName(QString::fromUtf8(name));
    for (const Item& item : items) {
        if (!item.caption) {
            menu->addSeparator()->setObjectName(QString::fromUtf8(item.name));
            continue;
        }
        QAction* action = menu->addAction(QCoreApplication::translate("MainMenus", item.caption));
        action->setObjectName(QString::fromUtf8(item.name));
        if (item.key != QKeyCombination()) action->setShortcut(item.key);
        if (!item.run) {
            action->setVisible(false);
            continue;
        }
        QObject::connect(action, &QAction::triggered, menu,
                         [run = item.run] { platform::runEvent(run); });
    }
    return menu;
}

// Why an item the window system cannot honour is disabled; none when it can.
QString unavailable(platform::WindowHint hint, const char* onWayland, const char* elsewhere) {
    switch (hint) {
        case platform::WindowHint::Available:
            return {};
        case platform::WindowHint::NotOnWayland:
            return QCoreApplication::translate("MainMenus", onWayland);
        case platform::WindowHint::NoCompositor:
            return MainMenus::tr("没有运行窗口合成器，窗口无法显示透明效果");
        case platform::WindowHint::NotOnPlatform:
            return QCoreApplication::translate("MainMenus", elsewhere);
    }
    return {};
}

// The note menu's colours: background and a text colour that reads well on it (0x00BBGGRR).
struct Swatch {
    const char* name;
    std::int32_t back;
    std::int32_t text;
};
constexpr std::int32_t bgr(int red, int green, int blue) {
    return (blue << 16) | (green << 8) | red;
}
constexpr Swatch kSwatches[] = {
    {QT_TRANSLATE_NOOP("MainMenus", "浅黄色"), platform::kNoteBackColour,
     platform::kNoteTextColour},
    {QT_TRANSLATE_NOOP("MainMenus", "粉色"), bgr(255, 208, 224), 0},
    {QT_TRANSLATE_NOOP("MainMenus", "绿色"), bgr(204, 240, 196), 0},
    {QT_TRANSLATE_NOOP("MainMenus", "蓝色"), bgr(200, 224, 255), 0},
    {QT_TRANSLATE_NOOP("MainMenus", "紫色"), bgr(228, 212, 255), 0},
    {QT_TRANSLATE_NOOP("MainMenus", "橙色"), bgr(255, 216, 168), 0},
    {QT_TRANSLATE_NOOP("MainMenus", "灰色"), bgr(220, 220, 220), 0},
    {QT_TRANSLATE_NOOP("MainMenus", "白色"), bgr(255, 255, 255), 0},
};

// The swatch, and for the note's current colour the swatch with a tick in its text colour: a
// style may show a checked item with an icon by its icon alone.
QIcon swatchIcon(const Swatch& swatch, const QColor& border) {
    QIcon icon = platform::ColorPicker::swatch(swatch.back, border);
    QPixmap ticked = icon.pixmap(icon.availableSizes().value(0));
    QPainter painter(&ticked);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(platform::toQColor(swatch.text), 2));
    const double side = ticked.width();
    painter.drawPolyline(QPolygonF(
        {{side * 0.2, side * 0.5}, {side * 0.42, side * 0.72}, {side * 0.8, side * 0.28}}));
    painter.end();
    icon.addPixmap(ticked, QIcon::Normal, QIcon::On);
    icon.addPixmap(ticked, QIcon::Active, QIcon::On);
    return icon;
}

void offer(QAction* action, const QString& whyNot) {
    action->setEnabled(whyNot.isEmpty());
    action->setToolTip(whyNot);
}

}  // namespace

MainMenus::MainMenus(QMainWindow& window, const Commands& commands, const WindowCommands& own)
    : commands_(commands), 当前便签ID_(own.当前便签ID) {
    NoteCommands& notes = commands.notes;
    NoteFileCommands& files = commands.files;
    NoteWindowStateCommands& states = commands.windowStates;
    const auto note = [&notes](void (NoteCommands::*command)()) -> Run {
        return [&notes, command] { (notes.*command)(); };
    };
    const auto file = [&files](void (NoteFileCommands::*command)()) -> Run {
        return [&files, command] { (files.*command)(); };
    };
    const auto atNote = [&notes, &own](void (NoteCommands::*command)(std::int64_t)) -> Run {
        return [&notes, command, id = own.当前便签ID] { (notes.*command)(id()); };
    };
    const auto toWindows = [&states, &own](void (NoteWindowStateCommands::*command)(std::int64_t)) {
        return Run([&states, command, id = own.当前便签ID] { (states.*command)(id()); });
    };
    const auto textStep = [&states, &own](int step) -> Run {
        return [&states, step, id = own.当前便签ID] { states.便签菜单_文字大小(id(), step); };
    };
    QMenuBar* bar = window.menuBar();

    fill(bar->addMenu(tr("文件[&F]")), "文件",
         {{"文件_新建", QT_TRANSLATE_NOOP("MainMenus", "新建便签[&N]"),
           note(&NoteCommands::新建便签), Qt::CTRL | Qt::Key_N},
          {"文件_导出", QT_TRANSLATE_NOOP("MainMenus", "导出便签…[&E]"),
           file(&NoteFileCommands::导出便签)},
          {"文件_导入", QT_TRANSLATE_NOOP("MainMenus", "导入便签…[&I]"),
           file(&NoteFileCommands::导入便签)},
          {"文件_从备份恢复", QT_TRANSLATE_NOOP("MainMenus", "从备份恢复…[&R]"),
           file(&NoteFileCommands::从备份恢复)},
          {"文件_分隔符0"},
          {"文件_退出", QT_TRANSLATE_NOOP("MainMenus", "退出程序[&X]"), own.退出程序}});
    QMenu* edit = fill(
        bar->addMenu(tr("编辑[&E]")), "编辑",
        {{"编辑_撤销删除", QT_TRANSLATE_NOOP("MainMenus", "撤销删除[&U]"),
          note(&NoteCommands::撤销删除), Qt::CTRL | Qt::Key_Z},
         {"编辑_全选", QT_TRANSLATE_NOOP("MainMenus", "全选便签[&A]"), {}, Qt::CTRL | Qt::Key_A},
         {"编辑_删除", QT_TRANSLATE_NOOP("MainMenus", "删除便签[&D]"),
          note(&NoteCommands::删除便签), Qt::Key_Delete},
         {"编辑_修改", QT_TRANSLATE_NOOP("MainMenus", "修改便签[&E]"),
          note(&NoteCommands::修改便签), Qt::CTRL | Qt::Key_E},
         {"编辑_查找", QT_TRANSLATE_NOOP("MainMenus", "查找便签…[&S]"), own.查找便签,
          Qt::CTRL | Qt::Key_F},
         {"编辑_分隔符0"},
         {"编辑_刷新列表", QT_TRANSLATE_NOOP("MainMenus", "刷新列表[&F]"),
          note(&NoteCommands::刷新列表), Qt::Key_F5}});
    QMenu* tools = fill(
        bar->addMenu(tr("工具[&T]")), "工具",
        {{"工具_开机启动", QT_TRANSLATE_NOOP("MainMenus", "开机自动启动程序[&R]"),
          [this] { 工具_开机启动_Click(); }},
         {"工具_桌面菜单", QT_TRANSLATE_NOOP("MainMenus", "添加桌面菜单便签[&D]")},
         {"工具_同步文件夹", QT_TRANSLATE_NOOP("MainMenus", "同步文件夹…[&Y]"), own.同步文件夹}});
    fill(bar->addMenu(tr("帮助[&H]")), "帮助",
         {{"帮助_意见反馈", QT_TRANSLATE_NOOP("MainMenus", "意见反馈[&F]"),
           [this] { 帮助_意见反馈_Click(); }},
          {"帮助_关于", QT_TRANSLATE_NOOP("MainMenus", "关于[&A]"), own.帮助_关于_Click}});

    托盘菜单 =
        fill(new QMenu(&window), "托盘菜单",
             {{"托盘菜单_新建", QT_TRANSLATE_NOOP("MainMenus", "新建便签[&N]"),
               note(&NoteCommands::新建便签)},
              {"托盘菜单_显示窗口", QT_TRANSLATE_NOOP("MainMenus", "显示窗口[&W]"), own.显示主窗体},
              {"托盘菜单_分隔符0"},
              {"托盘菜单_全部隐藏", QT_TRANSLATE_NOOP("MainMenus", "全部隐藏[&H]"),
               note(&NoteCommands::全部隐藏)},
              {"托盘菜单_全部显示", QT_TRANSLATE_NOOP("MainMenus", "全部显示[&S]"),
               note(&NoteCommands::全部显示)},
              {"托盘菜单_分隔符1"},
              {"托盘菜单_退出程序", QT_TRANSLATE_NOOP("MainMenus", "退出程序[&X]"), own.退出程序}});
    列表菜单 = fill(new QMenu(&window), "列表菜单",
                    {{"列表菜单_新建", QT_TRANSLATE_NOOP("MainMenus", "新建便签[&N]"),
                      note(&NoteCommands::新建便签)},
                     {"列表菜单_分隔符0"},
                     {"列表菜单_全部隐藏", QT_TRANSLATE_NOOP("MainMenus", "全部隐藏[&H]"),
                      note(&NoteCommands::全部隐藏)},
                     {"列表菜单_全部显示", QT_TRANSLATE_NOOP("MainMenus", "全部显示[&S]"),
                      note(&NoteCommands::全部显示)},
                     {"列表菜单_分隔符1"},
                     {"列表菜单_撤销删除", QT_TRANSLATE_NOOP("MainMenus", "撤销删除[&U]"),
                      note(&NoteCommands::撤销删除)},
                     {"列表菜单_删除", QT_TRANSLATE_NOOP("MainMenus", "删除便签[&D]"),
                      note(&NoteCommands::删除便签)},
                     {"列表菜单_修改", QT_TRANSLATE_NOOP("MainMenus", "修改便签[&E]"),
                      note(&NoteCommands::修改便签)},
                     {"列表菜单_分隔符2"},
                     {"列表菜单_刷新列表", QT_TRANSLATE_NOOP("MainMenus", "刷新列表[&F]"),
                      note(&NoteCommands::刷新列表)}});
    便签菜单 = fill(new QMenu(&window), "便签菜单",
                    {{"便签菜单_修改", QT_TRANSLATE_NOOP("MainMenus", "修改便签[&E]"),
                      atNote(&NoteCommands::便签菜单_修改)},
                     {"便签菜单_删除", QT_TRANSLATE_NOOP("MainMenus", "删除便签[&D]"),
                      atNote(&NoteCommands::便签菜单_删除)},
                     {"便签菜单_关闭窗口", QT_TRANSLATE_NOOP("MainMenus", "关闭窗口[&C]"),
                      atNote(&NoteCommands::便签菜单_关闭窗口)},
                     {"便签菜单_分隔符0"},
                     {"便签菜单_总在最前", QT_TRANSLATE_NOOP("MainMenus", "总在最前[&T]"),
                      toWindows(&NoteWindowStateCommands::便签菜单_总在最前)},
                     {"便签菜单_放大文字", QT_TRANSLATE_NOOP("MainMenus", "放大文字[&I]"),
                      textStep(1), Qt::CTRL | Qt::Key_Equal},
                     {"便签菜单_缩小文字", QT_TRANSLATE_NOOP("MainMenus", "缩小文字[&R]"),
                      textStep(-1), Qt::CTRL | Qt::Key_Minus},
                     {"便签菜单_默认大小", QT_TRANSLATE_NOOP("MainMenus", "默认大小[&Z]"),
                      textStep(0), Qt::CTRL | Qt::Key_0},
                     {"便签菜单_所有工作区", QT_TRANSLATE_NOOP("MainMenus", "在所有工作区显示[&W]"),
                      toWindows(&NoteWindowStateCommands::便签菜单_所有工作区)}});
    addColourMenu(own.当前便签ID);
    const auto item = [](QMenu* menu, const char* name) {
        return menu->findChild<QAction*>(QString::fromUtf8(name));
    };
    编辑_撤销删除 = item(edit, "编辑_撤销删除");
    列表菜单_撤销删除 = item(列表菜单, "列表菜单_撤销删除");
    工具_开机启动 = item(tools, "工具_开机启动");
    addLanguageMenu(*tools);
    便签菜单_总在最前 = item(便签菜单, "便签菜单_总在最前");
    便签菜单_所有工作区 = item(便签菜单, "便签菜单_所有工作区");
    for (QAction* action : {工具_开机启动, 便签菜单_总在最前, 便签菜单_所有工作区})
        action->setCheckable(true);
    // The keys act on a note window (and in the open menu), never on the main window.
    for (QAction* action : 便签菜单->actions()) action->setShortcutContext(Qt::WidgetShortcut);
    便签菜单_透明度 = new QMenu(tr("透明度[&O]"), 便签菜单);
    便签菜单_透明度->setObjectName(QStringLiteral("便签菜单_透明度"));
    便签菜单->insertMenu(便签菜单->findChild<QAction*>(QStringLiteral("便签菜单_放大文字")),
                         便签菜单_透明度);
    透明度档 = new QActionGroup(便签菜单_透明度);
    for (int percent = 0; percent <= 90; percent += 10) {
        QAction* step =
            便签菜单_透明度->addAction(percent == 0 ? tr("不透明") : tr("%1%透明").arg(percent));
        step->setObjectName(QStringLiteral("便签菜单_透明度_%1").arg(percent));
        step->setCheckable(true);
        step->setData(percent);
        透明度档->addAction(step);
        QObject::connect(step, &QAction::triggered, 便签菜单_透明度,
                         [&states, id = own.当前便签ID, percent] {
                             platform::runEvent([&] { states.便签菜单_透明度(id(), percent); });
                         });
    }
    // A disabled item says why in its tool tip.
    便签菜单->setToolTipsVisible(true);
    QObject::connect(便签菜单, &QMenu::aboutToShow, 便签菜单,
                     [this] { platform::runEvent([this] { 便签菜单_显示前(); }); });
    commands.notes.stateChanged = [this] { updateActionStates(); };
    commands.startWithLogin.stateChanged = [this] { updateActionStates(); };
    updateActionStates();
}

MainMenus::~MainMenus() {
    commands_.notes.stateChanged = {};
    commands_.startWithLogin.stateChanged = {};
}

void MainMenus::updateActionStates() {
    for (QAction* undo : {编辑_撤销删除, 列表菜单_撤销删除})
        undo->setEnabled(commands_.notes.撤销删除可用());
    工具_开机启动->setChecked(commands_.startWithLogin.on());

    // The note menu's items are for the note it last popped up for: none before the first.
    const std::int64_t 便签ID = 当前便签ID_();
    if (便签ID == 0) return;
    NoteWindowStates::State state;
    // An unreadable state shows the plain look; choosing an item then reports the error.
    platform::guarded([&] { state = commands_.windowStates.窗口状态(便签ID); });
    便签菜单_总在最前->setChecked(state.keepAbove);
    offer(便签菜单_总在最前,
          unavailable(platform::keepAboveHint(),
                      QT_TRANSLATE_NOOP("MainMenus", "Wayland 桌面不允许程序让窗口总在最前"),
                      QT_TRANSLATE_NOOP("MainMenus", "本系统不允许程序让窗口总在最前")));
    便签菜单_所有工作区->setChecked(state.allWorkspaces);
    offer(便签菜单_所有工作区,
          unavailable(platform::workspaceHint(),
                      QT_TRANSLATE_NOOP("MainMenus", "Wayland 桌面不允许程序选择窗口所在的工作区"),
                      QT_TRANSLATE_NOOP("MainMenus", "本系统不允许程序选择窗口所在的工作区")));
    for (QAction* step : 透明度档->actions())
        step->setChecked(step->data().toInt() == state.transparency);
    std::optional<std::pair<std::int32_t, std::int32_t>> colours;
    platform::guarded([&] { colours = commands_.notes.便签颜色(便签ID); });
    for (QAction* swatch : 颜色档->actions()) {
        const Swatch& shown = kSwatches[swatch->data().toInt()];
        swatch->setChecked(colours == std::pair{shown.back, shown.text});
    }
    offer(便签菜单_透明度->menuAction(),
          unavailable(platform::transparencyHint(),
                      QT_TRANSLATE_NOOP("MainMenus", "Wayland 桌面不允许程序设置窗口透明度"),
                      QT_TRANSLATE_NOOP("MainMenus", "本系统不允许程序设置窗口透明度")));
}

void MainMenus::addColourMenu(const std::function<std::int64_t()>& 当前便签ID) {
    QMenu* menu = new QMenu(tr("颜色[&L]"), 便签菜单);
    menu->setObjectName(QStringLiteral("便签菜单_颜色"));
    便签菜单->insertMenu(便签菜单->findChild<QAction*>(QStringLiteral("便签菜单_总在最前")), menu);
    颜色档 = new QActionGroup(menu);
    NoteCommands& notes = commands_.notes;
    const QColor border = menu->palette().color(QPalette::Mid);
    for (int i = 0; i < static_cast<int>(std::size(kSwatches)); ++i) {
        const Swatch& swatch = kSwatches[i];
        // The name is what a screen reader says of the swatch.
        QAction* action = menu->addAction(swatchIcon(swatch, border), tr(swatch.name));
        action->setObjectName(QStringLiteral("便签菜单_颜色_%1").arg(i));
        action->setCheckable(true);
        action->setData(i);
        颜色档->addAction(action);
        QObject::connect(action, &QAction::triggered, menu, [&notes, 当前便签ID, swatch] {
            platform::runEvent(
                [&] { notes.便签菜单_颜色(当前便签ID(), swatch.back, swatch.text); });
        });
    }
    menu->addSeparator();
    QAction* custom = menu->addAction(tr("自定义颜色…[&C]"));
    custom->setObjectName(QStringLiteral("便签菜单_自定义颜色"));
    QObject::connect(custom, &QAction::triggered, menu, [&notes, 当前便签ID] {
        platform::runEvent([&] { notes.便签菜单_修改(当前便签ID()); });
    });
}

void MainMenus::便签菜单_显示前() {
    updateActionStates();
    for (QAction* action :
         {便签菜单_总在最前, 便签菜单_所有工作区, 便签菜单_透明度->menuAction()}) {
        if (!action->isEnabled())
            qCDebug(lcNoteMenu).noquote() << action->text() << "disabled:" << action->toolTip();
    }
}

void MainMenus::工具_开机启动_Click() {
    commands_.startWithLogin.toggle();
}

void MainMenus::addLanguageMenu(QMenu& tools) {
    QMenu* menu = tools.addMenu(tr("界面语言[&L]"));
    menu->setObjectName(QStringLiteral("工具_界面语言"));
    界面语言档 = new QActionGroup(menu);
    // Each language's own name, whatever the interface's language.
    const std::pair<platform::LanguageChoice, QString> choices[] = {
        {platform::LanguageChoice::System, tr("跟随系统")},
        {platform::LanguageChoice::Chinese, QStringLiteral("中文")},
        {platform::LanguageChoice::English, QStringLiteral("English")}};
    for (const auto& [choice, caption] : choices) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(QStringLiteral("工具_界面语言_%1").arg(static_cast<int>(choice)));
        action->setCheckable(true);
        action->setData(static_cast<int>(choice));
        界面语言档->addAction(action);
        QObject::connect(action, &QAction::triggered, menu, [this, choice = choice] {
            platform::runEvent([this, choice] { 工具_界面语言_Click(choice); });
        });
    }
    showLanguageChoice();
}

void MainMenus::showLanguageChoice() {
    const int remembered = static_cast<int>(platform::rememberedLanguageChoice());
    for (QAction* action : 界面语言档->actions())
        action->setChecked(action->data().toInt() == remembered);
}

void MainMenus::工具_界面语言_Click(platform::LanguageChoice choice) {
    if (!platform::rememberLanguageChoice(choice)) {
        showLanguageChoice();
        platform::MsgBox(tr("无法保存界面语言的选择。请检查能否写入这个文件：\n%1")
                             .arg(QDir::toNativeSeparators(platform::settingsFilePath())),
                         platform::mb::Exclamation);
        return;
    }
    // The running windows keep their texts: the new language is said in itself, and only when
    // it is not the one in use.
    const char* const later = QT_TRANSLATE_NOOP("MainMenus", "界面语言将在下次启动程序时改变。");
    const QString said = platform::textIn(platform::languageOf(choice), "MainMenus", later);
    if (said != tr(later)) platform::MsgBox(said, platform::mb::Information);
}

void MainMenus::帮助_意见反馈_Click() {
    用户反馈::意见反馈();
}
