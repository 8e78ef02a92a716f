#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <tuple>

#include "alarms/alarm_dialog.hpp"
#include "alarms/alarms_window.hpp"
#include "app/application.hpp"
#include "app/main_window.hpp"
#include "platform/ui/window.hpp"
#include "support/fake_world.hpp"

namespace orvane {
namespace {

using namespace orvane::testing;

LocalTime at(int hour, int minute, int second, int ms = 0, int day = 7) {
    return LocalTime{2026, 12, static_cast<std::uint16_t>(day), static_cast<std::uint16_t>(hour),
                     static_cast<std::uint16_t>(minute), static_cast<std::uint16_t>(second),
                     static_cast<std::uint16_t>(ms)};
}

class AlarmsWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        app = std::make_unique<Application>(services);
        app->create();
        // "Suppléments" > "Alarmes".
        SendMessageW(app->form1().hwnd(), WM_COMMAND, TForm1::Alarme1, 0);
    }
    void TearDown() override {
        app.reset();
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        }
    }

    TForm6& alarms() { return app->form6(); }
    TForm7& dialog() { return app->form7(); }
    HWND a6(int id) { return alarms().control(id); }
    HWND a7(int id) { return dialog().control(id); }
    static std::wstring text(HWND control) { return ui::windowText(control); }
    static bool checked(HWND button) { return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }
    // Shown as far as the control itself goes, whichever tab is in front.
    static bool shown(HWND control) { return (GetWindowLongW(control, GWL_STYLE) & WS_VISIBLE) != 0; }
    static void click(HWND button) { SendMessageW(button, BM_CLICK, 0, 0); }
    void type(int id, const wchar_t* value) { SendMessageW(a7(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(value)); }
    void tick(const LocalTime& now) {
        clock.time = now;
        SendMessageW(app->form1().hwnd(), WM_TIMER, TForm1::Timer1, 0);
    }
    bool mainBellShown() { return shown(app->form1().control(TForm1::Image2)); }

    // Presses an arrow of an up-down control with the mouse, `times` times.
    void pressArrow(int upDown, bool up, int times) {
        const HWND arrows = a7(upDown);
        RECT area;
        GetClientRect(arrows, &area);
        const LPARAM point = MAKELPARAM(area.right / 2, up ? area.bottom / 4 : area.bottom * 3 / 4);
        for (int i = 0; i < times; ++i) {
            SendMessageW(arrows, WM_LBUTTONDOWN, MK_LBUTTON, point);
            SendMessageW(arrows, WM_LBUTTONUP, 0, point);
        }
    }
    int position(int upDown) { return static_cast<int>(SendMessageW(a7(upDown), UDM_GETPOS32, 0, 0)); }
    void setTime(int hour, int minute) {
        pressArrow(TForm7::UpDown2, false, 24);
        pressArrow(TForm7::UpDown2, true, hour);
        pressArrow(TForm7::UpDown1, false, 60);
        pressArrow(TForm7::UpDown1, true, minute);
    }

    // "Configurer..." of slot n, the dialog filled in, then "OK".
    void configure(int n, int hour, int minute, const wchar_t* title) {
        click(a6(TForm6::slotControls[static_cast<std::size_t>(n)].configure));
        setTime(hour, minute);
        type(TForm7::Edit2, title);
        click(a7(TForm7::Button2));
    }

    FakeWorld world;
    FakeClock& clock = world.clock;
    FakeBoxes& boxes = world.boxes;
    FakeShell& shell = world.shell;
    FakeFileChooser& chooser = world.fileChooser;
    Services services = world.services();
    std::unique_ptr<Application> app;
};

TEST_F(AlarmsWindowTest, FirstDisplayShowsFiveDisarmedTabsWithTheirDefaults) {
    ASSERT_TRUE(alarms().isVisible());
    ASSERT_EQ(alarms().pages().count(), 5);
    EXPECT_EQ(alarms().pages().selected(), 0);
    const HWND tabs = alarms().pages().tabControl();
    RECT tabArea;
    GetClientRect(tabs, &tabArea);
    for (int n = 1; n <= 5; ++n) {
        const auto& c = TForm6::slotControls[static_cast<std::size_t>(n)];
        wchar_t caption[32] = {};
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = caption;
        item.cchTextMax = 32;
        SendMessageW(tabs, TCM_GETITEMW, static_cast<WPARAM>(n - 1), reinterpret_cast<LPARAM>(&item));
        EXPECT_EQ(std::wstring(caption), L"Alarme n°" + std::to_wstring(n));
        RECT tab;
        SendMessageW(tabs, TCM_GETITEMRECT, static_cast<WPARAM>(n - 1), reinterpret_cast<LPARAM>(&tab));
        EXPECT_LE(tab.right, tabArea.right) << "every tab fits without scroll arrows";

        for (const int id : {c.timeLabel, c.indicator, c.titleLabel, c.yes, c.no, c.frame, c.configure})
            EXPECT_EQ(GetParent(a6(id)), alarms().TabSheet(n)) << "control " << id << " on slot " << n << "'s tab";
        EXPECT_EQ(text(a6(c.timeLabel)), L"00:00:00");
        EXPECT_EQ(text(a6(c.titleLabel)), L"Non défini");
        EXPECT_EQ(text(a6(c.yes)), L"oui");
        EXPECT_EQ(text(a6(c.no)), L"non");
        EXPECT_EQ(text(a6(c.frame)), L"Activer ?");
        EXPECT_EQ(text(a6(c.configure)), L"Configurer...");
        EXPECT_FALSE(checked(a6(c.yes)));
        EXPECT_TRUE(checked(a6(c.no)));
        EXPECT_FALSE(shown(a6(c.indicator)));
    }
    tick(at(10, 0, 0));
    EXPECT_FALSE(shown(a6(TForm6::Image1)));
    EXPECT_FALSE(mainBellShown());
}

TEST_F(AlarmsWindowTest, ControlsSitAtTheirPlacesOnTheTab) {
    const struct {
        int id, left, top, width, height;
    } places[] = {
        {TForm6::Label1, 24, 19, 0, 0},      {TForm6::Label6, 184, 8, 0, 0},
        {TForm6::RadioGroup1, 136, 56, 153, 57}, {TForm6::rb9, 160, 80, 49, 17}, {TForm6::rb10, 224, 80, 57, 17},
        {TForm6::Button3, 24, 80, 75, 25},
    };
    for (const auto& p : places) {
        const HWND control = a6(p.id);
        RECT box;
        GetWindowRect(control, &box);
        MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&box), 2);
        EXPECT_EQ(box.left, alarms().scale(p.left)) << p.id;
        EXPECT_EQ(box.top, alarms().scale(p.top)) << p.id;
        if (p.width != 0) {
            EXPECT_EQ(box.right - box.left, alarms().scale(p.width)) << p.id;
            EXPECT_EQ(box.bottom - box.top, alarms().scale(p.height)) << p.id;
        }
    }
    // The bell stands right of the time, where the font leaves room for it,
    // and never under it.
    alarms().alarms().configure(4, {18, 48, L"", L"", false, L""});
    alarms().FormActivate();
    RECT time, bell;
    GetWindowRect(a6(TForm6::Label4), &time);
    GetWindowRect(a6(TForm6::Image4), &bell);
    MapWindowPoints(nullptr, alarms().TabSheet(4), reinterpret_cast<POINT*>(&time), 2);
    MapWindowPoints(nullptr, alarms().TabSheet(4), reinterpret_cast<POINT*>(&bell), 2);
    EXPECT_GE(bell.left, alarms().scale(128));
    EXPECT_GT(bell.left, time.right);
    EXPECT_EQ(bell.top, alarms().scale(27));
    EXPECT_EQ(bell.right - bell.left, alarms().scale(13));
    EXPECT_EQ(bell.bottom - bell.top, alarms().scale(13));
}

TEST_F(AlarmsWindowTest, ConfiguringSlotOneArmsItRefreshesTheTabAndFiresAtItsMinute) {
    click(a6(TForm6::Button1));
    EXPECT_TRUE(dialog().isVisible());
    EXPECT_FALSE(alarms().isEnabled()) << "the alarms window waits for the dialog";
    EXPECT_EQ(dialog().EditedSlot, 1);

    setTime(8, 5);
    EXPECT_EQ(text(a7(TForm7::Label3)), L"08");
    EXPECT_EQ(text(a7(TForm7::Label1)), L"05");
    type(TForm7::Edit2, L"Café");
    click(a7(TForm7::Button2));

    EXPECT_FALSE(dialog().isVisible());
    EXPECT_TRUE(alarms().isEnabled());
    EXPECT_EQ(text(a6(TForm6::Label1)), L"08:05:00");
    EXPECT_EQ(text(a6(TForm6::Label6)), L"Café");
    EXPECT_TRUE(checked(a6(TForm6::rb1)));
    EXPECT_FALSE(checked(a6(TForm6::rb2)));
    EXPECT_FALSE(shown(a6(TForm6::Image1))) << "the bells wait for the next tick";

    tick(at(8, 4, 59, 600));
    EXPECT_TRUE(shown(a6(TForm6::Image1)));
    EXPECT_FALSE(shown(a6(TForm6::Image2)));
    EXPECT_TRUE(mainBellShown());
    EXPECT_TRUE(boxes.shown.empty());

    // The timer comes a little late: the alarm fires all the same, once.
    tick(at(8, 5, 1, 20));
    tick(at(8, 5, 1, 900));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, L"Il est : 08:05:01\r\nAlarme n°1 : Café est activée. \r\nNon défini");
    EXPECT_EQ(boxes.shown[0].title, L"Alarme activée !");
    EXPECT_EQ(boxes.shown[0].style, box::ok | box::iconInformation | box::setForeground | box::topMost);
    EXPECT_TRUE(shell.opened.empty()) << "no file was asked for";

    // And again the next day.
    tick(at(8, 4, 59, 600, 8));
    tick(at(8, 5, 0, 600, 8));
    EXPECT_EQ(boxes.shown.size(), 2u);
}

TEST_F(AlarmsWindowTest, NonDisarmsWithoutTouchingTheRestAndOuiArmsAgain) {
    configure(2, 6, 45, L"Train");
    click(a6(TForm6::rb4));
    const AlarmSlot& two = alarms().alarms()[2];
    EXPECT_FALSE(two.armed());
    EXPECT_EQ(alarmTimeText(two), L"06:45:00");
    EXPECT_EQ(two.Title, L"Train");
    EXPECT_EQ(two.Message, L"Non défini");
    tick(at(6, 44, 59));
    EXPECT_FALSE(shown(a6(TForm6::Image2)));
    EXPECT_FALSE(mainBellShown());
    tick(at(6, 45, 0));
    EXPECT_TRUE(boxes.shown.empty());

    click(a6(TForm6::rb3));
    EXPECT_TRUE(two.armed());
    EXPECT_FALSE(checked(a6(TForm6::rb4))) << "the pair excludes each other";
    EXPECT_TRUE(checked(a6(TForm6::rb2))) << "the other tabs' pairs are their own";
    tick(at(6, 45, 1));
    EXPECT_TRUE(shown(a6(TForm6::Image2)));
    EXPECT_TRUE(mainBellShown());
}

TEST_F(AlarmsWindowTest, TheDialogCarriesItsLastEntriesToTheNextSlot) {
    chooser.answers.push_back(L"C:\\Programmes\\reveil.exe");
    click(a6(TForm6::Button1));
    setTime(7, 30);
    type(TForm7::Edit2, L"Réveil");
    type(TForm7::Edit1, L"Debout");
    click(a7(TForm7::CheckBox1));
    click(a7(TForm7::Button1));
    click(a7(TForm7::Button2));

    click(a6(TForm6::Button3));
    EXPECT_EQ(dialog().EditedSlot, 3);
    EXPECT_EQ(text(a7(TForm7::Label3)), L"07");
    EXPECT_EQ(text(a7(TForm7::Label1)), L"30");
    EXPECT_EQ(text(a7(TForm7::Edit2)), L"Réveil");
    EXPECT_TRUE(checked(a7(TForm7::CheckBox1)));
    EXPECT_EQ(text(a7(TForm7::Label6)), L"C:\\Programmes\\reveil.exe");
    click(a7(TForm7::Button2));

    const AlarmSlot& one = alarms().alarms()[1];
    const AlarmSlot& three = alarms().alarms()[3];
    EXPECT_TRUE(three.armed());
    EXPECT_EQ(std::tie(three.Hour, three.Minute, three.Title, three.Message, three.RunFile, three.FilePath),
              std::tie(one.Hour, one.Minute, one.Title, one.Message, one.RunFile, one.FilePath));
    EXPECT_EQ(three.RunFile, L"oui");
    EXPECT_EQ(text(a6(TForm6::Label3)), L"07:30:00");

    // Both fire in the same second: each file is opened before its own box.
    tick(at(7, 29, 59, 500));
    tick(at(7, 30, 0, 500));
    EXPECT_EQ(shell.opened, (std::vector<std::wstring>{L"C:\\Programmes\\reveil.exe", L"C:\\Programmes\\reveil.exe"}));
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_NE(boxes.shown[1].text.find(L"Alarme n°3 : Réveil"), std::wstring::npos);
}

TEST_F(AlarmsWindowTest, TheCheckBoxEnablesParcourirAndTheChosenFileIsKeptEitherWay) {
    click(a6(TForm6::Button4));
    const HWND browse = a7(TForm7::Button1);
    EXPECT_EQ(text(browse), L"Parcourir...");
    EXPECT_FALSE(IsWindowEnabled(browse));
    click(a7(TForm7::CheckBox1));
    EXPECT_TRUE(IsWindowEnabled(browse));

    chooser.answers = {L"D:\\sons\\gong.wav", std::nullopt};
    click(browse);
    EXPECT_EQ(text(a7(TForm7::Label6)), L"D:\\sons\\gong.wav");
    click(browse);  // cancelled: the name stays
    EXPECT_EQ(text(a7(TForm7::Label6)), L"D:\\sons\\gong.wav");
    ASSERT_EQ(chooser.asked.size(), 2u);
    EXPECT_EQ(chooser.asked[0].owner, dialog().hwnd());
    EXPECT_EQ(chooser.asked[0].current, L"");
    EXPECT_EQ(chooser.asked[0].filter, L"") << "every file may be chosen";
    EXPECT_EQ(chooser.asked[1].current, L"D:\\sons\\gong.wav");

    click(a7(TForm7::CheckBox1));
    EXPECT_FALSE(IsWindowEnabled(browse));
    click(a7(TForm7::Button2));
    const AlarmSlot& four = alarms().alarms()[4];
    EXPECT_EQ(four.RunFile, L"non");
    EXPECT_EQ(four.FilePath, L"D:\\sons\\gong.wav");

    // The path is shown inside the options frame, under the check box.
    RECT path, frame, box;
    GetWindowRect(a7(TForm7::Label6), &path);
    GetWindowRect(a7(TForm7::GroupBox2), &frame);
    GetWindowRect(a7(TForm7::CheckBox1), &box);
    EXPECT_GE(path.top, box.bottom);
    EXPECT_LT(path.bottom, frame.bottom);
    EXPECT_GT(path.left, frame.left);
    EXPECT_LT(path.right, frame.right);
}

TEST_F(AlarmsWindowTest, LeavingWithoutOkChangesNoSlotButTheEntriesStay) {
    configure(1, 8, 5, L"Café");
    const auto before = alarms().alarms()[5];
    // "Annuler", the close box and Escape all leave the same way.
    const std::function<void()> leaves[] = {
        [&] { click(a7(TForm7::Button3)); },
        [&] { SendMessageW(dialog().hwnd(), WM_CLOSE, 0, 0); },
        [&] { SendMessageW(dialog().hwnd(), WM_COMMAND, IDCANCEL, 0); },
    };
    int hour = 9;
    for (const auto& leave : leaves) {
        click(a6(TForm6::Button5));
        setTime(hour, 59);
        type(TForm7::Edit2, L"Autre");
        type(TForm7::Edit1, L"Autre message");
        click(a7(TForm7::CheckBox1));
        leave();
        EXPECT_FALSE(dialog().isVisible());
        EXPECT_TRUE(alarms().isEnabled());
        const AlarmSlot& five = alarms().alarms()[5];
        EXPECT_EQ(std::tie(five.Status, five.Hour, five.Minute, five.Title, five.Message, five.RunFile),
                  std::tie(before.Status, before.Hour, before.Minute, before.Title, before.Message, before.RunFile));
        EXPECT_EQ(text(a6(TForm6::Label5)), L"00:00:00");

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
        int presses, position;
        const wchar_t* text;
    } presses[] = {
        {TForm7::UpDown2, TForm7::Label3, false, 1, 0, L"00"},
        {TForm7::UpDown2, TForm7::Label3, true, 9, 9, L"09"},
        {TForm7::UpDown2, TForm7::Label3, true, 30, 23, L"23"},
        {TForm7::UpDown1, TForm7::Label1, false, 3, 0, L"00"},
        {TForm7::UpDown1, TForm7::Label1, true, 70, 59, L"59"},
        {TForm7::UpDown1, TForm7::Label1, false, 1, 58, L"58"},
    };
    for (const auto& p : presses) {
        pressArrow(p.upDown, p.up, p.presses);
        EXPECT_EQ(position(p.upDown), p.position);
        EXPECT_EQ(text(a7(p.label)), p.text);
    }
}

TEST_F(AlarmsWindowTest, TheTabsFollowTheTableEachTimeTheWindowIsActivated) {
    AlarmTable& table = alarms().alarms();
    table.configure(4, {23, 7, L"Dodo", L"", false, L""});
    table.disarm(4);
    table.arm(5);
    EXPECT_EQ(text(a6(TForm6::Label4)), L"00:00:00") << "not refreshed before the window is activated";
    SendMessageW(alarms().hwnd(), WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_EQ(text(a6(TForm6::Label4)), L"23:07:00");
    EXPECT_EQ(text(a6(TForm6::Label9)), L"Dodo");
    EXPECT_TRUE(checked(a6(TForm6::rb8)));
    EXPECT_TRUE(checked(a6(TForm6::rb9)));
    EXPECT_FALSE(checked(a6(TForm6::rb10)));
}

TEST_F(AlarmsWindowTest, GoingToTheTrayWithTheDialogOpenCountsAsAnnuler) {
    click(a6(TForm6::Button2));
    setTime(12, 0);
    SendMessageW(app->form1().hwnd(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(dialog().isVisible());
    EXPECT_TRUE(alarms().isVisible()) << "the alarms window stays on screen";
    EXPECT_TRUE(alarms().isEnabled());
    EXPECT_FALSE(alarms().alarms()[2].armed());
    EXPECT_EQ(alarms().alarms()[2].Hour, 0);

    // Alarms still fire from the tray.
    alarms().alarms().configure(2, {12, 0, L"Midi", L"", false, L""});
    tick(at(11, 59, 59, 700));
    tick(at(12, 0, 0, 700));
    EXPECT_EQ(boxes.shown.size(), 1u);
}

}  // namespace
}  // namespace orvane
