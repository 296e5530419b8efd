#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>

#include "controller/note_placement_keeper.h"
#include "notewindow/note_menu_host.h"
#include "notewindow/note_window.h"
#include "platform/db/database.h"
#include "store/database_module.h"
#include "store/own_schema.h"
#include "test_helpers.h"

namespace {

class NoHost : public NoteMenuHost {
  public:
    void showNoteMenu(std::int64_t, QWidget&, const QPoint&) override {}
    void stepNoteText(std::int64_t, int) override {}
};

}  // namespace

TEST(NotePlacementKeeper, LockedStoreLosesNothingAndShowsNothing) {
    testsupport::TempNoteDb db;
    db.exec("INSERT INTO Tips(content, BackColor, FontColor, Visual) VALUES('a', 0, 0, 1)");
    testsupport::MsgBoxRecorder boxes;
    数据库操作模块 store;
    store.打开数据库(db.path(), QString());
    OwnSchema::prepare(store);
    NoHost host;
    const auto stored = [&] { return !db.column("SELECT ID FROM NotePlacement").isEmpty(); };

    // A window the user never moved stores nothing.
    {
        auto* untouched = new Form_Zettara(host);
        untouched->setNoteId(1);
        NotePlacementKeeper::attach(*untouched, store);
        untouched->show();
        untouched->move(50, 60);
        untouched->close();
    }
    EXPECT_FALSE(stored());

    auto* window = new Form_Zettara(host);
    window->setNoteId(1);
    NotePlacementKeeper::attach(*window, store);
    window->show();
    {
        // Another program holds the file while the move ends: the move stands, nothing shows.
        auto other = platform::Database::open(db.path(), false, false, QString());
        other->execute("BEGIN EXCLUSIVE");
        window->setGeometry(300, 200, 180, 130);
        window->placementEnded(false);
        EXPECT_EQ(window->geometry(), QRect(300, 200, 180, 130));
        other->execute("ROLLBACK");
    }
    EXPECT_FALSE(stored());
    // Written at the close.
    window->close();
    EXPECT_EQ(db.column("SELECT X || ',' || Y || ',' || Width || ',' || Height FROM "
                        "NotePlacement WHERE ID = 1"),
              QStringList{"300,200,180,130"});
    EXPECT_TRUE(boxes.boxes().empty());
    store.关闭数据库();
}

TEST(NotePlacementKeeper, PlacesAtTheEndsOfTheNumberRangeComeOnScreen) {
    testsupport::TempNoteDb db;
    db.exec("INSERT INTO Tips(content, BackColor, FontColor, Visual) VALUES('a', 0, 0, 1)");
    db.exec("CREATE TABLE NotePlacement(ID INTEGER PRIMARY KEY, X, Y, Width, Height)");
    db.exec("INSERT INTO NotePlacement VALUES(1, 2147483647, 2147483600, 180, 130)");
    db.exec("INSERT INTO NotePlacement VALUES(2, NULL, NULL, 2147483647, 2147483647)");
    数据库操作模块 store;
    store.打开数据库(db.path(), QString());
    OwnSchema::prepare(store);
    NoHost host;
    auto* window = new Form_Zettara(host);
    window->setNoteId(1);
    NotePlacementKeeper::attach(*window, store);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_TRUE(screen.contains(window->geometry())) << window->geometry().x();
    EXPECT_EQ(window->size(), QSize(180, 130));
    delete window;
    // Without a place, a size larger than the screen is cut to it.
    window = new Form_Zettara(host);
    window->setNoteId(2);
    NotePlacementKeeper::attach(*window, store);
    EXPECT_EQ(window->size(), screen.size());
    delete window;
    store.关闭数据库();
}
