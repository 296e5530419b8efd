#include "store/note_store_location.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include "platform/core/app.h"
#include "platform/core/build_config.h"
#include "platform/core/error.h"
#include "platform/os/os.h"
#include "platform/os/owner_only_folders.h"

namespace {

const QString noteFileName = QStringLiteral("Zettara.mdb");

bool exists(const QString& path) {
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

}  // namespace

NoteStoreLocation::NoteStoreLocation(const QString& programFolder, const QString& userFolder,
                                     QString suppliedFile)
    : programFile_(programFolder + u'/' + noteFileName),
      userFile_(userFolder + u'/' + noteFileName),
      suppliedFile_(std::move(suppliedFile)) {}

NoteStoreLocation NoteStoreLocation::forThisProgram() {
    return NoteStoreLocation(platform::app::path(),
                             platform::os::userDataFolder() + u'/' + platform::app::title(),
                             QString::fromUtf8(platform::build::suppliedDatabase));
}

QString NoteStoreLocation::path() const {
    return exists(programFile_) ? programFile_ : userFile_;
}

QString NoteStoreLocation::prepare() const {
    QString file = path();
    if (file == userFile_ && !exists(userFile_) && QFileInfo(suppliedFile_).isFile()) {
        copySupplied(userFile_);
    }
    return file;
}

void NoteStoreLocation::copySupplied(const QString& target) const {
    const QString folder = QFileInfo(target).absolutePath();
    if (!platform::makeOwnerOnlyFolders(folder)) {
        throw platform::Error(platform::errc::pathAccess,
                              QStringLiteral("无法创建文件夹：%1").arg(folder));
    }
    const auto failed = [&](const QString& reason) {
        return platform::Error(platform::errc::pathAccess,
                               QStringLiteral("无法把随附的便签数据库 %1 复制到 %2：%3")
                                   .arg(suppliedFile_, target, reason));
    };
    QFile source(suppliedFile_);
    if (!source.open(QIODevice::ReadOnly)) throw failed(source.errorString());
    // A name the program never opens; QTemporaryFile makes it 0600.
    QTemporaryFile copy(folder + QStringLiteral("/.Zettara.mdb.XXXXXX"));
    if (!copy.open()) throw failed(copy.errorString());
    const QString temporaryName = copy.fileName();
    while (!source.atEnd()) {
        const QByteArray chunk = source.read(1 << 16);
        if (source.error() != QFileDevice::NoError) throw failed(source.errorString());
        if (copy.write(chunk) != chunk.size()) throw failed(copy.errorString());
    }
    // On the disk before the rename, so that a crash after it never leaves the note file's
    // name on a file whose data is missing.
    if (!platform::os::syncToDisk(copy)) throw failed(copy.errorString());
    if (beforeRename) beforeRename();
    copy.close();
    // QFile::rename never replaces an existing file.
    if (!QFile::rename(temporaryName, target)) {
        // Another start that copied at the same moment got there first: its copy is as good.
        if (exists(target)) return;
        throw failed(QStringLiteral("无法重命名 %1").arg(temporaryName));
    }
}
