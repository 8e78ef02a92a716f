#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "alarms/alarms_window.hpp"
#include "app/application.hpp"
#include "clock/main_window.hpp"
#include "settings/options_dialog.hpp"
#include "support/app_fixture.hpp"

namespace orvane {
namespace {

using namespace orvane::testing;

class OptionsTest : public AppFixture {
protected:
    enum Page { Sonnerie, Vibration, Pendule };
    TForm3& options() { return app->form3(); }
    // "Configuration" > "Options" from the main window: the dialog comes to
    // the front from it and reloads what is stored.
    void open() {
        pick(TForm1::Option1);
        ASSERT_EQ(GetActiveWindow(), options().hwnd());
    }
    void showPage(Page page) { clickTab(options().control(TForm3::PageControl1), page); }
    int position(int id) { return static_cast<int>(SendMessageW(options().control(id), TBM_GETPOS, 0, 0)); }
    void slide(int id, int value) { AppFixture::slide(options(), id, value); }
    bool checked(int id) { return SendMessageW(options().control(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    void typeWidth(const wchar_t* width) {
        showPage(Pendule);
        type(options(), TForm3::ComboBox1, width);
    }
    int sampleHeight() {
        RECT r;
        GetWindowRect(options().control(TForm3::Panel2), &r);
        return r.bottom - r.top;
    }
};

TEST_F(OptionsTest, TheFirstOpeningWithoutSettingsShowsTheDefaults) {
    open();
    EXPECT_TRUE(options().isVisible());
    EXPECT_FALSE(main().isEnabled());
    EXPECT_TRUE(checked(TForm3::RadioButton1));
    EXPECT_FALSE(checked(TForm3::RadioButton3));
    EXPECT_EQ(position(TForm3::TrackBar1), 0);
    EXPECT_EQ(position(TForm3::TrackBar2), 0);
    EXPECT_EQ(position(TForm3::TrackBar3), 10);
    EXPECT_EQ(position(TForm3::TrackBar4), 20);
    EXPECT_EQ(text(options(), TForm3::Edit1), L"");
    EXPECT_EQ(text(options(), TForm3::Edit2), L"") << "no HORLOGE.BMP beside the program";
    EXPECT_EQ(text(options(), TForm3::ComboBox1), L"1");
    EXPECT_EQ(sampleHeight(), 1);
    EXPECT_EQ(text(options(), TForm3::GroupBox1), L"  Son lors de chaque heure  ");

    // With the default face beside the program, a new start offers it.
    world.files.files.insert(L"C:\\Orvane\\HORLOGE.BMP");
    start();
    open();
    EXPECT_EQ(text(options(), TForm3::Edit2), L"C:\\Orvane\\HORLOGE.BMP");
}

TEST_F(OptionsTest, RienStoresASilentBeepThatComesBackAsABeep) {
    open();
    slide(TForm3::TrackBar2, 4500);
    slide(TForm3::TrackBar1, 1200);
    click(options(), TForm3::RadioButton3);
    click(options(), TForm3::Button3);
    EXPECT_FALSE(options().isVisible());
    EXPECT_TRUE(main().isEnabled());
    EXPECT_TRUE(main().settings.Bip);
    EXPECT_EQ(main().settings.FrequenceBip, 0);
    EXPECT_EQ(main().settings.DureeBip, 0);
    // Confirmed settings reach the file at once.
    ASSERT_EQ(world.profile.writes.size(), std::size(clockSettingKeys));
    EXPECT_EQ(world.profile.writes[1].value, L"0");

    open();
    EXPECT_TRUE(checked(TForm3::RadioButton1));
    EXPECT_EQ(position(TForm3::TrackBar2), 0);
}

TEST_F(OptionsTest, OkStoresEverySettingAndAFailedWriteIsShown) {
    world.profile.failingKey = L"Bip";
    world.files.files.insert(L"C:\\Orvane\\HORLOGE.BMP");
    main().settings.Pendule = L"C:\\Orvane\\HORLOGE.BMP";  // listed as present but never read here
    open();
    click(options(), TForm3::RadioButton2);
    slide(TForm3::TrackBar2, 440);
    showPage(Vibration);
    EXPECT_FALSE(IsWindowVisible(options().control(TForm3::TrackBar2))) << "one page at a time";
    slide(TForm3::TrackBar3, 3);
    slide(TForm3::TrackBar4, 7);
    showPage(Pendule);
    world.colorChooser.answer = 65280;
    click(options(), TForm3::Button8);
    EXPECT_EQ(shownPixel(options().control(TForm3::Panel1), 20, 5), 65280u) << "the sample shows the colour";
    typeWidth(L"25");
    EXPECT_EQ(sampleHeight(), 25);
    EXPECT_EQ(shownPixel(options().control(TForm3::Panel2), 30, 20), 0u) << "the sample line is black";
    click(options(), TForm3::Button3);
    const ClockSettings& s = main().settings;
    EXPECT_FALSE(s.Bip);
    EXPECT_EQ(s.FrequenceBip, 440);
    EXPECT_EQ(s.intensevibre, 3);
    EXPECT_EQ(s.dureevibre, 7);
    EXPECT_EQ(s.Couleur, 65280);
    EXPECT_EQ(s.penwidth, 25);
    EXPECT_FALSE(options().isVisible());
    ASSERT_EQ(world.boxes.shown.size(), 1u);
    EXPECT_EQ(world.boxes.shown[0].text, L"Impossible d'écrire dans C:\\Orvane\\Configuration.ini.");
}

TEST_F(OptionsTest, ABadWidthKeepsTheDialogOpenWithTheEarlierStepsStored) {
    open();
    showPage(Vibration);
    slide(TForm3::TrackBar3, 4);
    typeWidth(L"");
    ASSERT_EQ(world.boxes.shown.size(), 1u) << "an empty width is refused at once";
    EXPECT_EQ(world.boxes.shown[0].text, L"'' n'est pas une valeur entière correcte.");
    EXPECT_EQ(sampleHeight(), 1) << "the sample keeps its height";
    click(options(), TForm3::Button3);
    EXPECT_EQ(world.boxes.shown.size(), 2u);
    EXPECT_EQ(main().settings.intensevibre, 4);
    EXPECT_EQ(main().settings.penwidth, 1);
    EXPECT_TRUE(options().isVisible());
    EXPECT_FALSE(main().isEnabled());
    click(options(), TForm3::Button4);  // "Annuler"
    EXPECT_FALSE(options().isVisible());
    EXPECT_TRUE(main().isEnabled());
}

TEST_F(OptionsTest, AnnulerAndReopeningDropUnconfirmedChanges) {
    for (const bool withTheButton : {false, true}) {
        open();
        showPage(Vibration);
        slide(TForm3::TrackBar3, 19);
        if (withTheButton) click(options(), TForm3::Button4);  // "Annuler"
        else press({VK_ESCAPE});
        EXPECT_FALSE(options().isVisible());
        EXPECT_EQ(main().settings.intensevibre, 10);
        open();
        EXPECT_EQ(position(TForm3::TrackBar3), 10);
        EXPECT_TRUE(world.profile.writes.empty());
        press({VK_ESCAPE});
    }
}

// A width picked from the list with the arrows shows in the sample at once,
// not the one picked before it.
TEST_F(OptionsTest, AWidthPickedFromTheListShowsInTheSampleAtOnce) {
    open();
    showPage(Pendule);
    focus(options().control(TForm3::ComboBox1));
    for (int step = 0; step < 3; ++step) {
        press({VK_DOWN});
        const std::wstring picked = text(options(), TForm3::ComboBox1);
        EXPECT_EQ(sampleHeight(), std::stoi(picked)) << "picked " << std::string(picked.begin(), picked.end());
    }
}

// What the file holds once the user confirmed a sound, both sliders and a
// colour, then quit.
TEST_F(OptionsTest, OkThenQuittingLeavesTheChosenSoundSlidersAndColourInTheFile) {
    open();
    click(options(), TForm3::RadioButton2);
    slide(TForm3::TrackBar2, 440);
    slide(TForm3::TrackBar1, 1200);
    showPage(Pendule);
    world.colorChooser.answer = 65280;
    click(options(), TForm3::Button8);
    click(options(), TForm3::Button3);
    pick(TForm1::Quitter1);
    app->finish();
    const std::pair<const wchar_t*, const wchar_t*> stored[] = {
        {L"Bip", L"0"}, {L"FrequenceBip", L"440"}, {L"DureeBip", L"1200"}, {L"Couleur", L"65280"}};
    for (const auto& [key, value] : stored)
        EXPECT_EQ(world.profile.read(L"C:\\Orvane\\Configuration.ini", L"Options", key, L"(absent)"), value);
}

BOOL CALLBACK collectChoice(HWND child, LPARAM list) {
    wchar_t className[32] = {};
    GetClassNameW(child, className, 32);
    const LONG type = GetWindowLongW(child, GWL_STYLE) & BS_TYPEMASK;
    if (lstrcmpiW(className, WC_BUTTONW) == 0 &&
        (type == BS_AUTORADIOBUTTON || type == BS_AUTOCHECKBOX || type == BS_AUTO3STATE))
        reinterpret_cast<std::vector<int>*>(list)->push_back(GetDlgCtrlID(child));
    return TRUE;
}

// Every stored setting comes back through the dialog unchanged, and every
// choice the dialog offers reaches the file.
TEST_F(OptionsTest, EverySettingComesBackThroughOkAndEveryChoiceReachesTheFile) {
    ScratchFolder folder;
    const std::wstring face = folder.path() + L"face.bmp";
    writeBitmapFile(face, 58, 56, 0xFFFFFF);
    world.files.files.insert(face);
    using File = std::map<std::wstring, std::wstring>;
    const File stored = {{L"Bip", L"0"},           {L"FrequenceBip", L"440"}, {L"DureeBip", L"300"},
                         {L"Musique", L"C:\\Sons\\gong.wav"}, {L"Pendule", face},  {L"intensevibre", L"3"},
                         {L"dureevibre", L"7"},   {L"Couleur", L"65280"},    {L"penwidth", L"3"}};
    ASSERT_EQ(stored.size(), std::size(clockSettingKeys)) << "a setting without its value here";
    // The file once "OK" confirmed the stored settings after one gesture.
    const auto afterOk = [&](const std::function<void()>& gesture) {
        world.profile.entries.clear();
        for (const auto& [key, value] : stored)
            world.profile.set(L"C:\\Orvane\\Configuration.ini", L"Options", key, value);
        start();
        world.profile.writes.clear();
        open();
        gesture();
        click(options(), TForm3::Button3);
        File written;
        for (const auto& write : world.profile.writes) written[write.key] = write.value;
        return written;
    };
    EXPECT_EQ(afterOk([] {}), stored);

    std::vector<int> choices;  // every radio button and check box, on whichever page
    EnumChildWindows(options().hwnd(), collectChoice, reinterpret_cast<LPARAM>(&choices));
    ASSERT_FALSE(choices.empty());
    for (const int id : choices) {
        bool chosenAlready = false;  // a radio button that a click leaves as it is
        const File written = afterOk([&] {
            for (int page = Sonnerie; page <= Pendule && !IsWindowVisible(options().control(id)); ++page)
                showPage(static_cast<Page>(page));
            const LONG type = GetWindowLongW(options().control(id), GWL_STYLE) & BS_TYPEMASK;
            chosenAlready = checked(id) && type == BS_AUTORADIOBUTTON;
            click(options(), id);
        });
        EXPECT_TRUE(chosenAlready || written != stored)
            << "the choice " << narrow(text(options(), id)) << " is stored nowhere";
    }
}

TEST_F(OptionsTest, BrowsingForASoundPicksTheRadioButton) {
    open();
    world.fileChooser.answer = L"C:\\Sons\\gong.wav";
    click(options(), TForm3::Button2);
    EXPECT_EQ(text(options(), TForm3::Edit1), L"C:\\Sons\\gong.wav");
    EXPECT_TRUE(checked(TForm3::RadioButton2));
    ASSERT_EQ(world.fileChooser.asked.size(), 1u);
    EXPECT_EQ(world.fileChooser.asked[0].filter, std::wstring(L"*.wav\0*.wav\0", 12));

    click(options(), TForm3::Button5);  // the test plays the chosen file
    EXPECT_EQ(world.sound.played, (std::vector<std::wstring>{L"C:\\Sons\\gong.wav"}));

    // Cancelling with no sound chosen falls back to the beep.
    click(options(), TForm3::Button4);
    open();
    world.fileChooser.answer.reset();
    click(options(), TForm3::Button2);
    EXPECT_TRUE(checked(TForm3::RadioButton1));
}

TEST_F(OptionsTest, APictureOfUnknownKindIsRefusedAndATypedPathIsNotStored) {
    open();
    showPage(Pendule);
    world.fileChooser.answer = L"C:\\Images\\photo.png";
    click(options(), TForm3::Button6);
    EXPECT_EQ(text(options(), TForm3::Edit2), L"C:\\Images\\photo.png");
    ASSERT_EQ(world.boxes.shown.size(), 1u);
    EXPECT_EQ(world.boxes.shown[0].text, L"Extension de fichier image inconnue (.png)");

    // Typing a path changes nothing: only the chooser's name is stored, and
    // a face missing now stays the chosen one.
    click(options(), TForm3::Button4);
    main().settings.Pendule = L"C:\\Orvane\\absent.bmp";
    open();
    type(options(), TForm3::Edit2, L"C:\\ailleurs.bmp");
    click(options(), TForm3::Button3);
    EXPECT_EQ(main().settings.Pendule, L"C:\\Orvane\\absent.bmp");
}

TEST_F(OptionsTest, TheTestButtonsUseTheSlidersAsTheUserLeftThem) {
    open();
    slide(TForm3::TrackBar2, 3000);
    slide(TForm3::TrackBar1, 150);
    click(options(), TForm3::Button1);
    EXPECT_EQ(world.sound.beeps, (std::vector<std::pair<int, int>>{{3000, 150}})) << "frequency, then duration";

    SetWindowPos(options().hwnd(), nullptr, 200, 150, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    showPage(Vibration);
    slide(TForm3::TrackBar3, 0);
    slide(TForm3::TrackBar4, 0);
    click(options(), TForm3::Button7);
    endShake(options().hwnd(), 1);
    RECT r;
    GetWindowRect(options().hwnd(), &r);
    EXPECT_EQ(r.left, 199);
    EXPECT_EQ(r.top, 151);
}

// Another of the program's windows brought to the front and back again
// reloads the dialog; coming back from one of its boxes keeps the edits.
TEST_F(OptionsTest, ComingBackFromAnotherWindowReloadsButNotFromABox) {
    pick(TForm1::Alarme1);
    open();
    showPage(Vibration);
    slide(TForm3::TrackBar3, 19);
    activate(app->form6());
    activate(options());
    EXPECT_EQ(position(TForm3::TrackBar3), 10);

    slide(TForm3::TrackBar3, 19);
    world.boxes.whileShown = [&](const FakeBoxes::Shown&) {
        // The box is a window of its own, in front of the dialog until it closes.
        const HWND box = CreateWindowExW(0, WC_STATICW, L"", WS_POPUP | WS_VISIBLE, 0, 0, 50, 20, options().hwnd(),
                                         nullptr, nullptr, nullptr);
        activate(box);
        activate(options());
        DestroyWindow(box);
    };
    typeWidth(L"");
    world.boxes.whileShown = nullptr;
    ASSERT_EQ(world.boxes.shown.size(), 1u);
    showPage(Vibration);
    EXPECT_EQ(position(TForm3::TrackBar3), 19);
}

// The focus given back never lands on a radio button the reload unchecked:
// on Windows such a button checks itself, and OK would store that choice.
TEST_F(OptionsTest, TheFocusGivenBackGoesToTheCheckedSoundNeverToAnotherOne) {
    pick(TForm1::Alarme1);  // a window the options leave enabled
    open();
    click(options(), TForm3::RadioButton2);
    focus(options().control(TForm3::RadioButton2));
    activate(app->form6());
    activate(options());  // reloads the stored beep
    EXPECT_TRUE(checked(TForm3::RadioButton1));
    EXPECT_EQ(GetFocus(), options().control(TForm3::RadioButton1)) << "the focus went to " << GetDlgCtrlID(GetFocus());
}

// Tab goes to the next control, Enter is "OK", Escape is "Annuler".
TEST_F(OptionsTest, TheKeyboardMovesBetweenControlsAndEnterConfirms) {
    open();
    click(options(), TForm3::RadioButton1);
    press({VK_TAB});
    EXPECT_EQ(GetFocus(), options().control(TForm3::TrackBar2));
    press({VK_RIGHT, VK_RIGHT});
    EXPECT_EQ(position(TForm3::TrackBar2), 2) << "the arrows move the thumb that has the focus";
    press({VK_RETURN});
    EXPECT_FALSE(options().isVisible());
    EXPECT_EQ(main().settings.FrequenceBip, 2);
}

}  // namespace
}  // namespace orvane
