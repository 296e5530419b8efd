#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <stdexcept>
#include <utility>

#include "editor/note_editor.h"
#include "notewindow/note_window.h"
#include "platform/core/error.h"
#include "platform/ui/color_picker.h"
#include "platform/ui/guard.h"
#include "platform/ui/list_view.h"
#include "platform/ui/twips.h"
#include "platform/ui/web_browser.h"
#include "seams.h"
#include "shell/about_box.h"
#include "shell/main_window.h"
#include "store/database_module.h"
#include "system/update_call.h"
#include "test_helpers.h"

namespace {

// The main window with its pop-up menus recorded and its notification area decided by the test.
class TestMainWindow : public Form_Main {
  public:
    TestMainWindow(数据库操作模块& store, QStringList& popups, const bool& tray)
        : Form_Main(store) {
        setPopupMenu([&popups](QMenu* menu, const QPoint&) { popups << menu->objectName(); });
        setTrayAvailable([&tray] { return tray; });
    }
    using Form_Main::会话结束;
};

// The editors on screen (they are windows of their own, not children of the main window).
QList<Form_添加便签*> editors() {
    QList<Form_添加便签*> out;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* e = dynamic_cast<Form_添加便签*>(w); e && e->isVisible()) out << e;
    return out;
}

// The About boxes on screen.
QList<frmAbout*> aboutBoxes() {
    QList<frmAbout*> out;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* a = dynamic_cast<frmAbout*>(w); a && a->isVisible()) out << a;
    return out;
}

// A main window loaded as at start-up ("mini") over a database of the test's own.
class MainWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        qputenv("XDG_CONFIG_HOME", db.dir().toUtf8());  // the start-with-login entry
        db.exec(
            "INSERT INTO "
            "Tips(content,CreateTime,ChangeTime,Deleted,BackColor,FontColor,Visual,TopMost,"
            "Transparent) VALUES('one','2026/12/1 9:00:00','2026/12/1 9:00:00',0,255,0,1,0,20),"
            "('two','2026/12/2 9:00:00','2026/12/2 9:00:00',0,65280,0,0,0,20),"
            "('three','2026/12/3 9:00:00','2026/12/3 9:00:00',0,16711680,0,1,0,20)");
        load();
    }
    void load() {
        form = std::make_unique<TestMainWindow>(store, popups, tray);
        form->Form_Load(db.path(), "mini");
        showNotes(*form);
    }
    // The note windows of a start open from the event loop.
    static void showNotes(Form_Main& window) {
        while (window.主窗体控制器().正在分批显示()) QCoreApplication::processEvents();
    }
    void TearDown() override {
        form.reset();  // its editors and note windows go with it
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        platform::guarded([this] { store.关闭数据库(); });
        qunsetenv("XDG_CONFIG_HOME");
    }
    template <typename T = QAction>
    T* child(const char* name) {
        return testsupport::control<T>(*form, QString::fromUtf8(name));
    }
    void run(const char* action) { child(action)->trigger(); }
    platform::ListView& list() { return *child<platform::ListView>("ListView_Zettara"); }
    QStringList noteTags() {
        QStringList tags;
        for (Form_Zettara* note : form->主窗体控制器().便签窗口())
            tags << QString::number(note->noteId());
        tags.sort();
        return tags;
    }
    std::vector<Form_Zettara*> noteWindows(const QString& tag) {
        std::vector<Form_Zettara*> found;
        for (Form_Zettara* w : form->主窗体控制器().便签窗口())
            if (QString::number(w->noteId()) == tag) found.push_back(w);
        return found;
    }
    QTimer* updateTimer() { return child<QTimer>("Timer_自动升级"); }
    // Answers the next question, writes `text` in a new editor and saves and closes it.
    void saveAndClose(Form_添加便签* editor, const QString& text) {
        testsupport::control<QPlainTextEdit>(*editor, "FlatEdit_内容")->setPlainText(text);
        testsupport::control<QPushButton>(*editor, "PushButton_保存并关闭")->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    testsupport::TempNoteDb db;
    testsupport::MsgBoxRecorder boxes;
    数据库操作模块 store;
    std::unique_ptr<Form_Main> form;
    QStringList popups;
    bool tray = true;  // a notification area unless a test takes it away
};

TEST_F(MainWindowTest, LoadOpensTheGivenFileOnly) {
    EXPECT_EQ(list().count(), 3);
    EXPECT_EQ(noteTags(), (QStringList{"1", "3"}));
    EXPECT_FALSE(form->isVisible());  // "mini"
    EXPECT_EQ(store.database()->path(), db.path());

    数据库操作模块 otherStore;
    Form_Main other(otherStore);
    EXPECT_THROW(other.Form_Load(db.dir() + "/missing.mdb", ""), platform::Error);
    EXPECT_FALSE(QFile::exists(db.dir() + "/missing.mdb"));
    EXPECT_TRUE(other.主窗体控制器().便签窗口().empty());
}

TEST_F(MainWindowTest, CaptionMenusAndShortcuts) {
    EXPECT_EQ(form->windowTitle(), "Zettara-6471 - Ver.3.0.0.0");
    EXPECT_FALSE(form->windowIcon().isNull());  // the resources are linked in
    EXPECT_EQ(child<QMenu>("文件")->title(), "文件[&F]");
    EXPECT_EQ(child("文件_退出")->text(), "退出程序[&X]");
    EXPECT_EQ(child("文件_新建")->shortcut(), QKeySequence("Ctrl+N"));
    EXPECT_EQ(child("编辑_删除")->shortcut(), QKeySequence(Qt::Key_Delete));
    EXPECT_EQ(child("编辑_修改")->shortcut(), QKeySequence("Ctrl+E"));
    EXPECT_EQ(child("编辑_刷新列表")->shortcut(), QKeySequence(Qt::Key_F5));
    EXPECT_EQ(child("编辑_撤销删除")->shortcut(), QKeySequence("Ctrl+Z"));
    EXPECT_FALSE(child("编辑_全选")->isVisible());
    EXPECT_FALSE(child("工具_桌面菜单")->isVisible());
    EXPECT_TRUE(child("工具_开机启动")->isCheckable());
    const auto captions = [this](const char* menu) {
        QStringList out;
        for (QAction* a : child<QMenu>(menu)->actions())
            out << (a->isSeparator() ? "-" : a->text());
        return out;
    };
    EXPECT_EQ(captions("托盘菜单"),
              QStringList({"新建便签[&N]", "显示窗口[&W]", "-", "全部隐藏[&H]", "全部显示[&S]", "-",
                           "退出程序[&X]"}));
    EXPECT_EQ(captions("列表菜单"),
              QStringList({"新建便签[&N]", "-", "全部隐藏[&H]", "全部显示[&S]", "-", "撤销删除[&U]",
                           "删除便签[&D]", "修改便签[&E]", "-", "刷新列表[&F]"}));
    EXPECT_EQ(captions("便签菜单"),
              QStringList({"修改便签[&E]", "删除便签[&D]", "关闭窗口[&C]", "-", "颜色[&L]",
                           "总在最前[&T]", "透明度[&O]", "放大文字[&I]", "缩小文字[&R]",
                           "默认大小[&Z]", "在所有工作区显示[&W]"}));
    EXPECT_EQ(child<QTabWidget>("TabControl_Main")->tabText(0), "Zettara");
    child<platform::WebBrowser>("WebBrowser_广告");
    child<QObject>("TrayIcon");
}

TEST_F(MainWindowTest, DeleteAndModifyNeedASelectedRow) {
    list().clear();
    run("编辑_删除");
    run("编辑_修改");
    EXPECT_TRUE(boxes.boxes().empty());  // empty list: silent

    run("编辑_刷新列表");
    run("编辑_删除");
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_EQ(boxes.boxes()[0].text, "未选中任何便签！");
    EXPECT_EQ(boxes.boxes()[0].style, 16);
    EXPECT_EQ(boxes.boxes()[0].title, "Zettara-6471");
    run("列表菜单_修改");
    EXPECT_EQ(boxes.boxes().size(), 2u);
    EXPECT_EQ(db.count(), 3);
    EXPECT_TRUE(editors().isEmpty());
}

TEST_F(MainWindowTest, DeleteRemovesTableRowListRowAndEveryWindowOfTheNote) {
    const QString id = list().subItem(1, 1);
    form->主窗体控制器().便签显示(list().item(1));  // a second window of note 1
    ASSERT_EQ(noteTags().count(id), 2);

    list().setSelected(1, true);
    run("列表菜单_删除");
    EXPECT_EQ(db.count(), 2);
    EXPECT_EQ(list().count(), 2);
    EXPECT_EQ(noteTags().count(id), 0);
    EXPECT_EQ(noteTags().size(), 1);
    EXPECT_TRUE(boxes.boxes().empty());
}

TEST_F(MainWindowTest, RefreshKeepsWindowsAsTheyAre) {
    // Note 2 is listed unticked and has no window; note 1 is ticked with a window.
    list().setChecked(1, false);  // closes note 1's window
    ASSERT_EQ(noteTags().size(), 1);
    list().setChecked(2, true);  // opens note 2's window
    const QStringList before = noteTags();
    run("编辑_刷新列表");
    EXPECT_EQ(noteTags(), before);
    EXPECT_FALSE(list().checked(1));  // ticked exactly when the note has a window
    EXPECT_TRUE(list().checked(2));
    EXPECT_EQ(list().count(), 3);
    EXPECT_EQ(list().selectedIndex(), 0);
}

TEST_F(MainWindowTest, RefreshThatCannotReadTheStoreKeepsTheRows) {
    db.exec("ALTER TABLE Tips RENAME TO Elsewhere");
    run("列表菜单_刷新列表");
    EXPECT_EQ(boxes.boxes().size(), 1u);
    EXPECT_EQ(list().count(), 3);
    EXPECT_EQ(list().subItem(3, 2), "three");
}

TEST_F(MainWindowTest, KeysActOnlyOnARowTheUserPicked) {
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    const QStringList shown = noteTags();
    // The focus starts at the tab control; tabbing on to the list makes no row current.
    QWidget* focus = QApplication::focusWidget();
    auto* tabs = child<QTabWidget>("TabControl_Main");
    ASSERT_TRUE(focus == tabs || tabs->isAncestorOf(focus));
    QTest::keyClick(focus, Qt::Key_Space);
    QTest::keyClick(focus, Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), &list());
    QTest::keyClick(&list(), Qt::Key_Space);
    EXPECT_EQ(noteTags(), shown);
    EXPECT_TRUE(list().checked(1));

    // One Del deletes the picked row; the next finds nothing selected.
    QTest::keyClick(&list(), Qt::Key_Down);
    QTest::keyClick(&list(), Qt::Key_Delete);
    EXPECT_EQ(db.count(), 2);
    EXPECT_TRUE(boxes.boxes().empty());
    QTest::keyClick(&list(), Qt::Key_Delete);
    QTest::keyClick(&list(), Qt::Key_Space);
    EXPECT_EQ(db.count(), 2);
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_EQ(boxes.boxes()[0].text, "未选中任何便签！");
    EXPECT_TRUE(list().checked(2));
}

TEST_F(MainWindowTest, TabReachesEveryControlInOrderAndEachHasAName) {
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    run("编辑_查找");
    auto* tabs = child<QTabWidget>("TabControl_Main");
    QWidget* const order[] = {tabs->tabBar(), &list(), child<QLineEdit>("查找_文字"),
                              child<QWidget>("WebBrowser_广告"), tabs->tabBar()};
    QApplication::focusWidget()->clearFocus();
    tabs->tabBar()->setFocus(Qt::TabFocusReason);
    for (QWidget* control : order) {
        ASSERT_EQ(QApplication::focusWidget(), control) << control->objectName().toStdString();
        EXPECT_FALSE(
            QAccessible::queryAccessibleInterface(control)->text(QAccessible::Name).isEmpty())
            << control->objectName().toStdString();
        QTest::keyClick(control, Qt::Key_Tab);
    }
}

TEST_F(MainWindowTest, ShowAllStopsAtTheFirstNoteThatCannotOpen) {
    run("列表菜单_全部隐藏");
    db.exec("UPDATE Tips SET BackColor = NULL WHERE content IN ('one', 'two')");
    run("托盘菜单_全部显示");
    EXPECT_EQ(boxes.boxes().size(), 1u);
    EXPECT_TRUE(noteTags().isEmpty());
    EXPECT_FALSE(list().checked(3));
}

TEST_F(MainWindowTest, SecondLaunchShowsTheWindowNormalSized) {
    for (auto state : {Qt::WindowMaximized, Qt::WindowMinimized}) {
        form->setWindowState(state);
        form->hide();
        form->显示并恢复主窗体();
        EXPECT_TRUE(form->isVisible());
        EXPECT_EQ(form->windowState(), Qt::WindowNoState) << state;
    }
}

TEST_F(MainWindowTest, ShowAllAndHideAllChangeOnlyTheDesktop) {
    const QString visualBefore = db.column("SELECT group_concat(Visual) FROM Tips").value(0);
    run("托盘菜单_全部显示");
    EXPECT_EQ(noteTags().size(), 3);  // only the unticked note opened a window
    run("列表菜单_全部显示");
    EXPECT_EQ(noteTags().size(), 3);
    run("托盘菜单_全部隐藏");
    EXPECT_TRUE(noteTags().isEmpty());
    run("列表菜单_全部显示");
    EXPECT_EQ(noteTags().size(), 3);
    EXPECT_EQ(db.column("SELECT group_concat(Visual) FROM Tips").value(0), visualBefore);
}

TEST_F(MainWindowTest, NoteMenuCommandsFindTheirRowByCurrentNoteId) {
    const QString id3 = list().subItem(3, 1);
    form->showNoteMenu(999, *form, {});  // not in the list
    EXPECT_EQ(popups, QStringList{"便签菜单"});
    run("便签菜单_关闭窗口");
    run("便签菜单_删除");
    run("便签菜单_修改");
    EXPECT_EQ(noteTags().size(), 2);
    EXPECT_EQ(db.count(), 3);
    EXPECT_TRUE(editors().isEmpty());

    form->showNoteMenu(id3.toInt(), *form, {});
    run("便签菜单_关闭窗口");
    EXPECT_FALSE(list().checked(3));
    EXPECT_FALSE(noteTags().contains(id3));
    EXPECT_EQ(db.count(), 3);  // closing is not stored

    run("便签菜单_修改");
    ASSERT_EQ(editors().size(), 1);
    EXPECT_EQ(editors()[0]->便签ID(), id3.toInt());

    run("便签菜单_删除");
    EXPECT_EQ(db.count(), 2);
    EXPECT_EQ(list().count(), 2);
}

TEST_F(MainWindowTest, FindNarrowsTheListCommandsButNotTheNoteMenu) {
    run("编辑_查找");
    child<QLineEdit>("查找_文字")->setText(QStringLiteral("t\u3000E"));  // "three" only
    ASSERT_EQ(list().visibleRowCount(), 1);
    EXPECT_EQ(list().visibleRow(1), 3);
    run("列表菜单_全部隐藏");
    EXPECT_EQ(noteTags(), QStringList{"1"});  // hidden by the find, so left alone
    list().setSelected(1, true);
    EXPECT_EQ(list().selectedIndex(), 0);
    QTest::keyClick(&list(), Qt::Key_Down);
    QTest::keyClick(&list(), Qt::Key_Space);
    EXPECT_EQ(list().selectedIndex(), 3);
    EXPECT_EQ(noteTags(), (QStringList{"1", "3"}));

    form->showNoteMenu(1, *form, {});
    run("便签菜单_删除");  // note 1, not the selected row
    EXPECT_EQ(db.column("SELECT group_concat(ID) FROM Tips").value(0), "2,3");
    EXPECT_EQ(noteTags(), QStringList{"3"});
    run("编辑_刷新列表");
    EXPECT_EQ(list().visibleRowCount(), 1);
    list().setSubItem(2, 2, "gone");  // a changed text is searched anew
    EXPECT_EQ(list().visibleRowCount(), 0);
    child<QToolButton>("查找_关闭")->click();
    EXPECT_EQ(list().visibleRowCount(), 2);
}

TEST_F(MainWindowTest, NoteMenuArrangesEveryWindowOfItsNoteAndItOpensSoAgain) {
    form->主窗体控制器().便签显示(list().item(1));  // a second window of note 1
    form->showNoteMenu(1, *form, {});
    for (const char* item : {"便签菜单_总在最前", "便签菜单_透明度_30", "便签菜单_放大文字",
                             "便签菜单_放大文字", "便签菜单_缩小文字", "便签菜单_所有工作区"})
        run(item);
    QTest::keyClick(noteWindows("1")[0], Qt::Key_Equal, Qt::ControlModifier);
    QCoreApplication::sendPostedEvents();
    const auto look = [](Form_Zettara* w) {
        return QString("%1 %2 %3")
            .arg(bool(w->windowFlags() & Qt::WindowStaysOnTopHint))
            .arg(w->windowOpacity(), 0, 'f', 1)
            .arg(w->Label_Zettara->font().pointSizeF());
    };
    ASSERT_EQ(noteWindows("1").size(), 2);
    for (Form_Zettara* w : noteWindows("1")) EXPECT_EQ(look(w), "1 0.7 10");
    EXPECT_EQ(look(noteWindows("3")[0]), "0 1.0 8.25");  // untouched
    EXPECT_EQ(
        db.column("SELECT ID||KeepAbove||Opacity||TextPoints||AllWorkspaces||ifnull(Workspace,"
                  "'-') FROM NoteWindowState"),
        QStringList{"1130101-"});
    emit child<QMenu>("便签菜单")->aboutToShow();
    EXPECT_TRUE(child("便签菜单_总在最前")->isChecked());
    EXPECT_TRUE(child("便签菜单_透明度_30")->isChecked());
    EXPECT_FALSE(child("便签菜单_透明度_0")->isChecked());
    // A colour, on every window of the note at once; the menu shows it next time.
    EXPECT_FALSE(child("便签菜单_颜色_2")->isChecked());
    run("便签菜单_颜色_2");
    for (Form_Zettara* w : noteWindows("1")) EXPECT_EQ(w->backColor(), QColor(204, 240, 196));
    emit child<QMenu>("便签菜单")->aboutToShow();
    EXPECT_TRUE(child("便签菜单_颜色_2")->isChecked());

    // Opened again, and back to the plain text size.
    list().setChecked(1, false);
    list().setChecked(1, true);
    QCoreApplication::sendPostedEvents();
    ASSERT_EQ(noteWindows("1").size(), 1);
    EXPECT_EQ(look(noteWindows("1")[0]), "1 0.7 10");
    run("便签菜单_默认大小");
    EXPECT_EQ(look(noteWindows("1")[0]), "1 0.7 8.25");
}

TEST_F(MainWindowTest, ItemsShowTheProgramsStateInEveryMenu) {
    // Undo, in the menu bar and in the list menu: whether the trash holds a note.
    const auto undo = [this] {
        return std::pair(child("编辑_撤销删除")->isEnabled(),
                         child("列表菜单_撤销删除")->isEnabled());
    };
    EXPECT_EQ(undo(), std::pair(false, false));
    list().setSelected(1, true);
    run("编辑_删除");
    EXPECT_EQ(undo(), std::pair(true, true));
    run("列表菜单_撤销删除");
    EXPECT_EQ(undo(), std::pair(false, false));

    // Start with login: the choice made, read back from the entry at the next load.
    run("工具_开机启动");
    EXPECT_TRUE(child("工具_开机启动")->isChecked());
    form.reset();
    store.关闭数据库();
    load();
    EXPECT_TRUE(child("工具_开机启动")->isChecked());
    run("工具_开机启动");
    EXPECT_FALSE(child("工具_开机启动")->isChecked());
}

TEST_F(MainWindowTest, ModifyOpensAnEditorWithListedTextAndStoredColours) {
    list().setSubItem(3, 2, "listed text");  // the editor takes the text as listed
    list().setSelected(3, true);
    run("编辑_修改");
    editors()[0]->showMinimized();
    run("文件_新建");      // new notes' editors stay independent
    run("列表菜单_修改");  // the note's editor comes up instead of a second one
    const auto opened = editors();
    ASSERT_EQ(opened.size(), 2);
    for (Form_添加便签* editor : opened) {
        if (editor->便签ID() == 0) continue;
        EXPECT_FALSE(editor->isMinimized());
        EXPECT_TRUE(QTest::qWaitFor([editor] { return QApplication::activeWindow() == editor; }));
        EXPECT_EQ(editor->便签ID(), list().subItem(3, 1).toInt());
        EXPECT_EQ(testsupport::control<QPlainTextEdit>(*editor, "FlatEdit_内容")->toPlainText(),
                  "listed text");
        EXPECT_EQ(editor->内容背景颜色(), 16711680);
        EXPECT_EQ(
            testsupport::control<platform::ColorPicker>(*editor, "ColorPicker_背景颜色")->color(),
            16711680);
        EXPECT_EQ(
            testsupport::control<platform::ColorPicker>(*editor, "ColorPicker_字体颜色")->color(),
            0);
    }
}

TEST_F(MainWindowTest, AForeignFileListsOnlyNumberedNotesAndNeverRunsAnIdAsSql) {
    form.reset();
    store.关闭数据库();
    // Made elsewhere: the ID column takes any value.
    db.exec(
        "ALTER TABLE Tips RENAME TO Old; CREATE TABLE Tips(ID, content, CreateTime, "
        "ChangeTime, "
        "Deleted, BackColor, FontColor, Visual, TopMost, Transparent); "
        "INSERT INTO Tips SELECT * FROM Old; DROP TABLE Old; INSERT INTO Tips VALUES "
        "('0 OR 1=1','all',1,1,0,255,0,1,0,20), ('+2','plus',1,1,0,255,0,1,0,20), "
        "(NULL,'none',1,1,0,255,0,1,0,20), (2147483648,'big',1,1,0,NULL,-1,0,0,20), "
        "('3','text',1,1,0,255,0,0,0,20), ('003','zeros',1,1,0,255,0,0,0,20), "
        "(x'33','blob',1,1,0,255,0,0,0,20)");
    load();
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_EQ(boxes.boxes()[0].text, "有 6 个便签的编号无效，未列出。");
    ASSERT_EQ(list().count(), 4);
    EXPECT_EQ(noteTags(), (QStringList{"1", "3"}));

    // A row acts on the note it was filled from, whatever its ID text says.
    list().setSubItem(2, 1, "0 OR 1=1");
    list().setSelected(2, true);
    run("编辑_修改");
    ASSERT_EQ(editors().size(), 1);
    EXPECT_EQ(editors()[0]->便签ID(), 2);
    editors()[0]->close();
    list().setSubItem(2, 1, "2");

    form->showNoteMenu(3, *form, {});
    run("便签菜单_关闭窗口");
    EXPECT_FALSE(list().checked(3));
    run("托盘菜单_全部显示");  // the last note's NULL colour keeps its window closed
    EXPECT_EQ(noteTags(), (QStringList{"1", "2", "3"}));
    EXPECT_EQ(boxes.boxes().size(), 2u);

    // Past 32 bits, with unreadable colours: modified with a new note's colours.
    list().setSelected(4, true);
    run("编辑_修改");
    ASSERT_EQ(editors().size(), 1);
    EXPECT_EQ(editors()[0]->内容背景颜色(), 12648447);
    saveAndClose(editors()[0], "big, saved");
    EXPECT_EQ(
        db.column("SELECT BackColor||','||FontColor||','||content FROM Tips WHERE ID = 2147483648"),
        QStringList{"12648447,0,big, saved"});
    EXPECT_EQ(boxes.boxes().size(), 2u);  // a refresh leaves the unlisted rows out silently
    // Note 3 alone goes; the rows whose ID only spells 3 stay.
    list().setSelected(3, true);
    run("编辑_删除");
    EXPECT_EQ(db.column("SELECT content FROM Tips WHERE content IN ('three', 'text', 'zeros', "
                        "'blob') ORDER BY rowid"),
              (QStringList{"text", "zeros", "blob"}));
}

TEST_F(MainWindowTest, ANewerProgramsFileIsToldOnceAndDelAsksFirst) {
    form.reset();
    store.关闭数据库();
    db.exec("PRAGMA user_version = 99");
    load();
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_TRUE(boxes.boxes()[0].text.startsWith("这个便签文件来自更新版本的程序"));
    list().setSelected(1, true);
    run("编辑_删除");  // answered No
    EXPECT_EQ(boxes.boxes().size(), 2u);
    EXPECT_EQ(boxes.boxes()[1].style, platform::mb::YesNo | platform::mb::Question);
    boxes.answerNext(platform::mb::Yes);
    run("编辑_删除");
    EXPECT_EQ(db.count(), 2);
    EXPECT_EQ(list().count(), 2);

    // A trash that fails while the program runs does not keep a note from going either.
    form.reset();
    store.关闭数据库();
    db.exec("PRAGMA user_version = 3");
    load();
    db.exec("DROP TABLE NoteTrash");
    list().setSelected(1, true);
    boxes.answerNext(platform::mb::Yes);
    run("编辑_删除");
    EXPECT_EQ(boxes.boxes().back().text, boxes.boxes()[1].text);
    EXPECT_EQ(db.count(), 1);
}

TEST_F(MainWindowTest, ImportAddsTwinsOnceRecoloursAndOpensTheShownNotesAtOnce) {
    QFile file(db.dir() + "/in.json");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    const QByteArray twin =
        R"({"tips": {"content": "twin", "BackColor": 255, "FontColor": 0, "Visual": 1}})";
    file.write(R"({"format": "zettara-notes", "version": 1, "notes": [)" + twin + "," + twin +
               R"(, {"tips": {"content": "odd", "BackColor": 1099511627776, "Visual": 1}}]})");
    file.close();
    testsupport::whenModalOpens([&file](QWidget* modal) {
        qobject_cast<QFileDialog*>(modal)->selectFile(file.fileName());
        qobject_cast<QDialog*>(modal)->accept();
    });
    run("文件_导入");
    EXPECT_EQ(db.column("SELECT content || BackColor || FontColor FROM Tips WHERE ID > 3"),
              (QStringList{"twin2550", "odd126484470"}));
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_TRUE(boxes.boxes()[0].text.contains("跳过 1 个"));
    EXPECT_TRUE(boxes.boxes()[0].text.contains("其中 1 个便签的颜色无效"));
    EXPECT_EQ(noteTags(), (QStringList{"1", "3", "4", "5"}));
}

// After every kind of change the list holds exactly what emptying and filling it again would
// give, though only the rows that differ were touched.
TEST_F(MainWindowTest, TheListFollowsEveryChangeAsAFullReloadWould) {
    const auto rows = [](platform::ListView& view) {
        QStringList out;  // one line per row, so that a failure shows which
        for (int i = 1; i <= view.count(); ++i) {
            out << QStringLiteral("%1|%2|%3|%4|%5|%6")
                       .arg(view.id(i).value_or(-1))
                       .arg(view.subItem(i, 1), view.subItem(i, 2), view.subItem(i, 3),
                            view.subItem(i, 4))
                       .arg(view.checked(i));
        }
        return out.join('\n').toStdString();
    };
    // The undo alone selects a row: the note it brought back.
    const auto expectAsReloaded = [&](const char* after, int selected = 0) {
        platform::ListView fresh;
        form->主窗体控制器().刷新数据(fresh, form->主窗体控制器().获取数据(),
                                      Class_主窗体::Ticks::FromWindows);
        EXPECT_EQ(rows(list()), rows(fresh)) << after;
        EXPECT_EQ(list().selectedIndex(), selected) << after;
        for (int i = 1; i <= list().count(); ++i)
            EXPECT_EQ(list().indexOf(*list().id(i)), i) << after;
    };
    const auto modify = [&](int row, const QString& text) {
        list().setSelected(row, true);
        run("编辑_修改");
        ASSERT_EQ(editors().size(), 1);
        saveAndClose(editors()[0], text);
    };

    modify(2, "two, changed");
    expectAsReloaded("a modified note");
    run("托盘菜单_新建");
    saveAndClose(editors()[0], "four");
    expectAsReloaded("a new note");
    list().setSelected(2, true);
    run("编辑_删除");
    expectAsReloaded("a delete");
    run("编辑_撤销删除");
    expectAsReloaded("an undone delete, back between two rows", 2);

    // Another program changes the file: a row in the middle goes, one comes, one changes.
    db.exec(
        "DELETE FROM Tips WHERE ID = 3; UPDATE Tips SET content = 'one, elsewhere' "
        "WHERE ID = 1; INSERT INTO Tips(ID, content, CreateTime, ChangeTime, Visual) "
        "VALUES (10, 'ten', '2026/12/9', '2026/12/9', 1)");
    modify(4, "four, changed");
    expectAsReloaded("a save after changes elsewhere");
    db.exec("DELETE FROM Tips WHERE ID = 10; INSERT INTO Tips(ID, content) VALUES (3, 'back')");
    run("编辑_刷新列表");
    expectAsReloaded("a refresh");
    EXPECT_TRUE(boxes.boxes().empty());
}

TEST_F(MainWindowTest, ModifyOfANoteDeletedMeanwhileLeavesNoEditor) {
    const int windowsBefore = static_cast<int>(QApplication::topLevelWidgets().size());
    db.exec("DELETE FROM Tips WHERE ID = " + list().subItem(2, 1));
    list().setSelected(2, true);
    run("编辑_修改");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(boxes.boxes().empty());
    EXPECT_TRUE(editors().isEmpty());
    EXPECT_LE(static_cast<int>(QApplication::topLevelWidgets().size()), windowsBefore);
}

TEST_F(MainWindowTest, SaveAndCloseOfANewNoteOpensItsWindowOnly) {
    const QPointer<Form_Zettara> one = noteWindows("1")[0];
    run("托盘菜单_新建");
    ASSERT_EQ(editors().size(), 1);
    saveAndClose(editors()[0], "newest");

    EXPECT_TRUE(editors().isEmpty());
    ASSERT_EQ(list().count(), 4);
    EXPECT_EQ(list().subItem(4, 2), "newest");
    EXPECT_TRUE(list().checked(4));
    const std::vector<Form_Zettara*> opened = noteWindows(list().subItem(4, 1));
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0]->text(), "newest");
    EXPECT_EQ(noteTags().size(), 3);
    EXPECT_FALSE(one.isNull());  // the other notes' windows stay as they were
    EXPECT_TRUE(boxes.boxes().empty());
}

TEST_F(MainWindowTest, SaveAndCloseOfAModifiedNoteLeavesCheckMarksAlone) {
    // The last row's note is on the desktop; a toggle of its mark would close and reopen it.
    const QPointer<Form_Zettara> last = noteWindows("3")[0];
    const QPointer<Form_Zettara> modified = noteWindows("1")[0];
    list().setSelected(1, true);
    run("编辑_修改");
    ASSERT_EQ(editors().size(), 1);
    testsupport::control<platform::ColorPicker>(*editors()[0], "ColorPicker_背景颜色")
        ->setColor(0x000000FF);
    saveAndClose(editors()[0], "changed");

    EXPECT_TRUE(editors().isEmpty());
    EXPECT_EQ(db.column("SELECT content FROM Tips WHERE ID = 1"), QStringList{"changed"});
    ASSERT_FALSE(modified.isNull());
    EXPECT_EQ(modified->text(), "changed");
    EXPECT_EQ(modified->backColor(), QColor(255, 0, 0));
    ASSERT_FALSE(last.isNull());
    EXPECT_FALSE(last->isClosing());
    EXPECT_EQ(noteWindows("3").size(), 1u);
}

TEST_F(MainWindowTest, ASaveStandsWhenWhatFollowsItFails) {
    // The list cannot be reloaded after the save: told once, no mark is touched.
    db.exec("ALTER TABLE Tips RENAME TO Elsewhere");
    form->便签已保存(0, true);
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_EQ(boxes.boxes()[0].style, 48);
    EXPECT_TRUE(boxes.boxes()[0].text.startsWith("便签已保存，但列表暂时无法刷新（错误 1："));
    EXPECT_EQ(noteTags(), (QStringList{"1", "3"}));
    db.exec("ALTER TABLE Elsewhere RENAME TO Tips");

    // Stored, but with a colour its desktop window cannot take: told once, the editor closes.
    db.exec(
        "CREATE TRIGGER spoil AFTER INSERT ON Tips BEGIN "
        "UPDATE Tips SET BackColor = NULL WHERE ID = new.ID; END");
    run("文件_新建");
    saveAndClose(editors()[0], "saved");
    EXPECT_EQ(db.count(), 4);
    EXPECT_EQ(boxes.boxes().size(), 2u);
    EXPECT_TRUE(editors().isEmpty());
    EXPECT_EQ(noteTags(), (QStringList{"1", "3"}));
}

TEST_F(MainWindowTest, AReloadMetByALockIsToldAsSavedAndDoneOnTheNextActivation) {
    // A new note's save-and-close has stored its row; then another program locks the file.
    store.database()->execute(
        "INSERT INTO Tips SELECT NULL,'four',CreateTime,ChangeTime,Deleted,BackColor,"
        "FontColor,Visual,TopMost,Transparent FROM Tips WHERE ID = 1");
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(db.path().toUtf8().constData(), &other), SQLITE_OK);
    sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr);
    form->便签已保存(0, true);
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_EQ(boxes.boxes()[0].text,
              "便签已保存，但列表暂时无法刷新（便签文件被占用）。稍后会自动刷新。");

    sqlite3_close(other);  // rolls back and unlocks
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(form.get(), &activate);
    QCoreApplication::processEvents();
    ASSERT_EQ(list().count(), 4);
    EXPECT_EQ(noteWindows(list().subItem(4, 1)).size(), 1u);
    EXPECT_EQ(boxes.boxes().size(), 1u);
}

TEST_F(MainWindowTest, ANewNotesWindowMetByALockIsToldAsSavedAndOpensLater) {
    // The reload after the save works; then another program locks the file before the window.
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(db.path().toUtf8().constData(), &other), SQLITE_OK);
    list().itemCheck = [&, lock = true, wired = list().itemCheck](auto item) mutable {
        if (std::exchange(lock, false)) sqlite3_exec(other, "BEGIN EXCLUSIVE", {}, {}, {});
        wired(item);
    };
    run("文件_新建");
    saveAndClose(editors()[0], "four");
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_EQ(boxes.boxes()[0].text,
              "便签已保存，但列表暂时无法刷新（便签文件被占用）。稍后会自动刷新。");
    sqlite3_close(other);
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(form.get(), &activate);
    QCoreApplication::processEvents();
    EXPECT_EQ(noteWindows(list().subItem(4, 1)).size(), 1u);
}

TEST_F(MainWindowTest, ASecondLaunchDuringAStartUpBoxShowsTheWindowOnceLoaded) {
    db.exec("UPDATE Tips SET BackColor = NULL WHERE ID = 1");  // a box at start-up
    数据库操作模块 otherStore;
    QStringList otherPopups;
    TestMainWindow other(otherStore, otherPopups, tray);
    const auto recorder =
        testsupport::Seams::setMsgBoxImpl([&](const QString&, int, const QString&) {
            other.显示并恢复主窗体();  // the request arrives while the box waits
            EXPECT_EQ(other.主窗体控制器().便签窗口().size(), 1u);  // every note had its turn
            return platform::mb::Ok;
        });
    other.Form_Load(db.path(), "mini");
    EXPECT_TRUE(other.主窗体控制器().便签窗口().empty());  // the notes open after the load
    showNotes(other);
    testsupport::Seams::setMsgBoxImpl(recorder);
    EXPECT_TRUE(other.isVisible());
    otherStore.关闭数据库();
}

TEST_F(MainWindowTest, RightButtonOnTheListPopsUpTheListMenuEvenWhenEmpty) {
    list().clear();
    list().mouseUp(2, 0, 10, 10);
    list().mouseUp(1, 0, 10, 10);
    EXPECT_EQ(popups, QStringList({"列表菜单"}));
}

TEST_F(MainWindowTest, ResizeRuleKeepsTheListInsideAndNeverGoesNegative) {
    form->show();
    auto* tabs = child<QTabWidget>("TabControl_Main");
    for (QSize size : {QSize(800, 600), QSize(400, 300), QSize(60, 40), QSize(1200, 900)}) {
        form->resize(size);
        QCoreApplication::processEvents();
        const QWidget* client = form->centralWidget();
        const QRect tab = tabs->geometry();
        EXPECT_GE(tab.width(), 0);
        EXPECT_GE(tab.height(), 0);
        if (client->height() > platform::twips::toPixels(1200)) {
            EXPECT_LE(tab.bottom(), client->height());  // the list stays inside the window
            EXPECT_NEAR(tab.width(), client->width() - platform::twips::toPixels(30), 1);
        }
        EXPECT_GE(list().width(), 0);
        EXPECT_GE(list().height(), 0);
        EXPECT_EQ(child<platform::WebBrowser>("WebBrowser_广告")->width(), client->width());
    }
    const QRect before = tabs->geometry();
    form->showMinimized();
    QCoreApplication::processEvents();
    form->resize(500, 400);
    QCoreApplication::processEvents();
    EXPECT_EQ(tabs->geometry(), before);
    form->showNormal();
}

TEST_F(MainWindowTest, AboutIsOneBoxWhileOpenAndANewOneOnceClosed) {
    run("帮助_关于");
    run("帮助_关于");
    ASSERT_EQ(aboutBoxes().size(), 1);
    const QPointer<frmAbout> first = aboutBoxes()[0];
    testsupport::control<QPushButton>(*first, "cmdOK")->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(first.isNull());
    run("帮助_关于");
    ASSERT_EQ(aboutBoxes().size(), 1);
    EXPECT_EQ(testsupport::control<QLabel>(*aboutBoxes()[0], "lblVersion")->text(), "版本 3.0.0.0");
}

TEST_F(MainWindowTest, ExitAnsweredNoChangesNothingAndYesClosesEverythingOnce) {
    form->show();
    run("文件_新建");
    run("帮助_关于");
    ASSERT_EQ(editors().size(), 1);
    boxes.answerNext(platform::mb::No);
    run("文件_退出");
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_EQ(boxes.boxes()[0].text, "退出本程序后Zettara将不再显示，是否确定？");
    EXPECT_EQ(boxes.boxes()[0].style, 0x24);
    EXPECT_EQ(boxes.boxes()[0].title, "确定退出");
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(noteTags().size(), 2);
    EXPECT_EQ(aboutBoxes().size(), 1);

    boxes.answerNext(platform::mb::Yes);
    run("托盘菜单_退出程序");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(noteTags().isEmpty());
    EXPECT_TRUE(editors().isEmpty());
    EXPECT_TRUE(aboutBoxes().isEmpty());
    EXPECT_FALSE(store.database()->isOpen());
    EXPECT_EQ(boxes.boxes().size(), 2u);  // closing the database raised nothing
}

TEST_F(MainWindowTest, ChangedEditorsAskBeforeARestoreAndAreSavedUnaskedAtTheSessionEnd) {
    QDir(db.dir()).mkdir("backups", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QFile::copy(db.path(), db.dir() + "/backups/Zettara-2026-12-01.mdb");
    list().setSelected(1, true);
    run("编辑_修改");
    run("文件_新建");
    for (Form_添加便签* editor : editors())
        testsupport::control<QPlainTextEdit>(*editor, "FlatEdit_内容")
            ->setPlainText(editor->便签ID() ? "one, changed" : "typed");
    testsupport::whenModalOpens(
        [](QWidget* dialog) { QMetaObject::invokeMethod(dialog, "accept"); });
    boxes.answerNext(platform::mb::Yes);  // the restore; the editor's question then: 取消
    run("文件_从备份恢复");
    EXPECT_EQ(boxes.boxes().back().text, "内容已修改，是否保存？");
    EXPECT_EQ(QDir(db.dir() + "/backups").entryList(QDir::Files).size(), 1);  // nothing replaced

    static_cast<TestMainWindow&>(*form).会话结束();
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(db.column("SELECT content FROM Tips ORDER BY ID"),
              QStringList({"one, changed", "two", "three", "typed"}));
    EXPECT_EQ(boxes.boxes().size(), 2u);  // the restore's and the editor's, nothing since
    EXPECT_TRUE(editors().isEmpty());
    EXPECT_FALSE(store.database()->isOpen());
}

TEST_F(MainWindowTest, CloseBoxOnlyHides) {
    form->show();
    form->close();
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(store.database()->isOpen());
    EXPECT_EQ(noteTags().size(), 2);

    // Without a notification area it is minimised instead, so it can still be reached.
    tray = false;
    form->show();
    form->close();
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(form->isMinimized());
    EXPECT_TRUE(store.database()->isOpen());
}

TEST_F(MainWindowTest, UpdateTimerCallsOnceAfterLoad) {
    QList<QByteArray> calls;
    testsupport::Seams::setUpdateCall([&calls](const QByteArray& address) {
        calls << address;
        return 0;
    });
    // The timer runs from the creation of the controls, 2 s; here it is made to tick at once.
    QTimer* timer = updateTimer();
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 2000);
    timer->setInterval(0);
    EXPECT_TRUE(calls.isEmpty());
    EXPECT_TRUE(QTest::qWaitFor([&calls] { return !calls.isEmpty(); }, 5000));
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    testsupport::Seams::setUpdateCall({});
    ASSERT_EQ(calls.size(), 1);
    EXPECT_EQ(calls[0], "https://www.zettara-6471.example/update/Zettara.txt");
    EXPECT_FALSE(timer->isActive());
}

TEST_F(MainWindowTest, NoUpdateCallWhenTheProgramEndsBeforeTheTick) {
    int calls = 0;
    testsupport::Seams::setUpdateCall([&calls](const QByteArray&) { return ++calls; });
    updateTimer()->setInterval(0);  // due at the next pass of the event loop
    boxes.answerNext(platform::mb::Yes);
    run("文件_退出");
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    testsupport::Seams::setUpdateCall({});
    EXPECT_EQ(calls, 0);
    EXPECT_FALSE(updateTimer()->isActive());
}

// An error no handler expects reaches the application object, which reports it; the program
// goes on. Platform errors stop at the step or handler that expects them.
TEST(ErrorBoundary, WhatNoHandlerExpectsIsReportedOnceAndTheProgramGoesOn) {
    testsupport::MsgBoxRecorder boxes;
    // The program's own words first, what the callee said after them in brackets.
    const QString unexpected = QStringLiteral(
        "程序出了意外的错误，这一步没有完成。请再试一次；如果问题一再出现，请重新启动程序。");
    struct Faulty : QObject {
        bool event(QEvent*) override { throw std::logic_error("broken"); }
    } faulty;
    QEvent event(QEvent::User);
    EXPECT_FALSE(QCoreApplication::sendEvent(&faulty, &event));
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_EQ(boxes.boxes()[0].text, unexpected + "\n（broken）");
    EXPECT_EQ(boxes.boxes()[0].style, 16);

    EXPECT_THROW(platform::guarded([] { throw std::logic_error("not ours"); }), std::logic_error);
    EXPECT_FALSE(platform::guarded([] { throw platform::Error(3, "expected"); }));

    // A menu command that throws anything stops at its handler, never unwinding through Qt.
    QAction command;
    int thrown = 0;
    QObject::connect(&command, &QAction::triggered, [&] {
        platform::runEvent([&] {
            ++thrown;
            if (thrown == 1) throw platform::Error(3, "expected");
            if (thrown == 2) throw std::logic_error("not ours");
            throw 42;
        });
    });
    for (int i = 0; i < 3; ++i) EXPECT_NO_THROW(command.trigger());
    ASSERT_EQ(boxes.boxes().size(), 4u);
    EXPECT_EQ(boxes.boxes()[1].text, "expected\n（错误 3）");
    EXPECT_EQ(boxes.boxes()[2].text, unexpected + "\n（not ours）");
    EXPECT_EQ(boxes.boxes()[3].text, unexpected);
}

}  // namespace
