#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <vector>

#include "clock/dial_geometry.hpp"
#include "common/calendar.hpp"
#include "common/clock_passage.hpp"
#include "common/window_shake.hpp"
#include "platform/tone_player.hpp"
#include "support/time_zones.hpp"

namespace orvane {
namespace {

TEST(DialHands, EndPointsFollowTheWorkedPoints) {
    const struct {
        int value, divisions, length;
        HandOffset expected;
    } cases[] = {
        {3, 12, 9, {9, 0}},   {6, 12, 9, {0, -9}},  {9, 12, 9, {-9, 0}},   {0, 12, 9, {0, 9}},
        {0, 60, 12, {0, 12}}, {15, 60, 12, {12, 0}}, {30, 60, 12, {0, -12}}, {45, 60, 12, {-12, 0}},
        {10, 60, 12, {10, 6}}, {5, 60, 12, {6, 10}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(handOffset(c.value, c.divisions, c.length), c.expected) << c.value << "/" << c.divisions;
}

TEST(DialHands, EveryValueLandsOnTheCircleOfItsLength) {
    for (int divisions : {12, 60}) {
        const int length = divisions == 12 ? 9 : 12;
        for (int v = 0; v < divisions; ++v) {
            const HandOffset o = handOffset(v, divisions, length);
            const double radius = std::sqrt(double(o.dx * o.dx + o.dy * o.dy));
            EXPECT_NEAR(radius, length, 1.0) << v << "/" << divisions;
            // The hand lies in the right quarter of the dial (clockwise from 12).
            if (v * 4 < divisions) {
                EXPECT_GE(o.dx, 0) << v;
            }
            if (v * 4 > divisions && v * 4 < 3 * divisions) {
                EXPECT_LE(o.dy, 0) << v;
            }
            if (v * 2 > divisions) {
                EXPECT_LE(o.dx, 0) << v;
            }
        }
    }
}

TEST(DialHands, NoonAndQuarterToFourLookRight) {
    const auto noon = dialHands(12, 0, 0);
    EXPECT_EQ(noon[0].toX, 28);
    EXPECT_EQ(noon[0].toY, 19);
    EXPECT_EQ(noon[1].toY, 16);
    EXPECT_EQ(noon[2].toY, 16);
    const auto midnight = dialHands(0, 0, 0);
    EXPECT_EQ(midnight[0].toY, 19);
    const auto t = dialHands(15, 45, 30);
    EXPECT_EQ(t[0].toX, 37);  // hour: right
    EXPECT_EQ(t[0].toY, 28);
    EXPECT_EQ(t[1].toX, 16);  // minute: left
    EXPECT_EQ(t[2].toY, 40);  // second: down
    for (const HandLine& line : t) {
        EXPECT_EQ(line.fromX, 28);
        EXPECT_EQ(line.fromY, 28);
    }
}

LocalTime at(int hour, int minute, int second, int ms = 0, int day = 7) {
    return LocalTime{2026, 12, static_cast<std::uint16_t>(day), static_cast<std::uint16_t>(hour),
                     static_cast<std::uint16_t>(minute), static_cast<std::uint16_t>(second),
                     static_cast<std::uint16_t>(ms)};
}

TEST(DialHands, OnlyTheHandsThatMovedAreShownAnew) {
    // 10:30:15 to 10:30:16: the second hand alone, pointing right (its end
    // at 40, 28, then at 40, 29), with a 1-pixel pen reaching one pixel out.
    EXPECT_EQ(movedHandsArea(dialHands(10, 30, 15), dialHands(10, 30, 16), 1), (DialArea{27, 27, 42, 31}));
    EXPECT_EQ(movedHandsArea(dialHands(10, 30, 15), dialHands(10, 30, 15), 1), std::nullopt);
    // A new minute moves the minute hand too (its end from 28, 40 to 27, 40;
    // the second hand's from 27, 16 to 28, 16); a 5-pixel pen reaches three out.
    EXPECT_EQ(movedHandsArea(dialHands(10, 30, 59), dialHands(10, 31, 0), 5), (DialArea{24, 13, 32, 44}));
}

TEST(DialHands, AtAnotherScaleTheEndPointsAndPenGrowWithIt) {
    // 15:45:30: hour hand to (37, 28), minute hand to (17, 28), second hand to (28, 40).
    const auto hands = dialHands(15, 45, 30);
    const struct {
        int dpi;
        HandLine hour, second;
        int pen0, pen1, pen3;
    } cases[] = {
        {96, {28, 28, 37, 28}, {28, 28, 28, 40}, 0, 1, 3},
        {120, {35, 35, 46, 35}, {35, 35, 35, 50}, 1, 1, 4},  // 46.25, 3.75
        {144, {42, 42, 56, 42}, {42, 42, 42, 60}, 2, 2, 5},  // halves away from zero: 55.5, 1.5, 4.5
        {192, {56, 56, 74, 56}, {56, 56, 56, 80}, 2, 2, 6},
    };
    for (const auto& c : cases) {
        const auto scaled = scaledHands(hands, c.dpi);
        EXPECT_EQ(scaled[0], c.hour) << c.dpi;
        EXPECT_EQ(scaled[2], c.second) << c.dpi;
        EXPECT_EQ(scaledPenWidth(0, c.dpi), c.pen0) << c.dpi;
        EXPECT_EQ(scaledPenWidth(1, c.dpi), c.pen1) << c.dpi;
        EXPECT_EQ(scaledPenWidth(3, c.dpi), c.pen3) << c.dpi;
    }
}

TEST(HourlySignal, IsGivenOnceForEachFullHourTheClockPasses) {
    const struct {
        const char* what;
        std::optional<LocalTime> previous;
        LocalTime now;
        bool due;
    } cases[] = {
        {"on time", at(13, 59, 59, 2), at(14, 0, 0, 2), true},
        {"400 ms late", at(13, 59, 59, 400), at(14, 0, 0, 400), true},
        {"a late tick that missed second 0", at(13, 59, 59, 990), at(14, 0, 1, 10), true},
        {"3 s late", at(13, 59, 58), at(14, 0, 1), true},
        {"a second tick in second 0", at(14, 0, 0, 10), at(14, 0, 0, 900), false},
        {"the tick after", at(14, 0, 0), at(14, 0, 1), false},
        {"an ordinary minute", at(14, 4, 59), at(14, 5, 0), false},
        {"midnight", at(23, 59, 59, 0, 7), at(0, 0, 0, 0, 8), true},
        {"a gap over a minute", at(13, 58, 30), at(14, 0, 5), false},
        {"a stall over a minute ending in the hour's own second", at(13, 30, 0), at(14, 0, 0), true},
        {"first tick in second 0", std::nullopt, at(14, 0, 0, 500), true},
        {"first tick later", std::nullopt, at(14, 0, 1), false},
        {"clock set back across the hour", at(14, 0, 30), at(13, 59, 50), false},
        {"then the hour again", at(13, 59, 59), at(14, 0, 0), true},
        {"clock set back onto the hour", at(15, 10, 0), at(14, 0, 0), true},
    };
    const testing::FixedZone winter(3600);
    for (const auto& c : cases) {
        ClockWatch watch;
        RecurringMoment fullHours{3600};
        // Real time and the monotonic count go together; a clock set back
        // leaves the count where it was.
        std::int64_t count = 0;
        auto read = [&](const LocalTime& t) {
            const Instant utc = instantOf(winter, t);
            count = std::max(count, utc.ms);
            return ClockReading{t, utc, count};
        };
        if (c.previous) fullHours.take(watch.advance(read(*c.previous), winter), 0);
        EXPECT_EQ(fullHours.take(watch.advance(read(c.now), winter), 0).rings, c.due) << c.what;
    }
}

// Random numbers from a list; reseeding is counted.
class ScriptedRandom final : public Random {
public:
    explicit ScriptedRandom(std::deque<int> values) : values_(std::move(values)) {}
    void reseed() override { ++reseeds; }
    int below(int n) override {
        EXPECT_GT(n, 0);
        const int v = values_.empty() ? 0 : values_.front();
        if (!values_.empty()) values_.pop_front();
        EXPECT_LT(v, n);
        return v;
    }
    int reseeds = 0;

private:
    std::deque<int> values_;
};

class RecordedWindow final : public MovableWindow {
public:
    RecordedWindow(int left, int top, ScreenArea area = {0, 0, 1280, 994}) : left_(left), top_(top), area_(area) {}
    int left() const override { return left_; }
    int top() const override { return top_; }
    int width() const override { return 282; }
    int height() const override { return 146; }
    ScreenArea workArea() const override { return area_; }
    void moveTo(int left, int top) override {
        left_ = left;
        top_ = top;
        moves.push_back({left, top});
    }
    std::vector<std::pair<int, int>> moves;

private:
    int left_, top_;
    ScreenArea area_;
};

TEST(WindowShake, StepsAlternateAndTheWindowEndsWholeInItsWorkArea) {
    const ScreenArea leftMonitor{-1920, 0, 0, 1040};
    const struct {
        const char* what;
        int left, top, intensity, count, extra;
        std::deque<int> randoms;
        std::vector<std::pair<int, int>> moves;
        ScreenArea area = {0, 0, 1280, 994};
        int dpi = 96;
    } cases[] = {
        {"one step: left and down", 100, 100, 10, 0, 0, {7, 4}, {{93, 100}, {93, 104}}},
        {"two steps come back part way", 100, 100, 10, 1, 0, {7, 4, 2, 9}, {{93, 100}, {93, 104}, {95, 104}, {95, 95}}},
        {"the left edge stops at 0", 3, 50, 10, 0, 0, {7, 4}, {{-4, 50}, {-4, 54}, {0, 54}}},
        {"zero intensity does not move", 100, 100, 0, 2, 0, {}, {{100, 100}, {100, 100}, {100, 100}, {100, 100}, {100, 100}, {100, 100}}},
        {"negative intensity does not move", 100, 100, -5, 0, 0, {}, {{100, 100}, {100, 100}}},
        {"negative count makes no step", 100, 100, 10, -1, 0, {}, {}},
        {"the options test is one larger", 100, 100, 0, 0, 1, {}, {{99, 100}, {99, 101}}},
        {"at 150 % every step is half as large again", 100, 100, 10, 0, 1, {7, 4}, {{88, 100}, {88, 108}}, {0, 0, 1280, 994}, 144},
        {"the top edge stops at 0 after a right-up step", 10, 2, 10, 1, 0, {1, 1, 1, 9}, {{9, 2}, {9, 3}, {10, 3}, {10, -6}, {10, 0}}},
        {"the bottom edge stops above the taskbar", 500, 846, 10, 0, 0, {1, 5}, {{499, 846}, {499, 851}, {499, 848}}},
        {"a window on a monitor left of the primary stays there", -1000, 10, 10, 0, 0, {7, 4}, {{-1007, 10}, {-1007, 14}}, leftMonitor},
        {"and is kept off the primary one", -283, 10, 10, 1, 0, {1, 1, 9, 1}, {{-284, 10}, {-284, 11}, {-275, 11}, {-275, 10}, {-282, 10}}, leftMonitor},
        {"a huge intensity does not wrap round", 100, 100, 2147483647, 0, 0, {2147483646, 2147483646}, {{-2147483546, 100}, {-2147483546, 2147483647}, {0, 2147483647}, {0, 848}}},
    };
    for (const auto& c : cases) {
        ScriptedRandom random(c.randoms);
        RecordedWindow window(c.left, c.top, c.area);
        WindowShake(window, random, c.intensity, c.count, c.extra, c.dpi);
        EXPECT_EQ(window.moves, c.moves) << c.what;
        EXPECT_EQ(random.reseeds, 1) << c.what;
        // Planned to be shown frame by frame: the same moves, the window left where it is.
        ScriptedRandom again(c.randoms);
        RecordedWindow unmoved(c.left, c.top, c.area);
        std::vector<std::pair<int, int>> planned;
        for (const WindowPlace& place : planShake(unmoved, again, c.intensity, c.count, c.extra, c.dpi))
            planned.emplace_back(place.left, place.top);
        EXPECT_EQ(planned, c.moves) << c.what;
        EXPECT_TRUE(unmoved.moves.empty()) << c.what;
    }
}

TEST(WindowShake, AHandEditedCountMakesNoMoreStepsThanTheOptionsOffer) {
    ScriptedRandom random({});
    RecordedWindow window(100, 100);
    WindowShake(window, random, 10, 2147483647);
    EXPECT_EQ(window.moves.size(), 2u * 201u);
}

// The speaker holds its caller until the tone ends (on Windows, up to the
// three seconds allowed): the tones play on a thread of their own, in turn.
TEST(HourlySignal, TheSpeakerPlaysWhileTheClockGoesOnAndTonesFollowEachOther) {
    std::mutex lock;
    std::condition_variable changed;
    bool toneMayEnd = false;
    std::vector<std::pair<int, int>> played;
    {
        TonePlayer speaker([&](int frequency, int durationMs) {
            std::unique_lock held(lock);
            played.emplace_back(frequency, durationMs);
            changed.notify_all();
            changed.wait(held, [&] { return toneMayEnd; });
        });
        speaker.play(880, 3000);
        speaker.play(440, 200);  // back at once, though the first tone holds the speaker
        std::unique_lock held(lock);
        changed.wait(held, [&] { return !played.empty(); });
        EXPECT_EQ(played.size(), 1u) << "one tone at a time";
        toneMayEnd = true;
        changed.notify_all();
        changed.wait(held, [&] { return played.size() == 2; });
    }
    EXPECT_EQ(played, (std::vector<std::pair<int, int>>{{880, 3000}, {440, 200}}));
}

}  // namespace
}  // namespace orvane
