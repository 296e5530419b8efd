#include "store/note_trash.h"

#include "platform/core/error.h"
#include "platform/db/database.h"
#include "platform/db/transaction.h"
#include "store/database_module.h"
#include "store/note_placements.h"
#include "store/note_repository.h"

namespace {

constexpr std::int64_t kKeptSeconds = 30LL * 24 * 60 * 60;
// Start-up does not wait long for another program's lock: the pruning can wait a start.
constexpr int kPruneWaitMs = 100;

}  // namespace

bool NoteTrash::keepsDeleted() const {
    return store_.ownTables() == OwnSchema::Access::ReadWrite;
}

void NoteTrash::deleteNote(std::int64_t id, bool windowOpen) const {
    const NoteRepository notes(store_);
    if (!keepsDeleted()) {
        notes.remove(id);
        return;
    }
    platform::inTransaction(*store_.database(), [&] {
        notes.copyToTrash(id, windowOpen, QDateTime::currentSecsSinceEpoch());
        notes.remove(id);
        NotePlacements(store_).remove(id);
        return true;
    });
}

std::optional<NoteTrash::Restored> NoteTrash::restoreNewest() const {
    return restoreWhere(QStringLiteral("1"), 0);
}

std::optional<NoteTrash::Restored> NoteTrash::restoreNote(std::int64_t id) const {
    return restoreWhere(QStringLiteral("ID = ?1"), id);
}

std::optional<NoteTrash::Restored> NoteTrash::restoreWhere(const QString& condition,
                                                           std::int64_t id) const {
    if (!keepsDeleted()) return std::nullopt;
    platform::Database& db = *store_.database();
    return platform::inTransaction(db, [&]() -> std::optional<Restored> {
        platform::PreparedStatement newest = db.prepare(
            QStringLiteral(
                "SELECT Seq, WindowOpen FROM NoteTrash WHERE %1 ORDER BY Seq DESC LIMIT 1")
                .arg(condition));
        if (condition.contains(QLatin1String("?1"))) newest.bindInt64(1, id);
        if (!newest.step()) return std::nullopt;
        const std::int64_t seq = newest.value(0).toLongLong();
        const bool windowOpen = newest.value(1).toLongLong() != 0;
        const std::optional<std::int64_t> restored = NoteRepository(store_).restoreFromTrash(seq);
        if (restored) {
            platform::PreparedStatement place = db.prepare(QStringLiteral(
                "INSERT OR REPLACE INTO NotePlacement(ID, X, Y, Width, Height, Scale) SELECT ?2, "
                "X, Y, Width, Height, Scale FROM NoteTrash WHERE Seq = ?1 AND Width IS NOT NULL"));
            place.bindInt64(1, seq).bindInt64(2, *restored);
            place.step();
        }
        platform::PreparedStatement forget =
            db.prepare(QStringLiteral("DELETE FROM NoteTrash WHERE Seq = ?1"));
        forget.bindInt64(1, seq);
        forget.step();
        return Restored{restored.value_or(0), windowOpen};
    });
}

bool NoteTrash::holdsAny() const {
    if (!keepsDeleted()) return false;
    platform::PreparedStatement any =
        store_.database()->prepare(QStringLiteral("SELECT 1 FROM NoteTrash LIMIT 1"));
    return any.step();
}

void NoteTrash::prune(const QDateTime& now) const {
    if (!keepsDeleted()) return;
    // One statement over the index on DeletedAt: it touches only the rows that go.
    platform::PreparedStatement prune =
        store_.database()->prepare(QStringLiteral("DELETE FROM NoteTrash WHERE DeletedAt < ?1"));
    prune.bindInt64(1, now.toSecsSinceEpoch() - kKeptSeconds);
    prune.setBusyTimeout(kPruneWaitMs);
    prune.step();
    // A deleted note's window state stays under its ID while the note may come back with it;
    // once it cannot, the state goes too.
    platform::PreparedStatement states = store_.database()->prepare(
        QStringLiteral("DELETE FROM NoteWindowState WHERE ID NOT IN (SELECT ID FROM Tips) AND ID "
                       "NOT IN (SELECT ID FROM NoteTrash WHERE ID IS NOT NULL)"));
    states.setBusyTimeout(kPruneWaitMs);
    states.step();
}
