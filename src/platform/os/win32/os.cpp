#include "platform/os/os.h"

#include <io.h>

#include <QDir>
#include <QFile>

#include "platform/core/app.h"

namespace platform::os {

bool peerIsThisUser(qintptr) {
    // The channel is a named pipe whose access list (QLocalServer::UserAccessOption) admits
    // only this user.
    return true;
}

QString channelLockPath(const QString& name) {
    return channelPath(name) + QStringLiteral(".lock");
}

QString channelPath(const QString& name) {
    // Pipe names are machine-wide; the path of the user's temporary folder keeps users apart.
    return QDir(QDir::tempPath()).filePath(name);
}

bool makePrivateFolder(const QString& path) {
    // Folders below the user's profile inherit an access list that admits only the user.
    return QDir().mkpath(path);
}

bool syncToDisk(QFile& file) {
    return file.flush() && _commit(file.handle()) == 0;
}

QString userDataFolder() {
    return QDir::fromNativeSeparators(qEnvironmentVariable("APPDATA"));
}

QByteArray launcherToken() {
    return {};
}

QString startupProgramFile() {
    return QDir::toNativeSeparators(app::path()) + u'\\' + app::exeName() + QStringLiteral(".exe");
}

}  // namespace platform::os
