#include "app/calendar.hpp"

namespace orvane {

std::int64_t daysFromCivil(int year, int month, int day) {
    const int y = year - (month <= 2 ? 1 : 0);
    const int era = (y >= 0 ? y : y - 399) / 400;
    const int yearOfEra = y - era * 400;
    const int dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return static_cast<std::int64_t>(era) * 146097 + dayOfEra - 719468;
}

std::int64_t localSeconds(const LocalTime& t) {
    return daysFromCivil(t.year, t.month, t.day) * 86400 + t.hour * 3600 + t.minute * 60 + t.second;
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
