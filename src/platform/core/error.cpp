#include "platform/core/error.h"

#include <sqlite3.h>

#include <QFileDevice>
#include <cerrno>
#include <cstring>

namespace platform {

Error::Error(int number, const QString& message)
    : std::runtime_error(message.toStdString()), number_(number), message_(message) {}

bool Error::busy() const {
    // Extended result codes keep the primary code in the low byte.
    const int primary = number_ & 0xff;
    return primary == SQLITE_BUSY || primary == SQLITE_LOCKED;
}

QString fileErrorText(const QFileDevice& file) {
    // A write the disk could take only part of returns short with no error of Qt's set
    // ("Unknown error"), and errno still telling why; Qt reports a full disk met otherwise as a
    // resource error.
    const int systemError = errno;
    if (file.error() == QFileDevice::ResourceError ||
        (file.error() == QFileDevice::NoError && systemError == ENOSPC))
        return QStringLiteral("磁盘已满，文件没有写完。请腾出一些空间，或换一个位置。");
    if (file.error() == QFileDevice::PermissionsError)
        return QStringLiteral("没有权限写入这个位置（%1）。").arg(file.errorString());
    if (file.error() == QFileDevice::NoError && systemError != 0)
        return QStringLiteral("文件没有写完（%1）。")
            .arg(QString::fromLocal8Bit(std::strerror(systemError)));
    return file.errorString();
}

}  // namespace platform
