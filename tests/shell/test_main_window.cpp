#include <gtest/gtest.h>

#include <QApplication>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include "editor/note_editor.h"
#include "note_windows.h"
#include "notewindow/note_window.h"
#include "platform/color_picker.h"
#include "platform/guard.h"
#include "platform/list_view.h"
#include "platform/twips.h"
#include "platform/web_browser.h"
#include "shell/main_window.h"
#include "store/shared_objects.h"
#include "system/update_call.h"
#include "test_helpers.h"

namespace {

template <typename T>
QList<T*> liveWindows() {
    QList<T*> out;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* t = dynamic_cast<T*>(w); t && t->isVisible()) out << t;
    return out;
}

QStringList noteTags() {
    return testsupport::openNoteTags();
}

void closeAllWindows() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (dynamic_cast<Form_Zettara*>(w) || dynamic_cast<Form_添加便签*>(w)) w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// A main window over a database of the test's own, loaded as at start-up but for the file's
// place (the program folder of a test executable holds no note database).
class MainWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        db.exec(
            "INSERT INTO "
            "Tips(content,CreateTime,ChangeTime,Deleted,BackColor,FontColor,Visual,TopMost,"
            "Transparent) VALUES('one','2026/12/1 9:00:00','2026/12/1 9:00:00',0,255,0,1,0,20),"
            "('two','2026/12/2 9:00:00','2026/12/2 9:00:00',0,65280,0,0,0,20),"
            "('three','2026/12/3 9:00:00','2026/12/3 9:00:00',0,16711680,0,1,0,20)");
        数据库对象().打开数据库(db.path(), "");
        form = std::make_unique<Form_Main>();
        form->popupMenu = [this](QMenu* menu) { popups << menu->objectName(); };
        form->主窗体控制器().初始化界面(*form->ListView_Zettara);
        form->主窗体控制器().初始化便签显示(*form->ListView_Zettara);
    }
    void TearDown() override {
        closeAllWindows();
        form.reset();
        platform::guarded([] { 数据库对象().关闭数据库(); });
    }
    platform::ListView& list() { return *form->ListView_Zettara; }
    QString tableIds() { return db.column("SELECT group_concat(ID) FROM Tips").value(0); }

    testsupport::TempNoteDb db;
    testsupport::MsgBoxRecorder boxes;
    std::unique_ptr<Form_Main> form;
    QStringList popups;
};

TEST_F(MainWindowTest, CaptionMenusAndShortcuts) {
    EXPECT_EQ(form->windowTitle(), "Zettara-6471 - Ver.3.0.0.0");
    EXPECT_EQ(form->文件->title(), "文件[&F]");
    EXPECT_EQ(form->文件_退出->text(), "退出程序[&X]");
    EXPECT_EQ(form->文件_新建->shortcut(), QKeySequence("Ctrl+N"));
    EXPECT_EQ(form->编辑_删除->shortcut(), QKeySequence(Qt::Key_Delete));
    EXPECT_EQ(form->编辑_修改->shortcut(), QKeySequence("Ctrl+E"));
    EXPECT_EQ(form->编辑_刷新列表->shortcut(), QKeySequence(Qt::Key_F5));
    EXPECT_FALSE(form->编辑_全选->isVisible());
    EXPECT_FALSE(form->工具_桌面菜单->isVisible());
    QStringList tray;
    for (QAction* a : form->托盘菜单->actions()) tray << (a->isSeparator() ? "-" : a->text());
    EXPECT_EQ(tray, QStringList({"新建便签[&N]", "显示窗口[&W]", "-", "全部隐藏[&H]",
                                 "全部显示[&S]", "-", "退出程序[&X]"}));
    QStringList listMenu;
    for (QAction* a : form->列表菜单->actions()) listMenu << (a->isSeparator() ? "-" : a->text());
    EXPECT_EQ(listMenu, QStringList({"新建便签[&N]", "-", "全部隐藏[&H]", "全部显示[&S]", "-",
                                     "删除便签[&D]", "修改便签[&E]", "-", "刷新列表[&F]"}));
    EXPECT_EQ(form->TabControl_Main->tabText(0), "Zettara");
}

TEST_F(MainWindowTest, DeleteAndModifyNeedASelectedRow) {
    list().clear();
    form->删除便签();
    form->修改便签();
    EXPECT_TRUE(boxes.boxes().empty());  // empty list: silent

    form->编辑_刷新列表_Click();
    form->删除便签();
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_EQ(boxes.boxes()[0].text, "未选中任何便签！");
    EXPECT_EQ(boxes.boxes()[0].style, 16);
    EXPECT_EQ(boxes.boxes()[0].title, "Zettara-6471");
    form->修改便签();
    EXPECT_EQ(boxes.boxes().size(), 2u);
    EXPECT_EQ(db.count(), 3);
    EXPECT_TRUE(liveWindows<Form_添加便签>().isEmpty());
}

TEST_F(MainWindowTest, DeleteRemovesTableRowListRowAndEveryWindowOfTheNote) {
    const QString id = list().subItem(1, 1);
    list().setChecked(1, false);
    list().setChecked(1, true);
    list().setChecked(3, false);
    list().setChecked(3, true);  // two rows ticked, note 1 has one window, note 3 one
    form->主窗体控制器().便签显示(list().item(1));  // a second window of note 1
    ASSERT_EQ(noteTags().count(id), 2);

    list().setSelected(1, true);
    form->删除便签();
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
    form->编辑_刷新列表_Click();
    EXPECT_EQ(noteTags(), before);
    EXPECT_TRUE(list().checked(1));  // ticks come from the table again
    EXPECT_FALSE(list().checked(2));
    EXPECT_EQ(list().count(), 3);
    EXPECT_EQ(list().selectedIndex(), 0);
}

TEST_F(MainWindowTest, RefreshThatCannotReadTheStoreKeepsTheRows) {
    db.exec("ALTER TABLE Tips RENAME TO Elsewhere");
    form->编辑_刷新列表->trigger();
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
    ASSERT_TRUE(focus == form->TabControl_Main || form->TabControl_Main->isAncestorOf(focus));
    QTest::keyClick(focus, Qt::Key_Space);
    QTest::keyClick(focus, Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), form->ListView_Zettara);
    QTest::keyClick(form->ListView_Zettara, Qt::Key_Space);
    EXPECT_EQ(noteTags(), shown);
    EXPECT_TRUE(list().checked(1));

    // One Del deletes the picked row; the next finds nothing selected.
    QTest::keyClick(form->ListView_Zettara, Qt::Key_Down);
    QTest::keyClick(form->ListView_Zettara, Qt::Key_Delete);
    EXPECT_EQ(db.count(), 2);
    EXPECT_TRUE(boxes.boxes().empty());
    QTest::keyClick(form->ListView_Zettara, Qt::Key_Delete);
    QTest::keyClick(form->ListView_Zettara, Qt::Key_Space);
    EXPECT_EQ(db.count(), 2);
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_EQ(boxes.boxes()[0].text, "未选中任何便签！");
    EXPECT_TRUE(list().checked(2));
}

TEST_F(MainWindowTest, ShowAllStopsAtTheFirstNoteThatCannotOpen) {
    form->全部隐藏();
    db.exec("UPDATE Tips SET BackColor = NULL WHERE content IN ('one', 'two')");
    form->托盘菜单_全部显示->trigger();
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
    form->全部显示();
    EXPECT_EQ(noteTags().size(), 3);  // only the unticked note opened a window
    form->全部显示();
    EXPECT_EQ(noteTags().size(), 3);
    form->全部隐藏();
    EXPECT_TRUE(noteTags().isEmpty());
    form->全部显示();
    EXPECT_EQ(noteTags().size(), 3);
    EXPECT_EQ(db.column("SELECT group_concat(Visual) FROM Tips").value(0), visualBefore);
}

TEST_F(MainWindowTest, NoteMenuCommandsFindTheirRowByCurrentNoteId) {
    const QString id3 = list().subItem(3, 1);
    form->当前便签ID = 999;  // not in the list
    form->便签菜单_关闭窗口->trigger();
    form->便签菜单_删除->trigger();
    form->便签菜单_修改->trigger();
    EXPECT_EQ(noteTags().size(), 2);
    EXPECT_EQ(db.count(), 3);
    EXPECT_TRUE(liveWindows<Form_添加便签>().isEmpty());

    form->当前便签ID = id3.toInt();
    form->便签菜单_关闭窗口->trigger();
    EXPECT_FALSE(list().checked(3));
    EXPECT_FALSE(noteTags().contains(id3));
    EXPECT_EQ(db.count(), 3);  // closing is not stored

    form->便签菜单_修改->trigger();
    ASSERT_EQ(liveWindows<Form_添加便签>().size(), 1);
    EXPECT_EQ(liveWindows<Form_添加便签>()[0]->便签ID, id3.toInt());

    form->便签菜单_删除->trigger();
    EXPECT_EQ(db.count(), 2);
    EXPECT_EQ(list().count(), 2);
}

TEST_F(MainWindowTest, ModifyOpensAnEditorWithListedTextAndStoredColours) {
    list().setSubItem(3, 2, "listed text");  // the editor takes the text as listed
    list().setSelected(3, true);
    form->修改便签();
    form->修改便签();
    const auto editors = liveWindows<Form_添加便签>();
    ASSERT_EQ(editors.size(), 2);  // a second modify opens a second editor
    for (Form_添加便签* editor : editors) {
        EXPECT_EQ(editor->便签ID, list().subItem(3, 1).toInt());
        EXPECT_EQ(editor->FlatEdit_内容->toPlainText(), "listed text");
        EXPECT_EQ(editor->ColorPicker_背景颜色->color(), 16711680);
        EXPECT_EQ(editor->ColorPicker_字体颜色->color(), 0);
    }
}

TEST_F(MainWindowTest, ModifyOfANoteDeletedMeanwhileLeavesNoEditor) {
    const int editorsBefore = static_cast<int>(QApplication::topLevelWidgets().size());
    db.exec("DELETE FROM Tips WHERE ID = " + list().subItem(2, 1));
    list().setSelected(2, true);
    form->修改便签();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(boxes.boxes().empty());
    int editors = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        editors += dynamic_cast<Form_添加便签*>(w) != nullptr;
    EXPECT_EQ(editors, 0);
    EXPECT_LE(static_cast<int>(QApplication::topLevelWidgets().size()), editorsBefore);
}

TEST_F(MainWindowTest, RightButtonOnTheListPopsUpTheListMenuEvenWhenEmpty) {
    list().clear();
    list().mouseUp(2, 0, 10, 10);
    list().mouseUp(1, 0, 10, 10);
    EXPECT_EQ(popups, QStringList({"列表菜单"}));
}

TEST_F(MainWindowTest, ResizeRuleKeepsTheListInsideAndNeverGoesNegative) {
    form->show();
    for (QSize size : {QSize(800, 600), QSize(400, 300), QSize(60, 40), QSize(1200, 900)}) {
        form->resize(size);
        QCoreApplication::processEvents();
        form->Form_Resize();
        const QWidget* client = form->centralWidget();
        const QRect tab = form->TabControl_Main->geometry();
        EXPECT_GE(tab.width(), 0);
        EXPECT_GE(tab.height(), 0);
        if (client->height() > platform::twips::toPixels(1200)) {
            EXPECT_LE(tab.bottom(), client->height());  // the list stays inside the window
            EXPECT_NEAR(tab.width(), client->width() - platform::twips::toPixels(30), 1);
        }
        EXPECT_GE(form->ListView_Zettara->width(), 0);
        EXPECT_GE(form->ListView_Zettara->height(), 0);
        EXPECT_EQ(form->WebBrowser_广告->width(), client->width());
    }
    const QRect before = form->TabControl_Main->geometry();
    form->showMinimized();
    QCoreApplication::processEvents();
    form->Form_Resize();
    EXPECT_EQ(form->TabControl_Main->geometry(), before);
    form->showNormal();
}

TEST_F(MainWindowTest, ExitAnsweredNoChangesNothingAndYesClosesEverythingOnce) {
    form->show();
    form->新建便签();
    ASSERT_EQ(liveWindows<Form_添加便签>().size(), 1);
    boxes.answerNext(platform::mb::No);
    form->文件_退出->trigger();
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_EQ(boxes.boxes()[0].text, "退出本程序后Zettara将不再显示，是否确定？");
    EXPECT_EQ(boxes.boxes()[0].style, 0x24);
    EXPECT_EQ(boxes.boxes()[0].title, "确定退出");
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(noteTags().size(), 2);

    boxes.answerNext(platform::mb::Yes);
    form->托盘菜单_退出程序->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(noteTags().isEmpty());
    EXPECT_TRUE(liveWindows<Form_添加便签>().isEmpty());
    EXPECT_FALSE(数据库对象().database()->isOpen());
    EXPECT_EQ(boxes.boxes().size(), 2u);  // closing the database raised nothing
}

TEST_F(MainWindowTest, CloseBoxOnlyHides) {
    form->show();
    form->close();
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(数据库对象().database()->isOpen());
    EXPECT_EQ(noteTags().size(), 2);
}

TEST_F(MainWindowTest, UpdateTimerCallsOnceAfterLoad) {
    QList<QByteArray> calls;
    modUpdate::setCallForTests([&calls](const QByteArray& address) {
        calls << address;
        return 0;
    });
    // The timer runs from the creation of the controls.
    EXPECT_TRUE(form->Timer_自动升级->isActive());
    EXPECT_EQ(form->Timer_自动升级->interval(), 2000);
    EXPECT_TRUE(calls.isEmpty());
    QTest::qWait(2600);
    QTest::qWait(2200);
    modUpdate::setCallForTests({});
    ASSERT_EQ(calls.size(), 1);
    EXPECT_EQ(calls[0], "https://www.zettara-6471.example/update/Zettara.txt");
    EXPECT_FALSE(form->Timer_自动升级->isActive());
}

TEST_F(MainWindowTest, NoUpdateCallWhenTheProgramEndsBeforeTheTick) {
    int calls = 0;
    modUpdate::setCallForTests([&calls](const QByteArray&) { return ++calls; });
    boxes.answerNext(platform::mb::Yes);
    form->退出程序();
    form.reset();
    QTest::qWait(2300);
    modUpdate::setCallForTests({});
    EXPECT_EQ(calls, 0);
}

}  // namespace
