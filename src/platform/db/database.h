#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/db/prepared_statement.h"

struct sqlite3;
struct sqlite3_stmt;

namespace platform {

// A snapshot result set: a materialised copy of the rows, taken when it is opened; later changes
// to the table are not seen. The current row of a fresh result set is its first row, if any.
class Recordset {
  public:
    Recordset() = default;

    int recordCount() const;  // every row of the snapshot
    bool eof() const;         // past the last row (or no rows)
    // Moves fail with errc::noCurrentRecord on an empty result set (and moveNext past the end).
    void moveFirst();
    void moveLast();
    void moveNext();

    // Value of the named column (case-insensitive) in the current row. NULL is an invalid
    // QVariant. No current row: errc::noCurrentRecord; unknown name: errc::itemNotFound.
    QVariant field(const QString& name) const;

  private:
    friend class Database;
    // One value, 16 bytes: numbers inline, texts and blobs as their bytes in text_. A snapshot of
    // 100,000 notes then costs a few large blocks instead of a QVariant and a heap string per cell.
    struct Cell {
        enum Type : unsigned char { Null, Integer, Real, Text, Blob };
        Type type = Null;
        unsigned size = 0;  // bytes of a text or blob
        qint64 value = 0;   // integer, real's bits or offset into text_
    };

    explicit Recordset(QStringList columns) : columns_(std::move(columns)) {}
    void appendRow(sqlite3_stmt* stmt);  // the statement's current row
    int columnIndex(const QString& name) const;
    QVariant value(const Cell& cell) const;

    QStringList columns_;
    std::vector<Cell> cells_;  // row-major
    QByteArray text_;
    int rows_ = 0;
    int current_ = 0;
};

// An open SQLite database file. Errors carry SQLite's extended result code and its message.
class Database {
  public:
    // Opens an existing file; never creates one. exclusive: no other connection may use the
    // file; readOnly: open without write access. The connect text is kept (SQLite itself has no
    // password). A file that is missing, not SQLite, locked, or not writable when readOnly is
    // false raises Error.
    static std::shared_ptr<Database> open(const QString& path, bool exclusive, bool readOnly,
                                          const QString& connect);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    Recordset openRecordset(const QString& sql);  // snapshot
    void execute(const QString& sql);             // statement text as it stands
    // One statement to run with bound values; a text with a second statement is refused.
    PreparedStatement prepare(const QString& sql);
    // Rows changed by the last INSERT, UPDATE or DELETE that completed on this connection.
    int changes() const;
    // The row ID of the last row an INSERT added on this connection (0: none yet).
    std::int64_t lastInsertId() const;
    // The engine's quick check finds nothing wrong; an engine error (not a database, badly
    // damaged) is raised.
    bool passesQuickCheck();
    void close();

    bool isOpen() const { return db_ != nullptr; }
    const QString& path() const { return path_; }
    const QString& connectText() const { return connect_; }

  private:
    friend void restoreDatabase(Database& target, const QString& source);
    Database(sqlite3* db, QString path, QString connect);
    void requireOpen() const;

    sqlite3* db_ = nullptr;
    QString path_;
    QString connect_;
};

}  // namespace platform
