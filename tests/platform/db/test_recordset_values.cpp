#include <gtest/gtest.h>

#include "platform/core/error.h"
#include "platform/db/database.h"
#include "test_helpers.h"

namespace {

// Every storage class comes back with the type and value the engine delivered, row by row,
// whatever the other rows held.
TEST(RecordsetValues, EachStorageClassKeepsItsTypeAndValue) {
    testsupport::TempNoteDb db;
    db.exec(
        "CREATE TABLE v(i, r, t, b, n);"
        "INSERT INTO v VALUES(-9007199254740993, 2.5, '便签 one', x'00ff10', NULL);"
        "INSERT INTO v VALUES(0, -0.125, '', x'', 7);"
        "INSERT INTO v VALUES('12', 1e300, 'a' || char(0) || 'b', NULL, 'x''y')");
    auto database = platform::Database::open(db.path(), false, false, {});
    platform::Recordset rs = database->openRecordset("SELECT * FROM v");
    ASSERT_EQ(rs.recordCount(), 3);

    EXPECT_EQ(rs.field("i").typeId(), QMetaType::LongLong);
    EXPECT_EQ(rs.field("i").toLongLong(), -9007199254740993LL);
    EXPECT_EQ(rs.field("R").typeId(), QMetaType::Double);
    EXPECT_EQ(rs.field("r").toDouble(), 2.5);
    EXPECT_EQ(rs.field("t").typeId(), QMetaType::QString);
    EXPECT_EQ(rs.field("t").toString(), QStringLiteral("便签 one"));
    EXPECT_EQ(rs.field("b").typeId(), QMetaType::QByteArray);
    EXPECT_EQ(rs.field("b").toByteArray(), QByteArray("\x00\xff\x10", 3));
    EXPECT_FALSE(rs.field("n").isValid());

    rs.moveNext();
    EXPECT_EQ(rs.field("i").toLongLong(), 0);
    EXPECT_EQ(rs.field("r").toDouble(), -0.125);
    EXPECT_EQ(rs.field("t").typeId(), QMetaType::QString);
    EXPECT_TRUE(rs.field("t").toString().isEmpty());
    EXPECT_EQ(rs.field("b").typeId(), QMetaType::QByteArray);
    EXPECT_TRUE(rs.field("b").toByteArray().isEmpty());
    EXPECT_EQ(rs.field("n").toLongLong(), 7);

    rs.moveLast();
    EXPECT_EQ(rs.field("i").typeId(), QMetaType::QString);  // no affinity: stored as given
    EXPECT_EQ(rs.field("i").toString(), QStringLiteral("12"));
    EXPECT_EQ(rs.field("r").toDouble(), 1e300);
    EXPECT_EQ(rs.field("t").toString(), QString::fromUtf8("a\0b", 3));
    EXPECT_FALSE(rs.field("b").isValid());
    EXPECT_EQ(rs.field("n").toString(), QStringLiteral("x'y"));
    EXPECT_THROW(rs.field("missing"), platform::Error);
}

// The snapshot is a copy: a copy of it, and the original after the table changed, still read
// the rows as they were.
TEST(RecordsetValues, SnapshotAndItsCopiesOutliveChanges) {
    testsupport::TempNoteDb db;
    db.exec("INSERT INTO Tips(content) VALUES('first'), ('second')");
    auto database = platform::Database::open(db.path(), false, false, {});
    platform::Recordset rs = database->openRecordset("Select * from Tips");
    database->execute("UPDATE Tips SET content = 'changed'");
    database->execute("INSERT INTO Tips(content) VALUES('third')");
    platform::Recordset copy = rs;
    rs.moveLast();
    EXPECT_EQ(rs.recordCount(), 2);
    EXPECT_EQ(rs.field("content").toString(), QStringLiteral("second"));
    EXPECT_EQ(copy.field("content").toString(), QStringLiteral("first"));
}

}  // namespace
