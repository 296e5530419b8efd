#include "platform/db/database_backup.h"

#include <sqlite3.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <memory>

#include "platform/core/error.h"
#include "platform/db/database.h"
#include "platform/db/sqlite_connection.h"

namespace platform {
namespace {

// Pages copied per step: the source is locked only for one step, so a write of the program
// waits at most that long.
constexpr int kPagesPerStep = 64;

struct CloseConnection {
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
using Connection = std::unique_ptr<sqlite3, CloseConnection>;

Connection openConnection(const QString& path, int flags) {
    return Connection(openSqliteConnection(path, flags));
}

[[noreturn]] void fail(sqlite3* db, const QString& path) {
    throw Error::fromSqlite(sqlite3_extended_errcode(db), QString::fromUtf8(sqlite3_errmsg(db)),
                            QDir::toNativeSeparators(path));
}

bool copy(const QString& source, const QString& target, const std::atomic<bool>& stop,
          int busyLimitMs) {
    // The empty file is made first, so that it never exists with wider rights than 0600.
    {
        QFile file(target);
        if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly,
                       QFileDevice::ReadOwner | QFileDevice::WriteOwner))
            throw Error::fromFile(file);
    }
    Connection from = openConnection(source, SQLITE_OPEN_READONLY);
    Connection to = openConnection(target, SQLITE_OPEN_READWRITE);
    // A half-written copy is deleted, never used: it needs no journal of its own.
    sqlite3_exec(to.get(), "PRAGMA journal_mode=OFF", nullptr, nullptr, nullptr);
    // Pages pass through once: a small cache keeps the copy from growing the program.
    sqlite3_exec(from.get(), "PRAGMA cache_size=-256", nullptr, nullptr, nullptr);
    sqlite3_exec(to.get(), "PRAGMA cache_size=-256", nullptr, nullptr, nullptr);

    sqlite3_backup* backup = sqlite3_backup_init(to.get(), "main", from.get(), "main");
    if (!backup) fail(to.get(), target);
    int code = SQLITE_OK;
    const QDeadlineTimer busyLimit(busyLimitMs < 0 ? QDeadlineTimer::Forever
                                                   : QDeadlineTimer(busyLimitMs));
    while (!stop.load() && (code == SQLITE_OK || code == SQLITE_BUSY || code == SQLITE_LOCKED)) {
        code = sqlite3_backup_step(backup, kPagesPerStep);
        const bool busy = code == SQLITE_BUSY || code == SQLITE_LOCKED;
        if (busy && busyLimit.hasExpired()) break;
        if (busy) sqlite3_sleep(20);
    }
    sqlite3_backup_finish(backup);
    if (code == SQLITE_DONE) return true;
    if (stop.load()) return false;
    if (code == SQLITE_BUSY || code == SQLITE_LOCKED)
        throw Error::fromSqlite(code, QString::fromUtf8(sqlite3_errstr(code)),
                                QDir::toNativeSeparators(source));
    fail(to.get(), target);
}

}  // namespace

bool backupDatabase(const QString& source, const QString& target, const std::atomic<bool>& stop,
                    int busyLimitMs) {
    bool done = false;
    try {
        done = copy(source, target, stop, busyLimitMs);
    } catch (...) {
        QFile::remove(target);
        throw;
    }
    if (!done) QFile::remove(target);
    return done;
}

void restoreDatabase(Database& target, const QString& source) {
    target.requireOpen();
    Connection from = openConnection(source, SQLITE_OPEN_READONLY);
    sqlite3_backup* backup = sqlite3_backup_init(target.db_, "main", from.get(), "main");
    if (!backup) fail(target.db_, target.path());
    // All pages in one step, so one transaction. A reader elsewhere (the day's backup) holds
    // the write off for a moment only; this runs on the window's thread, so another program
    // holding the file is waited for no longer than a save waits.
    int code = SQLITE_OK;
    const QDeadlineTimer busyLimit(kBusyTimeoutMs);
    for (;;) {
        code = sqlite3_backup_step(backup, -1);
        if ((code != SQLITE_BUSY && code != SQLITE_LOCKED) || busyLimit.hasExpired()) break;
        sqlite3_sleep(20);
    }
    sqlite3_backup_finish(backup);
    if (code != SQLITE_DONE)
        throw Error::fromSqlite(code, QString::fromUtf8(sqlite3_errstr(code)),
                                QDir::toNativeSeparators(target.path()));
}

}  // namespace platform
