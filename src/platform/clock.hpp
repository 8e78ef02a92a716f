#pragma once
#include <cstdint>
#include <string>

namespace orvane {

// A local wall-clock reading, as the system gives it, to the millisecond.
struct LocalTime {
    std::uint16_t year = 0;
    std::uint16_t month = 0;  // 1..12
    std::uint16_t day = 0;    // 1..31
    std::uint16_t hour = 0;
    std::uint16_t minute = 0;
    std::uint16_t second = 0;
    std::uint16_t millisecond = 0;

    friend bool operator==(const LocalTime&, const LocalTime&) = default;
};

// Time is a service: the program reads it here and tests move it by hand.
class Clock {
public:
    virtual ~Clock() = default;
    virtual LocalTime now() const = 0;
    // Milliseconds on a clock that never jumps (for counts that must not
    // follow changes of the wall clock).
    virtual std::int64_t monotonicMilliseconds() const = 0;
};

// The user's regional formats; the texts follow the system's settings.
class RegionalFormats {
public:
    virtual ~RegionalFormats() = default;
    virtual std::wstring shortDate(const LocalTime& t) const = 0;
    virtual std::wstring longTime(const LocalTime& t) const = 0;
};

}  // namespace orvane
