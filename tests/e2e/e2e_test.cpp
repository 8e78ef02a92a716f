// The real orvane.exe, copied into a scratch folder and started as a user
// starts it; it is read and driven from outside, as a test driver would.
#include <windows.h>
#include <commctrl.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

#include "clock/main_window_ids.hpp"
#include "countdowns/countdown_dialog.hpp"
#include "countdowns/countdowns_window.hpp"
#include "elapsed/elapsed_window.hpp"
#include "settings/options_dialog.hpp"
#include "stopwatches/stopwatches_window.hpp"

namespace {

std::wstring orvaneExe;  // from the command line
std::wstring samplePlugin;  // the kit's sample, built beside the program
std::wstring faultyPlugin;  // a test plug-in whose C++ exception leaves it
std::wstring heapPlugin, overrunPlugin;  // test plug-ins that leave the process unsound

// Control and command numbers of the main window, as a driver sees them.
using Ids = orvane::MainWindowIds;
constexpr int Label2 = Ids::Label2, Label1 = Ids::Label1, Label3 = Ids::Label3, StatusBar1 = Ids::StatusBar1;
constexpr int Quitter1 = Ids::Quitter1, Chronomtre1 = Ids::Chronomtre1, Compterebours1 = Ids::Compterebours1,
              PastTime1 = Ids::PastTime1, Option1 = Ids::Option1;
constexpr int RestaurerItem = Ids::RestaurerItem, Quitter2 = Ids::Quitter2, firstPluginItem = Ids::PluginItems;

std::string narrow(const std::wstring& text) {
    std::string out(static_cast<std::size_t>(
                        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr)),
                    '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), static_cast<int>(out.size()), nullptr, nullptr);
    out.pop_back();
    return out;
}

std::string readBytes(const std::wstring& path) {
    std::ifstream in(narrow(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeBytes(const std::wstring& path, const std::string& bytes) {
    std::ofstream out(std::filesystem::path(path), std::ios::binary);  // by its wide name: in any script
    out << bytes;
}

// By the length the control gives: an empty status bar read from another
// process leaves the buffer as it was.
std::wstring windowText(HWND hwnd) {
    wchar_t text[256] = {};
    DWORD_PTR length = 0;
    SendMessageTimeoutW(hwnd, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, &length);
    return std::wstring(text, std::min<DWORD_PTR>(length, 255));
}

// A scratch folder holding a copy of the program, removed afterwards.
class ClockUnderTest : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        folder = std::wstring(temp) + L"orvane-e2e-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                 std::to_wstring(GetTickCount64()) + L"\\";
        ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
        ASSERT_TRUE(CopyFileW(orvaneExe.c_str(), (folder + L"orvane.exe").c_str(), FALSE));
        // The user's own folder of the programs started here, in the scratch
        // folder: where the program's folder refuses writing, nothing lands
        // in the real one.
        SetEnvironmentVariableW(L"APPDATA", (folder + L"AppData").c_str());
    }
    void TearDown() override {
        if (process.hProcess != nullptr) {
            if (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(process.hProcess, 1);
            WaitForSingleObject(process.hProcess, 5000);
            CloseHandle(process.hProcess);
            CloseHandle(process.hThread);
        }
        for (const wchar_t* name : {L"orvane.exe", L"Configuration.ini"}) DeleteFileW((folder + name).c_str());
        removePlugins();
        DeleteFileW((folder + L"AppData\\Orvane\\Configuration.ini").c_str());
        RemoveDirectoryW((folder + L"AppData\\Orvane").c_str());
        RemoveDirectoryW((folder + L"AppData").c_str());
        RemoveDirectoryW(folder.c_str());
    }

    void start() {
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        std::wstring commandLine = L"\"" + folder + L"orvane.exe\"";
        const bool started = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                            folder.c_str(), &startup, &process);
        ASSERT_TRUE(started) << "the program did not start, error " << GetLastError();
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (mainWindow == nullptr && std::chrono::steady_clock::now() < deadline) {
            EnumWindows(findMainWindow, reinterpret_cast<LPARAM>(this));
            if (mainWindow == nullptr) std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        ASSERT_NE(mainWindow, nullptr) << "the main window did not appear";
    }

    static BOOL CALLBACK findMainWindow(HWND hwnd, LPARAM self) {
        auto* test = reinterpret_cast<ClockUnderTest*>(self);
        DWORD pid = 0;
        GetWindowThreadProcessId(hwnd, &pid);
        wchar_t className[32] = {};
        GetClassNameW(hwnd, className, 32);
        if (pid != test->process.dwProcessId || std::wstring(className) != L"TForm1") return TRUE;
        test->mainWindow = hwnd;
        return FALSE;
    }

    bool waitForExit(DWORD milliseconds = 15000) {
        return WaitForSingleObject(process.hProcess, milliseconds) == WAIT_OBJECT_0;
    }
    // After an end, ready for the next run.
    void forgetRun() {
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
        process = {};
        mainWindow = nullptr;
    }

    std::wstring label(int id) { return windowText(GetDlgItem(mainWindow, id)); }

    void installPlugin(const std::wstring& built, const std::wstring& name) {
        CreateDirectoryW((folder + L"plugins").c_str(), nullptr);
        ASSERT_TRUE(CopyFileW(built.c_str(), (folder + L"plugins\\" + name).c_str(), FALSE));
    }
    void removePlugins() {
        WIN32_FIND_DATAW entry;
        const HANDLE search = FindFirstFileW((folder + L"plugins\\*.DLL").c_str(), &entry);
        if (search != INVALID_HANDLE_VALUE) {
            do DeleteFileW((folder + L"plugins\\" + entry.cFileName).c_str());
            while (FindNextFileW(search, &entry));
            FindClose(search);
        }
        RemoveDirectoryW((folder + L"plugins").c_str());
    }

    struct ProcessWindows {
        DWORD pid;
        std::vector<HWND> found;
    };
    static BOOL CALLBACK collectProcessWindow(HWND hwnd, LPARAM data) {
        auto* windows = reinterpret_cast<ProcessWindows*>(data);
        DWORD pid = 0;
        GetWindowThreadProcessId(hwnd, &pid);
        if (pid == windows->pid && IsWindowVisible(hwnd)) windows->found.push_back(hwnd);
        return TRUE;
    }
    // The visible top-level windows of the clock's process.
    std::vector<HWND> processWindows() {
        ProcessWindows windows{process.dwProcessId, {}};
        EnumWindows(collectProcessWindow, reinterpret_cast<LPARAM>(&windows));
        return windows.found;
    }

    // A message box of the clock's process with this caption, waited for.
    HWND waitForBox(const std::wstring& caption) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
        while (std::chrono::steady_clock::now() < deadline) {
            for (const HWND hwnd : processWindows()) {
                wchar_t className[16] = {};
                GetClassNameW(hwnd, className, 16);
                if (windowText(hwnd) == caption && std::wstring(className) == L"#32770") return hwnd;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return nullptr;
    }

    static BOOL CALLBACK collectLabel(HWND child, LPARAM text) {
        wchar_t className[16] = {};
        GetClassNameW(child, className, 16);
        if (lstrcmpiW(className, L"Static") == 0) *reinterpret_cast<std::wstring*>(text) += windowText(child);
        return TRUE;
    }
    // The texts a message box shows, from its labels.
    static std::wstring boxText(HWND box) {
        std::wstring text;
        EnumChildWindows(box, collectLabel, reinterpret_cast<LPARAM>(&text));
        return text;
    }

    // The seconds label moves on: the clock's timer still runs.
    bool clockMovesOn() {
        const std::wstring first = label(Label2);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (std::chrono::steady_clock::now() < deadline) {
            if (label(Label2) != first) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return false;
    }

    std::wstring folder;
    PROCESS_INFORMATION process{};
    HWND mainWindow = nullptr;
};

long long millisecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
}

// What the user sees, logged when it first shows.
struct Seen {
    long long ms;  // since the watch began
    std::wstring what;
    long long slack = 300;  // expected entries: how far off the time may be (Wine under load)
    SYSTEMTIME clock{};  // the system clock just after the look
};
using Log = std::vector<Seen>;

// A user's gesture at a set time of a watch; it is logged as "> name".
struct Gesture {
    long long at;
    std::wstring name;
    std::function<void()> act;
};

// Looks every 10 ms for forMs milliseconds and logs every change of what
// look() returns, with the gestures in between: one log, one order. A thing
// is logged once two looks in a row see it, at the first: several labels
// written one after the other are caught half written now and then (under
// Wine the program answers our reads between two of its own writes), and
// what is gone by the next look is not what a user sees.
Log watch(const std::function<std::wstring()>& look, long long forMs, const std::vector<Gesture>& gestures = {}) {
    const auto begun = std::chrono::steady_clock::now();
    Log log;
    std::wstring last;
    bool logged = false;
    std::optional<Seen> candidate;
    std::size_t next = 0;
    for (;;) {
        const long long now = millisecondsSince(begun);
        for (; next < gestures.size() && gestures[next].at <= now; ++next) {
            log.push_back({millisecondsSince(begun), L"> " + gestures[next].name});
            gestures[next].act();
        }
        Seen seen{};
        seen.what = look();
        GetLocalTime(&seen.clock);
        seen.ms = millisecondsSince(begun);
        if (candidate && candidate->what == seen.what) {
            if (!logged || seen.what != last) log.push_back(*candidate);
            last = seen.what;
            logged = true;
        } else {
            candidate = seen;
        }
        if (now >= forMs) return log;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

std::string timeline(const Log& log) {
    std::string out;
    for (const Seen& seen : log) out += "\n  " + std::to_string(seen.ms) + " ms  " + narrow(seen.what);
    return out;
}

// Exactly the expected things in the expected order, each on time.
void expectLog(const Log& got, const Log& expected) {
    auto texts = [](const Log& log) {
        std::string out;
        for (const Seen& seen : log) out += narrow(seen.what) + " | ";
        return out;
    };
    EXPECT_EQ(texts(got), texts(expected)) << "seen:" << timeline(got);
    if (got.size() != expected.size()) return;
    for (std::size_t i = 0; i < got.size(); ++i)
        EXPECT_NEAR(got[i].ms, expected[i].ms, expected[i].slack)
            << narrow(got[i].what) << " came off time; seen:" << timeline(got);
}

std::vector<std::string> lines(const std::string& bytes) {
    std::vector<std::string> out;
    std::istringstream in(bytes);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) out.push_back(line);
    }
    return out;
}

std::wstring frenchDate(const SYSTEMTIME& t) {
    wchar_t text[16];
    swprintf(text, 16, L"%02u/%02u/%04u", t.wDay, t.wMonth, t.wYear);
    return text;
}

// The first tick after a start: the date label leaves its placeholder. No
// text at all is no tick either: the window is found before its labels are made.
bool waitForFirstTick(HWND window, std::chrono::milliseconds bound) {
    const auto deadline = std::chrono::steady_clock::now() + bound;
    for (std::wstring date; (date = windowText(GetDlgItem(window, Label1))).empty() || date == L"00/00/0000";) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

// The time, date and French day labels for a moment.
std::wstring clockFace(const SYSTEMTIME& t) {
    const wchar_t* days[] = {L"Dimanche", L"Lundi", L"Mardi", L"Mercredi", L"Jeudi", L"Vendredi", L"Samedi"};
    wchar_t time[16];
    swprintf(time, 16, L"%02u:%02u:%02u", t.wHour, t.wMinute, t.wSecond);
    return time + (L" " + frenchDate(t)) + L" " + days[t.wDayOfWeek];
}

TEST_F(ClockUnderTest, ShowsTheTimeDateAndFrenchDayWithinTwoSeconds) {
    ASSERT_NO_FATAL_FAILURE(start());
    ASSERT_TRUE(waitForFirstTick(mainWindow, std::chrono::seconds(2))) << "no tick within two seconds";

    // Each change shows the second, date and day the system clock is in
    // when the change is seen: no second early, and not a whole second late
    // (the one before was written before the clock's second began).
    const Log log = watch([&] { return label(Label2) + L" " + label(Label1) + L" " + label(Label3); }, 2600);
    ASSERT_GE(log.size(), 3u) << "fewer than two changes in 2.6 s; seen:" << timeline(log);
    for (std::size_t i = 1; i < log.size(); ++i)
        EXPECT_EQ(narrow(log[i].what), narrow(clockFace(log[i].clock))) << "seen at " << log[i].ms << " ms";
}

TEST_F(ClockUnderTest, QuittingWritesTheNineKeysInOrder) {
    ASSERT_NO_FATAL_FAILURE(start());
    PostMessageW(mainWindow, WM_COMMAND, Quitter1, 0);
    ASSERT_TRUE(waitForExit());
    const std::string dialPath = narrow(folder) + "HORLOGE.BMP";
    const std::vector<std::string> expected = {
        "[Options]",      "Bip=1",        "FrequenceBip=0",      "DureeBip=0", "Musique=",
        "intensevibre=10", "dureevibre=20", "Pendule=" + dialPath, "Couleur=0",  "penwidth=1"};
    EXPECT_EQ(lines(readBytes(folder + L"Configuration.ini")), expected);
}

TEST_F(ClockUnderTest, JunkValuesGiveDefaultsAndTheUsersOwnLinesSurvive) {
    // Bytes in the system's 8-bit code page: "é" is one byte, E9.
    writeBytes(folder + L"Configuration.ini",
               "[Options]\r\nBip=oui\r\nFrequenceBip=abc\r\npenwidth=0x\r\nMusique=C:\\Sons\\\xE9t\xE9.wav\r\n"
               "MaCle=gard\xE9\x65\r\n\r\n[Autre]\r\nx=1\r\n");
    ASSERT_NO_FATAL_FAILURE(start());
    PostMessageW(mainWindow, WM_COMMAND, Quitter1, 0);
    ASSERT_TRUE(waitForExit());
    const std::string file = readBytes(folder + L"Configuration.ini");
    const std::vector<std::string> got = lines(file);
    auto has = [&](const std::string& line) { return std::find(got.begin(), got.end(), line) != got.end(); };
    EXPECT_TRUE(has("Bip=1"));
    EXPECT_TRUE(has("FrequenceBip=0"));
    EXPECT_TRUE(has("penwidth=1"));
    EXPECT_TRUE(has("Musique=C:\\Sons\\\xE9t\xE9.wav")) << "the path stays in the 8-bit code page";
    EXPECT_TRUE(has("MaCle=gard\xE9\x65"));
    EXPECT_TRUE(has("[Autre]"));
    EXPECT_TRUE(has("x=1"));
    EXPECT_EQ(std::count(got.begin(), got.end(), "[Options]"), 1);
}

TEST_F(ClockUnderTest, ClosingGoesToTheTrayAndTheTrayQuitSaves) {
    ASSERT_NO_FATAL_FAILURE(start());
    PostMessageW(mainWindow, WM_CLOSE, 0, 0);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (IsWindowVisible(mainWindow) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_FALSE(IsWindowVisible(mainWindow));
    EXPECT_FALSE(waitForExit(500)) << "closing the window does not end the program";
    EXPECT_EQ(GetFileAttributesW((folder + L"Configuration.ini").c_str()), INVALID_FILE_ATTRIBUTES);
    PostMessageW(mainWindow, WM_COMMAND, Quitter2, 0);
    ASSERT_TRUE(waitForExit());
    EXPECT_NE(GetFileAttributesW((folder + L"Configuration.ini").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(ClockUnderTest, TheEndOfTheSessionSavesAndEnds) {
    ASSERT_NO_FATAL_FAILURE(start());
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION wineboot{};
    std::wstring commandLine = L"wineboot.exe --end-session";
    ASSERT_TRUE(CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &startup, &wineboot));
    WaitForSingleObject(wineboot.hProcess, 30000);
    CloseHandle(wineboot.hProcess);
    CloseHandle(wineboot.hThread);
    ASSERT_TRUE(waitForExit());
    EXPECT_EQ(lines(readBytes(folder + L"Configuration.ini")).size(), 10u);
}

// The countdown windows as a driver sees them.
constexpr int CountdownNewButton1 = orvane::TForm4::Tabs[1].newButton, CountdownTimeLabel1 = orvane::TForm4::Tabs[1].timeLabel;
constexpr int DialogName = orvane::TForm5::Edit5, DialogSecondsBox = orvane::TForm5::Edit4,
              DialogSecondsArrows = orvane::TForm5::UpDown4, DialogOk = orvane::TForm5::Button1;

struct WindowSearch {
    DWORD pid;
    std::wstring className, title;
    HWND found = nullptr;
};

BOOL CALLBACK matchTopWindow(HWND hwnd, LPARAM state) {
    auto* search = reinterpret_cast<WindowSearch*>(state);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    wchar_t className[64] = {};
    GetClassNameW(hwnd, className, 64);
    if (pid != search->pid || className != search->className || !IsWindowVisible(hwnd)) return TRUE;
    if (!search->title.empty() && windowText(hwnd) != search->title) return TRUE;
    search->found = hwnd;
    return FALSE;
}

// A visible top-level window of the program, waited for.
HWND waitForWindow(DWORD pid, const std::wstring& className, const std::wstring& title, int milliseconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    for (;;) {
        WindowSearch search{pid, className, title};
        EnumWindows(matchTopWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr || std::chrono::steady_clock::now() >= deadline) return search.found;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

BOOL CALLBACK matchChild(HWND child, LPARAM state) {
    auto* search = reinterpret_cast<std::pair<int, HWND>*>(state);
    if (GetDlgCtrlID(child) != search->first) return TRUE;
    search->second = child;
    return FALSE;
}

// Mouse clicks on the upper arrow of an up-down control, as a user gives them.
void clickUpArrow(HWND upDown, int times) {
    RECT area{};
    GetClientRect(upDown, &area);
    const LPARAM at = MAKELPARAM(area.right / 2, area.bottom / 4);
    for (int i = 0; i < times; ++i) {
        SendMessageW(upDown, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageW(upDown, WM_LBUTTONUP, 0, at);
    }
}

// A control by its number, on a tab page too.
HWND findControl(HWND window, int id) {
    std::pair<int, HWND> search{id, nullptr};
    EnumChildWindows(window, matchChild, reinterpret_cast<LPARAM>(&search));
    return search.second;
}

// The countdowns window, and the setup of its first countdown opened from
// "Nouveau Compte à rebours" with the confirmation answered Yes.
void openFirstCountdownSetup(DWORD pid, HWND mainWindow, HWND& countdowns, HWND& dialog) {
    PostMessageW(mainWindow, WM_COMMAND, Compterebours1, 0);
    countdowns = waitForWindow(pid, L"TForm4", L"", 5000);
    ASSERT_NE(countdowns, nullptr);
    // Posted: the confirmation box waits for its answer inside the click.
    PostMessageW(findControl(countdowns, CountdownNewButton1), BM_CLICK, 0, 0);
    const HWND confirmation = waitForWindow(pid, L"#32770", L"Attention...", 5000);
    ASSERT_NE(confirmation, nullptr);
    PostMessageW(GetDlgItem(confirmation, IDYES), BM_CLICK, 0, 0);
    dialog = waitForWindow(pid, L"TForm5", L"", 5000);
    ASSERT_NE(dialog, nullptr);
}

constexpr int CountdownRestart1 = orvane::TForm4::Tabs[1].restartButton;  // the restart picture of the first tab
const std::wstring countdownEnded = L"Compte à rebours terminé !";

// A countdown of three seconds from the gesture on: each value once, a
// second apart, then the end box on the next tick.
Log threeSecondCountdown(const std::wstring& gesture, const std::vector<Seen>& alsoDone = {}) {
    Log expected = {{0, L"> " + gesture}, {0, L"00:00:00"}};
    expected.insert(expected.end(), alsoDone.begin(), alsoDone.end());
    for (const Seen& seen : Log{{1000, L"00:00:02"}, {2000, L"00:00:01"}, {3000, L"00:00:00"},
                                {4000, L"[" + countdownEnded + L"]"}})
        expected.push_back(seen);
    return expected;
}

TEST_F(ClockUnderTest, ACountdownShowsEachSecondOnceThenItsBoxFromTheTrayAndAfterItsRestart) {
    ASSERT_NO_FATAL_FAILURE(start());
    const DWORD pid = process.dwProcessId;
    HWND countdowns = nullptr, dialog = nullptr;
    ASSERT_NO_FATAL_FAILURE(openFirstCountdownSetup(pid, mainWindow, countdowns, dialog));

    // Three seconds, named, through the dialog's own arrows.
    clickUpArrow(findControl(dialog, DialogSecondsArrows), 3);
    EXPECT_EQ(windowText(findControl(dialog, DialogSecondsBox)), L"3");
    SendMessageW(findControl(dialog, DialogName), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"Œufs"));

    const HWND timeLabel = findControl(countdowns, CountdownTimeLabel1);
    auto look = [&] {
        if (waitForWindow(pid, L"#32770", countdownEnded, 0) != nullptr) return L"[" + countdownEnded + L"]";
        return windowText(timeLabel);
    };
    // OK, then the program goes to the tray; the countdown goes on there.
    const Log fromTheTray = watch(look, 4600,
                                  {{0, L"OK", [&] { SendMessageW(findControl(dialog, DialogOk), BM_CLICK, 0, 0); }},
                                   {100, L"fermer", [&] { PostMessageW(mainWindow, WM_CLOSE, 0, 0); }}});
    expectLog(fromTheTray, threeSecondCountdown(L"OK", {{100, L"> fermer"}}));
    EXPECT_FALSE(IsWindowVisible(countdowns));

    const HWND end = waitForWindow(pid, L"#32770", countdownEnded, 3000);
    ASSERT_NE(end, nullptr) << "no end box";
    bool named = false;
    for (HWND child = GetWindow(end, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT))
        named = named || windowText(child) == L"Compte à rebours n°1 : Œufs est terminé.\r\nNon défini";
    EXPECT_TRUE(named);
    PostMessageW(GetDlgItem(end, IDOK), BM_CLICK, 0, 0);

    // Back from the tray, the same countdown again from its picture button.
    PostMessageW(mainWindow, WM_COMMAND, RestaurerItem, 0);
    PostMessageW(mainWindow, WM_COMMAND, Compterebours1, 0);
    ASSERT_EQ(waitForWindow(pid, L"TForm4", L"", 5000), countdowns);
    const auto boxGone = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (waitForWindow(pid, L"#32770", countdownEnded, 0) != nullptr && std::chrono::steady_clock::now() < boxGone)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    const Log restarted = watch(look, 4600, {{0, L"SpeedButton2", [&] {
                                                  SendMessageW(findControl(countdowns, CountdownRestart1), BM_CLICK, 0, 0);
                                              }}});
    expectLog(restarted, threeSecondCountdown(L"SpeedButton2"));

    if (const HWND again = waitForWindow(pid, L"#32770", countdownEnded, 0)) PostMessageW(GetDlgItem(again, IDOK), BM_CLICK, 0, 0);
    PostMessageW(mainWindow, WM_COMMAND, Quitter2, 0);
    ASSERT_TRUE(waitForExit());
}

// The stopwatches window as a driver sees it: the first tab.
constexpr orvane::TForm2::SlotControls Stopwatch1 = orvane::TForm2::Slots[0];
constexpr int StopwatchLabel1 = Stopwatch1.display, StopwatchStart1 = Stopwatch1.start, StopwatchStop1 = Stopwatch1.stop,
              StopwatchReset1 = Stopwatch1.reset, StopwatchLap1 = Stopwatch1.lap, StopwatchLaps1 = Stopwatch1.laps;

std::vector<std::wstring> listRows(HWND list) {
    std::vector<std::wstring> rows;
    const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT row = 0; row < count; ++row) {
        wchar_t text[64] = {};
        SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(text));
        rows.emplace_back(text);
    }
    return rows;
}

TEST_F(ClockUnderTest, AStopwatchShowsEachSecondOnceKeepsItsLapAndItsFractionAcrossStop) {
    ASSERT_NO_FATAL_FAILURE(start());
    PostMessageW(mainWindow, WM_COMMAND, Chronomtre1, 0);
    const HWND stopwatches = waitForWindow(process.dwProcessId, L"TForm2", L"", 5000);
    ASSERT_NE(stopwatches, nullptr);
    auto click = [&](int id) { return [=] { SendMessageW(findControl(stopwatches, id), BM_CLICK, 0, 0); }; };
    const HWND display = findControl(stopwatches, StopwatchLabel1);
    auto look = [&] { return windowText(display); };

    // The half second run before Stop is kept: the next second is complete
    // half a second after Start.
    const Log log = watch(look, 6800,
                          {{0, L"Start !", click(StopwatchStart1)}, {3500, L"tour", click(StopwatchLap1)},
                           {3500, L"Stop !", click(StopwatchStop1)}, {5000, L"Start !", click(StopwatchStart1)}});
    expectLog(log, {{0, L"> Start !"}, {0, L"00:00:00"}, {1000, L"00:00:01"}, {2000, L"00:00:02"},
                    {3000, L"00:00:03"}, {3500, L"> tour"}, {3500, L"> Stop !"}, {5000, L"> Start !"},
                    {5500, L"00:00:04"}, {6500, L"00:00:05"}});
    const HWND laps = findControl(stopwatches, StopwatchLaps1);
    EXPECT_EQ(listRows(laps), std::vector<std::wstring>{L"00:00:03"});

    // RAZ on a running stopwatch: zero, no laps, and it stays stopped.
    const Log reset = watch(look, 1300, {{0, L"RAZ", click(StopwatchReset1)}});
    expectLog(reset, {{0, L"> RAZ"}, {0, L"00:00:00"}});
    EXPECT_TRUE(listRows(laps).empty());
    PostMessageW(mainWindow, WM_COMMAND, Quitter1, 0);
    ASSERT_TRUE(waitForExit());
}

// The elapsed-time window as a driver sees it.
using Elapsed = orvane::Tpasttime;
constexpr int ElapsedPicker = Elapsed::DateTimePicker1, ElapsedHourArrows = Elapsed::UpDown1,
              ElapsedMinuteArrows = Elapsed::UpDown2, ElapsedSecondArrows = Elapsed::UpDown3;
constexpr int ElapsedHour = Elapsed::SpinEdit1, ElapsedMinute = Elapsed::SpinEdit2, ElapsedSecond = Elapsed::SpinEdit3,
              ElapsedVoir = Elapsed::Button1, ElapsedHeading = Elapsed::Label10;
constexpr int ElapsedLines[] = {Elapsed::Label1, Elapsed::Label2, Elapsed::Label3, Elapsed::Label4};

// A control message whose argument points to a value: the system carries
// only the pointer to another process, so the value is copied there first.
template <class Value>
LRESULT sendPointing(HANDLE process, HWND control, UINT message, WPARAM wParam, const Value& value) {
    void* remote = VirtualAllocEx(process, nullptr, sizeof value, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (remote == nullptr) return 0;
    WriteProcessMemory(process, remote, &value, sizeof value, nullptr);
    const LRESULT result = SendMessageW(control, message, wParam, reinterpret_cast<LPARAM>(remote));
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    return result;
}

SYSTEMTIME daysBefore(SYSTEMTIME day, int days) {
    FILETIME file;
    SystemTimeToFileTime(&day, &file);
    ULARGE_INTEGER ticks{{file.dwLowDateTime, file.dwHighDateTime}};
    ticks.QuadPart -= static_cast<ULONGLONG>(days) * 864000000000ull;
    file = {ticks.LowPart, ticks.HighPart};
    FileTimeToSystemTime(&file, &day);
    return day;
}

// Seconds since 1970 of a reading taken as UTC: for a local reading, the
// seconds of its wall clock.
long long wallSecondsOf(const SYSTEMTIME& t) {
    SYSTEMTIME whole = t;
    whole.wMilliseconds = 0;
    FILETIME file;
    SystemTimeToFileTime(&whole, &file);
    return static_cast<long long>((ULARGE_INTEGER{{file.dwLowDateTime, file.dwHighDateTime}}.QuadPart -
                                   116444736000000000ull) / 10000000);
}

long long utcSecondsOfLocal(const SYSTEMTIME& local) {
    SYSTEMTIME utc;
    TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc);
    return wallSecondsOf(utc);
}

long long utcSecondsNow() {
    SYSTEMTIME utc;
    GetSystemTime(&utc);
    return wallSecondsOf(utc);
}

// The offset of French time at a UTC instant, by the European rule: summer
// time from 01:00 UTC on the last Sunday of March to 01:00 UTC on the last
// Sunday of October.
double frenchOffsetAt(long long utcSeconds) {
    SYSTEMTIME utc{};
    const long long ticks = (utcSeconds + 11644473600ll) * 10000000ll;
    const FILETIME file{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    FileTimeToSystemTime(&file, &utc);
    const auto changeAt = [&](WORD month) {
        const long long endOfMonth = wallSecondsOf(SYSTEMTIME{utc.wYear, month, 0, 31, 1, 0, 0, 0});
        const long long weekday = (endOfMonth / 86400 + 4) % 7;  // 1 January 1970 was a Thursday; Sunday is 0
        return endOfMonth - weekday * 86400;
    };
    return utcSeconds >= changeAt(3) && utcSeconds < changeAt(10) ? 7200.0 : 3600.0;
}

// The four lines for a count of n seconds, from the days down to the seconds.
std::wstring elapsedLines(long long n) {
    wchar_t text[256];
    swprintf(text, 256,
             L"%lld jour(s), %lld heures, %lld minute(s), et %lld seconde(s) / %lld heures, %lld minute(s), et %lld "
             L"seconde(s) / %lld minute(s), et %lld seconde(s) / %lld seconde(s)",
             n / 86400, n % 86400 / 3600, n % 3600 / 60, n % 60, n / 3600, n % 3600 / 60, n % 60, n / 60, n % 60, n);
    return text;
}

TEST_F(ClockUnderTest, TheElapsedTimeShowsItsFourLinesAtEachTickFromTheMomentChosen) {
    ASSERT_NO_FATAL_FAILURE(start());
    PostMessageW(mainWindow, WM_COMMAND, PastTime1, 0);
    const HWND window = waitForWindow(process.dwProcessId, L"Tpasttime", L"", 5000);
    ASSERT_NE(window, nullptr);

    // Yesterday at 1:02:03, through the picker and the fields' arrows.
    SYSTEMTIME today;
    GetLocalTime(&today);
    const SYSTEMTIME yesterday = daysBefore(today, 1);
    ASSERT_TRUE(sendPointing(process.hProcess, findControl(window, ElapsedPicker), DTM_SETSYSTEMTIME, GDT_VALID, yesterday));
    const struct {
        int arrows, field, value;
    } fields[] = {{ElapsedHourArrows, ElapsedHour, 1}, {ElapsedMinuteArrows, ElapsedMinute, 2},
                  {ElapsedSecondArrows, ElapsedSecond, 3}};
    for (const auto& f : fields) {
        clickUpArrow(findControl(window, f.arrows), f.value);
        EXPECT_EQ(windowText(findControl(window, f.field)), std::to_wstring(f.value));
    }

    std::vector<HWND> lines;
    for (const int id : ElapsedLines) lines.push_back(findControl(window, id));
    auto look = [&] {
        std::wstring shown;
        for (const HWND line : lines) shown += (shown.empty() ? L"" : L" / ") + windowText(line);
        return shown;
    };
    const std::wstring before = look();
    // Pressed inside a second, so that the second the count starts from is known.
    SYSTEMTIME now;
    do {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        GetLocalTime(&now);
    } while (now.wMilliseconds < 100 || now.wMilliseconds > 600);
    SYSTEMTIME pressed{}, pressedEnd{};
    // Watched until halfway between the third tick and a fourth.
    const Log log = watch(look, 1000 - now.wMilliseconds + 2500, {{0, L"Voir !", [&] {
                                            GetLocalTime(&pressed);
                                            SendMessageW(findControl(window, ElapsedVoir), BM_CLICK, 0, 0);
                                            GetLocalTime(&pressedEnd);
                                        }}});
    ASSERT_EQ(pressed.wSecond, pressedEnd.wSecond) << "the click took most of a second";
    ASSERT_EQ(pressed.wDay, today.wDay) << "midnight came during the test";
    // Real seconds, the day after a change of clocks too.
    SYSTEMTIME since = yesterday;
    since.wHour = 1, since.wMinute = 2, since.wSecond = 3, since.wMilliseconds = 0;
    const long long n = utcSecondsOfLocal(pressed) - utcSecondsOfLocal(since);

    // The count moves with the clock's seconds: first when the second it was
    // read in is over, then at each next one.
    const long long firstTick = 1000 - pressed.wMilliseconds;
    expectLog(log, {{0, L"> Voir !"}, {0, before}, {firstTick, elapsedLines(n)}, {firstTick + 1000, elapsedLines(n + 1)},
                    {firstTick + 2000, elapsedLines(n + 2)}});
    EXPECT_EQ(windowText(findControl(window, ElapsedHeading)), L"Temps écoulé depuis le " + frenchDate(yesterday) + L" à 1:2:3");
    PostMessageW(mainWindow, WM_COMMAND, Quitter1, 0);
    ASSERT_TRUE(waitForExit());
}

// A moment in the other season, chosen through the windows as a user does:
// the countdown to it and the count since it show the real seconds, an hour
// away from what the two wall-clock readings would say.
TEST_F(ClockUnderTest, ACountdownByDateAndTheElapsedCountGoByRealTimeAcrossAChangeOfClocks) {
    // Paris, as the test runs it: UTC+1 in winter, UTC+2 in summer.
    SYSTEMTIME today;
    GetLocalTime(&today);
    const long long utcNow = utcSecondsNow();
    const long long offsetNow = wallSecondsOf(today) - utcNow;
    ASSERT_NEAR(static_cast<double>(offsetNow), frenchOffsetAt(utcNow), 5.0) << "the French time zone is not in effect";
    const bool summerNow = offsetNow > 5400;
    const auto atNoon = [](int year, int month) {
        return SYSTEMTIME{static_cast<WORD>(year), static_cast<WORD>(month), 0, 15, 12, 0, 0, 0};
    };
    const auto utcSecondsOfFrench = [](const SYSTEMTIME& t) { return wallSecondsOf(t) - (t.wMonth == 6 ? 7200 : 3600); };
    // Ahead in the other season, and behind in it.
    const SYSTEMTIME ahead = summerNow ? atNoon(today.wYear, 12) : atNoon(today.wMonth < 6 ? today.wYear : today.wYear + 1, 6);
    const SYSTEMTIME behind = summerNow ? atNoon(today.wYear, 1) : atNoon(today.wMonth > 6 ? today.wYear : today.wYear - 1, 6);

    ASSERT_NO_FATAL_FAILURE(start());
    const DWORD pid = process.dwProcessId;
    HWND countdowns = nullptr, dialog = nullptr;
    ASSERT_NO_FATAL_FAILURE(openFirstCountdownSetup(pid, mainWindow, countdowns, dialog));
    constexpr int DialogByDate = orvane::TForm5::RadioButton2, DialogPicker = orvane::TForm5::DateTimePicker1,
                  DialogHourArrows = orvane::TForm5::SpinEdit1Arrows;
    SendMessageW(findControl(dialog, DialogByDate), BM_CLICK, 0, 0);
    ASSERT_TRUE(sendPointing(process.hProcess, findControl(dialog, DialogPicker), DTM_SETSYSTEMTIME, GDT_VALID, ahead));
    clickUpArrow(findControl(dialog, DialogHourArrows), 12);
    SendMessageW(findControl(dialog, DialogOk), BM_CLICK, 0, 0);

    PostMessageW(mainWindow, WM_COMMAND, PastTime1, 0);
    const HWND past = waitForWindow(pid, L"Tpasttime", L"", 5000);
    ASSERT_NE(past, nullptr);
    ASSERT_TRUE(sendPointing(process.hProcess, findControl(past, ElapsedPicker), DTM_SETSYSTEMTIME, GDT_VALID, behind));
    clickUpArrow(findControl(past, ElapsedHourArrows), 12);
    SendMessageW(findControl(past, ElapsedVoir), BM_CLICK, 0, 0);

    // Each shows its first value within a second.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    std::wstring left, since;
    while ((left.empty() || left == L"00:00:00" || since.empty() || since == L"0 seconde(s)") &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        left = windowText(findControl(countdowns, CountdownTimeLabel1));
        since = windowText(findControl(past, ElapsedLines[3]));
    }
    const long long now = utcSecondsNow();
    long long h = 0, m = 0, s = 0, n = 0;
    ASSERT_EQ(swscanf(left.c_str(), L"%lld:%lld:%lld", &h, &m, &s), 3) << narrow(left);
    ASSERT_EQ(swscanf(since.c_str(), L"%lld seconde(s)", &n), 1) << narrow(since);
    EXPECT_NEAR(static_cast<double>(h * 3600 + m * 60 + s), static_cast<double>(utcSecondsOfFrench(ahead) - 17 - now), 2.0)
        << "left: " << narrow(left);
    EXPECT_NEAR(static_cast<double>(n), static_cast<double>(now - utcSecondsOfFrench(behind)), 2.0);
    PostMessageW(mainWindow, WM_COMMAND, Quitter1, 0);
    ASSERT_TRUE(waitForExit());
}

TEST_F(ClockUnderTest, TheSamplePluginBesideTheClockIsListedInItsMenuAndRuns) {
    ASSERT_FALSE(samplePlugin.empty());
    ASSERT_NO_FATAL_FAILURE(installPlugin(samplePlugin, L"Exemple.DLL"));
    ASSERT_NO_FATAL_FAILURE(start());
    // Through the menu bar as from the keyboard: F10, right to "Plug-ins",
    // down into it and Enter on its first item. The menu's own loop reads
    // these from the clock's queue.
    PostMessageW(mainWindow, WM_SYSCOMMAND, SC_KEYMENU, 0);
    for (const WPARAM key : {VK_RIGHT, VK_RIGHT, VK_DOWN, VK_RETURN}) PostMessageW(mainWindow, WM_KEYDOWN, key, 0);
    const HWND box = waitForBox(L"Exemple de plug-in");
    ASSERT_NE(box, nullptr) << "the sample did not run from the menu";
    EXPECT_NE(boxText(box).find(L"Bonjour"), std::wstring::npos);
    EXPECT_TRUE(clockMovesOn()) << "the plug-in's box runs the clock's timers";
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    PostMessageW(mainWindow, WM_COMMAND, Quitter1, 0);
    EXPECT_TRUE(waitForExit());
}

TEST_F(ClockUnderTest, APluginThatFailsShowsTheErrorBoxAndTheClockGoesOn) {
    ASSERT_FALSE(faultyPlugin.empty());
    ASSERT_NO_FATAL_FAILURE(installPlugin(faultyPlugin, L"Capteur.DLL"));
    ASSERT_NO_FATAL_FAILURE(start());
    PostMessageW(mainWindow, WM_COMMAND, firstPluginItem, 0);
    const HWND box = waitForBox(L"Orvane");
    ASSERT_NE(box, nullptr) << "no error box";
    EXPECT_EQ(boxText(box).rfind(L"Le plug-in « Capteur » a été interrompu : ", 0), 0u) << narrow(boxText(box));
    // Nothing but the clock and its error box: no box of a runtime on its way out.
    for (const HWND hwnd : processWindows())
        EXPECT_EQ(windowText(hwnd), L"Orvane") << narrow(windowText(hwnd));
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(clockMovesOn());
    EXPECT_FALSE(waitForExit(0));
    PostMessageW(mainWindow, WM_COMMAND, Quitter1, 0);
    ASSERT_TRUE(waitForExit());
    EXPECT_EQ(lines(readBytes(folder + L"Configuration.ini")).size(), 10u) << "the settings are still written";
}

// Hostile settings files and plug-in folders: the clock starts, and at the
// end it either writes its settings or says that it cannot.

// Shown: every window of the program is made, the plug-in menu too.
bool waitUntilShown(HWND window) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!IsWindowVisible(window)) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

std::wstring profileValue(const std::wstring& file, const wchar_t* section, const wchar_t* key) {
    std::wstring value(4096, L'\0');
    value.resize(GetPrivateProfileStringW(section, key, L"<absent>", value.data(), 4096, file.c_str()));
    return value;
}

// Settings files a user, a tool or bad luck may leave beside the clock.
std::string binaryBytes() {
    std::string bytes(64 * 1024, '\0');
    unsigned state = 12345;
    for (char& byte : bytes) {
        state = state * 1103515245u + 12345u;
        byte = static_cast<char>(state >> 23);
    }
    bytes[0] = 'M';  // no byte-order mark by chance
    return bytes;
}
std::string tenMegabytes() {
    std::string bytes = "[Journal]\r\n";
    for (int line = 0; bytes.size() < 10 * 1024 * 1024; ++line)
        bytes += "ligne" + std::to_string(line) + "=" + std::string(90, 'j') + "\r\n";
    return bytes + "fin=du journal\r\n[Options]\r\npenwidth=3\r\n";
}
std::string tenThousandKeys() {
    std::string bytes = "[Options]\r\n";
    for (int key = 1; key <= 10000; ++key) bytes += "Cle" + std::to_string(key) + "=valeur " + std::to_string(key) + "\r\n";
    return bytes + "dureevibre=7\r\n";
}
const std::string longRemark = "Remarque=" + std::string(100000, 'r');
const std::string longSection = "[" + std::string(100000, 's') + "]";
const std::string longWord(100000, 'x');
std::string longLines() {
    return "[Options]\r\nMusique=" + std::string(100000, 'm') + "\r\n" + longRemark + "\r\n" + longWord + "\r\n" +
           longSection + "\r\nk=v\r\n";
}
const std::string userFile = "[Options]\r\npenwidth=5\r\nMaCle=gard\xE9\x65\r\n";

// Several runs of the clock in one test, each one timed.
class HostileClock : public ClockUnderTest {
protected:
    struct StartTimes {
        long long shown, firstTick;  // milliseconds from the launch
    };
    StartTimes timedStart() {
        const auto launched = std::chrono::steady_clock::now();
        start();
        if (HasFatalFailure()) return {};
        EXPECT_TRUE(waitUntilShown(mainWindow));
        const long long shown = millisecondsSince(launched);
        EXPECT_TRUE(waitForFirstTick(mainWindow, std::chrono::seconds(10)));
        return {shown, millisecondsSince(launched)};
    }
};

TEST_F(HostileClock, HostileSettingsFilesStartTheClockAndEndWrittenOrReported) {
    enum class Kind { bytes, readOnly, locked, lockedAtStart, directory };
    const struct {
        const char* name;
        Kind kind;
        std::string bytes;
        std::vector<std::pair<const wchar_t*, std::wstring>> written;  // [Options] after the end
        std::vector<std::string> kept;  // the user's own lines, still there after the end
    } cases[] = {
        {"empty", Kind::bytes, "", {{L"Bip", L"1"}, {L"dureevibre", L"20"}, {L"penwidth", L"1"}}, {}},
        {"binary", Kind::bytes, binaryBytes(), {{L"Bip", L"1"}, {L"intensevibre", L"10"}, {L"penwidth", L"1"}}, {}},
        {"10 MB", Kind::bytes, tenMegabytes(), {{L"penwidth", L"3"}, {L"Couleur", L"0"}},
         {"ligne0=" + std::string(90, 'j'), "fin=du journal"}},
        {"10,000 keys", Kind::bytes, tenThousandKeys(), {{L"dureevibre", L"7"}, {L"penwidth", L"1"}},
         {"Cle1=valeur 1", "Cle10000=valeur 10000"}},
        {"100,000-character lines", Kind::bytes, longLines(), {{L"Musique", std::wstring(2047, L'm')}},
         {longRemark, longWord, longSection, "k=v"}},
        {"read-only", Kind::readOnly, userFile, {{L"penwidth", L"5"}}, {"MaCle=gard\xE9\x65"}},
        {"locked", Kind::locked, userFile, {{L"penwidth", L"5"}}, {"MaCle=gard\xE9\x65"}},
        {"locked at start only", Kind::lockedAtStart, userFile, {{L"penwidth", L"5"}, {L"Bip", L"1"}},
         {"MaCle=gard\xE9\x65"}},
        {"a folder", Kind::directory, "", {}, {}},
    };
    const std::wstring file = folder + L"Configuration.ini";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.kind == Kind::directory) ASSERT_TRUE(CreateDirectoryW(file.c_str(), nullptr));
        else writeBytes(file, c.bytes);
        // Wine run as root writes into read-only files: the clock then writes as usual.
        bool writable = c.kind == Kind::bytes || c.kind == Kind::lockedAtStart;
        if (c.kind == Kind::readOnly) {
            SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY);
            const HANDLE probe = CreateFileW(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                             OPEN_EXISTING, 0, nullptr);
            writable = probe != INVALID_HANDLE_VALUE;
            if (writable) CloseHandle(probe);
        }
        HANDLE lock = INVALID_HANDLE_VALUE;
        if (c.kind == Kind::locked || c.kind == Kind::lockedAtStart)
            lock = CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);

        StartTimes times{};
        ASSERT_NO_FATAL_FAILURE(times = timedStart());
        if (c.kind == Kind::lockedAtStart) {
            CloseHandle(lock);
            lock = INVALID_HANDLE_VALUE;
        }

        const auto quitAt = std::chrono::steady_clock::now();
        PostMessageW(mainWindow, WM_COMMAND, Quitter1, 0);
        if (writable) {
            ASSERT_TRUE(waitForExit(60000)) << "no end";
        } else if (c.kind == Kind::readOnly) {
            // The user may not change the file (Windows, unlike Wine as root):
            // the settings go to the user's own folder, and a box says where.
            const std::wstring moved = folder + L"AppData\\Orvane\\Configuration.ini";
            const HWND box = waitForBox(L"Orvane");
            ASSERT_NE(box, nullptr) << "not told where the settings went";
            EXPECT_EQ(boxText(box), L"Les réglages ne peuvent pas être enregistrés à côté du programme : ils le sont "
                                    L"désormais dans " + moved + L".");
            PostMessageW(box, WM_COMMAND, IDOK, 0);
            ASSERT_TRUE(waitForExit());
            EXPECT_EQ(profileValue(moved, L"Options", L"penwidth"), L"5");
        } else {
            const HWND box = waitForBox(L"Orvane");
            ASSERT_NE(box, nullptr) << "no error box";
            EXPECT_EQ(boxText(box), L"Impossible d'écrire dans " + file + L".");
            PostMessageW(box, WM_COMMAND, IDOK, 0);
            ASSERT_TRUE(waitForExit());
        }
        const long long ended = millisecondsSince(quitAt);
        std::printf("[ mesure   ] %-24s shown %5lld ms, first tick %5lld ms, end %5lld ms\n", c.name, times.shown,
                    times.firstTick, ended);
        DWORD exitCode = 1;
        GetExitCodeProcess(process.hProcess, &exitCode);
        EXPECT_EQ(exitCode, 0u) << "a normal end";

        if (lock != INVALID_HANDLE_VALUE) CloseHandle(lock);
        const std::string after = readBytes(file);
        if (!writable && c.kind != Kind::directory) {
            EXPECT_EQ(after, c.bytes) << "the user's file is untouched";
        }
        for (const auto& [key, value] : c.written) EXPECT_EQ(profileValue(file, L"Options", key), value) << narrow(key);
        for (const std::string& line : c.kept)
            EXPECT_NE(after.find("\n" + line + "\r\n"), std::string::npos) << "lost: " << line.substr(0, 40);

        SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (c.kind == Kind::directory) EXPECT_TRUE(RemoveDirectoryW(file.c_str())) << "the folder stays a folder";
        else DeleteFileW(file.c_str());
        forgetRun();
        // The system's profile reader keeps files it has read; a new one under
        // the same name must not be taken for the old one.
        WritePrivateProfileStringW(nullptr, nullptr, nullptr, file.c_str());
    }
}

// Sounds and faces in folders named in any script. Wine can put such names
// on its disk only under a locale the machine has, which the French one of
// the other runs is not: these tests run on their own, under another.
class ClockWithWorldPaths : public ClockUnderTest {
protected:
    // The options' controls as a driver sees them.
    using Options = orvane::TForm3;
    static constexpr int OptionsOk = Options::Button3, SoundFile = Options::Edit1, SoundBrowse = Options::Button2,
                         FaceFile = Options::Edit2, FaceBrowse = Options::Button6;
    // The chooser's file name box.
    static constexpr int chooserName = 0x47C;

    HWND openOptions() {
        PostMessageW(mainWindow, WM_COMMAND, Option1, 0);
        return waitForWindow(process.dwProcessId, L"TForm3", L"", 5000);
    }

    // "Parcourir...", the full name typed into the system's chooser, Enter.
    void choose(HWND options, int browse, const std::wstring& path) {
        PostMessageW(findControl(options, browse), BM_CLICK, 0, 0);
        const HWND chooser = waitForWindow(process.dwProcessId, L"#32770", L"", 10000);
        ASSERT_NE(chooser, nullptr) << "no file chooser";
        // The name box's edit field, inside a combo box inside an extended one.
        HWND name = findControl(chooser, chooserName);
        for (HWND inner; (inner = FindWindowExW(name, nullptr, nullptr, nullptr)) != nullptr;) name = inner;
        for (const wchar_t c : path) PostMessageW(name, WM_CHAR, c, 1);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (windowText(name) != path && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        PostMessageW(name, WM_KEYDOWN, VK_RETURN, 1);
        while (IsWindow(chooser) && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        ASSERT_FALSE(IsWindow(chooser)) << "the chooser did not take " << narrow(path);
    }
};

// A 24-bit bitmap of one grey.
std::string bitmapFile(LONG width, LONG height) {
    const DWORD pixels = static_cast<DWORD>(((width * 3 + 3) & ~3) * height);
    const BITMAPINFOHEADER info{sizeof info, width, height, 1, 24, BI_RGB, pixels, 0, 0, 0, 0};
    const DWORD offset = 14 + sizeof info, header[] = {offset + pixels, 0, offset};  // after "BM"
    return "BM" + std::string(reinterpret_cast<const char*>(header), sizeof header) +
           std::string(reinterpret_cast<const char*>(&info), sizeof info) + std::string(pixels, '\x80');
}

// Saved by Notepad in UTF-8, with its mark and without: read as written, and
// written back in UTF-16 with every line, one section of each name.
TEST_F(ClockUnderTest, ASettingsFileSavedAsUtf8IsReadAndWrittenAsTheUserWroteIt) {
    const std::wstring file = folder + L"Configuration.ini";
    for (const std::string mark : {"\xEF\xBB\xBF", ""}) {
        writeBytes(file, mark + "; r\xC3\xA9glages\r\n[Options]\r\nMusique=C:\\Sons\\\xC3\xA9t\xC3\xA9.wav\r\n"
                                "penwidth=3\r\n[Autre]\r\nx=1\r\n");
        ASSERT_NO_FATAL_FAILURE(start());
        PostMessageW(mainWindow, WM_COMMAND, Quitter1, 0);
        ASSERT_TRUE(waitForExit());
        forgetRun();
        const std::string bytes = readBytes(file);
        ASSERT_EQ(bytes.substr(0, 2), "\xFF\xFE") << mark.size();
        const std::wstring text(reinterpret_cast<const wchar_t*>(bytes.data() + 2), (bytes.size() - 2) / 2);
        EXPECT_EQ(text.find(L"; réglages\r\n[Options]\r\n"), 0u) << mark.size();
        EXPECT_EQ(text.find(L"[Options]", 1), text.rfind(L"[Options]")) << "a second section";
        for (const auto& [section, key, value] : {std::tuple{L"Options", L"Musique", L"C:\\Sons\\été.wav"},
                                                  std::tuple{L"Options", L"penwidth", L"3"},
                                                  std::tuple{L"Autre", L"x", L"1"}})
            EXPECT_EQ(profileValue(file, section, key), value) << mark.size();
    }
}

TEST_F(ClockWithWorldPaths, ACyrillicSoundAndFaceSurviveOkQuitAndStart) {
    const std::wstring file = folder + L"Configuration.ini";
    writeBytes(file, "; r\xE9glages\r\n[Options]\r\npenwidth=3\r\nMaCle=gard\xE9\x65\r\n\r\n[Autre]\r\nx=1\r\n");
    const std::wstring media = folder + L"Звуки и циферблаты\\";
    const std::wstring sound = media + L"бой.wav", face = media + L"циферблат.bmp";
    ASSERT_TRUE(CreateDirectoryW(media.c_str(), nullptr)) << "this run's locale cannot name the folder";
    writeBytes(sound, "RIFF");  // the chooser takes only a file that is there
    writeBytes(face, bitmapFile(58, 56));
    struct Cleanup {
        std::wstring media, sound, face;
        ~Cleanup() {
            DeleteFileW(sound.c_str());
            DeleteFileW(face.c_str());
            RemoveDirectoryW(media.c_str());
        }
    } cleanup{media, sound, face};

    ASSERT_NO_FATAL_FAILURE(start());
    HWND options = openOptions();
    ASSERT_NE(options, nullptr);
    ASSERT_NO_FATAL_FAILURE(choose(options, SoundBrowse, sound));
    ASSERT_NO_FATAL_FAILURE(choose(options, FaceBrowse, face));
    // "OK" saves before the quit that follows it in the queue is taken.
    PostMessageW(findControl(options, OptionsOk), BM_CLICK, 0, 0);
    PostMessageW(mainWindow, WM_COMMAND, Quitter1, 0);
    ASSERT_TRUE(waitForExit());
    forgetRun();
    // The file holds the names, and all it held.
    const std::tuple<const wchar_t*, const wchar_t*, std::wstring> kept[] = {
        {L"Options", L"Musique", sound}, {L"Options", L"Pendule", face}, {L"Options", L"penwidth", L"3"},
        {L"Options", L"MaCle", L"gardée"}, {L"Autre", L"x", L"1"}};
    for (const auto& [section, key, value] : kept) EXPECT_EQ(profileValue(file, section, key), value) << narrow(key);
    EXPECT_EQ(readBytes(file).substr(0, 2), "\xFF\xFE") << "not a file that can hold the names";

    ASSERT_NO_FATAL_FAILURE(start());
    ASSERT_TRUE(waitForFirstTick(mainWindow, std::chrono::seconds(5)));
    EXPECT_EQ(windowText(GetDlgItem(mainWindow, StatusBar1)), L"") << "the face was not read";
    options = openOptions();
    ASSERT_NE(options, nullptr);
    EXPECT_EQ(windowText(findControl(options, SoundFile)), sound);
    EXPECT_EQ(windowText(findControl(options, FaceFile)), face) << "the face is not there";
    // Written again into the file as it now is.
    PostMessageW(mainWindow, WM_COMMAND, Quitter1, 0);
    ASSERT_TRUE(waitForExit());
    for (const auto& [section, key, value] : kept) EXPECT_EQ(profileValue(file, section, key), value) << narrow(key);
}

TEST_F(HostileClock, APluginThatCorruptsTheProcessEndsItAfterTheBoxWithoutWritingTheSettings) {
    const std::string userBytes = "[Options]\r\npenwidth=4\r\nMaCle=gard\xE9\x65\r\n";
    const struct {
        const char* name;
        const std::wstring& built;
        const wchar_t* caption;
        bool settingsBefore;
    } cases[] = {
        {"heap corruption, a settings file beside", heapPlugin, L"Tas", true},
        {"stack buffer overrun, no settings file", overrunPlugin, L"Tampon", false},
    };
    const std::wstring file = folder + L"Configuration.ini";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_FALSE(c.built.empty());
        if (c.settingsBefore) writeBytes(file, userBytes);
        ASSERT_NO_FATAL_FAILURE(installPlugin(c.built, c.caption + std::wstring(L".DLL")));
        ASSERT_NO_FATAL_FAILURE(start());
        const DWORD pid = process.dwProcessId;
        std::wstring said;
        const Log log = watch(
            [&] {
                const HWND box = waitForWindow(pid, L"#32770", L"Orvane", 0);
                if (box == nullptr) return std::wstring(L"horloge");
                if (said.empty()) said = boxText(box);
                return std::wstring(L"[Orvane]");
            },
            1500, {{0, c.caption, [&] { PostMessageW(mainWindow, WM_COMMAND, firstPluginItem, 0); }}});
        expectLog(log, {{0, L"> " + std::wstring(c.caption)}, {0, L"horloge"}, {750, L"[Orvane]", 750}});
        EXPECT_EQ(said.rfind(L"Le plug-in « " + std::wstring(c.caption) + L" » a été interrompu", 0), 0u) << narrow(said);

        // OK, and the program ends by itself.
        PostMessageW(waitForWindow(pid, L"#32770", L"Orvane", 0), WM_COMMAND, IDOK, 0);
        const bool ended = waitForExit(5000);
        EXPECT_TRUE(ended) << "the program goes on after the box";
        if (!ended) {  // as it goes on, a user quits it
            PostMessageW(mainWindow, WM_COMMAND, Quitter1, 0);
            ASSERT_TRUE(waitForExit());
        }
        if (c.settingsBefore) EXPECT_EQ(readBytes(file), userBytes) << "the settings were written";
        else EXPECT_EQ(GetFileAttributesW(file.c_str()), INVALID_FILE_ATTRIBUTES) << "the settings were written";

        DeleteFileW(file.c_str());
        WritePrivateProfileStringW(nullptr, nullptr, nullptr, file.c_str());
        removePlugins();
        forgetRun();
    }
}

// The test plug-ins built beside this program.
std::wstring builtTestPlugin(const wchar_t* name) {
    wchar_t self[MAX_PATH];
    const std::wstring path(self, GetModuleFileNameW(nullptr, self, MAX_PATH));
    return path.substr(0, path.find_last_of(L'\\') + 1) + L"plugin-builds\\" + name;
}

// Whether the process has this library loaded.
bool hasModule(DWORD pid, const std::wstring& name) {
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE | TH32CS_SNAPMODULE32, pid);
    if (snapshot == INVALID_HANDLE_VALUE) return false;
    MODULEENTRY32W module{};
    module.dwSize = sizeof module;
    bool found = false;
    for (BOOL more = Module32FirstW(snapshot, &module); more && !found; more = Module32NextW(snapshot, &module))
        found = lstrcmpiW(module.szModule, name.c_str()) == 0;
    CloseHandle(snapshot);
    return found;
}

// The accessibility library costs the clock memory for as long as it runs:
// it comes only with a reader, which asks a named control what it is first.
TEST_F(ClockUnderTest, TheNamesForScreenReadersWaitForAReaderToAsk) {
    ASSERT_NO_FATAL_FAILURE(start());
    ASSERT_TRUE(waitForFirstTick(mainWindow, std::chrono::seconds(5))) << "no tick within five seconds";
    EXPECT_FALSE(hasModule(process.dwProcessId, L"oleacc.dll")) << "loaded with no reader";
    DWORD_PTR answer = 0;
    ASSERT_NE(SendMessageTimeoutW(GetDlgItem(mainWindow, Ids::Image1), WM_GETOBJECT, 0,
                                  static_cast<LPARAM>(OBJID_CLIENT), SMTO_ABORTIFHUNG, 5000, &answer),
              0);
    EXPECT_TRUE(hasModule(process.dwProcessId, L"oleacc.dll")) << "the dial was asked for and not named";
}

TEST_F(HostileClock, AThousandPluginFilesAndASlowLibraryKeepTheStartQuick) {
    const struct {
        const char* name;
        int files;
    } cases[] = {{"no plug-ins folder", 0}, {"1,000 files and a slow library", 1000}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.files > 0) {
            // Names with spaces and dots; the accented ones are listed by the
            // window test, since this run's French locale is not one the
            // machine has, and Wine then cannot put them on its disk.
            ASSERT_NO_FATAL_FAILURE(installPlugin(builtTestPlugin(L"Lent.DLL"), L"Lent a charger.DLL"));
            for (int number = 1; number < c.files; ++number) {
                wchar_t name[64];
                swprintf(name, 64, L"Reveil n %04d - Oeuvre d'ete. Version 2.DLL", number);
                writeBytes(folder + L"plugins\\" + name, "");
            }
        }
        StartTimes times{};
        ASSERT_NO_FATAL_FAILURE(times = timedStart());
        std::printf("[ mesure   ] %-32s shown %5lld ms, first tick %5lld ms\n", c.name, times.shown, times.firstTick);
        // The slow library alone would hold the start for three seconds.
        EXPECT_LT(times.shown, 2000) << "start-up loaded a library or stalled on the folder";
        ASSERT_TRUE(hasModule(process.dwProcessId, L"orvane.exe")) << "the process's libraries can be seen";
        EXPECT_FALSE(hasModule(process.dwProcessId, L"Lent a charger.DLL")) << "start-up loads no library";

        PostMessageW(mainWindow, WM_COMMAND, Quitter1, 0);
        ASSERT_TRUE(waitForExit());
        forgetRun();
    }
}

// Another start of the program in a folder, as a double click on it.
PROCESS_INFORMATION launch(const std::wstring& in) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    std::wstring commandLine = L"\"" + in + L"orvane.exe\"";
    CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, in.c_str(), &startup, &started);
    return started;
}

void forget(PROCESS_INFORMATION& started) {
    if (started.hProcess == nullptr) return;
    if (WaitForSingleObject(started.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(started.hProcess, 1);
    WaitForSingleObject(started.hProcess, 5000);
    CloseHandle(started.hProcess);
    CloseHandle(started.hThread);
    started = {};
}

// The clocks running in this Wine session.
int runningClocks() {
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return -1;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    int count = 0;
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry))
        if (lstrcmpiW(entry.szExeFile, L"orvane.exe") == 0) ++count;
    CloseHandle(snapshot);
    return count;
}

TEST_F(ClockUnderTest, ASecondStartBringsTheClockBackFromTheTrayAndEndsWhileAnotherFolderRunsItsOwn) {
    ASSERT_NO_FATAL_FAILURE(start());
    PostMessageW(mainWindow, WM_CLOSE, 0, 0);
    for (int wait = 0; IsWindowVisible(mainWindow) && wait < 250; ++wait)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_FALSE(IsWindowVisible(mainWindow)) << "the clock did not go to the tray";

    PROCESS_INFORMATION second = launch(folder);
    ASSERT_NE(second.hProcess, nullptr);
    EXPECT_EQ(WaitForSingleObject(second.hProcess, 15000), WAIT_OBJECT_0) << "the second start goes on running";
    DWORD exitCode = 1;
    GetExitCodeProcess(second.hProcess, &exitCode);
    EXPECT_EQ(exitCode, 0u);
    forget(second);
    EXPECT_TRUE(waitUntilShown(mainWindow)) << "the running clock did not come back";
    EXPECT_FALSE(waitForExit(0));
    EXPECT_EQ(runningClocks(), 1);
    EXPECT_TRUE(clockMovesOn());

    // Another folder, with its own settings file, has its own clock beside this one.
    const std::wstring other = folder.substr(0, folder.size() - 1) + L"-autre\\";
    ASSERT_TRUE(CreateDirectoryW(other.c_str(), nullptr));
    ASSERT_TRUE(CopyFileW(orvaneExe.c_str(), (other + L"orvane.exe").c_str(), FALSE));
    PROCESS_INFORMATION beside = launch(other);
    HWND besideWindow = nullptr;
    for (int wait = 0; besideWindow == nullptr && wait < 600; ++wait) {
        ProcessWindows windows{beside.dwProcessId, {}};
        EnumWindows(collectProcessWindow, reinterpret_cast<LPARAM>(&windows));
        for (const HWND window : windows.found) {
            wchar_t className[32] = {};
            GetClassNameW(window, className, 32);
            if (std::wstring(className) == L"TForm1") besideWindow = window;
        }
        if (besideWindow == nullptr) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    EXPECT_NE(besideWindow, nullptr) << "the clock of another folder did not start";
    EXPECT_EQ(runningClocks(), 2);
    if (besideWindow != nullptr) {
        PostMessageW(besideWindow, WM_COMMAND, Quitter1, 0);
        EXPECT_EQ(WaitForSingleObject(beside.hProcess, 15000), WAIT_OBJECT_0);
    }
    EXPECT_NE(GetFileAttributesW((other + L"Configuration.ini").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesW((folder + L"Configuration.ini").c_str()), INVALID_FILE_ATTRIBUTES)
        << "the other clock wrote this folder's file";
    EXPECT_FALSE(waitForExit(0)) << "the first clock ended with the other";
    forget(beside);
    for (const wchar_t* name : {L"orvane.exe", L"Configuration.ini"}) DeleteFileW((other + name).c_str());
    RemoveDirectoryW(other.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc < 2) {
        fprintf(stderr, "usage: e2e_tests path\\to\\orvane.exe\n");
        return 2;
    }
    const std::string path = argv[1];
    orvaneExe.assign(path.begin(), path.end());
    if (argc >= 4) {
        const std::string sample = argv[2], faulty = argv[3];
        samplePlugin.assign(sample.begin(), sample.end());
        faultyPlugin.assign(faulty.begin(), faulty.end());
    }
    if (argc >= 6) {
        const std::string heap = argv[4], overrun = argv[5];
        heapPlugin.assign(heap.begin(), heap.end());
        overrunPlugin.assign(overrun.begin(), overrun.end());
    }
    return RUN_ALL_TESTS();
}
