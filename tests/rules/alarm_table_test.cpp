#include "alarms/alarm_table.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "support/fake_services.hpp"

namespace orvane {
namespace {

using testing::FakeFormats;
using testing::FakeShell;

LocalTime at(int day, int hour, int minute, int second, int ms = 0, int month = 12, int year = 2026) {
    return LocalTime{static_cast<std::uint16_t>(year),   static_cast<std::uint16_t>(month),
                     static_cast<std::uint16_t>(day),    static_cast<std::uint16_t>(hour),
                     static_cast<std::uint16_t>(minute), static_cast<std::uint16_t>(second),
                     static_cast<std::uint16_t>(ms)};
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
        {"second tick in the same second", 7, 30, at(7, 7, 30, 0, 100), at(7, 7, 30, 0, 900), false},
        {"a tick that skipped second 0", 7, 30, at(7, 7, 29, 59, 990), at(7, 7, 30, 1, 5), true},
        {"one second early", 7, 30, at(7, 7, 29, 58), at(7, 7, 29, 59, 999), false},
        {"other minute", 7, 31, at(7, 7, 29, 59), at(7, 7, 30, 0), false},
        {"other hour", 8, 30, at(7, 7, 29, 59), at(7, 7, 30, 0), false},
        {"a gap of exactly a minute", 7, 30, at(7, 7, 29, 30), at(7, 7, 30, 30), true},
        {"61-second gap", 7, 30, at(7, 7, 29, 30), at(7, 7, 30, 31), false},
        {"hours asleep", 7, 30, at(7, 1, 0, 0), at(7, 7, 45, 0), false},
        {"waking exactly on the moment", 7, 30, at(7, 7, 28, 59), at(7, 7, 30, 0, 500), true},
        {"midnight", 0, 0, at(7, 23, 59, 59, 800), at(8, 0, 0, 0, 800), true},
        {"midnight, late", 0, 0, at(7, 23, 59, 59, 800), at(8, 0, 0, 2, 100), true},
        {"midnight at the turn of the year", 0, 0, at(31, 23, 59, 59, 0, 12, 2026), at(1, 0, 0, 0, 10, 1, 2027),
         true},
        {"just before midnight", 23, 59, at(7, 23, 58, 59, 900), at(7, 23, 59, 0, 900), true},
        {"the next day again", 7, 30, at(8, 7, 29, 59, 370), at(8, 7, 30, 0, 370), true},
        {"first tick, second 0", 7, 30, std::nullopt, at(7, 7, 30, 0, 999), true},
        {"first tick, second 1", 7, 30, std::nullopt, at(7, 7, 30, 1), false},
        {"clock set back, second 0", 7, 30, at(7, 8, 0, 0), at(7, 7, 30, 0, 300), true},
        {"clock set back, second 5", 7, 30, at(7, 8, 0, 0), at(7, 7, 30, 5), false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(isAlarmDue(c.hour, c.minute, c.now, c.previous), c.due) << c.name;
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
                // From 07:28:00 for four minutes, one tick per interval.
                for (int elapsed = phase; elapsed < 4 * 60 * 1000; elapsed += interval) {
                    const int second = elapsed / 1000;
                    const LocalTime now = at(day, 7, 28 + second / 60, second % 60, elapsed % 1000);
                    fired += static_cast<int>(table.takeDueSlots(now).size());
                }
            }
            EXPECT_EQ(fired, 2) << "interval " << interval << " phase " << phase;
        }
    }
}

TEST(AlarmTable, StartsDisarmedWithItsDefaultsAndChecksSlotNumbers) {
    AlarmTable table;
    for (int n = 1; n <= AlarmCount; ++n) {
        EXPECT_EQ(table[n].Status, L"nook");
        EXPECT_EQ(table[n].Title, L"Non défini");
        EXPECT_EQ(table[n].Message, L"Non défini");
        EXPECT_EQ(table[n].RunFile, L"non");
        EXPECT_EQ(table[n].FilePath, L"");
        EXPECT_EQ(alarmTimeText(table[n]), L"00:00:00");
    }
    EXPECT_FALSE(table.indicators().any);
    EXPECT_THROW(table[0], std::out_of_range);
    EXPECT_THROW(table[6], std::out_of_range);
}

TEST(AlarmTable, ArmingDisarmingAndConfiguringTouchOnlyWhatTheyShould) {
    AlarmTable table;
    table.arm(3);
    AlarmIndicators shown = table.indicators();
    EXPECT_EQ(shown.slot, (std::array<bool, 6>{false, false, false, true, false, false}));
    EXPECT_TRUE(shown.any);

    table.configure(1, {8, 5, L"Café", L"Le café est prêt", false, L"C:\\musique\\cafe.wav"});
    table.disarm(3);
    table.disarm(1);
    EXPECT_FALSE(table.indicators().any);
    const AlarmSlot& one = table[1];
    EXPECT_EQ(one.Status, L"nook");
    EXPECT_EQ(alarmTimeText(one), L"08:05:00");
    EXPECT_EQ(one.Title, L"Café");
    EXPECT_EQ(one.Message, L"Le café est prêt");
    EXPECT_EQ(one.RunFile, L"non");
    EXPECT_EQ(one.FilePath, L"C:\\musique\\cafe.wav") << "kept while the file is not to be opened";

    table.configure(1, {23, 59, L"", L"", true, L""});
    EXPECT_TRUE(table[1].armed()) << "confirming arms a disarmed slot";
    EXPECT_EQ(table[1].RunFile, L"oui");
    EXPECT_EQ(alarmTimeText(table[1]), L"23:59:00");

    // Only the exact flags count.
    table[2].Status = L"OK";
    table[2].RunFile = L"Oui";
    EXPECT_FALSE(table[2].armed());
    EXPECT_FALSE(table[2].opensFile());
}

TEST(AlarmText, HasThreeLinesWithTheSlotNumberTitleAndMessage) {
    AlarmSlot slot;
    slot.Title = L"Réveil";
    slot.Message = L"Debout";
    EXPECT_EQ(alarmFiringText(2, slot, L"07:30:00"),
              L"Il est : 07:30:00\r\nAlarme n°2 : Réveil est activée. \r\nDebout");
    EXPECT_EQ(alarmFiringText(5, AlarmSlot{}, L"23:59:00"),
              L"Il est : 23:59:00\r\nAlarme n°5 : Non défini est activée. \r\nNon défini");
    EXPECT_EQ(twoDigitText(0), L"00");
    EXPECT_EQ(twoDigitText(9), L"09");
    EXPECT_EQ(twoDigitText(10), L"10");
    EXPECT_EQ(twoDigitText(59), L"59");
}

// Boxes that record what they show and, like a real box, let the clock go on
// ticking while the first one is open.
class TickingBoxes final : public MessageBoxes {
public:
    struct Shown {
        std::wstring text, title;
        std::uint32_t style;
    };
    int show(const std::wstring& text, const std::wstring& title, std::uint32_t style) override {
        shown.push_back({text, title, style});
        if (log != nullptr) log->push_back(L"box");
        // Only the first box is held open; the user closes the others at once.
        if (const auto ticks = std::exchange(whileFirstOpen, nullptr)) ticks();
        return box::answerOk;
    }
    std::vector<Shown> shown;
    std::function<void()> whileFirstOpen;
    std::vector<std::wstring>* log = nullptr;
};

class AlarmCheckTest : public ::testing::Test {
protected:
    void check(const LocalTime& now) {
        CheckAlarms(table, decodeTick(now), services, [this](const AlarmIndicators& shown) {
            indicators.push_back(shown);
            events.push_back(L"bells");
        });
    }
    std::wstring secondLine(std::size_t box) const {
        const std::wstring& text = boxes.shown.at(box).text;
        const std::size_t start = text.find(L"\r\n") + 2;
        return text.substr(start, text.find(L"\r\n", start) - start);
    }

    // Records the order of everything the check does.
    class OrderedShell final : public Shell {
    public:
        explicit OrderedShell(std::vector<std::wstring>& log) : log_(log) {}
        void open(const std::wstring& path) override {
            opened.push_back(path);
            log_.push_back(L"open " + path);
        }
        std::vector<std::wstring> opened;

    private:
        std::vector<std::wstring>& log_;
    };

    std::vector<std::wstring> events;
    AlarmTable table;
    FakeFormats formats;
    OrderedShell shell{events};
    TickingBoxes boxes;
    AlarmServices services{formats, shell, boxes};
    std::vector<AlarmIndicators> indicators;
};

TEST_F(AlarmCheckTest, EverySlotDueInTheSameSecondFiresInOrderWithItsFileFirst) {
    table.configure(1, {7, 30, L"Un", L"m1", true, L"C:\\un.exe"});
    table.configure(2, {7, 31, L"Deux", L"m2", true, L"C:\\deux.exe"});
    table.configure(3, {7, 30, L"Trois", L"m3", false, L"C:\\trois.exe"});
    table.configure(4, {7, 30, L"Quatre", L"m4", true, L"C:\\quatre.exe"});
    table.disarm(4);
    table.configure(5, {7, 30, L"Cinq", L"m5", true, L""});
    boxes.log = &events;

    check(at(7, 7, 29, 59, 400));
    EXPECT_TRUE(boxes.shown.empty());
    check(at(7, 7, 30, 0, 400));
    ASSERT_EQ(boxes.shown.size(), 3u);
    EXPECT_EQ(secondLine(0), L"Alarme n°1 : Un est activée. ");
    EXPECT_EQ(secondLine(1), L"Alarme n°3 : Trois est activée. ");
    EXPECT_EQ(secondLine(2), L"Alarme n°5 : Cinq est activée. ");
    for (const auto& shown : boxes.shown) {
        EXPECT_EQ(shown.title, L"Alarme activée !");
        EXPECT_EQ(shown.style, box::ok | box::iconInformation | box::setForeground | box::topMost);
        EXPECT_EQ(shown.text.substr(0, 19), L"Il est : 07:30:00\r\n");
    }
    // The bells first; then each file is opened before its own box. An empty
    // path still goes to the shell, which refuses it silently.
    EXPECT_EQ(events, (std::vector<std::wstring>{L"bells", L"bells", L"open C:\\un.exe", L"box", L"box", L"open ", L"box"}));
    EXPECT_EQ(indicators.back().slot, (std::array<bool, 6>{false, true, true, true, false, true}));
    EXPECT_TRUE(indicators.back().any);

    check(at(7, 7, 30, 1, 400));
    EXPECT_EQ(boxes.shown.size(), 3u) << "nothing fires twice";
}

TEST_F(AlarmCheckTest, TicksInsideAnOpenBoxNeitherRefireNorLoseTheOtherDueSlots) {
    table.configure(1, {7, 30, L"Un", L"m1", false, L""});
    table.configure(2, {7, 30, L"Deux", L"m2", false, L""});
    table.configure(3, {7, 31, L"Trois", L"m3", false, L""});
    check(at(7, 7, 29, 59, 300));
    // The user leaves the first box open for a minute and a half; the clock
    // goes on ticking inside it, twice in one second at the start.
    boxes.whileFirstOpen = [this] {
        check(at(7, 7, 30, 0, 800));
        for (int s = 1; s <= 90; ++s) check(at(7, 7, 30 + s / 60, s % 60, 300));
    };
    check(at(7, 7, 30, 0, 300));
    ASSERT_EQ(boxes.shown.size(), 3u);
    EXPECT_EQ(secondLine(0), L"Alarme n°1 : Un est activée. ");
    EXPECT_EQ(secondLine(1), L"Alarme n°3 : Trois est activée. ") << "fired by a tick inside the first box";
    EXPECT_EQ(boxes.shown[1].text.substr(0, 17), L"Il est : 07:31:00");
    EXPECT_EQ(secondLine(2), L"Alarme n°2 : Deux est activée. ") << "due in the same second as slot 1";
    EXPECT_EQ(boxes.shown[2].text.substr(0, 17), L"Il est : 07:30:00") << "the time of its own tick";

    check(at(7, 7, 31, 31, 300));
    EXPECT_EQ(boxes.shown.size(), 3u);
}

TEST_F(AlarmCheckTest, BellsFollowTheArmedStateAtEveryCheck) {
    check(at(7, 10, 0, 0));
    EXPECT_FALSE(indicators.back().any);
    table.arm(3);
    check(at(7, 10, 0, 1));
    EXPECT_TRUE(indicators.back().any);
    EXPECT_TRUE(indicators.back().slot[3]);
    table.disarm(3);
    check(at(7, 10, 0, 2));
    EXPECT_FALSE(indicators.back().any);
    EXPECT_FALSE(indicators.back().slot[3]);
    EXPECT_TRUE(boxes.shown.empty()) << "a slot armed at 00:00 does not fire at 10:00";
}

}  // namespace
}  // namespace orvane
