#include "countdowns/countdown_table.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "support/fake_services.hpp"

namespace orvane {
namespace {

using testing::FakeBoxes;
using testing::FakeClock;
using testing::FakeShell;

// A table with its world: a clock the test moves, and the labels the tick wrote.
struct Countdowns {
    CountdownTable table;
    FakeClock clock;
    FakeShell shell;
    FakeBoxes boxes;
    std::map<int, std::wstring> labels;
    int writes = 0;

    void start(int n, std::int64_t total, const std::wstring& name = L"Thé", const std::wstring& message = L"Prêt") {
        table.configure(n, total, name, message, false, L"", clock.monotonic);
    }
    // The timer event at the given monotonic time.
    void tickAt(std::int64_t ms) {
        clock.monotonic = ms;
        table.tick(clock, shell, boxes, [this](int n, const std::wstring& text) {
            labels[n] = text;
            ++writes;
        });
    }
};

TEST(CountdownText, ShowsHoursMinutesSecondsWithAsManyHourDigitsAsNeeded) {
    const struct {
        std::int64_t seconds;
        const wchar_t* text;
    } cases[] = {
        {0, L"00:00:00"},        {59, L"00:00:59"},         {60, L"00:01:00"},
        {3600, L"01:00:00"},     {86399, L"23:59:59"},      {86400, L"24:00:00"},
        {90061, L"25:01:01"},    {360000, L"100:00:00"},    {864086399, L"240023:59:59"},
        {9000000000005, L"2500000000:00:05"},  // beyond 32 bits: a date years ahead
        {-5, L"00:00:00"},
    };
    for (const auto& c : cases) EXPECT_EQ(countdownText(c.seconds), c.text) << c.seconds;
}

TEST(CountdownEnd, TextNamesTheSlotAndCarriesTheMessageOnItsSecondLine) {
    CountdownSlot slot;
    slot.Name = L"Pâtes";
    slot.Message = L"Égoutter";
    EXPECT_EQ(countdownEndText(2, slot), L"Compte à rebours n°2 : Pâtes est terminé.\r\nÉgoutter");
    slot.Name = L"";
    slot.Message = L"";
    EXPECT_EQ(countdownEndText(4, slot), L"Compte à rebours n°4 :  est terminé.\r\n");
    EXPECT_EQ(countdownEndText(5, CountdownSlot{}), L"Compte à rebours n°5 : Non défini est terminé.\r\nNon défini");
}

TEST(CountdownTick, ADurationOfDShowsEachSecondAndEndsOnTickDPlusOne) {
    for (const std::int64_t d : {0, 1, 3, 5}) {
        Countdowns c;
        c.clock.monotonic = 5000;
        c.start(2, d);
        // The timer's phase is its own: here 370 ms after the start.
        for (std::int64_t k = 1; k <= d; ++k) {
            c.tickAt(5000 + 370 + (k - 1) * 1000);
            EXPECT_EQ(c.labels[2], countdownText(d - k)) << "D=" << d << " tick " << k;
            EXPECT_TRUE(c.boxes.shown.empty());
        }
        c.tickAt(5000 + 370 + d * 1000);
        ASSERT_EQ(c.boxes.shown.size(), 1u) << "D=" << d;
        EXPECT_EQ(c.boxes.shown[0].text, L"Compte à rebours n°2 : Thé est terminé.\r\nPrêt");
        EXPECT_EQ(c.boxes.shown[0].title, L"Compte à rebours terminé !");
        EXPECT_EQ(c.boxes.shown[0].style, box::ok | box::iconExclamation | box::setForeground | box::topMost);
        EXPECT_EQ(c.labels[2], L"00:00:00");
        EXPECT_EQ(c.table.Remaining(2), 0);
        EXPECT_EQ(c.table.slot(2).Status, L"nook");

        // An ended countdown never moves again by itself.
        const int writes = c.writes;
        c.tickAt(5000 + 370 + (d + 5) * 1000);
        EXPECT_EQ(c.boxes.shown.size(), 1u);
        EXPECT_EQ(c.writes, writes);
    }
}

TEST(CountdownTick, ZeroAndNegativeTotalsEndAtTheFirstTick) {
    for (const std::int64_t total : {0, -7, -86417}) {
        Countdowns c;
        c.start(1, total);
        c.tickAt(20);  // however soon after the start
        EXPECT_EQ(c.boxes.shown.size(), 1u) << total;
        EXPECT_EQ(c.labels[1], L"00:00:00");
        EXPECT_FALSE(c.table.isRunning(1));
        EXPECT_EQ(c.table.Remaining(1), 0);
    }
}

TEST(CountdownTick, FollowsTheMonotonicClockThroughAStall) {
    Countdowns c;
    c.start(3, 60);
    c.tickAt(400);
    c.tickAt(1400);
    EXPECT_EQ(c.labels[3], L"00:00:58");
    // The program was busy for three seconds: one event for all of them.
    c.tickAt(4400);
    EXPECT_EQ(c.labels[3], L"00:00:55");
    EXPECT_EQ(c.table.Remaining(3), 55);
    // An extra event within the same second counts nothing.
    c.tickAt(4700);
    EXPECT_EQ(c.table.Remaining(3), 55);
    c.tickAt(5400);
    EXPECT_EQ(c.table.Remaining(3), 54);
    // A first event more than a second after the start counts every second
    // that passed.
    c.table.restart(3, 6000);
    c.tickAt(7010);
    EXPECT_EQ(c.table.Remaining(3), 58);
}

TEST(CountdownTick, TicksLateEveryTimeStillEndOnTimeAfterAnHour) {
    const std::int64_t hour = 3600;
    Countdowns c;
    c.start(1, hour);
    std::int64_t now = 0;
    std::int64_t previous = hour;
    int events = 0;
    while (c.boxes.shown.empty() && events < 5000) {
        now += 1015;  // every event a system tick late
        c.tickAt(now);
        ++events;
        ASSERT_LE(c.table.Remaining(1), previous) << "the count never goes up";
        previous = c.table.Remaining(1);
    }
    ASSERT_EQ(c.boxes.shown.size(), 1u);
    // Between D and D + 1 seconds after the start, and one late event at most beyond.
    EXPECT_GE(now, hour * 1000);
    EXPECT_LT(now, (hour + 1) * 1000 + 15);
    EXPECT_LT(events, hour + 1) << "counting events would have ended it ~55 s late";
}

TEST(CountdownTick, TwoCountdownsDueInTheSameSecondEachShowTheirOwnBox) {
    // Timers go on firing inside a box: the box below runs one more tick a
    // second later, as the system's box loop would.
    struct NestingBoxes final : MessageBoxes {
        std::function<void()> whileOpen;
        std::vector<std::wstring> shown;
        std::vector<int> depthAtShow;
        int depth = 0;
        int show(const std::wstring& text, const std::wstring&, std::uint32_t) override {
            shown.push_back(text);
            depthAtShow.push_back(depth);
            ++depth;
            if (depth == 1) whileOpen();
            --depth;
            return box::answerOk;
        }
    } boxes;
    Countdowns c;
    c.start(1, 2, L"un", L"");
    c.start(2, 2, L"deux", L"");
    c.start(3, 10, L"trois", L"");
    const auto tick = [&](std::int64_t ms) {
        c.clock.monotonic = ms;
        c.table.tick(c.clock, c.shell, boxes, [&](int n, const std::wstring& text) { c.labels[n] = text; });
    };
    boxes.whileOpen = [&] { tick(3500); };
    tick(500);
    tick(1500);
    // Both are due at this tick. The first box is shown; while it waits, the
    // next timer event ends the second one, which shows its box on top.
    tick(2500);
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[0].substr(0, 22), L"Compte à rebours n°1 :");
    EXPECT_EQ(boxes.shown[1].substr(0, 22), L"Compte à rebours n°2 :");
    EXPECT_EQ(boxes.depthAtShow, (std::vector<int>{0, 1}));
    // The third kept counting inside the box, and the pass that resumed after
    // it did not count the same second twice.
    EXPECT_EQ(c.table.Remaining(3), 6);
    EXPECT_EQ(c.labels[3], L"00:00:06");
    tick(4500);
    EXPECT_EQ(boxes.shown.size(), 2u) << "each ends once";
    EXPECT_EQ(c.table.Remaining(3), 5);
}

TEST(CountdownTick, OpensTheFileBeforeTheBoxOnlyWhenAskedAndNamed) {
    const struct {
        bool runFile;
        const wchar_t* path;
        bool opened;
    } cases[] = {
        {true, L"C:\\Sons\\gong.wav", true},
        {false, L"C:\\Sons\\gong.wav", false},
        {true, L"", false},  // no file chosen: the box alone, and no error
    };
    for (const auto& k : cases) {
        Countdowns c;
        c.table.configure(4, 0, L"x", L"y", k.runFile, k.path, 0);
        // The shell is asked before the box: record what has been shown by then.
        struct OrderedShell final : Shell {
            FakeBoxes* boxes = nullptr;
            std::vector<std::size_t> boxesShownAtOpen;
            std::vector<std::wstring> opened;
            void open(const std::wstring& path) override {
                opened.push_back(path);
                boxesShownAtOpen.push_back(boxes->shown.size());
            }
        } shell;
        shell.boxes = &c.boxes;
        c.table.tick(c.clock, shell, c.boxes, [](int, const std::wstring&) {});
        EXPECT_EQ(c.boxes.shown.size(), 1u);
        EXPECT_EQ(!shell.opened.empty(), k.opened) << k.path;
        if (k.opened) {
            EXPECT_EQ(shell.opened[0], k.path);
            EXPECT_EQ(shell.boxesShownAtOpen[0], 0u);
        }
    }
}

TEST(CountdownTable, StartsWithFiveStoppedUnnamedCountdowns) {
    CountdownTable table;
    for (int n = 1; n <= 5; ++n) {
        const CountdownSlot& s = table.slot(n);
        EXPECT_EQ(s.Status, L"nook");
        EXPECT_EQ(s.Name, L"Non défini");
        EXPECT_EQ(s.Message, L"Non défini");
        EXPECT_EQ(s.DurationText, L"0");
        EXPECT_FALSE(s.RunFile);
        EXPECT_EQ(s.FilePath, L"");
        EXPECT_EQ(table.Remaining(n), 0);
    }
    EXPECT_THROW(table.slot(0), std::out_of_range);
    EXPECT_THROW(table.restart(6, 0), std::out_of_range);
}

TEST(CountdownTable, ClearingKeepsTheDurationAndFileUntilTheNextSetup) {
    Countdowns c;
    c.table.configure(5, 600, L"Four", L"Sortir le gâteau", true, L"C:\\a.wav", 0);
    c.tickAt(100);
    c.table.clear(5);
    const CountdownSlot& s = c.table.slot(5);
    EXPECT_FALSE(c.table.isRunning(5));
    EXPECT_EQ(c.table.Remaining(5), 0);
    EXPECT_EQ(s.Name, L"Non défini");
    EXPECT_EQ(s.Message, L"Non défini");
    EXPECT_EQ(s.DurationText, L"600");
    EXPECT_TRUE(s.RunFile);
    EXPECT_EQ(s.FilePath, L"C:\\a.wav");
    c.tickAt(5000);
    EXPECT_EQ(c.table.Remaining(5), 0) << "a stopped slot does not move";
}

TEST(CountdownTable, RestartBeginsAgainFromTheFullDurationInEveryState) {
    Countdowns c;
    // Running: back to the full duration, counted from the restart.
    c.start(1, 100);
    for (int k = 1; k <= 10; ++k) c.tickAt(k * 1000 - 500);
    EXPECT_EQ(c.table.Remaining(1), 90);
    c.clock.monotonic = 9800;
    c.table.restart(1, c.clock.monotonic);
    EXPECT_EQ(c.table.Remaining(1), 100);
    c.tickAt(10500);
    EXPECT_EQ(c.labels[1], L"00:01:39");

    // Ended: runs again without a new setup.
    c.clock.monotonic = 10600;
    c.start(2, 1);
    c.tickAt(11500);
    c.tickAt(12500);
    ASSERT_EQ(c.boxes.shown.size(), 1u);
    c.table.restart(2, 12600);
    EXPECT_TRUE(c.table.isRunning(2));
    c.tickAt(13500);
    EXPECT_EQ(c.labels[2], L"00:00:00");
    c.tickAt(14500);
    EXPECT_EQ(c.boxes.shown.size(), 2u);

    // Never configured: a duration of zero ends at the next tick, unnamed.
    c.table.restart(3, 14600);
    c.tickAt(15500);
    ASSERT_EQ(c.boxes.shown.size(), 3u);
    EXPECT_EQ(c.boxes.shown[2].text, L"Compte à rebours n°3 : Non défini est terminé.\r\nNon défini");
}

TEST(CountdownTable, ConfigureWritesEveryFieldAndStartsAtOnce) {
    Countdowns c;
    c.table.configure(3, -12, L"", L"m", true, L"", 0);
    const CountdownSlot& s = c.table.slot(3);
    EXPECT_EQ(s.Status, L"ok");
    EXPECT_EQ(s.DurationText, L"-12");
    EXPECT_EQ(c.table.Remaining(3), -12);
    const std::int64_t far = 40LL * 365 * 86400 * 3;  // beyond 32 bits
    c.table.configure(3, far, L"Loin", L"", false, L"", 0);
    EXPECT_EQ(s.DurationText, std::to_wstring(far));
    c.tickAt(10);
    EXPECT_EQ(c.table.Remaining(3), far - 1);
    c.table.restart(3, 20);
    EXPECT_EQ(c.table.Remaining(3), far) << "the duration text is read back in full";
}

TEST(CountdownTotals, IntervalAndDateModes) {
    EXPECT_EQ(intervalTotal(0, 0, 0, 0), 0);
    EXPECT_EQ(intervalTotal(1, 1, 1, 1), 90061);
    EXPECT_EQ(intervalTotal(10000, 23, 59, 59), 864086399);

    const LocalTime now{2026, 12, 31, 10, 30, 15, 999};  // milliseconds are dropped
    const struct {
        int year, month, day, hour, minute, second;
        std::int64_t total;
    } cases[] = {
        {2026, 12, 31, 11, 30, 15, 3583},           // one hour ahead
        {2026, 12, 31, 10, 30, 25, -7},             // ten seconds ahead: ends at the first tick
        {2026, 12, 31, 10, 30, 32, 0},
        {2026, 12, 31, 0, 0, 0, -37832},            // earlier today
        {2027, 1, 1, 10, 30, 15, 86383},            // across the year
        {2028, 3, 1, 0, 0, 0, 36768568},            // across a leap day
        {2120, 1, 1, 0, 0, 0, 2934797368},          // beyond 32 bits
    };
    for (const auto& k : cases)
        EXPECT_EQ(dateTargetTotal(now, k.year, k.month, k.day, k.hour, k.minute, k.second), k.total)
            << k.year << "-" << k.month << "-" << k.day << " " << k.hour << ":" << k.minute << ":" << k.second;

    // One hour ahead shows 00:59:42 after the first tick.
    Countdowns c;
    c.start(1, dateTargetTotal(now, 2026, 12, 31, 11, 30, 15));
    c.tickAt(400);
    EXPECT_EQ(c.labels[1], L"00:59:42");
}

TEST(SpinField, TypedValuesComeBackIntoRange) {
    const struct {
        const wchar_t* text;
        int value;
    } cases[] = {
        {L"0", 0},    {L"7", 7},     {L"23", 23},   {L"24", 23},     {L"99999999999999999999", 23},
        {L"-3", 0},   {L"", 0},      {L"abc", 0},   {L"1a", 0},      {L" 12 ", 12},
        {L"+5", 5},   {L"-", 0},     {L"007", 7},
    };
    for (const auto& k : cases) EXPECT_EQ(spinFieldValue(k.text, 0, 23), k.value) << k.text;
    EXPECT_EQ(spinFieldValue(L"x", 5, 9), 5) << "no number counts as the lower bound";
}

}  // namespace
}  // namespace orvane
