#pragma once
#include <cstdint>
#include <optional>

#include "platform/clock.hpp"

namespace orvane {

// Whole days from 1970-01-01 to a Gregorian date (negative before it).
std::int64_t daysFromCivil(int year, int month, int day);

// The day of the week of a Gregorian date: 1 for Monday to 7 for Sunday.
int isoWeekday(int year, int month, int day);

// Seconds of a local reading counted from 1970-01-01 00:00:00 on the same
// wall clock; the milliseconds are dropped. Differences of two readings are
// plain differences of wall-clock seconds.
std::int64_t localSeconds(const LocalTime& t);

// The reading `seconds` after 1970-01-01 00:00:00 on the same wall clock, the
// inverse of localSeconds (with no milliseconds).
LocalTime localTimeAt(std::int64_t seconds);

// Whether a moment that comes back every `period` seconds, `offset` seconds
// into each period of local time (0 into each hour for the full hour; 7:30
// into each day for an alarm), has passed on the running clock: it lies after
// the previous tick and at or before this one. Without a usable previous tick
// (the first one, a clock set back, a gap longer than a minute) only a tick
// within the moment's own second counts, so nothing lost in a gap comes late.
bool recurringMomentPassed(const std::optional<LocalTime>& previous, const LocalTime& now,
                           std::int64_t period, std::int64_t offset);

// What the next tick measures from once the system time was set to `setTo`.
// Set back, the clock will pass again the moments after setTo, and each is
// given again then (a tick in the same second as the last one could not tell
// that on its own). A moment in setTo's own second counts too (daylight
// saving puts the clock back onto 02:00:00 itself; a user sets it back onto
// an alarm's minute to hear it again), as it would for a tick that read it,
// unless the correction lands within a second of the last tick: that moment
// was given just before. Set forward, the jump counts from the previous tick
// like any gap.
std::optional<LocalTime> previousTickAfterClockSet(const std::optional<LocalTime>& previous,
                                                   const LocalTime& setTo);

// The longest gap between two ticks across which a moment still counts.
inline constexpr std::int64_t longestTickGapSeconds = 60;

}  // namespace orvane
