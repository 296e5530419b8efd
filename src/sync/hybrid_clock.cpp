#include "sync/hybrid_clock.h"

#include <limits>

#include "sync/note_version.h"

namespace {

// A decimal number without sign or leading zero (so that a stamp has one text only), at most
// `limit`.
std::optional<std::uint64_t> parseNumber(QStringView digits, std::uint64_t limit) {
    if (digits.isEmpty() || (digits.size() > 1 && digits.front() == u'0')) return std::nullopt;
    std::uint64_t value = 0;
    for (const QChar c : digits) {
        if (c < u'0' || c > u'9') return std::nullopt;
        const auto digit = static_cast<std::uint64_t>(c.unicode() - u'0');
        if (value > (limit - digit) / 10) return std::nullopt;
        value = value * 10 + digit;
    }
    return value;
}

}  // namespace

std::strong_ordering ClockStamp::operator<=>(const ClockStamp& other) const {
    if (const auto wall = wallMs <=> other.wallMs; std::is_neq(wall)) return wall;
    if (const auto count = counter <=> other.counter; std::is_neq(count)) return count;
    return QString::compare(device, other.device, Qt::CaseSensitive) <=> 0;
}

QString ClockStamp::text() const {
    return QString::number(wallMs) + u'-' + QString::number(counter) + u'-' + device;
}

std::optional<ClockStamp> ClockStamp::fromText(QStringView text) {
    const auto firstDash = text.indexOf(u'-');
    if (firstDash < 0) return std::nullopt;
    const auto secondDash = text.indexOf(u'-', firstDash + 1);
    if (secondDash < 0) return std::nullopt;
    const auto wall = parseNumber(text.first(firstDash), std::numeric_limits<std::int64_t>::max());
    const auto count = parseNumber(text.sliced(firstDash + 1, secondDash - firstDash - 1),
                                   std::numeric_limits<std::uint32_t>::max());
    const QStringView device = text.sliced(secondDash + 1);
    if (!wall || !count || !isSyncKey(device)) return std::nullopt;
    return ClockStamp{static_cast<std::int64_t>(*wall), static_cast<std::uint32_t>(*count),
                      device.toString()};
}

ClockStamp HybridClock::tick(std::int64_t nowMs) {
    if (nowMs > wallMs_) {
        wallMs_ = nowMs;
        counter_ = 0;
    } else if (counter_ < std::numeric_limits<std::uint32_t>::max()) {
        ++counter_;
    } else if (wallMs_ < std::numeric_limits<std::int64_t>::max()) {
        // Four billion stamps in one millisecond: borrow the next millisecond.
        ++wallMs_;
        counter_ = 0;
    }
    return ClockStamp{wallMs_, counter_, device_};
}

void HybridClock::observe(const ClockStamp& seen) {
    // The next tick then either takes a wall time past the stamp's or counts on from it.
    if (seen.wallMs > wallMs_) {
        wallMs_ = seen.wallMs;
        counter_ = seen.counter;
    } else if (seen.wallMs == wallMs_ && seen.counter > counter_) {
        counter_ = seen.counter;
    }
}
