#include <gtest/gtest.h>

#include <QFile>

#include "platform/core/error.h"
#include "platform/db/database.h"
#include "store/database_module.h"
#include "store/note_file_check.h"
#include "store/note_placements.h"
#include "store/note_trash.h"
#include "store/own_schema.h"
#include "test_helpers.h"

namespace {

const QString kFiveColumns = QStringLiteral(
    "CREATE TABLE NotePlacement(ID INTEGER PRIMARY KEY, X INTEGER, Y INTEGER, Width INTEGER, "
    "Height INTEGER)");

QString shape(const testsupport::TempNoteDb& db) {
    return db.column("PRAGMA user_version").join("") + ":" +
           db.column("SELECT name FROM pragma_table_info('NotePlacement')").join(",");
}

QStringList places(const testsupport::TempNoteDb& db) {
    return db.column(
        "SELECT ID || ',' || ifnull(X, '-') || ',' || ifnull(Y, '-') || ',' || Width "
        "|| ',' || Height FROM NotePlacement ORDER BY ID");
}

}  // namespace

TEST(OwnSchema, EveryNoteFileOpensAtOurVersionWithItsPlacementsKept) {
    const QString current = kFiveColumns.chopped(1) + ", Scale REAL)";
    const QString ours = QString::number(OwnSchema::kVersion) + ":ID,X,Y,Width,Height,Scale";
    const std::pair<QStringList, QString> files[] = {
        // set-up, shape after opening
        {{}, ours},
        {{kFiveColumns,
          "INSERT INTO NotePlacement VALUES(1, 30000, 24, 170, 160), (2, NULL, "
          "NULL, 150, 100)"},
         ours},
        {{current, "INSERT INTO NotePlacement VALUES(1, 10, 20, 170, 160, 2)"}, ours},
        // A newer program's file: read as it is, never written.
        {{current, "INSERT INTO NotePlacement VALUES(2, 10, 20, 170, 160, 2)",
          "PRAGMA user_version = 7"},
         "7:ID,X,Y,Width,Height,Scale"},
    };
    for (const auto& [setup, after] : files) {
        SCOPED_TRACE(setup.join(";").toStdString());
        testsupport::TempNoteDb db;
        db.exec("INSERT INTO Tips(content) VALUES('a'), ('b')");
        for (const QString& sql : setup) db.exec(sql);
        const QStringList before = setup.isEmpty() ? QStringList() : places(db);
        数据库操作模块 store;
        for (int twice = 0; twice < 2; ++twice) {
            NoteFileCheck::open(store, db.path());
            EXPECT_EQ(shape(db), after);
            EXPECT_EQ(places(db), before);
        }
        const bool newer = after != ours;
        const NotePlacements placements(store);
        placements.save(2, {QPoint(5, 6), QSize(70, 80), 1.5});
        placements.remove(1);
        EXPECT_EQ(places(db), newer ? before : QStringList{"2,5,6,70,80"});
        EXPECT_EQ(placements.find(2)->size, newer ? QSize(170, 160) : QSize(70, 80));
        store.关闭数据库();
    }
}

TEST(OwnSchema, AFileLockedAtOpenStartsWithoutPlacementsAndIsLeftAsItIs) {
    testsupport::TempNoteDb db;
    db.exec("INSERT INTO Tips(content) VALUES('a')");
    db.exec(kFiveColumns);
    db.exec("INSERT INTO NotePlacement VALUES(1, 30000, 24, 170, 160)");
    数据库操作模块 store;
    store.打开数据库(db.path(), QString());
    {
        auto other = platform::Database::open(db.path(), false, false, QString());
        other->execute("BEGIN IMMEDIATE");
        OwnSchema::prepare(store);
        other->execute("ROLLBACK");
    }
    EXPECT_EQ(store.ownTables(), OwnSchema::Access::None);
    const NotePlacements placements(store);
    EXPECT_FALSE(placements.find(1));
    placements.save(1, {QPoint(5, 6), QSize(70, 80), 1});
    EXPECT_EQ(shape(db) + places(db).join(""), "0:ID,X,Y,Width,Height1,30000,24,170,160");
}

// Where the compositor places windows only the size is known: saving it keeps the place the
// note has on X11, and a note without a row gets a size alone.
TEST(NotePlacements, ASizeAloneKeepsTheStoredPosition) {
    testsupport::TempNoteDb db;
    db.exec("INSERT INTO Tips(ID, content) VALUES(1, 'a'), (2, 'b')");
    db.exec(kFiveColumns);
    db.exec("INSERT INTO NotePlacement VALUES(1, 300, 200, 170, 120)");
    数据库操作模块 store;
    NoteFileCheck::open(store, db.path());
    const NotePlacements placements(store);
    placements.save(1, {std::nullopt, QSize(230, 160), 0});
    placements.save(2, {std::nullopt, QSize(200, 100), 0});
    EXPECT_EQ(places(db), (QStringList{"1,300,200,230,160", "2,-,-,200,100"}));
    const std::optional<NotePlacements::Place> second = placements.find(2);
    ASSERT_TRUE(second);
    EXPECT_FALSE(second->position);
    store.关闭数据库();
}

TEST(OwnSchema, OnlyANoteFileIsChangedAndOurTablesInTheWrongShapeAreMadeAgain) {
    // No note file (no Tips, or one without the note's columns): refused, left byte for byte.
    for (const char* foreign : {"DROP TABLE Tips; CREATE TABLE t(x)",
                                "DROP TABLE Tips; CREATE TABLE Tips(ID, content)"}) {
        testsupport::TempNoteDb db;
        db.exec(foreign);
        QFile file(db.path());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray before = file.readAll();
        数据库操作模块 store;
        EXPECT_THROW(NoteFileCheck::open(store, db.path()), platform::Error);
        store.关闭数据库();
        file.seek(0);
        EXPECT_EQ(file.readAll(), before);
    }
    testsupport::TempNoteDb db;
    db.exec("INSERT INTO Tips(ID, content) VALUES(1, 'a')");
    数据库操作模块 store;
    NoteFileCheck::open(store, db.path());
    store.关闭数据库();
    db.exec(
        "DROP TABLE NoteTrash; CREATE TABLE NoteTrash(Seq INTEGER PRIMARY KEY, Kept); "
        "INSERT INTO NoteTrash VALUES(1, 'old'); DROP TABLE NoteWindowState; "
        "CREATE VIEW NoteWindowState AS SELECT 1 AS ID");
    NoteFileCheck::open(store, db.path());
    QStringList aside = store.ownTablesSetAside();
    aside.sort();
    ASSERT_EQ(aside.size(), 2);
    EXPECT_TRUE(aside[0].startsWith("NoteTrash_damaged_"));
    EXPECT_TRUE(aside[1].startsWith("NoteWindowState_damaged_"));
    EXPECT_EQ(db.column(QString("SELECT Kept FROM \"%1\"").arg(aside[0])), QStringList{"old"});
    EXPECT_TRUE(OwnSchema::notice(store).contains(aside[1]));
    NoteTrash(store).deleteNote(1, false);
    EXPECT_EQ(db.column("SELECT content FROM NoteTrash"), QStringList{"a"});
    EXPECT_EQ(db.column("SELECT type FROM sqlite_master WHERE name = 'NoteWindowState'"),
              QStringList{"table"});
    store.关闭数据库();
}
