#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <map>
#include <random>
#include <vector>

#include "alarms/alarms_window.hpp"
#include "app/application.hpp"
#include "common/calendar.hpp"
#include "clock/main_window.hpp"
#include "countdowns/countdowns_window.hpp"
#include "elapsed/elapsed_window.hpp"
#include "stopwatches/stopwatches_window.hpp"
#include "support/app_fixture.hpp"
#include "support/resource_count.hpp"

namespace orvane {
namespace {

using namespace orvane::testing;

constexpr std::int64_t hourMs = 3600000;
constexpr std::int64_t burstMs = 10000;  // second by second this long around a moment that matters

// Two days of the whole program at full speed. Time moves as the program
// would see it: each second's tick a system tick late, and between the
// moments that matter the thread held busy for 5 to 59 seconds at a time, so
// that one timer event stands for a stretch (that keeps the run to a few
// thousand events, and the program must take it as well as single seconds).
class LongRunTest : public AppFixture {
protected:
    std::int64_t now() const { return world.clock.monotonic; }

    // The monotonic instant at which the wall clock reads `t`.
    std::int64_t instantOf(const LocalTime& t) const {
        return (wallSeconds(t) - wallSeconds(start_)) * 1000 - start_.millisecond;
    }

    std::int64_t nextDelivery() {
        std::int64_t nearest = INT64_MAX;
        for (const std::int64_t m : watched_)
            if (m + burstMs >= now()) nearest = std::min(nearest, m);
        if (now() >= nearest - burstMs) {
            // Just after the next second of the wall clock, 15 or 16 ms late.
            const std::int64_t toBoundary = 1000 - (now() + start_.millisecond) % 1000;
            return now() + toBoundary + clockTimerMarginMs + 15 + static_cast<std::int64_t>(random_() % 2);
        }
        return std::min(now() + 5000 + static_cast<std::int64_t>(random_() % 54000), nearest - burstMs);
    }

    // One timer event for every window whose timer runs.
    void round() {
        world.clock.advance(nextDelivery() - now());
        SendMessageW(main().hwnd(), WM_TIMER, TForm1::Timer1, 0);
        endHourlyShake();
        SendMessageW(app->form4().hwnd(), WM_TIMER, TForm4::Timer1, 0);
        for (int n = 1; n <= stopwatchCount; ++n)
            if (app->form2().table().slot(n).running) SendMessageW(app->form2().hwnd(), WM_TIMER, n, 0);
        if (app->pasttime().count().ElapsedSeconds() != 0)
            SendMessageW(app->pasttime().hwnd(), WM_TIMER, Tpasttime::Timer1, 0);
    }

    LocalTime start_ = world.clock.now();
    std::vector<std::int64_t> watched_;
    std::mt19937 random_{20261207};
};

TEST_F(LongRunTest, FortyEightHoursGiveEachSignalAndAlarmEndCountdownsOnTimeAndLeakNothing) {
    // The counts themselves must see a leak: one brush, one window.
    const int gdiBefore = gdiObjectCount();
    const HBRUSH leak = CreateSolidBrush(0x123456);
    EXPECT_EQ(gdiObjectCount(), gdiBefore + 1);
    DeleteObject(leak);
    const int windowsBefore = windowCount();
    const HWND extra = CreateWindowExW(0, WC_STATICW, L"", WS_CHILD, 0, 0, 1, 1, main().hwnd(), nullptr, nullptr, nullptr);
    EXPECT_EQ(windowCount(), windowsBefore + 1);
    DestroyWindow(extra);

    // A real dial face, read at every tick; a beep at each full hour.
    ScratchFolder folder;
    const std::wstring face = folder.path() + L"face.bmp";
    writeBitmapFile(face, 58, 56, 0xFFFFFF);
    world.files.files.insert(face);
    main().settings.Pendule = face;
    main().settings.FrequenceBip = 440;
    main().settings.DureeBip = 100;

    // Five alarms; each moment is met second by second the first day and
    // crossed by a busy stretch the second.
    const std::pair<int, int> alarmTimes[] = {{0, 0}, {7, 30}, {10, 30}, {12, 0}, {23, 59}};
    for (int n = 1; n <= AlarmCount; ++n) {
        const auto [hour, minute] = alarmTimes[n - 1];
        app->form6().alarms().configure(n, {hour, minute, L"Alarme", L"", false, L""});
        LocalTime first = start_;
        first.hour = static_cast<std::uint16_t>(hour);
        first.minute = static_cast<std::uint16_t>(minute);
        first.second = first.millisecond = 0;
        std::int64_t at = instantOf(first);
        if (at < 0) at += 24 * hourMs;
        watched_.push_back(at);
    }
    // Every even full hour second by second, every odd one crossed by a busy stretch.
    LocalTime hour = start_;
    hour.minute = hour.second = hour.millisecond = 0;
    for (std::int64_t at = instantOf(hour) + hourMs; at < 48 * hourMs; at += hourMs)
        if (wallTimeAt(wallSeconds(start_) + (at + start_.millisecond) / 1000).hour % 2 == 0) watched_.push_back(at);

    // Countdowns: an hour, started again from its box each time it ends; 25:01:01; 47:46:40.
    std::map<int, std::vector<std::int64_t>> due{{1, {hourMs}}, {2, {90061000}}, {5, {172000000}}};
    app->form4().table().configure(1, 3600, L"Heure", L"", false, L"", now());
    app->form4().table().configure(2, 90061, L"Jour", L"", false, L"", now());
    app->form4().table().configure(5, 172000, L"Fin", L"", false, L"", now());
    for (const auto& [slot, dues] : due) watched_.push_back(dues.front());

    // A stopwatch, and the time elapsed since yesterday 0:00:00.
    for (int window : {TForm1::Compterebours1, TForm1::Chronomtre1, TForm1::PastTime1}) pick(window);
    click(app->form2(), TForm2::Button1);
    SYSTEMTIME yesterday{2026, 12, 0, 6, 0, 0, 0, 0};
    SendMessageW(app->pasttime().control(Tpasttime::DateTimePicker1), DTM_SETSYSTEMTIME, GDT_VALID,
                 reinterpret_cast<LPARAM>(&yesterday));
    click(app->pasttime(), Tpasttime::Button1);
    const std::int64_t elapsedAtStart = 86400 + 10 * 3600 + 30 * 60 + 15;

    std::map<int, int> alarmsFired;
    std::map<int, std::vector<std::int64_t>> ended;
    int nesting = 0;
    world.boxes.whileShown = [&](const FakeBoxes::Shown& box) {
        for (int n = 1; n <= AlarmCount; ++n)
            if (box.text.find(L"Alarme n°" + std::to_wstring(n) + L" ") != std::wstring::npos) ++alarmsFired[n];
        for (int n = 1; n <= countdownCount; ++n)
            if (box.text.find(L"Compte à rebours n°" + std::to_wstring(n) + L" ") != std::wstring::npos)
                ended[n].push_back(now());
        if (box.text.find(L"n°1 : Heure") != std::wstring::npos) {
            click(app->form4(), TForm4::SpeedButton2);  // started again from the box
            due[1].push_back(now() + hourMs);
            watched_.push_back(due[1].back());
        }
        // The user takes a couple of seconds to close it; the clock goes on meanwhile.
        if (nesting++ == 0)
            for (int k = 0; k < 2; ++k) round();
        --nesting;
    };

    std::vector<int> gdiByHour, windowsByHour;
    int rounds = 0;
    const auto began = std::chrono::steady_clock::now();
    while (now() < 48 * hourMs) {
        round();
        ++rounds;
        if (now() >= static_cast<std::int64_t>(gdiByHour.size() + 1) * hourMs) {
            gdiByHour.push_back(gdiObjectCount());
            windowsByHour.push_back(windowCount());
        }
    }
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - began);
    std::printf("48 simulated hours: %d timer rounds in %lld ms; GDI objects %d then %d, windows %d then %d\n", rounds,
                static_cast<long long>(took.count()), gdiByHour.front(), gdiByHour.back(), windowsByHour.front(),
                windowsByHour.back());

    EXPECT_EQ(world.sound.beeps.size(), 48u) << "one signal for each full hour";
    EXPECT_EQ(world.random.reseeds, 48) << "one shake for each full hour";
    for (int n = 1; n <= AlarmCount; ++n) EXPECT_EQ(alarmsFired[n], 2) << "alarm " << n;

    ASSERT_EQ(ended[1].size(), 47u) << "an hour's countdown, 47 times in 48 hours";
    for (const auto& [slot, ends] : ended)
        for (std::size_t k = 0; k < ends.size(); ++k) {
            // Its box comes on the tick after it showed 00:00:00.
            EXPECT_GE(ends[k], due[slot][k] + 1000) << "countdown " << slot << " end " << k;
            EXPECT_LE(ends[k], due[slot][k] + 2100) << "countdown " << slot << " end " << k;
        }
    EXPECT_EQ(ended[2].size(), 1u);
    EXPECT_EQ(ended[5].size(), 1u);

    const double trueSeconds = static_cast<double>(now()) / 1000;
    unsigned h = 0, m = 0, s = 0;
    std::swscanf(text(app->form2(), TForm2::Label1).c_str(), L"%u:%u:%u", &h, &m, &s);
    EXPECT_NEAR(h * 3600.0 + m * 60 + s, trueSeconds - 0.5, 0.5) << "the stopwatch keeps the true time";
    long long elapsed = 0;
    std::swscanf(text(app->pasttime(), Tpasttime::Label4).c_str(), L"%lld", &elapsed);
    // It tells the elapsed time one second late, by design, and no later.
    EXPECT_NEAR(static_cast<double>(elapsed), elapsedAtStart + 0.25 + trueSeconds - 1.5, 0.5);

    for (std::size_t k = 1; k < gdiByHour.size(); ++k) {
        EXPECT_EQ(gdiByHour[k], gdiByHour.front()) << "GDI objects at hour " << k + 1;
        EXPECT_EQ(windowsByHour[k], windowsByHour.front()) << "windows at hour " << k + 1;
    }
    world.boxes.whileShown = nullptr;
}

}  // namespace
}  // namespace orvane
