// The real orvane.exe, copied into a scratch folder and started as a user
// starts it; it is read and driven from outside, as a test driver would.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

std::wstring orvaneExe;  // from the command line

// Control and command numbers of the main window, as a driver sees them.
constexpr int Label2 = 102, Label1 = 103, Label3 = 104;
constexpr int Quitter1 = 201, Quitter2 = 303;

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
    std::ofstream out(narrow(path), std::ios::binary);
    out << bytes;
}

std::wstring windowText(HWND hwnd) {
    wchar_t text[256] = {};
    SendMessageTimeoutW(hwnd, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, nullptr);
    return text;
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
    }
    void TearDown() override {
        if (process.hProcess != nullptr) {
            if (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(process.hProcess, 1);
            WaitForSingleObject(process.hProcess, 5000);
            CloseHandle(process.hProcess);
            CloseHandle(process.hThread);
        }
        for (const wchar_t* name : {L"orvane.exe", L"Configuration.ini"}) DeleteFileW((folder + name).c_str());
        RemoveDirectoryW(folder.c_str());
    }

    void start() {
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        std::wstring commandLine = L"\"" + folder + L"orvane.exe\"";
        ASSERT_TRUE(CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                   folder.c_str(), &startup, &process));
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

    std::wstring label(int id) { return windowText(GetDlgItem(mainWindow, id)); }

    std::wstring folder;
    PROCESS_INFORMATION process{};
    HWND mainWindow = nullptr;
};

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

TEST_F(ClockUnderTest, ShowsTheTimeDateAndFrenchDayWithinTwoSeconds) {
    ASSERT_NO_FATAL_FAILURE(start());
    const auto shownAt = std::chrono::steady_clock::now();
    const std::wregex time(L"\\d\\d:\\d\\d:\\d\\d");
    std::wstring shownTime;
    while (std::chrono::steady_clock::now() - shownAt < std::chrono::seconds(2)) {
        shownTime = label(Label2);
        if (label(Label1) != L"00/00/0000") break;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    SYSTEMTIME now;
    GetLocalTime(&now);
    EXPECT_TRUE(std::regex_match(shownTime, time)) << narrow(shownTime);
    EXPECT_NE(label(Label1), L"00/00/0000") << "no tick within two seconds";

    // Read twice around the labels so that a midnight in between cannot fail us.
    const wchar_t* days[] = {L"Dimanche", L"Lundi", L"Mardi", L"Mercredi", L"Jeudi", L"Vendredi", L"Samedi"};
    const std::wstring date = label(Label1), day = label(Label3);
    SYSTEMTIME after;
    GetLocalTime(&after);
    EXPECT_TRUE(date == frenchDate(now) || date == frenchDate(after)) << narrow(date);
    EXPECT_TRUE(day == days[now.wDayOfWeek] || day == days[after.wDayOfWeek]) << narrow(day);

    // The seconds follow the real clock closely.
    std::this_thread::sleep_for(std::chrono::milliseconds(1300));
    GetLocalTime(&now);
    wchar_t expected[16];
    swprintf(expected, 16, L"%02u:%02u:%02u", now.wHour, now.wMinute, now.wSecond);
    const std::wstring shown = label(Label2);
    SYSTEMTIME second;
    GetLocalTime(&second);
    wchar_t expectedAfter[16];
    swprintf(expectedAfter, 16, L"%02u:%02u:%02u", second.wHour, second.wMinute, second.wSecond);
    EXPECT_TRUE(shown == expected || shown == expectedAfter) << narrow(shown) << " vs " << narrow(expected);
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
constexpr int Compterebours1 = 204;
constexpr int CountdownNewButton1 = 150, CountdownTimeLabel1 = 120;
constexpr int DialogName = 101, DialogSecondsBox = 115, DialogSecondsArrows = 116, DialogOk = 136;

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

// A control by its number, on a tab page too.
HWND findControl(HWND window, int id) {
    std::pair<int, HWND> search{id, nullptr};
    EnumChildWindows(window, matchChild, reinterpret_cast<LPARAM>(&search));
    return search.second;
}

TEST_F(ClockUnderTest, ACountdownRunsInTheTrayAndItsBoxComesOnTime) {
    ASSERT_NO_FATAL_FAILURE(start());
    const DWORD pid = process.dwProcessId;
    PostMessageW(mainWindow, WM_COMMAND, Compterebours1, 0);
    const HWND countdowns = waitForWindow(pid, L"TForm4", L"", 5000);
    ASSERT_NE(countdowns, nullptr);

    // Posted: the confirmation box waits for its answer inside the click.
    PostMessageW(findControl(countdowns, CountdownNewButton1), BM_CLICK, 0, 0);
    const HWND confirmation = waitForWindow(pid, L"#32770", L"Attention...", 5000);
    ASSERT_NE(confirmation, nullptr);
    PostMessageW(GetDlgItem(confirmation, IDYES), BM_CLICK, 0, 0);
    const HWND dialog = waitForWindow(pid, L"TForm5", L"", 5000);
    ASSERT_NE(dialog, nullptr);

    // Two seconds, named, through the dialog's own arrows.
    const HWND arrows = findControl(dialog, DialogSecondsArrows);
    SendMessageW(arrows, UDM_SETPOS32, 0, 2);
    SendMessageW(dialog, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 2), reinterpret_cast<LPARAM>(arrows));
    EXPECT_EQ(windowText(findControl(dialog, DialogSecondsBox)), L"2");
    SendMessageW(findControl(dialog, DialogName), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"Œufs"));
    SendMessageW(findControl(dialog, DialogOk), BM_CLICK, 0, 0);
    const auto started = std::chrono::steady_clock::now();

    // The program goes to the tray; the countdown goes on.
    PostMessageW(mainWindow, WM_CLOSE, 0, 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(1200));
    EXPECT_FALSE(IsWindowVisible(countdowns));
    const std::wstring shown = windowText(findControl(countdowns, CountdownTimeLabel1));
    EXPECT_TRUE(shown == L"00:00:01" || shown == L"00:00:00") << narrow(shown);

    const HWND end = waitForWindow(pid, L"#32770", L"Compte à rebours terminé !", 8000);
    const auto endedAfter = std::chrono::steady_clock::now() - started;
    ASSERT_NE(end, nullptr) << "no end box";
    // Between two and three seconds after the start; generous bounds for a busy machine.
    EXPECT_GE(endedAfter, std::chrono::milliseconds(1800));
    EXPECT_LE(endedAfter, std::chrono::milliseconds(6000));
    bool named = false;
    for (HWND child = GetWindow(end, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT))
        named = named || windowText(child) == L"Compte à rebours n°1 : Œufs est terminé.\r\nNon défini";
    EXPECT_TRUE(named);

    PostMessageW(GetDlgItem(end, IDOK), BM_CLICK, 0, 0);
    PostMessageW(mainWindow, WM_COMMAND, Quitter2, 0);
    ASSERT_TRUE(waitForExit());
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
    return RUN_ALL_TESTS();
}
