#include "platform/db/sqlite_connection.h"

#include <sqlite3.h>

#include <QCoreApplication>
#include <QDir>

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
        throw Error::fromSqlite(number, message, QDir::toNativeSeparators(path));
    }
    sqlite3_extended_result_codes(raw, 1);
    sqlite3_busy_timeout(raw, kBusyTimeoutMs);
    return raw;
}

void noCurrentRecord() {
    throw Error(Trouble::Internal, errc::noCurrentRecord,
                QCoreApplication::translate("Database", "无当前记录。"));
}

void itemNotFound(const QString& name) {
    throw Error(Trouble::Internal, errc::itemNotFound,
                QCoreApplication::translate("Database", "在此集合中找不到项目：%1").arg(name));
}

}  // namespace platform
