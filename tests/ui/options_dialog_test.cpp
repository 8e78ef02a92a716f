#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "app/application.hpp"
#include "app/main_window.hpp"
#include "settings/options_dialog.hpp"
#include "support/app_fixture.hpp"

namespace orvane {
namespace {

using namespace orvane::testing;

class OptionsTest : public AppFixture {
protected:
    TForm3& options() { return app->form3(); }
    void open() {
        command(main(), TForm1::Option1);
        // The dialog reloads when it becomes active from another window of the program.
        options().FormActivate();
    }
    int position(int id) { return static_cast<int>(SendMessageW(options().control(id), TBM_GETPOS, 0, 0)); }
    void slide(int id, int value) { SendMessageW(options().control(id), TBM_SETPOS, TRUE, value); }
    bool checked(int id) { return SendMessageW(options().control(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    void choose(int radio) {
        for (int id : {TForm3::RadioButton1, TForm3::RadioButton2, TForm3::RadioButton3})
            SendMessageW(options().control(id), BM_SETCHECK, id == radio ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    void typeWidth(const wchar_t* width) {
        SetWindowTextW(options().control(TForm3::ComboBox1), width);
        command(options(), TForm3::ComboBox1, CBN_EDITCHANGE);
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
}

TEST_F(OptionsTest, RienStoresASilentBeepThatComesBackAsABeep) {
    open();
    slide(TForm3::TrackBar2, 5000);
    slide(TForm3::TrackBar1, 1000);
    choose(TForm3::RadioButton3);
    command(options(), TForm3::Button3);
    EXPECT_FALSE(options().isVisible());
    EXPECT_TRUE(main().isEnabled());
    EXPECT_TRUE(main().settings.Bip);
    EXPECT_EQ(main().settings.FrequenceBip, 0);
    EXPECT_EQ(main().settings.DureeBip, 0);
    // Confirmed settings reach the file at once.
    ASSERT_EQ(world.profile.writes.size(), 9u);
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
    choose(TForm3::RadioButton2);
    slide(TForm3::TrackBar2, 440);
    slide(TForm3::TrackBar3, 3);
    slide(TForm3::TrackBar4, 7);
    world.colorChooser.answer = 65280;
    command(options(), TForm3::Button8);
    typeWidth(L"25");
    EXPECT_EQ(sampleHeight(), 25);
    command(options(), TForm3::Button3);
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
    slide(TForm3::TrackBar3, 4);
    typeWidth(L"");
    ASSERT_EQ(world.boxes.shown.size(), 1u) << "an empty width is refused at once";
    EXPECT_EQ(world.boxes.shown[0].text, L"'' n'est pas une valeur entière correcte.");
    EXPECT_EQ(sampleHeight(), 1) << "the sample keeps its height";
    command(options(), TForm3::Button3);
    EXPECT_EQ(world.boxes.shown.size(), 2u);
    EXPECT_EQ(main().settings.intensevibre, 4);
    EXPECT_EQ(main().settings.penwidth, 1);
    EXPECT_TRUE(options().isVisible());
    EXPECT_FALSE(main().isEnabled());
    command(options(), TForm3::Button4);  // "Annuler"
    EXPECT_FALSE(options().isVisible());
    EXPECT_TRUE(main().isEnabled());
}

TEST_F(OptionsTest, AnnulerAndReopeningDropUnconfirmedChanges) {
    open();
    slide(TForm3::TrackBar3, 19);
    SendMessageW(options().hwnd(), WM_COMMAND, IDCANCEL, 0);  // Escape, as "Annuler"
    EXPECT_FALSE(options().isVisible());
    EXPECT_EQ(main().settings.intensevibre, 10);
    open();
    EXPECT_EQ(position(TForm3::TrackBar3), 10);
    EXPECT_TRUE(world.profile.writes.empty());
}

TEST_F(OptionsTest, BrowsingForASoundPicksTheRadioButton) {
    open();
    world.fileChooser.answer = L"C:\\Sons\\gong.wav";
    command(options(), TForm3::Button2);
    EXPECT_EQ(text(options(), TForm3::Edit1), L"C:\\Sons\\gong.wav");
    EXPECT_TRUE(checked(TForm3::RadioButton2));
    ASSERT_EQ(world.fileChooser.asked.size(), 1u);
    EXPECT_EQ(world.fileChooser.asked[0].filter, std::wstring(L"*.wav\0*.wav\0", 12));

    command(options(), TForm3::Button5);  // the test plays the chosen file
    EXPECT_EQ(world.sound.played, (std::vector<std::wstring>{L"C:\\Sons\\gong.wav"}));

    // Cancelling with no sound chosen falls back to the beep.
    command(options(), TForm3::Button4);
    open();
    world.fileChooser.answer.reset();
    command(options(), TForm3::Button2);
    EXPECT_TRUE(checked(TForm3::RadioButton1));
}

TEST_F(OptionsTest, APictureOfUnknownKindIsRefusedAndAMissingOneStoresNothing) {
    open();
    world.fileChooser.answer = L"C:\\Images\\photo.png";
    command(options(), TForm3::Button6);
    EXPECT_EQ(text(options(), TForm3::Edit2), L"C:\\Images\\photo.png");
    ASSERT_EQ(world.boxes.shown.size(), 1u);
    EXPECT_EQ(world.boxes.shown[0].text, L"Extension de fichier image inconnue (.png)");

    // Typing a path changes nothing: only the chooser's name is stored.
    command(options(), TForm3::Button4);
    main().settings.Pendule = L"C:\\Orvane\\absent.bmp";
    open();
    SetWindowTextW(options().control(TForm3::Edit2), L"C:\\ailleurs.bmp");
    command(options(), TForm3::Button3);
    EXPECT_EQ(main().settings.Pendule, L"");
}

TEST_F(OptionsTest, TheShakeTestMovesTheDialogOneMorePixel) {
    open();
    SetWindowPos(options().hwnd(), nullptr, 200, 150, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    slide(TForm3::TrackBar3, 0);
    slide(TForm3::TrackBar4, 0);
    command(options(), TForm3::Button7);
    RECT r;
    GetWindowRect(options().hwnd(), &r);
    EXPECT_EQ(r.left, 199);
    EXPECT_EQ(r.top, 151);

    command(options(), TForm3::Button1);  // beep test with the sliders as they are
    EXPECT_EQ(world.sound.beeps, (std::vector<std::pair<int, int>>{{0, 0}}));
}

}  // namespace
}  // namespace orvane
