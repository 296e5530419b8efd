#include <sqlite3.h>

#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>

#include "editor_fixture.h"
#include "notewindow/note_window.h"
#include "platform/app.h"
#include "platform/color_picker.h"

namespace editortest {
namespace {

const QString kEmptyMessage = QStringLiteral("未填写任何内容！");

QString field(const testsupport::TempNoteDb& db, const QString& column, int id) {
    return db.column(QStringLiteral("SELECT %1 FROM Tips WHERE ID = %2").arg(column).arg(id))
        .value(0);
}

// The open desktop note windows of one note.
std::vector<Form_Zettara*> noteWindows(int id) {
    std::vector<Form_Zettara*> found;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* window = dynamic_cast<Form_Zettara*>(widget);
        if (window && !window->isClosing() && window->idTag() == QString::number(id))
            found.push_back(window);
    }
    return found;
}

int lastId(const testsupport::TempNoteDb& db) {
    return db.column(QStringLiteral("SELECT max(ID) FROM Tips")).value(0).toInt();
}

// A complete, ticked note row written straight into the file; returns its ID.
int insertRow(const testsupport::TempNoteDb& db, const QString& content) {
    db.exec(QStringLiteral("INSERT INTO Tips(content,CreateTime,ChangeTime,Deleted,BackColor,"
                           "FontColor,Visual,TopMost,Transparent) VALUES('%1','2020/1/2 3:04:05',"
                           "'2020/1/2 3:04:05',0,255,65280,1,0,70)")
                .arg(content));
    return lastId(db);
}

TEST_F(EditorTest, NewNoteIsStoredWithTheDefaults) {
    setClock(QDateTime(QDate(2026, 12, 6), QTime(1, 47, 55)));
    Form_添加便签* editor = openEditor();
    editor->FlatEdit_内容->setPlainText(QStringLiteral("abc"));

    ASSERT_TRUE(editor->保存便签());

    ASSERT_EQ(db.count(), 1);
    const int id = lastId(db);
    EXPECT_EQ(field(db, "content", id), "abc");
    EXPECT_EQ(field(db, "CreateTime", id), "2026/12/6 1:47:55");
    EXPECT_EQ(field(db, "ChangeTime", id), "2026/12/6 1:47:55");
    EXPECT_EQ(field(db, "Deleted", id), "0");
    EXPECT_EQ(field(db, "BackColor", id), "12648447");
    EXPECT_EQ(field(db, "FontColor", id), "0");
    EXPECT_EQ(field(db, "Visual", id), "1");
    EXPECT_EQ(field(db, "TopMost", id), "0");
    EXPECT_EQ(field(db, "Transparent", id), "20");
    // The main window reloaded its list, which now shows the note ticked.
    EXPECT_EQ(host->reloads, 1);
    ASSERT_EQ(host->list.count(), 1);
    EXPECT_EQ(host->list.subItem(1, 2), "abc");
    EXPECT_TRUE(host->list.checked(1));
    EXPECT_TRUE(boxes.boxes().empty());
}

TEST_F(EditorTest, UpdateMovesOnlyChangeTimeAndStoresTheListedTransparency) {
    const int id = insertRow(db, QStringLiteral("old"));
    setClock(QDateTime(QDate(2026, 3, 4), QTime(5, 6, 7)));
    Form_添加便签* editor = openEditor(id);
    editor->FlatEdit_内容->setPlainText(QStringLiteral("new"));
    editor->ColorPicker_背景颜色->setColor(255);
    editor->ColorPicker_字体颜色->setColor(65280);

    ASSERT_TRUE(editor->保存便签());

    EXPECT_EQ(db.count(), 1);
    EXPECT_EQ(field(db, "content", id), "new");
    EXPECT_EQ(field(db, "CreateTime", id), "2020/1/2 3:04:05");
    EXPECT_EQ(field(db, "ChangeTime", id), "2026/3/4 5:06:07");
    EXPECT_EQ(field(db, "BackColor", id), "255");
    EXPECT_EQ(field(db, "FontColor", id), "65280");
    EXPECT_EQ(field(db, "Transparent", id), "20");
    EXPECT_EQ(host->reloads, 1);
}

TEST_F(EditorTest, EmptyTextIsRefusedInBothModes) {
    const int id = insertRow(db, QStringLiteral("keep"));
    for (std::int32_t mode : {0, id}) {
        SCOPED_TRACE(mode);
        Form_添加便签* editor = openEditor(mode);
        const std::size_t before = boxes.boxes().size();

        EXPECT_FALSE(editor->保存便签());

        ASSERT_EQ(boxes.boxes().size(), before + 1);
        EXPECT_EQ(boxes.boxes().back().text, kEmptyMessage);
        EXPECT_EQ(boxes.boxes().back().style, 64);
        EXPECT_EQ(boxes.boxes().back().title, platform::app::title());
    }
    EXPECT_EQ(db.count(), 1);
    EXPECT_EQ(field(db, "content", id), "keep");
    EXPECT_EQ(host->reloads, 0);
}

TEST_F(EditorTest, EmptyTextKeepsTheEditorOpenOnBothButtons) {
    Form_添加便签* editor = openEditor();
    editor->show();
    editor->PushButton_保存并关闭->click();
    editor->PushButton_保存且继续添加->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    ASSERT_FALSE(editors.back().isNull());
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(boxes.boxes().size(), 2u);
    EXPECT_EQ(db.count(), 0);
}

TEST_F(EditorTest, BlankAndLineBreakOnlyTextsAreNotes) {
    for (const QString& text : {QStringLiteral(" "), QStringLiteral("\n")}) {
        Form_添加便签* editor = openEditor();
        editor->FlatEdit_内容->setPlainText(text);
        EXPECT_TRUE(editor->保存便签());
        EXPECT_EQ(field(db, "content", lastId(db)), text);
    }
    EXPECT_TRUE(boxes.boxes().empty());
}

TEST_F(EditorTest, TextsAreStoredUnchanged) {
    QString large;
    large.reserve(1 << 20);
    while (large.size() < (1 << 20)) large += QStringLiteral("一行便签 line of text 0123456789\n");
    const QString texts[] = {
        QStringLiteral("it's Tom's ''quoted'' \"double\""),
        QStringLiteral("back\\slash \\' \\n"),
        QStringLiteral("tab\there\nsecond line\n\nfourth"),
        QString::fromUtf8("emoji \xF0\x9F\x98\x80 \xF0\x9F\x91\x8D\xF0\x9F\x8F\xBD 中文"),
        QStringLiteral("<b>bold</b> &amp; <script>alert(1)</script>"),
        QString::fromUtf8("no\xC2\xA0"
                          "break space"),
        QStringLiteral("'); DROP TABLE Tips; --"),
        large,
    };
    for (const QString& text : texts) {
        Form_添加便签* editor = openEditor();
        editor->FlatEdit_内容->setPlainText(text);
        ASSERT_TRUE(editor->保存便签());
        const int id = lastId(db);
        EXPECT_EQ(field(db, "content", id), text) << text.left(40).toStdString();

        // Saving the same text again in modify mode keeps it too.
        Form_添加便签* modifier = openEditor(id);
        modifier->FlatEdit_内容->setPlainText(text);
        ASSERT_TRUE(modifier->保存便签());
        EXPECT_EQ(field(db, "content", id), text) << text.left(40).toStdString();
    }
    EXPECT_EQ(db.count(), static_cast<int>(std::size(texts)));
}

TEST_F(EditorTest, SaveAndKeepAddingAddsNotesAndKeepsTheSettings) {
    Form_添加便签* editor = openEditor();
    editor->ColorPicker_背景颜色->setColor(0x00FF0000);
    editor->ColorPicker_字体颜色->setColor(0x000000FF);
    editor->ComboBox_便签透明度->setCurrentIndex(5);

    for (const char* text : {"first", "second"}) {
        editor->FlatEdit_内容->setPlainText(QString::fromUtf8(text));
        editor->PushButton_保存且继续添加->click();
        EXPECT_TRUE(editor->FlatEdit_内容->toPlainText().isEmpty());
    }

    EXPECT_EQ(db.column("SELECT content FROM Tips ORDER BY ID"), QStringList({"first", "second"}));
    EXPECT_EQ(db.column("SELECT BackColor FROM Tips"), QStringList({"16711680", "16711680"}));
    EXPECT_EQ(db.column("SELECT FontColor FROM Tips"), QStringList({"255", "255"}));
    EXPECT_EQ(db.column("SELECT Transparent FROM Tips"), QStringList({"50", "50"}));
    EXPECT_EQ(editor->ColorPicker_背景颜色->color(), 0x00FF0000);
    EXPECT_EQ(editor->便签ID, 0);
    // Keep-adding opens no desktop window: no check mark is touched.
    EXPECT_TRUE(host->checks.empty());
}

TEST_F(EditorTest, SaveAndKeepAddingInModifyModeUpdatesTheSameNote) {
    const int id = insertRow(db, QStringLiteral("a"));
    Form_添加便签* editor = openEditor(id);
    for (const char* text : {"b", "c"}) {
        editor->FlatEdit_内容->setPlainText(QString::fromUtf8(text));
        editor->PushButton_保存且继续添加->click();
    }
    EXPECT_EQ(db.count(), 1);
    EXPECT_EQ(field(db, "content", id), "c");
}

TEST_F(EditorTest, SaveAndCloseInAddModeTogglesTheLastRowOnce) {
    insertRow(db, QStringLiteral("older"));
    Form_添加便签* editor = openEditor();
    editor->show();
    editor->FlatEdit_内容->setPlainText(QStringLiteral("newest"));

    editor->PushButton_保存并关闭->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    ASSERT_EQ(host->list.count(), 2);
    EXPECT_EQ(host->list.subItem(2, 2), "newest");
    const std::vector<std::pair<int, bool>> expected{{2, false}, {2, true}};
    EXPECT_EQ(host->checks, expected);
    EXPECT_TRUE(host->list.checked(2));
    // The new note is on the desktop.
    const std::vector<Form_Zettara*> windows = noteWindows(lastId(db));
    ASSERT_EQ(windows.size(), 1u);
    EXPECT_EQ(windows[0]->text(), "newest");
    EXPECT_TRUE(editors.back().isNull());  // closed and released
}

TEST_F(EditorTest, SaveAndCloseInModifyModeLeavesCheckMarksAlone) {
    const int id = insertRow(db, QStringLiteral("modified"));
    insertRow(db, QStringLiteral("newest"));
    host->编辑_刷新列表_Click();
    host->controller.初始化便签显示(host->list);
    ASSERT_EQ(noteWindows(id).size(), 1u);
    ASSERT_EQ(noteWindows(lastId(db)).size(), 1u);
    const QPointer<Form_Zettara> modifiedWindow = noteWindows(id)[0];
    const QPointer<Form_Zettara> newestWindow = noteWindows(lastId(db))[0];
    Form_添加便签* editor = openEditor(id);
    editor->show();
    editor->FlatEdit_内容->setPlainText(QStringLiteral("changed"));
    editor->ColorPicker_背景颜色->setColor(0x000000FF);

    editor->PushButton_保存并关闭->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    EXPECT_EQ(field(db, "content", id), "changed");
    EXPECT_TRUE(host->checks.empty());
    // The modified note's window shows the new text and colour; the newest note's window was
    // neither closed nor reopened.
    ASSERT_FALSE(modifiedWindow.isNull());
    EXPECT_EQ(modifiedWindow->text(), "changed");
    EXPECT_EQ(modifiedWindow->backColor(), QColor(255, 0, 0));
    ASSERT_FALSE(newestWindow.isNull());
    EXPECT_FALSE(newestWindow->isClosing());
    EXPECT_EQ(noteWindows(lastId(db)).size(), 1u);
    EXPECT_EQ(host->reloads, 2);
    EXPECT_TRUE(editors.back().isNull());
}

TEST_F(EditorTest, AStoredNoteCountsAsSavedWhenTheListCannotBeReloaded) {
    host->reloadFails = true;
    Form_添加便签* adding = openEditor();
    adding->FlatEdit_内容->setPlainText(QStringLiteral("first"));
    adding->PushButton_保存且继续添加->click();
    EXPECT_TRUE(adding->FlatEdit_内容->toPlainText().isEmpty());

    Form_添加便签* closing = openEditor();
    closing->show();
    closing->FlatEdit_内容->setPlainText(QStringLiteral("second"));
    closing->PushButton_保存并关闭->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(editors.back().isNull());

    EXPECT_EQ(db.column("SELECT content FROM Tips ORDER BY ID"), QStringList({"first", "second"}));
    // Each failed reload is told once; no check mark of the unreloaded list is touched.
    ASSERT_EQ(boxes.boxes().size(), 2u);
    for (const auto& box : boxes.boxes()) EXPECT_EQ(box.text, "错误 5：database is locked");
    EXPECT_TRUE(host->checks.empty());
}

TEST_F(EditorTest, ANoteDeletedMeanwhileIsOfferedAsANewNote) {
    const int id = insertRow(db, QStringLiteral("old"));
    Form_添加便签* editor = openEditor(id);
    editor->show();
    editor->FlatEdit_内容->setPlainText(QStringLiteral("edited"));
    db.exec(QStringLiteral("DELETE FROM Tips WHERE ID = %1").arg(id));

    // No: nothing is stored and the editor keeps the text.
    editor->PushButton_保存并关闭->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_EQ(boxes.boxes()[0].text, "该便签已不存在，是否将内容保存为新便签？");
    EXPECT_EQ(boxes.boxes()[0].style, 0x24);
    ASSERT_FALSE(editors.back().isNull());
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(editor->FlatEdit_内容->toPlainText(), "edited");
    EXPECT_EQ(db.count(), 0);

    // Yes: a new note, opened on the desktop like any new note, and the editor closes.
    boxes.answerNext(platform::mb::Yes);
    editor->PushButton_保存并关闭->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(boxes.boxes().size(), 2u);
    EXPECT_EQ(db.column("SELECT content FROM Tips"), QStringList{"edited"});
    EXPECT_GT(lastId(db), id);
    EXPECT_EQ(noteWindows(lastId(db)).size(), 1u);
    EXPECT_TRUE(editors.back().isNull());
}

TEST_F(EditorTest, SaveAndCloseWhoseWindowCannotOpenReportsOnceAndCloses) {
    // Stored, but with a colour the desktop window cannot take.
    db.exec(
        QStringLiteral("CREATE TRIGGER spoil AFTER INSERT ON Tips BEGIN "
                       "UPDATE Tips SET BackColor = NULL WHERE ID = new.ID; END"));
    Form_添加便签* editor = openEditor();
    editor->show();
    editor->FlatEdit_内容->setPlainText(QStringLiteral("saved"));

    editor->PushButton_保存并关闭->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    EXPECT_EQ(db.count(), 1);
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_EQ(boxes.boxes()[0].style, 16);
    EXPECT_TRUE(noteWindows(lastId(db)).empty());
    EXPECT_TRUE(editors.back().isNull());
}

TEST_F(EditorTest, CloseBoxStoresNothingAndAsksNothing) {
    Form_添加便签* editor = openEditor();
    editor->show();
    editor->FlatEdit_内容->setPlainText(QStringLiteral("unsaved"));
    editor->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    EXPECT_TRUE(editors.back().isNull());
    EXPECT_EQ(db.count(), 0);
    EXPECT_TRUE(boxes.boxes().empty());
}

TEST_F(EditorTest, EditorsAreIndependent) {
    Form_添加便签* first = openEditor();
    Form_添加便签* second = openEditor();
    first->FlatEdit_内容->setPlainText(QStringLiteral("one"));
    second->FlatEdit_内容->setPlainText(QStringLiteral("two"));
    second->ColorPicker_背景颜色->setColor(0x00123456);

    first->PushButton_保存且继续添加->click();

    EXPECT_EQ(second->FlatEdit_内容->toPlainText(), "two");
    EXPECT_EQ(first->ColorPicker_背景颜色->color(), 12648447);
    ASSERT_TRUE(second->保存便签());
    EXPECT_EQ(db.column("SELECT BackColor FROM Tips ORDER BY ID"),
              QStringList({"12648447", "1193046"}));
}

// A store that refuses the save reports the error, and the editor keeps its text.
class FailingStoreTest : public EditorTest {
  protected:
    void expectSaveFailsAndEditorStays(QPushButton* Form_添加便签::*button) {
        Form_添加便签* editor = openEditor();
        editor->show();
        editor->FlatEdit_内容->setPlainText(QStringLiteral("precious"));
        const int reloads = host->reloads;
        const std::size_t before = boxes.boxes().size();

        (editor->*button)->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

        ASSERT_FALSE(editors.back().isNull());
        EXPECT_TRUE(editor->isVisible());
        EXPECT_EQ(editor->FlatEdit_内容->toPlainText(), "precious");
        EXPECT_EQ(host->reloads, reloads);
        ASSERT_EQ(boxes.boxes().size(), before + 1);
        EXPECT_EQ(boxes.boxes().back().style, 16);
        EXPECT_FALSE(boxes.boxes().back().text.isEmpty());
    }
};

TEST_F(FailingStoreTest, ClosedDatabase) {
    数据库对象().关闭数据库();
    expectSaveFailsAndEditorStays(&Form_添加便签::PushButton_保存并关闭);
    expectSaveFailsAndEditorStays(&Form_添加便签::PushButton_保存且继续添加);
}

TEST_F(FailingStoreTest, DatabaseLockedByAnotherConnection) {
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(db.path().toUtf8().constData(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);

    expectSaveFailsAndEditorStays(&Form_添加便签::PushButton_保存并关闭);

    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    EXPECT_EQ(db.count(), 0);
}

}  // namespace
}  // namespace editortest
