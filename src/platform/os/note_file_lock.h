#pragma once

#include <QString>
#include <QtGlobal>

namespace platform {

// Holds a note file for this running program alone: two copies on one file would each
// overwrite what the other saved. The hold is tied to the file itself, not to a name or to the
// folders of the environment, so links and other cache or home folders do not get around it,
// and it leaves the database engine's own locks alone (flock on Linux, a lock on a byte far
// past any data on Windows). It ends with the object or the process.
class NoteFileLock {
  public:
    enum class Outcome {
        Held,           // this program holds the file
        HeldElsewhere,  // another running program holds it
        NotLockable     // the file cannot be opened or its file system cannot lock
    };

    NoteFileLock() = default;
    // Must outlive every connection to the file: on Linux, closing any descriptor of a file
    // drops the engine's POSIX locks on it in this process.
    ~NoteFileLock();
    NoteFileLock(const NoteFileLock&) = delete;
    NoteFileLock& operator=(const NoteFileLock&) = delete;

    // Takes the file now at path. Called again, it keeps what is held when path is still the
    // same file, and moves the hold to a file that has taken its place (a backup put in place
    // of a damaged file).
    Outcome take(const QString& path);

  private:
    qintptr handle_ = -1;
};

}  // namespace platform
