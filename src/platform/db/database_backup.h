#pragma once

#include <QString>
#include <atomic>

namespace platform {

// Copies the database file at source, page by page with SQLite's online backup, into a new
// file at target (created 0600; an existing target is an error). It reads through a
// connection of its own, so it may run on another thread while the program writes; a write
// meanwhile makes the copy start over. Returns false when stop was set before the copy was
// done (target is then removed); a failure raises Error and removes target.
bool backupDatabase(const QString& source, const QString& target, const std::atomic<bool>& stop);

}  // namespace platform
