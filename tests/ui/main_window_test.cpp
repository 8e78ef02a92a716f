#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <map>
#include <memory>

#include "alarms/alarm_dialog.hpp"
#include "alarms/alarms_window.hpp"
#include "app/application.hpp"
#include "clock/main_window.hpp"
#include "common/user_error.hpp"
#include "countdowns/countdown_dialog.hpp"
#include "countdowns/countdowns_window.hpp"
#include "elapsed/elapsed_window.hpp"
#include "platform/ui/window.hpp"
#include "platform/win32/services.hpp"
#include "settings/options_dialog.hpp"
#include "stopwatches/stopwatches_window.hpp"
#include "support/app_fixture.hpp"
#include "support/named_values.hpp"

namespace orvane {
namespace {

using namespace orvane::testing;

const std::wstring folder = L"C:\\Orvane\\";
const std::wstring iniFile = folder + L"Configuration.ini";

class MainWindowTest : public AppFixture {
protected:
    using AppFixture::command;
    using AppFixture::text;
    std::wstring text(int id) { return AppFixture::text(main(), id); }
    void tick() { SendMessageW(main().hwnd(), WM_TIMER, TForm1::Timer1, 0); }
    void command(int id) { pick(main(), id); }
    void closeMain() { closeBox(main()); }
    std::wstring trayItem(int position) {
        wchar_t caption[64] = {};
        GetMenuStringW(main().trayMenu(), static_cast<UINT>(position), caption, 64, MF_BYPOSITION);
        return caption;
    }
    std::vector<Form*> all() { return app->windows(); }
    static constexpr std::size_t settingCount = std::size(clockSettingKeys);
    // The captions of the windows on screen, in the order they were made.
    std::vector<std::wstring> visible() {
        std::vector<std::wstring> shown;
        for (ui::Window* w : all())
            if (w->isVisible()) shown.push_back(ui::windowText(w->hwnd()));
        return shown;
    }

    FakeClock& clock = world.clock;
    FakeProfile& profile = world.profile;
    FakeShell& shell = world.shell;
    FakeBoxes& boxes = world.boxes;
    FakeTray& tray = world.tray;
};

TEST_F(MainWindowTest, StartsWithOnlyTheMainWindowAndItsInitialTexts) {
    EXPECT_EQ(visible(), (std::vector<std::wstring>{L"Orvane"}));
    EXPECT_EQ(text(TForm1::Label2), L"00:00:00");
    EXPECT_EQ(text(TForm1::Label1), L"00/00/0000");
    EXPECT_EQ(text(TForm1::Label3), L"Lundi");
    EXPECT_EQ(text(TForm1::StatusBar1), L"");
    EXPECT_FALSE(IsWindowVisible(main().control(TForm1::Image2)));
    EXPECT_EQ(trayItem(0), L"00:00:00");
    EXPECT_EQ(trayItem(1), L"Restaurer");
    EXPECT_EQ(trayItem(2), L"Quitter");
    EXPECT_EQ(GetMenuDefaultItem(main().trayMenu(), FALSE, 0), static_cast<UINT>(TForm1::QuitterItem));
    EXPECT_EQ(GetMenuItemCount(main().pluginMenu()), 0);
    EXPECT_EQ(tray.adds, 0);
}

TEST_F(MainWindowTest, EachWindowHasItsCaptionAndClientSize) {
    const struct {
        const wchar_t* caption;
        int width, height;
    } expected[] = {
        {L"Orvane", 274, 89},
        {L"Chronomètres", 335, 135},
        {L"Options...", 425, 364},
        {L"Comptes à rebours", 304, 168},
        {L"Configuration d'un compte à rebours", 396, 473},
        {L"Alarmes", 329, 167},
        {L"Configuration de l'alarme", 395, 284},
        {L"PastTime", 364, 171},
    };
    const auto windows = all();
    ASSERT_EQ(windows.size(), std::size(expected)) << "a window without its row here";
    for (std::size_t i = 0; i < windows.size(); ++i) {
        RECT client;
        GetClientRect(windows[i]->hwnd(), &client);
        EXPECT_EQ(ui::windowText(windows[i]->hwnd()), expected[i].caption);
        EXPECT_EQ(client.right, windows[i]->scale(expected[i].width)) << i;
        EXPECT_EQ(client.bottom, windows[i]->scale(expected[i].height)) << i;
    }
    // The main window has a minimise box but no maximise box and no sizing border.
    const LONG style = GetWindowLongW(main().hwnd(), GWL_STYLE);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_FALSE(style & WS_THICKFRAME);
}

// Every control number a window names is one of its controls: a number
// whose layout row was forgotten would otherwise read as an empty control.
TEST_F(MainWindowTest, EveryControlNumberAWindowNamesHasItsControl) {
    const struct {
        ui::Window& window;
        std::vector<int> ids;
    } windows[] = {
        {app->form1(), namedValues<TForm1::ControlId>()}, {app->form2(), namedValues<TForm2::ControlId>()},
        {app->form3(), namedValues<TForm3::ControlId>()}, {app->form4(), namedValues<TForm4::ControlId>()},
        {app->form5(), namedValues<TForm5::ControlId>()}, {app->form6(), namedValues<TForm6::ControlId>()},
        {app->form7(), namedValues<TForm7::ControlId>()}, {app->pasttime(), namedValues<Tpasttime::ControlId>()},
    };
    ASSERT_EQ(std::size(windows), all().size()) << "a window without its row here";
    EXPECT_EQ(windows[0].ids, (std::vector<int>{TForm1::Image1, TForm1::Label2, TForm1::Label1, TForm1::Label3,
                                                TForm1::Image2, TForm1::StatusBar1}));
    for (const auto& w : windows)
        for (const int id : w.ids) {
            const HWND control = w.window.control(id);
            EXPECT_TRUE(control != nullptr && IsChild(w.window.hwnd(), control))
                << ui::windowText(w.window.hwnd()) << " has no control " << id;
        }
}

TEST_F(MainWindowTest, TheMenuBarHasItsFiveMenusInOrder) {
    const HMENU bar = GetMenu(main().hwnd());
    const wchar_t* expected[] = {L"Fichier", L"Suppléments", L"Plug-ins", L"Configuration", L"?"};
    ASSERT_EQ(GetMenuItemCount(bar), 5);
    for (int i = 0; i < 5; ++i) {
        wchar_t caption[64] = {};
        GetMenuStringW(bar, static_cast<UINT>(i), caption, 64, MF_BYPOSITION);
        EXPECT_STREQ(caption, expected[i]);
    }
    const HMENU supplements = GetSubMenu(bar, 1);
    const wchar_t* items[] = {L"Alarmes", L"Chronomètres", L"Comptes à rebours", L"PastTime"};
    ASSERT_EQ(GetMenuItemCount(supplements), 4);
    for (int i = 0; i < 4; ++i) {
        wchar_t caption[64] = {};
        GetMenuStringW(supplements, static_cast<UINT>(i), caption, 64, MF_BYPOSITION);
        EXPECT_STREQ(caption, items[i]);
    }
}

TEST_F(MainWindowTest, ATickWritesTheTimeDateFrenchDayAndTrayClock) {
    const struct {
        LocalTime now;
        const wchar_t *date, *time, *day, *trayCaption;
        const wchar_t* newDateFormat = nullptr;  // the user's, told by a change of settings
    } ticks[] = {
        {{2026, 12, 13, 9, 5, 7, 120}, L"13/12/2026", L"09:05:07", L"Dimanche", L"Orvane - 09:05"},
        {{2026, 12, 13, 23, 59, 59, 990}, L"13/12/2026", L"23:59:59", L"Dimanche", L"Orvane - 23:59"},
        {{2026, 12, 14, 0, 0, 0, 5}, L"14/12/2026", L"00:00:00", L"Lundi", L"Orvane - 00:00"},
        {{2026, 12, 14, 0, 0, 40, 5}, L"14/12/2026", L"00:00:40", L"Lundi", L"Orvane - 00:00"},
        {{2026, 12, 14, 0, 0, 41, 5}, L"14. 12. 2026.", L"00:00:41", L"Lundi", L"Orvane - 00:00", L"%02u. %02u. %04u."},
    };
    for (const auto& t : ticks) {
        clock.setLocal(t.now);
        if (t.newDateFormat == nullptr) {
            tick();
        } else {
            world.formats.dateFormat = t.newDateFormat;
            const int zoneNotices = clock.zoneNotices;
            SendMessageW(main().hwnd(), WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(L"intl"));
            EXPECT_EQ(clock.zoneNotices, zoneNotices + 1) << "the zone read again after a change of settings";
        }
        EXPECT_EQ(text(TForm1::Label1), t.date);
        EXPECT_EQ(text(TForm1::Label2), t.time);
        EXPECT_EQ(text(TForm1::Label3), t.day);
        RECT date, day;
        GetWindowRect(main().control(TForm1::Label1), &date);
        GetWindowRect(main().control(TForm1::Label3), &day);
        EXPECT_GE(day.left - date.right, 6) << "the day's name runs into the date";
        EXPECT_EQ(trayItem(0), t.trayCaption);
        EXPECT_EQ(main().tick.TickHour, t.now.hour);
    }
    // The default item keeps its bold look after its caption changes.
    EXPECT_EQ(GetMenuDefaultItem(main().trayMenu(), FALSE, 0), static_cast<UINT>(TForm1::QuitterItem));
}

TEST_F(MainWindowTest, AStartDuringMinuteZeroKeepsTheInitialTrayCaption) {
    clock.setLocal({2026, 12, 7, 0, 0, 30, 0});
    tick();
    EXPECT_EQ(trayItem(0), L"00:00:00");
    clock.setLocal({2026, 12, 7, 0, 1, 0, 0});
    tick();
    EXPECT_EQ(trayItem(0), L"Orvane - 00:01");
}

TEST_F(MainWindowTest, TheSupplementsEntriesShowTheirWindows) {
    const struct {
        int command;
        ui::Window& window;
    } cases[] = {{TForm1::Alarme1, app->form6()},
                 {TForm1::Chronomtre1, app->form2()},
                 {TForm1::Compterebours1, app->form4()},
                 {TForm1::PastTime1, app->pasttime()}};
    for (const auto& c : cases) {
        command(c.command);
        EXPECT_TRUE(c.window.isVisible()) << c.command;
        command(c.command);  // already open: only brought to the front
        EXPECT_TRUE(c.window.isVisible()) << c.command;
    }
    EXPECT_TRUE(main().isEnabled());
}

TEST_F(MainWindowTest, OptionsDisablesTheMainWindowUntilItsCloseBox) {
    command(TForm1::Option1);
    EXPECT_TRUE(app->form3().isVisible());
    EXPECT_FALSE(main().isEnabled());
    closeBox(app->form3());
    EXPECT_FALSE(app->form3().isVisible());
    EXPECT_TRUE(main().isEnabled());
}

TEST_F(MainWindowTest, EachWindowCommandBringsForwardItsOwnWindowOnly) {
    const struct {
        int command;
        std::vector<std::wstring> shown;
        bool mainEnabled;
    } cases[] = {
        {TForm1::Alarme1, {L"Orvane", L"Alarmes"}, true},
        {TForm1::Chronomtre1, {L"Orvane", L"Chronomètres"}, true},
        {TForm1::Compterebours1, {L"Orvane", L"Comptes à rebours"}, true},
        {TForm1::PastTime1, {L"Orvane", L"PastTime"}, true},
        {TForm1::Option1, {L"Orvane", L"Options..."}, false},
        {TForm1::QuitterItem, {L"Orvane"}, true},
    };
    for (const MainMenuItem& item : mainMenuItems) {
        const bool opensAWindow = item.menu == MainMenu::Supplements || item.menu == MainMenu::Configuration;
        EXPECT_TRUE(!opensAWindow || std::any_of(std::begin(cases), std::end(cases),
                                                 [&](auto& c) { return c.command == item.id; }))
            << "no row here for the item " << item.caption;
    }
    for (const auto& c : cases) {
        command(c.command);
        EXPECT_EQ(visible(), c.shown) << "command " << c.command;
        EXPECT_EQ(main().isEnabled(), c.mainEnabled) << "command " << c.command;
        for (ui::Window* w : all())
            if (w != &main()) SendMessageW(w->hwnd(), WM_CLOSE, 0, 0);
        EXPECT_TRUE(main().isEnabled()) << "left after command " << c.command;
    }
}

TEST_F(MainWindowTest, CloseHidesTheListedWindowsAndPutsOneIconInTheTray) {
    for (ui::Window* w : all()) ShowWindow(w->hwnd(), SW_SHOWNOACTIVATE);
    closeMain();
    // The alarms window and the elapsed-time window stay on screen.
    EXPECT_EQ(visible(), (std::vector<std::wstring>{L"Alarmes", L"PastTime"}));
    EXPECT_TRUE(tray.present);
    EXPECT_EQ(tray.last.window, main().hwnd());
    EXPECT_EQ(tray.last.id, 1u);
    EXPECT_EQ(tray.last.callbackMessage, 1025u);
    EXPECT_EQ(tray.last.tip, L"Orvane v.2");
    EXPECT_EQ(profile.writes.size(), 0u) << "closing to the tray writes nothing";

    closeMain();  // a second request while in the tray adds no second icon
    EXPECT_EQ(tray.adds, 1);
    EXPECT_EQ(tray.doubleAdds, 0);
}

TEST_F(MainWindowTest, AnOpenDialogHiddenByTheTrayLeavesItsWindowUsable) {
    command(TForm1::Alarme1);
    click(app->form6(), TForm6::Button1);  // the alarm dialog, over the alarms window
    closeMain();
    EXPECT_FALSE(app->form7().isVisible());
    EXPECT_TRUE(app->form6().isEnabled());
    click(app->form6(), TForm6::Button1);  // and the alarms window takes clicks again
    EXPECT_TRUE(app->form7().isVisible());
}

TEST_F(MainWindowTest, TrayRestoreByMenuOrDoubleClickShowsTheMainWindowOnly) {
    command(TForm1::Chronomtre1);
    closeMain();
    command(TForm1::RestaurerItem);
    EXPECT_TRUE(main().isVisible());
    EXPECT_FALSE(app->form2().isVisible()) << "windows hidden by the close stay hidden";
    EXPECT_FALSE(tray.present);

    closeMain();
    EXPECT_TRUE(tray.present);
    SendMessageW(main().hwnd(), TForm1::TrayCallbackMessage, TForm1::TrayIconId, WM_LBUTTONDOWN);
    EXPECT_FALSE(main().isVisible()) << "a single click shows nothing";
    SendMessageW(main().hwnd(), TForm1::TrayCallbackMessage, TForm1::TrayIconId, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(main().isVisible());
    EXPECT_FALSE(tray.present);
    EXPECT_EQ(tray.adds, 2);
    EXPECT_EQ(tray.doubleAdds, 0);
}

TEST_F(MainWindowTest, ARestartedShellGetsTheIconBackOnlyWhileInTheTray) {
    const UINT taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
    SendMessageW(main().hwnd(), taskbarCreated, 0, 0);
    EXPECT_EQ(tray.adds, 0);
    closeMain();
    tray.present = false;  // the shell forgot it
    SendMessageW(main().hwnd(), taskbarCreated, 0, 0);
    EXPECT_EQ(tray.adds, 2);
    EXPECT_TRUE(tray.present);
}

TEST_F(MainWindowTest, SettingsAreReadAtStartAndWrittenOnceAtTheEnd) {
    profile.set(iniFile, L"Options", L"penwidth", L"4");
    profile.set(iniFile, L"Options", L"Bip", L"0");
    Application second(services);
    second.create();
    EXPECT_EQ(second.form1().settings.penwidth, 4);
    EXPECT_FALSE(second.form1().settings.Bip);

    pick(second.form1(), TForm1::Quitter1);
    EXPECT_TRUE(second.form1().QuitRequested);
    second.finish();
    ASSERT_EQ(profile.writes.size(), settingCount);
    for (const ClockSettingKey& row : clockSettingKeys) EXPECT_EQ(profile.writes[row.writtenAt].key, row.key);
    std::map<std::wstring, std::wstring> written;
    for (const auto& write : profile.writes) written[write.key] = write.value;
    EXPECT_EQ(written[L"Bip"] + L" " + written[L"penwidth"], L"0 4");
    EXPECT_EQ(tray.removes, 1);
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(MainWindowTest, AFailedWriteAtTheEndShowsTheErrorBoxAndStillEnds) {
    profile.failingKey = L"Bip";
    command(TForm1::Quitter1);
    app->finish();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, L"Impossible d'écrire dans C:\\Orvane\\Configuration.ini.");
    EXPECT_EQ(boxes.shown[0].title, L"Orvane");
    EXPECT_EQ(boxes.shown[0].style, box::ok | box::iconError);
    EXPECT_EQ(main().hwnd(), nullptr) << "the windows are gone";
}

TEST_F(MainWindowTest, TheEndOfTheSessionIsNeverRefusedAndSavesOnce) {
    EXPECT_EQ(SendMessageW(main().hwnd(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
    EXPECT_TRUE(main().isVisible()) << "answering the query changes nothing";
    EXPECT_EQ(tray.adds, 0);
    SendMessageW(main().hwnd(), WM_ENDSESSION, FALSE, 0);
    EXPECT_TRUE(profile.writes.empty()) << "a cancelled end of session saves nothing";

    closeMain();
    SendMessageW(main().hwnd(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    EXPECT_EQ(profile.writes.size(), settingCount);
    EXPECT_FALSE(tray.present);
    app->finish();
    EXPECT_EQ(profile.writes.size(), settingCount) << "written once";
}

TEST_F(MainWindowTest, HelpAndAboutGoToTheShellAndAnInformationBox) {
    command(TForm1::Aide1);
    EXPECT_EQ(shell.opened, (std::vector<std::wstring>{L"C:\\Orvane\\Aidez-moi.doc"}));
    command(TForm1::Apropos1);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].title, L"A propos...");
    EXPECT_EQ(boxes.shown[0].style, box::ok | box::iconInformation);
    EXPECT_EQ(std::count(boxes.shown[0].text.begin(), boxes.shown[0].text.end(), L'\n'), 1);
}

// A window whose handler fails: the failure reaches the error box and the
// window goes on serving messages.
class FailingWindow final : public ui::Window {
public:
    using ui::Window::Window;
    void create() { createFrame({L"OrvaneFailingTest", L"x", 50, 50}, nullptr, nullptr, 0); }
    int served = 0;

protected:
    void onCommand(int id, int, HWND) override {
        ++served;
        if (id == 1) throw UserError(L"'abc' n'est pas une valeur entière correcte");
        if (id == 2) throw std::runtime_error("bad");
    }
};

TEST_F(MainWindowTest, AFailingHandlerIsAbandonedIntoTheErrorBox) {
    FailingWindow window(*app);
    window.create();
    SendMessageW(window.hwnd(), WM_COMMAND, 1, 0);
    SendMessageW(window.hwnd(), WM_COMMAND, 2, 0);
    SendMessageW(window.hwnd(), WM_COMMAND, 3, 0);
    EXPECT_EQ(window.served, 3);
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[0].text, L"'abc' n'est pas une valeur entière correcte.");
    EXPECT_EQ(boxes.shown[0].title, L"Orvane");
    EXPECT_EQ(boxes.shown[0].style, box::ok | box::iconError);
    EXPECT_EQ(boxes.shown[1].text, L"bad.");
}

}  // namespace
}  // namespace orvane
