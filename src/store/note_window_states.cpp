#include "store/note_window_states.h"

#include <algorithm>

#include "platform/core/convert.h"
#include "platform/db/database.h"
#include "platform/db/transaction.h"
#include "store/database_module.h"

namespace {

// Written while the user waits for the window to change: a short wait, then the error.
constexpr int kStateWaitMs = 100;

std::optional<int> optionalInt(const QVariant& value) {
    if (!value.isValid()) return std::nullopt;
    return platform::toInt32(value);
}

}  // namespace

int NoteWindowStates::cleanTransparency(int stored) {
    return std::clamp(stored / 10 * 10, 0, 90);
}

int NoteWindowStates::cleanTextPoints(int stored) {
    return std::clamp(stored, 6, 48);
}

std::optional<NoteWindowStates::State> NoteWindowStates::find(std::int64_t id) const {
    if (store_.ownTables() == OwnSchema::Access::None) return std::nullopt;
    platform::PreparedStatement row = store_.database()->prepare(
        QStringLiteral("SELECT KeepAbove, Opacity, TextPoints, AllWorkspaces, Workspace FROM "
                       "NoteWindowState WHERE ID = ?1"));
    row.bindInt64(1, id);
    if (!row.step()) return std::nullopt;
    // The file may have been written by anyone: out-of-range values are brought into range.
    State state;
    state.keepAbove = optionalInt(row.value(0)).value_or(0) != 0;
    state.transparency = cleanTransparency(optionalInt(row.value(1)).value_or(0));
    state.textPoints = optionalInt(row.value(2));
    if (state.textPoints) state.textPoints = cleanTextPoints(*state.textPoints);
    state.allWorkspaces = optionalInt(row.value(3)).value_or(0) != 0;
    state.workspace = optionalInt(row.value(4));
    if (state.workspace && (*state.workspace < 0 || *state.workspace > 1000))
        state.workspace.reset();
    return state;
}

void NoteWindowStates::save(std::int64_t id, const State& state) const {
    if (store_.ownTables() != OwnSchema::Access::ReadWrite) return;
    platform::PreparedStatement write = store_.database()->prepare(QStringLiteral(
        "INSERT INTO NoteWindowState(ID, KeepAbove, Opacity, TextPoints, AllWorkspaces, "
        "Workspace) SELECT ?1, ?2, ?3, ?4, ?5, ?6 WHERE EXISTS(SELECT 1 FROM Tips WHERE ID = ?1) "
        "ON CONFLICT(ID) DO UPDATE SET KeepAbove = excluded.KeepAbove, Opacity = "
        "excluded.Opacity, TextPoints = excluded.TextPoints, AllWorkspaces = "
        "excluded.AllWorkspaces, Workspace = excluded.Workspace"));
    write.bindInt64(1, id).bindInt64(2, state.keepAbove).bindInt64(3, state.transparency);
    if (state.textPoints) {
        write.bindInt64(4, *state.textPoints);
    } else {
        write.bindNull(4);
    }
    write.bindInt64(5, state.allWorkspaces);
    if (state.workspace) {
        write.bindInt64(6, *state.workspace);
    } else {
        write.bindNull(6);
    }
    write.setBusyTimeout(kStateWaitMs);
    write.step();
}

QHash<std::int64_t, bool> NoteWindowStates::findShown() const {
    QHash<std::int64_t, bool> shown;
    if (store_.ownTables() == OwnSchema::Access::None) return shown;
    platform::PreparedStatement rows = store_.database()->prepare(QStringLiteral(
        "SELECT ID, Shown FROM NoteWindowState WHERE Shown IS NOT NULL AND typeof(ID) = "
        "'integer'"));
    while (rows.step()) shown.insert(rows.value(0).toLongLong(), rows.value(1).toLongLong() != 0);
    return shown;
}

void NoteWindowStates::saveShown(const QHash<std::int64_t, bool>& shown) const {
    if (store_.ownTables() != OwnSchema::Access::ReadWrite || shown.isEmpty()) return;
    platform::Database& db = *store_.database();
    platform::inTransaction(db, [&] {
        platform::PreparedStatement write = db.prepare(QStringLiteral(
            "INSERT INTO NoteWindowState(ID, Shown) SELECT ?1, ?2 WHERE EXISTS(SELECT 1 FROM Tips "
            "WHERE ID = ?1) ON CONFLICT(ID) DO UPDATE SET Shown = excluded.Shown"));
        for (auto it = shown.constBegin(); it != shown.constEnd(); ++it) {
            write.bindInt64(1, it.key()).bindInt64(2, it.value() ? 1 : 0);
            write.step();
            write.reset();
        }
        return true;
    });
}
