#include "platform/os/window_hints.h"

namespace platform {

// Windows grants the focus to a program the user just launched; there is no token to pass.
void useActivationToken(const QString&) {}

}  // namespace platform
