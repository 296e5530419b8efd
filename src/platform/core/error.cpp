#include "platform/core/error.h"

#include <sqlite3.h>

namespace platform {

Error::Error(int number, const QString& message)
    : std::runtime_error(message.toStdString()), number_(number), message_(message) {}

bool Error::busy() const {
    // Extended result codes keep the primary code in the low byte.
    const int primary = number_ & 0xff;
    return primary == SQLITE_BUSY || primary == SQLITE_LOCKED;
}

}  // namespace platform
