#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>
#include <map>
#include <set>

#include "app/application.hpp"
#include "clock/main_window.hpp"
#include "support/app_fixture.hpp"

namespace orvane {
namespace {

using namespace orvane::testing;

constexpr std::uint32_t white = 0xFFFFFF;
constexpr std::uint32_t red = 0x0000FF;
constexpr wchar_t dialFailure[] = L"Erreur Chargement Pendule !";

using DialTest = DialFixture;

TEST_F(DialTest, HandsAreDrawnOnTheFaceInTheirColourWithoutTheirEndPoints) {
    tickAt({2026, 12, 7, 15, 45, 30, 0});
    const HBITMAP picture = dial();
    // Hour hand right, minute hand left, second hand down, from (28, 28).
    const struct {
        int x, y;
        std::uint32_t colour;
    } pixels[] = {
        {28, 28, red}, {36, 28, red}, {37, 28, white}, {17, 28, red}, {16, 28, white},
        {28, 39, red}, {28, 40, white}, {28, 20, white}, {5, 5, white}, {57, 55, white},
    };
    for (const auto& p : pixels) EXPECT_EQ(pixelAt(picture, p.x, p.y), p.colour) << p.x << "," << p.y;
    EXPECT_EQ(text(main(), TForm1::StatusBar1), L"");
    RECT r;
    GetClientRect(main().control(TForm1::Image1), &r);
    EXPECT_EQ(r.right, 58) << "the face shows at its own size";
    EXPECT_EQ(r.bottom, 56);
}

// With the settings' own defaults the hands are black and one pixel wide;
// a face larger than the dial shows cut to its 71 pixels.
TEST_F(DialTest, TheDefaultHandsAreBlackAndThinAndALargeFaceIsCutToTheDial) {
    const std::wstring large = folder.path() + L"grand.bmp";
    writeBitmapFile(large, 100, 90, white);
    world.files.files.insert(large);
    main().settings = ClockSettings{};
    main().settings.Pendule = large;
    tickAt({2026, 12, 7, 15, 45, 30, 0});  // hour and minute across, second down
    const HBITMAP picture = dial();
    std::set<int> rows, columns;
    std::set<std::uint32_t> colours;
    for (int y = 0; y < 90; ++y)
        for (int x = 0; x < 100; ++x)
            if (const std::uint32_t c = pixelAt(picture, x, y); c != white) {
                colours.insert(c);
                rows.insert(y);
                columns.insert(x);
            }
    EXPECT_EQ(colours, std::set<std::uint32_t>{0}) << "black hands";
    // One pixel wide: the hands across lie in one row, the one down in one column.
    std::map<int, int> perRow, perColumn;
    for (int y : rows)
        for (int x : columns)
            if (pixelAt(picture, x, y) != white) ++perRow[y], ++perColumn[x];
    const auto longest = [](const std::map<int, int>& counts) {
        return std::count_if(counts.begin(), counts.end(), [](const auto& c) { return c.second > 1; });
    };
    EXPECT_EQ(longest(perRow), 1) << "rows holding a hand across";
    EXPECT_EQ(longest(perColumn), 1) << "columns holding a hand down";
    RECT r;
    GetClientRect(main().control(TForm1::Image1), &r);
    EXPECT_EQ(std::make_pair(r.right, r.bottom), std::make_pair(LONG{71}, LONG{71})) << "cut to the dial";
}

TEST_F(DialTest, AWidePenAndAnotherTimeMoveThePixels) {
    main().settings.penwidth = 3;
    main().settings.Couleur = 0x00FF00;
    tickAt({2026, 12, 7, 12, 0, 0, 0});
    // All three hands straight up; a 3-pixel pen covers the columns beside.
    EXPECT_EQ(pixelAt(dial(), 27, 22), 0x00FF00u);
    EXPECT_EQ(pixelAt(dial(), 29, 22), 0x00FF00u);
    EXPECT_EQ(pixelAt(dial(), 28, 34), white);
}

TEST_F(DialTest, AMissingOrUnreadableFaceFreezesTheDialUntilItComesBack) {
    tickAt({2026, 12, 7, 10, 0, 5, 0});
    const HBITMAP drawn = dial();
    const std::uint32_t handPixel = pixelAt(drawn, 28, 18);  // the minute hand at 0

    world.files.files.clear();
    tickAt({2026, 12, 7, 10, 0, 6, 0});
    EXPECT_EQ(text(main(), TForm1::StatusBar1), dialFailure);
    EXPECT_EQ(dial(), drawn) << "the dial keeps the last picture, hands included";
    EXPECT_EQ(pixelAt(dial(), 28, 18), handPixel);

    // A file that is there but is no picture we read: the same, and no box.
    const std::wstring notAPicture = folder.path() + L"face.png";
    writeBitmapFile(notAPicture, 10, 10, white);
    const std::wstring damaged = folder.path() + L"damaged.bmp";
    { std::ofstream(std::filesystem::path(damaged)) << "not a bitmap"; }
    for (const std::wstring& bad : {notAPicture, damaged}) {
        world.files.files.insert(bad);
        main().settings.Pendule = bad;
        tickAt({2026, 12, 7, 10, 0, 7, 0});
        EXPECT_EQ(text(main(), TForm1::StatusBar1), dialFailure);
        EXPECT_EQ(dial(), drawn);
    }
    EXPECT_TRUE(world.boxes.shown.empty());

    main().settings.Pendule = face;
    world.files.files.insert(face);
    tickAt({2026, 12, 7, 10, 0, 8, 0});
    EXPECT_EQ(text(main(), TForm1::StatusBar1), L"");
    EXPECT_NE(dial(), drawn);
}

TEST_F(DialTest, IconsAndEnhancedMetafilesAreDrawnUnderTheHands) {
    // An enhanced metafile of a blue square, 40 pixels wide.
    const std::wstring metafile = folder.path() + L"face.emf";
    const HDC recorder = CreateEnhMetaFileW(nullptr, metafile.c_str(), nullptr, nullptr);
    const HBRUSH blue = CreateSolidBrush(0xFF0000);
    RECT square{0, 0, 40, 40};
    FillRect(recorder, &square, blue);
    DeleteObject(blue);
    DeleteEnhMetaFile(CloseEnhMetaFile(recorder));
    const std::wstring icon = ORVANE_SOURCE_DIR L"/res/orvane.ico";

    const struct {
        std::wstring path;
        int side;
        std::uint32_t corner;
    } faces[] = {{metafile, 40, 0xFF0000}, {icon, 32, GetSysColor(COLOR_BTNFACE)}};
    for (const auto& f : faces) {
        world.files.files.insert(f.path);
        main().settings.Pendule = f.path;
        tickAt({2026, 12, 7, 15, 45, 30, 0});
        EXPECT_EQ(text(main(), TForm1::StatusBar1), L"") << ::testing::PrintToString(f.path);
        BITMAP size{};
        GetObjectW(dial(), sizeof size, &size);
        EXPECT_NEAR(size.bmWidth, f.side, 1) << ::testing::PrintToString(f.path);
        EXPECT_EQ(pixelAt(dial(), 28, 30), red) << "the second hand lies on top";
        EXPECT_EQ(pixelAt(dial(), 0, 0), f.corner) << "the picture lies under the hands";
    }
}

TEST_F(DialTest, AFaceFileWrittenAgainShowsAtTheNextTickAndAMissingOneInTheStatusBar) {
    tickAt({2026, 12, 7, 10, 0, 0, 0});
    EXPECT_EQ(pixelAt(dial(), 5, 5), white);
    // The same size, a later write time.
    const auto written = std::filesystem::last_write_time(std::filesystem::path(face));
    writeBitmapFile(face, 58, 56, 0xFF0000);
    std::filesystem::last_write_time(std::filesystem::path(face), written + std::chrono::seconds(2));
    tickAt({2026, 12, 7, 10, 0, 1, 0});
    EXPECT_EQ(pixelAt(dial(), 5, 5), 0xFF0000u);
    // Another size.
    writeBitmapFile(face, 40, 40, 0x00FF00);
    tickAt({2026, 12, 7, 10, 0, 2, 0});
    EXPECT_EQ(pixelAt(dial(), 5, 5), 0x00FF00u);
    RECT r;
    GetClientRect(main().control(TForm1::Image1), &r);
    EXPECT_EQ(r.right, 40);
    // Gone, then back.
    world.files.files.erase(face);
    tickAt({2026, 12, 7, 10, 0, 3, 0});
    EXPECT_EQ(text(main(), TForm1::StatusBar1), dialFailure);
    world.files.files.insert(face);
    tickAt({2026, 12, 7, 10, 0, 4, 0});
    EXPECT_EQ(text(main(), TForm1::StatusBar1), L"");
    EXPECT_EQ(pixelAt(dial(), 5, 5), 0x00FF00u);
}

TEST_F(DialTest, TheScreenShowsEachSecondsHandsAsDrawnWithoutARepaint) {
    ASSERT_TRUE(IsWindowVisible(main().control(TForm1::Image1)));
    auto differences = [&] {
        const HDC screen = GetDC(main().control(TForm1::Image1));
        int count = 0;
        for (int y = 0; y < 56; ++y)
            for (int x = 0; x < 58; ++x) count += GetPixel(screen, x, y) != pixelAt(dial(), x, y);
        ReleaseDC(main().control(TForm1::Image1), screen);
        return count;
    };
    const LocalTime seconds[] = {{2026, 12, 7, 10, 30, 15, 0}, {2026, 12, 7, 10, 30, 16, 0},
                                 {2026, 12, 7, 10, 30, 59, 0}, {2026, 12, 7, 10, 31, 0, 0}};
    for (const LocalTime& t : seconds) {
        tickAt(t);
        EXPECT_EQ(differences(), 0) << t.minute << ":" << t.second;
    }
    main().settings.Couleur = 0x00FF00;
    tickAt({2026, 12, 7, 10, 31, 1, 0});
    EXPECT_EQ(differences(), 0) << "another colour";
}

TEST_F(DialTest, TenThousandTicksKeepNoOldPicture) {
    tickAt({2026, 12, 7, 10, 0, 0, 0});
    // GDI handles are slots that a freed object gives back: an object made
    // after the ticks lands in the same slot only if the ticks left none behind.
    const HBRUSH before = CreateSolidBrush(0x123456);
    DeleteObject(before);
    const HBITMAP previous = dial();
    for (int i = 1; i <= 10000; ++i) {
        tickAt({2026, 12, 7, 10, static_cast<std::uint16_t>(i / 60 % 60), static_cast<std::uint16_t>(i % 60), 0});
        if (i <= 3) {
            EXPECT_EQ(dial(), previous) << "the hands are redrawn on the one picture at tick " << i;
        }
    }
    const HBRUSH after = CreateSolidBrush(0x123456);
    EXPECT_EQ(LOWORD(reinterpret_cast<UINT_PTR>(after)), LOWORD(reinterpret_cast<UINT_PTR>(before)));
    DeleteObject(after);
}

// The hour shows first; then the shake, a step at each frame of its timer
// (the window's thread free between two), then the beep.
TEST_F(DialTest, TheHourlySignalShowsTheHourThenShakesFrameByFrameThenBeepsOncePerFullHour) {
    SetWindowPos(main().hwnd(), nullptr, 100, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    main().settings.dureevibre = 1;
    main().settings.FrequenceBip = 880;
    main().settings.DureeBip = 300;
    world.random.values = {7, 4, 2, 5};
    tickAt({2026, 12, 7, 13, 59, 59, 990});
    EXPECT_TRUE(world.sound.beeps.empty());
    world.clock.setLocal({2026, 12, 7, 14, 0, 1, 20});  // a late tick still gives the hour
    SendMessageW(main().hwnd(), WM_TIMER, TForm1::Timer1, 0);
    std::vector<std::wstring> frames{text(main(), TForm1::Label2)};
    for (int frame = 0; frame < 5; ++frame) {
        RECT r;
        GetWindowRect(main().hwnd(), &r);
        frames.push_back(std::to_wstring(r.left) + L"," + std::to_wstring(r.top) + L" " +
                         std::to_wstring(world.sound.beeps.size()));
        SendMessageW(main().hwnd(), WM_TIMER, TForm1::ShakeTimer, 0);
    }
    EXPECT_EQ(frames, (std::vector<std::wstring>{L"14:00:01", L"100,100 0", L"93,100 0", L"93,104 0", L"95,104 0",
                                                 L"95,99 1"}));
    EXPECT_EQ(world.sound.beeps, (std::vector<std::pair<int, int>>{{880, 300}}));
    tickAt({2026, 12, 7, 14, 0, 1, 600});  // the same second again
    EXPECT_EQ(world.sound.beeps.size(), 1u);
}

// Windows' default timer resolution brings a 16 ms timer every 31 ms, and a
// busy machine later still: the shake still ends on its planned time (within
// a frame, or a period of so late a timer), going back and forth as planned;
// then the beep, and only then the alarm of the hour.
TEST_F(DialTest, OnALateTimerTheShakeKeepsItsTimeAndTheAlarmOfTheHourFollowsTheBeep) {
    SetWindowPos(main().hwnd(), nullptr, 200, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    app->form6().alarms().configure(2, {14, 0, L"Thé", L"", false, L""});
    main().settings.dureevibre = 19;  // twenty steps, across then down: 640 ms
    main().settings.FrequenceBip = 880;
    main().settings.DureeBip = 300;
    const struct {
        std::int64_t timerMs, lateByMs;
        std::uint16_t hour;
        std::vector<std::wstring> after;
    } runs[] = {
        {31, 16, 14, {L"beep 880 300", L"box Il est : 14:00:00\r\nAlarme n°2 : Thé est activée. \r\n"}},
        {62, 62, 15, {L"beep 880 300"}},
    };
    for (const auto& run : runs) {
        world.random.values = std::deque<int>(60, 5);
        tickAt({2026, 12, 7, static_cast<std::uint16_t>(run.hour - 1), 59, 59, 990});
        world.log.clear();
        world.clock.setLocal({2026, 12, 7, run.hour, 0, 0, 20});
        SendMessageW(main().hwnd(), WM_TIMER, TForm1::Timer1, 0);
        std::vector<int> lefts;
        std::int64_t elapsed = 0;
        while (main().shaking() && elapsed < 2000) {
            EXPECT_TRUE(world.log.empty()) << "during the shake";
            world.clock.advance(run.timerMs);
            elapsed += run.timerMs;
            SendMessageW(main().hwnd(), WM_TIMER, TForm1::ShakeTimer, 0);
            RECT r;
            GetWindowRect(main().hwnd(), &r);
            lefts.push_back(r.left);
        }
        EXPECT_LE(std::abs(elapsed - 640), run.lateByMs) << "the shake took " << elapsed << " ms";
        std::vector<int> across;  // each move across
        for (std::size_t i = 1; i < lefts.size(); ++i)
            if (lefts[i] != lefts[i - 1]) across.push_back(lefts[i] - lefts[i - 1]);
        EXPECT_GE(across.size(), 5u) << run.timerMs;
        for (std::size_t i = 1; i < across.size(); ++i)
            EXPECT_LT(across[i] * across[i - 1], 0) << run.timerMs << " ms: move " << i << " goes back";
        EXPECT_EQ(world.log, run.after);
    }
}

TEST_F(DialTest, AnUnplayableSoundIsToldOnceTheHourShows) {
    main().settings.Bip = false;
    main().settings.Musique = L"";
    world.sound.failure = L"Le nom de périphérique spécifié n'est pas valide";
    tickAt({2026, 12, 7, 14, 59, 59, 0});
    tickAt({2026, 12, 7, 15, 0, 0, 0});
    EXPECT_EQ(world.sound.played, (std::vector<std::wstring>{L""}));
    ASSERT_EQ(world.boxes.shown.size(), 1u);
    EXPECT_EQ(world.boxes.shown[0].text, L"Le nom de périphérique spécifié n'est pas valide.");
    EXPECT_EQ(world.boxes.shown[0].title, L"Orvane");
    EXPECT_EQ(text(main(), TForm1::Label2), L"15:00:00") << "the hour shows before its signal";
    tickAt({2026, 12, 7, 15, 0, 1, 0});
    EXPECT_EQ(text(main(), TForm1::Label2), L"15:00:01");
    EXPECT_EQ(world.boxes.shown.size(), 1u) << "no retry within the hour";
}

// The hour's sound fails and its box stays open ten minutes: the alarm of
// the hour rings before it, the one five minutes later inside it, each once
// and at its time, and nothing is listed.
TEST_F(DialTest, TheBoxOfAFailedSoundHoldsNoAlarmBack) {
    main().settings.Bip = false;
    world.sound.failure = L"Fichier introuvable";
    app->form6().alarms().configure(1, {15, 0, L"Thé", L"", false, L""});
    app->form6().alarms().configure(2, {15, 5, L"Café", L"", false, L""});
    tickAt({2026, 12, 7, 14, 59, 59, 2});
    std::vector<std::wstring> told;
    world.boxes.whileShown = [&](const FakeBoxes::Shown& box) {
        told.push_back(box.title + L" " + box.text.substr(0, box.text.find(L"\r")));
        if (box.title != L"Orvane") return;
        for (int k = 0; k < 600; ++k) {
            world.clock.advance(1000);
            SendMessageW(main().hwnd(), WM_TIMER, TForm1::Timer1, 0);
        }
    };
    tickAt({2026, 12, 7, 15, 0, 0, 2});
    for (int k = 0; k < 3; ++k) tickAt(addMilliseconds(world.clock.now(), 1000));
    EXPECT_EQ(told, (std::vector<std::wstring>{L"Alarme activée ! Il est : 15:00:00", L"Orvane Fichier introuvable.",
                                               L"Alarme activée ! Il est : 15:05:00"}));
}

}  // namespace
}  // namespace orvane
