#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "app/application.hpp"
#include "clock/main_window.hpp"
#include "countdowns/countdown_dialog.hpp"
#include "countdowns/countdowns_window.hpp"
#include "platform/ui/window.hpp"
#include "support/app_fixture.hpp"

namespace orvane {
namespace {

using namespace orvane::testing;

class CountdownsTest : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        pick(TForm1::Compterebours1);
    }

    TForm4& countdowns() { return app->form4(); }
    TForm5& dialog() { return app->form5(); }
    const CountdownSlot& slot(int n) { return countdowns().table().slot(n); }
    std::wstring text4(int id) { return ui::windowText(countdowns().control(id)); }
    std::wstring text5(int id) { return ui::windowText(dialog().control(id)); }
    void setText5(int id, const std::wstring& text) { type(dialog().control(id), text); }
    void click4(int id) { click(countdowns().control(id)); }
    void click5(int id) { click(dialog().control(id)); }
    void showTab(int n) { clickTab(countdowns().control(TForm4::PageControl1), n - 1); }
    bool checked5(int id) { return IsDlgButtonChecked(dialog().hwnd(), id) == BST_CHECKED; }
    // The countdown timer fires `ms` after the previous one.
    void tickAfter(std::int64_t ms) {
        clock.advance(ms);
        SendMessageW(countdowns().hwnd(), WM_TIMER, TForm4::Timer1, 0);
    }
    // "Nouveau Compte à rebours" of slot n, answered Yes.
    void beginNew(int n) {
        boxes.answer = box::answerYes;
        showTab(n);
        click4(TForm4::Tabs[static_cast<std::size_t>(n)].newButton);
        boxes.answer = box::answerOk;
    }
    // A mouse click on the upper or lower arrow.
    void clickArrow(int id, bool up) { pressArrow(dialog().control(id), up); }
    void setPickerDate(int year, int month, int day) {
        SYSTEMTIME date{static_cast<WORD>(year), static_cast<WORD>(month), 0, static_cast<WORD>(day), 0, 0, 0, 0};
        SendMessageW(dialog().control(TForm5::DateTimePicker1), DTM_SETSYSTEMTIME, GDT_VALID,
                     reinterpret_cast<LPARAM>(&date));
    }
    SYSTEMTIME pickerDate() {
        SYSTEMTIME date{};
        SendMessageW(dialog().control(TForm5::DateTimePicker1), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&date));
        return date;
    }

    FakeClock& clock = world.clock;
    FakeBoxes& boxes = world.boxes;
    FakeFileChooser& chooser = world.fileChooser;
};

LOGFONTW fontOf(HWND control) {
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font);
    return font;
}

TEST_F(CountdownsTest, EveryTabFromOneTemplateWithItsNamedControls) {
    const HWND tabs = countdowns().control(TForm4::PageControl1);
    ASSERT_EQ(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0), countdownCount);
    for (int n = 1; n <= countdownCount; ++n) {
        const TForm4::Tab& tab = TForm4::Tabs[static_cast<std::size_t>(n)];
        wchar_t caption[32] = {};
        TCITEMW item{TCIF_TEXT, 0, 0, caption, 32, 0, 0};
        SendMessageW(tabs, TCM_GETITEMW, static_cast<WPARAM>(n - 1), reinterpret_cast<LPARAM>(&item));
        EXPECT_EQ(std::wstring(caption), L"Timer n°" + std::to_wstring(n));
        const HWND sheet = countdowns().control(tab.sheet);
        EXPECT_EQ(sheet, countdowns().pages().page(n - 1));
        for (int id : {tab.nameLabel, tab.timeLabel, tab.restartButton, tab.newButton})
            EXPECT_EQ(GetParent(countdowns().control(id)), sheet) << "slot " << n << " control " << id;
        EXPECT_EQ(text4(tab.nameLabel), L"Non défini");
        EXPECT_EQ(text4(tab.timeLabel), L"00:00:00");
        EXPECT_EQ(text4(tab.newButton), L"Nouveau Compte à rebours");
        EXPECT_NE(SendMessageW(countdowns().control(tab.restartButton), BM_GETIMAGE, IMAGE_BITMAP, 0), 0);
        const LOGFONTW name = fontOf(countdowns().control(tab.nameLabel));
        EXPECT_EQ(name.lfHeight, -countdowns().scale(n == 1 ? 16 : 13));
        EXPECT_TRUE(name.lfWeight == FW_BOLD && name.lfUnderline);
    }
    EXPECT_EQ(TForm4::Tabs[3].restartButton, TForm4::SpeedButton1) << "the window's own numbering";
}

TEST_F(CountdownsTest, TheTimerRunsOnlyWhileACountdownRuns) {
    EXPECT_FALSE(countdowns().timerRuns());
    EXPECT_EQ(KillTimer(countdowns().hwnd(), TForm4::Timer1), FALSE) << "no timer with nothing to count";
    click4(TForm4::Tabs[1].restartButton);  // a never-configured slot ends at its next tick
    EXPECT_TRUE(countdowns().timerRuns());
    tickAfter(1000);
    EXPECT_NE(slot(1).Status, L"ok");
    EXPECT_FALSE(countdowns().timerRuns()) << "it rests again once every countdown has ended";
}

TEST_F(CountdownsTest, NoLeavesTheRunningCountdownItsDisplayAndItsName) {
    countdowns().table().configure(2, 100, L"Thé", L"Infuser", false, L"", clock.monotonic);
    tickAfter(1000);
    activate(app->form1());
    activate(countdowns());
    boxes.answer = box::answerNo;
    showTab(2);
    click4(TForm4::Button2);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, L"Le compte à rebours actuel sera supprimé, \r\nVoulez-vous continuer ?");
    EXPECT_EQ(boxes.shown[0].title, L"Attention...");
    EXPECT_EQ(boxes.shown[0].style, 0x34u);
    EXPECT_EQ(countdowns().table().Remaining(2), 99);
    EXPECT_EQ(text4(TForm4::Label2), L"00:01:39");
    EXPECT_EQ(text4(TForm4::Label7), L"Thé");
    EXPECT_FALSE(dialog().isVisible());
    EXPECT_TRUE(countdowns().isEnabled());
}

TEST_F(CountdownsTest, YesThenLeavingWithoutOkLeavesTheSlotStoppedAndUnnamed) {
    // Annuler, the close box, Escape, and the main window going to the tray.
    const std::function<void()> leaves[] = {
        [&] { click5(TForm5::Button2); },
        [&] { closeBox(dialog()); },
        [&] { press({VK_ESCAPE}); },
        [&] { closeBox(app->form1()); },
    };
    for (const auto& leave : leaves) {
        countdowns().table().configure(3, 600, L"Four", L"Sortir", true, L"C:\\four.wav", clock.monotonic);
        tickAfter(500);
        beginNew(3);
        EXPECT_EQ(dialog().EditedSlot, 3);
        EXPECT_TRUE(dialog().isVisible());
        EXPECT_FALSE(countdowns().isEnabled());
        EXPECT_EQ(text4(TForm4::Label3), L"00:00:00");

        leave();
        EXPECT_FALSE(dialog().isVisible());
        EXPECT_TRUE(countdowns().isEnabled()) << "no disabled window without its dialog";
        EXPECT_FALSE(countdowns().table().isRunning(3));
        EXPECT_EQ(slot(3).Name, L"Non défini");
        tickAfter(1000);
        EXPECT_EQ(text4(TForm4::Label3), L"00:00:00");

        // The picture restarts the previous duration, unnamed, with its file.
        if (!countdowns().isVisible()) {
            pick(TForm1::RestaurerItem);
            pick(TForm1::Compterebours1);
        }
        click4(TForm4::SpeedButton1);
        tickAfter(1000);
        EXPECT_EQ(text4(TForm4::Label3), L"00:09:59");
        EXPECT_EQ(slot(3).Message, L"Non défini");
        EXPECT_EQ(slot(3).FilePath, L"C:\\four.wav");
    }
}

TEST_F(CountdownsTest, TheIntervalArrowsFillTheirBoxesWithinTheirRanges) {
    beginNew(1);
    const struct {
        int arrows, box, maximum;
    } fields[] = {{TForm5::UpDown1, TForm5::Edit1, 10000}, {TForm5::UpDown2, TForm5::Edit2, 23},
                  {TForm5::UpDown3, TForm5::Edit3, 59}, {TForm5::UpDown4, TForm5::Edit4, 59}};
    for (const auto& f : fields) {
        EXPECT_FALSE(IsWindowEnabled(dialog().control(f.box))) << "shown, not typed into";
        for (int k = 0; k < 3; ++k) clickArrow(f.arrows, true);
        EXPECT_EQ(text5(f.box), L"3");
        for (int k = 0; k < 5; ++k) clickArrow(f.arrows, false);
        EXPECT_EQ(text5(f.box), L"0") << "no going below zero, and no wrap";
        pressArrow(dialog().control(f.arrows), true, f.maximum + 1);
        EXPECT_EQ(text5(f.box), std::to_wstring(f.maximum)) << "no wrap at the top";
    }
}

TEST_F(CountdownsTest, OkInIntervalModeStartsTheSlotAndTheNextSetupStartsFromItsEntries) {
    beginNew(1);
    for (int arrows : {TForm5::UpDown1, TForm5::UpDown2, TForm5::UpDown3, TForm5::UpDown4}) clickArrow(arrows, true);
    setText5(TForm5::Edit5, L"Pâtes");
    setText5(TForm5::Edit6, L"Égoutter");
    click5(TForm5::CheckBox1);
    chooser.answer = L"C:\\Sons\\gong.wav";
    click5(TForm5::Button3);
    click5(TForm5::Button1);

    EXPECT_EQ(countdowns().table().Remaining(1), 90061);
    const CountdownSlot& written = slot(1);
    EXPECT_EQ(written.Status + L"|" + written.Name + L"|" + written.Message + L"|" + written.DurationText + L"|" +
                  written.FilePath,
              L"ok|Pâtes|Égoutter|90061|C:\\Sons\\gong.wav");
    EXPECT_TRUE(written.RunFile);
    EXPECT_FALSE(dialog().isVisible());
    EXPECT_EQ(GetActiveWindow(), countdowns().hwnd()) << "back to the window it served";
    EXPECT_EQ(text4(TForm4::Label6), L"Pâtes");
    tickAfter(1000);
    EXPECT_EQ(text4(TForm4::Label1), L"25:01:00");

    // The next setup, for another slot, starts from these entries.
    beginNew(5);
    EXPECT_EQ(dialog().EditedSlot, 5);
    EXPECT_EQ(text5(TForm5::Edit5) + text5(TForm5::Edit6) + text5(TForm5::Edit4), L"PâtesÉgoutter1");
    EXPECT_TRUE(checked5(TForm5::RadioButton1) && checked5(TForm5::CheckBox1));
    EXPECT_EQ(text5(TForm5::Label5), L"C:\\Sons\\gong.wav");
    click5(TForm5::Button1);
    EXPECT_EQ(countdowns().table().Remaining(5), 90061);
    EXPECT_EQ(slot(5).FilePath, L"C:\\Sons\\gong.wav");
}

TEST_F(CountdownsTest, OkInDateModeCountsToTheChosenMomentLessItsAdvance) {
    clock.setLocal({2026, 12, 7, 10, 30, 15, 250});
    const struct {
        int day;
        const wchar_t *hour, *minute, *second;
        std::int64_t total;
    } cases[] = {
        {7, L"10", L"30", L"25", -7},  // ten seconds ahead
        {8, L"10", L"30", L"15", 86383},
        {7, L"75", L"abc", L"-4", 44968},  // typed values settle into range: 23:00:00
        {7, L"11", L"30", L"15", 3583},
    };
    for (const auto& k : cases) {
        beginNew(4);
        click5(TForm5::RadioButton2);
        EXPECT_FALSE(checked5(TForm5::RadioButton1));
        setPickerDate(2026, 12, k.day);
        setText5(TForm5::SpinEdit1, k.hour);
        setText5(TForm5::SpinEdit2, k.minute);
        setText5(TForm5::SpinEdit3, k.second);
        click5(TForm5::Button1);
        EXPECT_EQ(countdowns().table().Remaining(4), k.total) << k.hour;
        EXPECT_EQ(slot(4).DurationText, std::to_wstring(k.total));
    }
    EXPECT_EQ(text5(TForm5::SpinEdit1), L"11");
    tickAfter(1000);
    EXPECT_EQ(text4(TForm4::Label4), L"00:59:42");

    // A field left with a typed value settles at once.
    beginNew(4);
    setText5(TForm5::SpinEdit1, L"75");
    press({VK_TAB});
    EXPECT_EQ(text5(TForm5::SpinEdit1), L"23");
}

TEST_F(CountdownsTest, BrowsingKeepsTheEarlierChoiceOnCancelAndUnticksWhenThereIsNone) {
    beginNew(1);
    click5(TForm5::CheckBox1);
    EXPECT_TRUE(IsWindowEnabled(dialog().control(TForm5::Button3)));
    click5(TForm5::Button3);  // cancelled, nothing chosen before
    EXPECT_EQ(text5(TForm5::Label5), L"");
    EXPECT_FALSE(checked5(TForm5::CheckBox1));
    EXPECT_FALSE(IsWindowEnabled(dialog().control(TForm5::Button3)));

    click5(TForm5::CheckBox1);
    chooser.answer = L"C:\\notes.txt";
    click5(TForm5::Button3);
    chooser.answer.reset();
    click5(TForm5::Button3);  // cancelled: the earlier choice stays
    EXPECT_EQ(text5(TForm5::Label5), L"C:\\notes.txt");
    EXPECT_TRUE(checked5(TForm5::CheckBox1));
    EXPECT_EQ(chooser.asked.back().current + chooser.asked.back().filter, L"C:\\notes.txt") << "no filter";

    // The file is stored even when the box is not ticked.
    click5(TForm5::CheckBox1);
    EXPECT_FALSE(IsWindowEnabled(dialog().control(TForm5::Button3)));
    click5(TForm5::Button1);
    EXPECT_FALSE(slot(1).RunFile);
    EXPECT_EQ(slot(1).FilePath, L"C:\\notes.txt");
}

TEST_F(CountdownsTest, TheDatePickerNeverOffersADayBeforeToday) {
    clock.setLocal({2026, 12, 7, 12, 0, 0, 0});
    beginNew(1);
    activate(dialog());
    SYSTEMTIME range[2] = {};
    const HWND picker = dialog().control(TForm5::DateTimePicker1);
    EXPECT_TRUE(SendMessageW(picker, DTM_GETRANGE, 0, reinterpret_cast<LPARAM>(range)) & GDTR_MIN);
    EXPECT_EQ(range[0].wYear * 10000 + range[0].wMonth * 100 + range[0].wDay, 20261207);
    setPickerDate(2026, 12, 7);

    // Two days later the dialog becomes active again: the earliest day moves on.
    clock.setLocal({2026, 12, 9, 0, 0, 1, 0});
    activate(app->form1());
    activate(dialog());
    SendMessageW(picker, DTM_GETRANGE, 0, reinterpret_cast<LPARAM>(range));
    EXPECT_EQ(range[0].wDay, 9);
    EXPECT_EQ(pickerDate().wDay, 9) << "a day gone by is not kept";
}

}  // namespace
}  // namespace orvane
