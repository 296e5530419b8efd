#include "platform/os/linux/private_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <cerrno>

#include "platform/core/app.h"

namespace platform::private_folder {

bool isPrivate(const QString& path) {
    struct stat info {};
    if (path.isEmpty() || ::lstat(QFile::encodeName(path).constData(), &info) != 0) return false;
    return S_ISDIR(info.st_mode) && info.st_uid == ::getuid() && (info.st_mode & 0777) == 0700;
}

bool make(const QString& path) {
    if (path.isEmpty()) return false;
    if (::mkdir(QFile::encodeName(path).constData(), 0700) != 0 && errno != EEXIST) return false;
    return isPrivate(path);
}

QString forChannel() {
    // Only the user's own settings decide this place, never which names in the shared temp
    // folder another user happens to hold at this start.
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (cache.isEmpty() || !QDir().mkpath(cache)) return {};
    const QString ours = QDir(cache).filePath(app::title());
    return make(ours) ? ours : QString();
}

}  // namespace platform::private_folder
