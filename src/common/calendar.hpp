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
// wall clock; the milliseconds are dropped. This is wall-clock arithmetic: a
// difference of two readings is not the time that passed between them when a
// change of clocks lies between (instantOf gives that).
std::int64_t wallSeconds(const LocalTime& t);

// The reading `seconds` after 1970-01-01 00:00:00 on the same wall clock, the
// inverse of wallSeconds (with no milliseconds).
LocalTime wallTimeAt(std::int64_t seconds);

// How far a zone's wall clock is ahead of UTC at an instant, in seconds
// (3600 in Paris in winter, 7200 in summer).
std::int64_t utcOffsetSeconds(const TimeZone& zone, Instant t);

// The instant a wall-clock reading stands for, by the zone's rules of its
// year. A reading that a change of clocks skips (02:30 on the night 02:00
// becomes 03:00) stands for the moment of the jump, the first one after it;
// a reading that the clocks show twice (02:30 on the night 03:00 becomes
// 02:00) stands for the first time. The milliseconds are kept, but for a
// skipped reading, which starts at the jump itself.
Instant instantOf(const TimeZone& zone, const LocalTime& t);

// The first instant after the second `afterUtcSeconds` at which the zone's
// wall clock reaches the reading `wall` (in wall seconds): as instantOf
// gives it, or, once that is past, its second showing when the clocks go
// back over it. Nothing when both are past.
std::optional<Instant> laterInstantOf(const TimeZone& zone, std::int64_t wall, std::int64_t afterUtcSeconds);

// The longest gap between two ticks that is still real time going on: a
// longer one is sleep or a stall.
inline constexpr std::int64_t longestTickGapSeconds = 60;

}  // namespace orvane
