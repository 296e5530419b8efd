#include <gtest/gtest.h>

#include "platform/core/error.h"
#include "store/database_module.h"
#include "store/note_file_check.h"
#include "store/note_trash.h"
#include "test_helpers.h"

TEST(NoteTrash, AnInterruptedDeleteOrUndoLeavesTheNoteInExactlyOneTable) {
    testsupport::TempNoteDb db;
    db.exec(
        "INSERT INTO Tips VALUES(1, 'a''b', '2026/3/1 9:15:00', '2026/3/2', 0, 12648447, "
        "255, 1, '0', 20), (2, 'c', NULL, NULL, 0, 1, 2, 0, 0, 20)");
    db.exec("CREATE TABLE NotePlacement(ID INTEGER PRIMARY KEY, X, Y, Width, Height)");
    db.exec("INSERT INTO NotePlacement VALUES(1, 5, 6, 170, 120)");
    // Every value of a note and its place, typed as stored.
    const auto note = [&](std::int64_t id) {
        return db.column(QString("SELECT quote(t.content)||quote(CreateTime)||quote(ChangeTime)||"
                                 "quote(Deleted)||quote(BackColor)||quote(FontColor)||"
                                 "quote(Visual)||quote(TopMost)||quote(Transparent)||"
                                 "quote(p.X)||quote(p.Width) FROM Tips t LEFT JOIN NotePlacement "
                                 "p USING(ID) WHERE ID = %1")
                             .arg(id));
    };
    const QStringList first = note(1), second = note(2);
    数据库操作模块 store;
    NoteFileCheck::open(store, db.path());
    const NoteTrash trash(store);
    const auto tables = [&] {
        return db.column(
            "SELECT (SELECT count(*) FROM Tips WHERE ID = 1) || (SELECT count(*) "
            "FROM NoteTrash WHERE ID = 1)");
    };
    // A failure at the last step of each transaction undoes the steps before it.
    const auto failing = [&](const QString& table, const auto& run) {
        store.database()->execute("CREATE TEMP TRIGGER fail BEFORE DELETE ON " + table +
                                  " BEGIN SELECT RAISE(ABORT, 'injected'); END");
        EXPECT_THROW(run(), platform::Error);
        store.database()->execute("DROP TRIGGER fail");
    };
    failing("NotePlacement", [&] { trash.deleteNote(1, true); });
    EXPECT_EQ(tables(), QStringList{"10"});
    EXPECT_EQ(note(1), first);
    trash.deleteNote(1, true);
    failing("NoteTrash", [&] { trash.restoreNewest(); });
    EXPECT_EQ(tables(), QStringList{"01"});

    // Newest first; an ID taken meanwhile gives the note a new one.
    trash.deleteNote(2, false);
    db.exec("INSERT INTO Tips(ID) VALUES(2)");
    const auto moved = trash.restoreNewest();
    ASSERT_TRUE(moved);
    EXPECT_NE(moved->id, 2);
    EXPECT_FALSE(moved->windowOpen);
    EXPECT_EQ(note(moved->id), second);
    const auto back = trash.restoreNewest();
    ASSERT_TRUE(back);
    EXPECT_EQ(back->id, 1);
    EXPECT_TRUE(back->windowOpen);
    EXPECT_EQ(note(1), first);
    EXPECT_FALSE(trash.holdsAny());

    // Kept for 30 days, with the window state a note may come back with.
    const QDateTime now = QDateTime::currentDateTimeUtc();
    db.exec(QString("INSERT INTO NoteTrash(ID, DeletedAt) VALUES(8, %1), (9, %2)")
                .arg(now.addDays(-31).toSecsSinceEpoch())
                .arg(now.addDays(-29).toSecsSinceEpoch()));
    db.exec("INSERT INTO NoteWindowState(ID, KeepAbove) VALUES(1, 1), (8, 1), (9, 1)");
    trash.prune(now);
    EXPECT_EQ(db.column("SELECT ID FROM NoteTrash"), QStringList{"9"});
    EXPECT_EQ(db.column("SELECT ID FROM NoteWindowState ORDER BY ID"), (QStringList{"1", "9"}));
    store.关闭数据库();
}
