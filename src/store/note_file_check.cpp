#include "store/note_file_check.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <optional>

#include "platform/core/clock.h"
#include "platform/core/error.h"
#include "platform/db/database.h"
#include "store/backup_restore.h"
#include "store/database_module.h"
#include "store/dated_backups.h"
#include "store/own_schema.h"
#include "store/shared_objects.h"

namespace {

constexpr int kCorrupt = 11;       // SQLite's "database disk image is malformed"
constexpr int kNotADatabase = 26;  // "file is not a database"
constexpr int kNotNotes = 1;       // SQLite's generic error, as for a missing table

// The note file and the journal of an unfinished save, as they were before the engine undid
// that save into the file.
struct KeptAside {
    QString file;
    QString journal;
};

QString journalOf(const QString& noteFile) {
    return noteFile + QStringLiteral("-journal");
}

platform::Error damagedError(const QString& noteFile, const std::optional<KeptAside>& kept = {}) {
    const QStringList backups = DatedBackups::existing(noteFile);
    const QString newest = backups.isEmpty()
                               ? QCoreApplication::translate("NoteFileCheck", "没有可用的备份。")
                               : QDir::toNativeSeparators(backups.first());
    // Never "unchanged" when a journal was undone into the file: it may not even be its own.
    const QString what =
        kept ? QCoreApplication::translate(
                   "NoteFileCheck",
                   "便签文件已损坏，程序将退出：\n%1\n\n打开时，上次未完成的保存留下的"
                   "日志文件被撤销到了便签文件中，便签文件因此已被改变。改变之前的便签"
                   "文件和日志文件保存为：\n%2\n%3")
                   .arg(QDir::toNativeSeparators(noteFile), QDir::toNativeSeparators(kept->file),
                        QDir::toNativeSeparators(kept->journal))
             : QCoreApplication::translate("NoteFileCheck",
                                           "便签文件已损坏，程序将退出，未做任何更改：\n%1")
                   .arg(QDir::toNativeSeparators(noteFile));
    const QString name = QFileInfo(noteFile).fileName();
    return platform::Error(kCorrupt,
                           what + QCoreApplication::translate(
                                      "NoteFileCheck",
                                      "\n\n最新的备份：%1\n\n恢复方法：退出程序后，把备份复制到"
                                      "便签文件所在的位置，改名为 %2 替换损坏的文件（旁边若有 "
                                      "%2-journal，先把它移走），然后重新启动。")
                                      .arg(newest, name));
}

[[noreturn]] void damaged(const QString& noteFile) {
    throw damagedError(noteFile);
}

QString offerText(const QString& noteFile, const QString& backup) {
    return QCoreApplication::translate(
               "NoteFileCheck",
               "便签文件已损坏：\n%1\n\n可以恢复最新的完好备份：\n%2\n\n选“是”：损坏的文件"
               "（和旁边的日志文件）改名留在原处，恢复这个备份，然后继续启动。\n选“否”：程序"
               "退出。")
        .arg(QDir::toNativeSeparators(noteFile), QDir::toNativeSeparators(backup));
}

QString undoneText(const KeptAside& kept) {
    return QCoreApplication::translate(
               "NoteFileCheck",
               "上次未完成的保存已被撤销：便签文件旁留有那次保存的日志文件，打开时它被撤销到了"
               "便签文件中。\n\n撤销之前的便签文件和日志文件保存为：\n%1\n%2\n\n如果便签不是"
               "你期望的样子（例如便签文件是刚复制过来的备份），退出程序后可以用它们找回；不再"
               "需要时可以把它们删除。")
        .arg(QDir::toNativeSeparators(kept.file), QDir::toNativeSeparators(kept.journal));
}

bool copyPrivately(const QString& from, const QString& to) {
    return QFile::copy(from, to) &&
           QFile::setPermissions(to, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

// The engine undoes a journal left beside the file on its first read. Nothing tells whether
// the journal belongs to this file (a backup copied over it by hand does not own it), so both
// are kept as they are first: whatever the undoing does, nothing is lost.
std::optional<KeptAside> keepBeforeRecovery(const QString& noteFile) {
    QFile journal(journalOf(noteFile));
    char first = 0;
    // Empty, or a header zeroed by a finished save: there is nothing to undo.
    if (!journal.open(QIODevice::ReadOnly) || !journal.getChar(&first) || first == 0) return {};
    const QString stamp = platform::clock::now().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    const KeptAside kept{noteFile + QStringLiteral(".before-recovery-") + stamp,
                         journal.fileName() + QStringLiteral(".before-recovery-") + stamp};
    if (!copyPrivately(noteFile, kept.file) || !copyPrivately(journal.fileName(), kept.journal)) {
        QFile::remove(kept.file);
        throw platform::Error(
            platform::errc::pathAccess,
            QCoreApplication::translate(
                "NoteFileCheck",
                "便签文件旁有上次未完成的保存留下的日志文件：\n%1\n\n无法先保存便签文件"
                "和它的副本，程序将退出，未做任何更改。")
                .arg(QDir::toNativeSeparators(journal.fileName())));
    }
    return kept;
}

}  // namespace

QString NoteFileCheck::open(数据库操作模块& store, const QString& noteFile,
                            const OfferRestore& offer) {
    const std::optional<KeptAside> kept = keepBeforeRecovery(noteFile);
    // The engine takes the journal away once it has undone it into the file. The copies are
    // then all that is left of the file as it was, and only the user may remove them; copies of
    // a journal still there as it was hold nothing new.
    bool undone = false;
    const auto discardUntouched = qScopeGuard([&] {
        if (kept && !undone) {
            QFile::remove(kept->file);
            QFile::remove(kept->journal);
        }
    });
    try {
        // An empty file would open as an empty database and fail later for want of its table.
        const QFileInfo info(noteFile);
        if (info.isFile() && info.size() == 0) damaged(noteFile);
        连接数据库(store, noteFile);
        run(store, noteFile);
        undone = kept && !QFile::exists(journalOf(noteFile));
        // Only a note file that checked out is written to; any other is left as it is.
        if (!OwnSchema::isNoteFile(*store.database()))
            throw platform::Error(
                kNotNotes, QCoreApplication::translate(
                               "NoteFileCheck",
                               "这个文件不是便签文件（没有 Tips 表，或 Tips 表缺少便签的列），"
                               "程序将退出，未做任何更改：\n%1")
                               .arg(QDir::toNativeSeparators(noteFile)));
        OwnSchema::prepare(store);
    } catch (const platform::Error& error) {
        undone = undone || (kept && !QFile::exists(journalOf(noteFile)));
        const int primary = error.number() & 0xff;
        if (primary == kCorrupt ||
            (primary == kNotADatabase && !DatedBackups::existing(noteFile).isEmpty())) {
            const platform::Error report = damagedError(noteFile, undone ? kept : std::nullopt);
            const QString backup = offer ? BackupRestore::newestGood(noteFile) : QString();
            if (backup.isEmpty() || !offer(offerText(noteFile, backup))) throw report;
            if (store.database() && store.database()->isOpen()) store.关闭数据库();
            BackupRestore::replaceDamaged(noteFile, backup);
            open(store, noteFile);  // the backup passed its check: nothing more to offer
            return undone ? undoneText(*kept) : QString();
        }
        throw;
    }
    return undone ? undoneText(*kept) : QString();
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
