#include "countdowns/countdown_table.hpp"
#include "common/spin_field.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "support/fake_services.hpp"

namespace orvane {
namespace {

// A read of a clock whose real time and monotonic count go together.
ClockReading readingAt(std::int64_t ms) { return {{}, Instant{ms}, ms}; }


// A table with a clock the test moves, and the labels its tick wrote.
struct Countdowns {
    CountdownTable table;
    testing::FakeClock clock;
    testing::FakeShell shell;
    testing::FakeBoxes boxes;
    std::map<int, std::wstring> labels;

    void start(int n, std::int64_t total, const std::wstring& name = L"Thé") {
        table.configure(n, total, name, L"Prêt", false, L"", clock.monotonic);
    }
    void tickAt(std::int64_t ms, MessageBoxes* otherBoxes = nullptr) {
        clock.monotonic = ms;
        table.tick(clock, shell, otherBoxes ? *otherBoxes : boxes,
                   [this](int n, const std::wstring& text) { labels[n] = text; });
    }
};

TEST(CountdownTexts, TimeWithAsManyHourDigitsAsNeededAndTheEndMessage) {
    const std::pair<std::int64_t, const wchar_t*> times[] = {
        {0, L"00:00:00"},       {59, L"00:00:59"},       {3600, L"01:00:00"},  {86399, L"23:59:59"},
        {86400, L"24:00:00"},   {90061, L"25:01:01"},    {360000, L"100:00:00"},
        {9000000000005, L"2500000000:00:05"},  // beyond 32 bits: a date years ahead
        {-5, L"00:00:00"},
    };
    for (const auto& [seconds, text] : times) EXPECT_EQ(countdownText(seconds), text) << seconds;

    CountdownSlot slot;
    EXPECT_EQ(countdownEndText(5, slot), L"Compte à rebours n°5 : Non défini est terminé.\r\nNon défini");
    slot.Name = L"";  // two blanks in a row
    slot.Message = L"Égoutter";
    EXPECT_EQ(countdownEndText(4, slot), L"Compte à rebours n°4 :  est terminé.\r\nÉgoutter");
}

TEST(CountdownTick, ADurationOfDShowsEachSecondAndEndsOnTickDPlusOne) {
    // A negative total is a moment already past: it ends at the first second.
    // The timer is armed as the window arms it; when another countdown runs it
    // first fires at that one's phase, here 370 ms after the start.
    for (const std::int64_t firstEvent : {-1, 370})
        for (const std::int64_t d : {-86417, 0, 1, 5}) {
            Countdowns c;
            c.start(2, d);
            std::vector<std::pair<std::int64_t, std::wstring>> seen;  // every label change, with its time
            std::int64_t now = firstEvent >= 0 ? firstEvent : c.table.tickTimerDelay(readingAt(0));
            while (c.boxes.shown.empty() && now < 10000) {
                const std::wstring before = c.labels[2];
                c.tickAt(now);
                if (c.labels[2] != before && c.boxes.shown.empty()) seen.emplace_back(now, c.labels[2]);
                now += c.table.tickTimerDelay(readingAt(now));
            }
            std::vector<std::pair<std::int64_t, std::wstring>> expected;
            for (std::int64_t k = 1; k <= d; ++k) expected.emplace_back(k * 1000 + 1, countdownText(d - k));
            EXPECT_EQ(seen, expected) << "D=" << d << ", first event at " << firstEvent;
            ASSERT_EQ(c.boxes.shown.size(), 1u) << "D=" << d;
            EXPECT_EQ(c.clock.monotonic, (std::max<std::int64_t>(d, 0) + 1) * 1000 + 1) << "the box on tick D + 1";
            EXPECT_EQ(c.boxes.shown[0].text, L"Compte à rebours n°2 : Thé est terminé.\r\nPrêt");
            EXPECT_EQ(c.boxes.shown[0].title, L"Compte à rebours terminé !");
            EXPECT_EQ(c.boxes.shown[0].style, box::ok | box::iconExclamation | box::setForeground | box::topMost);
            EXPECT_EQ(c.labels[2], L"00:00:00");
            EXPECT_EQ(c.table.Remaining(2), 0);
            EXPECT_EQ(c.table.slot(2).Status, L"nook");
            c.labels.clear();
            c.tickAt(now + 5000);
            EXPECT_EQ(c.boxes.shown.size() + c.labels.size(), 1u) << "an ended countdown stays still";
        }
}

TEST(CountdownTick, FollowsTheMonotonicClockNotTheCountOfEvents) {
    Countdowns c;
    c.start(3, 60);
    c.tickAt(400);  // an event before the first second counts nothing
    EXPECT_EQ(c.table.Remaining(3), 60);
    c.tickAt(1400);
    c.tickAt(4400);  // busy for three seconds: one event for all of them
    EXPECT_EQ(c.labels[3], L"00:00:56");
    c.tickAt(4700);  // an extra event within the same second counts nothing
    EXPECT_EQ(c.table.Remaining(3), 56);
    c.table.restart(3, 6000);
    c.tickAt(8010);  // a first event over a second late counts both seconds
    EXPECT_EQ(c.table.Remaining(3), 58);

    // Every event a system tick late, for an hour.
    Countdowns late;
    late.start(1, 3600);
    std::int64_t now = 0;
    int events = 0;
    while (late.boxes.shown.empty() && events < 5000) {
        now += 1015;
        late.tickAt(now);
        ++events;
    }
    ASSERT_EQ(late.boxes.shown.size(), 1u);
    EXPECT_GE(now, 3601 * 1000);
    EXPECT_LT(now, 3601 * 1000 + 1015) << "counting events would end it 54 s late";
}

TEST(CountdownTick, TwoCountdownsDueInTheSameSecondEachShowTheirOwnBox) {
    // Timers go on firing inside a box: this one runs the next tick while open.
    struct NestingBoxes final : MessageBoxes {
        std::function<void()> whileOpen;
        std::vector<std::pair<std::wstring, int>> shown;  // text and boxes open beneath
        int open = 0;
        int show(const std::wstring& text, const std::wstring&, std::uint32_t) override {
            shown.emplace_back(text.substr(0, 22), open++);
            if (open == 1) whileOpen();
            --open;
            return box::answerOk;
        }
    } boxes;
    Countdowns c;
    c.start(1, 2);
    c.start(2, 2);
    c.start(3, 10);
    boxes.whileOpen = [&] { c.tickAt(4500, &boxes); };
    for (const std::int64_t ms : {500, 1500, 2500, 3500}) c.tickAt(ms, &boxes);
    const std::vector<std::pair<std::wstring, int>> expected = {{L"Compte à rebours n°1 :", 0},
                                                                {L"Compte à rebours n°2 :", 1}};
    EXPECT_EQ(boxes.shown, expected);
    // The third kept counting inside the box, and the resumed pass did not
    // count the same second twice.
    EXPECT_EQ(c.labels[3], L"00:00:06");
    c.tickAt(5500, &boxes);
    EXPECT_EQ(boxes.shown.size(), 2u) << "each ends once";
    EXPECT_EQ(c.table.Remaining(3), 5);
}

TEST(CountdownTick, OpensTheFileBeforeTheBoxOnlyWhenAskedAndNamed) {
    const struct {
        bool runFile;
        const wchar_t* path;
    } cases[] = {{true, L"C:\\gong.wav"}, {false, L"C:\\gong.wav"}, {true, L""}};
    for (const auto& k : cases) {
        Countdowns c;
        std::vector<std::wstring> log;
        c.shell.log = c.boxes.log = &log;
        c.table.configure(4, 0, L"x", L"y", k.runFile, k.path, 0);
        c.tickAt(1010);
        const std::wstring box = L"box Compte à rebours n°4 : x est terminé.\r\ny";
        std::vector<std::wstring> expected{box};
        if (k.runFile && *k.path != L'\0') expected.insert(expected.begin(), L"open " + std::wstring(k.path));
        EXPECT_EQ(log, expected) << "the file first, then the box, which comes file or not";
    }
}

TEST(CountdownTable, ClearRestartAndConfigureInEveryState) {
    Countdowns c;
    EXPECT_EQ(c.table.slot(1).Status, L"nook");
    EXPECT_THROW(c.table.restart(6, 0), std::out_of_range);

    // Never configured: a duration of zero ends at the next tick, unnamed.
    c.table.restart(1, 0);
    c.tickAt(1000);
    ASSERT_EQ(c.boxes.shown.size(), 1u);
    EXPECT_EQ(c.boxes.shown[0].text, L"Compte à rebours n°1 : Non défini est terminé.\r\nNon défini");

    // Running: back to the full duration, counted from the restart.
    c.table.configure(2, 100, L"Four", L"Sortir", true, L"C:\\a.wav", 500);
    for (int k = 1; k <= 10; ++k) c.tickAt(k * 1000 + 500);
    EXPECT_EQ(c.table.Remaining(2), 90);
    c.table.restart(2, 10600);
    c.tickAt(11600);
    EXPECT_EQ(c.labels[2], L"00:01:39");

    // Cleared for a new setup: stopped and unnamed, the duration and file kept.
    c.table.clear(2);
    EXPECT_FALSE(c.table.isRunning(2));
    EXPECT_EQ(c.table.Remaining(2), 0);
    EXPECT_EQ(c.table.slot(2).Name, L"Non défini");
    EXPECT_EQ(c.table.slot(2).Message, L"Non défini");
    EXPECT_EQ(c.table.slot(2).DurationText, L"100");
    EXPECT_EQ(c.table.slot(2).FilePath, L"C:\\a.wav");

    // Ended: runs again without a new setup.
    c.table.configure(3, 1, L"Œuf", L"", false, L"", 12000);
    c.tickAt(13000);
    c.tickAt(14000);
    ASSERT_EQ(c.boxes.shown.size(), 2u);
    c.table.restart(3, 14100);
    EXPECT_TRUE(c.table.isRunning(3));
    EXPECT_EQ(c.table.Remaining(3), 1);

    // Long durations are read back whole.
    const std::int64_t far = 40LL * 365 * 86400 * 3;
    c.table.configure(4, far, L"Loin", L"", false, L"", 14000);
    c.table.restart(4, 14000);
    EXPECT_EQ(c.table.Remaining(4), far);
    EXPECT_EQ(c.table.slot(4).DurationText, std::to_wstring(far));
}

TEST(CountdownTotals, IntervalAndDateModes) {
    EXPECT_EQ(intervalTotal(1, 1, 1, 1), 90061);
    EXPECT_EQ(intervalTotal(10000, 23, 59, 59), 864086399);

    const testing::FixedZone zone(3600);
    const Instant now = instantOf(zone, {2026, 12, 31, 10, 30, 15, 999});  // milliseconds are dropped
    const struct {
        int year, month, day, hour, minute, second;
        std::int64_t total;
    } cases[] = {
        {2026, 12, 31, 11, 30, 15, 3583},    // one hour ahead
        {2026, 12, 31, 10, 30, 25, -7},      // ten seconds ahead: ends at the first tick
        {2026, 12, 31, 0, 0, 0, -37832},     // earlier today
        {2027, 1, 1, 10, 30, 15, 86383},     // across the year
        {2028, 3, 1, 0, 0, 0, 36768568},     // across a leap day
        {2120, 1, 1, 0, 0, 0, 2934797368},   // beyond 32 bits
    };
    for (const auto& k : cases)
        EXPECT_EQ(dateTargetTotal(now, zone, {static_cast<std::uint16_t>(k.year), static_cast<std::uint16_t>(k.month),
                                              static_cast<std::uint16_t>(k.day), static_cast<std::uint16_t>(k.hour),
                                              static_cast<std::uint16_t>(k.minute),
                                              static_cast<std::uint16_t>(k.second), 0}),
                  k.total)
            << k.year;

    Countdowns c;
    c.start(1, 3583);
    c.tickAt(1400);
    EXPECT_EQ(c.labels[1], L"00:59:42");
}

TEST(SpinField, TypedValuesComeBackIntoRange) {
    const std::pair<const wchar_t*, int> cases[] = {
        {L"7", 7},  {L"23", 23}, {L"24", 23}, {L"99999999999999999999", 23}, {L"-3", 0}, {L"", 0},
        {L"abc", 0}, {L"1a", 0}, {L" 12 ", 12}, {L"+5", 5},                  {L"-", 0},
    };
    for (const auto& [text, value] : cases) EXPECT_EQ(spinFieldValue(text, 0, 23), value) << text;
    EXPECT_EQ(spinFieldValue(L"x", 5, 9), 5) << "no number counts as the lower bound";
}

}  // namespace
}  // namespace orvane
