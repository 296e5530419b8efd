#include "platform/os/note_file_lock.h"

#include <windows.h>

#include <QDir>

namespace platform {
namespace {
// Byte-range locks on Windows keep others from reading the range: one byte far past any data
// and past the engine's own lock bytes (at 1 GiB) blocks nothing but another copy of us.
constexpr DWORD kLockOffsetHigh = 0x40000000;

HANDLE handleOf(qintptr handle) {
    return reinterpret_cast<HANDLE>(handle);
}

// The volume and file index of an open file, or of the file at path.
bool identity(HANDLE file, BY_HANDLE_FILE_INFORMATION& info) {
    return GetFileInformationByHandle(file, &info) != 0;
}
}  // namespace

NoteFileLock::~NoteFileLock() {
    if (handle_ != -1) CloseHandle(handleOf(handle_));
}

NoteFileLock::Outcome NoteFileLock::take(const QString& path) {
    const HANDLE file = CreateFileW(
        reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(path).utf16()), GENERIC_READ,
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return Outcome::NotLockable;
    BY_HANDLE_FILE_INFORMATION held{}, now{};
    if (handle_ != -1 && identity(handleOf(handle_), held) && identity(file, now) &&
        held.dwVolumeSerialNumber == now.dwVolumeSerialNumber &&
        held.nFileIndexHigh == now.nFileIndexHigh && held.nFileIndexLow == now.nFileIndexLow) {
        CloseHandle(file);  // a lock on Windows belongs to its handle, not to the file
        return Outcome::Held;
    }
    OVERLAPPED where{};
    where.OffsetHigh = kLockOffsetHigh;
    if (!LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &where)) {
        const bool elsewhere = GetLastError() == ERROR_LOCK_VIOLATION;
        CloseHandle(file);
        return elsewhere ? Outcome::HeldElsewhere : Outcome::NotLockable;
    }
    if (handle_ != -1) CloseHandle(handleOf(handle_));
    handle_ = reinterpret_cast<qintptr>(file);
    return Outcome::Held;
}

}  // namespace platform
