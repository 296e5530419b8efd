#pragma once

#include <QString>
#include <QStringView>
#include <compare>
#include <cstdint>
#include <optional>

// A hybrid logical clock stamp: the wall time in milliseconds since the epoch as the stamping
// machine saw it, a counter for stamps within one millisecond (or behind a clock seen from
// another machine), and the device key as the last tie-break. Stamps of all machines are
// totally ordered, and a stamp made after one was seen is always later, however far the
// machines' wall clocks are apart.
struct ClockStamp {
    std::int64_t wallMs = 0;
    std::uint32_t counter = 0;
    QString device;

    std::strong_ordering operator<=>(const ClockStamp& other) const;
    bool operator==(const ClockStamp& other) const = default;
    bool isNull() const { return wallMs == 0 && counter == 0 && device.isEmpty(); }

    // "<wallMs>-<counter>-<device>", as the sync files keep it.
    QString text() const;
    // None for anything that is not such a text (negative or overlong numbers, no device).
    static std::optional<ClockStamp> fromText(QStringView text);
};

// Gives the stamps of one device: each later than every stamp it gave or observed.
class HybridClock {
  public:
    explicit HybridClock(QString device) : device_(std::move(device)) {}

    // A new stamp for a change made now (nowMs: this machine's wall clock).
    ClockStamp tick(std::int64_t nowMs);
    // Takes note of a stamp read from another machine, so the next tick is later than it.
    void observe(const ClockStamp& seen);
    const QString& device() const { return device_; }

  private:
    QString device_;
    std::int64_t wallMs_ = 0;
    std::uint32_t counter_ = 0;
};
