#include <gtest/gtest.h>

#include <QApplication>
#include <QPlainTextEdit>
#include <QPointer>
#include <algorithm>
#include <memory>
#include <vector>

#include "controller/note_list_controller.h"
#include "notewindow/note_menu_host.h"
#include "notewindow/note_window.h"
#include "platform/core/colour.h"
#include "platform/core/error.h"
#include "platform/ui/twips.h"
#include "seams.h"
#include "store/database_module.h"
#include "store/own_schema.h"
#include "test_helpers.h"

namespace {

class FakeHost : public NoteMenuHost {
  public:
    void showNoteMenu(std::int64_t, QWidget&, const QPoint&) override {}
    void stepNoteText(std::int64_t, int) override {}
};

// Records the id tags of note windows in the order they are shown.
class ShowRecorder : public QObject {
  public:
    ShowRecorder() { qApp->installEventFilter(this); }
    ~ShowRecorder() override { qApp->removeEventFilter(this); }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show) {
            if (auto* note = dynamic_cast<Form_Zettara*>(watched))
                shown << QString::number(note->noteId());
        }
        return false;
    }
    QStringList shown;
};

class ControllerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        testsupport::Seams::setLogicalDpi(96);
        store.打开数据库(db.path(), QString());
        // The controller wired the list as in the program; this only looks on.
        list.itemCheck = [this, wired = list.itemCheck](const platform::ListItem& item) {
            readyAtCheck.push_back(controller.列表就绪());
            wired(item);
        };
    }
    void TearDown() override {
        controller.关闭全部便签();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        testsupport::Seams::setLogicalDpi(0);
    }

    std::vector<Form_Zettara*> openNoteWindows() { return controller.便签窗口(); }
    QStringList openTags() {
        QStringList tags;
        for (Form_Zettara* note : openNoteWindows()) tags << QString::number(note->noteId());
        tags.sort();
        return tags;
    }
    Form_Zettara* windowFor(const QString& tag) {
        for (Form_Zettara* note : openNoteWindows()) {
            if (QString::number(note->noteId()) == tag) return note;
        }
        return nullptr;
    }

    // Values are SQL literals.
    void insert(int id, const QString& content, const QString& visual,
                const QString& back = QStringLiteral("255"),
                const QString& font = QStringLiteral("65280"),
                const QString& created = QStringLiteral("'2024/1/2 3:04:05'")) {
        db.exec(QStringLiteral("INSERT INTO Tips (ID, content, CreateTime, ChangeTime, Deleted, "
                               "BackColor, FontColor, Visual, TopMost, Transparent) VALUES "
                               "(%1, %2, %3, '2024/2/3', 0, %4, %5, %6, 1, 50)")
                    .arg(id)
                    .arg(content, created, back, font, visual));
    }

    void reload(Class_主窗体::Ticks ticks = Class_主窗体::Ticks::FromStore) {
        list.clear();
        controller.刷新数据(list, controller.获取数据(), ticks);
    }

    testsupport::TempNoteDb db;
    数据库操作模块 store;
    FakeHost host;
    platform::ListView list;
    Class_主窗体 controller{list, host, store};
    std::vector<bool> readyAtCheck;
};

TEST_F(ControllerTest, EmptyTableGivesFiveColumnsAndAReadyList) {
    EXPECT_FALSE(controller.列表就绪());
    controller.初始化界面(list);
    const QStringList titles = {QStringLiteral("显示"), QStringLiteral("编号"),
                                QStringLiteral("内容"), QStringLiteral("创建时间"),
                                QStringLiteral("修改时间")};
    const int widths[] = {540, 1, 4000, 2000, 2000};
    ASSERT_EQ(list.columnCount(), 5);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(list.columnTitle(i), titles[i]);
        EXPECT_EQ(list.columnWidthTwips(i), widths[i]);
    }
    EXPECT_EQ(list.columnWidth(1), 0);  // the ID column cannot be seen
    EXPECT_EQ(list.count(), 0);
    EXPECT_TRUE(controller.列表就绪());
}

TEST_F(ControllerTest, FillListsEveryRowInStoreOrder) {
    insert(5, QStringLiteral("'five'"), QStringLiteral("1"));
    insert(2, QStringLiteral("NULL"), QStringLiteral("0"));
    insert(9, QStringLiteral("'it''s'"), QStringLiteral("NULL"), QStringLiteral("255"),
           QStringLiteral("0"), QStringLiteral("NULL"));
    controller.初始化界面(list);

    ASSERT_EQ(list.count(), 3);
    EXPECT_EQ(list.subItem(1, 1), QStringLiteral("2"));
    EXPECT_EQ(list.subItem(2, 1), QStringLiteral("5"));
    EXPECT_EQ(list.subItem(3, 1), QStringLiteral("9"));
    for (int i = 1; i <= 3; ++i) EXPECT_EQ(list.text(i), QString());

    EXPECT_EQ(list.subItem(2, 2), QStringLiteral("five"));
    EXPECT_EQ(list.subItem(2, 3), QStringLiteral("2024/1/2 3:04:05"));
    EXPECT_EQ(list.subItem(2, 4), QStringLiteral("2024/2/3"));
    EXPECT_TRUE(list.checked(2));
    // A NULL content leaves its cell empty and fills the rest.
    EXPECT_EQ(list.subItem(1, 2), QString());
    EXPECT_EQ(list.subItem(1, 3), QStringLiteral("2024/1/2 3:04:05"));
    EXPECT_FALSE(list.checked(1));
    // NULL CreateTime and NULL Visual: empty cell, unticked.
    EXPECT_EQ(list.subItem(3, 2), QStringLiteral("it's"));
    EXPECT_EQ(list.subItem(3, 3), QString());
    EXPECT_EQ(list.subItem(3, 4), QStringLiteral("2024/2/3"));
    EXPECT_FALSE(list.checked(3));

    // The tick of row 2 was reported while the fill ran, and opened nothing.
    EXPECT_EQ(readyAtCheck, std::vector<bool>{false});
    EXPECT_TRUE(openTags().isEmpty());
    EXPECT_TRUE(controller.列表就绪());
}

TEST_F(ControllerTest, ReloadAppendsAndClearsSelectionWithoutTouchingWindows) {
    insert(1, QStringLiteral("'a'"), QStringLiteral("1"));
    insert(2, QStringLiteral("'b'"), QStringLiteral("0"));
    controller.初始化界面(list);
    controller.初始化便签显示(list);
    ASSERT_EQ(openTags(), QStringList{QStringLiteral("1")});

    controller.刷新数据(list, controller.获取数据());  // no clear first
    ASSERT_EQ(list.count(), 4);
    EXPECT_EQ(list.subItem(3, 1), QStringLiteral("1"));
    EXPECT_EQ(list.subItem(4, 1), QStringLiteral("2"));

    list.setSelected(2, true);
    db.exec(QStringLiteral("UPDATE Tips SET Visual = 1"));
    reload();
    EXPECT_EQ(list.count(), 2);
    EXPECT_EQ(list.selectedIndex(), 0);
    EXPECT_TRUE(list.checked(2));
    // Ticks made by a fill open nothing, even when the list was ready before.
    EXPECT_EQ(openTags(), QStringList{QStringLiteral("1")});
    EXPECT_TRUE(controller.列表就绪());
}

TEST_F(ControllerTest, StartUpOpensOneWindowPerTickedRowInListOrder) {
    insert(4, QStringLiteral("'four'"), QStringLiteral("1"), QStringLiteral("16711680"),
           QStringLiteral("255"));
    insert(2, QStringLiteral("'two'"), QStringLiteral("0"));
    insert(7, QStringLiteral("'seven'"), QStringLiteral("-1"));
    controller.初始化界面(list);
    ShowRecorder recorder;
    controller.初始化便签显示(list);
    EXPECT_EQ(recorder.shown, (QStringList{QStringLiteral("4"), QStringLiteral("7")}));

    Form_Zettara* four = windowFor(QStringLiteral("4"));
    ASSERT_NE(four, nullptr);
    EXPECT_EQ(four->text(), QStringLiteral("four"));
    EXPECT_EQ(four->backColor(), QColor(0, 0, 255));  // 0x00FF0000 is blue
    EXPECT_EQ(four->textColor(), QColor(255, 0, 0));
    EXPECT_TRUE(four->isVisible());
    // TopMost and Transparent are stored but never applied.
    EXPECT_FALSE(four->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_DOUBLE_EQ(four->windowOpacity(), 1.0);
    EXPECT_EQ(four->size(), QSize(170, 120));
}

TEST_F(ControllerTest, StartUpOpensWithTheColoursAndPlacesEachNoteReadsAlone) {
    insert(1, QStringLiteral("'a'"), QStringLiteral("1"), QStringLiteral("16711680"));
    insert(2, QStringLiteral("'b'"), QStringLiteral("1"), QStringLiteral("65280"),
           QStringLiteral("'255'"));
    insert(3, QStringLiteral("'c'"), QStringLiteral("1"));
    db.exec(
        QStringLiteral("CREATE TABLE NotePlacement(ID INTEGER PRIMARY KEY, X INTEGER, "
                       "Y INTEGER, Width INTEGER, Height INTEGER)"));
    db.exec(
        QStringLiteral("INSERT INTO NotePlacement VALUES (1, 30, 40, 200, 150), "
                       "(2, 50, 60, 0, 150)"));
    OwnSchema::prepare(store);  // as the start-up does
    controller.初始化界面(list);
    const auto looks = [this] {
        QStringList all;
        for (const QString& tag : {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")}) {
            const Form_Zettara* w = windowFor(tag);
            if (!w) return QStringList{};
            const QRect g = w->geometry();
            all << QStringLiteral("%1 %2 %3 %4,%5 %6x%7")
                       .arg(tag, w->backColor().name(), w->textColor().name())
                       .arg(g.x())
                       .arg(g.y())
                       .arg(g.width())
                       .arg(g.height());
        }
        return all;
    };
    controller.初始化便签显示(list);
    const QStringList atStart = looks();
    for (int i = 1; i <= 3; ++i) list.setChecked(i, false);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    for (int i = 1; i <= 3; ++i) list.setChecked(i, true);
    EXPECT_EQ(atStart, looks());
    EXPECT_TRUE(atStart.first().endsWith(QStringLiteral("30,40 200x150")));
}

TEST_F(ControllerTest, TickOpensAnotherWindowAndUntickClosesExactTagsOnly) {
    insert(12, QStringLiteral("'twelve'"), QStringLiteral("1"));
    insert(13, QStringLiteral("'thirteen'"), QStringLiteral("0"));
    insert(1, QStringLiteral("'one'"), QStringLiteral("1"));
    insert(120, QStringLiteral("'hundred twenty'"), QStringLiteral("1"));
    controller.初始化界面(list);
    controller.初始化便签显示(list);
    // A note window the controller did not open, with the same tag.
    Form_Zettara other(host);
    other.setNoteId(12);
    other.show();

    controller.便签显示(list.item(2));  // row 2 is note 12, still ticked: a second window
    list.setChecked(3, true);
    EXPECT_EQ(openTags(),
              (QStringList{QStringLiteral("1"), QStringLiteral("12"), QStringLiteral("12"),
                           QStringLiteral("120"), QStringLiteral("13")}));

    list.setChecked(2, false);
    EXPECT_EQ(openTags(),
              (QStringList{QStringLiteral("1"), QStringLiteral("120"), QStringLiteral("13")}));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(openNoteWindows().size(), 3u);
    EXPECT_TRUE(other.isVisible());

    // Unticking a note without a window changes nothing.
    list.setChecked(3, false);
    list.setChecked(2, true);
    list.setChecked(2, false);
    controller.便签显示(list.item(2));
    EXPECT_EQ(openTags(), (QStringList{QStringLiteral("1"), QStringLiteral("120")}));
}

TEST_F(ControllerTest, RefreshTakesTextFromListAndColoursFromStore) {
    insert(1, QStringLiteral("'one'"), QStringLiteral("1"));
    insert(2, QStringLiteral("'two'"), QStringLiteral("1"));
    insert(3, QStringLiteral("'three'"), QStringLiteral("1"));
    controller.初始化界面(list);
    controller.初始化便签显示(list);
    auto plain = std::make_unique<QWidget>();
    plain->setWindowTitle(QStringLiteral("other"));
    plain->show();

    db.exec(QStringLiteral(
        "UPDATE Tips SET content = 'one, edited', BackColor = 65535, FontColor = 0 WHERE ID = 1"));
    db.exec(QStringLiteral("DELETE FROM Tips WHERE ID = 3"));
    reload();
    // Gone from the store after the reload: its row cannot be read.
    db.exec(QStringLiteral("DELETE FROM Tips WHERE ID = 2"));
    Form_Zettara* two = windowFor(QStringLiteral("2"));
    Form_Zettara* three = windowFor(QStringLiteral("3"));
    ASSERT_TRUE(two);
    ASSERT_TRUE(three);
    two->setText(QStringLiteral("stale"));
    three->setText(QStringLiteral("stale"));
    const QColor twoBack = two->backColor();

    controller.刷新便签();

    Form_Zettara* one = windowFor(QStringLiteral("1"));
    ASSERT_NE(one, nullptr);
    EXPECT_EQ(one->text(), QStringLiteral("one, edited"));
    EXPECT_EQ(one->backColor(), QColor(255, 255, 0));
    EXPECT_EQ(one->textColor(), QColor(0, 0, 0));
    EXPECT_EQ(two->text(), QStringLiteral("two"));  // text from the list, colours kept
    EXPECT_EQ(two->backColor(), twoBack);
    EXPECT_EQ(three->text(), QStringLiteral("stale"));  // not in the list: untouched
    EXPECT_EQ(openTags(),
              (QStringList{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")}));
    EXPECT_TRUE(plain->isVisible());
    EXPECT_EQ(plain->windowTitle(), QStringLiteral("other"));
}

TEST_F(ControllerTest, RefreshUpdatesEveryWindowOfADuplicatedNote) {
    insert(1, QStringLiteral("'one'"), QStringLiteral("1"));
    controller.初始化界面(list);
    controller.初始化便签显示(list);
    controller.便签显示(list.item(1));
    db.exec(QStringLiteral("UPDATE Tips SET content = 'new', BackColor = 0"));
    reload();
    controller.刷新便签();
    const auto windows = openNoteWindows();
    ASSERT_EQ(windows.size(), 2u);
    for (Form_Zettara* w : windows) {
        EXPECT_EQ(w->text(), QStringLiteral("new"));
        EXPECT_EQ(w->backColor(), QColor(0, 0, 0));
    }
}

TEST_F(ControllerTest, OpeningFailsWithoutShowingAWindow) {
    insert(1, QStringLiteral("'null colour'"), QStringLiteral("0"), QStringLiteral("NULL"));
    insert(2, QStringLiteral("'text colour'"), QStringLiteral("0"), QStringLiteral("255"),
           QStringLiteral("'abc'"));
    insert(3, QStringLiteral("'deleted'"), QStringLiteral("0"));
    controller.初始化界面(list);
    db.exec(QStringLiteral("DELETE FROM Tips WHERE ID = 3"));

    const int expected[] = {platform::errc::invalidUseOfNull, platform::errc::typeMismatch,
                            platform::errc::noCurrentRecord};
    for (int i = 1; i <= 3; ++i) {
        try {
            list.setChecked(i, true);
            ADD_FAILURE() << "opening note " << i << " did not fail";
        } catch (const platform::Error& e) {
            EXPECT_EQ(e.number(), expected[i - 1]) << "note " << i;
        }
        // Not shown, and not left behind either.
        for (QWidget* widget : QApplication::topLevelWidgets())
            EXPECT_EQ(dynamic_cast<Form_Zettara*>(widget), nullptr);
    }
}

TEST_F(ControllerTest, StartUpSkipsTheRowsThatCannotOpen) {
    insert(1, QStringLiteral("'ok'"), QStringLiteral("1"));
    insert(2, QStringLiteral("'bad'"), QStringLiteral("1"), QStringLiteral("NULL"));
    insert(3, QStringLiteral("'foreign'"), QStringLiteral("1"), QStringLiteral("'abc'"));
    insert(4, QStringLiteral("'also ok'"), QStringLiteral("1"));
    controller.初始化界面(list);
    EXPECT_EQ(controller.初始化便签显示(list), 2);
    EXPECT_EQ(openTags(), (QStringList{QStringLiteral("1"), QStringLiteral("4")}));
}

TEST_F(ControllerTest, BatchesOpenOnlyRowsStillTickedAtTheirTurnAndStopAtExit) {
    for (int id = 1; id <= 4; ++id) insert(id, QStringLiteral("'n'"), QStringLiteral("1"));
    controller.初始化界面(list);
    int told = -1;
    controller.分批显示便签([&told](int failed) { told = failed; });
    list.setChecked(2, false);                 // before the event loop ran: nothing is open yet
    reload(Class_主窗体::Ticks::FromWindows);  // notes waiting for a window stay ticked
    EXPECT_EQ(std::vector<bool>({list.checked(1), list.checked(2)}), (std::vector{true, false}));
    list.remove(3);
    while (controller.正在分批显示()) QCoreApplication::processEvents();
    EXPECT_EQ(told, 0);
    EXPECT_EQ(openTags(), (QStringList{QStringLiteral("1"), QStringLiteral("4")}));
    controller.分批显示便签([&told](int) { told = 1; });
    controller.关闭全部便签();  // the exit, before the first batch
    QCoreApplication::processEvents();
    EXPECT_EQ(told, 0);
    EXPECT_TRUE(openTags().isEmpty());
}

TEST_F(ControllerTest, FindFailureReachesTheCaller) {
    db.exec(QStringLiteral("DROP TABLE Tips"));
    EXPECT_THROW(controller.初始化界面(list), platform::Error);
}

TEST_F(ControllerTest, TextTypedInPlaceIsStoredNeverEmptyAndNeverOverAChangeItDidNotSee) {
    insert(1, QStringLiteral("'base'"), QStringLiteral("1"));
    controller.初始化界面(list);
    controller.初始化便签显示(list);
    Form_Zettara* note = windowFor(QStringLiteral("1"));
    const auto content = [this] { return db.column(QStringLiteral("SELECT content FROM Tips")); };
    note->beginEditing();
    note->Edit_Zettara->insertPlainText(QStringLiteral(" one"));
    EXPECT_EQ(content(), QStringList{QStringLiteral("base")});  // after a pause
    note->endEditing();                                         // ...or at once
    EXPECT_EQ(content(), QStringList{QStringLiteral("base one")});
    EXPECT_EQ(db.column(QStringLiteral("SELECT Transparent FROM Tips")),
              QStringList{QStringLiteral("20")});
    EXPECT_EQ(list.subItem(1, 2), QStringLiteral("base one"));

    note->beginEditing();
    note->Edit_Zettara->clear();
    note->endEditing();
    EXPECT_EQ(content(), QStringList{QStringLiteral("base one")});
    EXPECT_EQ(note->text(), QStringLiteral("base one"));
    EXPECT_TRUE(note->Label_提示->isVisibleTo(note));

    // Changed behind its back: both versions are kept, and the window shows the stored one.
    note->beginEditing();
    note->Edit_Zettara->insertPlainText(QStringLiteral(" two"));
    db.exec(QStringLiteral("UPDATE Tips SET content = 'theirs'"));
    note->endEditing();
    EXPECT_EQ(db.column(QStringLiteral("SELECT content FROM Tips ORDER BY ID")),
              (QStringList{QStringLiteral("theirs"), QStringLiteral("base one two")}));
    EXPECT_EQ(note->text(), QStringLiteral("theirs"));
    EXPECT_EQ(openTags(), (QStringList{QStringLiteral("1"), QStringLiteral("2")}));

    // The exit closes every window: what was typed is stored first.
    note->beginEditing();
    note->Edit_Zettara->insertPlainText(QStringLiteral("!"));
    controller.关闭全部便签();
    EXPECT_EQ(db.column(QStringLiteral("SELECT content FROM Tips WHERE ID = 1")),
              QStringList{QStringLiteral("theirs!")});
}

TEST_F(ControllerTest, ANewNoteInPlaceIsAddedByItsFirstKeyAndDroppedWhenLeftEmpty) {
    OwnSchema::prepare(store);
    controller.初始化界面(list);
    controller.就地新建便签(QPoint(-5000, 100));
    ASSERT_EQ(openNoteWindows().size(), 1u);
    Form_Zettara* note = openNoteWindows().front();
    EXPECT_TRUE(note->isEditing());
    EXPECT_GE(note->x(), 0);  // kept on the screen
    note->Edit_Zettara->insertPlainText(QStringLiteral("a"));
    EXPECT_EQ(db.column(QStringLiteral("SELECT content || BackColor || '/' || FontColor || '/' || "
                                       "Transparent FROM Tips")),
              QStringList{QStringLiteral("a12648447/0/20")});
    EXPECT_EQ(note->noteId(), 1);
    EXPECT_TRUE(list.count() == 1 && list.checked(1));
    EXPECT_EQ(db.count(), 1);
    EXPECT_EQ(db.column(QStringLiteral("SELECT count(*) FROM NotePlacement")),
              QStringList{QStringLiteral("1")});

    controller.就地新建便签(QPoint(10, 10));
    Form_Zettara* empty = openNoteWindows().back();
    empty->endEditing();
    EXPECT_EQ(openNoteWindows(), std::vector<Form_Zettara*>{note});
    EXPECT_EQ(db.count(), 1);
}

}  // namespace
