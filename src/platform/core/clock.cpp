#include "platform/core/clock.h"

namespace platform::clock {
namespace {
std::function<QDateTime()>& override() {
    static std::function<QDateTime()> clock;
    return clock;
}
}  // namespace

QDateTime now() {
    return override() ? override()() : QDateTime::currentDateTime();
}

void setForTests(std::function<QDateTime()> clock) {
    override() = std::move(clock);
}

}  // namespace platform::clock
