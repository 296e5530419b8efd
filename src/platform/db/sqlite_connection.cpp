#include "platform/db/sqlite_connection.h"

#include <sqlite3.h>

#include "platform/core/error.h"

namespace platform {
sqlite3* openSqliteConnection(const QString& path, int flags) {
    sqlite3* raw = nullptr;
    const int code =
        sqlite3_open_v2(path.toUtf8().constData(), &raw, flags | SQLITE_OPEN_NOMUTEX, nullptr);
    if (code != SQLITE_OK) {
        // The message of a failed open names no file; say which one.
        const int number = raw ? sqlite3_extended_errcode(raw) : code;
        const QString message = QString::fromUtf8(raw ? sqlite3_errmsg(raw) : sqlite3_errstr(code));
        sqlite3_close_v2(raw);
        throw Error(number, QStringLiteral("%1：%2").arg(message, path));
    }
    sqlite3_extended_result_codes(raw, 1);
    sqlite3_busy_timeout(raw, kBusyTimeoutMs);
    return raw;
}

}  // namespace platform
