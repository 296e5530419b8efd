#include "test_helpers.h"

#include <sqlite3.h>

#include <QApplication>
#include <QFile>
#include <QTimer>
#include <QWidget>
#include <stdexcept>

#include "seams.h"

namespace testsupport {

QString schemaSql() {
    QFile file(QStringLiteral(ZETTARA_DATA_DIR "/schema.sql"));
    if (!file.open(QIODevice::ReadOnly)) throw std::runtime_error("cannot read data/schema.sql");
    return QString::fromUtf8(file.readAll());
}

void whenModalOpens(const std::function<void(QWidget*)>& act) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, poll, [poll, act] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible()) return;
        poll->stop();
        poll->deleteLater();
        act(modal);
    });
    poll->start(10);
}

namespace {
struct Connection {
    sqlite3* db = nullptr;
    explicit Connection(const QString& path) {
        if (sqlite3_open(path.toUtf8().constData(), &db) != SQLITE_OK)
            throw std::runtime_error("cannot open test database");
    }
    ~Connection() { sqlite3_close(db); }
};
}  // namespace

TempNoteDb::TempNoteDb() {
    if (!dir_.isValid()) throw std::runtime_error("no temporary folder");
    dirPath_ = dir_.path();
    path_ = dirPath_ + QStringLiteral("/Zettara.mdb");
    exec(schemaSql());
}

void TempNoteDb::exec(const QString& sql) const {
    Connection c(path_);
    char* error = nullptr;
    if (sqlite3_exec(c.db, sql.toUtf8().constData(), nullptr, nullptr, &error) != SQLITE_OK) {
        std::string message = error ? error : "?";
        sqlite3_free(error);
        throw std::runtime_error("test SQL failed: " + message);
    }
}

QStringList TempNoteDb::column(const QString& sql) const {
    Connection c(path_);
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(c.db, sql.toUtf8().constData(), -1, &stmt, nullptr) != SQLITE_OK)
        throw std::runtime_error(std::string("test query failed: ") + sqlite3_errmsg(c.db));
    QStringList out;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        if (sqlite3_column_type(stmt, 0) == SQLITE_NULL) {
            out << QStringLiteral("<null>");
        } else {
            out << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)),
                                     sqlite3_column_bytes(stmt, 0));
        }
    }
    sqlite3_finalize(stmt);
    return out;
}

int TempNoteDb::count(const QString& where) const {
    QString sql = QStringLiteral("SELECT count(*) FROM Tips");
    if (!where.isEmpty()) sql += QStringLiteral(" WHERE ") + where;
    return column(sql).value(0).toInt();
}

MsgBoxRecorder::MsgBoxRecorder() {
    previous_ = testsupport::Seams::setMsgBoxImpl(
        [this](const QString& text, int style, const QString& title) {
            boxes_.push_back({text, style, title});
            if (!answers_.empty()) {
                int a = answers_.front();
                answers_.pop_front();
                return a;
            }
            if ((style & 7) == platform::mb::YesNoCancel) return platform::mb::Cancel;
            return (style & 7) == platform::mb::YesNo ? platform::mb::No : platform::mb::Ok;
        });
}

MsgBoxRecorder::~MsgBoxRecorder() {
    testsupport::Seams::setMsgBoxImpl(previous_);
}

}  // namespace testsupport
