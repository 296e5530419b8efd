#pragma once

#include <QDateTime>
#include <functional>

namespace platform::clock {

// The current local date and time.
QDateTime now();

}  // namespace platform::clock

namespace platform {

// Where clock::now() reads the time. The program never changes it; a test reaches the setter
// through a subclass to fix the date.
class ClockSeam {
  protected:
    // Replaces the clock; an empty function restores the system clock.
    static void setClock(std::function<QDateTime()> clock);
};

}  // namespace platform
