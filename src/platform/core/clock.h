#pragma once

#include <QDateTime>
#include <functional>

namespace platform::clock {

// The current local date and time; replaceable for tests.
QDateTime now();
// Replaces the clock; an empty function restores the system clock.
void setForTests(std::function<QDateTime()> clock);

}  // namespace platform::clock
