#include "platform/os/note_file_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>

namespace platform {

NoteFileLock::~NoteFileLock() {
    if (handle_ >= 0) ::close(static_cast<int>(handle_));
}

NoteFileLock::Outcome NoteFileLock::take(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    struct stat held {
    }, now{};
    if (handle_ >= 0 && ::fstat(static_cast<int>(handle_), &held) == 0 &&
        ::stat(name.constData(), &now) == 0 && held.st_dev == now.st_dev &&
        held.st_ino == now.st_ino)
        return Outcome::Held;
    // flock belongs to this open file description alone: the engine's fcntl locks and its
    // other descriptors neither see nor release it. Not passed on to programs we start, which
    // would hold the file after we end.
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return Outcome::NotLockable;  // opening the store says what is wrong
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const bool elsewhere = errno == EWOULDBLOCK;
        ::close(fd);
        return elsewhere ? Outcome::HeldElsewhere : Outcome::NotLockable;
    }
    if (handle_ >= 0) ::close(static_cast<int>(handle_));  // the file that was replaced
    handle_ = fd;
    return Outcome::Held;
}

}  // namespace platform
