#include "platform/error.h"

namespace platform {

Error::Error(int number, const QString& message)
    : std::runtime_error(message.toStdString()), number_(number), message_(message) {}

}  // namespace platform
