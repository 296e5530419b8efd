#pragma once

#include <QByteArrayView>
#include <QString>
#include <QVariant>
#include <cstdint>

struct sqlite3;
struct sqlite3_stmt;

namespace platform {

// One SQL statement compiled once, run with bound values and read row by row (no snapshot).
// Made by Database::prepare; it must not outlive the database's close. Every failure raises
// Error with SQLite's extended result code and its message.
class PreparedStatement {
  public:
    ~PreparedStatement();
    PreparedStatement(const PreparedStatement&) = delete;
    PreparedStatement& operator=(const PreparedStatement&) = delete;

    // Parameters count from 1 (?1, ?2, ...).
    PreparedStatement& bindInt64(int index, std::int64_t value);
    PreparedStatement& bindDouble(int index, double value);
    PreparedStatement& bindText(int index, const QString& value);
    PreparedStatement& bindNull(int index);

    // How long a lock held by another connection is waited for while this statement runs,
    // instead of the connection's ordinary wait; the connection keeps its own wait otherwise.
    void setBusyTimeout(int milliseconds) { busyTimeoutMs_ = milliseconds; }

    // Runs to the next row: true when there is one, false when the statement is done.
    bool step();
    // Back to before the first step, keeping the bound values, so that it can run again.
    void reset();
    // A column of the current row, counted from 0, typed as stored; NULL is an invalid
    // QVariant. No current row: errc::noCurrentRecord; no such column: errc::itemNotFound.
    QVariant value(int column) const;
    // A text column of the current row as the engine holds it, UTF-8, valid until the next step
    // or reset: no copy. A null view when the value is not text (value() then says what it is).
    QByteArrayView utf8Text(int column) const;

  private:
    friend class Database;
    PreparedStatement(sqlite3* db, const QString& sql);
    [[noreturn]] void fail() const;
    void check(int code) const;

    sqlite3* db_;
    sqlite3_stmt* stmt_ = nullptr;
    int busyTimeoutMs_ = -1;  // -1: the connection's own
    bool row_ = false;
};

}  // namespace platform
