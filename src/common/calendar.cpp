#include "common/calendar.hpp"

#include <chrono>

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

std::int64_t localSeconds(const LocalTime& t) {
    const chrono::sys_seconds at = civilDay(t.year, t.month, t.day) + chrono::hours{t.hour} +
                                   chrono::minutes{t.minute} + chrono::seconds{t.second};
    return at.time_since_epoch().count();
}

LocalTime localTimeAt(std::int64_t seconds) {
    const chrono::sys_seconds at{chrono::seconds{seconds}};
    const chrono::sys_days day = chrono::floor<chrono::days>(at);
    const chrono::year_month_day date{day};
    const chrono::hh_mm_ss time{at - day};
    auto field = [](auto v) { return static_cast<std::uint16_t>(v); };
    return {field(int{date.year()}),        field(unsigned{date.month()}),    field(unsigned{date.day()}),
            field(time.hours().count()),    field(time.minutes().count()),    field(time.seconds().count()),
            0};
}

std::optional<LocalTime> previousTickAfterClockSet(const std::optional<LocalTime>& previous,
                                                   const LocalTime& setTo) {
    const std::int64_t to = localSeconds(setTo);
    if (!previous || to >= localSeconds(*previous)) return previous;
    if (localSeconds(*previous) - to <= 1) return setTo;
    return localTimeAt(to - 1);
}

bool recurringMomentPassed(const std::optional<LocalTime>& previous, const LocalTime& now,
                           std::int64_t period, std::int64_t offset) {
    const std::int64_t nowSeconds = localSeconds(now);
    // The latest such moment at or before this tick.
    const std::int64_t moment = nowSeconds - (((nowSeconds - offset) % period + period) % period);
    if (previous) {
        const std::int64_t before = localSeconds(*previous);
        const std::int64_t gap = nowSeconds - before;
        // Two ticks within one second make a gap of 0: the first one counted.
        if (gap >= 0 && gap <= longestTickGapSeconds) return before < moment;
    }
    return moment == nowSeconds;
}

}  // namespace orvane
