#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "alarms/alarm_table.hpp"
#include "common/calendar.hpp"
#include "clock/hourly_signal.hpp"
#include "support/fake_services.hpp"

namespace orvane {
namespace {

LocalTime at(int month, int day, int hour, int minute, int second, int year = 2026) {
    auto u = [](int v) { return static_cast<std::uint16_t>(v); };
    return {u(year), u(month), u(day), u(hour), u(minute), u(second), 2};
}

std::string hms(const LocalTime& t) {
    char text[32];
    std::snprintf(text, sizeof text, "%02u:%02u:%02u", t.hour, t.minute, t.second);
    return text;
}

// The clock ticks each second from `from`; after `before` ticks the system
// time is set to `setTo` (by the user, a time server or daylight saving), and
// the clock ticks each second from there `after` times. Announced, the change
// reaches the program at once and its next tick comes a second after it;
// otherwise the first tick after it reads setTo. The signal and one alarm are
// decided at every tick by the program's own rules.
TEST(ClockChange, TheSignalAndTheAlarmsFollowTheWallClockThroughEveryKindOfChange) {
    const struct {
        const char* change;
        LocalTime from;
        int before;
        LocalTime setTo;
        int after;
        int alarmHour, alarmMinute;
        std::vector<std::string> signals, alarms;
        bool announced = false;
    } cases[] = {
        {"forward 25 s across a full hour", at(12, 7, 9, 59, 50), 5, at(12, 7, 10, 0, 20), 3, 10, 0,
         {"10:00:20"}, {"10:00:20"}},
        {"forward 25 s across an alarm's minute", at(12, 7, 7, 29, 50), 5, at(12, 7, 7, 30, 20), 3, 7, 30,
         {}, {"07:30:20"}},
        {"forward two hours: nothing stale from the gap", at(12, 7, 9, 59, 50), 5, at(12, 7, 11, 59, 58), 4,
         10, 30, {"12:00:00"}, {}},
        {"forward onto a full hour's own second", at(12, 7, 9, 20, 0), 3, at(12, 7, 11, 0, 0), 3, 11, 0,
         {"11:00:00"}, {"11:00:00"}},
        {"back across a full hour: given again", at(12, 7, 9, 59, 58), 5, at(12, 7, 9, 59, 57), 5, 10, 0,
         {"10:00:00", "10:00:00"}, {"10:00:00", "10:00:00"}},
        {"back across an alarm's minute: fired again", at(12, 7, 7, 29, 58), 5, at(12, 7, 7, 29, 30), 40, 7, 30,
         {}, {"07:30:00", "07:30:00"}},
        {"back within the hour, past no moment", at(12, 7, 10, 20, 0), 5, at(12, 7, 10, 10, 0), 5, 10, 15,
         {}, {}},
        {"forward across midnight and the year", at(12, 31, 23, 59, 50), 3, at(1, 1, 0, 0, 10, 2027), 3, 0, 0,
         {"00:00:10"}, {"00:00:10"}},
        // Daylight saving, where the local clock itself jumps.
        {"spring: 02:00 becomes 03:00", at(3, 29, 1, 59, 58), 2, at(3, 29, 3, 0, 0), 3, 2, 30,
         {"03:00:00"}, {}},
        {"autumn: 03:00 becomes 02:00 again", at(10, 25, 2, 29, 58), 1802, at(10, 25, 2, 0, 0), 1802, 2, 30,
         {"02:00:00"}, {"02:30:00", "02:30:00"}},
        {"autumn, announced", at(10, 25, 2, 59, 58), 2, at(10, 25, 2, 0, 0), 3, 2, 0, {"02:00:01"}, {"02:00:01"},
         true},
        {"back under a second across a full hour, announced", at(12, 7, 9, 59, 58), 3, at(12, 7, 9, 59, 59), 2,
         10, 0, {"10:00:00", "10:00:00"}, {"10:00:00", "10:00:00"}, true},
        {"a correction into the second just given, announced", at(12, 7, 7, 29, 59), 3, at(12, 7, 7, 30, 0), 3,
         7, 30, {}, {"07:30:00"}, true},
        {"the user sets back onto an alarm's minute, announced", at(12, 7, 7, 45, 0), 3, at(12, 7, 7, 30, 0), 3,
         7, 30, {}, {"07:30:01"}, true},
        {"back exactly 60 s onto an alarm's minute", at(12, 7, 7, 30, 58), 3, at(12, 7, 7, 30, 0), 3, 7, 30,
         {}, {"07:30:00"}},
        {"back exactly 60 s onto an alarm's minute, announced", at(12, 7, 7, 30, 58), 3, at(12, 7, 7, 30, 0), 3,
         7, 30, {}, {"07:30:01"}, true},
    };
    for (const auto& c : cases) {
        std::optional<LocalTime> previous;
        AlarmTable alarms;
        alarms.configure(1, {c.alarmHour, c.alarmMinute, L"Réveil", L"", false, L""});
        std::vector<std::string> signals, fired;
        auto tick = [&](const LocalTime& now) {
            if (hourlySignalDue(previous, now)) signals.push_back(hms(now));
            previous = now;
            if (!alarms.takeDueSlots(now).empty()) fired.push_back(hms(now));
        };
        for (int k = 0; k < c.before; ++k) tick(testing::addMilliseconds(c.from, k * 1000));
        if (c.announced) {
            previous = previousTickAfterClockSet(previous, c.setTo);
            alarms.clockSet(c.setTo);
        }
        for (int k = c.announced ? 1 : 0; k < c.after; ++k) tick(testing::addMilliseconds(c.setTo, k * 1000));
        EXPECT_EQ(signals, c.signals) << c.change;
        EXPECT_EQ(fired, c.alarms) << c.change;
    }
}

TEST(ClockChange, LocalTimesMoveAcrossMonthsYearsAndLeapDays) {
    const struct {
        LocalTime from;
        std::int64_t ms;
        LocalTime to;
    } cases[] = {
        {{2026, 12, 31, 23, 59, 59, 999}, 1, {2027, 1, 1, 0, 0, 0, 0}},
        {{2028, 2, 28, 12, 0, 0, 0}, 86400000, {2028, 2, 29, 12, 0, 0, 0}},
        {{2027, 3, 1, 0, 0, 0, 500}, -1000, {2027, 2, 28, 23, 59, 59, 500}},
        {{2026, 12, 7, 10, 30, 15, 250}, 48LL * 3600000, {2026, 12, 9, 10, 30, 15, 250}},
    };
    for (const auto& c : cases) EXPECT_EQ(testing::addMilliseconds(c.from, c.ms), c.to) << c.ms;
}

}  // namespace
}  // namespace orvane
