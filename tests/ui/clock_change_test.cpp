#include <windows.h>

#include <gtest/gtest.h>

#include "alarms/alarms_window.hpp"
#include "app/application.hpp"
#include "clock/main_window.hpp"
#include "support/app_fixture.hpp"

namespace orvane {
namespace {

using namespace orvane::testing;

// The system time is set while the clock runs: the window shows the new time
// at once, and the signal and the alarm come from the ticks alone, once for
// each time the clock passes their moment.
class ClockChangeWindowTest : public AppFixture {};

TEST_F(ClockChangeWindowTest, ASystemTimeChangeShowsAtOnceWithoutAStaleOrDoubleSignalOrAlarm) {
    ScratchFolder folder;
    const std::wstring face = folder.path() + L"face.bmp";
    writeBitmapFile(face, 58, 56, 0xFFFFFF);
    world.files.files.insert(face);
    main().settings.Pendule = face;
    app->form6().alarms().configure(1, {7, 30, L"Réveil", L"Debout", false, L""});
    // What the dial shows, pixel for pixel.
    auto dial = [&] {
        const auto picture =
            reinterpret_cast<HBITMAP>(SendMessageW(main().control(TForm1::Image1), STM_GETIMAGE, IMAGE_BITMAP, 0));
        DIBSECTION section{};
        GdiFlush();
        if (GetObjectW(picture, sizeof section, &section) != sizeof section) return std::string();
        const auto* bits = static_cast<const char*>(section.dsBm.bmBits);
        return std::string(bits, bits + section.dsBm.bmWidthBytes * section.dsBm.bmHeight);
    };

    enum Event { Tick, TimeChange };
    const struct {
        const char* step;
        Event event;
        LocalTime time;
        const wchar_t *shownTime, *shownDate, *shownDay;
        std::size_t signals, alarms;
    } steps[] = {
        {"running", Tick, {2026, 12, 7, 7, 29, 58, 2}, L"07:29:58", L"07/12/2026", L"Lundi", 0, 0},
        {"set a day and a bit ahead", TimeChange, {2026, 12, 8, 9, 59, 59, 400}, L"09:59:59", L"08/12/2026",
         L"Mardi", 0, 0},
        {"the full hour", Tick, {2026, 12, 8, 10, 0, 0, 2}, L"10:00:00", L"08/12/2026", L"Mardi", 1, 0},
        {"set back across it", TimeChange, {2026, 12, 8, 9, 59, 59, 500}, L"09:59:59", L"08/12/2026", L"Mardi",
         1, 0},
        {"the full hour again", Tick, {2026, 12, 8, 10, 0, 0, 2}, L"10:00:00", L"08/12/2026", L"Mardi", 2, 0},
        {"set back across the alarm", TimeChange, {2026, 12, 8, 7, 29, 59, 700}, L"07:29:59", L"08/12/2026",
         L"Mardi", 2, 0},
        {"the alarm's moment", Tick, {2026, 12, 8, 7, 30, 0, 2}, L"07:30:00", L"08/12/2026", L"Mardi", 2, 1},
        {"nudged within that second", TimeChange, {2026, 12, 8, 7, 30, 0, 900}, L"07:30:00", L"08/12/2026",
         L"Mardi", 2, 1},
        {"the next second", Tick, {2026, 12, 8, 7, 30, 1, 2}, L"07:30:01", L"08/12/2026", L"Mardi", 2, 1},
        {"set back into the alarm's second", TimeChange, {2026, 12, 8, 7, 30, 0, 500}, L"07:30:00",
         L"08/12/2026", L"Mardi", 2, 1},
        {"the tick after it", Tick, {2026, 12, 8, 7, 30, 1, 2}, L"07:30:01", L"08/12/2026", L"Mardi", 2, 1},
        {"set two hours ahead, the same minute", TimeChange, {2026, 12, 8, 9, 30, 1, 500}, L"09:30:01",
         L"08/12/2026", L"Mardi", 2, 1},
        {"no stale signal after it", Tick, {2026, 12, 8, 9, 30, 2, 2}, L"09:30:02", L"08/12/2026", L"Mardi", 2, 1},
        {"set back onto a full hour", TimeChange, {2026, 12, 8, 7, 0, 0, 300}, L"07:00:00", L"08/12/2026",
         L"Mardi", 2, 1},
        {"the tick after that", Tick, {2026, 12, 8, 7, 0, 1, 2}, L"07:00:01", L"08/12/2026", L"Mardi", 3, 1},
    };
    std::optional<LocalTime> shownBefore;
    for (const auto& s : steps) {
        const std::string dialBefore = dial();
        world.clock.setLocal(s.time);
        SendMessageW(main().hwnd(), s.event == Tick ? WM_TIMER : WM_TIMECHANGE, TForm1::Timer1, 0);
        EXPECT_EQ(text(main(), TForm1::Label2), s.shownTime) << s.step;
        EXPECT_EQ(text(main(), TForm1::Label1), s.shownDate) << s.step;
        EXPECT_EQ(text(main(), TForm1::Label3), s.shownDay) << s.step;
        wchar_t trayClock[32] = {};
        GetMenuStringW(main().trayMenu(), 0, trayClock, 32, MF_BYPOSITION);
        EXPECT_EQ(std::wstring(trayClock), L"Orvane - " + std::wstring(s.shownTime, 5)) << s.step;
        const bool moved = !shownBefore || shownBefore->hour != s.time.hour ||
                           shownBefore->minute != s.time.minute || shownBefore->second != s.time.second;
        EXPECT_EQ(dial() != dialBefore, moved) << s.step << ": the hands move when the second shown does";
        shownBefore = s.time;
        EXPECT_EQ(world.sound.beeps.size(), s.signals) << s.step;
        EXPECT_EQ(world.boxes.shown.size(), s.alarms) << s.step;
    }
}

}  // namespace
}  // namespace orvane
