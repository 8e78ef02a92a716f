#include <windows.h>

#include <gtest/gtest.h>

#include <commctrl.h>

#include <functional>
#include <set>

#include "alarms/alarms_window.hpp"
#include "app/application.hpp"
#include "clock/main_window.hpp"
#include "countdowns/countdown_dialog.hpp"
#include "elapsed/elapsed_window.hpp"
#include "stopwatches/stopwatches_window.hpp"
#include "support/app_fixture.hpp"

namespace orvane {
namespace {

using namespace orvane::testing;

// The system time is set while the clock runs: the window shows the new time
// at once, and what the step went over rings or is listed then; the signal
// and the alarm ring once for each moment, a correction back repeating none.
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
        {"set a day and a bit ahead: the alarm jumped is listed", TimeChange, {2026, 12, 8, 9, 59, 59, 400},
         L"09:59:59", L"08/12/2026", L"Mardi", 0, 1},
        {"the full hour", Tick, {2026, 12, 8, 10, 0, 0, 2}, L"10:00:00", L"08/12/2026", L"Mardi", 1, 1},
        {"set back across it", TimeChange, {2026, 12, 8, 9, 59, 59, 500}, L"09:59:59", L"08/12/2026", L"Mardi",
         1, 1},
        {"the full hour again: a correction repeats nothing", Tick, {2026, 12, 8, 10, 0, 0, 2}, L"10:00:00",
         L"08/12/2026", L"Mardi", 1, 1},
        {"set back across the alarm", TimeChange, {2026, 12, 8, 7, 29, 59, 700}, L"07:29:59", L"08/12/2026",
         L"Mardi", 1, 1},
        {"the alarm's moment", Tick, {2026, 12, 8, 7, 30, 0, 2}, L"07:30:00", L"08/12/2026", L"Mardi", 1, 2},
        {"nudged within that second", TimeChange, {2026, 12, 8, 7, 30, 0, 900}, L"07:30:00", L"08/12/2026",
         L"Mardi", 1, 2},
        {"the next second", Tick, {2026, 12, 8, 7, 30, 1, 2}, L"07:30:01", L"08/12/2026", L"Mardi", 1, 2},
        {"set back into the alarm's second", TimeChange, {2026, 12, 8, 7, 30, 0, 500}, L"07:30:00",
         L"08/12/2026", L"Mardi", 1, 2},
        {"the tick after it", Tick, {2026, 12, 8, 7, 30, 1, 2}, L"07:30:01", L"08/12/2026", L"Mardi", 1, 2},
        {"set two hours ahead, the same minute", TimeChange, {2026, 12, 8, 9, 30, 1, 500}, L"09:30:01",
         L"08/12/2026", L"Mardi", 1, 2},
        {"no stale signal after it", Tick, {2026, 12, 8, 9, 30, 2, 2}, L"09:30:02", L"08/12/2026", L"Mardi", 1, 2},
        {"set back onto a full hour: it rings", TimeChange, {2026, 12, 8, 7, 0, 0, 300}, L"07:00:00",
         L"08/12/2026", L"Mardi", 2, 2},
        {"the tick after that", Tick, {2026, 12, 8, 7, 0, 1, 2}, L"07:00:01", L"08/12/2026", L"Mardi", 2, 2},
    };
    std::optional<LocalTime> shownBefore;
    for (const auto& s : steps) {
        const std::string dialBefore = dial();
        world.clock.setLocal(s.time);
        const int zoneNotices = world.clock.zoneNotices;
        SendMessageW(main().hwnd(), s.event == Tick ? WM_TIMER : WM_TIMECHANGE, TForm1::Timer1, 0);
        EXPECT_EQ(world.clock.zoneNotices - zoneNotices, s.event == Tick ? 0 : 1) << s.step << ": the zone read again";
        endHourlyShake();
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

// Time as it goes by around an open program: midnight, and a night asleep.
class TimeGoesByTest : public AppFixture {
protected:
    // Serves the program's messages, timers included, until `done` (for at
    // most `limitMs`: the timers that matter here are set for a millisecond).
    bool serveUntil(const std::function<bool()>& done, ULONGLONG limitMs = 2000) {
        const ULONGLONG until = GetTickCount64() + limitMs;
        do {
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
            if (done()) return true;
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
        } while (GetTickCount64() < until);
        return done();
    }
    // The countdown setup of slot 1, from its "Nouveau Compte à rebours".
    TForm5& newCountdown() {
        pick(TForm1::Compterebours1);
        world.boxes.answer = box::answerYes;
        click(app->form4(), TForm4::Tabs[1].newButton);
        world.boxes.answer = box::answerOk;
        return app->form5();
    }
    static int dateOf(const SYSTEMTIME& t) { return t.wYear * 10000 + t.wMonth * 100 + t.wDay; }
};

TEST_F(TimeGoesByTest, AWindowLeftOpenAcrossMidnightOffersTheNewDay) {
    tickAt({2026, 12, 7, 23, 59, 58, 2});
    TForm5& setup = newCountdown();
    Tpasttime& past = app->pasttime();
    pick(TForm1::PastTime1);
    // Both stay open, the elapsed window active, while midnight comes.
    tickAt({2026, 12, 7, 23, 59, 59, 2});
    tickAt({2026, 12, 8, 0, 0, 0, 2});
    SYSTEMTIME range[2] = {};
    EXPECT_TRUE(SendMessageW(past.control(Tpasttime::DateTimePicker1), DTM_GETRANGE, 0,
                             reinterpret_cast<LPARAM>(range)) & GDTR_MAX);
    EXPECT_EQ(dateOf(range[1]), 20261208) << "the latest day to pick is the new one";
    SendMessageW(setup.control(TForm5::DateTimePicker1), DTM_GETRANGE, 0, reinterpret_cast<LPARAM>(range));
    EXPECT_EQ(dateOf(range[0]), 20261208) << "the countdown's earliest day moves on";
    SYSTEMTIME shown{};
    SendMessageW(setup.control(TForm5::DateTimePicker1), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&shown));
    EXPECT_EQ(dateOf(shown), 20261208) << "the day gone by is not kept";

    // The user picks today in the elapsed window: it counts from its midnight.
    SYSTEMTIME today{2026, 12, 0, 8, 0, 0, 0, 0};
    EXPECT_TRUE(SendMessageW(past.control(Tpasttime::DateTimePicker1), DTM_SETSYSTEMTIME, GDT_VALID,
                             reinterpret_cast<LPARAM>(&today)));
    click(past, Tpasttime::Button1);
    EXPECT_EQ(text(past, Tpasttime::Label10), L"Temps écoulé depuis le 08/12/2026 à 0:0:0");
}

// A countdown, a stopwatch, the elapsed count and two alarms run; the
// computer sleeps three hours over one alarm and the countdown's end, then
// wakes up and tells the program, twice as the system does.
TEST_F(TimeGoesByTest, AfterASleepEverythingIsRightAtOnceAndTheMissedAlarmIsTold) {
    tickAt({2026, 12, 7, 7, 0, 30, 2});
    app->form6().alarms().configure(1, {8, 0, L"Réveil", L"Debout", true, L"C:\\radio.exe"});
    app->form6().alarms().configure(2, {12, 0, L"Déjeuner", L"", false, L""});

    TForm5& setup = newCountdown();
    pressArrow(setup.control(TForm5::UpDown3), true, 10);  // ten minutes
    click(setup, TForm5::CheckBox1);
    world.fileChooser.answer = L"C:\\four.exe";
    click(setup, TForm5::Button3);
    click(setup, TForm5::Button1);
    pick(TForm1::Chronomtre1);
    click(app->form2(), TForm2::Button1);
    Tpasttime& past = app->pasttime();
    pick(TForm1::PastTime1);
    click(past, Tpasttime::Button1);  // since today at 0:0:0

    world.boxes.shown.clear();  // the setup's confirmation
    world.clock.advance(3 * 3600 * 1000);
    SendMessageW(main().hwnd(), WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
    const auto woken = [&] {
        return text(main(), TForm1::Label2) == L"10:00:30" && !world.boxes.shown.empty() &&
               text(app->form2(), TForm2::Label1) == L"03:00:00" && text(past, Tpasttime::Label4) != L"0 seconde(s)";
    };
    ASSERT_TRUE(serveUntil(woken)) << "nothing caught up after the resume";
    wchar_t trayClock[32] = {};
    GetMenuStringW(main().trayMenu(), 0, trayClock, 32, MF_BYPOSITION);
    EXPECT_EQ(std::wstring(trayClock), L"Orvane - 10:00");
    EXPECT_EQ(text(past, Tpasttime::Label4), L"36029 seconde(s)") << "7 h 0 min 30 s since midnight, less the lag of a second";
    EXPECT_EQ(text(app->form4(), TForm4::Label1), L"00:00:00");

    SendMessageW(main().hwnd(), WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, 0);
    serveUntil([] { return false; }, 200);  // whatever the second notice sets off
    endHourlyShake();  // 10:00 rang in the last minute: the alarms follow its shake
    std::set<std::wstring> titles;
    for (const FakeBoxes::Shown& shown : world.boxes.shown) titles.insert(shown.title);
    EXPECT_EQ(titles, (std::set<std::wstring>{L"Alarme manquée !", L"Compte à rebours terminé !"}));
    ASSERT_EQ(world.boxes.shown.size(), 2u) << "each told once";
    for (const FakeBoxes::Shown& shown : world.boxes.shown) {
        if (shown.title != L"Alarme manquée !") continue;
        EXPECT_EQ(shown.text, L"Cette alarme n'a pas sonné, car l'ordinateur était en veille ou occupé :\r\n"
                                  L"Alarme n°1 : Réveil, prévue le 07/12/2026 à 08:00:00");
    }
    EXPECT_EQ(world.shell.opened, (std::vector<std::wstring>{L"C:\\four.exe"})) << "the missed alarm opens nothing";
    EXPECT_EQ(text(main(), TForm1::Label2), L"10:00:30");
    EXPECT_EQ(text(app->form2(), TForm2::Label1), L"03:00:00");
}

}  // namespace
}  // namespace orvane
