#include "store/note_store_location.h"

#include <QCoreApplication>
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
    if (exists(programFile_)) return programFile_;
    // Only an installation supplies a database to copy: without one the program is a portable
    // copy whose note file is missing, and that is the file to name.
    if (exists(userFile_) || QFileInfo(suppliedFile_).isFile()) return userFile_;
    return programFile_;
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
        throw platform::Error(
            platform::errc::pathAccess,
            QCoreApplication::translate("NoteStoreLocation",
                                        "无法创建存放便签的文件夹“%1”。请确认你有权在那里创建"
                                        "文件夹，然后重新启动程序。")
                .arg(QDir::toNativeSeparators(folder)));
    }
    // Told as the note file it was to become, whatever name the copy had meanwhile.
    const auto failed = [&](const QFileDevice& file) {
        return platform::Error::fromFile(
            file, file.fileName() == suppliedFile_ ? file.fileName() : target);
    };
    QFile source(suppliedFile_);
    if (!source.open(QIODevice::ReadOnly)) throw failed(source);
    // A name the program never opens; QTemporaryFile makes it 0600.
    QTemporaryFile copy(folder + QStringLiteral("/.Zettara.mdb.XXXXXX"));
    if (!copy.open()) throw failed(copy);
    // Asked at once: it gives the file its name on the disk, which the rename below needs.
    const QString temporaryName = copy.fileName();
    while (!source.atEnd()) {
        const QByteArray chunk = source.read(1 << 16);
        if (source.error() != QFileDevice::NoError) throw failed(source);
        if (copy.write(chunk) != chunk.size()) throw failed(copy);
    }
    // On the disk before the rename, so that a crash after it never leaves the note file's
    // name on a file whose data is missing.
    if (!platform::os::syncToDisk(copy)) throw failed(copy);
    if (beforeRename) beforeRename();
    copy.close();
    // QFile::rename never replaces an existing file.
    QFile renamed(temporaryName);
    if (!renamed.rename(target)) {
        // Another start that copied at the same moment got there first: its copy is as good.
        if (exists(target)) return;
        throw failed(renamed);
    }
}
