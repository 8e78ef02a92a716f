#pragma once
#include <cstdint>

#include "platform/clock.hpp"

namespace orvane {

// Whole days from 1970-01-01 to a Gregorian date (negative before it).
std::int64_t daysFromCivil(int year, int month, int day);

// Seconds of a local reading counted from 1970-01-01 00:00:00 on the same
// wall clock; the milliseconds are dropped. Differences of two readings are
// plain differences of wall-clock seconds.
std::int64_t localSeconds(const LocalTime& t);

}  // namespace orvane
