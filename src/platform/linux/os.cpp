#include "platform/os.h"

#include <sys/socket.h>
#include <unistd.h>

#include <QDir>
#include <QFile>

#include "platform/app.h"
#include "platform/linux/private_folder.h"

namespace platform::os {

bool peerIsThisUser(qintptr socketDescriptor) {
    ucred peer{};
    socklen_t size = sizeof peer;
    return socketDescriptor >= 0 &&
           ::getsockopt(static_cast<int>(socketDescriptor), SOL_SOCKET, SO_PEERCRED, &peer,
                        &size) == 0 &&
           size == sizeof peer && peer.uid == ::getuid();
}

QString channelPath(const QString& name) {
    // A socket file outside a folder of our own could be squatted or redirected.
    const QString folder = private_folder::forChannel();
    return folder.isEmpty() ? QString() : QDir(folder).filePath(name);
}

bool makePrivateFolder(const QString& path) {
    return private_folder::make(path);
}

bool syncToDisk(QFile& file) {
    return file.flush() && ::fsync(file.handle()) == 0;
}

QString startupProgramFile() {
    return app::exePath();
}

}  // namespace platform::os
