#include "store/backup_restore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QRegularExpression>
#include <algorithm>
#include <atomic>

#include "platform/core/clock.h"
#include "platform/core/error.h"
#include "platform/core/error_text.h"
#include "platform/db/database.h"
#include "platform/db/database_backup.h"
#include "platform/db/sqlite_connection.h"
#include "platform/os/owner_only_folders.h"
#include "store/database_module.h"
#include "store/dated_backups.h"
#include "store/own_schema.h"

namespace {

Q_LOGGING_CATEGORY(lcRestore, "zettara.restore")

// Copies of the file as it was before a restore. Their name never matches the dated backups',
// so the weekly pruning neither counts nor takes them; they are pruned among themselves.
const QString kBeforeRestore = QStringLiteral("Zettara-before-restore-");
constexpr int kBeforeRestoreKept = 7;

QString stamp() {
    return platform::clock::now().toString(QStringLiteral("yyyyMMdd-HHmmss"));
}

// The notes a copy holds, or -1 when it does not pass its check or has no note table.
int notesIn(const QString& path) {
    try {
        const auto db = platform::Database::open(path, false, true, QString());
        if (!db->passesQuickCheck() || !OwnSchema::isNoteFile(*db)) return -1;
        return db->openRecordset(QStringLiteral("SELECT count(*) AS n FROM Tips"))
            .field(QStringLiteral("n"))
            .toInt();
    } catch (const platform::Error& error) {
        qCWarning(lcRestore) << "backup unreadable:" << path << error.number() << error.message();
        return -1;
    }
}

[[noreturn]] void unchanged(const QString& why) {
    throw platform::Error(platform::errc::pathAccess,
                          why + QStringLiteral("\n\n") +
                              QCoreApplication::translate("BackupRestore", "便签未做任何更改。"));
}

// What a failed copy says: another program holding the note file is told as such.
[[noreturn]] void copyFailed(const QString& what, const platform::Error& error) {
    if (error.busy())
        unchanged(QCoreApplication::translate("BackupRestore",
                                              "便签文件正被另一个程序使用，%1。请稍后再试。")
                      .arg(what));
    unchanged(QCoreApplication::translate("BackupRestore", "%1。\n%2")
                  .arg(what, platform::userText(error)));
}

void pruneBeforeRestore(const QString& folder, const QString& keep) {
    QStringList copies = QDir(folder).entryList({kBeforeRestore + QStringLiteral("*.mdb")},
                                                QDir::Files | QDir::NoSymLinks, QDir::Name);
    std::reverse(copies.begin(), copies.end());  // the time in the name: newest first
    for (qsizetype i = kBeforeRestoreKept; i < copies.size(); ++i) {
        const QString path = QDir(folder).filePath(copies[i]);
        if (path != keep) QFile::remove(path);
    }
}

// The note file as it is now, into the backups folder under a name of its own.
QString keepCurrent(const QString& noteFile) {
    const QString folder = DatedBackups::folderFor(noteFile);
    if (!platform::makeOurFolderOwnerOnly(folder))
        unchanged(QCoreApplication::translate(
                      "BackupRestore", "无法把现在的便签文件先保存到只有你能使用的备份文件夹：\n%1")
                      .arg(QDir::toNativeSeparators(folder)));
    const QString name = kBeforeRestore + stamp() + QStringLiteral(".mdb");
    QString target = QDir(folder).filePath(name);
    const QString partial = QDir(folder).filePath(QLatin1Char('.') + name + ".part");
    const std::atomic<bool> never{false};
    try {
        QFile::remove(partial);
        // On the window's thread: a file another program holds is waited for as a save waits.
        platform::backupDatabase(noteFile, partial, never, platform::kBusyTimeoutMs);
    } catch (const platform::Error& error) {
        copyFailed(QCoreApplication::translate("BackupRestore", "无法先保存现在的便签文件"), error);
    }
    if (QFileInfo::exists(target) || !QFile::rename(partial, target)) {
        QFile::remove(partial);
        unchanged(QCoreApplication::translate("BackupRestore", "无法先保存现在的便签文件：\n%1")
                      .arg(QDir::toNativeSeparators(target)));
    }
    pruneBeforeRestore(folder, target);
    return target;
}

void requireGood(const QString& backup) {
    if (notesIn(backup) < 0)
        unchanged(QCoreApplication::translate("BackupRestore",
                                              "所选的备份已损坏或不是便签文件，无法恢复：\n%1")
                      .arg(QDir::toNativeSeparators(backup)));
}

}  // namespace

bool BackupRestore::isUnfinishedCopy(const QString& fileName) {
    static const QRegularExpression partial(QLatin1String("^\\.") + kBeforeRestore +
                                            QLatin1String("\\d{8}-\\d{6}\\.mdb\\.part$"));
    return partial.match(fileName).hasMatch();
}

std::vector<BackupRestore::Backup> BackupRestore::list(const QString& noteFile) {
    std::vector<Backup> backups;
    for (const QString& path : DatedBackups::existing(noteFile)) {
        const QFileInfo info(path);
        backups.push_back({path, info.lastModified(), notesIn(path), info.size()});
    }
    return backups;
}

QString BackupRestore::newestGood(const QString& noteFile) {
    for (const QString& path : DatedBackups::existing(noteFile)) {
        if (notesIn(path) >= 0) return path;
    }
    return {};
}

QString BackupRestore::restore(数据库操作模块& store, const QString& backup) {
    // Checked first: a backup that cannot be used leaves no trace at all.
    requireGood(backup);
    if (!store.database() || !store.database()->isOpen())
        unchanged(QCoreApplication::translate("BackupRestore", "便签文件没有打开。"));
    platform::Database& db = *store.database();
    QString kept = keepCurrent(db.path());
    try {
        platform::restoreDatabase(db, backup);
    } catch (const platform::Error& error) {
        copyFailed(QCoreApplication::translate("BackupRestore", "无法恢复备份"), error);
    }
    // The backup may be of an older version of our tables.
    OwnSchema::prepare(store);
    return kept;
}

QString BackupRestore::replaceDamaged(const QString& noteFile, const QString& backup) {
    requireGood(backup);
    const QString when = stamp();
    QString damaged = noteFile + QStringLiteral(".damaged-") + when;
    const QString journal = noteFile + QStringLiteral("-journal");
    // A journal left beside the file belongs to the damaged one: undone into the backup, it
    // would damage that too.
    const QString oldJournal = journal + QStringLiteral(".old-") + when;
    const QString partial =
        QFileInfo(noteFile).absoluteDir().filePath(QStringLiteral(".restoring-") + when);
    const std::atomic<bool> never{false};
    if (!QFile::rename(noteFile, damaged))
        unchanged(QCoreApplication::translate("BackupRestore", "无法把损坏的便签文件改名保存：\n%1")
                      .arg(QDir::toNativeSeparators(noteFile)));
    const bool hadJournal = QFile::exists(journal);
    try {
        QFile oldOne(journal);
        if (hadJournal && !oldOne.rename(oldJournal)) throw platform::Error::fromFile(oldOne);
        // Copied under a name of its own and renamed: never a half-written note file.
        platform::backupDatabase(backup, partial, never);
        QFile copied(partial);
        if (!copied.rename(noteFile)) throw platform::Error::fromFile(copied, noteFile);
    } catch (const platform::Error& error) {
        QFile::remove(partial);
        if (hadJournal) QFile::rename(oldJournal, journal);
        QFile::rename(damaged, noteFile);
        unchanged(QCoreApplication::translate("BackupRestore", "无法恢复备份。\n%1")
                      .arg(platform::userText(error)));
    }
    return damaged;
}
