#pragma once
#include <optional>

#include "platform/clock.hpp"

namespace orvane {

// Whether the tick at `now` gives the hourly signal: the moment HH:00:00 lies
// after the previous tick and at or before this one. Without a usable previous
// tick (the first tick, a clock set back, a gap of more than a minute) only a
// tick within second 0 of minute 0 gives it, so no stale signal is given.
bool hourlySignalDue(const std::optional<LocalTime>& previous, const LocalTime& now);

}  // namespace orvane
