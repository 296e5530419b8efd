#include "platform/core/error.h"

#include <sqlite3.h>

#include <QDir>
#include <QFileDevice>
#include <QFileInfo>
#include <cerrno>
#include <cstring>

namespace platform {

Error::Error(int number, const QString& message)
    : std::runtime_error(message.toStdString()),
      number_(number),
      message_(message),
      raw_(message) {}

Error::Error(Trouble trouble, int number, const QString& raw, const QString& file)
    : Error(number, file.isEmpty() ? raw : QStringLiteral("%1：%2").arg(raw, file)) {
    trouble_ = trouble;
    raw_ = raw;
    file_ = file;
}

Error Error::fromSqlite(int code, const QString& raw, const QString& file) {
    Trouble trouble = Trouble::Engine;
    switch (code & 0xff) {  // the primary code of an extended one
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            trouble = Trouble::Busy;
            break;
        case SQLITE_CANTOPEN:
            trouble = !file.isEmpty() && !QFileInfo(file).exists() && !QFileInfo(file).isSymLink()
                          ? Trouble::Missing
                          : Trouble::CannotOpen;
            break;
        case SQLITE_READONLY:
            trouble = Trouble::ReadOnly;
            break;
        case SQLITE_FULL:
            trouble = Trouble::DiskFull;
            break;
        case SQLITE_CORRUPT:
        case SQLITE_NOTADB:
            trouble = Trouble::NotANoteFile;
            break;
        case SQLITE_PERM:
        case SQLITE_AUTH:
            trouble = Trouble::NoPermission;
            break;
        case SQLITE_IOERR:
            trouble = Trouble::FileIo;
            break;
        default:
            break;
    }
    return Error(trouble, code, raw, file);
}

Error Error::fromFile(const QFileDevice& file, const QString& shown) {
    // A write the disk could take only part of returns short with no error of Qt's set, and
    // errno still telling why; Qt reports a full disk met otherwise as a resource error.
    const int systemError = errno;
    const QFileDevice::FileError error = file.error();
    Trouble trouble = Trouble::FileIo;
    if (error == QFileDevice::ResourceError ||
        (error == QFileDevice::NoError && systemError == ENOSPC))
        trouble = Trouble::DiskFull;
    else if (error == QFileDevice::PermissionsError || systemError == EACCES ||
             systemError == EPERM)
        trouble = Trouble::NoPermission;
    else if (systemError == EROFS)
        trouble = Trouble::ReadOnly;
    else if (error == QFileDevice::OpenError)
        trouble = systemError == ENOENT ? Trouble::Missing : Trouble::CannotOpen;
    QString raw;
    if (error != QFileDevice::NoError)
        raw = file.errorString();
    else if (systemError != 0)
        raw = QString::fromLocal8Bit(std::strerror(systemError));
    return Error(trouble, errc::pathAccess, raw,
                 QDir::toNativeSeparators(shown.isEmpty() ? file.fileName() : shown));
}

bool Error::busy() const {
    // Told by the kind, not the number: an overflow's number is SQLite's "locked".
    return trouble_ == Trouble::Busy;
}

}  // namespace platform
