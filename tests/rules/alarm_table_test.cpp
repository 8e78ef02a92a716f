#include "alarms/alarm_table.hpp"
#include "alarms/alarm_wake.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <tuple>
#include <utility>
#include <vector>

#include "common/calendar.hpp"
#include "support/fake_services.hpp"

namespace orvane {
namespace {

LocalTime at(int day, int hour, int minute, int second, int ms = 0, int month = 12, int year = 2026) {
    return LocalTime{static_cast<std::uint16_t>(year),   static_cast<std::uint16_t>(month),
                     static_cast<std::uint16_t>(day),    static_cast<std::uint16_t>(hour),
                     static_cast<std::uint16_t>(minute), static_cast<std::uint16_t>(second),
                     static_cast<std::uint16_t>(ms)};
}

// A reading on a clock that never changes its rules, real time and the
// monotonic count going on together.
ClockReading reading(const LocalTime& t) {
    const testing::FixedZone zone(3600);
    const Instant utc = instantOf(zone, t);
    return {t, utc, utc.ms};
}

const testing::FixedZone winter(3600);

bool isAlarmDue(int hour, int minute, const LocalTime& now, const std::optional<LocalTime>& previous) {
    AlarmTable table;
    table.configure(1, {hour, minute, L"", L"", false, L""});
    ClockReading next = reading(now);
    if (previous) {
        table.takeDueSlots(reading(*previous), winter);
        // Set back, the monotonic count stands still.
        next.monotonicMs = std::max(next.monotonicMs, reading(*previous).monotonicMs);
    }
    return !table.takeDueSlots(next, winter).slots.empty();
}

TEST(AlarmDue, FiresOnceWhenItsMomentPassesBetweenTwoTicks) {
    const struct {
        const char* name;
        int hour, minute;
        std::optional<LocalTime> previous;
        LocalTime now;
        bool due;
    } cases[] = {
        {"on time", 7, 30, at(7, 7, 29, 59, 2), at(7, 7, 30, 0, 2), true},
        {"400 ms late", 7, 30, at(7, 7, 29, 59, 400), at(7, 7, 30, 0, 400), true},
        {"3 s late", 7, 30, at(7, 7, 29, 59, 400), at(7, 7, 30, 3, 400), true},
        {"the tick after a late one", 7, 30, at(7, 7, 30, 3, 400), at(7, 7, 30, 4, 400), false},
        {"two ticks in the same second", 7, 30, at(7, 7, 30, 0, 100), at(7, 7, 30, 0, 900), false},
        {"one second early", 7, 30, at(7, 7, 29, 58), at(7, 7, 29, 59, 999), false},
        {"other minute", 7, 31, at(7, 7, 29, 59), at(7, 7, 30, 0), false},
        {"other hour", 8, 30, at(7, 7, 29, 59), at(7, 7, 30, 0), false},
        {"a gap of exactly a minute", 7, 30, at(7, 7, 29, 30), at(7, 7, 30, 30), true},
        {"61-second gap", 7, 30, at(7, 7, 29, 30), at(7, 7, 30, 31), false},
        {"a stall ending in the moment's own second", 7, 30, at(7, 7, 28, 59), at(7, 7, 30, 0, 500), true},
        {"midnight", 0, 0, at(7, 23, 59, 59, 800), at(8, 0, 0, 0, 800), true},
        {"midnight, late", 0, 0, at(7, 23, 59, 59, 800), at(8, 0, 0, 2, 100), true},
        {"new year", 0, 0, at(31, 23, 59, 59, 0, 12, 2026), at(1, 0, 0, 0, 10, 1, 2027), true},
        {"the next day again", 7, 30, at(8, 7, 29, 59, 370), at(8, 7, 30, 0, 370), true},
        {"first tick, second 0", 7, 30, std::nullopt, at(7, 7, 30, 0, 999), true},
        {"first tick, second 1", 7, 30, std::nullopt, at(7, 7, 30, 1), false},
        {"clock set back, second 0", 7, 30, at(7, 8, 0, 0), at(7, 7, 30, 0, 300), true},
        {"clock set back, second 5", 7, 30, at(7, 8, 0, 0), at(7, 7, 30, 5), false},
    };
    for (const auto& c : cases) EXPECT_EQ(isAlarmDue(c.hour, c.minute, c.now, c.previous), c.due) << c.name;
}

// A timer that runs fast or slow lands twice in some seconds and skips others:
// whatever its interval and phase, the alarm fires once a day.
TEST(AlarmDue, ATimerThatDriftsFiresOncePerDay) {
    for (const int interval : {984, 1000, 1016}) {
        for (int phase = 0; phase < 1000; phase += 37) {
            int fired = 0;
            for (const int day : {7, 8}) {
                AlarmTable table;
                table.configure(1, {7, 30, L"Réveil", L"Debout", false, L""});
                for (int ms = phase; ms < 4 * 60 * 1000; ms += interval) {  // from 07:28:00, four minutes
                    const int s = ms / 1000;
                    const LocalTime now = at(day, 7, 28 + s / 60, s % 60, ms % 1000);
                    fired += static_cast<int>(table.takeDueSlots(reading(now), winter).slots.size());
                }
            }
            EXPECT_EQ(fired, 2) << "interval " << interval << " phase " << phase;
        }
    }
}

TEST(AlarmTable, ArmingDisarmingAndConfiguringTouchOnlyWhatTheyShould) {
    AlarmTable table;
    EXPECT_EQ(alarmTimeText(table[AlarmCount]), L"00:00:00");
    EXPECT_FALSE(table.indicators().any);
    EXPECT_THROW(table[AlarmCount + 1], std::out_of_range);

    table.arm(3);
    decltype(AlarmIndicators::slot) onlyThree{};
    onlyThree[3] = true;
    EXPECT_EQ(table.indicators().slot, onlyThree);
    EXPECT_TRUE(table.indicators().any);
    table.configure(1, {8, 5, L"Café", L"Prêt", false, L"C:\\cafe.wav"});
    table.disarm(3);
    table.disarm(1);
    EXPECT_FALSE(table.indicators().any);
    const AlarmSlot& one = table[1];
    EXPECT_EQ(std::tie(one.Status, one.Title, one.Message, one.RunFile, one.FilePath),
              std::make_tuple(L"nook", L"Café", L"Prêt", L"non", L"C:\\cafe.wav"))
        << "disarming keeps the rest, and the file is kept while not to be opened";
    EXPECT_EQ(alarmTimeText(one), L"08:05:00");

    table.configure(1, {23, 59, L"", L"", true, L""});
    EXPECT_TRUE(table[1].armed()) << "confirming arms a disarmed slot";
    EXPECT_EQ(table[1].RunFile, L"oui");
    table[2].Status = L"OK";  // only the exact flags count
    table[2].RunFile = L"Oui";
    EXPECT_FALSE(table[2].armed());
    EXPECT_FALSE(table[2].opensFile());

    EXPECT_EQ(alarmFiringText(5, AlarmSlot{}, L"07:30:00"),
              L"Il est : 07:30:00\r\nAlarme n°5 : Non défini est activée. \r\nNon défini");
}

// Boxes that record what they show in the order of everything else, and hold
// the first one open while the clock goes on ticking, as a real box does.
class TickingBoxes final : public MessageBoxes {
public:
    explicit TickingBoxes(std::vector<std::wstring>& log) : log_(log) {}
    int show(const std::wstring& text, const std::wstring& title, std::uint32_t style) override {
        EXPECT_EQ(title, L"Alarme activée !");
        EXPECT_EQ(style, box::ok | box::iconInformation | box::setForeground | box::topMost);
        // The second line, "Alarme n°N : ...", and the time of the first.
        const std::size_t second = text.find(L"\r\n") + 2;
        log_.push_back(text.substr(9, 8) + L" " + text.substr(second, 10));
        if (const auto ticks = std::exchange(whileFirstOpen, nullptr)) ticks();
        return box::answerOk;
    }
    std::function<void()> whileFirstOpen;

private:
    std::vector<std::wstring>& log_;
};

class LoggingShell final : public Shell {
public:
    explicit LoggingShell(std::vector<std::wstring>& log) : log_(log) {}
    // A computer with no program for the file: the alarm does not care.
    bool open(const std::wstring& path) override {
        log_.push_back(L"open " + path);
        return false;
    }
    bool hasProgramFor(const std::wstring&) const override { return false; }

private:
    std::vector<std::wstring>& log_;
};

class AlarmCheckTest : public ::testing::Test {
protected:
    void check(const LocalTime& now) {
        CheckAlarms(table, decodeTick(reading(now)), services, [this](const AlarmIndicators& shown) {
            log.push_back(shown.any ? L"bells" : L"no bell");
        });
    }
    std::vector<std::wstring> log;
    AlarmTable table;
    testing::FakeFormats formats;
    LoggingShell shell{log};
    TickingBoxes boxes{log};
    testing::FakeWakeTimer wakeTimer;
    testing::FakeStayAwake stayAwake;
    AlarmWaking waking{wakeTimer, stayAwake};
    AlarmServices services{winter, formats, shell, boxes, waking};
};

TEST_F(AlarmCheckTest, EverySlotDueInTheSameSecondFiresInOrderEachFileBeforeItsBox) {
    table.configure(1, {7, 30, L"Un", L"", true, L"C:\\un.exe"});
    table.configure(2, {7, 31, L"Deux", L"", true, L"C:\\deux.exe"});
    table.configure(3, {7, 30, L"Trois", L"", false, L"C:\\trois.exe"});
    table.configure(4, {7, 30, L"Quatre", L"", true, L"C:\\quatre.exe"});
    table.disarm(4);
    table.configure(5, {7, 30, L"Cinq", L"", true, L""});
    check(at(7, 7, 29, 59, 400));
    check(at(7, 7, 30, 0, 400));
    check(at(7, 7, 30, 1, 400));
    // An empty path is never handed to the shell (it could open a folder); the box still shows.
    EXPECT_EQ(log, (std::vector<std::wstring>{L"bells", L"bells", L"open C:\\un.exe", L"07:30:00 Alarme n°1",
                                              L"07:30:00 Alarme n°3", L"07:30:00 Alarme n°5", L"bells"}));
}

TEST_F(AlarmCheckTest, TicksInsideAnOpenBoxNeitherRefireNorLoseTheOtherDueSlots) {
    table.configure(1, {7, 30, L"Un", L"", false, L""});
    table.configure(2, {7, 30, L"Deux", L"", false, L""});
    table.configure(3, {7, 31, L"Trois", L"", false, L""});
    check(at(7, 7, 29, 59, 300));
    // The first box stays open a minute and a half; inside it the clock ticks
    // on, twice in its first second.
    boxes.whileFirstOpen = [this] {
        check(at(7, 7, 30, 0, 800));
        for (int s = 1; s <= 90; ++s) check(at(7, 7, 30 + s / 60, s % 60, 300));
    };
    check(at(7, 7, 30, 0, 300));
    check(at(7, 7, 31, 31, 300));
    std::erase(log, L"bells");
    EXPECT_EQ(log, (std::vector<std::wstring>{L"07:30:00 Alarme n°1", L"07:31:00 Alarme n°3",
                                              L"07:30:00 Alarme n°2"}));
}

}  // namespace
}  // namespace orvane
