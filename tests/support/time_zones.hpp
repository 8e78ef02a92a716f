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

// A zone with summer time between two changes a year, each at an instant
// of UTC its rule gives (southern zones keep summer time across New Year).
class RuledZone final : public TimeZone {
public:
    using Change = std::int64_t (*)(int year);  // UTC seconds
    RuledZone(std::int64_t standard, std::int64_t summer, Change summerBegins, Change summerEnds)
        : standard_(standard), summer_(summer), begins_(summerBegins), ends_(summerEnds) {}
    LocalTime localAt(Instant t) const override { return wallReadingAt(t, offsetAt(t.seconds())); }
    std::int64_t offsetAt(std::int64_t utcSeconds) const {
        const int year = wallReadingAt(Instant{utcSeconds * 1000}, 0).year;
        const bool northern = begins_(year) < ends_(year);
        const bool afterBegin = utcSeconds >= begins_(year), beforeEnd = utcSeconds < ends_(year);
        return (northern ? afterBegin && beforeEnd : afterBegin || beforeEnd) ? summer_ : standard_;
    }
    Change begins() const { return begins_; }
    Change ends() const { return ends_; }

    // The day (from 1970) of the n-th Sunday of a month, or of the last when n is 0.
    static std::int64_t sunday(int year, int month, int n) {
        if (n == 0) {
            const std::int64_t last = daysFromCivil(year, month + 1, 0);
            return last - isoWeekday(year, month + 1, 0) % 7;
        }
        const std::int64_t first = daysFromCivil(year, month, 1);
        return first + (7 - isoWeekday(year, month, 1)) % 7 + 7 * (n - 1);
    }

private:
    std::int64_t standard_, summer_;
    Change begins_, ends_;
};

// New York: UTC-5, UTC-4 from the second Sunday of March at 02:00 to the
// first Sunday of November at 02:00 (local time then in force).
inline const RuledZone& newYorkRules() {
    static const RuledZone zone(
        -5 * 3600, -4 * 3600, [](int y) { return RuledZone::sunday(y, 3, 2) * 86400 + 7 * 3600; },
        [](int y) { return RuledZone::sunday(y, 11, 1) * 86400 + 6 * 3600; });
    return zone;
}

// Lord Howe Island: UTC+10:30, and UTC+11 from the first Sunday of October
// at 02:00 to the first Sunday of April at 02:00 (half-hour changes).
inline const RuledZone& lordHoweRules() {
    static const RuledZone zone(
        10 * 3600 + 1800, 11 * 3600, [](int y) { return RuledZone::sunday(y, 10, 1) * 86400 - 8 * 3600 - 1800; },
        [](int y) { return RuledZone::sunday(y, 4, 1) * 86400 - 9 * 3600; });
    return zone;
}

// Paris by the same rule as FrenchZone.
inline const RuledZone& parisRules() {
    static const RuledZone zone(
        3600, 7200, [](int y) { return RuledZone::sunday(y, 3, 0) * 86400 + 3600; },
        [](int y) { return RuledZone::sunday(y, 10, 0) * 86400 + 3600; });
    return zone;
}

// London: UTC, and UTC+1 over the same summer as Paris.
inline const RuledZone& londonRules() {
    static const RuledZone zone(
        0, 3600, [](int y) { return RuledZone::sunday(y, 3, 0) * 86400 + 3600; },
        [](int y) { return RuledZone::sunday(y, 10, 0) * 86400 + 3600; });
    return zone;
}

}  // namespace orvane::testing
