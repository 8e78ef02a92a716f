// Starts a clock program, then watches its time label from outside for a
// while: how long after each true second boundary the label changed, and
// whether a second was skipped. Prints key=value lines for bench/run.sh.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "program_window.hpp"

namespace {

// Local wall-clock milliseconds since midnight, precise to the system's clock.
long long localMs() {
    FILETIME utc, local;
    GetSystemTimePreciseAsFileTime(&utc);
    FileTimeToLocalFileTime(&utc, &local);
    ULARGE_INTEGER t;
    t.LowPart = local.dwLowDateTime;
    t.HighPart = local.dwHighDateTime;
    return static_cast<long long>(t.QuadPart / 10000 % 86400000);
}

std::wstring label(HWND control) {
    wchar_t text[64] = {};
    DWORD_PTR ignored;
    SendMessageTimeoutW(control, WM_GETTEXT, 64, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 1000, &ignored);
    return text;
}

long long secondsOf(const std::wstring& text) {
    unsigned h = 0, m = 0, s = 0;
    if (swscanf(text.c_str(), L"%u:%u:%u", &h, &m, &s) != 3) return -1;
    return h * 3600LL + m * 60 + s;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 5) {
        fwprintf(stderr, L"usage: timing_probe program.exe windowClass labelId seconds\n");
        return 2;
    }
    const int labelId = _wtoi(argv[3]);
    const int seconds = _wtoi(argv[4]);
    std::wstring commandLine = std::wstring(L"\"") + argv[1] + L"\"";
    STARTUPINFOW startup{sizeof startup};
    PROCESS_INFORMATION process{};
    const long long launched = GetTickCount64();
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return 1;
    printf("pid=%lu\n", process.dwProcessId);

    HWND found = nullptr;
    while ((found = bench::findProgramWindow(process.dwProcessId, argv[2])) == nullptr &&
           GetTickCount64() - launched < 30000)
        Sleep(1);
    if (found == nullptr) return 1;
    // The window may be found before its controls are made.
    HWND control = nullptr;
    while ((control = GetDlgItem(found, labelId)) == nullptr && GetTickCount64() - launched < 30000) Sleep(1);
    // The first tick replaces the label's initial "00:00:00" with a real time.
    for (std::wstring text = label(control); (text.empty() || text == L"00:00:00") && GetTickCount64() - launched < 30000;
         text = label(control))
        Sleep(1);
    printf("first_tick_ms=%llu\n", GetTickCount64() - launched);
    fflush(stdout);

    // Watch: each change of the label, against the true time it showed.
    std::vector<long long> lateness;
    long long previous = secondsOf(label(control));
    std::wstring shown = label(control);
    int skipped = 0, backwards = 0;
    const long long end = GetTickCount64() + seconds * 1000LL;
    while (GetTickCount64() < end) {
        const std::wstring now = label(control);
        const long long at = localMs();
        if (now != shown) {
            shown = now;
            const long long value = secondsOf(now);
            long long late = at - value * 1000;
            if (late < -43200000) late += 86400000;  // across midnight
            lateness.push_back(late);
            if (value == previous + 1 || (previous == 86399 && value == 0)) {
            } else if (value > previous) {
                skipped += static_cast<int>(value - previous - 1);
            } else {
                ++backwards;
            }
            previous = value;
        }
        Sleep(1);
    }
    std::sort(lateness.begin(), lateness.end());
    auto percentile = [&](double p) {
        if (lateness.empty()) return -1LL;
        return lateness[std::min(lateness.size() - 1, static_cast<std::size_t>(p * (lateness.size() - 1) + 0.5))];
    };
    printf("changes=%zu\nlate_median_ms=%lld\nlate_p99_ms=%lld\nlate_max_ms=%lld\nskipped=%d\nbackwards=%d\n",
           lateness.size(), percentile(0.5), percentile(0.99), lateness.empty() ? -1LL : lateness.back(), skipped,
           backwards);
    fflush(stdout);
    return 0;
}
