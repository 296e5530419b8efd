#include "store/note_placements.h"

#include "platform/convert.h"
#include "platform/error.h"
#include "store/database_module.h"

namespace {

// A placement is worth a short wait, not a frozen note: another program holding the file is
// waited for this long, then the write is left for the next move or close.
constexpr int kPlacementWaitMs = 100;

const QString kCreate = QStringLiteral(
    "CREATE TABLE IF NOT EXISTS NotePlacement(ID INTEGER PRIMARY KEY, X INTEGER, Y INTEGER, "
    "Width INTEGER, Height INTEGER)");

bool missingTable(const platform::Error& error) {
    return error.message().startsWith(QLatin1String("no such table"));
}

// Shortens the connection's lock wait for its lifetime.
class ShortWait {
  public:
    explicit ShortWait(数据库操作模块& store) : store_(store) {
        previous_ = platform::toInt32(store_.数据库_查找_语句(QStringLiteral("PRAGMA busy_timeout"))
                                          .field(QStringLiteral("timeout")));
        store_.数据库_添加_语句(QStringLiteral("PRAGMA busy_timeout = %1").arg(kPlacementWaitMs));
    }
    ~ShortWait() {
        try {
            store_.数据库_添加_语句(QStringLiteral("PRAGMA busy_timeout = %1").arg(previous_));
        } catch (const platform::Error&) {
        }
    }
    ShortWait(const ShortWait&) = delete;
    ShortWait& operator=(const ShortWait&) = delete;

  private:
    数据库操作模块& store_;
    std::int32_t previous_ = 0;
};

std::optional<QRect> rectOf(const platform::Recordset& rs) {
    const QRect rect(platform::toInt32(rs.field(QStringLiteral("X"))),
                     platform::toInt32(rs.field(QStringLiteral("Y"))),
                     platform::toInt32(rs.field(QStringLiteral("Width"))),
                     platform::toInt32(rs.field(QStringLiteral("Height"))));
    if (rect.width() <= 0 || rect.height() <= 0) return std::nullopt;
    return rect;
}

}  // namespace

std::optional<QRect> NotePlacements::find(std::int32_t id) const {
    platform::Recordset rs;
    try {
        rs = store_.数据库_查找_语句(
            QStringLiteral("SELECT X, Y, Width, Height FROM NotePlacement WHERE ID = %1").arg(id));
    } catch (const platform::Error& error) {
        if (missingTable(error)) return std::nullopt;
        throw;
    }
    if (rs.eof()) return std::nullopt;
    return rectOf(rs);
}

QHash<std::int32_t, QRect> NotePlacements::findAll() const {
    QHash<std::int32_t, QRect> all;
    platform::Recordset rs;
    try {
        rs = store_.数据库_查找_语句(
            QStringLiteral("SELECT ID, X, Y, Width, Height FROM NotePlacement"));
    } catch (const platform::Error& error) {
        if (missingTable(error)) return all;
        throw;
    }
    for (; !rs.eof(); rs.moveNext()) {
        // A row find could not read is left out, as find leaves it out.
        try {
            if (const std::optional<QRect> rect = rectOf(rs))
                all.insert(platform::toInt32(rs.field(QStringLiteral("ID"))), *rect);
        } catch (const platform::Error&) {
        }
    }
    return all;
}

void NotePlacements::save(std::int32_t id, const QRect& rect) const {
    const QString insert =
        QStringLiteral(
            "INSERT OR REPLACE INTO NotePlacement(ID, X, Y, Width, Height) SELECT %1, %2, %3, %4, "
            "%5 WHERE EXISTS(SELECT 1 FROM Tips WHERE ID = %1)")
            .arg(id)
            .arg(rect.x())
            .arg(rect.y())
            .arg(rect.width())
            .arg(rect.height());
    const ShortWait wait(store_);
    try {
        store_.数据库_添加_语句(insert);
    } catch (const platform::Error& error) {
        if (!missingTable(error)) throw;
        // The file's first placement.
        store_.数据库_添加_语句(kCreate);
        store_.数据库_添加_语句(insert);
    }
}

void NotePlacements::remove(std::int32_t id) const {
    try {
        store_.数据库_删除_语句(QStringLiteral("DELETE FROM NotePlacement WHERE ID = %1").arg(id));
    } catch (const platform::Error& error) {
        if (!missingTable(error)) throw;
    }
}
