#include "platform/db/prepared_statement.h"

#include <sqlite3.h>

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QScopeGuard>

#include "platform/core/error.h"
#include "platform/db/sqlite_connection.h"

namespace platform {
namespace {

bool onlyWhitespace(const char* text) {
    for (; text && *text; ++text)
        if (*text != ' ' && *text != '\t' && *text != '\r' && *text != '\n' && *text != ';')
            return false;
    return true;
}

}  // namespace

PreparedStatement::PreparedStatement(sqlite3* db, const QString& sql) : db_(db) {
    const QByteArray utf8 = sql.toUtf8();
    const char* tail = nullptr;
    check(sqlite3_prepare_v2(db, utf8.constData(), static_cast<int>(utf8.size()), &stmt_, &tail));
    // One statement per text: anything after it would be run by nobody, or smuggled in.
    if (!onlyWhitespace(tail)) {
        sqlite3_finalize(stmt_);
        throw Error(Trouble::Internal, SQLITE_ERROR,
                    QCoreApplication::translate("Database", "语句末尾之后还有字符。"));
    }
}

PreparedStatement::~PreparedStatement() {
    sqlite3_finalize(stmt_);
}

void PreparedStatement::fail() const {
    // The file it concerns: a full disk or a locked file is told with its name.
    const char* file = sqlite3_db_filename(db_, "main");
    throw Error::fromSqlite(sqlite3_extended_errcode(db_), QString::fromUtf8(sqlite3_errmsg(db_)),
                            file ? QDir::toNativeSeparators(QString::fromUtf8(file)) : QString());
}

void PreparedStatement::check(int code) const {
    if (code != SQLITE_OK) fail();
}

PreparedStatement& PreparedStatement::bindInt64(int index, std::int64_t value) {
    check(sqlite3_bind_int64(stmt_, index, value));
    return *this;
}

PreparedStatement& PreparedStatement::bindDouble(int index, double value) {
    check(sqlite3_bind_double(stmt_, index, value));
    return *this;
}

PreparedStatement& PreparedStatement::bindText(int index, const QString& value) {
    const QByteArray utf8 = value.toUtf8();
    check(sqlite3_bind_text(stmt_, index, utf8.constData(), static_cast<int>(utf8.size()),
                            SQLITE_TRANSIENT));
    return *this;
}

PreparedStatement& PreparedStatement::bindNull(int index) {
    check(sqlite3_bind_null(stmt_, index));
    return *this;
}

bool PreparedStatement::step() {
    // The wait is the connection's, so it is set for this step only and then given back.
    const auto ordinaryWait = qScopeGuard([this] {
        if (busyTimeoutMs_ >= 0) sqlite3_busy_timeout(db_, kBusyTimeoutMs);
    });
    if (busyTimeoutMs_ >= 0) sqlite3_busy_timeout(db_, busyTimeoutMs_);
    const int code = sqlite3_step(stmt_);
    row_ = code == SQLITE_ROW;
    if (!row_ && code != SQLITE_DONE) fail();
    return row_;
}

void PreparedStatement::reset() {
    // Its code repeats the last step's, which has been raised already.
    sqlite3_reset(stmt_);
    row_ = false;
}

QVariant PreparedStatement::value(int column) const {
    if (!row_) noCurrentRecord();
    if (column < 0 || column >= sqlite3_data_count(stmt_)) itemNotFound(QString::number(column));
    switch (sqlite3_column_type(stmt_, column)) {
        case SQLITE_INTEGER:
            return QVariant(static_cast<qlonglong>(sqlite3_column_int64(stmt_, column)));
        case SQLITE_FLOAT:
            return QVariant(sqlite3_column_double(stmt_, column));
        case SQLITE_TEXT: {
            // Text first: asking for the bytes may convert, and must precede the size.
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
            return QVariant(QString::fromUtf8(text, sqlite3_column_bytes(stmt_, column)));
        }
        case SQLITE_BLOB: {
            const auto* data = static_cast<const char*>(sqlite3_column_blob(stmt_, column));
            return QVariant(QByteArray(data, sqlite3_column_bytes(stmt_, column)));
        }
        default:
            return QVariant();
    }
}

QByteArrayView PreparedStatement::utf8Text(int column) const {
    if (!row_) noCurrentRecord();
    if (column < 0 || column >= sqlite3_data_count(stmt_) ||
        sqlite3_column_type(stmt_, column) != SQLITE_TEXT)
        return {};
    // Text first: asking for the bytes may convert, and must precede the size.
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
    return QByteArrayView(text, sqlite3_column_bytes(stmt_, column));
}

}  // namespace platform
