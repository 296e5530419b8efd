#pragma once

#include <QString>
#include <atomic>

namespace platform {

class Database;

// Copies the database file at source, page by page with SQLite's online backup, into a new
// file at target (created 0600; an existing target is an error). It reads through a
// connection of its own, so it may run on another thread while the program writes; a write
// meanwhile makes the copy start over. Returns false when stop was set before the copy was
// done (target is then removed); a failure raises Error and removes target. With busyLimitMs
// set, a source that another program keeps locked for longer fails with SQLITE_BUSY instead
// of being waited for.
bool backupDatabase(const QString& source, const QString& target, const std::atomic<bool>& stop,
                    int busyLimitMs = -1);

// Replaces everything in the open database target with the database file at source, through
// the online backup in a single step: the destination is written in one transaction of its
// own, so a crash leaves it as it was or as source, never a mix. Raises Error, target
// unchanged, when source cannot be read or target stays busy for longer than a save waits.
void restoreDatabase(Database& target, const QString& source);

}  // namespace platform
