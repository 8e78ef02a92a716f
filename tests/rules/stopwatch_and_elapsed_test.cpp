#include <gtest/gtest.h>

#include "elapsed/elapsed_count.hpp"
#include "stopwatches/stopwatch_table.hpp"
#include "support/time_zones.hpp"

namespace orvane {
namespace {

TEST(Stopwatch, ShowsHoursMinutesAndSecondsWithoutWrapping) {
    const struct {
        std::int64_t seconds;
        const wchar_t* text;
    } cases[] = {
        {0, L"00:00:00"},         {59, L"00:00:59"},          {60, L"00:01:00"},
        {3600, L"01:00:00"},      {86400, L"24:00:00"},       {90061, L"25:01:01"},
        {360000, L"100:00:00"},   {36000000, L"10000:00:00"},
    };
    for (const auto& c : cases) {
        StopwatchTable table;
        table.Start(1, 0);
        table.AdvanceStopwatch(1, c.seconds * 1000);
        EXPECT_EQ(stopwatchText(table.slot(1)), c.text) << c.seconds;
    }
}

TEST(Stopwatch, StartStopAndResetBehaveAsButtonsShould) {
    StopwatchTable table;
    table.Start(2, 1000);
    table.Start(2, 1600);  // a second start neither restarts nor speeds up
    EXPECT_TRUE(table.AdvanceStopwatch(2, 2000));
    EXPECT_EQ(stopwatchText(table.slot(2)), L"00:00:01");

    table.Stop(2, 4500);  // 3.5 s after the start
    EXPECT_EQ(stopwatchText(table.slot(2)), L"00:00:03");
    table.Stop(2, 9000);  // stopping a stopped watch changes nothing
    EXPECT_FALSE(table.AdvanceStopwatch(2, 20000)) << "a stopped watch does not count";
    EXPECT_EQ(stopwatchText(table.slot(2)), L"00:00:03");

    // The half second that had run goes on at the next start.
    table.Start(2, 30000);
    EXPECT_EQ(table.millisecondsToNextSecond(2, 30000), 500);
    EXPECT_FALSE(table.AdvanceStopwatch(2, 30499));
    EXPECT_TRUE(table.AdvanceStopwatch(2, 30500));
    EXPECT_EQ(stopwatchText(table.slot(2)), L"00:00:04");

    table.ResetStopwatch(2);  // while running: zero and stopped
    EXPECT_EQ(stopwatchText(table.slot(2)), L"00:00:00");
    EXPECT_FALSE(table.slot(2).running);
    EXPECT_FALSE(table.AdvanceStopwatch(2, 40000));
    EXPECT_EQ(table.slot(1).running, false) << "the others are untouched";
}

TEST(Stopwatch, FollowsTheRealTimeWhateverTheTimerDoes) {
    StopwatchTable table;
    table.Start(5, 0);
    // An hour of ticks each 15.6 ms late, with one stall of 3 s in the middle.
    std::int64_t now = 0;
    for (int tick = 1; now < 3600 * 1000; ++tick) {
        now += 1000 + 15;
        if (tick == 1800) now += 3000;
        table.AdvanceStopwatch(5, now);
    }
    const StopwatchSlot& s = table.slot(5);
    const std::int64_t counted = s.Hours * 3600LL + s.Minutes * 60 + s.Seconds;
    EXPECT_EQ(counted, now / 1000);
}

TEST(Elapsed, TheValueIsTheSecondsSinceTheMomentOnAClockThatNeverChanges) {
    const testing::FixedZone zone(3600);
    const Instant tenAm = instantOf(zone, {2026, 12, 7, 10, 0, 0, 0});
    auto since = [&](int year, int month, int day, int hour, int minute, int second) {
        auto u = [](int v) { return static_cast<std::uint16_t>(v); };
        return elapsedSecondsSince(zone, {u(year), u(month), u(day), u(hour), u(minute), u(second), 0}, tenAm);
    };
    EXPECT_EQ(since(2026, 12, 6, 0, 0, 0), 122400);
    EXPECT_EQ(since(2026, 12, 7, 10, 0, 0), 0);
    EXPECT_EQ(since(2026, 12, 7, 11, 1, 1), -3661);
    // 80 years back, 20 leap days among them: beyond 32 bits, counted exactly.
    EXPECT_EQ(since(1946, 12, 7, 10, 0, 0), (80 * 365 + 20) * 86400LL);
}

TEST(Elapsed, TheFourTextsFollowTheCount) {
    const struct {
        std::int64_t n;
        std::array<const wchar_t*, 4> texts;
    } cases[] = {
        {90061,
         {L"1 jour(s), 1 heures, 1 minute(s), et 1 seconde(s)", L"25 heures, 1 minute(s), et 1 seconde(s)",
          L"1501 minute(s), et 1 seconde(s)", L"90061 seconde(s)"}},
        {122400,
         {L"1 jour(s), 10 heures, 0 minute(s), et 0 seconde(s)", L"34 heures, 0 minute(s), et 0 seconde(s)",
          L"2040 minute(s), et 0 seconde(s)", L"122400 seconde(s)"}},
        {-3661,
         {L"0 jour(s), -1 heures, -1 minute(s), et -1 seconde(s)", L"-1 heures, -1 minute(s), et -1 seconde(s)",
          L"-61 minute(s), et -1 seconde(s)", L"-3661 seconde(s)"}},
        {2524608000LL,  // 80 years of days: past the 32-bit range
         {L"29220 jour(s), 0 heures, 0 minute(s), et 0 seconde(s)", L"701280 heures, 0 minute(s), et 0 seconde(s)",
          L"42076800 minute(s), et 0 seconde(s)", L"2524608000 seconde(s)"}},
    };
    for (const auto& c : cases) {
        const auto texts = elapsedTexts(c.n);
        for (int i = 0; i < 4; ++i) EXPECT_EQ(texts[static_cast<std::size_t>(i)], c.texts[static_cast<std::size_t>(i)]) << c.n;
    }
}

TEST(Elapsed, TheHeadingHasNoLeadingZeros) {
    EXPECT_EQ(elapsedHeading(L"06/12/2026", 9, 5, 0), L"Temps écoulé depuis le 06/12/2026 à 9:5:0");
}

TEST(Elapsed, TheCountRunsOnTheRealClockAndStopsAtZero) {
    ElapsedCount count;
    EXPECT_EQ(count.tick(1000), std::nullopt) << "stopped at start";
    count.begin(90061, 0);
    EXPECT_EQ(count.tick(999), std::nullopt);
    EXPECT_EQ(count.tick(1010), 90061) << "the first tick shows the value computed";
    EXPECT_EQ(count.tick(5020), 90065) << "a stall of 3 s is caught up, one second behind as always";
    EXPECT_EQ(count.ElapsedSeconds(), 90066);
    EXPECT_EQ(count.tick(3500), 90063) << "the clock set back 1.5 s: real time since the moment is less";
    EXPECT_EQ(count.tick(3600), std::nullopt);
    count.begin(2, 40000);
    EXPECT_EQ(count.tick(38000), -1) << "set back before a moment gone by: below zero";
    EXPECT_EQ(count.tick(45000), 6) << "and on when the clock is put right";

    count.begin(-3, 10000);  // "Voir !" again replaces the count
    EXPECT_EQ(count.tick(11000), -3);
    EXPECT_EQ(count.tick(15000), -1) << "a rising count stops at zero, shown as -1";
    EXPECT_EQ(count.ElapsedSeconds(), 0);
    EXPECT_EQ(count.tick(20000), std::nullopt);

    count.begin(0, 30000);
    EXPECT_EQ(count.tick(31000), std::nullopt) << "a zero count does not run";
}

}  // namespace
}  // namespace orvane
