#include "store/note_trash.h"

#include "platform/core/error.h"
#include "platform/db/database.h"
#include "platform/db/transaction.h"
#include "store/database_module.h"
#include "store/note_placements.h"
#include "store/statements.h"

namespace {

constexpr std::int64_t kKeptSeconds = 30LL * 24 * 60 * 60;
// Start-up does not wait long for another program's lock: the pruning can wait a start.
constexpr int kPruneWaitMs = 100;

}  // namespace

bool NoteTrash::keepsDeleted() const {
    return store_.ownTables() == OwnSchema::Access::ReadWrite;
}

void NoteTrash::deleteNote(std::int64_t id, bool windowOpen) const {
    if (!keepsDeleted()) {
        store_.数据库_删除_语句(statements::deleteOne(id));
        return;
    }
    platform::Database& db = *store_.database();
    platform::inTransaction(db, [&] {
        platform::PreparedStatement keep = db.prepare(QStringLiteral(
            "INSERT INTO NoteTrash(ID, content, CreateTime, ChangeTime, Deleted, BackColor, "
            "FontColor, Visual, TopMost, Transparent, X, Y, Width, Height, Scale, WindowOpen, "
            "DeletedAt) SELECT t.ID, t.content, t.CreateTime, t.ChangeTime, t.Deleted, "
            "t.BackColor, t.FontColor, t.Visual, t.TopMost, t.Transparent, p.X, p.Y, p.Width, "
            "p.Height, p.Scale, ?2, ?3 FROM Tips t LEFT JOIN NotePlacement p ON p.ID = "
            "t.ID WHERE t.ID = ?1"));
        keep.bindInt64(1, id)
            .bindInt64(2, windowOpen ? 1 : 0)
            .bindInt64(3, QDateTime::currentSecsSinceEpoch());
        keep.step();
        store_.数据库_删除_语句(statements::deleteOne(id));
        NotePlacements(store_).remove(id);
        return true;
    });
}

std::optional<NoteTrash::Restored> NoteTrash::restoreNewest() const {
    if (!keepsDeleted()) return std::nullopt;
    platform::Database& db = *store_.database();
    return platform::inTransaction(db, [&]() -> std::optional<Restored> {
        platform::PreparedStatement newest = db.prepare(
            QStringLiteral("SELECT Seq, WindowOpen FROM NoteTrash ORDER BY Seq DESC LIMIT 1"));
        if (!newest.step()) return std::nullopt;
        const std::int64_t seq = newest.value(0).toLongLong();
        const bool windowOpen = newest.value(1).toLongLong() != 0;
        // An ID taken meanwhile (AUTOINCREMENT never hands out an old one, but another program
        // might) leaves the note a new one.
        platform::PreparedStatement note = db.prepare(QStringLiteral(
            "INSERT INTO Tips(ID, content, CreateTime, ChangeTime, Deleted, BackColor, FontColor, "
            "Visual, TopMost, Transparent) SELECT CASE WHEN EXISTS(SELECT 1 FROM Tips WHERE ID = "
            "d.ID) THEN NULL ELSE d.ID END, content, CreateTime, ChangeTime, Deleted, BackColor, "
            "FontColor, Visual, TopMost, Transparent FROM NoteTrash d WHERE Seq = ?1 RETURNING "
            "ID"));
        note.bindInt64(1, seq);
        if (!note.step()) return std::nullopt;
        const std::optional<std::int64_t> id =
            note.value(0).isValid() ? std::optional(note.value(0).toLongLong()) : std::nullopt;
        while (note.step()) {
        }
        if (id) {
            platform::PreparedStatement place = db.prepare(QStringLiteral(
                "INSERT OR REPLACE INTO NotePlacement(ID, X, Y, Width, Height, Scale) SELECT ?2, "
                "X, Y, Width, Height, Scale FROM NoteTrash WHERE Seq = ?1 AND Width IS NOT NULL"));
            place.bindInt64(1, seq).bindInt64(2, *id);
            place.step();
        }
        platform::PreparedStatement forget =
            db.prepare(QStringLiteral("DELETE FROM NoteTrash WHERE Seq = ?1"));
        forget.bindInt64(1, seq);
        forget.step();
        return Restored{id.value_or(0), windowOpen};
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
