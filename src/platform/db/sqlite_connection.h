#pragma once

#include <QString>

struct sqlite3;

namespace platform {

// How long a connection waits for a lock another connection holds before it fails.
inline constexpr int kBusyTimeoutMs = 1500;

// Opens an SQLite connection the way every connection of the program is opened: extended
// result codes on and a busy timeout that lets a short write elsewhere not fail at once. A
// failure closes the handle and raises an Error whose message names the file.
sqlite3* openSqliteConnection(const QString& path, int flags);

// A row or column asked for that is not there: a fault of the program's, never the user's.
[[noreturn]] void noCurrentRecord();
[[noreturn]] void itemNotFound(const QString& name);

}  // namespace platform
