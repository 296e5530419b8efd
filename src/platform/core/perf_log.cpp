#include "platform/core/perf_log.h"

Q_LOGGING_CATEGORY(lcPerf, "zettara.perf", QtWarningMsg)

namespace platform {

void PhaseTimer::mark(const char* phase) {
    if (!lcPerf().isDebugEnabled()) return;
    const qint64 now = timer_.nsecsElapsed();
    qCDebug(lcPerf, "%s: %.2f ms (at %.2f ms)", phase, (now - last_) / 1e6, now / 1e6);
    last_ = now;
}

}  // namespace platform
