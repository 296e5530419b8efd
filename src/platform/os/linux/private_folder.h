#pragma once

#include <QString>

// Folders that only the current user can enter, for channels other local users must not
// reach, squat or redirect.
namespace platform::private_folder {

// True when path is a folder itself (not a symbolic link), owned by this user, mode 0700.
bool isPrivate(const QString& path);

// Creates path with mode 0700 when it is missing; true when path is then private. An
// existing path is never changed or trusted beyond isPrivate.
bool make(const QString& path);

// Where this user's single-instance channel keeps its lock: <cache>/Zettara-6471, the same
// place at every start whatever the runtime and temp folders are; empty when it is not or
// cannot be made private.
QString forChannel();

}  // namespace platform::private_folder
