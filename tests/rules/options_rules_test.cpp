#include "settings/options_rules.hpp"

#include <gtest/gtest.h>

#include "common/user_error.hpp"

namespace orvane {
namespace {

ClockSettings stored() {
    ClockSettings s;
    s.Bip = true;
    s.FrequenceBip = 440;
    s.DureeBip = 200;
    s.Musique = L"C:\\Sons\\gong.wav";
    s.Pendule = L"C:\\Orvane\\HORLOGE.BMP";
    s.intensevibre = 10;
    s.dureevibre = 20;
    s.Couleur = 65280;
    s.penwidth = 3;
    return s;
}

TEST(Options, ActivationLoadsTheControlsFromTheSettings) {
    const OptionsControls c = optionsFromSettings(stored());
    EXPECT_EQ(c.sound, OptionsControls::Sound::Beep);
    EXPECT_EQ(c.frequency, 440);
    EXPECT_EQ(c.duration, 200);
    EXPECT_EQ(c.soundFile, L"C:\\Sons\\gong.wav");
    EXPECT_EQ(c.pictureFile, L"C:\\Orvane\\HORLOGE.BMP");
    EXPECT_EQ(c.colour, 65280u);
    EXPECT_EQ(c.widthText, L"3");

    ClockSettings outOfRange = stored();
    outOfRange.Bip = false;
    outOfRange.FrequenceBip = 20000;
    outOfRange.DureeBip = -5;
    outOfRange.intensevibre = 99;
    outOfRange.dureevibre = -1;
    const OptionsControls clamped = optionsFromSettings(outOfRange);
    EXPECT_EQ(clamped.sound, OptionsControls::Sound::File);
    EXPECT_EQ(clamped.frequency, 15000);
    EXPECT_EQ(clamped.duration, 0);
    EXPECT_EQ(clamped.intensity, 20);
    EXPECT_EQ(clamped.shakeCount, 0);
}

TEST(Options, OkStoresEachChoiceOfSound) {
    const struct {
        OptionsControls::Sound sound;
        bool bip;
        int frequency, duration;
    } cases[] = {
        {OptionsControls::Sound::Beep, true, 5000, 1000},
        {OptionsControls::Sound::File, false, 5000, 1000},
        {OptionsControls::Sound::Nothing, true, 0, 0},
    };
    for (const auto& c : cases) {
        OptionsControls controls = optionsFromSettings(stored());
        controls.sound = c.sound;
        controls.frequency = 5000;
        controls.duration = 1000;
        ClockSettings s = stored();
        confirmOptions(controls, s);
        EXPECT_EQ(s.Bip, c.bip);
        EXPECT_EQ(s.FrequenceBip, c.frequency);
        EXPECT_EQ(s.DureeBip, c.duration);
        // "Rien" comes back as a silent beep.
        const OptionsControls reopened = optionsFromSettings(s);
        EXPECT_EQ(reopened.sound, c.bip ? OptionsControls::Sound::Beep : OptionsControls::Sound::File);
    }
}

TEST(Options, ABadWidthStopsAfterTheEarlierStepsAreStored) {
    OptionsControls controls = optionsFromSettings(stored());
    controls.intensity = 5;
    controls.pictureFile = L"";
    controls.colour = 255;
    controls.widthText = L"abc";
    ClockSettings s = stored();
    try {
        confirmOptions(controls, s);
        FAIL() << "a width that is not a number must be reported";
    } catch (const UserError& error) {
        EXPECT_EQ(error.text(), L"'abc' n'est pas une valeur entière correcte");
    }
    EXPECT_EQ(s.intensevibre, 5);
    EXPECT_EQ(s.Pendule, L"");
    EXPECT_EQ(s.Couleur, 255);
    EXPECT_EQ(s.penwidth, 3) << "the width keeps its value";
}

TEST(Options, WidthTextIsADecimalInteger) {
    const struct {
        const wchar_t* text;
        std::optional<std::int32_t> width;
    } cases[] = {
        {L"1", 1}, {L"25", 25}, {L"0", 0}, {L"-3", -3}, {L"+4", 4}, {L"0007", 7},
        {L"2147483647", 2147483647}, {L"-2147483648", -2147483647 - 1},
        {L"2147483648", std::nullopt}, {L"99999999999999999999", std::nullopt},
        {L"", std::nullopt}, {L"abc", std::nullopt}, {L"$10", std::nullopt}, {L"0x10", std::nullopt},
        {L" 5", std::nullopt}, {L"5 ", std::nullopt}, {L"-", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(parseDecimalInteger(c.text), c.width) << ::testing::PrintToString(std::wstring(c.text));
}

TEST(Options, PictureKindsGoByExtension) {
    const struct {
        const wchar_t* path;
        PictureKind kind;
        const wchar_t* unknownText;
    } cases[] = {
        {L"C:\\a\\HORLOGE.BMP", PictureKind::Bitmap, L"Extension de fichier image inconnue (.BMP)"},
        {L"C:\\a\\x.ico", PictureKind::Icon, nullptr},
        {L"C:\\a\\x.Wmf", PictureKind::Metafile, nullptr},
        {L"C:\\a\\x.emf", PictureKind::EnhancedMetafile, nullptr},
        {L"C:\\a\\photo.png", PictureKind::Unknown, L"Extension de fichier image inconnue (.png)"},
        {L"", PictureKind::Unknown, L"Extension de fichier image inconnue (.)"},
        {L"C:\\dossier.bmp\\fichier", PictureKind::Unknown, L"Extension de fichier image inconnue (.)"},
        {L"C:\\a\\archive.tar.gz", PictureKind::Unknown, L"Extension de fichier image inconnue (.gz)"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(pictureKind(c.path), c.kind) << ::testing::PrintToString(std::wstring(c.path));
        if (c.unknownText) {
            EXPECT_EQ(unknownPictureText(c.path), c.unknownText);
        }
    }
}

}  // namespace
}  // namespace orvane
