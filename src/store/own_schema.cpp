#include "store/own_schema.h"

#include <QLoggingCategory>
#include <array>

#include "platform/core/error.h"
#include "platform/db/database.h"
#include "platform/db/transaction.h"
#include "store/database_module.h"

namespace {

Q_LOGGING_CATEGORY(lcSchema, "zettara.schema")

using Step = void (*)(platform::Database&);

// Version 0 to 1: placements. Files in the field hold no NotePlacement, one from before the
// scale was kept (the supplied file among them), or the current one.
void addPlacements(platform::Database& db) {
    db.execute(QStringLiteral(
        "CREATE TABLE IF NOT EXISTS NotePlacement(ID INTEGER PRIMARY KEY, X INTEGER, Y INTEGER, "
        "Width INTEGER, Height INTEGER, Scale REAL)"));
    platform::PreparedStatement scale = db.prepare(QStringLiteral(
        "SELECT 1 FROM pragma_table_info('NotePlacement') WHERE name = 'Scale' COLLATE NOCASE"));
    if (!scale.step())
        db.execute(QStringLiteral("ALTER TABLE NotePlacement ADD COLUMN Scale REAL"));
}

// Version 1 to 2: the trash. The note's columns take no type, so that every value comes back
// exactly as Tips held it.
void addTrash(platform::Database& db) {
    db.execute(QStringLiteral(
        "CREATE TABLE IF NOT EXISTS NoteTrash(Seq INTEGER PRIMARY KEY, ID, content, CreateTime, "
        "ChangeTime, Deleted, BackColor, FontColor, Visual, TopMost, Transparent, X, Y, Width, "
        "Height, Scale, WindowOpen INTEGER, DeletedAt INTEGER)"));
    db.execute(
        QStringLiteral("CREATE INDEX IF NOT EXISTS NoteTrashDeletedAt ON NoteTrash(DeletedAt)"));
}

// Version 2 to 3: how each note window is arranged (on top, see-through, text size, workspace).
void addWindowStates(platform::Database& db) {
    db.execute(QStringLiteral(
        "CREATE TABLE IF NOT EXISTS NoteWindowState(ID INTEGER PRIMARY KEY, KeepAbove INTEGER, "
        "Opacity INTEGER, TextPoints INTEGER, AllWorkspaces INTEGER, Workspace INTEGER)"));
}

// Version 3 to 4: whether each note's window was open when the program last ran; NULL: no
// choice remembered, the note follows Tips.Visual.
void addShownChoice(platform::Database& db) {
    db.execute(QStringLiteral("ALTER TABLE NoteWindowState ADD COLUMN Shown INTEGER"));
}

// Step n brings version n to n + 1. A new table or column is a new step at the end; a step
// that has shipped never changes, since files of every version are out there.
constexpr std::array<Step, OwnSchema::kVersion> kSteps = {addPlacements, addTrash, addWindowStates,
                                                          addShownChoice};

int versionOf(platform::Database& db) {
    platform::PreparedStatement version = db.prepare(QStringLiteral("PRAGMA user_version"));
    return version.step() ? version.value(0).toInt() : 0;
}

OwnSchema::Access migrate(platform::Database& db) {
    if (const int version = versionOf(db); version > OwnSchema::kVersion) {
        // Never migrated down: the newer program's rows stay as it wrote them.
        return OwnSchema::Access::Read;
    } else if (version == OwnSchema::kVersion) {
        return OwnSchema::Access::ReadWrite;
    }
    // Read again under the write lock: another process may have got there first.
    return platform::inTransaction(db, [&db] {
        const int version = versionOf(db);
        for (int step = version; step < OwnSchema::kVersion; ++step) kSteps[step](db);
        if (version < OwnSchema::kVersion)
            db.execute(QStringLiteral("PRAGMA user_version = %1").arg(OwnSchema::kVersion));
        return version > OwnSchema::kVersion ? OwnSchema::Access::Read
                                             : OwnSchema::Access::ReadWrite;
    });
}

}  // namespace

void OwnSchema::prepare(数据库操作模块& store) {
    Access access = Access::None;
    try {
        if (store.database()) access = migrate(*store.database());
    } catch (const platform::Error& error) {
        // Placements are a convenience: the notes themselves open all the same.
        qCWarning(lcSchema) << "our tables are not used this time:" << error.number()
                            << error.message();
    }
    store.setOwnTables(access);
}
