#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "elapsed/elapsed_window.hpp"
#include "stopwatches/stopwatches_window.hpp"
#include "support/app_fixture.hpp"

namespace orvane {
namespace {

using namespace orvane::testing;

class StopwatchWindowTest : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        pick(TForm1::Chronomtre1);
    }
    TForm2& watches() { return app->form2(); }
    void showTab(int slot) { clickTab(watches().control(TForm2::PageControl1), slot - 1); }
    // The window's timer at that point of the monotonic count; real time
    // goes on with it.
    void timer(ui::Window& w, UINT_PTR id, std::int64_t monotonic) {
        world.clock.utc.ms += monotonic - world.clock.monotonic;
        world.clock.monotonic = monotonic;
        SendMessageW(w.hwnd(), WM_TIMER, id, 0);
    }
    std::vector<std::wstring> laps(int listBox) {
        std::vector<std::wstring> rows;
        const HWND list = watches().control(listBox);
        const int count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            wchar_t row[32] = {};
            SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(row));
            rows.push_back(row);
        }
        return rows;
    }
};

TEST_F(StopwatchWindowTest, EachTabDrivesItsOwnStopwatchAndLapList) {
    for (int id : {TForm2::Label1, TForm2::Label5}) EXPECT_EQ(text(watches(), id), L"00:00:00");

    world.clock.monotonic = 0;
    click(watches(), TForm2::Button1);  // Start on the first tab
    closeBox(watches());
    timer(watches(), 1, 1010);
    timer(watches(), 1, 3500);
    EXPECT_EQ(text(watches(), TForm2::Label1), L"00:00:03") << "the window is hidden and the watches count anyway";
    pick(TForm1::Chronomtre1);
    click(watches(), TForm2::SpeedButton1);
    click(watches(), TForm2::SpeedButton1);  // twice in the same second: the same text twice
    EXPECT_EQ(laps(TForm2::ListBox5), (std::vector<std::wstring>{L"00:00:03", L"00:00:03"}));
    EXPECT_TRUE(laps(TForm2::ListBox1).empty());

    world.clock.monotonic = 4000;
    showTab(5);
    click(watches(), TForm2::Button13);  // Start on the last tab
    timer(watches(), 5, 65000);
    click(watches(), TForm2::SpeedButton5);
    EXPECT_EQ(laps(TForm2::ListBox1), (std::vector<std::wstring>{L"00:01:01"}));
    EXPECT_EQ(text(watches(), TForm2::Label5), L"00:01:01");
    EXPECT_EQ(text(watches(), TForm2::Label1), L"00:00:03") << "tab 1 moves only on its own timer";

    world.clock.monotonic = 66000;
    click(watches(), TForm2::Button15);  // RAZ on the last tab
    EXPECT_EQ(text(watches(), TForm2::Label5), L"00:00:00");
    EXPECT_TRUE(laps(TForm2::ListBox1).empty());
    EXPECT_FALSE(watches().table().slot(5).running);
    EXPECT_EQ(laps(TForm2::ListBox5).size(), 2u);
}

// At start every tab shows a zero count and no lap; a lap on a stopwatch
// that never ran notes that zero; and a stopwatch goes on counting while the
// clock waits in the tray, its window gone with it.
TEST_F(StopwatchWindowTest, EveryTabStartsAtZeroAndAStopwatchCountsOnInTheTray) {
    for (const TForm2::SlotControls& s : TForm2::Slots) {
        showTab(s.slot);
        EXPECT_EQ(text(watches(), s.display), L"00:00:00") << s.slot;
        EXPECT_TRUE(laps(s.laps).empty()) << s.slot;
        click(watches(), s.lap);
        EXPECT_EQ(laps(s.laps), std::vector<std::wstring>{L"00:00:00"}) << s.slot;
    }
    const TForm2::SlotControls& third = TForm2::Slots[2];
    showTab(third.slot);
    world.clock.monotonic = 0;
    click(watches(), third.start);
    closeBox(main());
    ASSERT_TRUE(main().isInTray());
    ASSERT_FALSE(watches().isVisible());
    timer(watches(), static_cast<UINT_PTR>(third.slot), 125000);
    EXPECT_EQ(text(watches(), third.display), L"00:02:05");
}

TEST_F(StopwatchWindowTest, StopKeepsTheCountAndItsFraction) {
    world.clock.monotonic = 0;
    showTab(2);
    click(watches(), TForm2::Button4);
    world.clock.monotonic = 3500;
    click(watches(), TForm2::Button5);
    EXPECT_EQ(text(watches(), TForm2::Label2), L"00:00:03");
    timer(watches(), 2, 10000);  // a late event after the stop changes nothing
    EXPECT_EQ(text(watches(), TForm2::Label2), L"00:00:03");
    world.clock.monotonic = 20000;
    click(watches(), TForm2::Button4);
    timer(watches(), 2, 20500);
    EXPECT_EQ(text(watches(), TForm2::Label2), L"00:00:04");
}

TEST_F(StopwatchWindowTest, TheElapsedWindowCountsFromTheChosenMoment) {
    Tpasttime& past = app->pasttime();
    pick(TForm1::PastTime1);
    const int lines[] = {Tpasttime::Label1, Tpasttime::Label2, Tpasttime::Label3, Tpasttime::Label4};
    auto shown = [&] {
        std::vector<std::wstring> all;
        for (int id : lines) all.push_back(text(past, id));
        return all;
    };
    EXPECT_EQ(text(past, Tpasttime::Label2), L"0 heure(s), 0 minute(s), et 0 seconde(s) ");
    world.clock.setLocal({2026, 12, 7, 10, 0, 0, 0});
    SYSTEMTIME yesterday{2026, 12, 0, 6, 0, 0, 0, 0};
    SendMessageW(past.control(Tpasttime::DateTimePicker1), DTM_SETSYSTEMTIME, GDT_VALID,
                 reinterpret_cast<LPARAM>(&yesterday));
    world.clock.monotonic = 0;
    click(past, Tpasttime::Button1);
    EXPECT_EQ(text(past, Tpasttime::Label10), L"Temps écoulé depuis le 06/12/2026 à 0:0:0");
    EXPECT_EQ(text(past, Tpasttime::Label1), L"0 jour(s), 0 heure(s), 0 minute(s), et 0 seconde(s)")
        << "the labels change at the next tick";
    timer(past, Tpasttime::Timer1, 1000);
    EXPECT_EQ(shown(), (std::vector<std::wstring>{L"1 jour(s), 10 heures, 0 minute(s), et 0 seconde(s)",
                                                  L"34 heures, 0 minute(s), et 0 seconde(s)",
                                                  L"2040 minute(s), et 0 seconde(s)", L"122400 seconde(s)"}));

    // "Voir !" again, with a time typed out of range: it comes back to 23.
    type(past, Tpasttime::SpinEdit1, L"99");
    type(past, Tpasttime::SpinEdit2, L"5");
    type(past, Tpasttime::SpinEdit3, L"");
    world.clock.monotonic = 1500;
    click(past, Tpasttime::Button1);
    EXPECT_EQ(text(past, Tpasttime::SpinEdit1), L"23");
    EXPECT_EQ(text(past, Tpasttime::Label10), L"Temps écoulé depuis le 06/12/2026 à 23:5:0");
    timer(past, Tpasttime::Timer1, 2600);
    // A second of real time went by since the first "Voir !".
    EXPECT_EQ(shown(), (std::vector<std::wstring>{L"0 jour(s), 10 heures, 55 minute(s), et 1 seconde(s)",
                                                  L"10 heures, 55 minute(s), et 1 seconde(s)",
                                                  L"655 minute(s), et 1 seconde(s)", L"39301 seconde(s)"}));

    // Today at the present second gives 0: the count stops, the heading
    // changes, and the lines keep what they showed.
    const std::vector<std::wstring> before = shown();
    SYSTEMTIME today{2026, 12, 0, 7, 0, 0, 0, 0};
    SendMessageW(past.control(Tpasttime::DateTimePicker1), DTM_SETSYSTEMTIME, GDT_VALID,
                 reinterpret_cast<LPARAM>(&today));
    type(past, Tpasttime::SpinEdit1, L"10");
    type(past, Tpasttime::SpinEdit2, L"0");
    type(past, Tpasttime::SpinEdit3, L"2");
    click(past, Tpasttime::Button1);
    EXPECT_EQ(text(past, Tpasttime::Label10), L"Temps écoulé depuis le 07/12/2026 à 10:0:2");
    timer(past, Tpasttime::Timer1, 9000);
    EXPECT_EQ(shown(), before) << "a stopped count";
}

}  // namespace
}  // namespace orvane
