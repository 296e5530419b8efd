#include "platform/os/os.h"

#include <io.h>
#include <windows.h>

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

namespace {
// The volume and file index of an existing file or folder; false when it cannot be opened.
bool fileIdentity(const QString& path, BY_HANDLE_FILE_INFORMATION& info) {
    const HANDLE handle = CreateFileW(reinterpret_cast<const wchar_t*>(path.utf16()), 0,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    const bool known = GetFileInformationByHandle(handle, &info) != 0;
    CloseHandle(handle);
    return known;
}
}  // namespace

bool isSameFile(const QString& first, const QString& second) {
    BY_HANDLE_FILE_INFORMATION a{}, b{};
    return fileIdentity(QDir::toNativeSeparators(first), a) &&
           fileIdentity(QDir::toNativeSeparators(second), b) &&
           a.dwVolumeSerialNumber == b.dwVolumeSerialNumber &&
           a.nFileIndexHigh == b.nFileIndexHigh && a.nFileIndexLow == b.nFileIndexLow;
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
