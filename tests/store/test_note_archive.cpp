#include <gtest/gtest.h>
#include <sys/mount.h>

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <filesystem>

#include "platform/core/error.h"
#include "store/database_module.h"
#include "store/note_archive.h"
#include "store/note_file_check.h"
#include "test_helpers.h"

// A note file with one note, exported as our own JSON file.
class NoteArchiveExported : public ::testing::Test {
  protected:
    void SetUp() override {
        db.exec("INSERT INTO Tips(content, CreateTime) VALUES('a', '2026/12/7 9:00:00')");
        NoteFileCheck::open(store, db.path());
        NoteArchive::exportTo(store, ours, NoteArchive::Format::Json);
    }
    testsupport::TempNoteDb db;
    数据库操作模块 store;
    const QString ours = db.dir() + "/ours.json";
};

TEST_F(NoteArchiveExported, ForeignDamagedOrHostileFilesAreRefusedAndWriteNothing) {
    QFile read(ours);
    ASSERT_TRUE(read.open(QIODevice::ReadOnly));
    const QByteArray good = read.readAll();
    const QByteArray head = R"({"format": "zettara-notes", "version": 1, "notes": [)";
    const auto note = [&head](const QByteArray& tips, const QByteArray& place = "null",
                              const QByteArray& window = "null") {
        return head + R"({"tips": {"content": "b", )" + tips + R"(}, "place": )" + place +
               R"(, "window": )" + window + "}]}";
    };
    const auto repeat = [](const QByteArray& part, int times) {
        QByteArray out;
        for (int i = 0; i < times; ++i) out += part;
        return out;
    };

    const std::pair<QByteArray, QString> files[] = {
        {R"({"format": "other", "version": 1, "notes": []})", "不是本程序导出"},
        {R"([1, 2])", "不是本程序导出"},
        {good.left(good.size() / 2), "不完整或已损坏"},
        {QByteArray(good).replace(R"("version": 1)", R"("version": 2)"), "更新版本"},
        {repeat("[", 5000) + repeat("]", 5000), "嵌套层次太深"},
        {QByteArray(good).replace("\"a\"", "\"\xff\xfe\""), "UTF-8"},
        {note(R"("BackColor": "red")"), "第 1 个便签的“BackColor”无效"},
        {note(R"("Visual": 1.5)"), "“Visual”无效"},
        {note(R"("CreateTime": 7)"), "“CreateTime”无效"},
        {note(R"("Deleted": 0)", R"({"Width": 1e12})"), "位置“Width”无效"},
        {note(R"("Deleted": 0)", R"({"Scale": "big"})"), "位置“Scale”无效"},
        {note(R"("Deleted": 0)", "null", R"({"keepAbove": true, "transparency": 35})"),
         "窗口设置无效"},
        {head + repeat("{},", 500'001) + "{}]}", "便签太多"},
        {head + repeat("[],", 2'000'100) + "[]]}", "便签太多"},
    };
    for (const auto& [bytes, reason] : files) {
        SCOPED_TRACE(reason.toStdString());
        QFile file(db.dir() + "/bad.json");
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        file.close();
        try {
            NoteArchive::importFrom(store, file.fileName());
            ADD_FAILURE() << "imported";
        } catch (const NoteArchive::Refusal& refusal) {
            EXPECT_TRUE(refusal.reason().contains(reason)) << refusal.reason().toStdString();
        }
    }
    // Too big is told before a byte is read; a folder is no file.
    QFile huge(db.dir() + "/huge.json");
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
    ASSERT_TRUE(huge.resize(64LL * 1024 * 1024 + 1));
    huge.close();
    for (const QString& path : {huge.fileName(), db.dir()})
        EXPECT_THROW(NoteArchive::importFrom(store, path), NoteArchive::Refusal);
    EXPECT_EQ(db.count(), 1);
}

TEST_F(NoteArchiveExported, OurOwnFileComesBackWithoutTwinsAndWithEachNotesWindowState) {
    // Our own file is read, and its one note is already here.
    const NoteArchive::Imported again = NoteArchive::importFrom(store, ours);
    EXPECT_EQ(std::make_pair(again.added, again.skipped), std::make_pair(0, 1));
    // A note's window state goes out and comes back in with it.
    db.exec(
        "INSERT INTO NoteWindowState(ID, KeepAbove, Opacity, TextPoints, AllWorkspaces, "
        "Workspace) VALUES(1, 1, 30, 14, 0, 2)");
    NoteArchive::exportTo(store, ours, NoteArchive::Format::Json);
    db.exec("DELETE FROM Tips; DELETE FROM NoteWindowState");
    EXPECT_EQ(NoteArchive::importFrom(store, ours).added, 1);
    EXPECT_EQ(db.column("SELECT KeepAbove||Opacity||TextPoints||AllWorkspaces||Workspace FROM "
                        "NoteWindowState"),
              QStringList{"1301402"});
    namespace fs = std::filesystem;
    EXPECT_EQ(fs::status(ours.toStdString()).permissions(),
              fs::perms::owner_read | fs::perms::owner_write);
}

TEST(NoteArchive, ExportRefusesTheNoteFileItsJournalAndBackupsByAnyName) {
    testsupport::TempNoteDb db;
    db.exec("INSERT INTO Tips(content, CreateTime) VALUES('a', '2026/12/7 9:00:00')");
    数据库操作模块 store;
    NoteFileCheck::open(store, db.path());
    namespace fs = std::filesystem;
    const fs::path dir = db.dir().toStdString(), note = db.path().toStdString();
    fs::create_directory(dir / "backups");
    fs::copy_file(note, dir / "backups/Zettara-2026-12-07.mdb");
    fs::create_symlink(note, dir / "link.json");
    fs::create_hard_link(note, dir / "hard.json");
    fs::create_symlink(note.string() + "-journal", dir / "journal.json");  // not there yet
    fs::create_hard_link(dir / "backups/Zettara-2026-12-07.mdb", dir / "backup.json");
    const auto size = fs::file_size(note);
    for (const char* name : {"link.json", "hard.json", "journal.json", "backup.json", "backups/x"})
        EXPECT_THROW(NoteArchive::exportTo(store, db.dir() + "/" + name, NoteArchive::Format::Json),
                     NoteArchive::Refusal);
    EXPECT_EQ(fs::file_size(note), size);
    EXPECT_FALSE(fs::exists(dir / "backups/x"));
    EXPECT_FALSE(fs::exists(note.string() + "-journal"));
    EXPECT_EQ(NoteArchive::exportTo(store, db.dir() + "/other.json", NoteArchive::Format::Json), 1);
}

TEST(NoteArchive, ExportToAFullDiskSaysSo) {
    testsupport::TempNoteDb db;
    db.exec("INSERT INTO Tips(content, CreateTime) VALUES(printf('%.*c', 200000, 'x'), '')");
    const QString small = db.dir() + "/small";
    ASSERT_TRUE(QDir().mkdir(small));
    if (::mount("tmpfs", small.toUtf8().constData(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "cannot mount a small tmpfs here (needs root)";
    const auto unmount = qScopeGuard([&small] { ::umount(small.toUtf8().constData()); });
    数据库操作模块 store;
    NoteFileCheck::open(store, db.path());
    try {
        NoteArchive::exportTo(store, small + "/notes.json", NoteArchive::Format::Json);
        ADD_FAILURE() << "exported";
    } catch (const platform::Error& error) {
        EXPECT_TRUE(error.message().contains("磁盘已满")) << error.message().toStdString();
    }
    EXPECT_TRUE(QDir(small).isEmpty());
}
