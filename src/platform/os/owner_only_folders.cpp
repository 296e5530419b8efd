#include "platform/os/owner_only_folders.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

#include "platform/os/os.h"

namespace platform {

bool makeOwnerOnlyFolders(const QString& folder) {
    const QString target = QDir::cleanPath(QDir(folder).absolutePath());
    QStringList missing;
    QString existing = target;
    while (!QFileInfo::exists(existing)) {
        const QFileInfo info(existing);
        missing.prepend(info.fileName());
        existing = info.absolutePath();
    }
    QDir dir(existing);
    for (const QString& name : missing) {
        if (!dir.mkdir(name, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner) ||
            !dir.cd(name))
            return false;
    }
    return QFileInfo(target).isDir();
}

bool makeOurFolderOwnerOnly(const QString& folder) {
    if (!makeOwnerOnlyFolders(folder)) return false;
    // A link is followed by chmod: whatever it points to is not ours to change. A folder of
    // someone else's refuses the change.
    if (!QFileInfo(folder).isSymLink())
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return os::makePrivateFolder(folder);
}

}  // namespace platform
