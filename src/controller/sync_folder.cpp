#include "controller/sync_folder.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QSaveFile>

#include "platform/core/error.h"
#include "sync/sync_file_name.h"

namespace {

Q_LOGGING_CATEGORY(lcSyncFolder, "zettara.sync")

// A note's file holds a few fields and a text: anything far bigger is not one of ours.
constexpr qint64 kLargestFile = 16LL * 1024 * 1024;

const QFileDevice::Permissions kOwnerOnlyFolder =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;

void makeFolder(const QString& path) {
    if (QFileInfo(path).isDir()) return;
    if (!QDir().mkpath(path))
        throw platform::Error(platform::Trouble::FileIo, platform::errc::pathAccess,
                              QStringLiteral("cannot create the folder"), path);
    QFile::setPermissions(path, kOwnerOnlyFolder);
}

bool stampedAfter(const NoteVersion& version, std::int64_t latestMs) {
    for (const ClockStamp* stamp : version.stamps())
        if (stamp->wallMs > latestMs) return true;
    return false;
}

}  // namespace

QString SyncFolder::notesFolder(const QString& chosen) {
    return QDir(chosen).filePath(QStringLiteral("Zettara-notes"));
}

SyncFolder::SyncFolder(const QString& chosen, QString device, QObject* parent)
    : QObject(parent), root_(notesFolder(chosen)), device_(std::move(device)) {}

void SyncFolder::create() const {
    makeFolder(root_);
}

QStringList SyncFolder::noteKeys() const {
    QStringList keys;
    const QStringList names = QDir(root_).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& name : names)
        if (isSyncKey(name)) keys << name;
    return keys;
}

void SyncFolder::skip(const QString& path, const QString& why) {
    if (skipped_.contains(path)) return;
    skipped_.insert(path);
    qCWarning(lcSyncFolder).noquote() << "skipped" << path << "-" << why;
}

SyncFolder::Read SyncFolder::read(const QString& noteKey, std::int64_t latestMs) {
    Read read;
    const QDir folder(QDir(root_).filePath(noteKey));
    // Regular files only: a pipe or a device put there would block or never end a read.
    const QFileInfoList files = folder.entryInfoList(QDir::Files | QDir::Hidden, QDir::Name);
    for (const QFileInfo& info : files) {
        const SyncFileName name = SyncFileName::classify(info.fileName());
        if (name.kind == SyncFileName::Temporary) continue;
        const QString path = info.filePath();
        if (name.kind == SyncFileName::Foreign) {
            skip(path, QStringLiteral("not a note file"));
            continue;
        }
        // A link could lead anywhere, and a huge file is no note of ours.
        if (info.isSymLink() || info.size() > kLargestFile) {
            skip(path, QStringLiteral("a link or too big"));
            continue;
        }
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            skip(path, file.errorString());
            continue;
        }
        const QByteArray bytes = file.read(kLargestFile + 1);
        QString why;
        std::optional<NoteVersion> version = versionFromJson(bytes, &why);
        if (version && version->noteKey != noteKey) {
            version.reset();
            why = QStringLiteral("belongs to another note");
        }
        if (version && stampedAfter(*version, latestMs)) {
            version.reset();
            why = QStringLiteral("stamped too far in the future");
        }
        if (!version) {
            skip(path, why);
            continue;
        }
        skipped_.remove(path);  // readable again
        if (name.kind == SyncFileName::DeviceFile && name.device == device_) read.own = bytes;
        read.versions.push_back(std::move(*version));
    }
    return read;
}

QByteArray SyncFolder::signature(const QString& noteKey) const {
    QCryptographicHash hash(QCryptographicHash::Sha1);
    const QFileInfoList files =
        QDir(QDir(root_).filePath(noteKey)).entryInfoList(QDir::Files | QDir::Hidden, QDir::Name);
    for (const QFileInfo& info : files) {
        hash.addData(info.fileName().toUtf8());
        hash.addData(QByteArray::number(info.size()) + '/' +
                     QByteArray::number(info.lastModified().toMSecsSinceEpoch()) + '\n');
    }
    return hash.result().toHex();
}

void SyncFolder::write(const QString& noteKey, const QByteArray& json) const {
    const QString folder = QDir(root_).filePath(noteKey);
    makeFolder(folder);
    const QString path = QDir(folder).filePath(SyncFileName::deviceFile(device_));
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly) || file.write(json) != json.size() ||
        !file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner) || !file.commit())
        throw platform::Error::fromFile(file);
}

void SyncFolder::removeOwn(const QString& noteKey) const {
    QFile::remove(QDir(QDir(root_).filePath(noteKey)).filePath(SyncFileName::deviceFile(device_)));
}

void SyncFolder::watch(std::function<void(const QString&)> changed, std::function<void()> added) {
    delete watcher_;
    watcher_ = new QFileSystemWatcher(this);
    watcher_->addPath(root_);
    connect(watcher_, &QFileSystemWatcher::directoryChanged, this,
            [this, changed = std::move(changed), added = std::move(added)](const QString& path) {
                if (path == root_) {
                    added();
                } else {
                    changed(QFileInfo(path).fileName());
                }
            });
}

void SyncFolder::watchNotes(const QStringList& noteKeys) {
    if (!watcher_ || noteKeys.isEmpty()) return;
    QStringList paths;
    paths.reserve(noteKeys.size());
    for (const QString& key : noteKeys) paths << QDir(root_).filePath(key);
    // Past the system's limit on watches a note's changes are merged at the next start or
    // the next change of its own.
    if (const QStringList refused = watcher_->addPaths(paths); !refused.isEmpty())
        qCWarning(lcSyncFolder) << refused.size() << "note folders cannot be watched";
}
