#pragma once
#include <compare>
#include <cstdint>
#include <memory>
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

// Real time: milliseconds since 1970-01-01 00:00:00 UTC. It goes on through
// every change of the clocks; only a user or a time server setting the
// system time moves it otherwise.
struct Instant {
    std::int64_t ms = 0;

    // The whole second it lies in.
    std::int64_t seconds() const { return ms >= 0 ? ms / 1000 : -((999 - ms) / 1000); }
    friend auto operator<=>(const Instant&, const Instant&) = default;
};

// One read of the clock: the wall clock the user reads, real time and the
// count that never jumps, all taken at the same moment.
struct ClockReading {
    LocalTime local;
    Instant utc;
    std::int64_t monotonicMs = 0;
};

// The system's time-zone rules.
class TimeZone {
public:
    virtual ~TimeZone() = default;
    // The wall-clock reading at an instant, by the rules in force in that
    // instant's year (not today's: a zone's rules change over the years).
    virtual LocalTime localAt(Instant t) const = 0;
    // The rules as they stand now, held unchanged for as long as they are
    // kept: a tick measures what moved against the rules of the tick before,
    // and the system, once its zone changes, answers for past instants by the
    // new rules too. A zone whose rules never change is its own.
    virtual std::shared_ptr<const TimeZone> rules() const {
        return std::shared_ptr<const TimeZone>(std::shared_ptr<const TimeZone>{}, this);
    }
};

// Time is a service: the program reads it here and tests move it by hand.
class Clock {
public:
    virtual ~Clock() = default;
    virtual ClockReading read() const = 0;
    LocalTime now() const { return read().local; }
    // Milliseconds on a clock that never jumps (for counts that must not
    // follow changes of the wall clock). It goes on while the computer sleeps.
    virtual std::int64_t monotonicMilliseconds() const = 0;
    virtual const TimeZone& zone() const = 0;
    // The system said that its time, its zone or its settings changed: the
    // next read looks at the zone's rules again.
    virtual void zoneMayHaveChanged() {}
};

// The user's regional formats; the texts follow the system's settings.
class RegionalFormats {
public:
    virtual ~RegionalFormats() = default;
    virtual std::wstring shortDate(const LocalTime& t) const = 0;
    virtual std::wstring longTime(const LocalTime& t) const = 0;
};

}  // namespace orvane
