#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <filesystem>

#include "store/database_module.h"
#include "store/note_archive.h"
#include "store/note_file_check.h"
#include "test_helpers.h"

TEST(NoteArchive, ForeignDamagedOrHostileFilesAreRefusedAndWriteNothing) {
    testsupport::TempNoteDb db;
    db.exec("INSERT INTO Tips(content, CreateTime) VALUES('a', '2026/12/7 9:00:00')");
    数据库操作模块 store;
    NoteFileCheck::open(store, db.path());
    const QString ours = db.dir() + "/ours.json";
    NoteArchive::exportTo(store, ours, NoteArchive::Format::Json);
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
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly) && huge.resize(64LL * 1024 * 1024 + 1));
    huge.close();
    for (const QString& path : {huge.fileName(), db.dir()})
        EXPECT_THROW(NoteArchive::importFrom(store, path), NoteArchive::Refusal);
    EXPECT_EQ(db.count(), 1);

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
