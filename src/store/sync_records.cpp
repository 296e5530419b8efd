#include "store/sync_records.h"

#include "platform/core/convert.h"
#include "platform/core/error.h"
#include "platform/db/database.h"
#include "store/database_module.h"
#include "store/note_window_states.h"

namespace {

SyncRecords::Record recordFrom(platform::PreparedStatement& row) {
    SyncRecords::Record record;
    record.id = row.value(0).toLongLong();
    record.noteKey = platform::toText(row.value(1));
    record.own = platform::toText(row.value(2)).toUtf8();
    record.base = platform::toText(row.value(3));
    record.gone = row.value(4).toLongLong() != 0;
    return record;
}

const QString kRecordColumns = QStringLiteral("ID, NoteKey, Own, Base, Gone");

// A colour or number as the note window would read it; 0 where it cannot be read.
std::int32_t numberOr0(const QVariant& value) {
    try {
        return value.isValid() ? platform::toInt32(value) : 0;
    } catch (const platform::Error&) {
        return 0;
    }
}

}  // namespace

bool SyncRecords::usable() const {
    return store_.ownTables() == OwnSchema::Access::ReadWrite && store_.database();
}

std::optional<SyncRecords::Setup> SyncRecords::setup(const QString& machine,
                                                     const QString& path) const {
    if (store_.ownTables() == OwnSchema::Access::None || !store_.database()) return std::nullopt;
    platform::PreparedStatement row = store_.database()->prepare(
        QStringLiteral("SELECT Device, Folder FROM SyncSetup WHERE Machine = ?1 AND Path = ?2 "
                       "ORDER BY Seq DESC LIMIT 1"));
    row.bindText(1, machine).bindText(2, path);
    if (!row.step()) return std::nullopt;
    return Setup{platform::toText(row.value(0)), platform::toText(row.value(1))};
}

void SyncRecords::saveSetup(const QString& machine, const QString& path, const Setup& setup) const {
    platform::Database& db = store_.requireOpen();
    platform::PreparedStatement drop =
        db.prepare(QStringLiteral("DELETE FROM SyncSetup WHERE Machine = ?1 AND Path = ?2"));
    drop.bindText(1, machine).bindText(2, path);
    drop.step();
    platform::PreparedStatement write = db.prepare(QStringLiteral(
        "INSERT INTO SyncSetup(Machine, Path, Device, Folder) VALUES(?1, ?2, ?3, ?4)"));
    write.bindText(1, machine)
        .bindText(2, path)
        .bindText(3, setup.device)
        .bindText(4, setup.folder);
    write.step();
}

std::optional<SyncRecords::Record> SyncRecords::byKey(const QString& noteKey) const {
    platform::PreparedStatement row = store_.requireOpen().prepare(
        QStringLiteral("SELECT %1 FROM SyncNote WHERE NoteKey = ?1").arg(kRecordColumns));
    row.bindText(1, noteKey);
    if (!row.step()) return std::nullopt;
    return recordFrom(row);
}

std::optional<SyncRecords::Record> SyncRecords::byId(std::int64_t id) const {
    platform::PreparedStatement row = store_.requireOpen().prepare(
        QStringLiteral("SELECT %1 FROM SyncNote WHERE ID = ?1").arg(kRecordColumns));
    row.bindInt64(1, id);
    if (!row.step()) return std::nullopt;
    return recordFrom(row);
}

std::vector<std::pair<QString, std::int64_t>> SyncRecords::keys() const {
    std::vector<std::pair<QString, std::int64_t>> keys;
    platform::PreparedStatement rows =
        store_.requireOpen().prepare(QStringLiteral("SELECT NoteKey, ID FROM SyncNote"));
    while (rows.step())
        keys.emplace_back(platform::toText(rows.value(0)), rows.value(1).toLongLong());
    return keys;
}

void SyncRecords::save(const Record& record) const {
    // The copy of the Tips and window state values is made by the engine itself, so that
    // comparing it with them later sees exactly the stored values, whatever their types.
    platform::PreparedStatement write = store_.requireOpen().prepare(QStringLiteral(
        "INSERT OR REPLACE INTO SyncNote(ID, NoteKey, Own, Base, Gone, content, CreateTime, "
        "BackColor, FontColor, Transparent, KeepAbove, Opacity, TextPoints, Seen) SELECT ?1, ?2, "
        "?3, ?4, ?5, t.content, t.CreateTime, t.BackColor, t.FontColor, t.Transparent, "
        "w.KeepAbove, w.Opacity, w.TextPoints, (SELECT Seen FROM SyncNote WHERE NoteKey = ?2) "
        "FROM (SELECT 1) LEFT JOIN Tips t ON t.ID = ?1 LEFT JOIN NoteWindowState w ON w.ID = "
        "?1"));
    write.bindInt64(1, record.id)
        .bindText(2, record.noteKey)
        .bindText(3, QString::fromUtf8(record.own))
        .bindText(4, record.base)
        .bindInt64(5, record.gone ? 1 : 0);
    write.step();
}

QHash<QString, QByteArray> SyncRecords::seen() const {
    QHash<QString, QByteArray> seen;
    platform::PreparedStatement rows = store_.requireOpen().prepare(
        QStringLiteral("SELECT NoteKey, Seen FROM SyncNote WHERE Seen IS NOT NULL"));
    while (rows.step())
        seen.insert(platform::toText(rows.value(0)), platform::toText(rows.value(1)).toLatin1());
    return seen;
}

void SyncRecords::saveSeen(const QString& noteKey, const QByteArray& signature) const {
    platform::PreparedStatement write = store_.requireOpen().prepare(
        QStringLiteral("UPDATE SyncNote SET Seen = ?2 WHERE NoteKey = ?1"));
    write.bindText(1, noteKey).bindText(2, QString::fromLatin1(signature));
    write.step();
}

void SyncRecords::forget(std::int64_t id) const {
    platform::PreparedStatement drop =
        store_.requireOpen().prepare(QStringLiteral("DELETE FROM SyncNote WHERE ID = ?1"));
    drop.bindInt64(1, id);
    drop.step();
}

std::vector<std::int64_t> SyncRecords::changedIds() const {
    std::vector<std::int64_t> ids;
    platform::PreparedStatement rows = store_.requireOpen().prepare(QStringLiteral(
        "SELECT t.ID FROM Tips t LEFT JOIN SyncNote s ON s.ID = t.ID LEFT JOIN NoteWindowState w "
        "ON w.ID = t.ID WHERE typeof(t.ID) = 'integer' AND (s.ID IS NULL OR s.Gone OR t.content "
        "IS NOT s.content OR t.CreateTime IS NOT s.CreateTime OR t.BackColor IS NOT s.BackColor "
        "OR t.FontColor IS NOT s.FontColor OR t.Transparent IS NOT s.Transparent OR w.KeepAbove "
        "IS NOT s.KeepAbove OR w.Opacity IS NOT s.Opacity OR w.TextPoints IS NOT s.TextPoints) "
        "UNION SELECT s.ID FROM SyncNote s WHERE NOT s.Gone "
        "AND NOT EXISTS(SELECT 1 FROM Tips t WHERE t.ID = s.ID) ORDER BY 1"));
    while (rows.step()) ids.push_back(rows.value(0).toLongLong());
    return ids;
}

std::vector<SyncRecords::Record> SyncRecords::purged() const {
    std::vector<Record> records;
    platform::PreparedStatement rows = store_.requireOpen().prepare(
        QStringLiteral(
            "SELECT %1 FROM SyncNote s WHERE Gone AND NOT EXISTS(SELECT 1 FROM Tips t WHERE t.ID = "
            "s.ID) AND NOT EXISTS(SELECT 1 FROM NoteTrash n WHERE n.ID = s.ID)")
            .arg(kRecordColumns));
    while (rows.step()) records.push_back(recordFrom(rows));
    return records;
}

std::optional<SyncRecords::Values> SyncRecords::values(std::int64_t id) const {
    platform::PreparedStatement row = store_.requireOpen().prepare(
        QStringLiteral("SELECT t.content, t.BackColor, t.FontColor, t.Transparent, t.CreateTime, "
                       "w.KeepAbove, w.Opacity, w.TextPoints FROM Tips t LEFT JOIN "
                       "NoteWindowState w ON w.ID = t.ID WHERE t.ID = ?1"));
    row.bindInt64(1, id);
    if (!row.step()) return std::nullopt;
    Values values;
    values.content = platform::toText(row.value(0));
    values.backColor = numberOr0(row.value(1));
    values.fontColor = numberOr0(row.value(2));
    values.transparent = numberOr0(row.value(3));
    values.createTime = platform::toText(row.value(4));
    // As NoteWindowStates::find cleans them, so that a version says what the windows show.
    values.keepAbove = numberOr0(row.value(5)) != 0;
    values.seeThrough = NoteWindowStates::cleanTransparency(numberOr0(row.value(6)));
    const std::int32_t points = numberOr0(row.value(7));
    values.textPoints = row.value(7).isValid() ? NoteWindowStates::cleanTextPoints(points) : 0;
    return values;
}

bool SyncRecords::inTrash(std::int64_t id) const {
    if (store_.ownTables() == OwnSchema::Access::None) return false;
    platform::PreparedStatement row = store_.requireOpen().prepare(
        QStringLiteral("SELECT 1 FROM NoteTrash WHERE ID = ?1 LIMIT 1"));
    row.bindInt64(1, id);
    return row.step();
}

void SyncRecords::rememberClosed(std::int64_t id) const {
    platform::PreparedStatement write = store_.requireOpen().prepare(
        QStringLiteral("INSERT INTO NoteWindowState(ID, Shown) VALUES(?1, 0) ON CONFLICT(ID) DO "
                       "UPDATE SET Shown = 0"));
    write.bindInt64(1, id);
    write.step();
}
