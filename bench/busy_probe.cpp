// Starts a clock program and makes it busy from outside, as a user would
// through its windows: every alarm armed, every countdown and every
// stopwatch running, the elapsed time open and counting; the other windows
// closed again. Then it reads the controls back (bells shown, counts moving)
// and fails, naming what, when any is not so. The program goes on running,
// busy, for bench/run.sh to measure. Prints pid=… on success.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "program_window.hpp"

#include "alarms/alarm_dialog.hpp"
#include "alarms/alarms_window.hpp"
#include "clock/main_window_ids.hpp"
#include "countdowns/countdown_dialog.hpp"
#include "countdowns/countdowns_window.hpp"
#include "elapsed/elapsed_window.hpp"
#include "stopwatches/stopwatches_window.hpp"

namespace {

using orvane::MainWindowIds;
using orvane::TForm2;
using orvane::TForm4;
using orvane::TForm5;
using orvane::TForm6;
using orvane::TForm7;
using orvane::Tpasttime;

PROCESS_INFORMATION program{};

[[noreturn]] void fail(const std::wstring& what) {
    fwprintf(stderr, L"busy_probe: %ls\n", what.c_str());
    if (program.hProcess != nullptr) TerminateProcess(program.hProcess, 1);
    exit(1);
}

std::wstring windowText(HWND hwnd) {
    wchar_t text[256] = {};
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(hwnd, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000,
                             &length))
        return L"";
    return std::wstring(text, length < 255 ? length : 255);
}

// A visible top-level window of the program, waited for ten seconds.
HWND waitForWindow(const wchar_t* className, const wchar_t* title = nullptr) {
    for (const ULONGLONG until = GetTickCount64() + 10000;;) {
        const HWND found = bench::findProgramWindow(program.dwProcessId, className, [title](HWND hwnd) {
            return IsWindowVisible(hwnd) && (title == nullptr || windowText(hwnd) == title);
        });
        if (found != nullptr) return found;
        if (GetTickCount64() > until) fail(std::wstring(L"no window ") + className + L" came up");
        Sleep(10);
    }
}

void waitUntilHidden(HWND window, const wchar_t* what) {
    for (const ULONGLONG until = GetTickCount64() + 10000; IsWindowVisible(window); Sleep(10))
        if (GetTickCount64() > until) fail(std::wstring(what) + L" did not close");
}

BOOL CALLBACK matchChild(HWND child, LPARAM state) {
    auto* search = reinterpret_cast<std::pair<int, HWND>*>(state);
    if (GetDlgCtrlID(child) != search->first) return TRUE;
    search->second = child;
    return FALSE;
}

// A control by its number, on a tab page too.
HWND control(HWND window, int id) {
    std::pair<int, HWND> search{id, nullptr};
    EnumChildWindows(window, matchChild, reinterpret_cast<LPARAM>(&search));
    if (search.second == nullptr) fail(L"no control " + std::to_wstring(id));
    return search.second;
}

// A click on a button; posted where the click waits for a box.
void click(HWND window, int id) { SendMessageW(control(window, id), BM_CLICK, 0, 0); }
void postClick(HWND window, int id) { PostMessageW(control(window, id), BM_CLICK, 0, 0); }

// The tab of slot n brought forward with a click on it, so that its buttons
// are the ones a user could click.
void clickTab(HWND window, int tabControlId, int n) {
    const HWND tabs = control(window, tabControlId);
    // Its rectangle is written into the program's memory, then read back.
    RECT* remote = static_cast<RECT*>(
        VirtualAllocEx(program.hProcess, nullptr, sizeof(RECT), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    RECT tab{};
    if (remote == nullptr || !SendMessageW(tabs, TCM_GETITEMRECT, static_cast<WPARAM>(n - 1), reinterpret_cast<LPARAM>(remote)) ||
        !ReadProcessMemory(program.hProcess, remote, &tab, sizeof tab, nullptr))
        fail(L"no tab " + std::to_wstring(n));
    VirtualFreeEx(program.hProcess, remote, 0, MEM_RELEASE);
    const LPARAM at = MAKELPARAM((tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2);
    SendMessageW(tabs, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(tabs, WM_LBUTTONUP, 0, at);
    if (SendMessageW(tabs, TCM_GETCURSEL, 0, 0) != n - 1) fail(L"the tab " + std::to_wstring(n) + L" did not come forward");
}

HWND openFromMenu(HWND mainWindow, int command, const wchar_t* className) {
    PostMessageW(mainWindow, WM_COMMAND, command, 0);
    return waitForWindow(className);
}

// Every alarm set twelve hours from now (none rings while measured), each
// through its "Configurer..." and the dialog's OK, which arms it.
HWND armAlarms(HWND mainWindow, int hourNow) {
    const HWND alarms = openFromMenu(mainWindow, MainWindowIds::Alarme1, L"TForm6");
    for (int n = 1; n <= orvane::AlarmCount; ++n) {
        const TForm6::SlotControls& slot = TForm6::slotControls[static_cast<std::size_t>(n)];
        clickTab(alarms, TForm6::PageControl1, n);
        postClick(alarms, slot.configure);
        const HWND dialog = waitForWindow(L"TForm7");
        SendMessageW(control(dialog, TForm7::UpDown2), UDM_SETPOS32, 0, (hourNow + 12) % 24);
        SendMessageW(control(dialog, TForm7::UpDown1), UDM_SETPOS32, 0, 10 * n);
        const std::wstring title = L"Banc " + std::to_wstring(n);
        SendMessageW(control(dialog, TForm7::Edit2), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(title.c_str()));
        click(dialog, TForm7::Button2);
        waitUntilHidden(dialog, L"the alarm's dialog");
        wchar_t expected[16];
        swprintf(expected, 16, L"%02d:%02d:00", (hourNow + 12) % 24, 10 * n);
        const std::wstring shown = windowText(control(alarms, slot.timeLabel));
        if (shown != expected) fail(L"alarm " + std::to_wstring(n) + L" shows " + shown + L", not " + expected);
    }
    return alarms;
}

// Every countdown set to a day (and n minutes) through "Nouveau Compte à
// rebours", its confirmation and the dialog's OK, which starts it.
HWND startCountdowns(HWND mainWindow) {
    const HWND countdowns = openFromMenu(mainWindow, MainWindowIds::Compterebours1, L"TForm4");
    for (int n = 1; n <= orvane::countdownCount; ++n) {
        clickTab(countdowns, TForm4::PageControl1, n);
        // Posted: the confirmation box waits for its answer inside the click.
        postClick(countdowns, TForm4::Tabs[static_cast<std::size_t>(n)].newButton);
        PostMessageW(GetDlgItem(waitForWindow(L"#32770", L"Attention..."), IDYES), BM_CLICK, 0, 0);
        const HWND dialog = waitForWindow(L"TForm5");
        SendMessageW(control(dialog, TForm5::UpDown1), UDM_SETPOS32, 0, 1);
        SendMessageW(control(dialog, TForm5::UpDown3), UDM_SETPOS32, 0, n);
        const std::wstring name = L"Banc " + std::to_wstring(n);
        SendMessageW(control(dialog, TForm5::Edit5), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
        click(dialog, TForm5::Button1);
        waitUntilHidden(dialog, L"the countdown's dialog");
    }
    return countdowns;
}

HWND startStopwatches(HWND mainWindow) {
    const HWND stopwatches = openFromMenu(mainWindow, MainWindowIds::Chronomtre1, L"TForm2");
    for (const TForm2::SlotControls& slot : TForm2::Slots) {
        clickTab(stopwatches, TForm2::PageControl1, slot.slot);
        click(stopwatches, slot.start);
    }
    return stopwatches;
}

// Since midnight today, the moment the window opens on.
HWND startElapsed(HWND mainWindow) {
    const HWND elapsed = openFromMenu(mainWindow, MainWindowIds::PastTime1, L"Tpasttime");
    click(elapsed, Tpasttime::Button1);
    return elapsed;
}

bool shown(HWND control) { return (GetWindowLongW(control, GWL_STYLE) & WS_VISIBLE) != 0; }

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        fwprintf(stderr, L"usage: busy_probe program.exe\n");
        return 2;
    }
    std::wstring commandLine = std::wstring(L"\"") + argv[1] + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &program))
        fail(L"the program did not start");
    const HWND mainWindow = waitForWindow(L"TForm1");
    // Started: the first tick replaced the label's initial text.
    for (const ULONGLONG until = GetTickCount64() + 30000;;) {
        const std::wstring time = windowText(GetDlgItem(mainWindow, MainWindowIds::Label2));
        if (!time.empty() && time != L"00:00:00") break;
        if (GetTickCount64() > until) fail(L"the clock did not tick");
        Sleep(10);
    }

    SYSTEMTIME now;
    GetLocalTime(&now);
    const HWND alarms = armAlarms(mainWindow, now.wHour);
    const HWND countdowns = startCountdowns(mainWindow);
    const HWND stopwatches = startStopwatches(mainWindow);
    const HWND elapsed = startElapsed(mainWindow);
    // As a user leaves them: the elapsed time open, the others closed.
    for (const HWND window : {alarms, countdowns, stopwatches}) {
        PostMessageW(window, WM_CLOSE, 0, 0);
        waitUntilHidden(window, L"a window");
    }

    struct Count {
        std::wstring name;
        HWND label;
        std::wstring before;
    };
    std::vector<Count> counts;
    for (int n = 1; n <= orvane::countdownCount; ++n)
        counts.push_back({L"countdown " + std::to_wstring(n),
                          control(countdowns, TForm4::Tabs[static_cast<std::size_t>(n)].timeLabel), L""});
    for (const TForm2::SlotControls& slot : TForm2::Slots)
        counts.push_back({L"stopwatch " + std::to_wstring(slot.slot), control(stopwatches, slot.display), L""});
    counts.push_back({L"the elapsed time", control(elapsed, Tpasttime::Label4), L""});
    for (Count& count : counts) count.before = windowText(count.label);
    // Read back after two ticks: every count moved on, every bell shown.
    Sleep(2200);
    for (const Count& count : counts) {
        const std::wstring after = windowText(count.label);
        if (after == count.before || after == L"00:00:00")
            fail(count.name + L" does not move: " + count.before + L" then " + after);
    }
    // The bells show at the tick after the alarms were armed.
    for (int n = 1; n <= orvane::AlarmCount; ++n)
        if (!shown(control(alarms, TForm6::slotControls[static_cast<std::size_t>(n)].indicator)))
            fail(L"the bell of alarm " + std::to_wstring(n) + L" is not shown");
    if (!shown(GetDlgItem(mainWindow, MainWindowIds::Image2))) fail(L"the main window's bell is not shown");
    if (!IsWindowVisible(elapsed)) fail(L"the elapsed time is not open");
    printf("pid=%lu\n", program.dwProcessId);
    return 0;
}
