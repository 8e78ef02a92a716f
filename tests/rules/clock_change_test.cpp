#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "alarms/alarm_table.hpp"
#include "common/calendar.hpp"
#include "clock/hourly_signal.hpp"
#include "countdowns/countdown_table.hpp"
#include "elapsed/elapsed_count.hpp"
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

// The clock ticks each second from `from`; after `before` ticks the user (or
// a time server) sets the system time to `setTo`, and the clock ticks each
// second from there `after` times. Announced, the change reaches the program
// at once and its next tick comes a second after it; otherwise the first tick
// after it reads setTo. The signal and one alarm are decided at every tick by
// the program's own rules.
TEST(ClockChange, TheSignalAndTheAlarmsFollowTheWallClockThroughAChangeByHand) {
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
        testing::FakeClock clock;
        clock.setLocal(c.from);
        std::optional<LocalTime> previous;
        AlarmTable alarms;
        alarms.configure(1, {c.alarmHour, c.alarmMinute, L"Réveil", L"", false, L""});
        std::vector<std::string> signals, fired;
        auto tick = [&] {
            const ClockReading now = clock.read();
            if (hourlySignalDue(previous, now.local)) signals.push_back(hms(now.local));
            previous = now.local;
            if (!alarms.takeDueSlots(now).slots.empty()) fired.push_back(hms(now.local));
            clock.advance(1000);
        };
        for (int k = 0; k < c.before; ++k) tick();
        clock.setLocal(c.setTo);
        if (c.announced) {
            previous = previousTickAfterClockSet(previous, c.setTo);
            alarms.clockSet(clock.read());
            clock.advance(1000);
        }
        for (int k = c.announced ? 1 : 0; k < c.after; ++k) tick();
        EXPECT_EQ(signals, c.signals) << c.change;
        EXPECT_EQ(fired, c.alarms) << c.change;
    }
}

// Both nights the clocks change in Paris, the clock ticking each second for
// four hours around the change, with alarms at 01:59, 02:00, 02:30, 02:59
// and 03:00 in slots 1 to 5; the change comes unannounced, or announced
// (as the system does) just before the first tick after it. Each moment is
// shown with the offset of the wall clock it was read on.
TEST(ClockChange, OnTheNightsTheClocksChangeEachAlarmComesOnceAndTheSignalFollowsTheShownTime) {
    const testing::FrenchZone paris;
    const struct {
        const char* night;
        std::int64_t change;  // UTC seconds
        std::vector<std::string> signals;
        std::array<std::vector<std::string>, 5> alarms;
    } nights[] = {
        {"spring, 02:00 becomes 03:00", testing::FrenchZone::change(2027, 3),
         {"00:00:00 +1", "01:00:00 +1", "03:00:00 +2", "04:00:00 +2"},
         {{{"01:59:00 +1"}, {"03:00:00 +2"}, {"03:00:00 +2"}, {"03:00:00 +2"}, {"03:00:00 +2"}}}},
        {"autumn, 03:00 becomes 02:00", testing::FrenchZone::change(2026, 10),
         {"01:00:00 +2", "02:00:00 +2", "02:00:00 +1", "03:00:00 +1"},
         {{{"01:59:00 +2"}, {"02:00:00 +2"}, {"02:30:00 +2"}, {"02:59:00 +2"}, {"03:00:00 +1"}}}},
    };
    const int alarmTimes[][2] = {{1, 59}, {2, 0}, {2, 30}, {2, 59}, {3, 0}};
    for (const auto& night : nights) {
        for (const bool announced : {false, true}) {
            testing::FakeClock clock;
            clock.useZone(paris);
            clock.utc = Instant{(night.change - 7320) * 1000 + 2};
            AlarmTable alarms;
            for (int n = 1; n <= 5; ++n)
                alarms.configure(n, {alarmTimes[n - 1][0], alarmTimes[n - 1][1], L"", L"", false, L""});
            std::optional<LocalTime> previous;
            std::vector<std::string> signals;
            std::array<std::vector<std::string>, 5> fired;
            for (int k = 0; k < 4 * 3600; ++k) {
                const ClockReading now = clock.read();
                if (announced && now.utc.seconds() == night.change) {
                    previous = previousTickAfterClockSet(previous, now.local);
                    alarms.clockSet(now);
                }
                const std::string shown =
                    hms(now.local) + " +" + std::to_string(utcOffsetSeconds(paris, now.utc) / 3600);
                if (hourlySignalDue(previous, now.local)) signals.push_back(shown);
                previous = now.local;
                for (const int n : alarms.takeDueSlots(now).slots) fired[static_cast<std::size_t>(n - 1)].push_back(shown);
                clock.advance(1000);
            }
            if (!announced) {
                EXPECT_EQ(signals, night.signals) << night.night;
            }
            EXPECT_EQ(fired, night.alarms) << night.night << (announced ? ", announced" : "");
        }
    }
}

// Where a wall-clock reading lies in real time, in a zone that changes its
// clocks and in one that never does.
TEST(ClockChange, AReadingSkippedStandsForTheJumpAndAReadingShownTwiceForTheFirstTime) {
    const testing::FrenchZone paris;
    const testing::FixedZone tokyo(9 * 3600);
    const struct {
        const TimeZone& zone;
        LocalTime reading;
        LocalTime utc;
    } cases[] = {
        {paris, at(12, 7, 10, 30, 15), at(12, 7, 9, 30, 15)},
        {paris, at(6, 15, 12, 0, 0), at(6, 15, 10, 0, 0)},
        {paris, at(3, 29, 1, 59, 59), at(3, 29, 0, 59, 59)},
        {paris, at(3, 29, 2, 0, 0), at(3, 29, 1, 0, 0)},   // skipped: the jump
        {paris, at(3, 29, 2, 30, 0), at(3, 29, 1, 0, 0)},  // skipped: the jump
        {paris, at(3, 29, 3, 0, 0), at(3, 29, 1, 0, 0)},
        {paris, at(10, 25, 1, 59, 59), at(10, 24, 23, 59, 59)},
        {paris, at(10, 25, 2, 30, 0), at(10, 25, 0, 30, 0)},  // shown twice: the first
        {paris, at(10, 25, 2, 59, 59), at(10, 25, 0, 59, 59)},
        {paris, at(10, 25, 3, 0, 0), at(10, 25, 2, 0, 0)},
        {tokyo, at(3, 29, 2, 30, 0), at(3, 28, 17, 30, 0)},
        {tokyo, at(1, 1, 5, 0, 0, 2027), at(12, 31, 20, 0, 0)},
    };
    const testing::FixedZone utc(0);
    for (const auto& c : cases) {
        const Instant instant = instantOf(c.zone, c.reading);
        EXPECT_EQ(hms(utc.localAt(instant)) + " " + std::to_string(utc.localAt(instant).day),
                  hms(c.utc) + " " + std::to_string(c.utc.day))
            << hms(c.reading) << " on " << c.reading.month << "/" << c.reading.day;
    }
}

// A countdown by date ends at the chosen moment and the elapsed count tells
// the time since it in real time, whatever changes of clocks lie between:
// the wall-clock difference of the two readings, corrected by `realMinusWall`.
TEST(ClockChange, CountdownsByDateAndTheElapsedCountTellRealTimeAcrossAChangeOfClocks) {
    const testing::FrenchZone paris;
    const testing::FixedZone fixed(3600);
    enum Kind { Countdown, Elapsed };
    const struct {
        const char* name;
        Kind kind;
        const TimeZone& zone;
        LocalTime now, other;
        std::int64_t realMinusWall;
    } cases[] = {
        {"set in winter for June", Countdown, paris, at(12, 7, 10, 30, 15), at(6, 1, 0, 0, 0, 2027), -3600},
        {"set in summer for Christmas", Countdown, paris, at(6, 1, 12, 0, 0, 2027), at(12, 24, 18, 0, 0, 2027), 3600},
        {"for a moment the clocks skip: the jump", Countdown, paris, at(3, 28, 1, 0, 0, 2027),
         at(3, 28, 2, 30, 0, 2027), -1800},
        {"for a moment shown twice: the first", Countdown, paris, at(10, 25, 1, 0, 0), at(10, 25, 2, 30, 0), 0},
        {"within the winter", Countdown, paris, at(12, 7, 10, 30, 15), at(1, 1, 0, 0, 0, 2027), 0},
        {"for June where clocks never change", Countdown, fixed, at(12, 7, 10, 30, 15), at(6, 1, 0, 0, 0, 2027), 0},
        {"since the summer, in winter", Elapsed, paris, at(12, 7, 10, 30, 15), at(6, 15, 12, 0, 0), 3600},
        {"since the winter, in summer", Elapsed, paris, at(7, 1, 9, 0, 0), at(1, 10, 8, 0, 0), -3600},
        {"since a moment shown twice", Elapsed, paris, at(10, 25, 4, 0, 0), at(10, 25, 2, 30, 0), 3600},
        {"since a moment the clocks skip", Elapsed, paris, at(3, 28, 3, 30, 0, 2027), at(3, 28, 2, 15, 0, 2027),
         -2700},
        {"since the summer where clocks never change", Elapsed, fixed, at(12, 7, 10, 30, 15), at(6, 15, 12, 0, 0),
         0},
    };
    for (const auto& c : cases) {
        const Instant now = instantOf(c.zone, c.now);
        if (c.kind == Countdown) {
            EXPECT_EQ(dateTargetTotal(now, c.zone, c.other),
                      wallSeconds(c.other) - wallSeconds(c.now) - dateModeAdvanceSeconds + c.realMinusWall)
                << c.name;
        } else {
            EXPECT_EQ(elapsedSecondsSince(c.zone, c.other, now),
                      wallSeconds(c.now) - wallSeconds(c.other) + c.realMinusWall)
                << c.name;
        }
    }
}

// The clock ticks, then nothing runs for a while: the computer sleeps (real
// time and the monotonic count go on), or the user sets the clock forward
// (only the wall clock moves), or both; then it ticks again.
TEST(ClockChange, AlarmsWhoseMomentASleepSwallowedAreToldNeverRungAndNoneForAClockSetForward) {
    const testing::FrenchZone paris;
    const struct {
        const char* gap;
        std::vector<std::pair<int, int>> alarms;  // slots 1, 2, ... in order
        LocalTime from;
        std::int64_t sleptMs, setForwardMs;
        std::vector<std::string> told;
    } cases[] = {
        {"a sleep over one alarm", {{7, 30}}, at(12, 7, 7, 0, 0), 3600000, 0, {"missed 1 07/12 07:30"}},
        {"a sleep over two of three", {{7, 30}, {9, 30}, {8, 0}}, at(12, 7, 7, 0, 0), 7200000, 0,
         {"missed 1 07/12 07:30", "missed 3 07/12 08:00"}},
        {"a sleep over none", {{10, 0}, {6, 59}}, at(12, 7, 7, 0, 0), 7200000, 0, {}},
        {"waking on an alarm's own second", {{9, 0}}, at(12, 7, 7, 0, 0), 7200000, 0, {"rings 1"}},
        {"a stall of 90 s", {{7, 30}}, at(12, 7, 7, 29, 0), 90000, 0, {"missed 1 07/12 07:30"}},
        {"a stall of a minute comes late, as any late tick", {{7, 30}}, at(12, 7, 7, 29, 30), 60000, 0, {"rings 1"}},
        {"two days asleep: the last time", {{7, 30}}, at(12, 7, 7, 0, 0), 2 * 86400000 + 7200000, 0,
         {"missed 1 09/12 07:30"}},
        {"a sleep across the night clocks go back", {{2, 30}}, at(10, 25, 1, 0, 0), 4 * 3600000, 0,
         {"missed 1 25/10 02:30"}},
        {"set forward by hand over an alarm", {{7, 30}}, at(12, 7, 7, 0, 0), 0, 7200000, {}},
        {"asleep an hour, then set forward two", {{7, 30}, {8, 30}}, at(12, 7, 7, 0, 0), 3600000, 7200000,
         {"missed 1 07/12 07:30"}},
    };
    for (const auto& c : cases) {
        testing::FakeClock clock;
        clock.useZone(paris);
        clock.setLocal(c.from);
        AlarmTable table;
        for (std::size_t i = 0; i < c.alarms.size(); ++i)
            table.configure(static_cast<int>(i + 1), {c.alarms[i].first, c.alarms[i].second, L"", L"", false, L""});
        EXPECT_TRUE(table.takeDueSlots(clock.read()).slots.empty()) << c.gap;
        clock.advance(c.sleptMs);
        clock.utc.ms += c.setForwardMs;
        const AlarmTable::Due due = table.takeDueSlots(clock.read());
        std::vector<std::string> told;
        for (const int n : due.slots) told.push_back("rings " + std::to_string(n));
        for (const MissedAlarm& m : due.missed) {
            char line[64];
            std::snprintf(line, sizeof line, "missed %d %02u/%02u %02u:%02u", m.slot, m.moment.day, m.moment.month,
                          m.moment.hour, m.moment.minute);
            told.push_back(line);
        }
        EXPECT_EQ(told, c.told) << c.gap;
        clock.advance(1000);
        const AlarmTable::Due next = table.takeDueSlots(clock.read());
        EXPECT_TRUE(next.slots.empty() && next.missed.empty()) << c.gap << ": told once";
    }
}

// What the user reads after waking: one box for all the alarms missed, after
// the alarm of this very second, with no file opened for them.
TEST(ClockChange, TheMissedAlarmsAreListedInOneBoxAfterTheTick) {
    testing::FakeClock clock;
    testing::FakeFormats formats;
    testing::FakeShell shell;
    testing::FakeBoxes boxes;
    std::vector<std::wstring> log;
    shell.log = boxes.log = &log;
    AlarmTable table;
    table.configure(1, {7, 30, L"Réveil", L"Debout", true, L"C:\\radio.exe"});
    table.configure(2, {9, 0, L"Café", L"", true, L"C:\\cafe.exe"});
    table.configure(4, {8, 15, L"Médicaments", L"", false, L""});
    clock.setLocal({2026, 12, 7, 7, 0, 0, 2});
    for (const std::int64_t sleep : {0, 2 * 3600000}) {
        clock.advance(sleep);
        CheckAlarms(table, decodeTick(clock.read()), {formats, shell, boxes}, [](auto&) {});
    }
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0], L"open C:\\cafe.exe") << "the alarm of this second rings first";
    EXPECT_EQ(boxes.shown[1].title, L"Alarmes manquées !");
    EXPECT_EQ(boxes.shown[1].text, L"Ces alarmes n'ont pas sonné, l'ordinateur était en veille ou occupé :\r\n"
                                   L"Alarme n°1 : Réveil, prévue le 07/12/2026 à 07:30:00\r\n"
                                   L"Alarme n°4 : Médicaments, prévue le 07/12/2026 à 08:15:00");
    EXPECT_EQ(boxes.shown[1].style, box::ok | box::iconExclamation | box::setForeground | box::topMost);
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
