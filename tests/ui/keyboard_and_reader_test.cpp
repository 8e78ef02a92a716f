// The windows used by keyboard and read aloud, and the dial's face as other
// programs leave it.
#include <windows.h>
#include <commctrl.h>
#include <oleacc.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "alarms/alarm_dialog.hpp"
#include "alarms/alarms_window.hpp"
#include "app/application.hpp"
#include "countdowns/countdown_dialog.hpp"
#include "elapsed/elapsed_window.hpp"
#include "platform/win32/services.hpp"
#include "settings/options_dialog.hpp"
#include "stopwatches/stopwatches_window.hpp"
#include "support/app_fixture.hpp"

namespace orvane {
namespace {

using namespace orvane::testing;

// What a screen reader says for a control: its Active Accessibility name.
std::wstring readerName(HWND control) {
    CoInitialize(nullptr);
    IAccessible* accessible = nullptr;
    // 64-bit Wine gives no accessible object for a window (E_NOINTERFACE):
    // there the window text, which the standard object reads, stands for it.
    if (FAILED(AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                          reinterpret_cast<void**>(&accessible))))
        return sizeof(void*) == 8 ? ui::windowText(control) : L"(no accessible object)";
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    std::wstring said = SUCCEEDED(accessible->get_accName(self, &name)) && name != nullptr ? name : L"";
    SysFreeString(name);
    accessible->Release();
    return said;
}

class KeyboardAndReaderTest : public AppFixture {
protected:
    // A mouse click on the window, in the margin by its top left corner where
    // no control lies, as a user brings it forward: the display's own pointer,
    // so that a window manager sees it as well.
    void clickMargin(HWND window) {
        POINT at{3, 3};
        ClientToScreen(window, &at);
        // The click is over before anything else goes on: a window the
        // program brought forward by itself is not the click's doing.
        askDisplay(L"mousemove " + std::to_wstring(at.x) + L" " + std::to_wstring(at.y) + L" click 1");
        if (!waitFor([&] { return GetActiveWindow() == window; }, "the click to bring the window forward"))
            ADD_FAILURE() << "clicked at " << at.x << "," << at.y << " over \""
                          << narrow(ui::windowText(GetAncestor(WindowFromPoint(at), GA_ROOT))) << "\"; active: \""
                          << narrow(ui::windowText(GetActiveWindow())) << "\"";
        if (underWindowManager()) keyboardTo(window);
    }
    // A window moved away from the main one (under it, or beside it), so
    // that no window hides another's caption.
    void awayFromMain(HWND window, bool beside) {
        RECT main{};
        GetWindowRect(this->main().hwnd(), &main);
        SetWindowPos(window, nullptr, beside ? main.right + 40 : main.left, beside ? main.top : main.bottom + 40, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    // A face file of one colour, 58 x 56, that the dial reads through the system's own stamps.
    void writeFace(std::uint32_t colour, const FILETIME* time = nullptr) {
        writeBitmapFile(face, 58, 56, colour);
        if (time == nullptr) return;
        const HANDLE file = CreateFileW(face.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        SetFileTime(file, nullptr, nullptr, time);
        CloseHandle(file);
    }
    std::uint32_t dialCentre() {
        const auto picture =
            reinterpret_cast<HBITMAP>(SendMessageW(main().control(TForm1::Image1), STM_GETIMAGE, IMAGE_BITMAP, 0));
        return pixelAt(picture, 2, 2);  // a corner no hand reaches
    }
    void tick() {
        world.clock.advance(1000);
        SendMessageW(main().hwnd(), WM_TIMER, TForm1::Timer1, 0);
    }

    ScratchFolder folder;
    std::wstring face = folder.path() + L"face.bmp";
    win32::DiskFiles disk;
};

TEST_F(KeyboardAndReaderTest, EveryPictureOnlyControlHasANameAndKeepsItsPicture) {
    const struct {
        int opener;  // the menu item that shows the window, 0 for the main one
        std::function<ui::Window&()> window;
        int id;
        const wchar_t* name;
        bool picture;
    } cases[] = {
        {0, [&]() -> ui::Window& { return main(); }, TForm1::Image1, L"Horloge analogique", true},
        {0, [&]() -> ui::Window& { return main(); }, TForm1::Image2, L"Alarme armée", true},
        {TForm1::Alarme1, [&]() -> ui::Window& { return app->form6(); }, TForm6::slotControls[1].indicator,
         L"Alarme n°1 armée", true},
        {TForm1::Alarme1, [&]() -> ui::Window& { return app->form6(); }, TForm6::slotControls[5].indicator,
         L"Alarme n°5 armée", true},
        {TForm1::Compterebours1, [&]() -> ui::Window& { return app->form4(); }, TForm4::Tabs[1].restartButton,
         L"Relancer le compte à rebours n°1", true},
        {TForm1::Compterebours1, [&]() -> ui::Window& { return app->form4(); }, TForm4::Tabs[3].restartButton,
         L"Relancer le compte à rebours n°3", true},
        {TForm1::Chronomtre1, [&]() -> ui::Window& { return app->form2(); }, TForm2::Slots[0].lap,
         L"Noter un temps intermédiaire du chronomètre n°1", true},
        {TForm1::Chronomtre1, [&]() -> ui::Window& { return app->form2(); }, TForm2::Slots[4].laps,
         L"Temps intermédiaires du chronomètre n°5", false},
        {TForm1::Option1, [&]() -> ui::Window& { return app->form3(); }, TForm3::Image1,
         L"Aperçu de l'image pendule", false},  // no face file here to preview
    };
    for (const auto& c : cases) {
        if (c.opener != 0) pick(c.opener);
        const HWND control = c.window().control(c.id);
        EXPECT_EQ(readerName(control), c.name) << c.id;
        if (c.opener == TForm1::Option1) closeBox(app->form3());
        if (!c.picture) continue;
        wchar_t className[16] = {};
        GetClassNameW(control, className, 16);
        const bool isButton = lstrcmpiW(className, L"Button") == 0;
        EXPECT_NE(SendMessageW(control, isButton ? BM_GETIMAGE : STM_GETIMAGE, IMAGE_BITMAP, 0), 0) << c.id;
    }
}

// Tab to a control, bring the main window forward with the mouse and then
// this one again: the keyboard is still on that control. A dialog that
// served the window does not take it away either.
TEST_F(KeyboardAndReaderTest, EachWindowGivesTheKeyboardBackToTheControlThatHadIt) {
    const struct {
        int opener;
        std::function<ui::Window&()> window;
        int tabs;
    } cases[] = {
        {TForm1::Chronomtre1, [&]() -> ui::Window& { return app->form2(); }, 2},
        {TForm1::Compterebours1, [&]() -> ui::Window& { return app->form4(); }, 2},
        {TForm1::Alarme1, [&]() -> ui::Window& { return app->form6(); }, 2},
        {TForm1::PastTime1, [&]() -> ui::Window& { return app->pasttime(); }, 3},
        {TForm1::Option1, [&]() -> ui::Window& { return app->form3(); }, 3},
    };
    for (const auto& c : cases) {
        pick(c.opener);
        ui::Window& window = c.window();
        awayFromMain(window.hwnd(), false);
        clickMargin(window.hwnd());
        press({VK_TAB});
        for (int k = 1; k < c.tabs; ++k) press({VK_TAB});
        const HWND focused = GetFocus();
        ASSERT_TRUE(IsChild(window.hwnd(), focused)) << c.opener;
        // The options wait with the main window disabled: the user clicks another.
        ui::Window& away = c.opener == TForm1::Option1 ? static_cast<ui::Window&>(app->form2()) : main();
        awayFromMain(app->form2().hwnd(), true);
        clickMargin(away.hwnd());
        clickMargin(window.hwnd());
        EXPECT_EQ(GetFocus(), focused) << c.opener << ": the focus went to " << GetDlgCtrlID(GetFocus());
        if (c.opener != TForm1::Option1) continue;
        // A click brings the options back as any activation does: what was not confirmed is dropped.
        const auto beeps = [&] { return SendMessageW(window.control(TForm3::RadioButton1), BM_GETCHECK, 0, 0); };
        ASSERT_EQ(beeps(), BST_CHECKED);
        click(window, TForm3::RadioButton2);
        ASSERT_EQ(beeps(), BST_UNCHECKED);
        clickMargin(away.hwnd());
        clickMargin(window.hwnd());
        EXPECT_EQ(beeps(), BST_CHECKED) << "the stored choice is back";
        // The same, as Windows says it: WA_CLICKACTIVE, which Wine's clicks do not always say.
        click(window, TForm3::RadioButton2);
        for (const UINT state : {WA_INACTIVE, WA_CLICKACTIVE})
            SendMessageW(window.hwnd(), WM_ACTIVATE, state, reinterpret_cast<LPARAM>(away.hwnd()));
        EXPECT_EQ(beeps(), BST_CHECKED) << "the stored choice is back after WA_CLICKACTIVE";
        closeBox(app->form3());
    }
    // A box shown over a window (here the question of "Nouveau Compte à
    // rebours", answered No) gives the keyboard back when it goes.
    pick(TForm1::Compterebours1);
    const HWND newButton = app->form4().control(TForm4::Tabs[1].newButton);
    focus(newButton);
    world.boxes.whileShown = [](const FakeBoxes::Shown&) {
        const HWND box = CreateWindowExW(0, L"STATIC", L"Attention...", WS_POPUP | WS_VISIBLE | WS_CAPTION, 0, 0, 200,
                                         100, nullptr, nullptr, nullptr, nullptr);
        SetActiveWindow(box);
        DestroyWindow(box);
    };
    world.boxes.answer = box::answerNo;
    press({VK_SPACE});
    EXPECT_EQ(GetFocus(), newButton);
    world.boxes.whileShown = nullptr;

    // Space on "Stop !" of the first stopwatch still stops it.
    pick(TForm1::Chronomtre1);
    click(app->form2(), TForm2::Button1);
    focus(app->form2().control(TForm2::Button2));
    clickMargin(main().hwnd());
    clickMargin(app->form2().hwnd());
    press({VK_SPACE});
    EXPECT_FALSE(app->form2().table().slot(1).running);
}

// Enter in a dialog is its OK; a value typed in a field moves on from there
// with the field's arrows.
TEST_F(KeyboardAndReaderTest, EnterConfirmsEachSetupAndArrowsGoOnFromATypedValue) {
    pick(TForm1::Alarme1);
    click(app->form6(), TForm6::slotControls[1].configure);
    TForm7& alarm = app->form7();
    type(alarm, TForm7::Edit2, L"Thé");
    press({VK_RETURN});
    EXPECT_FALSE(alarm.isVisible());
    EXPECT_TRUE(app->form6().alarms()[1].armed());
    EXPECT_EQ(app->form6().alarms()[1].Title, L"Thé");

    pick(TForm1::Compterebours1);
    world.boxes.answer = box::answerYes;
    click(app->form4(), TForm4::Tabs[1].newButton);
    TForm5& countdown = app->form5();
    type(countdown, TForm5::Edit5, L"Pâtes");
    press({VK_RETURN});
    EXPECT_FALSE(countdown.isVisible());
    EXPECT_EQ(app->form4().table().slot(1).Name, L"Pâtes");
    EXPECT_TRUE(app->form4().table().isRunning(1));

    const struct {
        ui::Window* window;
        int field, arrows;
        const wchar_t *typed, *shown;
    } fields[] = {
        {&app->pasttime(), Tpasttime::SpinEdit1, Tpasttime::UpDown1, L"7", L"8"},
        {&app->pasttime(), Tpasttime::SpinEdit3, Tpasttime::UpDown3, L"75", L"59"},
        {&countdown, TForm5::SpinEdit2, TForm5::SpinEdit2Arrows, L"41", L"42"},
    };
    pick(TForm1::PastTime1);
    click(app->form4(), TForm4::Tabs[1].newButton);
    for (const auto& f : fields) {
        type(*f.window, f.field, f.typed);
        ASSERT_EQ(text(*f.window, f.field), f.typed) << "the field holds what was typed before its arrow steps on";
        pressArrow(f.window->control(f.arrows), true);
        EXPECT_EQ(text(*f.window, f.field), f.shown) << "typed " << f.typed;
    }
}

TEST_F(KeyboardAndReaderTest, AFaceHeldByAnotherProgramOrSwappedForItsTwinShowsOnceItCan) {
    world.files.disk = &disk;
    world.files.files.insert(face);
    writeFace(0xFFFFFF);
    main().settings.Pendule = face;
    tick();
    EXPECT_EQ(dialCentre(), 0xFFFFFFu);

    // Held without read sharing for two ticks, as an editor saving it would.
    writeFace(0x00FF00);
    const HANDLE held = CreateFileW(face.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    for (int k = 0; k < 2; ++k) {
        tick();
        EXPECT_EQ(text(main(), TForm1::StatusBar1), L"Erreur Chargement Pendule !");
    }
    CloseHandle(held);
    tick();
    EXPECT_EQ(text(main(), TForm1::StatusBar1), L"");
    EXPECT_EQ(dialCentre(), 0x00FF00u);

    // Another face of the same size, given the time of the one it replaces.
    WIN32_FILE_ATTRIBUTE_DATA before{};
    GetFileAttributesExW(face.c_str(), GetFileExInfoStandard, &before);
    writeFace(0xFF0000, &before.ftLastWriteTime);
    // The system tells of the change a moment later: the next ticks show it.
    for (const ULONGLONG until = GetTickCount64() + 5000; dialCentre() != 0xFF0000u && GetTickCount64() < until;) {
        Sleep(25);
        tick();
    }
    EXPECT_EQ(dialCentre(), 0xFF0000u) << "five seconds after the face was written anew";

    // A face that has not changed is not read again: held by another
    // program, it stays on the dial.
    const HANDLE holder = CreateFileW(face.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    for (int k = 0; k < 3; ++k) {
        Sleep(10);
        tick();
        EXPECT_EQ(text(main(), TForm1::StatusBar1), L"") << "tick " << k;
    }
    CloseHandle(holder);
    EXPECT_EQ(dialCentre(), 0xFF0000u);
}

// Under a high-contrast theme the built-in face shipped beside the program
// takes the theme's colours, as the one built in does; a face of the user's
// own is shown as its file is, even one drawn on the very same colours.
TEST_F(KeyboardAndReaderTest, OnlyTheProgramsOwnFaceTakesTheThemesColours) {
    std::ifstream in(std::filesystem::path(ORVANE_SOURCE_DIR L"/res/HORLOGE.BMP"), std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), {});
    const int element = COLOR_BTNFACE;
    const COLORREF before = GetSysColor(element), black = 0, yellow = RGB(255, 255, 0);
    ASSERT_TRUE(SetSysColors(1, &element, &black));
    world.contrast.themeText = yellow;
    world.files.disk = &disk;
    world.clock.setLocal({2026, 12, 7, 15, 30, 45, 0});  // no hand near the top left
    for (const bool usersOwn : {false, true}) {  // the user's: the built-in face but for one byte
        if (usersOwn) bytes.back() ^= 1;
        const std::wstring path = folder.path() + (usersOwn ? L"ma pendule.bmp" : L"HORLOGE.BMP");
        std::ofstream(std::filesystem::path(path), std::ios::binary).write(bytes.data(), std::ssize(bytes));
        world.files.files.insert(main().settings.Pendule = path);
        tick();
        const auto dial = reinterpret_cast<HBITMAP>(SendMessageW(main().control(TForm1::Image1), STM_GETIMAGE, 0, 0));
        EXPECT_EQ(pixelAt(dial, 2, 2), usersOwn ? RGB(0xF0, 0xF0, 0xF0) : black) << usersOwn;
        EXPECT_EQ(pixelAt(dial, 18, 2), usersOwn ? RGB(0x60, 0x08, 0x0E) : yellow) << usersOwn;
    }
    SetSysColors(1, &element, &before);
}

}  // namespace
}  // namespace orvane
