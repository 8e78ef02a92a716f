// The program among the others on a user's desktop: one clock per folder, a
// tray that may refuse the icon, help that opens without a word processor,
// error boxes that come to the front with it and do not pile up.
#include <windows.h>
#include <objbase.h>
#include <sddl.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "alarms/alarms_window.hpp"
#include "app/application.hpp"
#include "clock/main_window.hpp"
#include "platform/win32/running_copy.hpp"
#include "platform/win32/services.hpp"
#include "support/app_fixture.hpp"

namespace orvane {
namespace {

using namespace orvane::testing;

constexpr wchar_t noDevice[] = L"Le nom de périphérique spécifié n'est pas valide";

class DesktopShellTest : public AppFixture {
protected:
    // The hourly sound that cannot be played, and the hour that tries it.
    void failHourlySound() {
        main().settings.Bip = false;
        main().settings.dureevibre = 0;
        world.sound.failure = noDevice;
    }
    void hourStrikes(std::uint16_t hour) {
        tickAt({2026, 12, 7, static_cast<std::uint16_t>(hour - 1), 59, 59, 0});
        tickAt({2026, 12, 7, hour, 0, 0, 0});
    }
};

TEST_F(DesktopShellTest, TheFirstTripToTheTrayOfARunSaysOnceWhereTheClockWent) {
    closeBox(main());
    ASSERT_EQ(world.tray.notices.size(), 1u);
    EXPECT_EQ(world.tray.notices[0].first, L"Orvane");
    EXPECT_NE(world.tray.notices[0].second.find(L"zone de notification"), std::wstring::npos);
    pick(TForm1::RestaurerItem);
    closeBox(main());
    EXPECT_EQ(world.tray.notices.size(), 1u) << "said once a run";
    start();
    closeBox(main());
    EXPECT_EQ(world.tray.notices.size(), 2u) << "and again in the next run";
}

TEST_F(DesktopShellTest, ARefusedTrayIconLeavesTheWindowMinimisedUntilTheShellTakesIt) {
    const UINT taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
    const struct {
        const char* name;
        bool restoredFromTheTaskbar;
    } cases[] = {{"left on the taskbar", false}, {"brought back from the taskbar", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        start();
        world.tray = {};
        world.tray.refuses = true;
        closeBox(main());
        EXPECT_TRUE(main().isVisible());
        EXPECT_TRUE(IsIconic(main().hwnd())) << "a clock hidden without an icon could not be found again";
        EXPECT_EQ(world.tray.adds, 1);
        EXPECT_TRUE(world.tray.notices.empty());
        if (c.restoredFromTheTaskbar) SendMessageW(main().hwnd(), WM_SYSCOMMAND, SC_RESTORE, 0);

        world.tray.refuses = false;  // the shell is back
        SendMessageW(main().hwnd(), taskbarCreated, 0, 0);
        EXPECT_EQ(world.tray.present, !c.restoredFromTheTaskbar);
        EXPECT_EQ(main().isVisible(), c.restoredFromTheTaskbar);
        EXPECT_EQ(world.tray.notices.size(), c.restoredFromTheTaskbar ? 0u : 1u);
        if (c.restoredFromTheTaskbar) continue;
        pick(TForm1::RestaurerItem);
        EXPECT_TRUE(main().isVisible());
        EXPECT_FALSE(IsIconic(main().hwnd()));
        EXPECT_FALSE(world.tray.present);
    }
    // In the tray, the shell restarts and refuses the icon: minimised again.
    closeBox(main());
    ASSERT_FALSE(main().isVisible());
    world.tray.refuses = true;
    SendMessageW(main().hwnd(), taskbarCreated, 0, 0);
    EXPECT_TRUE(main().isVisible());
    EXPECT_TRUE(IsIconic(main().hwnd())) << "hidden with no icon, the clock could not be found again";
}

// The icon's gestures as the notification area sends them: in its first
// version the mouse message alone, in version 4 the event and the icon's
// number in lParam and where it happened in wParam. The tray menu opens once,
// where the user expects it: left with Escape, the keyboard goes back to the
// notification area; left by a click elsewhere, it does not.
struct {
    UINT leavingKey;  // 0: a click elsewhere
    int opened;
    RECT at;
} trayMenu;
void WINAPI leaveTheMenu(HWND window, UINT, UINT_PTR, DWORD) {
    const HWND menu = FindWindowW(L"#32768", nullptr);
    if (menu == nullptr || !IsWindowVisible(menu)) return;
    ++trayMenu.opened;  // a menu left is gone before the next round of the timer
    GetWindowRect(menu, &trayMenu.at);
    if (trayMenu.leavingKey != 0) PostMessageW(window, WM_KEYDOWN, trayMenu.leavingKey, 0);
    else SendMessageW(window, WM_CANCELMODE, 0, 0);
}

TEST_F(DesktopShellTest, TheIconAnswersTheMouseAndTheKeyboardAsTheShellSendsThem) {
    SetCursorPos(700, 500);
    POINT pointer{}, icon{200, 150};  // the icon's corner, away from the pointer
    GetCursorPos(&pointer);
    enum Result { Nothing, ComesBack, MenuAtPointer, MenuAtIcon };
    const struct {
        const char* gesture;
        bool version4;
        std::vector<UINT> events;
        POINT anchor;  // in wParam, for version 4
        Result result;
        UINT leavingKey = 0;
        std::optional<IconPlace> iconPlace = std::nullopt;  // where the shell says the icon is
    } cases[] = {
        {"a right click, left with Escape", false, {WM_RBUTTONDOWN, WM_RBUTTONUP}, {}, MenuAtPointer, VK_ESCAPE},
        {"a right click, left by a click elsewhere", false, {WM_RBUTTONDOWN, WM_RBUTTONUP}, {}, MenuAtPointer},
        {"v4: a right click on the icon", true, {WM_RBUTTONDOWN, WM_RBUTTONUP, WM_CONTEXTMENU}, pointer, MenuAtPointer,
         0, IconPlace{pointer.x - 8, pointer.y - 8, pointer.x + 8, pointer.y + 8}},
        {"v4: the menu key or Shift+F10", true, {WM_CONTEXTMENU}, icon, MenuAtIcon, VK_ESCAPE},
        {"v4: the menu key, the anchor off the icon", true, {WM_CONTEXTMENU}, pointer, MenuAtIcon, 0,
         IconPlace{icon.x, icon.y, icon.x + 16, icon.y + 16}},
        {"v4: Enter or Space", true, {NIN_KEYSELECT}, icon, ComesBack},
        {"v4: a single click", true, {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, NIN_SELECT}, pointer, Nothing},
        {"v4: a double click", true, {WM_LBUTTONDOWN, WM_LBUTTONUP, NIN_SELECT, WM_LBUTTONDBLCLK}, pointer, ComesBack},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.gesture);
        if (main().isVisible()) closeBox(main());
        world.tray.shownAt = c.iconPlace;
        trayMenu = {c.leavingKey, 0, {}};
        const int focusGivenBack = world.tray.focusGivenBack;
        SetTimer(main().hwnd(), 0xC105, 50, leaveTheMenu);  // fires while the menu is up, in its own loop
        for (const UINT event : c.events)
            SendMessageW(main().hwnd(), TForm1::TrayCallbackMessage,
                         c.version4 ? MAKEWPARAM(c.anchor.x, c.anchor.y) : TForm1::TrayIconId,
                         c.version4 ? MAKELPARAM(event, TForm1::TrayIconId) : event);
        KillTimer(main().hwnd(), 0xC105);
        const bool menu = c.result == MenuAtPointer || c.result == MenuAtIcon;
        EXPECT_EQ(trayMenu.opened, menu ? 1 : 0);
        const POINT at = c.result == MenuAtIcon ? icon : pointer;
        EXPECT_TRUE(!menu || (trayMenu.at.left == at.x && trayMenu.at.top == at.y)) << trayMenu.at.left << ","
                                                                                      << trayMenu.at.top;
        EXPECT_EQ(world.tray.focusGivenBack - focusGivenBack, c.leavingKey == VK_ESCAPE ? 1 : 0);
        EXPECT_EQ(main().isVisible(), c.result == ComesBack);
    }
    // A double click on the icon brings the clock back, even a minimised one.
    closeBox(main());
    ShowWindow(main().hwnd(), SW_SHOWMINNOACTIVE);
    SendMessageW(main().hwnd(), TForm1::TrayCallbackMessage, TForm1::TrayIconId, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(main().isVisible());
    EXPECT_FALSE(IsIconic(main().hwnd()));
    EXPECT_FALSE(world.tray.present);
}

// A second start from the program's folder, however that folder is spelt,
// reaches this clock and brings it back from wherever it waits; a start from
// another folder does not.
TEST_F(DesktopShellTest, ASecondStartFromTheFolderBringsTheClockBack) {
    const std::wstring folder = L"C:\\Orvane-essai-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
    std::wstring otherSpelling = folder;
    CharLowerBuffW(otherSpelling.data(), static_cast<DWORD>(otherSpelling.size()));
    const struct {
        const char* name;
        bool trayRefuses;
        void (*leave)(TForm1&);
    } cases[] = {
        {"in the tray", false, [](TForm1& w) { closeBox(w); }},
        {"minimised for want of an icon", true, [](TForm1& w) { closeBox(w); }},
        {"minimised by the user", false,
         [](TForm1& w) { SendMessageW(w.hwnd(), WM_SYSCOMMAND, SC_MINIMIZE, 0); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        start();
        world.tray = {};
        world.tray.refuses = c.trayRefuses;
        win32::RunningCopy first(folder);
        ASSERT_FALSE(first.handOver()) << "the first start runs";
        first.publish(main().hwnd());
        c.leave(main());
        ASSERT_TRUE(!main().isVisible() || IsIconic(main().hwnd()));

        EXPECT_FALSE(win32::RunningCopy(L"C:\\Autre-" + folder.substr(3)).handOver()) << "another folder";
        EXPECT_TRUE(win32::RunningCopy(otherSpelling).handOver()) << "the same folder";
        runMessages();
        EXPECT_TRUE(main().isVisible());
        EXPECT_FALSE(IsIconic(main().hwnd()));
        EXPECT_FALSE(world.tray.present);
    }
}

// A clock started as administrator, and a plain start by the same user.
// Wine has no integrity levels: what the copies ask of the system is read
// back. The shared memory grants the user and carries a medium label.
TEST(RunningCopyAcrossLevels, TheSharedMemoryLetsThePlainStartsOfTheUserIn) {
    HANDLE token = nullptr;
    std::vector<unsigned char> user(256);
    DWORD size = 0;
    wchar_t *sid = nullptr, *text = nullptr;
    ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token) &&
                GetTokenInformation(token, TokenUser, user.data(), 256, &size) &&
                ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid, &sid));
    CloseHandle(token);
    const win32::SecurityDescriptor descriptor = win32::runningCopySecurity();
    ASSERT_TRUE(descriptor && ConvertSecurityDescriptorToStringSecurityDescriptorW(
                                  descriptor.get(), SDDL_REVISION_1, DACL_SECURITY_INFORMATION, &text, nullptr));
    EXPECT_NE(std::wstring(text).find(L"(A;;GA;;;" + std::wstring(sid) + L")"), std::wstring::npos) << text;
    LocalFree(sid);
    LocalFree(text);
    // Read as an entry: Wine 8 writes a label back without its type ("(;;CC;;;ME)").
    BOOL present = FALSE, defaulted = FALSE;
    ACL* labels = nullptr;
    void* entry = nullptr;
    ASSERT_TRUE(GetSecurityDescriptorSacl(descriptor.get(), &present, &labels, &defaulted) && present &&
                labels->AceCount == 1 && GetAce(labels, 0, &entry));
    auto* label = static_cast<SYSTEM_MANDATORY_LABEL_ACE*>(entry);
    EXPECT_EQ(std::tuple(label->Header.AceType, label->Mask, *GetSidSubAuthorityCount(&label->SidStart)),
              std::tuple(BYTE{SYSTEM_MANDATORY_LABEL_ACE_TYPE}, DWORD{SYSTEM_MANDATORY_LABEL_NO_WRITE_UP}, UCHAR{1}));
    EXPECT_LE(*GetSidSubAuthority(&label->SidStart, 0), DWORD{SECURITY_MANDATORY_MEDIUM_RID});
}

// The running clock lets the start's message in; the start lends it the
// foreground, and where its message is refused it says so and ends.
std::vector<std::wstring> callsSeen;
BOOL posts = TRUE;
HWND clockWindow = nullptr;
BOOL WINAPI recordAllow(HWND window, UINT message, DWORD action, PCHANGEFILTERSTRUCT) {
    callsSeen.push_back(std::to_wstring(window == clockWindow) + std::to_wstring(message) + std::to_wstring(action));
    return TRUE;
}
BOOL WINAPI recordForeground(DWORD process) {
    callsSeen.push_back(L"foreground " + std::to_wstring(process == GetCurrentProcessId()));
    return TRUE;
}
BOOL WINAPI recordPost(HWND, UINT message, WPARAM, LPARAM) {
    callsSeen.push_back(L"post " + std::to_wstring(message));
    SetLastError(ERROR_ACCESS_DENIED);
    return posts;
}

TEST(RunningCopyAcrossLevels, TheClockLetsTheMessageInAndAStartItCannotReachSaysSo) {
    const std::wstring folder = L"C:\\Orvane-niveaux-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
    const std::wstring message = std::to_wstring(win32::comeBackMessage());
    clockWindow = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    for (const BOOL posted : {TRUE, FALSE}) {
        callsSeen.clear();
        posts = posted;
        win32::RunningCopy first(folder, {recordAllow, recordForeground, recordPost});
        ASSERT_FALSE(first.handOver());
        first.publish(clockWindow);
        win32::RunningCopy second(folder, {recordAllow, recordForeground, recordPost});
        EXPECT_TRUE(second.handOver()) << "no second clock, reached or not";
        EXPECT_EQ(second.unreachable(), !posted);
        EXPECT_EQ(callsSeen, (std::vector<std::wstring>{L"1" + message + std::to_wstring(MSGFLT_ALLOW), L"foreground 1",
                                                         L"post " + message}));
    }
    DestroyWindow(clockWindow);
}

TEST_F(DesktopShellTest, AnHourlyFailureOpensNoSecondBoxWhileItsBoxIsOpen) {
    failHourlySound();
    bool userAway = true;
    world.boxes.whileShown = [&](const FakeBoxes::Shown&) {
        if (!userAway) return;
        userAway = false;
        // The night goes by with the box on screen: the clock ticks inside it.
        for (std::uint16_t hour = 16; hour <= 22; ++hour) hourStrikes(hour);
        tickAt({2026, 12, 7, 22, 0, 1, 0});
        EXPECT_EQ(text(main(), TForm1::Label2), L"22:00:01") << "the clock went on inside the box";
    };
    hourStrikes(15);
    EXPECT_EQ(world.sound.played.size(), 8u) << "each hour still tries its sound";
    ASSERT_EQ(world.boxes.shown.size(), 1u);
    EXPECT_EQ(world.boxes.shown[0].text, std::wstring(noDevice) + L".");

    hourStrikes(23);  // the box was closed: the next failure is told again
    EXPECT_EQ(world.boxes.shown.size(), 2u);
}

TEST_F(DesktopShellTest, ErrorBoxesBelongToTheWindowOnScreen) {
    failHourlySound();
    const struct {
        const char* name;
        bool mainInTray, alarmsActive;
        HWND (*owner)(Application&);
    } cases[] = {
        {"main window shown", false, false, [](Application& a) { return a.form1().hwnd(); }},
        {"in the tray, the alarms window active", true, true, [](Application& a) { return a.form6().hwnd(); }},
        {"in the tray, nothing of the clock's active", true, false, [](Application&) { return HWND{}; }},
    };
    std::uint16_t hour = 10;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // Off the full hour the last case struck: the clock's own timer may
        // tick while the test waits for a window.
        world.clock.setLocal({2026, 12, 7, hour, 30, 0, 0});
        start();
        failHourlySound();
        world.boxes.shown.clear();
        if (c.alarmsActive) {
            pick(TForm1::Alarme1);
            activate(app->form6());
        }
        if (c.mainInTray) closeBox(main());
        hourStrikes(++hour);
        ASSERT_EQ(world.boxes.shown.size(), 1u);
        EXPECT_EQ(world.boxes.shown[0].owner, static_cast<void*>(c.owner(*app)));
    }
}

// What the box up on screen showed, looked at from inside its own loop.
struct BoxLook {
    HWND box = nullptr, owner = nullptr, other = nullptr;
    bool otherWaited = false;
} boxLook;

BOOL CALLBACK findBox(HWND window, LPARAM) {
    wchar_t className[16] = {};
    GetClassNameW(window, className, 16);
    if (std::wstring(className) != L"#32770" || !IsWindowVisible(window)) return TRUE;
    boxLook.box = window;
    return FALSE;
}

void CALLBACK lookAtTheBoxAndCloseIt(HWND, UINT, UINT_PTR, DWORD) {
    EnumThreadWindows(GetCurrentThreadId(), findBox, 0);
    if (boxLook.box == nullptr) return;
    boxLook.owner = GetWindow(boxLook.box, GW_OWNER);
    boxLook.otherWaited = !IsWindowEnabled(boxLook.other);
    PostMessageW(boxLook.box, WM_COMMAND, IDOK, 0);
}

// The system's box, owned by the main window: the other windows of the
// program still wait for it, and take clicks again when it goes.
TEST_F(DesktopShellTest, AnOwnedSystemBoxKeepsTheWholeProgramWaiting) {
    pick(TForm1::Alarme1);
    boxLook = {};
    boxLook.other = app->form6().hwnd();
    // Served by the box's own message loop once the box is up.
    const UINT_PTR timer = SetTimer(nullptr, 0, 1, lookAtTheBoxAndCloseIt);
    win32::SystemMessageBoxes boxes;
    EXPECT_EQ(boxes.showOwnedBy(main().hwnd(), L"Texte", L"Orvane", box::ok | box::iconError), IDOK);
    KillTimer(nullptr, timer);
    ASSERT_NE(boxLook.box, nullptr);
    EXPECT_EQ(boxLook.owner, main().hwnd());
    EXPECT_TRUE(boxLook.otherWaited) << "the alarms window took clicks while the box was up";
    EXPECT_TRUE(IsWindowEnabled(boxLook.other));
    EXPECT_TRUE(main().isEnabled());
}

TEST_F(DesktopShellTest, HelpOpensThePageWhenNothingOpensTheDocumentThenSaysWhere) {
    const std::wstring document = L"C:\\Orvane\\Aidez-moi.doc", page = L"C:\\Orvane\\Aidez-moi.html";
    const struct {
        const char* name;
        std::set<std::wstring> noProgramFor;
        std::vector<std::wstring> opened;
        const wchar_t* error;
        bool prompts = false;
    } cases[] = {
        {"a word processor", {}, {document}, nullptr},
        {"no program for the document", {L".doc"}, {page}, nullptr},
        {"no program, and the shell's prompt called a success", {L".doc"}, {page}, nullptr, true},
        {"no program for either", {L".doc", L".html"}, {page},
         L"Impossible d'ouvrir le fichier d'aide C:\\Orvane\\Aidez-moi.html."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        world.shell.opened.clear();
        world.boxes.shown.clear();
        world.shell.noProgramFor = c.noProgramFor;
        world.shell.promptsForTheUnknown = c.prompts;
        pick(TForm1::Aide1);
        EXPECT_EQ(world.shell.opened, c.opened);
        if (c.error == nullptr) {
            EXPECT_TRUE(world.boxes.shown.empty());
            continue;
        }
        ASSERT_EQ(world.boxes.shown.size(), 1u);
        EXPECT_EQ(world.boxes.shown[0].text, c.error);
        EXPECT_EQ(world.boxes.shown[0].title, L"Orvane");
        EXPECT_EQ(world.boxes.shown[0].owner, static_cast<void*>(main().hwnd()));
    }
}

// The system's registrations, as "Aide" asks them: a kind of file this test
// registers in its own prefix, with a program to open it, and one nobody has.
TEST(ShellOpenTest, TellsWhetherAProgramIsRegisteredForAKindOfFile) {
    const std::wstring number = std::to_wstring(GetCurrentProcessId());
    const std::wstring kind = L".orvane-essai-" + number, progId = L"Orvane.Essai" + number;
    const std::wstring command = L"notepad.exe \"%1\"";
    auto set = [](const std::wstring& key, const std::wstring& value) {
        return RegSetKeyValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, REG_SZ, value.c_str(),
                               static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    };
    ASSERT_EQ(set(kind, progId), ERROR_SUCCESS);
    ASSERT_EQ(set(progId + L"\\shell\\open\\command", command), ERROR_SUCCESS);
    const win32::ShellOpen shell;
    EXPECT_TRUE(shell.hasProgramFor(L"C:\\Orvane\\lisez-moi" + kind));
    EXPECT_FALSE(shell.hasProgramFor(L"C:\\Orvane\\Aidez-moi.orvane-inconnu"));
    EXPECT_FALSE(shell.hasProgramFor(L"C:\\Orvane.v2\\Aidez-moi")) << "a dot in a folder's name is no extension";
    RegDeleteTreeW(HKEY_CLASSES_ROOT, kind.c_str());
    RegDeleteTreeW(HKEY_CLASSES_ROOT, progId.c_str());
}

TEST(ComApartmentTest, MakesItsThreadASingleThreadedApartmentForItsLife) {
    std::thread([] {
        {
            const win32::ComApartment com;
            EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), RPC_E_CHANGED_MODE) << "not single-threaded";
        }
        const HRESULT after = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        EXPECT_EQ(after, S_OK) << "still initialised after its end";
        if (SUCCEEDED(after)) CoUninitialize();
    }).join();
}

}  // namespace
}  // namespace orvane
