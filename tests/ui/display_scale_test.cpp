#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string_view>
#include <vector>

#include "alarms/alarm_dialog.hpp"
#include "alarms/alarms_window.hpp"
#include "countdowns/countdown_dialog.hpp"
#include "countdowns/countdowns_window.hpp"
#include "elapsed/elapsed_window.hpp"
#include "settings/options_dialog.hpp"
#include "stopwatches/stopwatches_window.hpp"
#include "support/app_fixture.hpp"

// Compared as the checks below read them (the system's types are global).
static bool operator==(const SIZE& a, const SIZE& b) { return a.cx == b.cx && a.cy == b.cy; }
static bool operator==(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }

namespace orvane {
namespace {

using namespace orvane::testing;

constexpr std::uint32_t white = 0xFFFFFF;
constexpr std::uint32_t red = 0x0000FF;

// The DPI the run was started at (the registry's under Wine), 96 by default.
int displayDpi() {
    const char* given = std::getenv("ORVANE_DISPLAY_DPI");
    return given != nullptr ? std::atoi(given) : 96;
}

SIZE clientSize(HWND window) {
    RECT r{};
    GetClientRect(window, &r);
    return {r.right, r.bottom};
}

// A control's rectangle in its parent's client area (a tab page's too).
RECT placeOf(HWND control) {
    RECT r{};
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

int fontHeight(HWND control) {
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font);
    return font.lfHeight;
}

// The face asked for, not the one drawn: Wine substitutes both names.
std::wstring fontFace(HWND control) {
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font);
    return font.lfFaceName;
}

// The bitmap font at 96 DPI, its TrueType twin at any other scale.
std::wstring faceAt(int dpi) { return dpi == 96 ? L"MS Sans Serif" : L"Microsoft Sans Serif"; }

SIZE pictureSize(HWND control) {
    auto picture = reinterpret_cast<HBITMAP>(SendMessageW(control, STM_GETIMAGE, IMAGE_BITMAP, 0));
    if (picture == nullptr) picture = reinterpret_cast<HBITMAP>(SendMessageW(control, BM_GETIMAGE, IMAGE_BITMAP, 0));
    BITMAP info{};
    if (picture != nullptr) GetObjectW(picture, sizeof info, &info);
    return {info.bmWidth, info.bmHeight};
}

SIZE iconSize(HICON icon) {
    ICONINFO info{};
    if (!GetIconInfo(icon, &info)) return {};
    BITMAP colour{};
    GetObjectW(info.hbmColor, sizeof colour, &colour);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return {colour.bmWidth, colour.bmHeight};
}

SIZE iconSize(HWND window, WPARAM which) {
    return iconSize(reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, which, 0)));
}

// Two controls show the same picture, pixel for pixel.
bool samePicture(HWND a, HWND b) {
    const auto picture = [](HWND control) {
        return reinterpret_cast<HBITMAP>(SendMessageW(control, STM_GETIMAGE, IMAGE_BITMAP, 0));
    };
    const SIZE size = pictureSize(a);
    if (size.cx == 0 || !(size == pictureSize(b))) return false;
    for (int y = 0; y < size.cy; ++y)
        for (int x = 0; x < size.cx; ++x)
            if (pixelAt(picture(a), x, y) != pixelAt(picture(b), x, y)) return false;
    return true;
}

// Everything a scale change moves: the client area, and each control's
// place, font and picture.
struct Layout {
    SIZE client;
    struct Control {
        RECT place;
        int font;
        std::wstring face;
        SIZE picture;
        bool operator==(const Control&) const = default;
    };
    std::vector<Control> controls;
    bool operator==(const Layout&) const = default;
};

BOOL CALLBACK collect(HWND child, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
    return TRUE;
}

Layout layoutOf(HWND window) {
    std::vector<HWND> children;
    EnumChildWindows(window, collect, reinterpret_cast<LPARAM>(&children));
    Layout layout{clientSize(window), {}};
    for (const HWND child : children) {
        // The tab control's own scroll arrows are its business.
        wchar_t parentClass[32] = {};
        GetClassNameW(GetParent(child), parentClass, 32);
        if (std::wstring_view(parentClass) == WC_TABCONTROLW) continue;
        layout.controls.push_back({placeOf(child), fontHeight(child), fontFace(child), pictureSize(child)});
    }
    return layout;
}

// What the system sends when the window lands on a monitor of another DPI,
// with the frame it proposes: the same corner, scaled.
void moveToScale(ui::Window& window, int from, int to) {
    RECT frame{};
    GetWindowRect(window.hwnd(), &frame);
    frame.right = frame.left + MulDiv(frame.right - frame.left, to, from);
    frame.bottom = frame.top + MulDiv(frame.bottom - frame.top, to, from);
    SendMessageW(window.hwnd(), WM_DPICHANGED, MAKEWPARAM(to, to), reinterpret_cast<LPARAM>(&frame));
}

class DisplayScaleTest : public DialFixture {
protected:
    void SetUp() override {
        DialFixture::SetUp();
        tickAt({2026, 12, 7, 15, 45, 30, 0});  // hour hand right, second hand down
    }
    // The main window at a DPI, measured against the 96-DPI layout.
    void expectMainWindowAt(int dpi) {
        const auto s = [dpi](int pixels) { return MulDiv(pixels, dpi, 96); };
        SCOPED_TRACE(dpi);
        EXPECT_EQ(main().dpi(), dpi);
        EXPECT_EQ(clientSize(main().hwnd()), (SIZE{s(274), s(89)}));
        const RECT time = placeOf(main().control(TForm1::Label2));
        EXPECT_EQ(time.left, s(72));
        EXPECT_EQ(time.top, s(8));
        EXPECT_EQ(fontHeight(main().control(TForm1::Label2)), -s(20));
        EXPECT_EQ(fontFace(main().control(TForm1::Label2)), faceAt(dpi));
        EXPECT_EQ(fontFace(main().control(TForm1::Label1)), faceAt(dpi));
        EXPECT_EQ(placeOf(main().control(TForm1::StatusBar1)), (RECT{0, s(70), s(274), s(70) + s(19)}));
        EXPECT_EQ(pictureSize(main().control(TForm1::Image2)), (SIZE{s(12), s(12)}));
        // The face at the scale; the hands from the scaled centre, as wide
        // as the pen at that scale, their end points left out.
        EXPECT_EQ(pictureSize(main().control(TForm1::Image1)), (SIZE{s(58), s(56)}));
        const int pen = s(1);
        const struct {
            int x, y;
            std::uint32_t colour;
        } pixels[] = {
            {s(28), s(28), red},      {s(36), s(28), red},       {s(37) + pen, s(28), white},
            {s(28), s(39), red},      {s(28), s(40) + pen, white}, {s(28), s(20), white},
            {s(57), s(55), white},
        };
        for (const auto& p : pixels) EXPECT_EQ(pixelAt(dial(), p.x, p.y), p.colour) << p.x << "," << p.y;
    }

    // The other windows: client area, one control's place and font, pictures.
    void expectWindowsAt(int dpi) {
        const auto s = [dpi](int pixels) { return MulDiv(pixels, dpi, 96); };
        const struct {
            ui::Window& window;
            SIZE client;
            int control;
            RECT place;
        } windows[] = {
            {app->form3(), {425, 364}, TForm3::Button3, {224, 328, 299, 353}},
            {app->form4(), {304, 168}, TForm4::Button1, {40, 94, 199, 119}},
            {app->form6(), {329, 167}, TForm6::PageControl1, {3, 3, 324, 164}},
            {app->form2(), {335, 135}, TForm2::PageControl1, {3, 3, 332, 132}},
            {app->pasttime(), {364, 171}, Tpasttime::Button1, {290, 22, 348, 47}},
        };
        for (const auto& w : windows) {
            SCOPED_TRACE(ui::windowText(w.window.hwnd()));
            EXPECT_EQ(clientSize(w.window.hwnd()), (SIZE{s(w.client.cx), s(w.client.cy)}));
            const RECT place = placeOf(w.window.control(w.control));
            EXPECT_EQ(place.left, s(w.place.left));
            EXPECT_EQ(place.right - place.left, s(w.place.right - w.place.left));
            EXPECT_EQ(place.top, s(w.place.top));
            EXPECT_EQ(fontHeight(w.window.control(w.control)), -s(11));
            EXPECT_EQ(fontFace(w.window.control(w.control)), faceAt(dpi));
        }
        // Every picture of each tab: the bells of the alarms (the main
        // window's bell, as drawn for the scale), the lap and restart buttons.
        const auto column = [](const auto& table, std::size_t first, auto member) {
            std::vector<int> ids;
            for (std::size_t n = first; n < table.size(); ++n) ids.push_back(table[n].*member);
            return ids;
        };
        const struct {
            ui::Window& window;
            std::vector<int> ids;  // tab by tab
            int side;
        } pictures[] = {
            {app->form6(), column(TForm6::slotControls, 1, &TForm6::SlotControls::indicator), 12},
            {app->form2(), column(TForm2::Slots, 0, &TForm2::SlotControls::lap), 16},
            {app->form4(), column(TForm4::Tabs, 1, &TForm4::Tab::restartButton), 16},
        };
        for (const auto& p : pictures)
            for (std::size_t tab = 0; tab < p.ids.size(); ++tab) {
                SCOPED_TRACE(ui::windowText(p.window.hwnd()) + L" " + std::to_wstring(tab + 1));
                EXPECT_EQ(pictureSize(p.window.control(p.ids[tab])), (SIZE{s(p.side), s(p.side)}));
                RECT area{};
                GetClientRect(p.window.control(p.ids[tab]), &area);
                EXPECT_TRUE(area.right >= s(p.side) && area.bottom >= s(p.side)) << "the picture is cut";
                EXPECT_TRUE(&p.window != &app->form6() ||
                            samePicture(p.window.control(p.ids[tab]), main().control(TForm1::Image2)))
                    << "the bell is not the main window's";
            }
    }
};

// Run at 96 DPI with the others, and at 144 and 192 DPI on their own.
TEST_F(DisplayScaleTest, EveryWindowOpensAtTheDisplaysScale) {
    const int dpi = displayDpi();
    const auto s = [dpi](int pixels) { return MulDiv(pixels, dpi, 96); };
    expectMainWindowAt(dpi);
    EXPECT_EQ(iconSize(main().hwnd(), ICON_SMALL), (SIZE{s(16), s(16)}));
    EXPECT_EQ(iconSize(main().hwnd(), ICON_BIG), (SIZE{s(32), s(32)}));

    expectWindowsAt(dpi);
}

TEST_F(DisplayScaleTest, AMoveToAMonitorOfAnotherScaleLaysEveryWindowOutAgainAndBack) {
    const auto s = [](int dpi, int pixels) { return MulDiv(pixels, dpi, 96); };
    const int from = displayDpi();
    const int to = from + 48;  // one half step: 96 to 144, 192 to 240
    ui::Window* windows[] = {&main(),       &app->form2(), &app->form3(), &app->form4(),
                             &app->form5(), &app->form6(), &app->form7(), &app->pasttime()};
    std::vector<Layout> before;
    for (ui::Window* window : windows) before.push_back(layoutOf(window->hwnd()));

    // The clock sits in the tray meanwhile: its icon keeps the taskbar's
    // scale, the system's, whatever monitor the window moves to; it is drawn
    // again when the system's scale changes.
    closeBox(main());
    ASSERT_TRUE(world.tray.present);
    EXPECT_EQ(iconSize(static_cast<HICON>(world.tray.last.icon)), (SIZE{s(from, 16), s(from, 16)}));

    for (ui::Window* window : windows) moveToScale(*window, from, to);
    EXPECT_EQ(world.tray.iconChanges, 0);
    SendMessageW(main().hwnd(), WM_DISPLAYCHANGE, 32, MAKELPARAM(1280, 1024));
    EXPECT_EQ(world.tray.iconChanges, 1);
    EXPECT_EQ(iconSize(static_cast<HICON>(world.tray.last.icon)), (SIZE{s(from, 16), s(from, 16)}));
    pick(TForm1::RestaurerItem);
    expectMainWindowAt(to);
    // The seconds that follow are drawn at the new scale.
    tickAt({2026, 12, 7, 15, 45, 31, 0});
    tickAt({2026, 12, 7, 15, 45, 30, 0});
    expectMainWindowAt(to);
    expectWindowsAt(to);

    for (ui::Window* window : windows) moveToScale(*window, to, from);
    expectMainWindowAt(from);
    for (std::size_t i = 0; i < std::size(windows); ++i)
        EXPECT_TRUE(layoutOf(windows[i]->hwnd()) == before[i]) << "window " << i << " did not come back as it was";
}

// The hourly shake at the display's scale: each frame's step grows with it.
TEST_F(DisplayScaleTest, TheShakesStepsAreOfTheDisplaysScale) {
    const struct {
        int dpi, left, down;
    } scales[] = {{96, 7, 4}, {144, 11, 6}, {192, 14, 8}};  // 7 and 4 layout pixels, halves away from zero
    SetWindowPos(main().hwnd(), nullptr, 300, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    main().settings.dureevibre = 0;
    world.random.values = {7, 4};
    world.clock.setLocal({2026, 12, 7, 16, 0, 0, 2});
    SendMessageW(main().hwnd(), WM_TIMER, TForm1::Timer1, 0);
    std::vector<POINT> frames;
    for (int frame = 0; frame < 2; ++frame) {
        SendMessageW(main().hwnd(), WM_TIMER, TForm1::ShakeTimer, 0);
        RECT r;
        GetWindowRect(main().hwnd(), &r);
        frames.push_back({r.left, r.top});
    }
    bool measured = false;
    for (const auto& scale : scales) {
        if (scale.dpi != displayDpi()) continue;
        measured = true;
        EXPECT_EQ(frames[0].x, 300 - scale.left);
        EXPECT_EQ(frames[0].y, 300);
        EXPECT_EQ(frames[1].x, 300 - scale.left);
        EXPECT_EQ(frames[1].y, 300 + scale.down);
    }
    EXPECT_TRUE(measured) << "no steps known at " << displayDpi() << " DPI";
}

}  // namespace
}  // namespace orvane
