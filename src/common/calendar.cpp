#include "common/calendar.hpp"

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

LocalTime localTimeAt(std::int64_t seconds) {
    std::int64_t days = (seconds >= 0 ? seconds : seconds - 86399) / 86400;
    const std::int64_t ofDay = seconds - days * 86400;
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const std::int64_t dayOfEra = days - era * 146097;
    const std::int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t shiftedMonth = (5 * dayOfYear + 2) / 153;  // March = 0
    const std::int64_t month = shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9;
    const std::int64_t year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
    auto field = [](std::int64_t v) { return static_cast<std::uint16_t>(v); };
    return {field(year),           field(month),           field(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1),
            field(ofDay / 3600),   field(ofDay / 60 % 60), field(ofDay % 60),
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
