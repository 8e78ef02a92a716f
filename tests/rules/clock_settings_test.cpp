#include "settings/clock_settings.hpp"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "common/user_error.hpp"
#include "support/fake_profile.hpp"
#include "support/fake_services.hpp"

namespace orvane {
namespace {

using testing::FakeProfile;

const std::wstring folder = L"C:\\Orvane\\";
const std::wstring iniFile = folder + L"Configuration.ini";

struct IntegerCase {
    const wchar_t* text;
    std::optional<std::int32_t> expected;
};

TEST(SettingsInteger, ReadsTheFormsAUserWritesByHand) {
    const IntegerCase cases[] = {
        {L"0", 0},
        {L"500", 500},
        {L"-12", -12},
        {L"+7", 7},
        {L"0x1F4", 500},
        {L"0X1f4", 500},
        {L"$FF00", 65280},
        {L"-$10", -16},
        {L"2147483647", 2147483647},
        {L"-2147483648", -2147483647 - 1},
        {L"2147483648", std::nullopt},
        {L"-2147483649", std::nullopt},
        {L"0x80000000", std::nullopt},
        {L"99999999999999999999999", std::nullopt},
        {L"", std::nullopt},
        {L"-", std::nullopt},
        {L"0x", std::nullopt},
        {L"$", std::nullopt},
        {L"abc", std::nullopt},
        {L"oui", std::nullopt},
        {L"12abc", std::nullopt},
        {L"1 2", std::nullopt},
        {L"1.5", std::nullopt},
        {L"0x1G", std::nullopt},
        {L"1a", std::nullopt},  // hexadecimal letters need their prefix
        {L"A", std::nullopt},
        {L"+-1", std::nullopt},
    };
    for (const IntegerCase& c : cases)
        EXPECT_EQ(parseSettingsInteger(c.text), c.expected) << "text: " << ::testing::PrintToString(std::wstring(c.text));
}

// The rules every description of the file keeps, each broken once.
TEST(SettingKeys, KeysMembersAndPlacesOfWritingAreEachTakenOnce) {
    const struct {
        const char* name;
        std::vector<ClockSettingKey> rows;
        bool wellFormed;
    } cases[] = {
        {"in another order", {{L"Bip", &ClockSettings::Bip, 1}, {L"Musique", &ClockSettings::Musique, 0}}, true},
        {"an empty key", {{L"", &ClockSettings::Bip, 0}}, false},
        {"a key twice", {{L"Bip", &ClockSettings::Bip, 0}, {L"BIP", &ClockSettings::DureeBip, 1}}, false},
        {"a member twice", {{L"Bip", &ClockSettings::Couleur, 0}, {L"Couleur", &ClockSettings::Couleur, 1}}, false},
        {"a place twice", {{L"Bip", &ClockSettings::Bip, 0}, {L"Couleur", &ClockSettings::Couleur, 0}}, false},
        {"a place past the last", {{L"Bip", &ClockSettings::Bip, 1}}, false},
    };
    for (const auto& c : cases) EXPECT_EQ(settingKeysWellFormed(c.rows), c.wellFormed) << c.name;
}

TEST(SettingsLoad, NoFileGivesEveryDefault) {
    FakeProfile profile;
    const ClockSettings s = loadClockSettings(profile, folder);
    EXPECT_TRUE(s.Bip);
    EXPECT_EQ(s.FrequenceBip, 0);
    EXPECT_EQ(s.DureeBip, 0);
    EXPECT_EQ(s.Musique, L"");
    EXPECT_EQ(s.Pendule, L"C:\\Orvane\\HORLOGE.BMP");
    EXPECT_EQ(s.intensevibre, 10);
    EXPECT_EQ(s.dureevibre, 20);
    EXPECT_EQ(s.Couleur, 0);
    EXPECT_EQ(s.penwidth, 1);
}

struct KeyCase {
    const wchar_t* key;
    const wchar_t* value;
    ClockSettings expected;  // built from the defaults with one field changed
};

ClockSettings defaultsWith(void (*change)(ClockSettings&)) {
    ClockSettings s;
    s.Pendule = folder + L"HORLOGE.BMP";
    change(s);
    return s;
}

TEST(SettingsLoad, EachKeyReadsItsValueOrFallsBackToItsDefault) {
    const KeyCase cases[] = {
        {L"Bip", L"0", defaultsWith([](ClockSettings& s) { s.Bip = false; })},
        {L"Bip", L"2", defaultsWith([](ClockSettings&) {})},
        {L"Bip", L"oui", defaultsWith([](ClockSettings&) {})},
        {L"Bip", L"0x0", defaultsWith([](ClockSettings& s) { s.Bip = false; })},
        {L"Bip", L"A", defaultsWith([](ClockSettings&) {})},
        {L"intensevibre", L"1a", defaultsWith([](ClockSettings&) {})},
        {L"FrequenceBip", L"0x1F4", defaultsWith([](ClockSettings& s) { s.FrequenceBip = 500; })},
        {L"DureeBip", L"3000", defaultsWith([](ClockSettings& s) { s.DureeBip = 3000; })},
        {L"penwidth", L"abc", defaultsWith([](ClockSettings&) {})},
        {L"penwidth", L"-3", defaultsWith([](ClockSettings& s) { s.penwidth = -3; })},
        {L"intensevibre", L"", defaultsWith([](ClockSettings&) {})},
        {L"dureevibre", L"4294967296", defaultsWith([](ClockSettings&) {})},
        {L"Couleur", L"65280", defaultsWith([](ClockSettings& s) { s.Couleur = 65280; })},
        {L"Pendule", L"", defaultsWith([](ClockSettings& s) { s.Pendule = L""; })},
        {L"Musique", L"C:\\Sons\\carillon été.wav",
         defaultsWith([](ClockSettings& s) { s.Musique = L"C:\\Sons\\carillon été.wav"; })},
        {L"PENWIDTH", L"4", defaultsWith([](ClockSettings& s) { s.penwidth = 4; })},
    };
    for (const KeyCase& c : cases) {
        FakeProfile profile;
        profile.set(iniFile, L"options", c.key, c.value);
        EXPECT_EQ(loadClockSettings(profile, folder), c.expected)
            << ::testing::PrintToString(std::wstring(c.key)) << "="
            << ::testing::PrintToString(std::wstring(c.value));
    }
}

TEST(SettingsLoad, ReadsTheKeysInTheirOrder) {
    FakeProfile profile;
    loadClockSettings(profile, folder);
    const std::vector<std::wstring> expected = {L"Bip",          L"FrequenceBip", L"DureeBip", L"Musique", L"Pendule",
                                                L"intensevibre", L"dureevibre",   L"Couleur",  L"penwidth"};
    EXPECT_EQ(profile.reads, expected);
}

TEST(SettingsLoad, KeysOfAnotherSectionOrFileAreNotRead) {
    FakeProfile profile;
    profile.set(iniFile, L"Autre", L"penwidth", L"5");
    profile.set(L"C:\\Ailleurs\\Configuration.ini", L"Options", L"penwidth", L"6");
    EXPECT_EQ(loadClockSettings(profile, folder).penwidth, 1);
}

TEST(SettingsLoad, LongTextIsCutTo2047Characters) {
    FakeProfile profile;
    const std::wstring longPath = L"C:\\" + std::wstring(2997, L'a');
    profile.set(iniFile, L"Options", L"Pendule", longPath);
    profile.set(iniFile, L"Options", L"Musique", std::wstring(2047, L'b'));
    const ClockSettings s = loadClockSettings(profile, folder);
    EXPECT_EQ(s.Pendule, longPath.substr(0, 2047));
    EXPECT_EQ(s.Musique, std::wstring(2047, L'b'));
}

TEST(SettingsSave, WritesTheNineKeysInTheirOrderAndForms) {
    FakeProfile profile;
    ClockSettings s;
    s.Bip = false;
    s.FrequenceBip = 440;
    s.DureeBip = 250;
    s.Musique = L"C:\\Sons\\gong.wav";
    s.Pendule = L"C:\\Images\\cadran.bmp";
    s.intensevibre = -1;
    s.Couleur = 255;
    s.penwidth = 25;
    saveClockSettings(profile, folder, s);

    const std::pair<const wchar_t*, const wchar_t*> expected[] = {
        {L"Bip", L"0"},
        {L"FrequenceBip", L"440"},
        {L"DureeBip", L"250"},
        {L"Musique", L"C:\\Sons\\gong.wav"},
        {L"intensevibre", L"-1"},
        {L"dureevibre", L"20"},
        {L"Pendule", L"C:\\Images\\cadran.bmp"},
        {L"Couleur", L"255"},
        {L"penwidth", L"25"},
    };
    ASSERT_EQ(profile.writes.size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ(profile.writes[i].file, iniFile);
        EXPECT_EQ(profile.writes[i].section, L"Options");
        EXPECT_EQ(profile.writes[i].key, expected[i].first);
        EXPECT_EQ(profile.writes[i].value, expected[i].second);
    }
}

TEST(SettingsSave, WhatIsWrittenReadsBackTheSame) {
    FakeProfile profile;
    ClockSettings s;
    s.Bip = true;
    s.FrequenceBip = 15000;
    s.Musique = L"";
    s.Pendule = L"D:\\cadran été.bmp";
    s.Couleur = -2147483647 - 1;
    saveClockSettings(profile, folder, s);
    EXPECT_EQ(loadClockSettings(profile, folder), s);
}

TEST(SettingsSave, AFailedWriteStopsAndNamesTheFile) {
    FakeProfile profile;
    profile.failingKey = L"Musique";
    try {
        saveClockSettings(profile, folder, ClockSettings{});
        FAIL() << "a failed write must be reported";
    } catch (const UserError& error) {
        EXPECT_EQ(error.text(), L"Impossible d'écrire dans C:\\Orvane\\Configuration.ini");
    }
    ASSERT_EQ(profile.writes.size(), 3u);  // Bip, FrequenceBip, DureeBip; nothing after the failure
    EXPECT_EQ(profile.writes.back().key, L"DureeBip");
}

}  // namespace
}  // namespace orvane

namespace orvane {
namespace {

using testing::FakeProfile;

// A file held by another program at start: its values stand in as defaults,
// and the writings of the run must not put those defaults over the file.
TEST(SettingsFile, AFileUnreadableAtStartKeepsTheValuesTheUserDidNotChange) {
    const struct {
        const char* name;
        bool unreadableAtStart;
        bool readableAtWriting;
        std::int32_t penwidthWritten, couleurWritten;  // the user set penwidth to 3
        bool written;
    } cases[] = {
        {"read at start: the fields are written", false, true, 3, 0, true},
        {"unreadable, then readable: the file's own colour stays", true, true, 3, 255, true},
        {"unreadable to the end: the writing fails", true, false, 0, 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeProfile profile;
        if (!c.unreadableAtStart) profile.set(iniFile, L"Options", L"penwidth", L"5");
        profile.unreadable = c.unreadableAtStart;
        testing::FakeFiles files;
        SettingsFile file(profile, files, folder, L"");
        ClockSettings settings = file.load();
        EXPECT_EQ(settings.penwidth, c.unreadableAtStart ? 1 : 5);

        // Meanwhile the file holds the user's own values.
        profile.unreadable = !c.readableAtWriting;
        profile.set(iniFile, L"Options", L"penwidth", L"5");
        profile.set(iniFile, L"Options", L"Couleur", L"255");
        settings.penwidth = 3;
        if (!c.written) {
            EXPECT_THROW(file.save(settings), UserError);
            continue;
        }
        file.save(settings);
        EXPECT_EQ(settings.penwidth, c.penwidthWritten);
        EXPECT_EQ(settings.Couleur, c.couleurWritten) << "the running clock follows what was written";
        EXPECT_EQ(loadClockSettings(profile, folder).penwidth, c.penwidthWritten);
        EXPECT_EQ(loadClockSettings(profile, folder).Couleur, c.couleurWritten);
    }
}

TEST(SettingsFile, EveryKeyChangedOrConfirmedWhileTheFileWasUnreadableAtStartIsWritten) {
    ClockSettings chosen;  // every key other than the file's and than the stand-ins
    chosen.Bip = false;
    chosen.FrequenceBip = 880;
    chosen.DureeBip = 300;
    chosen.Musique = L"C:\\Sons\\gong.wav";
    chosen.Pendule = L"C:\\Cadrans\\lune.bmp";
    chosen.intensevibre = 7;
    chosen.dureevibre = 9;
    chosen.Couleur = 255;
    chosen.penwidth = 2;
    ClockSettings confirmed = chosen;  // the options' OK with the stand-in beep shown
    confirmed.Bip = true;
    for (const bool viaOptions : {false, true}) {
        FakeProfile profile;
        profile.unreadable = true;
        testing::FakeFiles files;
        SettingsFile file(profile, files, folder, L"");
        ClockSettings settings = file.load();
        profile.unreadable = false;
        const std::pair<const wchar_t*, const wchar_t*> own[] = {
            {L"Bip", L"0"},         {L"FrequenceBip", L"100"}, {L"DureeBip", L"50"},
            {L"Musique", L"a.wav"}, {L"intensevibre", L"3"},   {L"dureevibre", L"4"},
            {L"Pendule", L"b.bmp"}, {L"Couleur", L"5"},        {L"penwidth", L"6"}};
        for (const auto& [key, value] : own) profile.set(iniFile, L"Options", key, value);
        const ClockSettings wanted = viaOptions ? confirmed : chosen;
        settings = wanted;
        if (viaOptions) file.confirmAll();
        file.save(settings);
        EXPECT_EQ(loadClockSettings(profile, folder), wanted) << viaOptions;
        EXPECT_EQ(settings, wanted) << viaOptions;
    }
}

// What lands in the file, line by line, whichever way the settings came to it.
TEST(SettingsFile, AStoredFileHoldsEveryKeyInItsOrder) {
    const struct {
        const char* name;
        bool unreadableAtStart;
        const wchar_t* penwidthInFile;  // nullptr: no such line
        const wchar_t* penwidthWritten;
    } cases[] = {
        {"no file", false, nullptr, L"1"},
        {"unreadable at start, readable at the writing", true, L"5", L"5"},
        {"a width that is no number", false, L"abc", L"1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeProfile profile;
        if (c.penwidthInFile != nullptr) profile.set(iniFile, L"Options", L"penwidth", c.penwidthInFile);
        profile.unreadable = c.unreadableAtStart;
        testing::FakeFiles files;
        SettingsFile file(profile, files, folder, L"");
        ClockSettings settings = file.load();
        profile.unreadable = false;
        file.save(settings);

        const std::vector<std::pair<std::wstring, std::wstring>> expected = {
            {L"Bip", L"1"},           {L"FrequenceBip", L"0"}, {L"DureeBip", L"0"},
            {L"Musique", L""},        {L"intensevibre", L"10"}, {L"dureevibre", L"20"},
            {L"Pendule", folder + L"HORLOGE.BMP"}, {L"Couleur", L"0"}, {L"penwidth", c.penwidthWritten}};
        std::vector<std::pair<std::wstring, std::wstring>> written;
        for (const auto& w : profile.writes) written.emplace_back(w.key, w.value);
        EXPECT_EQ(written, expected);
    }
}

TEST(SettingsFile, OnceWrittenTheRunGoesByWhatItWrote) {
    FakeProfile profile;
    profile.unreadable = true;
    testing::FakeFiles files;
        SettingsFile file(profile, files, folder, L"");
    ClockSettings settings = file.load();
    profile.unreadable = false;
    profile.set(iniFile, L"Options", L"penwidth", L"5");
    file.save(settings);
    // The user now sets back the value that once stood in: that is a choice.
    settings.penwidth = 1;
    file.save(settings);
    EXPECT_EQ(loadClockSettings(profile, folder).penwidth, 1);
}

// Where the user may not write beside the program, the settings live in the
// user's own folder, read from there at start once they are there. Where
// both files are there (a run could write beside the program once), the one
// written last is read, so that no run's changes are lost to the other file.
TEST(SettingsFile, AProgramFolderThatCannotBeWrittenKeepsTheSettingsInTheUsersFolder) {
    const std::wstring userFolder = L"C:\\Users\\Lea\\AppData\\Roaming\\Orvane\\";
    const std::wstring userFile = userFolder + L"Configuration.ini";
    enum Written { together, programLast, userLast, programAbsent };
    const struct {
        const char* name;
        bool programWritable, userFileThere, userFolderMade;
        std::int32_t penwidthRead;  // the program's file holds 4, the user's 6
        const std::wstring* writtenTo;
        bool told;
        Written written = together;
    } cases[] = {
        {"the program's folder can be written: as always", true, true, true, 4, &iniFile, false},
        {"protected, settings already moved: read and written there", false, true, true, 6, &userFile, false},
        {"protected, first time: the program's read, moved, told", false, false, true, 4, &userFile, true},
        {"no place can be written", false, false, false, 4, nullptr, false},
        {"protected, written beside the program last", false, true, true, 4, &userFile, false, programLast},
        {"writable now, written in the user's folder last", true, true, true, 6, &iniFile, false, userLast},
        {"writable now, only the user's file", true, true, true, 6, &iniFile, false, programAbsent},
    };
    const wchar_t* keyOrder[] = {L"Bip",        L"FrequenceBip", L"DureeBip", L"Musique", L"intensevibre",
                                 L"dureevibre", L"Pendule",      L"Couleur",  L"penwidth"};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeProfile profile;
        testing::FakeFiles files;
        if (c.written != programAbsent) {
            profile.set(iniFile, L"Options", L"penwidth", L"4");
            files.files.insert(iniFile);
        }
        if (c.userFileThere) {
            profile.set(userFile, L"Options", L"penwidth", L"6");
            files.files.insert(userFile);
        }
        files.lastWrites = {{iniFile, c.written == programLast ? 2 : 1}, {userFile, c.written == userLast ? 2 : 1}};
        if (!c.programWritable) files.unwritableFolders.insert(folder);
        if (!c.userFolderMade) files.unwritableFolders.insert(userFolder);
        SettingsFile file(profile, files, folder, userFolder);
        ClockSettings settings = file.load();
        EXPECT_EQ(settings.penwidth, c.penwidthRead);

        settings.Couleur = 255;
        if (c.writtenTo == nullptr) {
            try {
                file.save(settings);
                ADD_FAILURE() << "no error";
            } catch (const UserError& error) {
                EXPECT_EQ(error.text(), L"Impossible d'écrire dans " + userFile);
            }
            EXPECT_TRUE(profile.writes.empty());
            continue;
        }
        const std::optional<std::wstring> told = file.save(settings);
        EXPECT_EQ(told, c.told ? std::optional(userFile) : std::nullopt);
        ASSERT_EQ(profile.writes.size(), std::size(keyOrder));
        for (std::size_t k = 0; k < std::size(keyOrder); ++k) {
            EXPECT_EQ(profile.writes[k].file, *c.writtenTo);
            EXPECT_EQ(profile.writes[k].key, keyOrder[k]);
        }
        EXPECT_EQ(loadClockSettings(profile, *c.writtenTo, folder), settings);
        EXPECT_EQ(file.save(settings), std::nullopt) << "told once, not at every writing";
    }
}

}  // namespace
}  // namespace orvane
