#include "clock/hourly_signal.hpp"

#include "common/calendar.hpp"

namespace orvane {

bool hourlySignalDue(const std::optional<LocalTime>& previous, const LocalTime& now) {
    return recurringMomentPassed(previous, now, 3600, 0);
}

}  // namespace orvane
