#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <tuple>

#include "alarms/alarm_dialog.hpp"
#include "alarms/alarms_window.hpp"
#include "app/application.hpp"
#include "clock/main_window.hpp"
#include "countdowns/countdowns_window.hpp"
#include "platform/ui/window.hpp"
#include "stopwatches/stopwatches_window.hpp"
#include "support/app_fixture.hpp"

namespace orvane {
namespace {

using namespace orvane::testing;

LocalTime at(int hour, int minute, int second, int ms = 0, int day = 7) {
    return LocalTime{2026, 12, static_cast<std::uint16_t>(day), static_cast<std::uint16_t>(hour),
                     static_cast<std::uint16_t>(minute), static_cast<std::uint16_t>(second),
                     static_cast<std::uint16_t>(ms)};
}

class AlarmsWindowTest : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        pick(TForm1::Alarme1);  // "Suppléments" > "Alarmes"
    }

    TForm6& alarms() { return app->form6(); }
    TForm7& dialog() { return app->form7(); }
    const AlarmSlot& slot(int n) { return alarms().alarms()[n]; }
    const TForm6::SlotControls& tab(int n) { return TForm6::slotControls[static_cast<std::size_t>(n)]; }
    HWND a6(int id) { return alarms().control(id); }
    HWND a7(int id) { return dialog().control(id); }
    using AppFixture::text;
    static std::wstring text(HWND control) { return ui::windowText(control); }
    static bool checked(HWND button) { return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }
    // Shown as far as the control itself goes, whichever tab is in front.
    static bool shown(HWND control) { return (GetWindowLongW(control, GWL_STYLE) & WS_VISIBLE) != 0; }
    using AppFixture::click;
    using AppFixture::type;
    using AppFixture::press;
    void type(int id, const wchar_t* value) { AppFixture::type(a7(id), value); }
    void showTab(int n) { clickTab(alarms().pages().tabControl(), n - 1); }
    void tick(const LocalTime& now) {
        clock.setLocal(now);
        SendMessageW(app->form1().hwnd(), WM_TIMER, TForm1::Timer1, 0);
        endHourlyShake();
    }
    bool mainBell() { return shown(app->form1().control(TForm1::Image2)); }
    RECT placeIn(HWND control, HWND parent) {
        RECT box;
        GetWindowRect(control, &box);
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&box), 2);
        return box;
    }

    void press(int upDown, bool up, int times) { pressArrow(a7(upDown), up, times); }
    void setTime(int hour, int minute) {
        press(TForm7::UpDown2, false, 24);
        press(TForm7::UpDown2, true, hour);
        press(TForm7::UpDown1, false, 60);
        press(TForm7::UpDown1, true, minute);
    }

    FakeClock& clock = world.clock;
    FakeBoxes& boxes = world.boxes;
    FakeFileChooser& chooser = world.fileChooser;
};

TEST_F(AlarmsWindowTest, FirstDisplayShowsEveryTabDisarmedBuiltFromOneTemplate) {
    ASSERT_TRUE(alarms().isVisible());
    const HWND tabs = alarms().pages().tabControl();
    RECT tabArea, last;
    GetClientRect(tabs, &tabArea);
    SendMessageW(tabs, TCM_GETITEMRECT, AlarmCount - 1, reinterpret_cast<LPARAM>(&last));
    EXPECT_LE(last.right, tabArea.right) << "all the tabs fit without scroll arrows";
    for (int n = 1; n <= AlarmCount; ++n) {
        const auto& c = tab(n);
        for (const int id : {c.timeLabel, c.indicator, c.titleLabel, c.yes, c.no, c.frame, c.configure})
            EXPECT_EQ(GetParent(a6(id)), alarms().TabSheet(n)) << "control " << id;
        EXPECT_EQ(text(a6(c.timeLabel)) + text(a6(c.titleLabel)) + text(a6(c.frame)) + text(a6(c.configure)),
                  L"00:00:00Non définiActiver ?Configurer...");
        EXPECT_FALSE(checked(a6(c.yes)));
        EXPECT_TRUE(checked(a6(c.no)));
        EXPECT_FALSE(shown(a6(c.indicator)));
    }
    tick(at(10, 0, 0));
    EXPECT_FALSE(mainBell());

    // Slot 3 alone, armed: its bell and the main window's at the next tick, no other.
    showTab(3);
    click(a6(tab(3).yes));
    tick(at(10, 0, 1));
    for (int n = 1; n <= AlarmCount; ++n) EXPECT_EQ(shown(a6(tab(n).indicator)), n == 3) << n;
    EXPECT_TRUE(mainBell());
    // Nothing is kept: a new start shows every slot disarmed.
    start();
    pick(TForm1::Alarme1);
    for (int n = 1; n <= AlarmCount; ++n) {
        EXPECT_TRUE(checked(a6(tab(n).no)) && !checked(a6(tab(n).yes))) << n;
        EXPECT_FALSE(slot(n).armed()) << n;
    }
}

TEST_F(AlarmsWindowTest, ConfiguringSlotOneArmsItShowsTheBellsAndFiresDaily) {
    click(a6(TForm6::Button1));
    EXPECT_TRUE(dialog().isVisible());
    EXPECT_FALSE(alarms().isEnabled()) << "the alarms window waits for the dialog";
    setTime(8, 5);
    EXPECT_EQ(text(a7(TForm7::Label3)) + text(a7(TForm7::Label2)) + text(a7(TForm7::Label1)), L"08:05");
    type(TForm7::Edit2, L"Café");
    click(a7(TForm7::Button2));

    EXPECT_FALSE(dialog().isVisible());
    EXPECT_TRUE(alarms().isEnabled());
    EXPECT_EQ(text(a6(TForm6::Label1)), L"08:05:00");
    EXPECT_EQ(text(a6(TForm6::Label6)), L"Café");
    EXPECT_TRUE(checked(a6(TForm6::rb1)));
    EXPECT_FALSE(checked(a6(TForm6::rb2)));
    tick(at(8, 4, 59, 600));
    EXPECT_TRUE(shown(a6(TForm6::Image1)));
    EXPECT_FALSE(shown(a6(TForm6::Image2)));
    EXPECT_TRUE(mainBell());
    const RECT time = placeIn(a6(TForm6::Label1), alarms().TabSheet(1));
    const RECT bell = placeIn(a6(TForm6::Image1), alarms().TabSheet(1));
    EXPECT_GT(bell.left, time.right) << "the bell is not hidden under the time";

    // A late timer fires it all the same, once; and again the next day.
    tick(at(8, 5, 1, 20));
    tick(at(8, 5, 1, 900));
    tick(at(8, 5, 0, 600, 8));
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[0].text, L"Il est : 08:05:01\r\nAlarme n°1 : Café est activée. \r\nNon défini");
    EXPECT_EQ(boxes.shown[0].title, L"Alarme activée !");

    // "non" disarms without touching the rest; the bells go at the next tick.
    click(a6(TForm6::rb2));
    tick(at(8, 5, 1, 600, 8));
    EXPECT_FALSE(shown(a6(TForm6::Image1)));
    EXPECT_FALSE(mainBell());
    EXPECT_EQ(std::tie(slot(1).Status, slot(1).Hour, slot(1).Minute, slot(1).Title),
              std::make_tuple(L"nook", 8, 5, L"Café"));
    click(a6(TForm6::rb1));
    EXPECT_TRUE(slot(1).armed());
    // The arrow keys move within the pair as they do in any dialog.
    activate(alarms());
    press({VK_RIGHT});
    EXPECT_EQ(GetFocus(), a6(TForm6::rb2));
    EXPECT_TRUE(checked(a6(TForm6::rb2)));
    EXPECT_FALSE(checked(a6(TForm6::rb1)));
    EXPECT_FALSE(slot(1).armed());
}

TEST_F(AlarmsWindowTest, TheDialogCarriesSlotOnesEntriesToSlotThree) {
    const HWND browse = a7(TForm7::Button1);
    click(a6(TForm6::Button1));
    setTime(7, 30);
    type(TForm7::Edit2, L"Réveil");
    type(TForm7::Edit1, L"Debout");
    EXPECT_FALSE(IsWindowEnabled(browse));
    click(a7(TForm7::CheckBox1));
    EXPECT_TRUE(IsWindowEnabled(browse));
    chooser.answers = {L"C:\\Programmes\\reveil.exe", std::nullopt};
    click(browse);
    click(browse);  // cancelled: the name stays
    EXPECT_EQ(text(a7(TForm7::Label6)), L"C:\\Programmes\\reveil.exe");
    ASSERT_EQ(chooser.asked.size(), 2u);
    EXPECT_EQ(chooser.asked[0].owner, dialog().hwnd());
    EXPECT_EQ(chooser.asked[0].filter, L"") << "every file may be chosen";
    EXPECT_EQ(chooser.asked[1].current, L"C:\\Programmes\\reveil.exe");
    click(a7(TForm7::Button2));

    showTab(3);
    click(a6(TForm6::Button3));
    EXPECT_EQ(dialog().EditedSlot, 3);
    click(a7(TForm7::Button2));
    EXPECT_TRUE(slot(3).armed());
    EXPECT_EQ(std::tie(slot(3).Hour, slot(3).Minute, slot(3).Title, slot(3).Message, slot(3).RunFile, slot(3).FilePath),
              std::make_tuple(7, 30, L"Réveil", L"Debout", L"oui", L"C:\\Programmes\\reveil.exe"));

    // Cleared, the box disables "Parcourir..." and "OK" stores "non" with the file.
    showTab(4);
    click(a6(TForm6::Button4));
    click(a7(TForm7::CheckBox1));
    EXPECT_FALSE(IsWindowEnabled(browse));
    click(a7(TForm7::Button2));
    EXPECT_EQ(std::tie(slot(4).RunFile, slot(4).FilePath), std::make_tuple(L"non", L"C:\\Programmes\\reveil.exe"));

    // At their minute the alarms open their files, those that have one ticked,
    // before any box: the music of slot 3 does not wait behind the box of slot 1.
    tick(at(7, 29, 59, 500));
    world.log.clear();
    tick(at(7, 30, 0, 500));
    std::vector<std::wstring> told;
    for (const std::wstring& entry : world.log)
        told.push_back(entry.substr(0, entry.find(L" : ", entry.find(L"Alarme n°"))));
    EXPECT_EQ(told, (std::vector<std::wstring>{
                        L"open C:\\Programmes\\reveil.exe", L"open C:\\Programmes\\reveil.exe",
                        L"box Il est : 07:30:00\r\nAlarme n°1", L"box Il est : 07:30:00\r\nAlarme n°3",
                        L"box Il est : 07:30:00\r\nAlarme n°4"}));

    // The path shows inside the options frame, under the check box.
    const RECT path = placeIn(a7(TForm7::Label6), dialog().hwnd());
    const RECT frame = placeIn(a7(TForm7::GroupBox2), dialog().hwnd());
    EXPECT_GE(path.top, placeIn(a7(TForm7::CheckBox1), dialog().hwnd()).bottom);
    EXPECT_TRUE(path.left > frame.left && path.right < frame.right && path.bottom < frame.bottom);
}

TEST_F(AlarmsWindowTest, LeavingWithoutOkChangesNoSlotButTheEntriesStay) {
    // "Annuler", the close box, Escape, and the main window going to the tray.
    const std::function<void()> leaves[] = {
        [&] { click(a7(TForm7::Button3)); },
        [&] { closeBox(dialog()); },
        [&] { press({VK_ESCAPE}); },
        [&] { closeBox(app->form1()); },
    };
    int hour = 9;
    showTab(5);
    for (const auto& leave : leaves) {
        click(a6(TForm6::Button5));
        setTime(hour, 59);
        type(TForm7::Edit1, L"Autre message");
        leave();
        EXPECT_FALSE(dialog().isVisible());
        EXPECT_TRUE(alarms().isVisible());
        EXPECT_TRUE(alarms().isEnabled());
        EXPECT_EQ(std::tie(slot(5).Status, slot(5).Hour, slot(5).Message), std::make_tuple(L"nook", 0, L"Non défini"));
        click(a6(TForm6::Button5));
        EXPECT_EQ(text(a7(TForm7::Label3)), twoDigitText(hour)) << "the entries stay for the next opening";
        EXPECT_EQ(text(a7(TForm7::Edit1)), L"Autre message");
        click(a7(TForm7::Button3));
        ++hour;
    }
}

TEST_F(AlarmsWindowTest, TheArrowsStopAtTheirEnds) {
    click(a6(TForm6::Button1));
    const struct {
        int upDown, label;
        bool up;
        int presses;
        const wchar_t* text;
    } presses[] = {
        {TForm7::UpDown2, TForm7::Label3, false, 1, L"00"}, {TForm7::UpDown2, TForm7::Label3, true, 9, L"09"},
        {TForm7::UpDown2, TForm7::Label3, true, 30, L"23"}, {TForm7::UpDown1, TForm7::Label1, false, 3, L"00"},
        {TForm7::UpDown1, TForm7::Label1, true, 70, L"59"}, {TForm7::UpDown1, TForm7::Label1, false, 1, L"58"},
    };
    for (const auto& p : presses) {
        press(p.upDown, p.up, p.presses);
        EXPECT_EQ(text(a7(p.label)), p.text);
        EXPECT_EQ(twoDigitText(static_cast<int>(SendMessageW(a7(p.upDown), UDM_GETPOS32, 0, 0))), p.text);
    }
}

TEST_F(AlarmsWindowTest, TheTabsFollowTheTableEachTimeTheWindowIsActivated) {
    alarms().alarms().configure(4, {23, 7, L"Dodo", L"", false, L""});
    alarms().alarms().disarm(4);
    alarms().alarms().arm(5);
    EXPECT_EQ(text(a6(TForm6::Label4)), L"00:00:00");
    activate(app->form1());
    activate(alarms());
    showTab(4);
    EXPECT_EQ(text(a6(TForm6::Label4)) + text(a6(TForm6::Label9)), L"23:07:00Dodo");
    EXPECT_TRUE(checked(a6(TForm6::rb8)));
    EXPECT_TRUE(checked(a6(TForm6::rb9)));
    EXPECT_FALSE(checked(a6(TForm6::rb10)));
}

BOOL CALLBACK tellHighContrastSwitched(HWND window, LPARAM) {
    SendMessageW(window, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
    return TRUE;
}

// A high-contrast theme or the user's own colours: the program's own
// pictures take the new face colour behind them at once, and their outline
// a high-contrast theme's text colour, switched on or off while it runs.
TEST_F(AlarmsWindowTest, TheProgramsPicturesFollowTheSystemsColoursAndHighContrast) {
    click(a6(TForm6::rb1));
    tick(at(10, 30, 16));
    const struct {
        HWND control;
        int x, y;  // a pixel of the outline
        COLORREF outline;  // as drawn
    } pictures[] = {
        {a6(TForm6::Image1), 5, 0, RGB(0x48, 0x30, 0)}, {app->form1().control(TForm1::Image2), 5, 0, RGB(0x48, 0x30, 0)},
        {app->form1().control(TForm1::Image1), 18, 2, RGB(0x60, 0x08, 0x0E)},  // the built-in face
        {app->form2().control(TForm2::Slots[0].lap), 1, 1, RGB(0x18, 0x20, 0x40)},
        {app->form4().control(TForm4::Tabs[1].restartButton), 9, 1, RGB(0x1C, 0x84, 0x38)},
    };
    const int element = COLOR_BTNFACE;
    const struct {
        COLORREF face;
        std::optional<std::uint32_t> themeText;  // high contrast on
    } themes[] = {{0, RGB(255, 255, 0)}, {0, std::nullopt}, {RGB(0, 0, 128), std::nullopt},
                  {RGB(255, 255, 255), 0}, {GetSysColor(element), std::nullopt}};
    for (const auto& t : themes) {
        world.contrast.themeText = t.themeText;
        // The system tells every window of new colours; of a switch alone, with WM_SETTINGCHANGE.
        if (t.face != GetSysColor(element)) ASSERT_TRUE(SetSysColors(1, &element, &t.face));
        else EnumThreadWindows(GetCurrentThreadId(), tellHighContrastSwitched, 0);
        for (const auto& p : pictures) {
            const bool button = (GetWindowLongW(p.control, GWL_STYLE) & SS_TYPEMASK) != SS_BITMAP;
            const auto pixel = [&](int x, int y) {
                return pixelAt(reinterpret_cast<HBITMAP>(SendMessageW(p.control, button ? BM_GETIMAGE : STM_GETIMAGE,
                                                                      IMAGE_BITMAP, 0)), x, y);
            };
            EXPECT_TRUE(waitFor([&] { return pixel(0, 0) == t.face; }, "the picture on the new face colour"));
            EXPECT_EQ(pixel(p.x, p.y), t.themeText.value_or(p.outline)) << GetDlgCtrlID(p.control) << " on " << t.face;
        }
    }
}

// An armed alarm wakes the computer a minute before its next moment, in real
// time by the zone's rules, and the timer is set again whenever that moment
// may move; nothing is asked while it stays where it is.
TEST_F(AlarmsWindowTest, TheWakeTimerFollowsTheNextMomentThatRings) {
    const FixedZone newYork(-5 * 3600), winterAllYear(3600);
    const FrenchZone paris;
    enum Do { Arm, Disarm, Configure, Tick, ChangeZone, SetClock, Suspend, Resume, EndInItsBox };
    const struct {
        const char* step;
        Do what;
        int slot;
        LocalTime time;  // the slot's hour and minute, or the clock's reading
        std::optional<LocalTime> wake;  // in UTC; nothing: cancelled
        std::size_t asked;
        const TimeZone* zone = nullptr;
        bool rings = false;  // after a resume
    } steps[] = {
        {"arming slot 3: tomorrow's 00:00", Arm, 3, {}, {{2026, 12, 7, 22, 59}}, 1},
        {"configuring it moves it", Configure, 3, {0, 0, 0, 11, 0}, {{2026, 12, 7, 9, 59}}, 2},
        {"a later slot armed leaves it", Arm, 1, {}, {{2026, 12, 7, 9, 59}}, 2},
        {"the earliest disarmed: the next one", Disarm, 3, {}, {{2026, 12, 7, 22, 59}}, 3},
        {"the last disarmed: cancelled", Disarm, 1, {}, std::nullopt, 4},
        {"set for the minute to come", Configure, 2, {0, 0, 0, 10, 31}, {{2026, 12, 7, 9, 30}}, 5},
        {"rung: tomorrow's", Tick, 0, {2026, 12, 7, 10, 31, 0, 300}, {{2026, 12, 8, 9, 30}}, 6},
        {"another zone: its own 10:31, today again", ChangeZone, 0, {}, {{2026, 12, 7, 15, 30}}, 7, &newYork},
        {"set to a spring eve in France", SetClock, 0, {2027, 3, 27, 22, 0}, {{2027, 3, 28, 8, 30}}, 8, &paris},
        {"02:30 that night is skipped: the jump", Configure, 2, {0, 0, 0, 2, 30}, {{2027, 3, 28, 0, 59}}, 9},
        {"a zone of the same offset, no summer time: its 02:30", ChangeZone, 0, {}, {{2027, 3, 28, 1, 29}}, 10,
         &winterAllYear},
        {"on the autumn eve: the first 02:30", SetClock, 0, {2027, 10, 30, 22, 0}, {{2027, 10, 31, 0, 29}}, 11, &paris},
        {"asleep, woken before it: asked again", Resume, 0, {2027, 10, 30, 23, 30, 0}, {{2027, 10, 31, 0, 29}}, 12},
        {"asleep, woken 3 s after it: it rings, then the next day's", Resume, 0, {2027, 10, 31, 2, 30, 3},
         {{2027, 11, 1, 1, 29}}, 13, nullptr, true},
        {"the next day: asked again", Tick, 0, {2027, 11, 1, 2, 29, 30}, {{2027, 11, 1, 1, 29}}, 14},
        {"put to sleep in the last minute: at the moment", Suspend, 0, {}, {{2027, 11, 1, 1, 30}}, 15},
        {"it rings (the next day asked), the session ends in its box, the clock is set: cancelled, nothing more",
         EndInItsBox, 0, {2027, 11, 1, 2, 30, 0, 300}, std::nullopt, 17},
    };
    for (const auto& s : steps) {
        const HWND main = app->form1().hwnd();
        if (s.slot != 0) showTab(s.slot);
        switch (s.what) {
        case Arm: click(a6(tab(s.slot).yes)); break;
        case Disarm: click(a6(tab(s.slot).no)); break;
        case Configure:
            click(a6(tab(s.slot).configure));
            setTime(s.time.hour, s.time.minute);
            click(a7(TForm7::Button2));
            break;
        case Tick: tick(s.time); break;
        case ChangeZone:
            clock.changeZone(*s.zone);
            clock.advance(1000);
            SendMessageW(main, WM_TIMER, TForm1::Timer1, 0);
            break;
        case SetClock:
            if (s.zone != nullptr) clock.useZone(*s.zone);
            clock.setLocal(s.time);
            SendMessageW(main, WM_TIMECHANGE, 0, 0);
            break;
        case Suspend: SendMessageW(main, WM_POWERBROADCAST, PBT_APMSUSPEND, 0); break;
        case EndInItsBox:  // the ticks go on inside the box until it returns, after the end
            boxes.whileShown = [&](const FakeBoxes::Shown&) {
                boxes.whileShown = nullptr;
                SendMessageW(main, WM_ENDSESSION, TRUE, 0);
                clock.advance(3600 * 1000);
                SendMessageW(main, WM_TIMECHANGE, 0, 0);
            };
            tick(s.time);
            break;
        case Resume: {
            const std::size_t shown = boxes.shown.size();
            clock.advance(instantOf(clock.zone(), s.time).ms - clock.utc.ms);
            SendMessageW(main, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
            ASSERT_TRUE(waitFor([&] { return text(app->form1(), TForm1::Label2) == world.formats.longTime(s.time); },
                                "the tick after the resume"));
            ASSERT_EQ(boxes.shown.size(), shown + (s.rings ? 1 : 0)) << s.step;
            if (s.rings) {
                EXPECT_EQ(boxes.shown.back().title, L"Alarme activée !") << "rung, not listed as missed";
            }
            break;
        }
        }
        endHourlyShake();  // the checks of a full hour wait for its shake
        const std::vector<std::optional<Instant>>& asked = world.wakeTimer.asked;
        ASSERT_EQ(asked.size(), s.asked) << s.step;
        EXPECT_EQ(asked.back().has_value(), s.wake.has_value()) << s.step;
        if (asked.back() && s.wake) {
            EXPECT_EQ(wallReadingAt(*asked.back(), 0), *s.wake) << s.step;
        }
    }
    app->finish();
    EXPECT_EQ(world.wakeTimer.asked.back(), std::nullopt) << "quitting leaves no wake-up behind";
}

// Arming an alarm while the plan keeps the computer asleep says so once in a
// run, in a box over the alarms window; nothing where it may wake or where
// Windows decides.
TEST_F(AlarmsWindowTest, ArmingTellsOnceWhenThePowerPlanKeepsWakeTimersOff) {
    using enum WakeTimerPlan;
    enum Do { Yes, No, Ok, NewRun };
    const struct {
        const char* step;
        WakeTimerPlan plan;
        Do what;
        const wchar_t* told;  // the box's first words; nullptr: no box
    } steps[] = {
        {"allowed on mains", allowed, Yes, nullptr},
        {"Modern Standby", systemDecides, Ok, nullptr},
        {"the plan unread", unknown, Yes, nullptr},
        {"disarming says nothing", refusedOnBattery, No, nullptr},
        {"refused on battery, armed by OK", refusedOnBattery, Ok, L"Sur batterie, "},
        {"armed again: told already", refusedOnMains, Yes, nullptr},
        {"another run, armed by oui", refusedOnMains, NewRun, L"Sur secteur, "},
    };
    for (const auto& s : steps) {
        world.wakeTimer.planInForce = s.plan;
        const std::size_t before = boxes.shown.size();
        if (s.what == NewRun) {
            start();
            pick(TForm1::Alarme1);
        }
        click(a6(s.what == No ? TForm6::rb2 : s.what == Ok ? TForm6::Button1 : TForm6::rb1));
        if (s.what == Ok) click(a7(TForm7::Button2));
        ASSERT_EQ(boxes.shown.size(), before + (s.told != nullptr ? 1 : 0)) << s.step;
        if (s.told == nullptr) continue;
        EXPECT_EQ(boxes.shown.back().text.rfind(s.told, 0), 0u) << s.step;
        EXPECT_NE(boxes.shown.back().text.find(L"choisissez «\u00A0Activer\u00A0» pour «\u00A0Autoriser les "
                                               L"minuteurs de réveil\u00A0», sous «\u00A0Veille\u00A0»"),
                  std::wstring::npos);
        EXPECT_EQ(boxes.shown.back().owner, static_cast<void*>(alarms().hwnd())) << s.step;
    }
}

// The computer stays awake from the wake-up to the moment, and while the
// alarm's box waits: until it is closed, or for fifteen minutes.
TEST_F(AlarmsWindowTest, TheComputerIsKeptAwakeForTheMomentAndWhileItsBoxWaits) {
    world.stayAwake.log = &world.log;
    tick(at(8, 0, 0));
    click(a6(TForm6::Button1));
    setTime(8, 5);
    click(a7(TForm7::Button2));
    world.log.clear();
    const std::wstring box = L"box Il est : 08:05:00\r\nAlarme n°1 : Non défini est activée. \r\nNon défini";
    for (int day : {7, 8}) {
        tick(at(8, 3, 59, 500, day));
        tick(at(8, 4, 0, 0, day));
        if (day == 8) {
            // Left open: the ticks inside the box let go after fifteen minutes.
            boxes.whileShown = [&](const FakeBoxes::Shown&) {
                for (const std::int64_t ms : {15 * 60 * 1000 - 1000, 1000}) {
                    if (ms == 1000) world.log.push_back(L"a quarter of an hour");
                    clock.advance(ms);
                    SendMessageW(app->form1().hwnd(), WM_TIMER, TForm1::Timer1, 0);
                }
                world.log.push_back(L"closed");
            };
        }
        world.log.push_back(L"08:05");
        tick(at(8, 5, 0, 0, day));
    }
    EXPECT_EQ(world.log, (std::vector<std::wstring>{L"hold", L"08:05", box, L"release", L"hold", L"08:05", box,
                                                     L"a quarter of an hour", L"release", L"closed"}));
}

}  // namespace
}  // namespace orvane
