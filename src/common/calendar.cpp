#include "common/calendar.hpp"

#include <algorithm>
#include <chrono>
#include <optional>

namespace orvane {

namespace chrono = std::chrono;

namespace {
// A day of the proleptic Gregorian calendar. A day past the month's end (or
// day 0) counts on into the next month (or back into the previous one).
chrono::sys_days civilDay(int year, int month, int day) {
    const chrono::year_month_day first{chrono::year{year}, chrono::month{static_cast<unsigned>(month)},
                                       chrono::day{1}};
    return chrono::sys_days{first} + chrono::days{day - 1};
}
}  // namespace

std::int64_t daysFromCivil(int year, int month, int day) {
    return civilDay(year, month, day).time_since_epoch().count();
}

int isoWeekday(int year, int month, int day) {
    return static_cast<int>(chrono::weekday{civilDay(year, month, day)}.iso_encoding());
}

std::int64_t wallSeconds(const LocalTime& t) {
    const chrono::sys_seconds at = civilDay(t.year, t.month, t.day) + chrono::hours{t.hour} +
                                   chrono::minutes{t.minute} + chrono::seconds{t.second};
    return at.time_since_epoch().count();
}

LocalTime wallTimeAt(std::int64_t seconds) {
    const chrono::sys_seconds at{chrono::seconds{seconds}};
    const chrono::sys_days day = chrono::floor<chrono::days>(at);
    const chrono::year_month_day date{day};
    const chrono::hh_mm_ss time{at - day};
    auto field = [](auto v) { return static_cast<std::uint16_t>(v); };
    return {field(int{date.year()}),        field(unsigned{date.month()}),    field(unsigned{date.day()}),
            field(time.hours().count()),    field(time.minutes().count()),    field(time.seconds().count()),
            0};
}

std::int64_t utcOffsetSeconds(const TimeZone& zone, Instant t) {
    return wallSeconds(zone.localAt(t)) - t.seconds();
}

Instant instantOf(const TimeZone& zone, const LocalTime& t) {
    const std::int64_t wall = wallSeconds(t);
    auto wallAt = [&zone](std::int64_t utcSeconds) { return wallSeconds(zone.localAt(Instant{utcSeconds * 1000})); };
    // A change of clocks near the reading lies between these two offsets:
    // the reading is one of the two instants they give, both, or neither.
    const std::int64_t earlier = utcOffsetSeconds(zone, Instant{(wall - 86400) * 1000});
    const std::int64_t later = utcOffsetSeconds(zone, Instant{(wall + 86400) * 1000});
    std::optional<std::int64_t> first;
    for (const std::int64_t offset : {earlier, later}) {
        const std::int64_t candidate = wall - offset;
        if (wallAt(candidate) == wall && (!first || candidate < *first)) first = candidate;
    }
    if (first) return Instant{*first * 1000 + t.millisecond};
    // Skipped: the wall clock read less than `wall` just before the jump and
    // more just after it. The jump is the first second that reads more.
    std::int64_t before = wall - std::max(earlier, later);
    std::int64_t after = wall - std::min(earlier, later);
    if (wallAt(before) >= wall || wallAt(after) <= wall) return Instant{(wall - earlier) * 1000 + t.millisecond};
    while (after - before > 1) {
        const std::int64_t middle = before + (after - before) / 2;
        (wallAt(middle) > wall ? after : before) = middle;
    }
    return Instant{after * 1000};
}

std::optional<Instant> laterInstantOf(const TimeZone& zone, std::int64_t wall, std::int64_t afterUtcSeconds) {
    const Instant first = instantOf(zone, wallTimeAt(wall));
    if (first.seconds() > afterUtcSeconds) return first;
    // The clocks go back over it: the offset of the day after gives the second showing.
    const std::int64_t again = wall - utcOffsetSeconds(zone, Instant{(wall + 86400) * 1000});
    if (again <= afterUtcSeconds || wallSeconds(zone.localAt(Instant{again * 1000})) != wall) return std::nullopt;
    return Instant{again * 1000};
}

}  // namespace orvane
