#include "store/note_file_check.h"

#include <QDir>

#include "platform/database.h"
#include "platform/error.h"
#include "store/database_module.h"
#include "store/dated_backups.h"
#include "store/shared_objects.h"

namespace {

constexpr int kCorrupt = 11;       // SQLite's "database disk image is malformed"
constexpr int kNotADatabase = 26;  // "file is not a database"

[[noreturn]] void damaged(const QString& noteFile) {
    const QStringList backups = DatedBackups::existing(noteFile);
    const QString newest = backups.isEmpty() ? QStringLiteral("没有可用的备份。")
                                             : QDir::toNativeSeparators(backups.first());
    throw platform::Error(
        kCorrupt,
        QStringLiteral("便签文件已损坏，程序将退出，未做任何更改：\n%1\n\n最新的备份：%2\n\n"
                       "恢复方法：退出程序后，把备份复制到便签文件所在的位置，改名为 %3 "
                       "替换损坏的文件，然后重新启动。")
            .arg(QDir::toNativeSeparators(noteFile), newest, QFileInfo(noteFile).fileName()));
}

}  // namespace

void NoteFileCheck::open(数据库操作模块& store, const QString& noteFile) {
    try {
        连接数据库(store, noteFile);
    } catch (const platform::Error& error) {
        const int primary = error.number() & 0xff;
        if (primary == kCorrupt ||
            (primary == kNotADatabase && !DatedBackups::existing(noteFile).isEmpty()))
            damaged(noteFile);
        throw;
    }
    run(store, noteFile);
}

void NoteFileCheck::run(数据库操作模块& store, const QString& noteFile) {
    platform::Recordset rs;
    try {
        rs = store.数据库_查找_语句(QStringLiteral("PRAGMA quick_check"));
    } catch (const platform::Error& error) {
        if ((error.number() & 0xff) == kCorrupt) damaged(noteFile);
        throw;
    }
    if (rs.eof() || rs.field(QStringLiteral("quick_check")).toString() != QLatin1String("ok"))
        damaged(noteFile);
}
