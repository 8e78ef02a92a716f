#pragma once
#include <cstdint>
#include <optional>

#include "platform/clock.hpp"

namespace orvane {

// Whole days from 1970-01-01 to a Gregorian date (negative before it).
std::int64_t daysFromCivil(int year, int month, int day);

// Seconds of a local reading counted from 1970-01-01 00:00:00 on the same
// wall clock; the milliseconds are dropped. Differences of two readings are
// plain differences of wall-clock seconds.
std::int64_t localSeconds(const LocalTime& t);

// Whether a moment that comes back every `period` seconds, `offset` seconds
// into each period of local time (0 into each hour for the full hour; 7:30
// into each day for an alarm), has passed on the running clock: it lies after
// the previous tick and at or before this one. Without a usable previous tick
// (the first one, a clock set back, a gap longer than a minute) only a tick
// within the moment's own second counts, so nothing lost in a gap comes late.
bool recurringMomentPassed(const std::optional<LocalTime>& previous, const LocalTime& now,
                           std::int64_t period, std::int64_t offset);

// The longest gap between two ticks across which a moment still counts.
inline constexpr std::int64_t longestTickGapSeconds = 60;

}  // namespace orvane
