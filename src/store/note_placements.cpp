#include "store/note_placements.h"

#include "platform/core/convert.h"
#include "platform/core/error.h"
#include "store/database_module.h"

namespace {

// A placement is worth a short wait, not a frozen note: another program holding the file is
// waited for this long, then the write is left for the next move or close.
constexpr int kPlacementWaitMs = 100;

const QString kCreate = QStringLiteral(
    "CREATE TABLE IF NOT EXISTS NotePlacement(ID INTEGER PRIMARY KEY, X INTEGER, Y INTEGER, "
    "Width INTEGER, Height INTEGER, Scale REAL)");
// Tables made before the scale was kept.
const QString kAddScale = QStringLiteral("ALTER TABLE NotePlacement ADD COLUMN Scale REAL");

bool missingTable(const platform::Error& error) {
    return error.message().startsWith(QLatin1String("no such table"));
}

bool missingScale(const platform::Error& error) {
    return error.message().contains(QLatin1String("no column named Scale"));
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

}  // namespace

std::optional<NotePlacements::Place> NotePlacements::find(std::int64_t id) const {
    platform::Recordset rs;
    try {
        rs = store_.数据库_查找_语句(
            QStringLiteral("SELECT * FROM NotePlacement WHERE ID = %1").arg(id));
    } catch (const platform::Error& error) {
        if (missingTable(error)) return std::nullopt;
        throw;
    }
    if (rs.eof()) return std::nullopt;
    Place place;
    place.size = QSize(platform::toInt32(rs.field(QStringLiteral("Width"))),
                       platform::toInt32(rs.field(QStringLiteral("Height"))));
    if (place.size.isEmpty()) return std::nullopt;
    const QVariant x = rs.field(QStringLiteral("X"));
    const QVariant y = rs.field(QStringLiteral("Y"));
    if (x.isValid() && y.isValid())
        place.position = QPoint(platform::toInt32(x), platform::toInt32(y));
    try {
        const QVariant scale = rs.field(QStringLiteral("Scale"));
        if (scale.isValid()) place.scale = platform::toDouble(scale);
    } catch (const platform::Error& error) {
        if (error.number() != platform::errc::itemNotFound) throw;
    }
    // Nothing a screen could have; also keeps NaN out.
    if (!(place.scale > 0 && place.scale <= 64)) place.scale = 0;
    return place;
}

void NotePlacements::save(std::int64_t id, const Place& place) const {
    QString statement;
    if (place.position) {
        statement = QStringLiteral(
                        "INSERT OR REPLACE INTO NotePlacement(ID, X, Y, Width, Height, Scale) "
                        "SELECT %1, %2, %3, %4, %5, %6")
                        .arg(id)
                        .arg(place.position->x())
                        .arg(place.position->y())
                        .arg(place.size.width())
                        .arg(place.size.height())
                        .arg(QString::number(place.scale, 'g', 17));
    } else {
        statement = QStringLiteral("INSERT INTO NotePlacement(ID, Width, Height) SELECT %1, %2, %3")
                        .arg(id)
                        .arg(place.size.width())
                        .arg(place.size.height());
    }
    statement += QStringLiteral(" WHERE EXISTS(SELECT 1 FROM Tips WHERE ID = %1)").arg(id);
    if (!place.position) {
        statement += QStringLiteral(
            " ON CONFLICT(ID) DO UPDATE SET Width = excluded.Width, Height = excluded.Height");
    }
    const ShortWait wait(store_);
    try {
        store_.数据库_添加_语句(statement);
    } catch (const platform::Error& error) {
        if (missingTable(error)) {
            store_.数据库_添加_语句(kCreate);  // the file's first placement
        } else if (missingScale(error)) {
            store_.数据库_添加_语句(kAddScale);
        } else {
            throw;
        }
        store_.数据库_添加_语句(statement);
    }
}

void NotePlacements::remove(std::int64_t id) const {
    try {
        store_.数据库_删除_语句(QStringLiteral("DELETE FROM NotePlacement WHERE ID = %1").arg(id));
    } catch (const platform::Error& error) {
        if (!missingTable(error)) throw;
    }
}
