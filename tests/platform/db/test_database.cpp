#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QCryptographicHash>
#include <QFile>

#include "platform/core/error.h"
#include "platform/db/database.h"
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

TEST(DatabaseOpen, BadFilesFailWithTheEngineErrorAndStayUnchanged) {
    testsupport::TempNoteDb db;
    // Missing: never created.
    const QString missing = db.dir() + "/none.mdb";
    EXPECT_EQ(openError(missing) & 0xFF, SQLITE_CANTOPEN);
    EXPECT_FALSE(QFile::exists(missing));

    // Not SQLite: an Access/Jet header and random bytes.
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
            EXPECT_EQ(e.message(), QStringLiteral("database is locked")) << begin;
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

}  // namespace
