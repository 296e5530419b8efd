#include "platform/db/database.h"

#include <sqlite3.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <cstring>

#include "platform/core/error.h"
#include "platform/db/prepared_statement.h"
#include "platform/db/sqlite_connection.h"

namespace platform {

// ---- Recordset ---------------------------------------------------------------------------

void Recordset::appendRow(sqlite3_stmt* stmt) {
    const int count = static_cast<int>(columns_.size());
    for (int column = 0; column < count; ++column) {
        Cell cell;
        switch (sqlite3_column_type(stmt, column)) {
            case SQLITE_INTEGER:
                cell.type = Cell::Integer;
                cell.value = sqlite3_column_int64(stmt, column);
                break;
            case SQLITE_FLOAT: {
                cell.type = Cell::Real;
                const double real = sqlite3_column_double(stmt, column);
                std::memcpy(&cell.value, &real, sizeof real);
                break;
            }
            case SQLITE_TEXT:
            case SQLITE_BLOB: {
                const bool text = sqlite3_column_type(stmt, column) == SQLITE_TEXT;
                // Text first: asking for the bytes may convert, and must precede the size.
                const char* data =
                    text ? reinterpret_cast<const char*>(sqlite3_column_text(stmt, column))
                         : static_cast<const char*>(sqlite3_column_blob(stmt, column));
                cell.type = text ? Cell::Text : Cell::Blob;
                cell.size = static_cast<unsigned>(sqlite3_column_bytes(stmt, column));
                cell.value = text_.size();
                text_.append(data, cell.size);
                break;
            }
            default:
                break;  // NULL
        }
        cells_.push_back(cell);
    }
    if (count > 0) ++rows_;
}

QVariant Recordset::value(const Cell& cell) const {
    switch (cell.type) {
        case Cell::Integer:
            return QVariant(static_cast<qlonglong>(cell.value));
        case Cell::Real: {
            double real;
            std::memcpy(&real, &cell.value, sizeof real);
            return QVariant(real);
        }
        case Cell::Text:
            return QVariant(QString::fromUtf8(text_.constData() + cell.value,
                                              static_cast<qsizetype>(cell.size)));
        case Cell::Blob:
            return QVariant(
                QByteArray(text_.constData() + cell.value, static_cast<qsizetype>(cell.size)));
        default:
            return QVariant();
    }
}

int Recordset::recordCount() const {
    return rows_;
}
bool Recordset::eof() const {
    return current_ >= rows_;
}

void Recordset::moveFirst() {
    if (rows_ == 0) noCurrentRecord();
    current_ = 0;
}

void Recordset::moveLast() {
    if (rows_ == 0) noCurrentRecord();
    current_ = rows_ - 1;
}

void Recordset::moveNext() {
    if (current_ >= rows_) noCurrentRecord();
    ++current_;
}

int Recordset::columnIndex(const QString& name) const {
    // Case folding keeps lengths, so names of another length are passed over cheaply.
    for (int i = 0; i < columns_.size(); ++i)
        if (columns_[i].size() == name.size() &&
            columns_[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    itemNotFound(name);
}

QVariant Recordset::field(const QString& name) const {
    const int column = columnIndex(name);
    if (current_ < 0 || current_ >= rows_) noCurrentRecord();
    return value(cells_[static_cast<size_t>(current_) * columns_.size() + column]);
}

// ---- Database ----------------------------------------------------------------------------

Database::Database(sqlite3* db, QString path, QString connect)
    : db_(db), path_(std::move(path)), connect_(std::move(connect)) {}

Database::~Database() {
    close();
}

std::shared_ptr<Database> Database::open(const QString& path, bool exclusive, bool readOnly,
                                         const QString& connect) {
    sqlite3* raw =
        openSqliteConnection(path, readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE);
    std::shared_ptr<Database> db(new Database(raw, path, connect));

    // sqlite3_open_v2 reads nothing yet: touch the file so that a foreign or locked file fails
    // here, at open, and not at the first query.
    db->execute(QStringLiteral("SELECT count(*) FROM sqlite_master"));
    if (!readOnly) {
        // A file the user marked read-only is refused even where the process could write it
        // anyway (root), so that nothing is changed behind the user's back.
        const QFileInfo info(path);
        const auto writeBits =
            QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
        if (sqlite3_db_readonly(raw, "main") == 1 || !(info.permissions() & writeBits)) {
            throw Error::fromSqlite(SQLITE_READONLY,
                                    QString::fromUtf8(sqlite3_errstr(SQLITE_READONLY)),
                                    QDir::toNativeSeparators(path));
        }
        // Every write creates the journal beside the file: a folder that cannot take it would
        // fail each save later. The same rule for root as above.
        const QFileInfo folder(info.absolutePath());
        if (!folder.isWritable() || !(folder.permissions() & writeBits)) {
            throw Error(Trouble::ReadOnly, SQLITE_READONLY_DIRECTORY,
                        QCoreApplication::translate("Database", "便签文件所在的文件夹不可写"),
                        QDir::toNativeSeparators(folder.filePath()));
        }
        // Take and drop the write lock once: a file another process holds locked fails now.
        db->execute(QStringLiteral("BEGIN IMMEDIATE"));
        db->execute(QStringLiteral("ROLLBACK"));
    }
    if (exclusive) db->execute(QStringLiteral("PRAGMA locking_mode=EXCLUSIVE"));
    return db;
}

void Database::requireOpen() const {
    if (!db_)
        throw Error(Trouble::Internal, errc::objectClosed,
                    QCoreApplication::translate("Database", "对象无效或不再被设置。"));
}

Recordset Database::openRecordset(const QString& sql) {
    PreparedStatement stmt = prepare(sql);
    const int columnCount = sqlite3_column_count(stmt.stmt_);
    QStringList columns;
    for (int i = 0; i < columnCount; ++i)
        columns << QString::fromUtf8(sqlite3_column_name(stmt.stmt_, i));

    Recordset rs(std::move(columns));
    while (stmt.step()) rs.appendRow(stmt.stmt_);
    return rs;
}

bool Database::passesQuickCheck() {
    PreparedStatement check = prepare(QStringLiteral("PRAGMA quick_check"));
    return check.step() && check.value(0).toString() == QLatin1String("ok");
}

void Database::execute(const QString& sql) {
    PreparedStatement stmt = prepare(sql);
    while (stmt.step()) {
    }
}

PreparedStatement Database::prepare(const QString& sql) {
    requireOpen();
    return PreparedStatement(db_, sql);
}

int Database::changes() const {
    requireOpen();
    return sqlite3_changes(db_);
}

std::int64_t Database::lastInsertId() const {
    requireOpen();
    return sqlite3_last_insert_rowid(db_);
}

void Database::close() {
    if (db_) {
        sqlite3_close_v2(db_);
        db_ = nullptr;
    }
}

}  // namespace platform
