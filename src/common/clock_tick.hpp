#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/clock.hpp"

namespace orvane {

// French day names, Monday = 1 .. Sunday = 7, whatever the regional settings.
inline constexpr std::array<std::wstring_view, 8> DayNames{
    L"", L"Lundi", L"Mardi", L"Mercredi", L"Jeudi", L"Vendredi", L"Samedi", L"Dimanche"};

// What one clock tick reads: the time and its decoded fields, and the read of
// the clock it came from (real time and the monotonic count beside it).
struct TickFields {
    ClockReading reading;
    LocalTime TickTime;
    std::uint16_t TickHour = 0;
    std::uint16_t TickMinute = 0;
    std::uint16_t TickSecond = 0;
};

TickFields decodeTick(const ClockReading& now);

std::wstring_view dayName(const LocalTime& t);

// The first item of the tray menu reads "Orvane - HH:MM". It is recaptioned
// at the first tick whose hour or minute differs from the last caption's, so
// that a sleep of whole hours cannot leave the old hour on it; both start at 0,
// so a start during 00:00 keeps the initial caption until 00:01.
std::optional<std::wstring> trayCaptionUpdate(std::int32_t& lastTrayHour, std::int32_t& lastTrayMinute,
                                              const TickFields& tick);

// How long the clock timer waits after a tick read at `millisecond` within its
// second, so that the next tick lands just after the next second boundary.
// The small margin keeps a timer that fires a hair early out of the old second.
inline constexpr int clockTimerMarginMs = 2;
int clockTimerDelay(std::uint16_t millisecond);

// A repeating timer meant to land just after each boundary of a count's
// seconds repeats every second while it lands there, and is then left alone:
// setting it costs a call to the system each time. Given the wait from now to
// just after the next boundary due (the timer drifted, a busy moment made it
// late, or the next boundary is another count's), gives the period to set, or
// nothing when the timer is in step already. A wait of a second, less the
// slack, is in step: the pass landed that little after its boundary.
inline constexpr int clockTimerSlackMs = 12;
std::optional<int> steadyTimerPeriod(int delayMs, int currentPeriod);

// What a window keeps of one of its repeating timers: the period it was last
// set to (0 when it does not run).
class SteadyTimer {
public:
    // After a pass: the period to set so that the next lands `delayMs` from
    // now, or nothing when the timer lands there already.
    std::optional<int> follow(int delayMs) {
        const std::optional<int> period = steadyTimerPeriod(delayMs, period_);
        if (period) period_ = *period;
        return period;
    }
    // Set anew, its period counted from now.
    int set(int periodMs) { return period_ = periodMs; }
    void stopped() { period_ = 0; }
    bool runs() const { return period_ != 0; }

private:
    int period_ = 0;
};

}  // namespace orvane
