#include "store/note_file_changes.h"

#include "platform/db/database.h"
#include "store/database_module.h"

void NoteFileChanges::markRead() {
    const std::shared_ptr<platform::Database>& db = store_.database();
    if (!db || !db->isOpen()) {
        read_.reset();
        return;
    }
    if (read_.lock() != db) inIdOrder_.reset();
    read_ = db;
    version_ = version(*db);
}

bool NoteFileChanges::onlyOursSinceRead() {
    const std::shared_ptr<platform::Database>& db = store_.database();
    if (!db || !db->isOpen() || read_.lock() != db) return false;
    // Moves on with every commit of another connection, never with our own.
    return version(*db) == version_;
}

bool NoteFileChanges::listedInIdOrder() {
    const std::shared_ptr<platform::Database>& db = store_.database();
    if (!db || !db->isOpen() || read_.lock() != db) return false;
    if (!inIdOrder_) {
        // A table scan goes in row-key order; ID is that key when it is the one INTEGER
        // PRIMARY KEY column (a file made elsewhere may declare it otherwise).
        platform::PreparedStatement key = db->prepare(QStringLiteral(
            "SELECT count(*) = 1 AND sum(pk = 1 AND name = 'ID' COLLATE NOCASE AND "
            "type = 'INTEGER' COLLATE NOCASE) = 1 FROM pragma_table_info('Tips') WHERE pk > 0"));
        inIdOrder_ = key.step() && key.value(0).toLongLong() == 1;
    }
    return *inIdOrder_;
}

std::int64_t NoteFileChanges::version(platform::Database& db) const {
    platform::PreparedStatement pragma = db.prepare(QStringLiteral("PRAGMA data_version"));
    return pragma.step() ? pragma.value(0).toLongLong() : -1;
}
