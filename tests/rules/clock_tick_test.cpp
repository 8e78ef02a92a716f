#include "common/clock_tick.hpp"

#include <gtest/gtest.h>

#include "common/calendar.hpp"
#include "common/error_text.hpp"

namespace orvane {
namespace {

LocalTime at(int year, int month, int day, int hour, int minute, int second, int ms = 0) {
    return LocalTime{static_cast<std::uint16_t>(year), static_cast<std::uint16_t>(month),
                     static_cast<std::uint16_t>(day), static_cast<std::uint16_t>(hour),
                     static_cast<std::uint16_t>(minute), static_cast<std::uint16_t>(second),
                     static_cast<std::uint16_t>(ms)};
}

TEST(DayName, FollowsTheCalendarThroughAWeekAndAcrossYearsAndLeapDays) {
    const struct {
        LocalTime date;
        const wchar_t* name;
    } cases[] = {
        {at(2026, 12, 7, 0, 0, 0), L"Lundi"},     {at(2026, 12, 8, 0, 0, 0), L"Mardi"},
        {at(2026, 12, 9, 0, 0, 0), L"Mercredi"},  {at(2026, 12, 10, 0, 0, 0), L"Jeudi"},
        {at(2026, 12, 11, 0, 0, 0), L"Vendredi"}, {at(2026, 12, 12, 0, 0, 0), L"Samedi"},
        {at(2026, 12, 13, 23, 59, 59), L"Dimanche"},
        {at(2027, 1, 1, 0, 0, 0), L"Vendredi"},   {at(2024, 2, 29, 12, 0, 0), L"Jeudi"},
        {at(2000, 3, 1, 0, 0, 0), L"Mercredi"},   {at(1900, 3, 1, 0, 0, 0), L"Jeudi"},
        {at(1601, 1, 1, 0, 0, 0), L"Lundi"},      {at(30827, 12, 31, 0, 0, 0), L"Vendredi"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(dayName(c.date), c.name) << c.date.year << "-" << c.date.month << "-" << c.date.day;
}

TEST(ClockTick, DecodesTheFieldsAndDropsTheMilliseconds) {
    const LocalTime now = at(2026, 12, 7, 14, 5, 9, 999);
    const TickFields tick = decodeTick(ClockReading{now, {}, 0});
    EXPECT_EQ(tick.TickTime, now);
    EXPECT_EQ(tick.TickHour, 14);
    EXPECT_EQ(tick.TickMinute, 5);
    EXPECT_EQ(tick.TickSecond, 9);
}

TEST(TrayCaption, IsRewrittenAtTheFirstTickOfEachNewHourAndMinute) {
    std::int32_t lastHour = 0, lastMinute = 0;
    const auto update = [&](int day, int h, int m, int s) {
        return trayCaptionUpdate(lastHour, lastMinute, decodeTick(ClockReading{at(2026, 12, day, h, m, s), {}, 0}));
    };
    // A start during 00:00 keeps the initial caption until 00:01.
    EXPECT_EQ(update(7, 0, 0, 30), std::nullopt);
    EXPECT_EQ(update(7, 0, 1, 0), L"Orvane - 00:01");
    EXPECT_EQ(update(7, 0, 1, 59), std::nullopt);
    EXPECT_EQ(update(7, 9, 5, 0), L"Orvane - 09:05");
    // A sleep of exactly whole hours lands on the same minute of another hour.
    EXPECT_EQ(update(7, 12, 5, 0), L"Orvane - 12:05");
    EXPECT_EQ(update(8, 12, 5, 1), std::nullopt);
    EXPECT_EQ(update(8, 0, 0, 0), L"Orvane - 00:00");
    EXPECT_EQ(lastHour, 0);
}

TEST(ClockTimer, WaitsUntilJustAfterTheNextSecondBoundary) {
    const struct {
        std::uint16_t ms;
        int delay;
    } cases[] = {
        {0, 1000 + clockTimerMarginMs},
        {1, 999 + clockTimerMarginMs},
        {370, 630 + clockTimerMarginMs},
        {999, 1 + clockTimerMarginMs},
        {1000, 1 + clockTimerMarginMs},  // a leap-second reading never asks for a wait of 0
    };
    for (const auto& c : cases) {
        EXPECT_EQ(clockTimerDelay(c.ms), c.delay) << c.ms;
        // Whatever the phase, the next tick lands after the next boundary and
        // within the margin of it.
        const int landing = (c.ms < 1000 ? c.ms : 999) + c.delay;
        EXPECT_GT(landing, 1000);
        EXPECT_LE(landing, 1000 + clockTimerMarginMs + 1);
    }
}

TEST(ClockTimer, IsLeftAloneWhileItsTicksLandJustAfterTheBoundary) {
    const struct {
        std::uint16_t ms;
        int period;
        std::optional<int> set;
    } cases[] = {
        {5, 1000, std::nullopt},
        {clockTimerMarginMs, 1000, std::nullopt},
        {clockTimerMarginMs + clockTimerSlackMs, 1000, std::nullopt},
        {7, 630 + clockTimerMarginMs, 1000},  // landed after an alignment: back to a second
        {clockTimerMarginMs + clockTimerSlackMs + 1, 1000, 1000 - clockTimerSlackMs - 1},  // late
        {1, 1000, 999 + clockTimerMarginMs},    // drifting towards the old second
        {999, 1000, 1 + clockTimerMarginMs},    // early: still in the old second
        {370, 1000, 630 + clockTimerMarginMs},  // the first tick
        {370, 630 + clockTimerMarginMs, 630 + clockTimerMarginMs},
    };
    for (const auto& c : cases) EXPECT_EQ(steadyTimerPeriod(clockTimerDelay(c.ms), c.period), c.set) << c.ms << " " << c.period;
    // The counts' timers by the same rule, from the wait to their next
    // second: a stopwatch's margin is a millisecond; five countdowns share one
    // timer, each pass aiming at the next one's second.
    const struct {
        int period, delay;
        std::optional<int> set;
    } waits[] = {
        {1000, 1001, 1001},  // a pass on its very boundary: a hair later next time
        {1001, 1000, 1000},
        {1000, 999, std::nullopt},
        {1000, 151, 151},  // the next second is another countdown's
        {151, 151, 151},   // set again: the period counts from this pass
    };
    for (const auto& w : waits) {
        SteadyTimer timer;
        timer.set(w.period);
        EXPECT_EQ(timer.follow(w.delay), w.set) << w.period << " " << w.delay;
    }
}

TEST(ErrorBoxText, AddsAFullStopOnlyAfterACharacterThatSortsAfterIt) {
    const struct {
        const wchar_t* text;
        const wchar_t* shown;
    } cases[] = {
        {L"Impossible d'écrire dans C:\\x.ini", L"Impossible d'écrire dans C:\\x.ini."},
        {L"valeur 12", L"valeur 12."},
        {L"Erreur Chargement Pendule !", L"Erreur Chargement Pendule !"},
        {L"Déjà fini.", L"Déjà fini."},
        {L"tiret -", L"tiret -"},
        {L"slash /", L"slash /."},
        {L"entre (parenthèses)", L"entre (parenthèses)"},
        {L"extension (.é", L"extension (.é."},
        {L"", L""},
    };
    for (const auto& c : cases) EXPECT_EQ(errorBoxText(c.text), c.shown);
}

}  // namespace
}  // namespace orvane

namespace orvane {
namespace {

TEST(Calendar, CountsWholeDaysAndSecondsAcrossMonthsYearsAndLeapDays) {
    EXPECT_EQ(daysFromCivil(1970, 1, 1), 0);
    EXPECT_EQ(daysFromCivil(1969, 12, 31), -1);
    EXPECT_EQ(daysFromCivil(2024, 3, 1) - daysFromCivil(2024, 2, 28), 2);
    EXPECT_EQ(daysFromCivil(2023, 3, 1) - daysFromCivil(2023, 2, 28), 1);
    EXPECT_EQ(daysFromCivil(2100, 3, 1) - daysFromCivil(2100, 2, 28), 1);
    EXPECT_EQ(daysFromCivil(2027, 1, 1) - daysFromCivil(2026, 1, 1), 365);
    EXPECT_EQ(wallSeconds(LocalTime{2026, 12, 8, 0, 0, 0, 999}) - wallSeconds(LocalTime{2026, 12, 7, 23, 59, 59, 0}), 1);
    EXPECT_EQ(wallSeconds(LocalTime{1970, 1, 2, 1, 1, 1, 0}), 90061);
}

TEST(Calendar, ReadsBackEveryReadingFromItsSecondsAndCountsDaysPastAMonthsEnd) {
    const LocalTime readings[] = {{1601, 1, 1, 0, 0, 0, 0},      {1969, 12, 31, 23, 59, 59, 0},
                                  {1970, 1, 1, 0, 0, 0, 0},      {2024, 2, 29, 12, 30, 45, 0},
                                  {2100, 2, 28, 23, 59, 59, 0},  {30827, 12, 31, 23, 59, 59, 0}};
    for (const LocalTime& t : readings)
        EXPECT_EQ(wallTimeAt(wallSeconds(t)), t) << t.year << "-" << t.month << "-" << t.day;
    EXPECT_EQ(wallTimeAt(-1), (LocalTime{1969, 12, 31, 23, 59, 59, 0}));
    EXPECT_EQ(daysFromCivil(2023, 2, 30), daysFromCivil(2023, 3, 2));
    EXPECT_EQ(daysFromCivil(2024, 3, 0), daysFromCivil(2024, 2, 29));
}

}  // namespace
}  // namespace orvane
