#include "plugin_loader/plugin_loader.hpp"

#include <gtest/gtest.h>

#include <functional>

#include "common/user_error.hpp"
#include "support/fake_services.hpp"

namespace orvane {
namespace {

using namespace orvane::testing;
using Outcome = PluginCallResult::Outcome;
using Access = PluginCallResult::Access;

const std::wstring exeFolder = L"C:\\Horloge\\";
const std::wstring pluginFolder = exeFolder + L"plugins\\";

TEST(PluginCaption, DropsOnlyTheLastExtension) {
    const struct {
        const wchar_t *file, *caption;
    } cases[] = {
        {L"Meteo.DLL", L"Meteo"},           {L"Meteo.Paris.DLL", L"Meteo.Paris"},
        {L"Alarme.Son.dll", L"Alarme.Son"}, {L"Data.DLL", L"Data"},
        {L".DLL", L""},                     {L"Réveil matin.Dll", L"Réveil matin"},
    };
    for (const auto& c : cases) EXPECT_EQ(pluginCaption(c.file), c.caption) << c.file;
}

TEST(PluginExtension, IsDllInAnyCaseAndNothingLonger) {
    const struct {
        const wchar_t* file;
        bool plugin;
    } cases[] = {
        {L"Meteo.DLL", true},   {L"meteo.dll", true},    {L"Meteo.dLl", true},    {L".DLL", true},
        {L"Notes.dllx", false}, {L"Meteo.DLL.bak", false}, {L"MeteoDLL", false}, {L"dll", false},
    };
    for (const auto& c : cases) EXPECT_EQ(hasPluginExtension(c.file), c.plugin) << c.file;
}

class PluginLoaderTest : public ::testing::Test {
protected:
    FakeFileSearch search;
    FakeLibraries libraries;
    FakeBoxes boxes;
    PluginLoader loader{search, libraries, boxes, exeFolder};
};

TEST_F(PluginLoaderTest, DiscoveryListsEveryEntryInSearchOrderWithConsecutiveTags) {
    // "Notes.dllx" stands for a name the system matched by its short alias.
    search.names = {L"Zebre.DLL", L"Meteo.Paris.DLL", L"Data.DLL", L"Notes.dllx", L"fake.dll", L"Alarme.DLL"};
    const std::vector<PluginItem> expected = {
        {L"Zebre", 0}, {L"Meteo.Paris", 1}, {L"Data", 2}, {L"fake", 3}, {L"Alarme", 4}};
    EXPECT_EQ(loader.discover(), expected);
    EXPECT_EQ(search.searched, std::vector<std::wstring>{L"C:\\Horloge\\plugins\\*.DLL"});
    EXPECT_TRUE(libraries.loaded.empty()) << "discovery loads nothing";
}

TEST_F(PluginLoaderTest, NoFolderOrNoEntryGivesNoItemAndNoBox) {
    EXPECT_TRUE(loader.discover().empty());
    loader.RunPlugin(0);
    EXPECT_TRUE(libraries.loaded.empty());
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(PluginLoaderTest, EachOrdinalLoadsItsEntryByFullPathWithTheRightOutcome) {
    search.names = {L"Bon.DLL", L"Muet.DLL", L"Fake.DLL", L"Data.DLL", L"Notes.dllx", L"Dernier.DLL"};
    libraries.libraries[pluginFolder + L"Bon.DLL"] = {};
    libraries.libraries[pluginFolder + L"Muet.DLL"].hasEntry = false;
    libraries.libraries[pluginFolder + L"Fake.DLL"].loads = false;
    libraries.libraries[pluginFolder + L"Dernier.DLL"] = {};
    // Data.DLL is a folder: nothing loads from it.
    loader.discover();
    const struct {
        std::int32_t ordinal;
        const wchar_t* loaded;  // null: nothing loaded
        const wchar_t* box;     // null: no box
        bool handleKept;
    } cases[] = {
        {0, L"Bon.DLL", nullptr, true},
        {1, L"Muet.DLL", L"Ce DLL n'est pas un plugin!", true},
        {2, L"Fake.DLL", L"DLL non trouvé!", false},
        {3, L"Data.DLL", L"DLL non trouvé!", false},
        {4, L"Dernier.DLL", nullptr, true},  // the filtered alias takes no ordinal
        {5, nullptr, nullptr, false},
        {-1, nullptr, nullptr, false},
    };
    for (const auto& c : cases) {
        libraries.loaded.clear();
        boxes.shown.clear();
        loader.RunPlugin(c.ordinal);
        if (c.loaded == nullptr) {
            EXPECT_TRUE(libraries.loaded.empty()) << c.ordinal;
        } else {
            EXPECT_EQ(libraries.loaded, std::vector<std::wstring>{pluginFolder + c.loaded}) << c.ordinal;
            EXPECT_EQ(loader.lastLibrary() != nullptr, c.handleKept) << c.ordinal;
        }
        if (c.box == nullptr) {
            EXPECT_TRUE(boxes.shown.empty()) << c.ordinal;
        } else {
            ASSERT_EQ(boxes.shown.size(), 1u) << c.ordinal;
            EXPECT_EQ(boxes.shown[0].text, c.box);
            EXPECT_EQ(boxes.shown[0].title, L"Attention...");
            EXPECT_EQ(boxes.shown[0].style, box::ok) << "OK only, no icon";
        }
    }
    EXPECT_EQ(libraries.libraries[pluginFolder + L"Bon.DLL"].calls, 1);
    EXPECT_EQ(libraries.libraries[pluginFolder + L"Muet.DLL"].calls, 0);
    EXPECT_EQ(libraries.libraries[pluginFolder + L"Dernier.DLL"].calls, 1);
    for (const std::string& name : libraries.lookedUp) EXPECT_EQ(name, "plugin");
}

TEST_F(PluginLoaderTest, AnItemRunsTheFileItWasListedForEvenAfterTheFolderChanged) {
    search.names = {L"A.DLL", L"B.DLL"};
    const std::vector<PluginItem> items = loader.discover();
    libraries.libraries[pluginFolder + L"B.DLL"] = {};
    libraries.libraries[pluginFolder + L"C.DLL"] = {};
    search.names = {L"B.DLL", L"C.DLL"};  // A removed, C added while the clock ran
    loader.RunPlugin(items[0].tag);
    EXPECT_EQ(libraries.loaded, std::vector<std::wstring>{pluginFolder + L"A.DLL"});
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, L"DLL non trouvé!");
    loader.RunPlugin(items[1].tag);
    EXPECT_EQ(libraries.libraries[pluginFolder + L"B.DLL"].calls, 1);
    EXPECT_EQ(libraries.libraries[pluginFolder + L"C.DLL"].calls, 0) << "a new file waits for the next start";
    EXPECT_EQ(search.searched.size(), 1u) << "the folder is searched once, at discovery";
}

TEST_F(PluginLoaderTest, AFailureInsideThePluginIsThrownWithItsNameAndKeepsTheLibrary) {
    search.names = {L"Meteo.Paris.DLL"};
    loader.discover();
    // Only damage to the program's memory makes the process unsound.
    const struct {
        Outcome outcome;
        std::uint32_t code;
        const wchar_t* reason;
        bool unsound;
    } cases[] = {
        {Outcome::structuredException, 0xC0000094u, L"division entière par zéro", false},
        {Outcome::structuredException, 0xC0000005u, L"violation d'accès", false},
        {Outcome::structuredException, 0xC00000FDu, L"débordement de pile", false},
        {Outcome::cppException, 0, L"exception C++ non traitée", false},
        {Outcome::structuredException, 0xC0000374u, L"tas de mémoire corrompu", true},
        {Outcome::structuredException, 0xC0000409u, L"dépassement d'une mémoire tampon sur la pile", true},
    };
    for (const auto& c : cases) {
        PluginCallResult fault;
        fault.outcome = c.outcome;
        fault.code = c.code;
        libraries.libraries[pluginFolder + L"Meteo.Paris.DLL"].result = fault;
        try {
            loader.RunPlugin(0);
            ADD_FAILURE() << "the failure was not reported";
        } catch (const UnsoundProcessError& error) {
            EXPECT_TRUE(c.unsound) << c.code;
            EXPECT_EQ(error.text(), std::wstring(L"Le plug-in « Meteo.Paris » a été interrompu : ") + c.reason);
        } catch (const UserError& error) {
            EXPECT_FALSE(c.unsound) << c.code;
            EXPECT_EQ(error.text(), std::wstring(L"Le plug-in « Meteo.Paris » a été interrompu : ") + c.reason);
        }
    }
    EXPECT_NE(loader.lastLibrary(), nullptr);
    EXPECT_TRUE(boxes.shown.empty()) << "no plug-in box for a failure inside";
}

// Boxes run their own message loop: the handle must be stored before one shows.
class WatchingBoxes final : public MessageBoxes {
public:
    std::function<void()> whileShown;
    int show(const std::wstring&, const std::wstring&, std::uint32_t) override {
        whileShown();
        return box::answerOk;
    }
};

TEST_F(PluginLoaderTest, TheHandleIsStoredBeforeTheBoxShows) {
    WatchingBoxes watching;
    PluginLoader watched{search, libraries, watching, exeFolder};
    search.names = {L"Muet.DLL", L"Fake.DLL"};
    libraries.libraries[pluginFolder + L"Muet.DLL"].hasEntry = false;
    bool storedBeforeBox = false;
    watching.whileShown = [&] { storedBeforeBox = watched.lastLibrary() != nullptr; };
    watched.discover();
    watched.RunPlugin(0);
    EXPECT_TRUE(storedBeforeBox);
    watching.whileShown = [&] { storedBeforeBox = watched.lastLibrary() == nullptr; };
    watched.RunPlugin(1);
    EXPECT_TRUE(storedBeforeBox) << "a failed load clears the handle before its box";
}

TEST(PluginFailureText, SaysWhatStoppedThePlugin) {
    auto structured = [](std::uint32_t code, Access access = Access::none, std::uint64_t address = 0) {
        PluginCallResult r;
        r.outcome = Outcome::structuredException;
        r.code = code;
        r.access = access;
        r.accessAddress = address;
        return r;
    };
    PluginCallResult cpp;
    cpp.outcome = Outcome::cppException;
    PluginCallResult cppWithText = cpp;
    cppWithText.message = L"fichier introuvable";
    PluginCallResult aborted;
    aborted.outcome = Outcome::aborted;
    const std::wstring prefix = L"Le plug-in « X » a été interrompu : ";
    const struct {
        PluginCallResult result;
        const wchar_t* reason;
    } cases[] = {
        {structured(0xC0000005u, Access::write, 0), L"violation d'accès en écriture à l'adresse 0x00000000"},
        {structured(0xC0000005u, Access::read, 0xDEADBEEFu), L"violation d'accès en lecture à l'adresse 0xDEADBEEF"},
        {structured(0xC0000005u, Access::execute, 0x7FFE12345678u),
         L"violation d'accès en exécution à l'adresse 0x7FFE12345678"},
        {structured(0xC0000005u), L"violation d'accès"},
        {structured(0xC00000FDu), L"débordement de pile"},
        {structured(0xC000001Du), L"instruction illégale"},
        {structured(0xE06D7363u), L"exception C++ non traitée"},
        {structured(0xC0000135u), L"exception système 0xC0000135"},
        {cpp, L"exception C++ non traitée"},
        {cppWithText, L"exception C++ non traitée : fichier introuvable"},
        {aborted, L"arrêt brutal demandé par son code (abort, ou exception C++ que rien n'a rattrapée)"},
    };
    for (const auto& c : cases) EXPECT_EQ(pluginFailureText(L"X", c.result), prefix + c.reason);
}

}  // namespace
}  // namespace orvane
