// Faults users met in their first minutes with the clock, each reached the
// way the user reached it.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "app/application.hpp"
#include "clock/main_window.hpp"
#include "countdowns/countdown_dialog.hpp"
#include "countdowns/countdowns_window.hpp"
#include "settings/options_dialog.hpp"
#include "stopwatches/stopwatches_window.hpp"
#include "support/app_fixture.hpp"

namespace orvane {
namespace {

using namespace orvane::testing;

class UserReportsTest : public AppFixture {
protected:
    static bool checked(ui::Window& window, int id) {
        return SendMessageW(window.control(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
    }
    TForm3& options() { return app->form3(); }
    void openOptions() { pick(TForm1::Option1); }
    RECT windowRect(HWND hwnd) {
        RECT r{};
        GetWindowRect(hwnd, &r);
        return r;
    }
    RECT workArea() {
        RECT area{};
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
        return area;
    }
    std::wstring trayClock() {
        wchar_t caption[64] = {};
        GetMenuStringW(main().trayMenu(), TForm1::QuitterItem, caption, 64, MF_BYCOMMAND);
        return caption;
    }
};

TEST_F(UserReportsTest, TheSoundChoicesExcludeEachOtherAndOkStoresTheOneShown) {
    main().settings.Bip = false;
    main().settings.Musique = L"C:\\Sons\\gong.wav";
    openOptions();
    ASSERT_TRUE(checked(options(), TForm3::RadioButton2));
    const struct {
        int clicked;
        bool bip;
        int frequency;
    } cases[] = {{TForm3::RadioButton3, true, 0}, {TForm3::RadioButton1, true, 440}, {TForm3::RadioButton2, false, 440}};
    for (const auto& c : cases) {
        slide(options(), TForm3::TrackBar2, 440);
        click(options(), TForm3::RadioButton3);
        click(options(), c.clicked);
        for (const int id : {TForm3::RadioButton1, TForm3::RadioButton2, TForm3::RadioButton3})
            EXPECT_EQ(checked(options(), id), id == c.clicked) << "clicked " << c.clicked << ", looked at " << id;
        click(options(), TForm3::Button3);
        EXPECT_EQ(main().settings.Bip, c.bip) << c.clicked;
        EXPECT_EQ(main().settings.FrequenceBip, c.frequency) << c.clicked;
        openOptions();
    }
}

TEST_F(UserReportsTest, AMissingFaceIsKeptByOkAndACancelledChooserChangesNothing) {
    main().settings.Pendule = L"E:\\Cadrans\\lune.bmp";  // a drive not plugged in
    openOptions();
    EXPECT_EQ(text(options(), TForm3::Edit2), L"");
    clickTab(options().control(TForm3::PageControl1), 2);
    click(options(), TForm3::Button6);  // the chooser is cancelled
    EXPECT_TRUE(world.boxes.shown.empty());
    ASSERT_EQ(world.fileChooser.asked.size(), 1u);
    EXPECT_EQ(world.fileChooser.asked[0].current, L"E:\\Cadrans\\lune.bmp") << "the chooser starts at the face";
    click(options(), TForm3::Button3);
    EXPECT_EQ(main().settings.Pendule, L"E:\\Cadrans\\lune.bmp");
}

TEST_F(UserReportsTest, ACountdownShowsDMinusOneOneSecondAfterItsStartAndTheRestartLikewise) {
    pick(TForm1::Compterebours1);
    TForm4& countdowns = app->form4();
    TForm5& dialog = app->form5();
    world.boxes.answer = box::answerYes;
    click(countdowns, TForm4::Button1);
    world.boxes.answer = box::answerOk;
    pressArrow(dialog.control(TForm5::UpDown4), true, 5);
    world.clock.monotonic = 10'000;
    click(dialog, TForm5::Button1);  // "OK"
    world.boxes.shown.clear();
    for (const bool restarted : {false, true}) {
        for (const wchar_t* shown : {L"00:00:04", L"00:00:03", L"00:00:02", L"00:00:01", L"00:00:00"}) {
            world.clock.monotonic += 1001;
            SendMessageW(countdowns.hwnd(), WM_TIMER, TForm4::Timer1, 0);
            EXPECT_EQ(text(countdowns, TForm4::Label1), shown) << (restarted ? "after the restart" : "after OK");
        }
        EXPECT_EQ(world.boxes.shown.size(), restarted ? 1u : 0u) << "no box before D + 1 s";
        world.clock.monotonic += 1000;
        SendMessageW(countdowns.hwnd(), WM_TIMER, TForm4::Timer1, 0);
        EXPECT_EQ(world.boxes.shown.size(), restarted ? 2u : 1u);
        world.clock.monotonic += 3000;
        click(countdowns, TForm4::SpeedButton2);  // slot 1's restart picture
    }
}

TEST_F(UserReportsTest, APluginItemRunsTheFileItWasListedFor) {
    world.fileSearch.names = {L"Alpha.DLL", L"Beta.DLL"};
    world.pluginLibraries.libraries[L"C:\\Orvane\\plugins\\Alpha.DLL"] = {};
    world.pluginLibraries.libraries[L"C:\\Orvane\\plugins\\Beta.DLL"] = {};
    start();
    // Alpha is deleted while the clock runs.
    world.fileSearch.names = {L"Beta.DLL"};
    world.pluginLibraries.libraries.erase(L"C:\\Orvane\\plugins\\Alpha.DLL");
    pick(TForm1::PluginItems);
    ASSERT_EQ(world.boxes.shown.size(), 1u);
    EXPECT_EQ(world.boxes.shown[0].text, L"DLL non trouvé!");
    EXPECT_EQ(world.pluginLibraries.libraries[L"C:\\Orvane\\plugins\\Beta.DLL"].calls, 0);
}

TEST_F(UserReportsTest, APluginThatDamagedTheHeapIsReportedAndTheProgramEndsWithoutWriting) {
    for (const std::uint32_t code : {0xC0000374u, 0xC0000409u}) {
        world.fileSearch.names = {L"Capteur.DLL"};
        PluginCallResult& result = world.pluginLibraries.libraries[L"C:\\Orvane\\plugins\\Capteur.DLL"].result;
        result.outcome = PluginCallResult::Outcome::structuredException;
        result.code = code;
        world.boxes.shown.clear();
        start();
        pick(TForm1::PluginItems);
        ASSERT_EQ(world.boxes.shown.size(), 1u) << code;
        EXPECT_EQ(world.boxes.shown[0].title, L"Orvane");
        EXPECT_TRUE(app->abandoned());
        MSG quit{};
        EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
        EXPECT_EQ(quit.wParam, static_cast<WPARAM>(abandonedExitCode));
        app->finish();
        EXPECT_TRUE(world.profile.writes.empty()) << "nothing written from a damaged heap";
    }
}

TEST_F(UserReportsTest, TheHourlyShakeKeepsTheWindowWholeOnItsMonitor) {
    const RECT area = workArea();
    const RECT before = windowRect(main().hwnd());
    const int height = before.bottom - before.top;
    SetWindowPos(main().hwnd(), nullptr, 3, area.bottom - height - 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    main().settings.dureevibre = 0;
    world.random.values = {7, 9};
    tickAt({2026, 12, 7, 13, 59, 59, 990});
    tickAt({2026, 12, 7, 14, 0, 0, 10});
    const RECT after = windowRect(main().hwnd());
    EXPECT_EQ(after.left, area.left);
    EXPECT_EQ(after.bottom, area.bottom);
}

TEST_F(UserReportsTest, AMinimisedWindowIsShakenInItsRestoredPlace) {
    SetWindowPos(main().hwnd(), nullptr, 200, 150, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ShowWindow(main().hwnd(), SW_MINIMIZE);
    const RECT minimised = windowRect(main().hwnd());
    main().settings.dureevibre = 0;
    world.random.values = {7, 9};
    tickAt({2026, 12, 7, 13, 59, 59, 990});
    tickAt({2026, 12, 7, 14, 0, 0, 10});
    EXPECT_TRUE(IsIconic(main().hwnd()));
    const RECT still = windowRect(main().hwnd());
    EXPECT_TRUE(EqualRect(&still, &minimised)) << "no title bar pulled into the corner";
    ShowWindow(main().hwnd(), SW_RESTORE);
    const RECT restored = windowRect(main().hwnd());
    EXPECT_EQ(restored.left, 193);
    EXPECT_EQ(restored.top, 159);
}

TEST_F(UserReportsTest, HandEditedValuesGiveAShortSignalAndStayStored) {
    const std::wstring file = L"C:\\Orvane\\Configuration.ini";
    for (const auto& [key, value] : {std::pair{L"dureevibre", L"2147483647"}, {L"DureeBip", L"100000000"},
                                     {L"FrequenceBip", L"440"}, {L"intensevibre", L"2147483647"}})
        world.profile.set(file, L"Options", key, value);
    start();
    world.random.values = {2147483000, 5};
    tickAt({2026, 12, 7, 13, 59, 59, 990});
    tickAt({2026, 12, 7, 14, 0, 0, 10});
    EXPECT_EQ(world.sound.beeps, (std::vector<std::pair<int, int>>{{440, 3000}}));
    const RECT r = windowRect(main().hwnd());
    const RECT area = workArea();
    EXPECT_TRUE(r.left >= area.left && r.right <= area.right && r.top >= area.top && r.bottom <= area.bottom);
    EXPECT_EQ(main().settings.dureevibre, 2147483647);
    EXPECT_EQ(main().settings.DureeBip, 100000000);
}

TEST_F(UserReportsTest, TheTrayClockFollowsASleepOfWholeHours) {
    tickAt({2026, 12, 7, 9, 5, 0, 10});
    EXPECT_EQ(trayClock(), L"Orvane - 09:05");
    tickAt({2026, 12, 7, 12, 5, 0, 30});
    EXPECT_EQ(trayClock(), L"Orvane - 12:05");
}

TEST_F(UserReportsTest, TheTextsAndTheStatusBarStayReadableOverALargeFace) {
    ScratchFolder folder;
    const std::wstring face = folder.path() + L"grand.bmp";
    writeBitmapFile(face, 120, 120, 0x0000FF);
    world.files.files.insert(face);
    main().settings.Pendule = face;
    SetWindowPos(main().hwnd(), HWND_TOP, 100, 100, 0, 0, SWP_NOSIZE);
    tickAt({2026, 12, 7, 10, 30, 15, 10});
    tickAt({2026, 12, 7, 10, 30, 16, 10});
    UpdateWindow(main().hwnd());
    const HDC screen = GetDC(nullptr);
    const RECT dial = windowRect(main().control(TForm1::Image1));
    for (const int id : {TForm1::Label2, TForm1::Label1, TForm1::StatusBar1}) {
        const RECT r = windowRect(main().control(id));
        // The upper left corner of each, where it lies over the face.
        const COLORREF colour = GetPixel(screen, std::max(r.left, dial.left) + 1, r.top + 2);
        EXPECT_NE(colour, 0x0000FFu) << "control " << id;
    }
    ReleaseDC(nullptr, screen);
}

TEST_F(UserReportsTest, ALapClickLeavesTheFocusOnStartSoThatSpaceKeepsWorking) {
    pick(TForm1::Chronomtre1);
    TForm2& stopwatches = app->form2();
    const HWND start = stopwatches.control(TForm2::Button1);
    focus(start);
    click(stopwatches, TForm2::SpeedButton1);
    EXPECT_EQ(GetFocus(), start);
    EXPECT_EQ(SendMessageW(stopwatches.control(TForm2::ListBox5), LB_GETCOUNT, 0, 0), 1) << "the lap was taken";
}

}  // namespace
}  // namespace orvane
