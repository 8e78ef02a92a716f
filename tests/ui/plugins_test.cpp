// The "Plug-ins" menu over real folders and real libraries: the test plug-ins
// built beside this program are copied into scratch folders shaped like the
// clock's own.
#include <windows.h>
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <cstring>
#include <cwchar>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/application.hpp"
#include "common/error_text.hpp"
#include "clock/main_window.hpp"
#include "platform/ui/window.hpp"
#include "platform/win32/plugin_services.hpp"
#include "support/fake_world.hpp"

namespace orvane {
namespace {

using namespace orvane::testing;

std::wstring testFolder() {
    const std::wstring exe = win32::executablePath();
    return exe.substr(0, exe.find_last_of(L'\\') + 1);
}

const std::wstring builtPlugins = testFolder() + L"plugin-builds\\";

// A folder shaped like the clock's: the given files, copied under the given
// names into its "plugins" folder. The libraries stay loaded until this
// program ends, so a folder is filled once per run and never removed.
struct Copy {
    const wchar_t* built;
    const wchar_t* as;
};

std::wstring clockFolder(const std::wstring& name, const std::vector<Copy>& copies) {
    const std::wstring root = testFolder() + L"plugin-fixtures\\";
    const std::wstring folder = root + name + L"\\";
    static std::set<std::wstring> filled;
    if (!filled.insert(folder).second) return folder;
    CreateDirectoryW(root.c_str(), nullptr);
    CreateDirectoryW(folder.c_str(), nullptr);
    if (copies.empty()) return folder;
    CreateDirectoryW((folder + L"plugins").c_str(), nullptr);
    for (const Copy& copy : copies) {
        const std::wstring target = folder + L"plugins\\" + copy.as;
        if (!CopyFileW((builtPlugins + copy.built).c_str(), target.c_str(), FALSE))
            ADD_FAILURE() << "cannot copy to " << std::string(target.begin(), target.end());
    }
    return folder;
}

void writeText(const std::wstring& path, const char* text) {
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, text, static_cast<DWORD>(std::strlen(text)), &written, nullptr);
    CloseHandle(file);
}

// Every kind of entry the folder may hold.
std::wstring everyKindFolder() {
    const std::wstring folder = clockFolder(L"complet", {{L"Marque.DLL", L"Marque.DLL"},
                                                         {L"Marque.DLL", L"Meteo.Paris.DLL"},
                                                         {L"Marque.DLL", L"R&D.DLL"},
                                                         {L"Muet.DLL", L"Muet.DLL"},
                                                         {L"Violation.DLL", L"Violation.DLL"},
                                                         {L"Exception.DLL", L"Exception.DLL"},
                                                         {L"Visuel.DLL", L"Visuel.DLL"},
                                                         {L"Pile.DLL", L"Pile.DLL"},
                                                         {L"Interne.DLL", L"Interne.DLL"},
                                                         {L"Refus.DLL", L"Refus.DLL"},
                                                         {L"Orphelin.DLL", L"Orphelin.DLL"}});
    CreateDirectoryW((folder + L"plugins\\Data.DLL").c_str(), nullptr);
    writeText(folder + L"plugins\\Fake.DLL", "Ceci n'est pas une bibliothèque.\r\n");
    return folder;
}

// A number a test plug-in exports about itself, once it is loaded.
int exported(const std::wstring& path, const char* name) {
    const HMODULE module = GetModuleHandleW(path.c_str());
    if (module == nullptr) return -1;
    const auto function = reinterpret_cast<int (*)()>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    return function != nullptr ? function() : -1;
}

class PluginsTest : public ::testing::Test {
protected:
    void start(const std::wstring& exeFolder) {
        folder = exeFolder;
        world.exeFolder = exeFolder;
        services.emplace(world.services({.fileSearch = &search, .pluginLibraries = &libraries}));
        app = std::make_unique<Application>(*services);
        app->create();
    }
    void TearDown() override {
        app.reset();
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        }
    }

    TForm1& main() { return app->form1(); }
    HMENU menu() { return main().pluginMenu(); }
    std::vector<std::wstring> captions() {
        std::vector<std::wstring> all;
        for (int i = 0; i < GetMenuItemCount(menu()); ++i) {
            wchar_t caption[64] = {};
            GetMenuStringW(menu(), static_cast<UINT>(i), caption, 64, MF_BYPOSITION);
            all.push_back(caption);
        }
        return all;
    }
    // Chooses the item as the menu does: its command reaches the main window.
    void choose(const std::wstring& caption) {
        const std::vector<std::wstring> all = captions();
        const auto found = std::find(all.begin(), all.end(), caption);
        ASSERT_NE(found, all.end()) << "no item " << std::string(caption.begin(), caption.end());
        const UINT id = GetMenuItemID(menu(), static_cast<int>(found - all.begin()));
        SendMessageW(main().hwnd(), WM_COMMAND, id, 0);
    }
    std::wstring plugin(const wchar_t* file) { return folder + L"plugins\\" + file; }
    // A tick at a new time: the labels follow, so the clock is still alive.
    void expectTheClockTicks(std::uint16_t second) {
        world.clock.setLocal({2026, 12, 7, 10, 31, second, 0});
        SendMessageW(main().hwnd(), WM_TIMER, TForm1::Timer1, 0);
        wchar_t expected[16];
        swprintf(expected, 16, L"10:31:%02u", second);
        EXPECT_EQ(ui::windowText(main().control(TForm1::Label2)), expected);
    }

    FakeWorld world;
    win32::DiskFileSearch search;
    win32::PluginLibraryLoader libraries;
    std::optional<Services> services;
    std::unique_ptr<Application> app;
    std::wstring folder;
};

TEST_F(PluginsTest, TheMenuListsEveryEntryWithItsTagAndCommand) {
    start(everyKindFolder());
    std::vector<std::wstring> listed = captions();
    std::vector<std::wstring> expected = {L"Marque", L"Meteo.Paris", L"R&&D",   L"Muet",    L"Violation",
                                          L"Exception", L"Visuel",  L"Pile",    L"Interne", L"Refus",
                                          L"Orphelin", L"Data",     L"Fake"};
    std::sort(listed.begin(), listed.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(listed, expected) << "the names without extension; a menu shows \"&&\" as \"&\"";
    for (int i = 0; i < GetMenuItemCount(menu()); ++i) {
        MENUITEMINFOW item{};
        item.cbSize = sizeof item;
        item.fMask = MIIM_DATA | MIIM_ID;
        ASSERT_TRUE(GetMenuItemInfoW(menu(), static_cast<UINT>(i), TRUE, &item));
        EXPECT_EQ(item.dwItemData, static_cast<ULONG_PTR>(i)) << "tags in search order";
        EXPECT_EQ(item.wID, static_cast<UINT>(TForm1::PluginItems + i));
    }
    EXPECT_EQ(GetModuleHandleW(plugin(L"Marque.DLL").c_str()), nullptr) << "listing loads nothing";
}

TEST_F(PluginsTest, EachEntryGivesItsMessageOrRuns) {
    start(everyKindFolder());
    const std::wstring attention = L"Attention...";
    const struct {
        const wchar_t* caption;
        const wchar_t* text;  // null: no box at all
        const wchar_t* title;
    } cases[] = {
        {L"Muet", L"Ce DLL n'est pas un plugin!", L"Attention..."},
        {L"Fake", L"DLL non trouvé!", L"Attention..."},
        {L"Data", L"DLL non trouvé!", L"Attention..."},
        {L"Refus", L"DLL non trouvé!", L"Attention..."},
        {L"Orphelin", L"DLL non trouvé!", L"Attention..."},
        {L"Interne", nullptr, nullptr},
        {L"Marque", nullptr, nullptr},
        {L"Meteo.Paris", nullptr, nullptr},
        {L"R&&D", nullptr, nullptr},
    };
    // Each chosen twice: a box every time, not only the first.
    for (int round = 1; round <= 2; ++round) {
        for (const auto& c : cases) {
            world.boxes.shown.clear();
            choose(c.caption);
            if (c.text == nullptr) {
                EXPECT_TRUE(world.boxes.shown.empty()) << std::string(c.caption, c.caption + wcslen(c.caption));
                continue;
            }
            ASSERT_EQ(world.boxes.shown.size(), 1u) << "round " << round;
            EXPECT_EQ(world.boxes.shown[0].text, c.text);
            EXPECT_EQ(world.boxes.shown[0].title, c.title);
            EXPECT_EQ(world.boxes.shown[0].style, box::ok) << "OK only, no icon";
        }
    }
    EXPECT_EQ(exported(plugin(L"Interne.DLL"), "interne_appels"), 2) << "its own exceptions stay its own";
    EXPECT_EQ(exported(plugin(L"Meteo.Paris.DLL"), "marque_appels"), 2);
    EXPECT_EQ(exported(plugin(L"R&D.DLL"), "marque_appels"), 2);
    EXPECT_NE(GetModuleHandleW(plugin(L"Muet.DLL").c_str()), nullptr) << "a library without entry stays loaded";
}

TEST_F(PluginsTest, ThePluginChosenThreeTimesIsInitialisedOnceAndCalledThreeTimes) {
    start(clockFolder(L"trois", {{L"Marque.DLL", L"Trois.DLL"}}));
    for (int i = 0; i < 3; ++i) choose(L"Trois");
    EXPECT_EQ(exported(plugin(L"Trois.DLL"), "marque_chargements"), 1);
    EXPECT_EQ(exported(plugin(L"Trois.DLL"), "marque_appels"), 3);
    EXPECT_TRUE(world.boxes.shown.empty());
}

TEST_F(PluginsTest, WithoutAPluginsFolderTheMenuIsEmptyAndNothingHappens) {
    start(clockFolder(L"sans", {}));
    EXPECT_EQ(GetMenuItemCount(menu()), 0);
    SendMessageW(main().hwnd(), WM_COMMAND, TForm1::PluginItems, 0);
    EXPECT_TRUE(world.boxes.shown.empty());
    expectTheClockTicks(5);
}

// What the program and its libraries write to the error stream meanwhile.
class ErrorStreamCapture {
public:
    ErrorStreamCapture() {
        std::fflush(stderr);
        saved_ = _dup(2);
        const int file = _wopen(path_.c_str(), _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY, _S_IREAD | _S_IWRITE);
        _dup2(file, 2);
        _close(file);
    }
    ~ErrorStreamCapture() {
        std::fflush(stderr);
        _dup2(saved_, 2);
        _close(saved_);
        DeleteFileW(path_.c_str());
    }
    std::string text() const {
        std::fflush(stderr);
        std::ifstream in(std::filesystem::path(path_), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

private:
    std::wstring path_ = testFolder() + L"stderr-" + std::to_wstring(GetCurrentProcessId()) + L".txt";
    int saved_ = -1;
};

TEST_F(PluginsTest, AFailureInsideAPluginIsReportedEachTimeAndTheClockGoesOn) {
    start(everyKindFolder());
    const ErrorStreamCapture errorStream;
    world.profile.set(folder + L"Configuration.ini", L"Options", L"penwidth", L"3");
    const std::wstring prefix = L" » a été interrompu : ";
#if defined(__i386__)
    const std::wstring thrown =
        L"arrêt brutal demandé par son code (abort, ou exception C++ que rien n'a rattrapée)";
#else
    const std::wstring thrown = L"exception C++ non traitée : capteur débranché";
#endif
    const struct {
        const wchar_t* caption;
        std::wstring reason;
    } cases[] = {
        {L"Violation", L"violation d'accès en écriture à l'adresse 0x00000000"},
        {L"Exception", thrown},
        {L"Visuel", L"exception C++ non traitée"},
        {L"Pile", L"débordement de pile"},
    };
    const ClockSettings settingsBefore = main().settings;
    std::uint16_t second = 0;
    for (const auto& c : cases) {
        for (int time = 0; time < 2; ++time) {
            world.boxes.shown.clear();
            choose(c.caption);
            ASSERT_EQ(world.boxes.shown.size(), 1u) << std::string(c.caption, c.caption + wcslen(c.caption));
            EXPECT_EQ(world.boxes.shown[0].text, errorBoxText(L"Le plug-in « " + std::wstring(c.caption) + prefix + c.reason));
            EXPECT_EQ(world.boxes.shown[0].title, L"Orvane");
            EXPECT_EQ(world.boxes.shown[0].style, box::ok | box::iconError);
            expectTheClockTicks(++second);
        }
    }
    EXPECT_EQ(main().settings, settingsBefore);
    EXPECT_TRUE(main().isEnabled());
    // A runtime that aborted once is not entered again: it would abort anew,
    // from within its own spent terminate handler.
    EXPECT_EQ(errorStream.text().find("terminate called recursively"), std::string::npos) << errorStream.text();
    // A good plug-in still runs after all that.
    choose(L"Marque");
    EXPECT_GE(exported(plugin(L"Marque.DLL"), "marque_appels"), 1);
}

TEST_F(PluginsTest, ALibraryThePluginNeedsIsFoundBesideIt) {
    start(clockFolder(L"dependance", {{L"Dependant.DLL", L"Dependant.DLL"}, {L"OrvaneCommun.DLL", L"OrvaneCommun.DLL"}}));
    choose(L"Dependant");
    EXPECT_TRUE(world.boxes.shown.empty());
    EXPECT_EQ(exported(plugin(L"Dependant.DLL"), "dependant_valeur"), 42);
}

// Restores the current folder whatever a test does.
class CurrentFolder {
public:
    explicit CurrentFolder(const std::wstring& folder) {
        GetCurrentDirectoryW(MAX_PATH, previous_);
        SetCurrentDirectoryW(folder.c_str());
    }
    ~CurrentFolder() { SetCurrentDirectoryW(previous_); }

private:
    wchar_t previous_[MAX_PATH] = {};
};

TEST_F(PluginsTest, APluginIsLoadedFromTheClocksFolderNeverFromTheCurrentOne) {
    // The current folder holds a working plug-in under the name that, in the
    // clock's folder, is only a text file.
    const std::wstring decoy = clockFolder(L"leurre", {{L"Marque.DLL", L"Fake.DLL"}});
    const std::wstring clock = clockFolder(L"horloge", {{L"Muet.DLL", L"Muet.DLL"}});
    writeText(clock + L"plugins\\Fake.DLL", "texte");
    const CurrentFolder inDecoy(decoy);
    start(clock);
    choose(L"Fake");
    ASSERT_EQ(world.boxes.shown.size(), 1u);
    EXPECT_EQ(world.boxes.shown[0].text, L"DLL non trouvé!");
    EXPECT_EQ(GetModuleHandleW((decoy + L"plugins\\Fake.DLL").c_str()), nullptr);
}

TEST_F(PluginsTest, TheProgramsOwnLibrarySearchLeavesOutTheCurrentFolder) {
    const std::wstring witnesses = clockFolder(
        L"temoins", {{L"OrvaneCommun.DLL", L"TemoinAvant.DLL"}, {L"OrvaneCommun.DLL", L"TemoinApres.DLL"}});
    const CurrentFolder inWitnesses(witnesses + L"plugins");
    const HMODULE before = LoadLibraryW(L"TemoinAvant.DLL");
    ASSERT_NE(before, nullptr) << "the system looks in the current folder by default";
    win32::restrictLibrarySearch();
    EXPECT_EQ(LoadLibraryW(L"TemoinApres.DLL"), nullptr);
}

// A plug-in name as a user may write it: accents, spaces, signs outside the
// system's 8-bit code page.
std::wstring crowdName(int number) {
    wchar_t name[64];
    swprintf(name, 64, L"Réveil n°%04d — Œuvre d'été Ω", number);
    return name;
}

TEST_F(PluginsTest, AThousandFilesAndASlowLibraryAreListedWithoutLoadingAny) {
    const std::wstring crowd = clockFolder(L"foule", {{L"Lent.DLL", L"Lent à charger.DLL"}});
    std::vector<std::wstring> expected = {L"Lent à charger"};
    for (int number = 1; number <= 1000; ++number) {
        expected.push_back(crowdName(number));
        writeText(crowd + L"plugins\\" + expected.back() + L".DLL", "");
    }
    start(crowd);
    std::vector<std::wstring> listed = captions();
    std::sort(listed.begin(), listed.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(listed, expected);
    EXPECT_EQ(GetModuleHandleW(plugin(L"Lent à charger.DLL").c_str()), nullptr) << "listing loads nothing";
}

}  // namespace
}  // namespace orvane
