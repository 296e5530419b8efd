#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QDir>

#include "platform/core/error_text.h"
#include "platform/db/database.h"
#include "test_helpers.h"

namespace {

QString shownForOpening(const QString& path) {
    try {
        platform::Database::open(path, false, false, {});
    } catch (const platform::Error& error) {
        return platform::userText(error);
    }
    return {};
}

// A failure says what happened and what to do; the engine's or network's own words follow in
// brackets, and a sentence of the program's own is shown as it is.
TEST(ErrorText, SaysWhatHappenedAndWhatToDoWithTheCalleesWordsInBrackets) {
    testsupport::TempNoteDb db;
    const QString missing = QDir::toNativeSeparators(db.dir() + "/gone/Zettara.mdb");
    EXPECT_EQ(shownForOpening(missing),
              "找不到文件“" + missing +
                  "”。请确认它没有被移走、改名或删除，然后再试。\n（错误 14：unable to open "
                  "database file）");

    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(db.path().toUtf8().constData(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    EXPECT_EQ(shownForOpening(db.path()),
              "便签文件正被另一个程序使用，这一步没有完成。请稍后再试。\n（错误 5：database is "
              "locked）");
    sqlite3_close(other);

    EXPECT_EQ(platform::userText(platform::Trouble::HostNotFound, "Host not found"),
              "找不到服务器。请检查网络连接，稍后再试。\n（Host not found）");
    EXPECT_EQ(platform::userText(platform::Error(48, "便签太多。")), "便签太多。\n（错误 48）");
}

}  // namespace
