#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "alarms/alarm_table.hpp"
#include "alarms/alarm_wake.hpp"
#include "common/calendar.hpp"
#include "common/clock_passage.hpp"
#include "countdowns/countdown_table.hpp"
#include "elapsed/elapsed_count.hpp"
#include "support/fake_services.hpp"

namespace orvane {
namespace {

LocalTime at(int month, int day, int hour, int minute, int second, int year = 2026) {
    auto u = [](int v) { return static_cast<std::uint16_t>(v); };
    return {u(year), u(month), u(day), u(hour), u(minute), u(second), 2};
}

std::string dm(const LocalTime& t) {
    char text[16];
    std::snprintf(text, sizeof text, "%02u/%02u", t.day, t.month);
    return text;
}

std::string hms(const LocalTime& t) {
    char text[32];
    std::snprintf(text, sizeof text, "%02u:%02u:%02u", t.hour, t.minute, t.second);
    return text;
}

// The program's own rules at every tick, as the user meets them: the full
// hours, and the alarms of slots 1, 2, ... ringing or listed as missed.
class ClockRun {
public:
    ClockRun(const TimeZone& zone, const LocalTime& from, const std::vector<std::pair<int, int>>& alarms) {
        clock.useZone(zone);
        clock.setLocal(from);
        for (std::size_t i = 0; i < alarms.size(); ++i) configure(static_cast<int>(i + 1), alarms[i]);
    }
    void configure(int n, std::pair<int, int> time) {
        table.configure(n, {time.first, time.second, L"", L"", false, L""});
    }
    // A tick each second, `count` of them.
    void ticks(int count) {
        for (int k = 0; k < count; ++k) {
            const ClockReading now = clock.read();
            clock.readingOffset.reset();
            const std::string shown = hms(now.local);
            if (fullHours.take(signalWatch.advance(now, clock.zone()), 0).rings) told.push_back("signal " + shown);
            const AlarmTable::Due due = table.takeDueSlots(now, clock.zone());
            for (const int n : due.slots) told.push_back("ring " + std::to_string(n) + " " + shown);
            const char* because[] = {"", "asleep", "set forward", "zone"};
            for (const MissedAlarm& m : due.missed)
                told.push_back("list " + std::to_string(m.slot) + " " + dm(m.moment) + " " + hms(m.moment) + " " +
                               because[static_cast<int>(m.because)]);
            clock.advance(1000);
        }
    }
    void resumed() {
        table.resumed();
        signalWatch.resumed();
    }
    testing::FakeClock clock;
    AlarmTable table;
    ClockWatch signalWatch;
    RecurringMoment fullHours{3600};
    std::vector<std::string> told;
};

// What happens between two runs of ticks.
struct Then {
    enum Kind { ticks, sleep, stall, step, zone, slot, readWith } kind;
    std::int64_t amount = 0;  // ticks, or milliseconds
    const TimeZone* to = nullptr;
    int slotNumber = 0, hour = 0, minute = 0;
};
Then ticks(int count) { return {Then::ticks, count}; }
Then sleep(std::int64_t ms) { return {Then::sleep, ms}; }  // the computer sleeps, then resumes
Then stall(std::int64_t ms) { return {Then::stall, ms}; }  // nothing runs, the computer awake
Then step(std::int64_t ms) { return {Then::step, ms}; }    // the clock set by hand or by the time service
Then zone(const TimeZone& to) { return {Then::zone, 0, &to}; }
Then slot(int n, int hour, int minute) { return {Then::slot, 0, nullptr, n, hour, minute}; }
Then readWith(std::int64_t offsetSeconds) { return {Then::readWith, offsetSeconds}; }  // the next reading's offset

constexpr std::int64_t minute = 60000, hour = 3600000, day = 86400000;
const testing::FrenchZone paris;
const testing::FixedZone newYork(-5 * 3600), tokyo(9 * 3600);
const testing::RuledZone& london = testing::londonRules();

// Whatever moves the clock, each armed alarm rings once for each date the
// clock shows it or is listed, and the full hours agree with the alarms.
TEST(ClockChange, EachAlarmRingsOnceOrIsListedWhateverMovesTheClock) {
    const struct {
        const char* what;
        LocalTime from;
        std::vector<std::pair<int, int>> alarms;
        std::vector<Then> run;
        std::vector<std::string> told;
    } cases[] = {
        {"to New York at 23:00 Paris: the evening comes again on the new clock", at(12, 7, 22, 59, 30), {{20, 0}},
         {ticks(2), zone(newYork), ticks(3 * 3600 + 30)},
         {"signal 17:00:00", "signal 18:00:00", "signal 19:00:00", "signal 20:00:00", "ring 1 20:00:00"}},
        {"to Tokyo at 10:20 Paris: what the clock jumps is listed", at(12, 7, 10, 19, 58),
         {{11, 0}, {12, 30}, {14, 0}, {17, 45}, {19, 0}}, {ticks(2), zone(tokyo), ticks(2)},
         {"list 1 07/12 11:00:00 zone", "list 2 07/12 12:30:00 zone", "list 3 07/12 14:00:00 zone",
          "list 4 07/12 17:45:00 zone"}},
        {"the time service steps 2 min forward over an alarm", at(12, 7, 7, 29, 0), {{7, 30}},
         {ticks(30), step(2 * minute), ticks(2)}, {"ring 1 07:31:30"}},
        {"forward 25 s across a full hour", at(12, 7, 9, 59, 50), {{10, 0}}, {ticks(5), step(25000), ticks(2)},
         {"signal 10:00:20", "ring 1 10:00:20"}},
        {"asleep all night on a clock 2 min slow, set right after waking", at(12, 7, 23, 0, 10), {{7, 30}},
         {ticks(1), sleep(8 * hour + 28 * minute), step(-2 * minute), ticks(5), step(2 * minute), ticks(120)},
         {"ring 1 07:30:00"}},
        {"stepped back 1.5 s just after the alarm", at(12, 7, 7, 29, 58), {{7, 30}},
         {ticks(3), step(-1500), ticks(3)}, {"ring 1 07:30:00"}},
        {"stepped back 2 min a minute after the alarm", at(12, 7, 7, 29, 58), {{7, 30}},
         {ticks(63), step(-2 * minute), ticks(90)}, {"ring 1 07:30:00"}},
        {"stepped back 2 min a minute after the full hour", at(12, 7, 7, 59, 58), {},
         {ticks(63), step(-2 * minute), ticks(90)}, {"signal 08:00:00"}},
        {"asleep from 02:45 summer time to 02:25 winter time", at(10, 25, 2, 29, 58), {{2, 30}, {2, 50}},
         {ticks(15 * 60 + 3), sleep(40 * minute), ticks(30 * 60)},
         {"ring 1 02:30:00", "list 2 25/10 02:50:00 asleep", "ring 2 02:50:00"}},
        {"a stall of 70 s across 03:00 summer time", at(10, 25, 2, 29, 58), {{2, 30}},
         {ticks(1770), stall(70000), ticks(1860)}, {"ring 1 02:30:00"}},
        {"asleep over the spring night: the moment is the jump's", at(3, 28, 1, 50, 0, 2027), {{2, 30}},
         {ticks(1), sleep(hour), ticks(1)}, {"list 1 28/03 03:00:00 asleep"}},
        {"4 min forward rings what it jumps", at(12, 7, 7, 27, 58), {{7, 30}}, {ticks(2), step(4 * minute), ticks(1)},
         {"ring 1 07:32:00"}},
        {"6 min forward lists it", at(12, 7, 7, 27, 58), {{7, 30}}, {ticks(2), step(6 * minute), ticks(1)},
         {"list 1 07/12 07:30:00 set forward"}},
        {"set forward onto the moment's own second: it rings", at(12, 7, 7, 0, 1), {{7, 30}},
         {ticks(1), step(30 * minute - 2000), ticks(1)}, {"ring 1 07:30:00"}},
        {"4 min back repeats nothing", at(12, 7, 7, 29, 58), {{7, 30}}, {ticks(3), step(-4 * minute), ticks(300)},
         {"ring 1 07:30:00"}},
        {"6 min back rings again", at(12, 7, 7, 29, 58), {{7, 30}}, {ticks(3), step(-6 * minute), ticks(400)},
         {"ring 1 07:30:00", "ring 1 07:30:00"}},
        {"waking 1 s late", at(12, 7, 7, 0, 1), {{7, 30}}, {ticks(1), sleep(30 * minute - 1000), ticks(1)},
         {"ring 1 07:30:01"}},
        {"waking 3 s late", at(12, 7, 7, 0, 1), {{7, 30}}, {ticks(1), sleep(30 * minute + 1000), ticks(1)},
         {"ring 1 07:30:03"}},
        {"waking 20 s late", at(12, 7, 7, 0, 1), {{7, 30}}, {ticks(1), sleep(30 * minute + 18000), ticks(1)},
         {"ring 1 07:30:20"}},
        {"waking 61 s late", at(12, 7, 7, 0, 1), {{7, 30}}, {ticks(1), sleep(30 * minute + 59000), ticks(1)},
         {"list 1 07/12 07:30:00 asleep"}},
        {"a stall ending 20 s late", at(12, 7, 7, 0, 1), {{7, 30}}, {ticks(1), stall(30 * minute + 18000), ticks(1)},
         {"list 1 07/12 07:30:00 asleep"}},
        {"asleep over one alarm", at(12, 7, 7, 0, 1), {{7, 30}}, {ticks(1), sleep(hour + 5 * minute), ticks(2)},
         {"list 1 07/12 07:30:00 asleep"}},
        {"asleep over two of three", at(12, 7, 7, 0, 1), {{7, 30}, {9, 30}, {8, 0}},
         {ticks(1), sleep(2 * hour + 5 * minute), ticks(2)},
         {"list 1 07/12 07:30:00 asleep", "list 3 07/12 08:00:00 asleep"}},
        {"asleep over none", at(12, 7, 7, 0, 1), {{10, 0}, {6, 59}}, {ticks(1), sleep(2 * hour + 5 * minute), ticks(2)},
         {}},
        {"waking on an alarm's own second", at(12, 7, 7, 0, 1), {{9, 0}}, {ticks(1), sleep(2 * hour - 2000), ticks(2)},
         {"signal 09:00:00", "ring 1 09:00:00"}},
        {"a stall of 90 s", at(12, 7, 7, 29, 0), {{7, 30}}, {ticks(1), stall(89000), ticks(2)},
         {"list 1 07/12 07:30:00 asleep"}},
        {"a stall of a minute comes late, as any late tick", at(12, 7, 7, 29, 30), {{7, 30}},
         {ticks(1), stall(59000), ticks(2)}, {"ring 1 07:30:30"}},
        {"two days asleep: the last time", at(12, 7, 7, 0, 1), {{7, 30}},
         {ticks(1), sleep(2 * day + 2 * hour + 5 * minute), ticks(2)},
         {"list 1 09/12 07:30:00 asleep"}},
        {"asleep across the night the clocks go back", at(10, 25, 1, 0, 1), {{2, 30}},
         {ticks(1), sleep(4 * hour + 5 * minute), ticks(2)}, {"list 1 25/10 02:30:00 asleep"}},
        {"set forward two hours by hand over an alarm", at(12, 7, 7, 0, 1), {{7, 30}},
         {ticks(1), step(2 * hour), ticks(2)}, {"list 1 07/12 07:30:00 set forward"}},
        {"asleep an hour, then set forward two: what the count did not see is sleep", at(12, 7, 7, 0, 1),
         {{7, 30}, {8, 30}}, {ticks(1), sleep(hour + 5 * minute), step(2 * hour), ticks(2)},
         {"list 1 07/12 07:30:00 asleep", "list 2 07/12 08:30:00 asleep"}},
        {"tomorrow's date set to hear the alarm, then back: tomorrow it rings", at(12, 7, 7, 29, 50), {{7, 30}},
         {ticks(1), step(day), ticks(15), step(-day), ticks(1), sleep(day - minute), ticks(60)},
         {"list 1 07/12 07:30:00 set forward", "ring 1 07:30:00", "ring 1 07:30:00"}},
        {"a slot changed after it rang rings again", at(12, 7, 7, 29, 58), {{7, 30}},
         {ticks(3), slot(1, 7, 31), slot(1, 7, 30), step(-3 * minute), ticks(200)},
         {"ring 1 07:30:00", "ring 1 07:30:00"}},
        // Corrections across a change of clocks are corrections, walked through the change.
        {"spring: 4 min forward at 01:58 over the jump", at(3, 28, 1, 57, 58, 2027), {{2, 30}},
         {ticks(2), step(4 * minute), ticks(1)}, {"signal 03:02:00", "ring 1 03:02:00"}},
        {"autumn: 3 min forward at 02:58:30 summer time", at(10, 25, 1, 59, 58), {{2, 30}, {2, 45}},
         {ticks(3512), step(3 * minute), ticks(2700)}, {"signal 02:00:00", "ring 1 02:30:00", "ring 2 02:45:00"}},
        {"autumn: 3 min back at 02:01 winter time", at(10, 25, 2, 59, 58), {{2, 30}},
         {ticks(62), step(-3 * minute), ticks(200)}, {"signal 02:00:00"}},
        {"10 min back in the tick that crossed the alarm: it rang, it rings again", at(12, 7, 7, 29, 59), {{7, 30}},
         {ticks(1), step(-10 * minute), ticks(601)}, {"ring 1 07:20:00", "ring 1 07:30:00"}},
        {"woken in the minute the clocks go back", at(10, 25, 1, 30, 0), {{2, 0}},
         {ticks(1), sleep(hour + 30 * minute + 19000), ticks(1)}, {"signal 02:00:20", "ring 1 02:00:20"}},
        {"three days ahead, back, then corrected back", at(12, 7, 7, 29, 58), {{7, 30}},
         {ticks(3), step(3 * day), ticks(2), step(-3 * day), ticks(60), step(-2 * minute), ticks(100)},
         {"ring 1 07:30:00", "list 1 10/12 07:30:00 set forward"}},
        {"to London at the spring jump: its own jump rings", at(3, 28, 1, 57, 58, 2027), {{1, 30}, {1, 59}},
         {ticks(2), zone(london), ticks(200)}, {"signal 02:00:00", "ring 1 02:00:00", "ring 2 02:00:00"}},
        {"from London to Paris 3 min before both go back", at(10, 25, 2, 56, 58), {{2, 30}},
         {zone(london), ticks(2), zone(paris), ticks(2)}, {"list 1 25/10 02:30:00 zone"}},
        {"asleep in Paris at 23:00, woken in London at 05:00", at(12, 7, 23, 0, 0), {{5, 30}, {6, 0}},
         {ticks(1), zone(london), sleep(7 * hour - 1000), ticks(3602)},
         {"signal 23:00:00", "signal 05:00:00", "ring 1 05:30:00", "signal 06:00:00", "ring 2 06:00:00"}},
        {"a reading at the spring jump with the winter offset", at(3, 28, 1, 59, 58, 2027), {{2, 30}},
         {ticks(2), readWith(3600), ticks(2)}, {"signal 02:00:00", "ring 1 02:00:00"}},
        {"autumn: rung at the first 02:30, a stall over the second", at(10, 25, 2, 29, 58), {{2, 30}},
         {ticks(3), stall(hour + 30000), ticks(1)}, {"ring 1 02:30:00"}},
        {"a wall clock 10 ms behind the count", at(12, 7, 7, 29, 58), {{7, 30}},
         {ticks(2), step(-10), ticks(2)}, {"ring 1 07:30:00"}},
    };
    for (const auto& c : cases) {
        ClockRun run(paris, c.from, c.alarms);
        for (const Then& then : c.run) {
            switch (then.kind) {
            case Then::ticks: run.ticks(static_cast<int>(then.amount)); break;
            case Then::sleep:
                run.clock.advance(then.amount);
                run.resumed();
                break;
            case Then::stall: run.clock.advance(then.amount); break;
            case Then::step: run.clock.utc.ms += then.amount; break;
            case Then::zone: run.clock.changeZone(*then.to); break;
            case Then::slot: run.configure(then.slotNumber, {then.hour, then.minute}); break;
            case Then::readWith: run.clock.readingOffset = then.amount; break;
            }
        }
        EXPECT_EQ(run.told, c.told) << c.what;
    }
}

// Both nights the clocks change in Paris, the clock ticking each second for
// four hours around the change, with alarms at 01:59, 02:00, 02:30, 02:59
// and 03:00 in slots 1 to 5. Each moment is shown with the offset of the
// wall clock it was read on.
TEST(ClockChange, OnTheNightsTheClocksChangeEachAlarmComesOnceAndTheSignalFollowsTheShownTime) {
    const struct {
        const char* night;
        std::int64_t change;  // UTC seconds
        std::vector<std::string> signals;
        std::array<std::vector<std::string>, 5> alarms;
        const TimeZone* zone = nullptr;  // Paris unless said
    } nights[] = {
        {"spring, 02:00 becomes 03:00", testing::FrenchZone::change(2027, 3),
         {"00:00:00 +1", "01:00:00 +1", "03:00:00 +2", "04:00:00 +2"},
         {{{"01:59:00 +1"}, {"03:00:00 +2"}, {"03:00:00 +2"}, {"03:00:00 +2"}, {"03:00:00 +2"}}}},
        {"autumn, 03:00 becomes 02:00", testing::FrenchZone::change(2026, 10),
         {"01:00:00 +2", "02:00:00 +2", "03:00:00 +1"},
         {{{"01:59:00 +2"}, {"02:00:00 +2"}, {"02:30:00 +2"}, {"02:59:00 +2"}, {"03:00:00 +1"}}}},
        // Lord Howe's half hours (the offsets shown in whole hours: +10 is 10:30).
        {"Lord Howe, spring: 02:00 becomes 02:30", testing::lordHoweRules().begins()(2026),
         {"00:00:00 +10", "01:00:00 +10", "02:30:00 +11", "03:00:00 +11", "04:00:00 +11"},
         {{{"01:59:00 +10"}, {"02:30:00 +11"}, {"02:30:00 +11"}, {"02:59:00 +11"}, {"03:00:00 +11"}}},
         &testing::lordHoweRules()},
        {"Lord Howe, autumn: 02:00 becomes 01:30", testing::lordHoweRules().ends()(2027),
         {"00:00:00 +11", "01:00:00 +11", "02:00:00 +10", "03:00:00 +10"},
         {{{"01:59:00 +11"}, {"02:00:00 +10"}, {"02:30:00 +10"}, {"02:59:00 +10"}, {"03:00:00 +10"}}},
         &testing::lordHoweRules()},
    };
    const int alarmTimes[][2] = {{1, 59}, {2, 0}, {2, 30}, {2, 59}, {3, 0}};
    for (const auto& night : nights) {
        const TimeZone& zone = night.zone ? *night.zone : static_cast<const TimeZone&>(paris);
        testing::FakeClock clock;
        clock.useZone(zone);
        clock.utc = Instant{(night.change - 7320) * 1000 + 2};
        AlarmTable alarms;
        for (int n = 1; n <= 5; ++n)
            alarms.configure(n, {alarmTimes[n - 1][0], alarmTimes[n - 1][1], L"", L"", false, L""});
        ClockWatch watch;
        RecurringMoment fullHours{3600};
        std::vector<std::string> signals;
        std::array<std::vector<std::string>, 5> fired;
        for (int k = 0; k < 4 * 3600; ++k) {
            const ClockReading now = clock.read();
            const std::string shown = hms(now.local) + " +" + std::to_string(utcOffsetSeconds(zone, now.utc) / 3600);
            if (fullHours.take(watch.advance(now, zone), 0).rings) signals.push_back(shown);
            for (const int n : alarms.takeDueSlots(now, zone).slots)
                fired[static_cast<std::size_t>(n - 1)].push_back(shown);
            clock.advance(1000);
        }
        EXPECT_EQ(signals, night.signals) << night.night;
        EXPECT_EQ(fired, night.alarms) << night.night;
    }
}

// A countdown by date ends at the chosen moment of the clock the user sees
// (its box up a little before), whatever corrects or changes the clock on
// the way.
TEST(ClockChange, ACountdownByDateEndsAtItsMomentWhateverMovesTheClock) {
    const struct {
        const char* what;
        std::int64_t stepMs;
        const TimeZone* zoneTo;
    } cases[] = {
        {"nothing moves the clock", 0, nullptr},
        {"the time service steps 2 min forward", 2 * minute, nullptr},
        {"the clock is set back 2 min", -2 * minute, nullptr},
        {"the zone becomes New York's", 0, &newYork},
        {"the zone becomes Tokyo's, past the moment: it ends at once", 0, &tokyo},
    };
    for (const auto& c : cases) {
        testing::FakeClock clock;
        testing::FakeShell shell;
        testing::FakeBoxes boxes;
        clock.useZone(paris);
        clock.setLocal(at(12, 7, 11, 0, 0));
        CountdownTable table;
        table.configureByDate(1, {2026, 12, 7, 12, 0, 0, 0}, L"Midi", L"", false, L"", clock.read(), clock.zone());
        std::string ended;
        for (int k = 0; k < 8 * 3600 && ended.empty(); ++k) {
            if (k == 600) {
                clock.utc.ms += c.stepMs;
                if (c.zoneTo) clock.changeZone(*c.zoneTo);
            }
            table.tick(clock, shell, boxes, [](int, const std::wstring&) {});
            if (!boxes.shown.empty()) ended = hms(clock.now());
            clock.advance(1000);
        }
        EXPECT_EQ(ended, c.zoneTo == &tokyo ? "19:10:00" : "11:59:44") << c.what;
    }
}

// The moment of real time the computer is woken for: the earliest armed
// slot's next reading, the jump for a skipped one, the first showing of one
// shown twice (the second once the first is past), on the nights of three
// zones' changes, half-hour ones included.
TEST(ClockChange, TheNextMomentThatRingsLiesInRealTimeByTheZonesRules) {
    const struct {
        const TimeZone& zone;
        LocalTime nowUtc;
        std::vector<std::pair<int, int>> alarms;  // slots 1, 2...; hour -1: disarmed
        LocalTime nextUtc;
        int slot;
    } cases[] = {
        {testing::parisRules(), at(3, 27, 22, 0, 0, 2027), {{2, 30}}, at(3, 28, 1, 0, 0, 2027), 1},
        {testing::parisRules(), at(10, 30, 22, 0, 0, 2027), {{2, 30}}, at(10, 31, 0, 30, 0, 2027), 1},
        {testing::parisRules(), at(10, 31, 1, 15, 0, 2027), {{2, 30}}, at(10, 31, 1, 30, 0, 2027), 1},
        {testing::parisRules(), at(10, 31, 1, 45, 0, 2027), {{-1, 0}, {2, 30}}, at(11, 1, 1, 30, 0, 2027), 2},
        {testing::newYorkRules(), at(3, 14, 6, 0, 0, 2027), {{7, 0}, {2, 30}}, at(3, 14, 7, 0, 0, 2027), 2},
        {testing::newYorkRules(), at(11, 7, 4, 0, 0, 2027), {{1, 30}, {1, 31}}, at(11, 7, 5, 30, 0, 2027), 1},
        {testing::lordHoweRules(), at(10, 2, 15, 0, 0, 2027), {{2, 15}}, at(10, 2, 15, 30, 0, 2027), 1},
        {testing::lordHoweRules(), at(4, 3, 14, 0, 0, 2027), {{1, 45}}, at(4, 3, 14, 45, 0, 2027), 1},
        // The second of now is gone by: tomorrow's readings.
        {tokyo, at(12, 31, 20, 0, 0), {{-1, 0}, {-1, 0}, {4, 59}, {5, 0}}, at(1, 1, 19, 59, 0, 2027), 3},
    };
    for (const auto& c : cases) {
        AlarmTable table;
        for (std::size_t n = 1; n <= c.alarms.size(); ++n) {
            const auto [h, m] = c.alarms[n - 1];
            table.configure(static_cast<int>(n), {std::max(h, 0), m, L"", L"", false, L""});
            if (h < 0) table.disarm(static_cast<int>(n));
        }
        const Instant now{wallSeconds(c.nowUtc) * 1000};
        const auto next = table.nextRing({c.zone.localAt(now), now, 0}, c.zone);
        ASSERT_TRUE(next.has_value());
        EXPECT_EQ(dm(wallTimeAt(next->at.seconds())) + " " + hms(wallTimeAt(next->at.seconds())),
                  dm(c.nextUtc) + " " + hms(c.nextUtc))
            << "from " << dm(c.nowUtc) << " " << hms(c.nowUtc) << " UTC";
        EXPECT_EQ(next->slot, c.slot);
    }
    EXPECT_FALSE(AlarmTable().nextRing(testing::FakeClock().read(), tokyo)) << "nothing armed";
}

// Where a wall-clock reading lies in real time, in a zone that changes its
// clocks and in one that never does.
TEST(ClockChange, AReadingSkippedStandsForTheJumpAndAReadingShownTwiceForTheFirstTime) {
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
    const testing::FixedZone fixed(3600);
    enum Kind { Countdown, Elapsed };
    const struct {
        const char* name;
        Kind kind;
        const TimeZone& zone;
        LocalTime now, other;
        std::int64_t realMinusWall;
        std::int64_t nowLaterMs = 0;  // now, that much real time after the reading's first showing
    } cases[] = {
        {"set in winter for June", Countdown, paris, at(12, 7, 10, 30, 15), at(6, 1, 0, 0, 0, 2027), -3600},
        {"set in summer for Christmas", Countdown, paris, at(6, 1, 12, 0, 0, 2027), at(12, 24, 18, 0, 0, 2027), 3600},
        {"for a moment the clocks skip: the jump", Countdown, paris, at(3, 28, 1, 0, 0, 2027),
         at(3, 28, 2, 30, 0, 2027), -1800},
        {"for a moment shown twice: the first", Countdown, paris, at(10, 25, 1, 0, 0), at(10, 25, 2, 30, 0), 0},
        {"set in the repeated hour for its second showing", Countdown, paris, at(10, 25, 2, 10, 0),
         at(10, 25, 2, 30, 0), 0, hour},
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
        const Instant now{instantOf(c.zone, c.now).ms + c.nowLaterMs};
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

// What the user reads after waking: one box for all the alarms missed, after
// the alarm of this very second, with no file opened for them.
TEST(ClockChange, TheMissedAlarmsAreListedInOneBoxAfterTheTick) {
    testing::FakeClock clock;
    testing::FakeFormats formats;
    testing::FakeShell shell;
    testing::FakeBoxes boxes;
    std::vector<std::wstring> log;
    shell.log = boxes.log = &log;
    testing::FakeWakeTimer wakeTimer;
    testing::FakeStayAwake stayAwake;
    AlarmWaking waking(wakeTimer, stayAwake);
    AlarmTable table;
    table.configure(1, {7, 30, L"Réveil", L"Debout", true, L"C:\\radio.exe"});
    table.configure(2, {9, 0, L"Café", L"", true, L"C:\\cafe.exe"});
    table.configure(4, {8, 15, L"Médicaments", L"", false, L""});
    clock.setLocal({2026, 12, 7, 7, 0, 0, 2});
    for (const std::int64_t asleep : {0, 2 * 3600000}) {
        clock.advance(asleep);
        if (asleep != 0) table.resumed();
        CheckAlarms(table, decodeTick(clock.read()), {clock.zone(), formats, shell, boxes, waking}, [](auto&) {});
    }
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0], L"open C:\\cafe.exe") << "the alarm of this second rings first";
    EXPECT_EQ(boxes.shown[1].title, L"Alarmes manquées !");
    EXPECT_EQ(boxes.shown[1].text, L"Ces alarmes n'ont pas sonné, car l'ordinateur était en veille ou occupé :\r\n"
                                   L"Alarme n°1 : Réveil, prévue le 07/12/2026 à 07:30:00\r\n"
                                   L"Alarme n°4 : Médicaments, prévue le 07/12/2026 à 08:15:00");
    EXPECT_EQ(boxes.shown[1].style, box::ok | box::iconExclamation | box::setForeground | box::topMost);

    // Asleep an hour, then the clock set forward: one box for each reason,
    // in the order the clock went; then the zone moved east.
    boxes.shown.clear();
    table.configure(1, {9, 40, L"Réveil", L"", false, L""});
    table.configure(3, {10, 15, L"Réunion", L"", false, L""});
    table.configure(5, {14, 0, L"Train", L"", false, L""});
    clock.advance(3600000);
    table.resumed();
    CheckAlarms(table, decodeTick(clock.read()), {clock.zone(), formats, shell, boxes, waking}, [](auto&) {});
    clock.utc.ms += 1800000;
    clock.advance(1000);
    CheckAlarms(table, decodeTick(clock.read()), {clock.zone(), formats, shell, boxes, waking}, [](auto&) {});
    clock.advance(1000);
    clock.changeZone(tokyo);
    CheckAlarms(table, decodeTick(clock.read()), {clock.zone(), formats, shell, boxes, waking}, [](auto&) {});
    std::vector<std::wstring> texts;
    for (const auto& shown : boxes.shown) texts.push_back(shown.title + L" " + shown.text);
    EXPECT_EQ(texts, (std::vector<std::wstring>{
                         L"Alarme manquée ! Cette alarme n'a pas sonné, car l'ordinateur était en veille ou occupé :\r\n"
                         L"Alarme n°1 : Réveil, prévue le 07/12/2026 à 09:40:00",
                         L"Alarme manquée ! Cette alarme n'a pas sonné, car l'horloge de l'ordinateur a été avancée :\r\n"
                         L"Alarme n°3 : Réunion, prévue le 07/12/2026 à 10:15:00",
                         L"Alarme manquée ! Cette alarme n'a pas sonné, car le fuseau horaire de l'ordinateur a changé :\r\n"
                         L"Alarme n°5 : Train, prévue le 07/12/2026 à 14:00:00"}));
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
