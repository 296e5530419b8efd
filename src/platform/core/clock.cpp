#include "platform/core/clock.h"

namespace platform {
namespace {
std::function<QDateTime()>& override() {
    static std::function<QDateTime()> clock;
    return clock;
}
}  // namespace

QDateTime clock::now() {
    return override() ? override()() : QDateTime::currentDateTime();
}

void ClockSeam::setClock(std::function<QDateTime()> clock) {
    override() = std::move(clock);
}

}  // namespace platform
