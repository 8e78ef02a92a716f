#pragma once
// Stand-in time zones with real rules, for tests on any machine.
#include "common/calendar.hpp"
#include "platform/clock.hpp"

namespace orvane::testing {

inline LocalTime wallReadingAt(Instant t, std::int64_t offsetSeconds) {
    const std::int64_t ms = t.ms + offsetSeconds * 1000;
    const std::int64_t seconds = ms >= 0 ? ms / 1000 : (ms - 999) / 1000;
    LocalTime local = wallTimeAt(seconds);
    local.millisecond = static_cast<std::uint16_t>(ms - seconds * 1000);
    return local;
}

// A zone that never changes its clocks.
class FixedZone final : public TimeZone {
public:
    explicit FixedZone(std::int64_t offsetSeconds) : offset_(offsetSeconds) {}
    LocalTime localAt(Instant t) const override { return wallReadingAt(t, offset_); }

private:
    std::int64_t offset_;
};

// Paris: UTC+1, and UTC+2 from the last Sunday of March to the last Sunday of
// October, the clocks changing at 01:00 UTC (02:00 becomes 03:00 in spring,
// 03:00 becomes 02:00 in autumn).
class FrenchZone final : public TimeZone {
public:
    LocalTime localAt(Instant t) const override {
        const int year = wallReadingAt(t, 0).year;
        const bool summer = t.seconds() >= change(year, 3) && t.seconds() < change(year, 10);
        return wallReadingAt(t, summer ? 7200 : 3600);
    }
    // The instant of the change in March or October of a year, in UTC seconds.
    static std::int64_t change(int year, int month) {
        const std::int64_t lastDay = daysFromCivil(year, month + 1, 0);
        const std::int64_t lastSunday = lastDay - (isoWeekday(year, month + 1, 0) % 7);
        return lastSunday * 86400 + 3600;
    }
};

}  // namespace orvane::testing
