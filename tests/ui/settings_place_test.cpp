// Where the settings live when the program's folder cannot be written, and
// how the system's files tell that without leaving anything behind.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "platform/win32/services.hpp"
#include "settings/options_dialog.hpp"
#include "support/app_fixture.hpp"

namespace orvane {
namespace {

using namespace orvane::testing;

// The names in a folder, its trial files included (hidden ones too).
std::vector<std::wstring> namesIn(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW entry;
    const HANDLE search = FindFirstFileW((folder + L"*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) return names;
    do
        if (entry.cFileName != std::wstring(L".") && entry.cFileName != std::wstring(L"..")) names.push_back(entry.cFileName);
    while (FindNextFileW(search, &entry));
    FindClose(search);
    return names;
}

TEST(DiskFiles, TellWhetherAFileCanBeWrittenWithoutLeavingAnythingBehind) {
    ScratchFolder folder;
    win32::DiskFiles files;
    const std::wstring ini = folder.path() + L"Configuration.ini";
    EXPECT_TRUE(files.canWrite(ini)) << "a missing file in a folder the user may write";
    EXPECT_TRUE(namesIn(folder.path()).empty()) << "the trial file is gone";

    {
        std::ofstream(std::filesystem::path(ini)) << "[Options]\r\nBip=0\r\n";
    }
    const auto before = files.fileStamp(ini);
    EXPECT_TRUE(files.canWrite(ini));
    EXPECT_EQ(files.fileStamp(ini)->size, before->size) << "only opened, not changed";
    EXPECT_EQ(namesIn(folder.path()), std::vector<std::wstring>{L"Configuration.ini"});

    EXPECT_FALSE(files.canWrite(folder.path() + L"absent\\Configuration.ini")) << "no such folder";
    // A folder in the file's place: the writing itself will say so.
    const std::wstring taken = folder.path() + L"Pris.ini";
    ASSERT_TRUE(CreateDirectoryW(taken.c_str(), nullptr));
    EXPECT_TRUE(files.canWrite(taken));
    RemoveDirectoryW(taken.c_str());
    // Held by another program for the moment: the writing itself will say so.
    const HANDLE held = CreateFileW(ini.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(files.canWrite(ini));
    CloseHandle(held);

    // The user's folder, made with the folders above it.
    const std::wstring made = folder.path() + L"AppData\\Orvane\\";
    EXPECT_TRUE(files.makeFolder(made));
    EXPECT_TRUE(files.makeFolder(made)) << "already there";
    EXPECT_TRUE(files.canWrite(made + L"Configuration.ini"));
    EXPECT_FALSE(files.makeFolder(ini + L"\\Orvane\\")) << "below a file";
    RemoveDirectoryW(made.c_str());
    RemoveDirectoryW((folder.path() + L"AppData").c_str());
    DeleteFileW(ini.c_str());
}

// The program's folder refuses writing (a protected folder): the options'
// OK and the end write to the user's folder, and the user is told once.
class SettingsPlaceTest : public AppFixture {
protected:
    std::wstring programFile() const { return world.exeFolder + L"Configuration.ini"; }
    std::wstring userFile() const { return world.userFolder + L"Configuration.ini"; }
    TForm3& options() { return app->form3(); }
    void confirmOptions(const wchar_t* width = nullptr) {
        pick(TForm1::Option1);
        if (width != nullptr) {
            clickTab(options().control(TForm3::PageControl1), 2);
            type(options(), TForm3::ComboBox1, width);
        }
        click(options(), TForm3::Button3);
    }
    int writesTo(const std::wstring& file) const {
        return static_cast<int>(std::count_if(world.profile.writes.begin(), world.profile.writes.end(),
                                              [&](const FakeProfile::Entry& e) { return e.file == file; }));
    }
};

TEST_F(SettingsPlaceTest, AProtectedProgramFolderKeepsTheSettingsInTheUsersFolderAndSaysSoOnce) {
    // The program came with its own file, in a folder the user may not write.
    world.profile.set(programFile(), L"Options", L"intensevibre", L"3");
    world.files.unwritableFolders.insert(world.exeFolder);
    start();

    confirmOptions(L"5");
    ASSERT_EQ(world.boxes.shown.size(), 1u);
    EXPECT_EQ(world.boxes.shown[0].text,
              L"Les réglages ne peuvent pas être enregistrés à côté du programme : ils le sont désormais dans "
              L"C:\\Users\\Lea\\AppData\\Roaming\\Orvane\\Configuration.ini.");
    EXPECT_EQ(world.boxes.shown[0].title, L"Orvane");
    EXPECT_EQ(world.boxes.shown[0].style, box::ok | box::iconInformation);
    EXPECT_EQ(world.files.madeFolders, std::vector<std::wstring>{world.userFolder});
    const int everySetting = static_cast<int>(std::size(clockSettingKeys));
    EXPECT_EQ(writesTo(userFile()), everySetting);

    confirmOptions();
    pick(TForm1::Quitter1);
    app->finish();
    EXPECT_EQ(world.boxes.shown.size(), 1u) << "told once, not at every OK nor at the end";
    EXPECT_EQ(writesTo(userFile()), 3 * everySetting) << "two OKs and the end";
    EXPECT_EQ(writesTo(programFile()), 0);

    // The next start reads the user's file, now there.
    world.files.files.insert(userFile());
    start();
    pick(TForm1::Option1);
    clickTab(options().control(TForm3::PageControl1), 2);
    EXPECT_EQ(text(options(), TForm3::ComboBox1), L"5");
    clickTab(options().control(TForm3::PageControl1), 1);
    EXPECT_EQ(SendMessageW(options().control(TForm3::TrackBar3), TBM_GETPOS, 0, 0), 3) << "carried from the program's file";
    click(options(), TForm3::Button3);
    EXPECT_EQ(world.boxes.shown.size(), 1u);
}

TEST_F(SettingsPlaceTest, AWriteThatFailsInBothPlacesIsShownAsBefore) {
    world.files.unwritableFolders = {world.exeFolder, world.userFolder};
    start();
    confirmOptions();
    ASSERT_EQ(world.boxes.shown.size(), 1u);
    EXPECT_EQ(world.boxes.shown[0].text, L"Impossible d'écrire dans " + userFile() + L".");
    EXPECT_EQ(world.boxes.shown[0].style, box::ok | box::iconError);
    EXPECT_TRUE(world.profile.writes.empty());
}

}  // namespace
}  // namespace orvane
