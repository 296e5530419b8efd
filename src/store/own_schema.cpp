#include "store/own_schema.h"

#include <QCoreApplication>
#include <QHash>
#include <QLoggingCategory>
#include <QRegularExpression>
#include <algorithm>
#include <array>
#include <iterator>
#include <optional>
#include <utility>

#include "platform/core/clock.h"
#include "platform/core/error.h"
#include "platform/db/database.h"
#include "platform/db/transaction.h"
#include "store/database_module.h"

namespace {

Q_LOGGING_CATEGORY(lcSchema, "zettara.schema")

using Step = void (*)(platform::Database&);

constexpr int kUnusable = 1;  // SQLite's generic error: only ever logged

// Steps run again over tables that are there already, so a column is added only when missing.
void addColumn(platform::Database& db, const QString& table, const QString& column,
               const QString& type) {
    platform::PreparedStatement found = db.prepare(
        QStringLiteral("SELECT 1 FROM pragma_table_info(?1) WHERE name = ?2 COLLATE NOCASE"));
    found.bindText(1, table);
    found.bindText(2, column);
    if (!found.step())
        db.execute(QStringLiteral("ALTER TABLE %1 ADD COLUMN %2 %3").arg(table, column, type));
}

// Version 0 to 1: placements. Files in the field hold no NotePlacement, one from before the
// scale was kept (the supplied file among them), or the current one.
void addPlacements(platform::Database& db) {
    db.execute(QStringLiteral(
        "CREATE TABLE IF NOT EXISTS NotePlacement(ID INTEGER PRIMARY KEY, X INTEGER, Y INTEGER, "
        "Width INTEGER, Height INTEGER, Scale REAL)"));
    addColumn(db, QStringLiteral("NotePlacement"), QStringLiteral("Scale"), QStringLiteral("REAL"));
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
    addColumn(db, QStringLiteral("NoteWindowState"), QStringLiteral("Shown"),
              QStringLiteral("INTEGER"));
}

// Version 4 to 5: the sync folder. SyncSetup binds a device key (and the chosen folder) to
// this note file on this machine; SyncNote keeps, per note, its sync key, the version this
// machine last wrote, the text last merged (the common version of a three-way merge), a copy
// of the Tips values that version was made from, to find local changes by one query, and what
// the note's folder held when it was last merged, so that a start reads only what changed.
void addSync(platform::Database& db) {
    db.execute(QStringLiteral(
        "CREATE TABLE IF NOT EXISTS SyncSetup(Seq INTEGER PRIMARY KEY, Machine TEXT, Path TEXT, "
        "Device TEXT, Folder TEXT)"));
    db.execute(QStringLiteral(
        "CREATE TABLE IF NOT EXISTS SyncNote(ID INTEGER PRIMARY KEY, NoteKey TEXT UNIQUE, Own "
        "TEXT, Base TEXT, Gone INTEGER, content, CreateTime, BackColor, FontColor, Transparent, "
        "KeepAbove, Opacity, TextPoints, Seen TEXT)"));
}

// Step n brings version n to n + 1. A new table or column is a new step at the end; a step
// that has shipped never changes, since files of every version are out there. Steps also run
// again over tables that are already there, to make again those set aside (IF NOT EXISTS).
constexpr std::array<Step, OwnSchema::kVersion> kSteps = {addPlacements, addTrash, addWindowStates,
                                                          addShownChoice, addSync};

// A table and the columns the program names in it, separated by blanks.
struct Shape {
    const char* table;
    const char* columns;
};

const Shape kTips = {"Tips",
                     "ID content CreateTime ChangeTime Deleted BackColor FontColor Visual TopMost "
                     "Transparent"};

// Our tables as the steps leave them, each with the columns the program uses; the first is the
// table's integer key. A table or column a new step adds is one more entry or name here.
const Shape kOwnTables[] = {
    {"NotePlacement", "ID X Y Width Height Scale"},
    {"NoteTrash",
     "Seq ID content CreateTime ChangeTime Deleted BackColor FontColor Visual "
     "TopMost Transparent X Y Width Height Scale WindowOpen DeletedAt"},
    {"NoteWindowState", "ID KeepAbove Opacity TextPoints AllWorkspaces Workspace Shown"},
    {"SyncSetup", "Seq Machine Path Device Folder"},
    {"SyncNote",
     "ID NoteKey Own Base Gone content CreateTime BackColor FontColor Transparent KeepAbove "
     "Opacity TextPoints Seen"},
};

QString quoted(const QString& name) {
    return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QLatin1String("\"\"")) +
           QLatin1Char('"');
}

// What the file holds under the name (table, view, index), as its type, stored name and
// definition; nothing when the name is free.
struct Held {
    QString type;
    QString name;
    QString sql;
};
std::optional<Held> heldUnder(platform::Database& db, const char* name) {
    platform::PreparedStatement found = db.prepare(
        QStringLiteral("SELECT type, name, sql FROM sqlite_master WHERE name = ?1 COLLATE NOCASE "
                       "AND type IN ('table', 'view', 'index')"));
    found.bindText(1, QLatin1String(name));
    if (!found.step()) return std::nullopt;
    return Held{found.value(0).toString(), found.value(1).toString(), found.value(2).toString()};
}

// A table with every column of the shape (names without regard to case); keyed: its first
// column is its only key, an integer one, as INSERT OR REPLACE and the trash's order need.
bool fits(platform::Database& db, const Shape& shape, bool keyed) {
    const std::optional<Held> held = heldUnder(db, shape.table);
    if (!held || held->type != QLatin1String("table")) return false;
    platform::PreparedStatement info = db.prepare(
        QStringLiteral("SELECT lower(name), upper(type), pk FROM pragma_table_info(?1)"));
    info.bindText(1, held->name);
    QHash<QString, std::pair<QString, qint64>> columns;  // name -> type, place in the key
    qint64 keys = 0;
    while (info.step()) {
        columns.insert(info.value(0).toString(),
                       {info.value(1).toString(), info.value(2).toLongLong()});
        keys += info.value(2).toLongLong() != 0;
    }
    const QStringList wanted = QString::fromLatin1(shape.columns).toLower().split(u' ');
    for (const QString& name : wanted) {
        if (!columns.contains(name)) return false;
    }
    const auto key = columns.value(wanted.first());
    return !keyed || (keys == 1 && key.second == 1 && key.first == QLatin1String("INTEGER"));
}

// Keeps what the file holds under the shape's name under a new name, so that the steps can
// make the table again; gives the new name, or nothing when the name was free.
std::optional<QString> setAside(platform::Database& db, const Shape& shape) {
    const std::optional<Held> held = heldUnder(db, shape.table);
    if (!held) return std::nullopt;
    const QString aside =
        QStringLiteral("%1_damaged_%2")
            .arg(QLatin1String(shape.table),
                 platform::clock::now().toString(QStringLiteral("yyyyMMdd_HHmmss")));
    if (held->type == QLatin1String("table")) {
        db.execute(
            QStringLiteral("ALTER TABLE %1 RENAME TO %2").arg(quoted(held->name), quoted(aside)));
        // Its indexes go with it under their old names, which the table made again needs; they
        // hold nothing the table does not.
        platform::PreparedStatement indexes = db.prepare(QStringLiteral(
            "SELECT name FROM sqlite_master WHERE type = 'index' AND tbl_name = ?1 AND sql IS "
            "NOT NULL"));
        indexes.bindText(1, aside);
        QStringList names;
        while (indexes.step()) names << indexes.value(0).toString();
        for (const QString& name : names)
            db.execute(QStringLiteral("DROP INDEX %1").arg(quoted(name)));
        return aside;
    }
    // A view or an index cannot be renamed: it is made again under the new name from its
    // definition, which the engine keeps as "CREATE [UNIQUE] VIEW|INDEX <name> ...".
    static const QRegularExpression definition(
        QStringLiteral(
            R"(^(CREATE\s+(?:UNIQUE\s+)?(?:VIEW|INDEX)\s+)("(?:[^"]|"")*"|\[[^\]]*\]|`(?:[^`]|``)*`|[^\s(]+))"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = definition.match(held->sql);
    if (!match.hasMatch())
        throw platform::Error(platform::Trouble::Internal, kUnusable,
                              QStringLiteral("cannot keep %1 aside").arg(held->name));
    db.execute(match.captured(1) + quoted(aside) + held->sql.mid(match.capturedEnd(2)));
    db.execute(QStringLiteral("DROP %1 %2").arg(held->type.toUpper(), quoted(held->name)));
    return aside;
}

int versionOf(platform::Database& db) {
    platform::PreparedStatement version = db.prepare(QStringLiteral("PRAGMA user_version"));
    return version.step() ? version.value(0).toInt() : 0;
}

bool allFit(platform::Database& db) {
    return std::all_of(std::begin(kOwnTables), std::end(kOwnTables),
                       [&db](const Shape& shape) { return fits(db, shape, true); });
}

// A newer program's file is read as long as nothing under our names is in a shape we cannot
// read; a table it does without is its own affair.
OwnSchema::Access newerAccess(platform::Database& db) {
    const bool readable = std::all_of(
        std::begin(kOwnTables), std::end(kOwnTables),
        [&db](const Shape& shape) { return !heldUnder(db, shape.table) || fits(db, shape, true); });
    return readable ? OwnSchema::Access::Read : OwnSchema::Access::None;
}

struct Prepared {
    OwnSchema::Access access;
    QStringList setAside;
};

// Within the write transaction: the steps up to kVersion, then every table of ours that is not
// in a shape the program can use is set aside and made again.
Prepared bringUpToDate(platform::Database& db, int version) {
    Prepared prepared{OwnSchema::Access::ReadWrite, {}};
    const auto keepAside = [&](const Shape& shape) {
        if (std::optional<QString> aside = setAside(db, shape)) prepared.setAside << *aside;
    };
    // Something other than a table under one of our names would make the steps fail.
    for (const Shape& shape : kOwnTables) {
        const std::optional<Held> held = heldUnder(db, shape.table);
        if (held && held->type != QLatin1String("table")) keepAside(shape);
    }
    for (int step = version; step < OwnSchema::kVersion; ++step) kSteps[step](db);
    bool remake = false;
    for (const Shape& shape : kOwnTables) {
        if (fits(db, shape, true)) continue;
        keepAside(shape);
        remake = true;
    }
    if (remake) {
        for (const Step step : kSteps) step(db);
        if (!allFit(db))
            throw platform::Error(platform::Trouble::Internal, kUnusable,
                                  QStringLiteral("our tables could not be made again"));
    }
    if (version < OwnSchema::kVersion)
        db.execute(QStringLiteral("PRAGMA user_version = %1").arg(OwnSchema::kVersion));
    return prepared;
}

Prepared migrate(platform::Database& db) {
    if (const int version = versionOf(db); version > OwnSchema::kVersion) {
        // Never migrated down or repaired: the newer program's rows stay as it wrote them, and
        // tables it shaped otherwise are not read either.
        return {newerAccess(db), {}};
    } else if (version == OwnSchema::kVersion && allFit(db)) {
        return {OwnSchema::Access::ReadWrite, {}};
    }
    // Read again under the write lock: another process may have got there first.
    return platform::inTransaction(db, [&db] {
        const int version = versionOf(db);
        if (version > OwnSchema::kVersion) return Prepared{newerAccess(db), {}};
        return bringUpToDate(db, version);
    });
}

}  // namespace

void OwnSchema::prepare(数据库操作模块& store) {
    Prepared prepared{Access::None, {}};
    try {
        // A file that is no note file is not ours to change.
        if (store.database() && isNoteFile(*store.database()))
            prepared = migrate(*store.database());
    } catch (const platform::Error& error) {
        // Placements are a convenience: the notes themselves open all the same.
        qCWarning(lcSchema) << "our tables are not used this time:" << error.number()
                            << error.message();
    }
    store.setOwnTables(prepared.access, prepared.setAside);
}

bool OwnSchema::isNoteFile(platform::Database& db) {
    return fits(db, kTips, false);
}

QString OwnSchema::notice(const 数据库操作模块& store) {
    QStringList lines;
    bool newer = false;
    try {
        newer = store.database() && versionOf(*store.database()) > kVersion;
    } catch (const platform::Error&) {
        // Unread now: said at the next start.
    }
    if (newer)
        lines << QCoreApplication::translate(
            "OwnSchema",
            "这个便签文件来自更新版本的程序。在本版本中，删除的便签无法撤销，便签的位置和窗口设置"
            "也不会保存。");
    if (!store.ownTablesSetAside().isEmpty())
        lines << QCoreApplication::translate(
                     "OwnSchema",
                     "便签文件中本程序自用的表已损坏，已改名保留并重新建立：%1。便签本身没有受到"
                     "影响，但已删除的便签、便签的位置或窗口设置可能已无法使用。")
                     .arg(store.ownTablesSetAside().join(
                         QCoreApplication::translate("OwnSchema", "、")));
    return lines.join(QLatin1Char('\n'));
}
