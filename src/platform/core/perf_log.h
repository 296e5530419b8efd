#pragma once

#include <QElapsedTimer>
#include <QLoggingCategory>

// Timings of the start-up phases; silent unless enabled, e.g. with
// QT_LOGGING_RULES="zettara.perf.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcPerf)

namespace platform {

// Logs the time since the previous mark (and since start) under a phase name.
class PhaseTimer {
  public:
    PhaseTimer() { timer_.start(); }
    void mark(const char* phase);

  private:
    QElapsedTimer timer_;
    qint64 last_ = 0;
};

}  // namespace platform
