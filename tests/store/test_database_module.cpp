#include <gtest/gtest.h>

#include <QFile>

#include "platform/core/convert.h"
#include "platform/core/error.h"
#include "store/database_module.h"
#include "test_helpers.h"

namespace {

class DatabaseModuleTest : public ::testing::Test {
  protected:
    void SetUp() override { module.打开数据库(db.path(), ""); }
    void insert(const QString& text) {
        db.exec("INSERT INTO Tips(content) VALUES('" + text + "')");
    }
    testsupport::TempNoteDb db;
    数据库操作模块 module;
};

TEST_F(DatabaseModuleTest, SnapshotDoesNotSeeLaterInserts) {
    insert("one");
    platform::Recordset rs = module.数据库_查找_语句("Select * from Tips");
    insert("two");
    rs.moveLast();
    EXPECT_EQ(rs.recordCount(), 1);
    EXPECT_EQ(platform::toText(rs.field("content")), "one");
}

TEST_F(DatabaseModuleTest, ColumnNamesAreCaseInsensitiveAndUnknownNamesFail) {
    insert("x");
    platform::Recordset rs = module.数据库_查找_语句("Select * from Tips");
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
    platform::Recordset rs = module.数据库_查找_语句("Select * from Tips");
    EXPECT_EQ(rs.recordCount(), 0);
    EXPECT_THROW(rs.moveLast(), platform::Error);
    EXPECT_THROW(rs.moveFirst(), platform::Error);
}

TEST_F(DatabaseModuleTest, RejectedStatementCarriesTheEngineError) {
    try {
        module.数据库_查找_语句("SELECT * FROM Nope");
        FAIL() << "bad statement accepted";
    } catch (const platform::Error& e) {
        EXPECT_EQ(e.number(), 1);  // SQLITE_ERROR
        EXPECT_TRUE(e.message().contains("no such table"));
    }
    // One statement per text: a second one is never run.
    insert("x");
    EXPECT_THROW(module.数据库_查找_语句("Select * from Tips where id = 1; DROP TABLE Tips"),
                 platform::Error);
    EXPECT_EQ(db.count(), 1);
}

TEST(DatabaseModuleStates, OperationsFailBeforeOpenAndAfterClose) {
    testsupport::TempNoteDb db;
    数据库操作模块 module;
    EXPECT_THROW(module.数据库_查找_语句("Select * from Tips"), platform::Error);
    EXPECT_THROW(module.关闭数据库(), platform::Error);

    module.打开数据库(db.path(), "");
    EXPECT_NO_THROW(module.数据库_查找_语句("Select * from Tips"));
    module.关闭数据库();
    EXPECT_THROW(module.数据库_查找_语句("Select * from Tips"), platform::Error);
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
