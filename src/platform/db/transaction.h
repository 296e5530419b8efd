#pragma once

#include <QString>

#include "platform/core/error.h"
#include "platform/db/database.h"

namespace platform {

// Runs steps between BEGIN IMMEDIATE and COMMIT and gives back what they give. Any exception
// from a step (or the commit) rolls everything back and goes on to the caller: either all of the
// steps are in the file, or none.
template <typename Steps>
auto inTransaction(Database& db, Steps steps) {
    db.execute(QStringLiteral("BEGIN IMMEDIATE"));
    try {
        auto result = steps();
        db.execute(QStringLiteral("COMMIT"));
        return result;
    } catch (...) {
        try {
            db.execute(QStringLiteral("ROLLBACK"));
        } catch (const Error&) {
            // The engine has already rolled back on its own.
        }
        throw;
    }
}

}  // namespace platform
