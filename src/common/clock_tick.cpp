#include "common/clock_tick.hpp"

#include "common/calendar.hpp"

namespace orvane {

TickFields decodeTick(const ClockReading& now) {
    TickFields tick;
    tick.reading = now;
    tick.TickTime = now.local;
    tick.TickHour = now.local.hour;
    tick.TickMinute = now.local.minute;
    tick.TickSecond = now.local.second;
    return tick;
}

std::wstring_view dayName(const LocalTime& t) {
    return DayNames[static_cast<std::size_t>(isoWeekday(t.year, t.month, t.day))];
}

namespace {
std::wstring twoDigits(unsigned value) {
    return (value < 10 ? L"0" : L"") + std::to_wstring(value);
}
}  // namespace

std::optional<std::wstring> trayCaptionUpdate(std::int32_t& lastTrayHour, std::int32_t& lastTrayMinute,
                                              const TickFields& tick) {
    if (lastTrayHour == tick.TickHour && lastTrayMinute == tick.TickMinute) return std::nullopt;
    lastTrayHour = tick.TickHour;
    lastTrayMinute = tick.TickMinute;
    return L"Orvane - " + twoDigits(tick.TickHour) + L":" + twoDigits(tick.TickMinute);
}

int clockTimerDelay(std::uint16_t millisecond) {
    const int intoSecond = millisecond < 1000 ? millisecond : 999;
    return 1000 - intoSecond + clockTimerMarginMs;
}

std::optional<int> steadyTimerPeriod(int delayMs, int currentPeriod) {
    const bool inStep = delayMs >= 1000 - clockTimerSlackMs && delayMs <= 1000;
    if (!inStep) return delayMs;
    if (currentPeriod == 1000) return std::nullopt;
    return 1000;
}

}  // namespace orvane
