#include "store/dated_backups.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLoggingCategory>
#include <QRegularExpression>
#include <QThread>
#include <algorithm>

#include "platform/core/clock.h"
#include "platform/core/error.h"
#include "platform/db/database.h"
#include "platform/db/database_backup.h"
#include "platform/os/owner_only_folders.h"
#include "store/backup_restore.h"

Q_LOGGING_CATEGORY(lcBackup, "zettara.backup")

namespace {

const QString kPrefix = QStringLiteral("Zettara-");
const QString kSuffix = QStringLiteral(".mdb");
// Beside the note file: the user was told that its backups stopped.
const QString kToldMarker = QStringLiteral("backups-stopped.txt");

bool isOurs(const QString& fileName, const QString& pattern) {
    const QRegularExpressionMatch match = QRegularExpression(pattern).match(fileName);
    return match.hasMatch() && QDate::fromString(match.captured(1), Qt::ISODate).isValid();
}

// The backups in a folder, the one written last first; other files there are not ours to
// touch. The copies' file times are kept in writing order (see stampAfter), so a clock set
// back does not reorder them.
QFileInfoList byWriting(const QString& folder) {
    QFileInfoList found;
    for (const QFileInfo& entry : QDir(folder).entryInfoList(QDir::Files | QDir::NoSymLinks)) {
        if (isOurs(entry.fileName(), QStringLiteral("^Zettara-(\\d{4}-\\d{2}-\\d{2})\\.mdb$")))
            found << entry;
    }
    std::sort(found.begin(), found.end(), [](const QFileInfo& a, const QFileInfo& b) {
        const QDateTime ta = a.lastModified(), tb = b.lastModified();
        return ta != tb ? ta > tb : a.fileName() > b.fileName();
    });
    return found;
}

// Copies cut short by an exit or a crash, this program's and a restore's: nothing reads them,
// so they only take room. A restore of this run may be writing its copy now.
void removeUnfinished(const QString& folder, const QDateTime& began) {
    for (const QFileInfo& entry :
         QDir(folder).entryInfoList(QDir::Files | QDir::Hidden | QDir::NoSymLinks)) {
        if (isOurs(entry.fileName(),
                   QStringLiteral("^\\.Zettara-(\\d{4}-\\d{2}-\\d{2})\\.mdb\\.part$")) ||
            (BackupRestore::isUnfinishedCopy(entry.fileName()) && entry.lastModified() < began))
            QFile::remove(entry.filePath());
    }
}

// Dates the new copy after every other one even when the clock now reads earlier. Two
// seconds: the coarsest file times (FAT) step by two.
void stampAfter(const QString& file, const QFileInfoList& others) {
    QDateTime when = QDateTime::currentDateTimeUtc();
    if (!others.isEmpty()) when = std::max(when, others.first().lastModified().addSecs(2));
    QFile copy(file);
    if (!copy.open(QIODevice::ReadWrite) ||
        !copy.setFileTime(when, QFileDevice::FileModificationTime))
        qCWarning(lcBackup) << "backup could not be dated:" << file;
}

bool checksOut(const QString& file) {
    return platform::Database::open(file, false, true, QString())->passesQuickCheck();
}

}  // namespace

DatedBackups::DatedBackups(Tell tell)
    : tell_(std::move(tell)), began_(QDateTime::currentDateTimeUtc()) {}

DatedBackups::~DatedBackups() {
    stop_ = true;
    if (thread_) thread_->wait();
}

QString DatedBackups::folderFor(const QString& noteFile) {
    return QFileInfo(noteFile).absoluteDir().filePath(QStringLiteral("backups"));
}

QStringList DatedBackups::existing(const QString& noteFile) {
    QStringList files;
    for (const QFileInfo& entry : byWriting(folderFor(noteFile))) files << entry.filePath();
    return files;
}

bool DatedBackups::run(const QString& noteFile) {
    return make(noteFile, platform::clock::now().date());
}

void DatedBackups::start(const QString& noteFile) {
    if (thread_) return;
    const QDate today = platform::clock::now().date();
    thread_.reset(QThread::create([this, noteFile, today] { make(noteFile, today); }));
    // Normal priority: an idle-priority copy starves on a busy machine and then wakes the
    // program long after start-up.
    thread_->start();
}

bool DatedBackups::folderIsPrivate(const QString& noteFile, const QString& folder) {
    const QString marker = QFileInfo(noteFile).absoluteDir().filePath(kToldMarker);
    if (platform::makeOurFolderOwnerOnly(folder)) {
        QFile::remove(marker);  // should they stop again, the user hears of it again
        return true;
    }
    qCWarning(lcBackup) << "backup folder is not private and cannot be made so, no backup made:"
                        << folder;
    // Told once, not at every start: the marker remembers it.
    const QString text =
        QCoreApplication::translate(
            "DatedBackups",
            "便签的备份文件夹不是只有你能使用的文件夹，程序无法更正，因此不再备份便签：\n"
            "%1\n\n把它删除，或改为只有你能使用（0700），下次启动时备份会继续。")
            .arg(QDir::toNativeSeparators(folder));
    QFile told(marker);
    if (!told.open(QIODevice::WriteOnly | QIODevice::NewOnly,
                   QFileDevice::ReadOwner | QFileDevice::WriteOwner))
        return false;
    told.write(text.toUtf8() + '\n');
    if (tell_)
        QMetaObject::invokeMethod(QCoreApplication::instance(),
                                  [tell = tell_, text] { tell(text); });
    return false;
}

bool DatedBackups::make(const QString& noteFile, const QDate& today) {
    const QString folder = folderFor(noteFile);
    const QString name = kPrefix + today.toString(Qt::ISODate) + kSuffix;
    const QString target = QDir(folder).filePath(name);
    try {
        // Checked at every start, so that what an earlier run left unfinished goes at once.
        if (!folderIsPrivate(noteFile, folder)) return false;
        removeUnfinished(folder, began_);
        if (QFileInfo::exists(target)) return false;
        const QString partial = QDir(folder).filePath(QLatin1Char('.') + name + ".part");
        if (!platform::backupDatabase(noteFile, partial, stop_)) return false;
        if (!checksOut(partial)) {
            QFile::remove(partial);
            qCWarning(lcBackup) << "the note file does not pass its check, no backup made:"
                                << noteFile;
            return false;
        }
        stampAfter(partial, byWriting(folder));
        if (!QFile::rename(partial, target)) {
            QFile::remove(partial);
            qCWarning(lcBackup) << "backup could not take its name:" << target;
            return false;
        }
    } catch (const platform::Error& error) {
        qCWarning(lcBackup) << "backup failed:" << error.number() << error.message();
        return false;
    }
    // The copies written first go; the one just made, written last, is never among them.
    const QFileInfoList all = byWriting(folder);
    for (qsizetype i = kKept; i < all.size(); ++i) {
        if (all[i].filePath() != target && !QFile::remove(all[i].filePath()))
            qCWarning(lcBackup) << "old backup could not be removed:" << all[i].filePath();
    }
    return true;
}
