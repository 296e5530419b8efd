#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QCryptographicHash>
#include <QFile>
#include <stdexcept>

#include "platform/core/error.h"
#include "platform/db/database.h"
#include "platform/db/transaction.h"
#include "test_helpers.h"

namespace {

QByteArray digest(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

int openError(const QString& path) {
    try {
        platform::Database::open(path, false, false, {});
    } catch (const platform::Error& e) {
        EXPECT_FALSE(e.message().isEmpty());
        return e.number();
    }
    return 0;
}

TEST(DatabaseOpen, AMissingFileFailsAndIsNeverCreated) {
    testsupport::TempNoteDb db;
    const QString missing = db.dir() + "/none.mdb";
    EXPECT_EQ(openError(missing) & 0xFF, SQLITE_CANTOPEN);
    EXPECT_FALSE(QFile::exists(missing));
}

TEST(DatabaseOpen, AFileThatIsNotSqliteFailsAndStaysUnchanged) {
    testsupport::TempNoteDb db;
    // An Access/Jet header and random bytes.
    const QString jet = db.dir() + "/jet.mdb";
    {
        QFile f(jet);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        QByteArray bytes("\x00\x01\x00\x00Standard Jet DB\x00", 20);
        bytes += QByteArray(4096, '\x5a');
        f.write(bytes);
    }
    const QByteArray jetBefore = digest(jet);
    EXPECT_EQ(openError(jet) & 0xFF, SQLITE_NOTADB);
    EXPECT_EQ(digest(jet), jetBefore);
}

TEST(DatabaseOpen, AReadOnlyFileOrFolderFailsAsReadOnlyAndStaysUnchanged) {
    testsupport::TempNoteDb db;
    // Marked read-only.
    const QByteArray before = digest(db.path());
    QFile::setPermissions(db.path(), QFileDevice::ReadOwner | QFileDevice::ReadUser);
    EXPECT_EQ(openError(db.path()) & 0xFF, SQLITE_READONLY);
    QFile::setPermissions(db.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    EXPECT_EQ(digest(db.path()), before);

    // A writable file in a read-only folder: SQLite could not create its journal there.
    const auto folderRights = QFile::permissions(db.dir());
    QFile::setPermissions(db.dir(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    EXPECT_EQ(openError(db.path()), SQLITE_READONLY_DIRECTORY);
    QFile::setPermissions(db.dir(), folderRights);
    EXPECT_EQ(digest(db.path()), before);
}

TEST(DatabaseOpen, FileLockedByAnotherConnectionFailsWithBusy) {
    testsupport::TempNoteDb db;
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(db.path().toUtf8().constData(), &other), SQLITE_OK);
    // A writer's lock still lets the file be read: only the write-lock check at open sees it.
    // An exclusive lock stops even the first read.
    for (const char* begin : {"BEGIN IMMEDIATE", "BEGIN EXCLUSIVE"}) {
        ASSERT_EQ(sqlite3_exec(other, begin, nullptr, nullptr, nullptr), SQLITE_OK);
        try {
            platform::Database::open(db.path(), false, false, {});
            ADD_FAILURE() << begin << ": opened";
        } catch (const platform::Error& e) {
            EXPECT_EQ(e.number() & 0xFF, SQLITE_BUSY) << begin;
            EXPECT_EQ(e.raw(), QStringLiteral("database is locked")) << begin;
        }
        ASSERT_EQ(sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr), SQLITE_OK);
    }
    sqlite3_close(other);
    EXPECT_NO_THROW(platform::Database::open(db.path(), false, false, {}));
}

TEST(Recordset, NullValuesAndMoves) {
    testsupport::TempNoteDb db;
    db.exec(
        "INSERT INTO Tips(content, Visual) VALUES(NULL, 1); INSERT INTO Tips(content) VALUES('b')");
    auto database = platform::Database::open(db.path(), false, false, {});
    platform::Recordset rs = database->openRecordset("Select * from Tips");
    EXPECT_EQ(rs.recordCount(), 2);
    EXPECT_FALSE(rs.field("content").isValid());
    EXPECT_EQ(rs.field("Visual").toInt(), 1);
    rs.moveNext();
    EXPECT_EQ(rs.field("content").toString(), "b");
    rs.moveNext();
    EXPECT_TRUE(rs.eof());
    EXPECT_THROW(rs.moveNext(), platform::Error);
    rs.moveFirst();
    EXPECT_EQ(rs.field("content").isValid(), false);
}

TEST(PreparedStatement, BindsReadsFailsAndWaitsOnlyAsLongAsAsked) {
    testsupport::TempNoteDb db;
    auto database = platform::Database::open(db.path(), false, false, {});
    auto insert = database->prepare(
        "INSERT INTO Tips(ID, content, BackColor, FontColor) VALUES(?1, ?2, ?3, ?4)");
    insert.bindInt64(1, qint64(1) << 40).bindText(2, "it's 便签").bindDouble(3, 0.5).bindNull(4);
    EXPECT_FALSE(insert.step());
    auto row = database->prepare("SELECT ID, content, BackColor, FontColor FROM Tips");
    ASSERT_TRUE(row.step());
    EXPECT_EQ(row.value(0), QVariant(qlonglong(1) << 40));
    EXPECT_EQ(row.value(1), QVariant("it's 便签"));
    EXPECT_EQ(row.value(2), QVariant(0.5));
    EXPECT_FALSE(row.value(3).isValid());
    EXPECT_FALSE(row.step());
    EXPECT_THROW(database->prepare("SELECT 1; DELETE FROM Tips"), platform::Error);
    EXPECT_THROW(insert.bindInt64(5, 1), platform::Error);

    // A short wait gives up on a lock held elsewhere, then the connection waits as before.
    auto other = platform::Database::open(db.path(), false, false, {});
    other->execute("BEGIN EXCLUSIVE");
    auto remove = database->prepare("DELETE FROM Tips");
    remove.setBusyTimeout(10);
    EXPECT_THROW(remove.step(), platform::Error);
    other->execute("ROLLBACK");
    EXPECT_EQ(database->openRecordset("PRAGMA busy_timeout").field("timeout").toInt(), 1500);
}

TEST(Transaction, AnyExceptionFromAStepRollsBack) {
    testsupport::TempNoteDb db;
    auto database = platform::Database::open(db.path(), false, false, {});
    EXPECT_THROW(platform::inTransaction(*database,
                                         [&]() -> bool {
                                             database->execute(
                                                 "INSERT INTO Tips(content) "
                                                 "VALUES('half done')");
                                             throw std::runtime_error("not ours");
                                         }),
                 std::runtime_error);
    EXPECT_EQ(db.count(), 0);
    // Nothing left open: the next transaction starts and commits.
    EXPECT_TRUE(platform::inTransaction(*database, [&] {
        database->execute("INSERT INTO Tips(content) VALUES('done')");
        return true;
    }));
    EXPECT_EQ(db.count(), 1);
}

}  // namespace
