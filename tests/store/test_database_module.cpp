#include <gtest/gtest.h>

#include <QFile>

#include "platform/core/convert.h"
#include "platform/core/error.h"
#include "store/database_module.h"
#include "store/statements.h"
#include "test_helpers.h"

namespace {

QDateTime at(int h, int mi, int s) {
    return QDateTime(QDate(2026, 12, 6), QTime(h, mi, s));
}

class DatabaseModuleTest : public ::testing::Test {
  protected:
    void SetUp() override { module.打开数据库(db.path(), ""); }
    QString insert(const QString& text, const QDateTime& when = at(9, 0, 0)) {
        module.数据库_添加_语句(statements::insertNote(text, when, 12648447, 0, 20));
        return db.column("SELECT max(ID) FROM Tips").value(0);
    }
    testsupport::TempNoteDb db;
    数据库操作模块 module;
};

TEST_F(DatabaseModuleTest, TextRoundTripsUnchanged) {
    const QStringList texts = {
        "it's Tom's", "line one\r\nline two\nthree", "tab\there \"q\" \\ <b>x</b>", "😀 中文",
        " ",          QString(1 << 20, QChar('x'))};
    for (const QString& text : texts) {
        const QString id = insert(text);
        platform::Recordset rs = module.数据库_查找_语句(statements::selectOne(id.toLongLong()));
        ASSERT_EQ(rs.recordCount(), 1);
        EXPECT_EQ(platform::toText(rs.field("content")), text);
        // S5 stores the same text unchanged too.
        module.数据库_添加_语句(
            statements::updateNote(text + "'", at(10, 0, 0), 1, 2, 0, id.toInt()));
        rs = module.数据库_查找_语句(statements::selectOne(id.toLongLong()));
        EXPECT_EQ(platform::toText(rs.field("content")), text + "'");
    }
}

TEST_F(DatabaseModuleTest, NulCharactersAreDroppedAndTheRestKept) {
    // A pasted NUL used to end the statement text inside the quoted value.
    const QString text = QStringLiteral("a") + QChar(0) + QStringLiteral("it's\n中") + QChar(0);
    const QString kept = QStringLiteral("ait's\n中");
    const QString id = insert(text);
    platform::Recordset rs = module.数据库_查找_语句(statements::selectOne(id.toLongLong()));
    ASSERT_EQ(rs.recordCount(), 1);
    EXPECT_EQ(platform::toText(rs.field("content")), kept);
    module.数据库_添加_语句(
        statements::updateNote(QChar(0) + text, at(10, 0, 0), 1, 2, 0, id.toInt()));
    rs = module.数据库_查找_语句(statements::selectOne(id.toLongLong()));
    EXPECT_EQ(platform::toText(rs.field("content")), kept);
}

TEST_F(DatabaseModuleTest, InsertDefaultsAndUpdateMovesOnlyChangeTime) {
    const QString id = insert("abc", at(1, 47, 55));
    platform::Recordset rs = module.数据库_查找_语句(statements::selectOne(id.toLongLong()));
    EXPECT_EQ(platform::toText(rs.field("CreateTime")), "2026/12/6 1:47:55");
    EXPECT_EQ(platform::toText(rs.field("ChangeTime")), "2026/12/6 1:47:55");
    EXPECT_EQ(platform::toInt32(rs.field("BackColor")), 12648447);
    EXPECT_EQ(platform::toInt32(rs.field("FontColor")), 0);
    EXPECT_EQ(platform::toInt32(rs.field("Deleted")), 0);
    EXPECT_TRUE(platform::toBool(rs.field("Visual")));
    EXPECT_EQ(platform::toInt32(rs.field("TopMost")), 0);
    EXPECT_EQ(platform::toInt32(rs.field("Transparent")), 20);

    module.数据库_添加_语句(statements::updateNote("abc", at(0, 0, 0), 255, 0, 20, id.toInt()));
    rs = module.数据库_查找_语句(statements::selectOne(id.toLongLong()));
    EXPECT_EQ(platform::toText(rs.field("CreateTime")), "2026/12/6 1:47:55");
    EXPECT_EQ(platform::toText(rs.field("ChangeTime")), "2026/12/6");
    EXPECT_EQ(platform::toInt32(rs.field("BackColor")), 255);
}

TEST_F(DatabaseModuleTest, MissingIdChangesNothingAndRaisesNothing) {
    insert("keep");
    const QStringList before = db.column("SELECT content || ChangeTime FROM Tips");
    EXPECT_TRUE(module.数据库_删除_语句(statements::deleteOne(999)));
    EXPECT_TRUE(module.数据库_添加_语句(statements::updateNote("x", at(2, 0, 0), 1, 1, 0, 999)));
    EXPECT_EQ(db.column("SELECT content || ChangeTime FROM Tips"), before);
    platform::Recordset rs = module.数据库_查找_语句(statements::selectOne(999));
    EXPECT_EQ(rs.recordCount(), 0);
    EXPECT_TRUE(rs.eof());
    EXPECT_THROW(rs.field("BackColor"), platform::Error);
}

TEST_F(DatabaseModuleTest, IdsStayAscendingAfterDeletingTheNewest) {
    insert("a");
    const QString second = insert("b");
    module.数据库_删除_语句(statements::deleteOne(second.toLongLong()));
    const QString third = insert("c");
    EXPECT_GT(third.toInt(), second.toInt());
    platform::Recordset rs = module.数据库_查找_语句(statements::selectAll());
    QStringList order;
    for (; !rs.eof(); rs.moveNext()) order << platform::toText(rs.field("content"));
    EXPECT_EQ(order, QStringList({"a", "c"}));
}

TEST_F(DatabaseModuleTest, SnapshotDoesNotSeeLaterInserts) {
    insert("one");
    platform::Recordset rs = module.数据库_查找_语句(statements::selectAll());
    insert("two");
    rs.moveLast();
    EXPECT_EQ(rs.recordCount(), 1);
    EXPECT_EQ(platform::toText(rs.field("content")), "one");
}

TEST_F(DatabaseModuleTest, ColumnNamesAreCaseInsensitiveAndUnknownNamesFail) {
    insert("x");
    platform::Recordset rs = module.数据库_查找_语句(statements::selectAll());
    EXPECT_EQ(platform::toText(rs.field("CONTENT")), "x");
    EXPECT_EQ(platform::toText(rs.field("id")), platform::toText(rs.field("ID")));
    try {
        rs.field("Nope");
        FAIL() << "unknown column accepted";
    } catch (const platform::Error& e) {
        EXPECT_EQ(e.number(), platform::errc::itemNotFound);
    }
}

TEST_F(DatabaseModuleTest, EmptyTableMovesFail) {
    platform::Recordset rs = module.数据库_查找_语句(statements::selectAll());
    EXPECT_EQ(rs.recordCount(), 0);
    EXPECT_THROW(rs.moveLast(), platform::Error);
    EXPECT_THROW(rs.moveFirst(), platform::Error);
}

TEST_F(DatabaseModuleTest, RejectedStatementCarriesTheEngineError) {
    try {
        module.数据库_添加_语句("INSERT INTO Nope VALUES(1)");
        FAIL() << "bad statement accepted";
    } catch (const platform::Error& e) {
        EXPECT_EQ(e.number(), 1);  // SQLITE_ERROR
        EXPECT_TRUE(e.message().contains("no such table"));
    }
    // One statement per text: a second one is never run.
    EXPECT_THROW(module.数据库_删除_语句("Delete from Tips where id = 1; DROP TABLE Tips"),
                 platform::Error);
    EXPECT_EQ(db.count(), 0);
}

TEST(DatabaseModuleStates, OperationsFailBeforeOpenAndAfterClose) {
    testsupport::TempNoteDb db;
    数据库操作模块 module;
    EXPECT_THROW(module.数据库_查找_语句(statements::selectAll()), platform::Error);
    EXPECT_THROW(module.数据库_添加_语句("x"), platform::Error);
    EXPECT_THROW(module.数据库_删除_语句("x"), platform::Error);
    EXPECT_THROW(module.关闭数据库(), platform::Error);

    module.打开数据库(db.path(), "");
    EXPECT_NO_THROW(module.数据库_查找_语句(statements::selectAll()));
    module.关闭数据库();
    EXPECT_THROW(module.数据库_查找_语句(statements::selectAll()), platform::Error);
    EXPECT_THROW(module.数据库_添加_语句(statements::deleteOne(1)), platform::Error);
    EXPECT_THROW(module.关闭数据库(), platform::Error);
}

TEST(DatabaseModuleStates, ConnectTextFollowsThePassword) {
    testsupport::TempNoteDb db;
    数据库操作模块 module;
    module.打开数据库(db.path(), "");
    EXPECT_EQ(module.database()->connectText(), QString());
    module.打开数据库(db.path(), "secret");
    EXPECT_EQ(module.database()->connectText(), ";Pwd=secret");
}

TEST(DatabaseModuleStates, FailedOpenKeepsTheMemberAndCreatesNoFile) {
    testsupport::TempNoteDb db;
    数据库操作模块 module;
    module.打开数据库(db.path(), "");
    const auto before = module.database();
    const QString missing = db.dir() + "/missing.mdb";
    EXPECT_THROW(module.打开数据库(missing, ""), platform::Error);
    EXPECT_EQ(module.database(), before);
    EXPECT_FALSE(QFile::exists(missing));
}

}  // namespace
