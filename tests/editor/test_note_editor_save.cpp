#include <sqlite3.h>

#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "editor_fixture.h"
#include "platform/core/app.h"
#include "platform/ui/color_picker.h"

namespace editortest {
namespace {

const QString kEmptyMessage = QStringLiteral("未填写任何内容！");

QString field(const testsupport::TempNoteDb& db, const QString& column, int id) {
    return db.column(QStringLiteral("SELECT %1 FROM Tips WHERE ID = %2").arg(column).arg(id))
        .value(0);
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
    const Controls c{editor};
    c.text->setPlainText(QStringLiteral("abc"));

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
    // The main window heard of the new note once.
    EXPECT_EQ(host.saved, (std::vector<std::pair<int, bool>>{{0, false}}));
    EXPECT_TRUE(boxes.boxes().empty());
}

TEST_F(EditorTest, UpdateMovesOnlyChangeTimeAndStoresTheListedTransparency) {
    const int id = insertRow(db, QStringLiteral("old"));
    setClock(QDateTime(QDate(2026, 3, 4), QTime(5, 6, 7)));
    Form_添加便签* editor = openEditor(id);
    const Controls c{editor};
    c.text->setPlainText(QStringLiteral("new"));
    c.backColour->setColor(255);
    c.textColour->setColor(65280);

    ASSERT_TRUE(editor->保存便签());

    EXPECT_EQ(db.count(), 1);
    EXPECT_EQ(field(db, "content", id), "new");
    EXPECT_EQ(field(db, "CreateTime", id), "2020/1/2 3:04:05");
    EXPECT_EQ(field(db, "ChangeTime", id), "2026/3/4 5:06:07");
    EXPECT_EQ(field(db, "BackColor", id), "255");
    EXPECT_EQ(field(db, "FontColor", id), "65280");
    EXPECT_EQ(field(db, "Transparent", id), "20");
    EXPECT_EQ(host.saved, (std::vector<std::pair<int, bool>>{{id, false}}));
}

TEST_F(EditorTest, EmptyTextIsRefusedInBothModesAndOnBothButtons) {
    const int id = insertRow(db, QStringLiteral("keep"));
    for (std::int32_t mode : {0, id}) {
        SCOPED_TRACE(mode);
        Form_添加便签* editor = openEditor(mode);
        const Controls c{editor};
        editor->show();
        const std::size_t before = boxes.boxes().size();

        c.saveAndClose->click();
        c.saveAndKeepAdding->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

        ASSERT_FALSE(editors.back().isNull());
        EXPECT_TRUE(editor->isVisible());
        ASSERT_EQ(boxes.boxes().size(), before + 2);
        EXPECT_EQ(boxes.boxes().back().text, kEmptyMessage);
        EXPECT_EQ(boxes.boxes().back().style, 64);
        EXPECT_EQ(boxes.boxes().back().title, platform::app::title());
    }
    EXPECT_EQ(db.count(), 1);
    EXPECT_EQ(field(db, "content", id), "keep");
    EXPECT_TRUE(host.saved.empty());
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
        QStringLiteral(" "),  // blanks and line breaks alone make a note
        QStringLiteral("\n"),
        large,
    };
    for (const QString& text : texts) {
        Form_添加便签* editor = openEditor();
        const Controls c{editor};
        c.text->setPlainText(text);
        ASSERT_TRUE(editor->保存便签());
        const int id = lastId(db);
        EXPECT_EQ(field(db, "content", id), text) << text.left(40).toStdString();

        // Saving the same text again in modify mode keeps it too.
        Form_添加便签* modifier = openEditor(id);
        Controls{modifier}.text->setPlainText(text);
        ASSERT_TRUE(modifier->保存便签());
        EXPECT_EQ(field(db, "content", id), text) << text.left(40).toStdString();
    }
    EXPECT_EQ(db.count(), static_cast<int>(std::size(texts)));
    EXPECT_TRUE(boxes.boxes().empty());
}

TEST_F(EditorTest, LineBreaksAreStoredAsNewlinesAndACrlfNoteKeepsCrlf) {
    Form_添加便签* editor = openEditor();
    QTest::keyClicks(Controls{editor}.text, "ab");
    QTest::keyClick(Controls{editor}.text, Qt::Key_Return, Qt::ShiftModifier);
    Controls{editor}.text->insertPlainText("c\rd\r\ne\u2028f\u2029g");  // pasted
    ASSERT_TRUE(editor->保存便签());
    EXPECT_EQ(field(db, "content", lastId(db)), "ab\nc\nd\ne\nf\ng");

    // Colours only: the stored breaks stay as they are; changed text makes every break CRLF.
    const int id = insertRow(db, "a\r\nb\nc");
    (editor = openEditor())->加载便签(id, "a\r\nb\nc", 255, 0);
    ASSERT_TRUE(editor->保存便签());
    EXPECT_EQ(field(db, "content", id), "a\r\nb\nc");
    Controls{editor}.text->appendPlainText("d");
    ASSERT_TRUE(editor->保存便签());
    EXPECT_EQ(field(db, "content", id), "a\r\nb\r\nc\r\nd");
}

TEST_F(EditorTest, SaveAndKeepAddingAddsNotesAndKeepsTheSettings) {
    Form_添加便签* editor = openEditor();
    const Controls c{editor};
    c.backColour->setColor(0x00FF0000);
    c.textColour->setColor(0x000000FF);
    c.transparency->setCurrentIndex(5);

    for (const char* text : {"first", "second"}) {
        c.text->setPlainText(QString::fromUtf8(text));
        c.saveAndKeepAdding->click();
        EXPECT_TRUE(c.text->toPlainText().isEmpty());
    }

    EXPECT_EQ(db.column("SELECT content FROM Tips ORDER BY ID"), QStringList({"first", "second"}));
    EXPECT_EQ(db.column("SELECT BackColor FROM Tips"), QStringList({"16711680", "16711680"}));
    EXPECT_EQ(db.column("SELECT FontColor FROM Tips"), QStringList({"255", "255"}));
    EXPECT_EQ(db.column("SELECT Transparent FROM Tips"), QStringList({"50", "50"}));
    EXPECT_EQ(c.backColour->color(), 0x00FF0000);
    EXPECT_EQ(editor->便签ID(), 0);
    // Keep-adding never says the editor closes.
    EXPECT_EQ(host.saved, (std::vector<std::pair<int, bool>>{{0, false}, {0, false}}));
}

TEST_F(EditorTest, SaveAndKeepAddingInModifyModeUpdatesTheSameNote) {
    const int id = insertRow(db, QStringLiteral("a"));
    Form_添加便签* editor = openEditor(id);
    const Controls c{editor};
    for (const char* text : {"b", "c"}) {
        c.text->setPlainText(QString::fromUtf8(text));
        c.saveAndKeepAdding->click();
    }
    EXPECT_EQ(db.count(), 1);
    EXPECT_EQ(field(db, "content", id), "c");
}

TEST_F(EditorTest, ANoteDeletedMeanwhileIsOfferedAsANewNote) {
    const int id = insertRow(db, QStringLiteral("old"));
    Form_添加便签* editor = openEditor(id);
    const Controls c{editor};
    editor->show();
    c.text->setPlainText(QStringLiteral("edited"));
    db.exec(QStringLiteral("DELETE FROM Tips WHERE ID = %1").arg(id));

    // No: nothing is stored and the editor keeps the text.
    c.saveAndClose->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_EQ(boxes.boxes()[0].text, "该便签已不存在，是否将内容保存为新便签？");
    EXPECT_EQ(boxes.boxes()[0].style, 0x24);
    ASSERT_FALSE(editors.back().isNull());
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(c.text->toPlainText(), "edited");
    EXPECT_EQ(db.count(), 0);
    EXPECT_TRUE(host.saved.empty());

    // Yes: a new note, told to the host like any new note, and the editor closes.
    boxes.answerNext(platform::mb::Yes);
    c.saveAndClose->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(boxes.boxes().size(), 2u);
    EXPECT_EQ(db.column("SELECT content FROM Tips"), QStringList{"edited"});
    EXPECT_GT(lastId(db), id);
    EXPECT_EQ(host.saved, (std::vector<std::pair<int, bool>>{{0, true}}));
    EXPECT_TRUE(editors.back().isNull());
}

TEST_F(EditorTest, AFileWithoutAFreeNoteNumberSaysSoAndKeepsTheText) {
    db.exec("INSERT INTO Tips(ID, content) VALUES(9223372036854775807, 'last')");
    db.exec("DELETE FROM Tips");  // the number stays given out
    Form_添加便签* editor = openEditor();
    const Controls c{editor};
    editor->show();
    c.text->setPlainText(QStringLiteral("one more"));
    c.saveAndClose->click();
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_TRUE(boxes.boxes()[0].text.startsWith("这个便签文件中已没有可用的新便签编号"));
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(c.text->toPlainText(), "one more");
}

TEST_F(EditorTest, CloseBoxAsksAboutChangesAndYesSavesAsSaveAndClose) {
    const auto stays = [this](Form_添加便签* editor, int answer) {
        boxes.answerNext(answer);
        editor->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return !editors.back().isNull();
    };
    const int id = insertRow(db, QStringLiteral("old"));
    Form_添加便签* modified = openEditor(id);
    modified->加载便签(id, QStringLiteral("old"), 255, 0);
    Controls{modified}.text->clear();
    EXPECT_TRUE(stays(modified, platform::mb::Cancel));
    EXPECT_TRUE(stays(modified, platform::mb::Yes));  // the empty-text rule keeps it open
    EXPECT_EQ(boxes.boxes()[2].text, "未填写任何内容！");
    Controls{modified}.text->setPlainText(QStringLiteral("new"));
    EXPECT_FALSE(stays(modified, platform::mb::Yes));
    Form_添加便签* added = openEditor();
    Controls{added}.backColour->setColor(0x00123456);  // a colour alone is a change
    EXPECT_FALSE(stays(added, platform::mb::No));
    ASSERT_EQ(boxes.boxes().size(), 5u);
    EXPECT_EQ(boxes.boxes()[4].text, "内容已修改，是否保存？");
    EXPECT_EQ(boxes.boxes()[4].style, 0x23);
    EXPECT_EQ(db.column("SELECT content FROM Tips"), QStringList{"new"});
    EXPECT_FALSE(stays(openEditor(), platform::mb::Cancel));  // unchanged: nothing asked
}

TEST_F(EditorTest, EditorsAreIndependent) {
    Form_添加便签* first = openEditor();
    Form_添加便签* second = openEditor();
    Controls{first}.text->setPlainText(QStringLiteral("one"));
    Controls{second}.text->setPlainText(QStringLiteral("two"));
    Controls{second}.backColour->setColor(0x00123456);

    Controls{first}.saveAndKeepAdding->click();

    EXPECT_EQ(Controls{second}.text->toPlainText(), "two");
    EXPECT_EQ(Controls{first}.backColour->color(), 12648447);
    ASSERT_TRUE(second->保存便签());
    EXPECT_EQ(db.column("SELECT BackColor FROM Tips ORDER BY ID"),
              QStringList({"12648447", "1193046"}));
}

// A store that refuses the save reports the error, and the editor keeps its text.
class FailingStoreTest : public EditorTest {
  protected:
    void expectSaveFailsAndEditorStays(const char* button) {
        Form_添加便签* editor = openEditor();
        const Controls c{editor};
        editor->show();
        c.text->setPlainText(QStringLiteral("precious"));
        const std::size_t before = boxes.boxes().size();

        Controls::find<QPushButton>(editor, button)->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

        ASSERT_FALSE(editors.back().isNull());
        EXPECT_TRUE(editor->isVisible());
        EXPECT_EQ(c.text->toPlainText(), "precious");
        EXPECT_TRUE(host.saved.empty());
        ASSERT_EQ(boxes.boxes().size(), before + 1);
        EXPECT_EQ(boxes.boxes().back().style, 16);
        EXPECT_FALSE(boxes.boxes().back().text.isEmpty());
    }
};

TEST_F(FailingStoreTest, ClosedDatabase) {
    host.store.关闭数据库();
    expectSaveFailsAndEditorStays("PushButton_保存并关闭");
    expectSaveFailsAndEditorStays("PushButton_保存且继续添加");
}

TEST_F(FailingStoreTest, DatabaseLockedByAnotherConnection) {
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(db.path().toUtf8().constData(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);

    expectSaveFailsAndEditorStays("PushButton_保存并关闭");

    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    EXPECT_EQ(db.count(), 0);
}

}  // namespace
}  // namespace editortest
