#include "store/note_placements.h"

#include "platform/core/convert.h"
#include "platform/core/error.h"
#include "platform/db/database.h"
#include "store/database_module.h"

namespace {

// A placement is worth a short wait, not a frozen note: another program holding the file is
// waited for this long, then the write is left for the next move or close.
constexpr int kPlacementWaitMs = 100;

bool writable(const 数据库操作模块& store) {
    return store.ownTables() == OwnSchema::Access::ReadWrite;
}

// The place in columns first.. of a row (X, Y, Width, Height, Scale); none for no valid size.
std::optional<NotePlacements::Place> placeOf(const platform::PreparedStatement& row, int first) {
    NotePlacements::Place place;
    place.size =
        QSize(platform::toInt32(row.value(first + 2)), platform::toInt32(row.value(first + 3)));
    if (place.size.isEmpty()) return std::nullopt;
    const QVariant x = row.value(first);
    const QVariant y = row.value(first + 1);
    if (x.isValid() && y.isValid())
        place.position = QPoint(platform::toInt32(x), platform::toInt32(y));
    const QVariant scale = row.value(first + 4);
    if (scale.isValid()) place.scale = platform::toDouble(scale);
    // Nothing a screen could have; also keeps NaN out.
    if (!(place.scale > 0 && place.scale <= 64)) place.scale = 0;
    return place;
}

}  // namespace

std::optional<NotePlacements::Place> NotePlacements::find(std::int64_t id) const {
    if (store_.ownTables() == OwnSchema::Access::None) return std::nullopt;
    platform::PreparedStatement row = store_.database()->prepare(
        QStringLiteral("SELECT X, Y, Width, Height, Scale FROM NotePlacement WHERE ID = ?1"));
    row.bindInt64(1, id);
    if (!row.step()) return std::nullopt;
    return placeOf(row, 0);
}

NotePlacements::Places NotePlacements::findAll() const {
    Places all;
    if (store_.ownTables() == OwnSchema::Access::None) return all;
    platform::PreparedStatement row = store_.database()->prepare(
        QStringLiteral("SELECT ID, X, Y, Width, Height, Scale FROM NotePlacement"));
    while (row.step()) {
        // A row find could not read is left out, as find leaves it out.
        try {
            if (const std::optional<Place> place = placeOf(row, 1))
                all.insert(platform::toIdentifier(platform::toText(row.value(0))), *place);
        } catch (const platform::Error&) {
        }
    }
    return all;
}

void NotePlacements::save(std::int64_t id, const Place& place) const {
    if (!writable(store_)) return;
    // A note deleted meanwhile gets no row.
    platform::PreparedStatement write = store_.database()->prepare(
        place.position
            ? QStringLiteral("INSERT OR REPLACE INTO NotePlacement(ID, X, Y, Width, Height, Scale) "
                             "SELECT ?1, ?4, ?5, ?2, ?3, ?6 WHERE EXISTS(SELECT 1 FROM Tips WHERE "
                             "ID = ?1)")
            : QStringLiteral("INSERT INTO NotePlacement(ID, Width, Height) SELECT ?1, ?2, ?3 "
                             "WHERE EXISTS(SELECT 1 FROM Tips WHERE ID = ?1) ON CONFLICT(ID) DO "
                             "UPDATE SET Width = excluded.Width, Height = excluded.Height"));
    write.bindInt64(1, id).bindInt64(2, place.size.width()).bindInt64(3, place.size.height());
    if (place.position) {
        write.bindInt64(4, place.position->x())
            .bindInt64(5, place.position->y())
            .bindDouble(6, place.scale);
    }
    write.setBusyTimeout(kPlacementWaitMs);
    write.step();
}

void NotePlacements::remove(std::int64_t id) const {
    if (!writable(store_)) return;
    platform::PreparedStatement forget =
        store_.database()->prepare(QStringLiteral("DELETE FROM NotePlacement WHERE ID = ?1"));
    forget.bindInt64(1, id);
    forget.step();
}
