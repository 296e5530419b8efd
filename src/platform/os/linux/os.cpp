#include "platform/os/os.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QDir>
#include <QFile>

#include "platform/core/app.h"
#include "platform/os/linux/private_folder.h"

namespace platform::os {

bool peerIsThisUser(qintptr socketDescriptor) {
    ucred peer{};
    socklen_t size = sizeof peer;
    return socketDescriptor >= 0 &&
           ::getsockopt(static_cast<int>(socketDescriptor), SOL_SOCKET, SO_PEERCRED, &peer,
                        &size) == 0 &&
           size == sizeof peer && peer.uid == ::getuid();
}

QString channelLockPath(const QString& name) {
    const QString folder = private_folder::forChannel();
    return folder.isEmpty() ? QString() : QDir(folder).filePath(name + QStringLiteral(".lock"));
}

QString channelPath(const QString& name) {
    // A socket file outside a folder of our own could be squatted or redirected. The socket
    // sits beside the lock unless a long home path makes that too long for a socket address;
    // the private runtime folder then serves, and the lock still decides who runs.
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    for (const QString& folder :
         {private_folder::forChannel(), private_folder::isPrivate(runtime) ? runtime : QString()}) {
        if (folder.isEmpty()) continue;
        QString path = QDir(folder).filePath(name);
        if (QFile::encodeName(path).size() < qsizetype(sizeof(sockaddr_un::sun_path))) return path;
    }
    return {};
}

bool makePrivateFolder(const QString& path) {
    return private_folder::make(path);
}

bool isSameFile(const QString& first, const QString& second) {
    struct stat a {
    }, b{};
    return ::stat(QFile::encodeName(first).constData(), &a) == 0 &&
           ::stat(QFile::encodeName(second).constData(), &b) == 0 && a.st_dev == b.st_dev &&
           a.st_ino == b.st_ino;
}

bool syncToDisk(QFile& file) {
    return file.flush() && ::fsync(file.handle()) == 0;
}

QString userDataFolder() {
    QString home = qEnvironmentVariable("XDG_DATA_HOME");
    if (!home.isEmpty() && QDir::isAbsolutePath(home)) return home;
    return QDir::homePath() + QStringLiteral("/.local/share");
}

QByteArray launcherToken() {
    // An X11 startup id serves where there is no Wayland token: mutter accepts it as one.
    const QByteArray wayland = qgetenv("XDG_ACTIVATION_TOKEN");
    return wayland.isEmpty() ? qgetenv("DESKTOP_STARTUP_ID") : wayland;
}

QString startupProgramFile() {
    return app::exePath();
}

}  // namespace platform::os
