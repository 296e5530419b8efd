#include "store/dated_backups.h"

#include <QDir>
#include <QFile>
#include <QLoggingCategory>
#include <QRegularExpression>
#include <QThread>
#include <map>

#include "platform/clock.h"
#include "platform/database.h"
#include "platform/database_backup.h"
#include "platform/error.h"
#include "platform/os.h"

Q_LOGGING_CATEGORY(lcBackup, "zettara.backup")

namespace {

const QString kPrefix = QStringLiteral("Zettara-");
const QString kSuffix = QStringLiteral(".mdb");

// The backups in a folder by date, oldest first; other files there are not ours to touch.
std::map<QDate, QString> byDate(const QString& folder) {
    static const QRegularExpression name(QStringLiteral("^Zettara-(\\d{4}-\\d{2}-\\d{2})\\.mdb$"));
    std::map<QDate, QString> found;
    const QDir dir(folder);
    for (const QString& entry : dir.entryList(QDir::Files | QDir::NoSymLinks)) {
        const QRegularExpressionMatch match = name.match(entry);
        if (!match.hasMatch()) continue;
        const QDate date = QDate::fromString(match.captured(1), Qt::ISODate);
        if (date.isValid()) found[date] = dir.filePath(entry);
    }
    return found;
}

bool checksOut(const QString& file) {
    const auto db = platform::Database::open(file, false, true, QString());
    platform::Recordset rs = db->openRecordset(QStringLiteral("PRAGMA quick_check"));
    return !rs.eof() && rs.field(QStringLiteral("quick_check")).toString() == QLatin1String("ok");
}

}  // namespace

DatedBackups::DatedBackups() = default;

DatedBackups::~DatedBackups() {
    stop_ = true;
    if (thread_) thread_->wait();
}

QString DatedBackups::folderFor(const QString& noteFile) {
    return QFileInfo(noteFile).absoluteDir().filePath(QStringLiteral("backups"));
}

QStringList DatedBackups::existing(const QString& noteFile) {
    QStringList files;
    for (const auto& [date, path] : byDate(folderFor(noteFile))) files.prepend(path);
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

bool DatedBackups::make(const QString& noteFile, const QDate& today) {
    const QString folder = folderFor(noteFile);
    try {
        if (byDate(folder).count(today)) return false;
        if (!platform::os::makePrivateFolder(folder)) {
            qCWarning(lcBackup) << "backup folder is missing or not private, no backup made:"
                                << folder;
            return false;
        }
        const QString name = kPrefix + today.toString(Qt::ISODate) + kSuffix;
        const QString target = QDir(folder).filePath(name);
        const QString partial = QDir(folder).filePath(QLatin1Char('.') + name + ".part");
        QFile::remove(partial);  // left by a run that was cut short
        if (!platform::backupDatabase(noteFile, partial, stop_)) return false;
        if (!checksOut(partial)) {
            QFile::remove(partial);
            qCWarning(lcBackup) << "the note file does not pass its check, no backup made:"
                                << noteFile;
            return false;
        }
        if (!QFile::rename(partial, target)) {
            QFile::remove(partial);
            qCWarning(lcBackup) << "backup could not take its name:" << target;
            return false;
        }
    } catch (const platform::Error& error) {
        qCWarning(lcBackup) << "backup failed:" << error.number() << error.message();
        return false;
    }
    // The oldest go; today's, just made, is never among them.
    std::map<QDate, QString> all = byDate(folder);
    while (all.size() > static_cast<size_t>(kKept) && all.begin()->first != today) {
        if (!QFile::remove(all.begin()->second))
            qCWarning(lcBackup) << "old backup could not be removed:" << all.begin()->second;
        all.erase(all.begin());
    }
    return true;
}
