#include "store/note_numbers.h"

#include <limits>

#include "platform/core/error.h"
#include "platform/db/database.h"
#include "store/database_module.h"

bool NoteNumbers::exhausted(数据库操作模块& store) {
    constexpr qint64 kLargest = std::numeric_limits<qint64>::max();
    if (!store.database()) return false;
    platform::Database& db = *store.database();
    // AUTOINCREMENT goes on from the largest number given out, kept even once its note is gone.
    for (const char* largest : {"SELECT max(ID) FROM Tips WHERE typeof(ID) = 'integer'",
                                "SELECT seq FROM sqlite_sequence WHERE name = 'Tips'"}) {
        try {
            platform::PreparedStatement row = db.prepare(QLatin1String(largest));
            if (row.step() && row.value(0).toLongLong() == kLargest) return true;
        } catch (const platform::Error&) {
            // A file without AUTOINCREMENT has no sequence; a locked one tells nothing now.
        }
    }
    return false;
}
