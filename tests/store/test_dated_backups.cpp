#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <future>

#include "platform/core/clock.h"
#include "platform/core/error.h"
#include "platform/db/database.h"
#include "seams.h"
#include "store/backup_restore.h"
#include "store/database_module.h"
#include "store/dated_backups.h"
#include "store/note_file_check.h"
#include "test_helpers.h"

namespace {

class DatedBackupsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        db.exec(
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 400) "
            "INSERT INTO Tips(content, BackColor, FontColor, Visual) "
            "SELECT printf('note %d, a line of some length to fill pages', i), 0, 0, 0 FROM n");
    }
    void TearDown() override { testsupport::Seams::setClock({}); }
    void setDay(int day) {
        testsupport::Seams::setClock(
            [day] { return QDateTime(QDate(2026, 12, day), QTime(9, 30)); });
    }
    QStringList names() {
        QStringList out;
        for (const QString& path : DatedBackups::existing(db.path()))
            out << QFileInfo(path).fileName();
        return out;
    }
    // Overwrites the page header of the note table's first page (of the note file or a copy).
    void damage(const QString& path = {}) {
        const int root =
            db.column("SELECT rootpage FROM sqlite_master WHERE name = 'Tips'").value(0).toInt();
        const int pageSize = db.column("PRAGMA page_size").value(0).toInt();
        QFile file(path.isEmpty() ? db.path() : path);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        file.seek(qint64(root - 1) * pageSize);
        file.write(QByteArray(12, '\x7f'));
    }

    // The journal of a save cut short, its pages partly written into the file already, kept
    // under a name of its own: put back beside a note file, the engine undoes it there.
    QString journalOfASaveCutShort() {
        const QString journal = db.path() + "-journal";
        auto open = platform::Database::open(db.path(), false, false, QString());
        open->execute("PRAGMA cache_size=4");
        open->execute("BEGIN");
        open->execute("DELETE FROM Tips WHERE ID % 3 = 0");
        EXPECT_TRUE(QFile::copy(journal, journal + ".left"));
        return journal + ".left";
    }

    testsupport::TempNoteDb db;
};

}  // namespace

TEST_F(DatedBackupsTest, OneADayKeptForAWeekForThisUserOnly) {
    DatedBackups backups;
    setDay(1);
    EXPECT_TRUE(backups.run(db.path()));
    EXPECT_FALSE(backups.run(db.path()));  // the day's second start
    EXPECT_EQ(names(), QStringList{"Zettara-2026-12-01.mdb"});
    const QString folder = DatedBackups::folderFor(db.path());
    EXPECT_EQ(QFileInfo(folder).permissions() & 0x7777, QFile::ReadOwner | QFile::WriteOwner |
                                                            QFile::ExeOwner | QFile::ReadUser |
                                                            QFile::WriteUser | QFile::ExeUser);
    const QString first = DatedBackups::existing(db.path()).value(0);
    EXPECT_EQ(QFileInfo(first).permissions() & 0x7777,
              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
    auto copy = platform::Database::open(first, false, true, QString());
    EXPECT_EQ(copy->openRecordset("SELECT count(*) AS n FROM Tips").field("n").toInt(), 400);
    copy.reset();

    for (int day = 2; day <= 8; ++day) {
        setDay(day);
        EXPECT_TRUE(backups.run(db.path()));
    }
    EXPECT_EQ(names().size(), DatedBackups::kKept);
    EXPECT_EQ(names().first(), "Zettara-2026-12-08.mdb");
    EXPECT_EQ(names().last(), "Zettara-2026-12-02.mdb");  // the first day's is gone
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), DatedBackups::kKept);
}

TEST_F(DatedBackupsTest, DamagedFileIsNotBackedUpAndNamesTheNewestBackup) {
    DatedBackups backups;
    数据库操作模块 store;
    setDay(1);
    ASSERT_TRUE(backups.run(db.path()));
    damage();
    setDay(2);
    EXPECT_FALSE(backups.run(db.path()));
    EXPECT_EQ(names(), QStringList{"Zettara-2026-12-01.mdb"});

    store.打开数据库(db.path(), QString());
    try {
        NoteFileCheck::run(store, db.path());
        ADD_FAILURE() << "a damaged file passed its check";
    } catch (const platform::Error& error) {
        EXPECT_EQ(error.number(), 11);
        EXPECT_TRUE(error.message().contains(QDir::toNativeSeparators(db.path())));
        EXPECT_TRUE(error.message().contains(DatedBackups::existing(db.path()).value(0)));
    }
    // Without a backup it says there is none.
    QDir(DatedBackups::folderFor(db.path())).removeRecursively();
    try {
        NoteFileCheck::run(store, db.path());
        ADD_FAILURE() << "a damaged file passed its check";
    } catch (const platform::Error& error) {
        EXPECT_TRUE(error.message().contains("没有可用的备份"));
    }
    store.关闭数据库();

    // A header so damaged that the file no longer opens names the backup too.
    testsupport::TempNoteDb other;
    ASSERT_TRUE(backups.run(other.path()));
    QFile header(other.path());
    ASSERT_TRUE(header.open(QIODevice::ReadWrite));
    header.write(QByteArray(100, 'x'));
    header.close();
    数据库操作模块 unopened;
    try {
        NoteFileCheck::open(unopened, other.path());
        ADD_FAILURE() << "a file with a damaged header opened";
    } catch (const platform::Error& error) {
        EXPECT_TRUE(error.message().contains(DatedBackups::existing(other.path()).value(0)))
            << error.message().toStdString();
    }
    // An empty file too, instead of failing later for want of its table.
    ASSERT_TRUE(header.open(QIODevice::WriteOnly | QIODevice::Truncate));
    header.close();
    try {
        NoteFileCheck::open(unopened, other.path());
        ADD_FAILURE() << "an empty file opened";
    } catch (const platform::Error& error) {
        EXPECT_TRUE(error.message().contains(DatedBackups::existing(other.path()).value(0)))
            << error.message().toStdString();
    }
}

TEST_F(DatedBackupsTest, DamagedStartOffersTheNewestGoodBackupAndADamagedOneIsNeverRestored) {
    DatedBackups backups;
    setDay(1);
    ASSERT_TRUE(backups.run(db.path()));
    const QString good = DatedBackups::existing(db.path()).value(0);
    setDay(2);
    ASSERT_TRUE(backups.run(db.path()));
    const QString bad = DatedBackups::existing(db.path()).value(0);
    damage(bad);
    damage();
    QStringList offered;
    const auto answer = [&offered](bool yes) {
        return [&offered, yes](const QString& text) { return offered << text, yes; };
    };
    数据库操作模块 store;
    EXPECT_THROW(NoteFileCheck::open(store, db.path(), answer(false)), platform::Error);
    ASSERT_EQ(offered.size(), 1);
    EXPECT_TRUE(offered[0].contains(good)) << offered[0].toStdString();

    NoteFileCheck::open(store, db.path(), answer(true));
    EXPECT_EQ(store.数据库_查找_语句("SELECT count(*) AS n FROM Tips").field("n").toInt(), 400);
    EXPECT_EQ(QDir(db.dir()).entryList({"*.damaged-*"}, QDir::Files).size(), 1);

    // The damaged backup is refused before anything is kept or copied.
    store.database()->execute("DELETE FROM Tips WHERE ID > 10");
    EXPECT_THROW(BackupRestore::restore(store, bad), platform::Error);
    EXPECT_EQ(store.数据库_查找_语句("SELECT count(*) AS n FROM Tips").field("n").toInt(), 10);
    EXPECT_EQ(DatedBackups::existing(db.path()).size(), 2);
    EXPECT_EQ(QDir(DatedBackups::folderFor(db.path())).entryList(QDir::Files).size(), 2);
}

TEST_F(DatedBackupsTest, JournalOfAnUnfinishedSaveUndoneIntoARestoredBackupIsNeverHidden) {
    DatedBackups backups;
    ASSERT_TRUE(backups.run(db.path()));
    const QString backup = DatedBackups::existing(db.path()).value(0);
    db.exec("UPDATE Tips SET content = content || printf('%0500d', ID)");
    const QString left = journalOfASaveCutShort();
    // The README's restore without moving the journal aside.
    ASSERT_TRUE(QFile::remove(db.path()));
    ASSERT_TRUE(QFile::copy(backup, db.path()));
    ASSERT_TRUE(QFile::rename(left, db.path() + "-journal"));
    数据库操作模块 store;
    try {
        NoteFileCheck::open(store, db.path());
        ADD_FAILURE() << "the journal was undone into the backup unseen";
    } catch (const platform::Error& error) {
        EXPECT_FALSE(error.message().contains("未做任何更改")) << error.message().toStdString();
        const QStringList kept =
            QDir(db.dir()).entryList({"*.before-recovery-*"}, QDir::Files, QDir::Name);
        ASSERT_EQ(kept.size(), 2);
        EXPECT_EQ(QFileInfo(QDir(db.dir()).filePath(kept[1])).size(), QFileInfo(backup).size());
        for (const QString& name : kept) EXPECT_TRUE(error.message().contains(name));
    }
}

TEST_F(DatedBackupsTest, ClockSetBackKeepsTheSevenWrittenLast) {
    DatedBackups backups;
    setDay(20);
    ASSERT_TRUE(backups.run(db.path()));
    // A copy cut short by an exit is gone at the next start.
    const QString folder = DatedBackups::folderFor(db.path());
    QFile unfinished(QDir(folder).filePath(".Zettara-2026-12-20.mdb.part"));
    ASSERT_TRUE(unfinished.open(QIODevice::WriteOnly));
    unfinished.close();
    for (int day = 1; day <= 7; ++day) {
        setDay(day);
        EXPECT_TRUE(backups.run(db.path()));
    }
    EXPECT_FALSE(unfinished.exists());
    EXPECT_EQ(names().size(), DatedBackups::kKept);
    EXPECT_EQ(names().first(), "Zettara-2026-12-07.mdb");  // named by the damaged-file message
    EXPECT_FALSE(names().contains("Zettara-2026-12-20.mdb"));
}

TEST_F(DatedBackupsTest, OpenFolderOfTheUserIsMadePrivateElseTheUserIsToldOnce) {
    QStringList told;
    DatedBackups backups([&told](const QString& text) { told << text; });
    const QString folder = DatedBackups::folderFor(db.path());
    ASSERT_TRUE(QDir().mkdir(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                         QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther |
                                         QFile::ExeOther));
    setDay(1);
    EXPECT_TRUE(backups.run(db.path()));
    EXPECT_EQ(QFileInfo(folder).permissions() & 0x0077, 0);
    // A link is not ours to change: no backups, and one word about it, not one a day.
    ASSERT_TRUE(QDir(folder).removeRecursively());
    ASSERT_TRUE(QFile::link(QDir::tempPath(), folder));
    for (int day = 2; day <= 3; ++day) {
        setDay(day);
        EXPECT_FALSE(backups.run(db.path()));
    }
    ASSERT_EQ(told.size(), 1);
    EXPECT_TRUE(told[0].contains(folder));
}

TEST_F(DatedBackupsTest, CopiesAnEarlierRunLeftUnfinishedGoAtTheNextStart) {
    setDay(1);
    DatedBackups().run(db.path());
    const QDir folder(DatedBackups::folderFor(db.path()));
    for (const char* name : {".Zettara-before-restore-20261201-093000.mdb.part", "other.part"}) {
        QFile file(folder.filePath(QLatin1String(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.setFileTime(QDateTime::currentDateTimeUtc().addSecs(-60), QFile::FileModificationTime);
    }
    EXPECT_FALSE(DatedBackups().run(db.path()));  // the day's backup is there already
    EXPECT_EQ(folder.entryList(QDir::Files | QDir::Hidden, QDir::Name),
              QStringList({"Zettara-2026-12-01.mdb", "other.part"}));
}

TEST_F(DatedBackupsTest, AJournalUndoneAtStartIsToldOnceAndItsCopiesAreKept) {
    ASSERT_TRUE(QFile::rename(journalOfASaveCutShort(), db.path() + "-journal"));
    数据库操作模块 store;
    const QString told = NoteFileCheck::open(store, db.path());
    EXPECT_EQ(db.count(), 400);
    const QStringList kept =
        QDir(db.dir()).entryList({"*.before-recovery-*"}, QDir::Files, QDir::Name);
    ASSERT_EQ(kept.size(), 2);
    for (const QString& name : kept) EXPECT_TRUE(told.contains(name)) << told.toStdString();
    store.关闭数据库();
    EXPECT_TRUE(NoteFileCheck::open(store, db.path()).isEmpty());  // once
}

TEST_F(DatedBackupsTest, RestoreWhileAnotherProgramHoldsTheFileWaitsAsASaveAndReplacesNothing) {
    ASSERT_TRUE(DatedBackups().run(db.path()));
    const QString backup = DatedBackups::existing(db.path()).value(0);
    db.exec("DELETE FROM Tips WHERE ID > 10");
    数据库操作模块 store;
    NoteFileCheck::open(store, db.path());
    auto other = platform::Database::open(db.path(), false, false, QString());
    other->execute("BEGIN EXCLUSIVE");
    auto restoring = std::async(std::launch::async, [&] {
        try {
            BackupRestore::restore(store, backup);
        } catch (const platform::Error& error) {
            return error.message();
        }
        return QString("restored");
    });
    const bool bounded = restoring.wait_for(std::chrono::seconds(8)) == std::future_status::ready;
    other->execute("COMMIT");
    EXPECT_TRUE(bounded) << "the restore waited for the other program";
    EXPECT_TRUE(restoring.get().contains("正被另一个程序使用"));
    EXPECT_EQ(db.count(), 10);
}
