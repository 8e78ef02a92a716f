// The cost of one clock tick, the dial's face read from its file as the
// program reads it, and beside it the floor program's tick: the median of
// many timed batches, in microseconds. (The cross toolchain has no Google Benchmark; this harness
// times the same way: warm-up, batches, median.)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/application.hpp"
#include "clock/main_window.hpp"
#include "platform/win32/services.hpp"
#include "support/fake_world.hpp"

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        fwprintf(stderr, L"usage: tick_cost HORLOGE.BMP\n");
        return 2;
    }
    orvane::testing::FakeWorld world;
    orvane::win32::DiskFiles disk;
    orvane::Application app(world.services({.files = &disk}));
    app.create();
    app.form1().settings.Pendule = argv[1];

    // The median of many timed batches of a step, per step, after three
    // batches to warm up.
    const auto microsecondsPer = [](auto step) {
        LARGE_INTEGER frequency;
        QueryPerformanceFrequency(&frequency);
        constexpr int batches = 30, stepsPerBatch = 100;
        std::vector<double> perStep;
        for (int batch = -3; batch < batches; ++batch) {
            LARGE_INTEGER start, end;
            QueryPerformanceCounter(&start);
            for (int i = 0; i < stepsPerBatch; ++i) step(i);
            QueryPerformanceCounter(&end);
            if (batch >= 0)
                perStep.push_back(1e6 * static_cast<double>(end.QuadPart - start.QuadPart) / frequency.QuadPart /
                                  stepsPerBatch);
        }
        std::sort(perStep.begin(), perStep.end());
        return perStep[perStep.size() / 2];
    };
    const auto secondText = [](int i) {
        wchar_t text[16];
        wsprintfW(text, L"12:30:%02u", i % 60);
        return std::wstring(text);
    };

    // Within minute 30: never a full hour, so no signal in the figure.
    orvane::LocalTime halfPast = world.clock.now();
    halfPast.minute = 30;
    halfPast.second = 0;
    world.clock.setLocal(halfPast);
    const orvane::Instant minuteStart = world.clock.utc;
    printf("clock_tick_us=%.1f\n", microsecondsPer([&](int i) {
               world.clock.utc = orvane::Instant{minuteStart.ms + (i % 60) * 1000};
               app.form1().ClockTick();
           }));

    // The floor program's whole tick, timed the same way: the time written
    // into a label of its own window.
    const HWND window = CreateWindowExW(0, L"STATIC", L"Floor", WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE, 0, 0, 290,
                                        130, nullptr, nullptr, nullptr, nullptr);
    const HWND label = CreateWindowExW(0, L"STATIC", L"00:00:00", WS_CHILD | WS_VISIBLE, 72, 8, 120, 24, window,
                                       nullptr, nullptr, nullptr);
    printf("floor_tick_us=%.1f\n", microsecondsPer([&](int i) {
               SYSTEMTIME now;
               GetLocalTime(&now);
               wchar_t text[16];
               wsprintfW(text, L"%02u:%02u:%02u", now.wHour, now.wMinute, (now.wSecond + i) % 60);
               SetWindowTextW(label, text);
           }));
    // Of that, what the system charges for keeping the label's new text
    // alone, before the label draws it.
    printf("text_store_us=%.1f\n", microsecondsPer([&](int i) {
               DefWindowProcW(label, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(secondText(i).c_str()));
           }));
    printf("dial_status=%s\n", orvane::ui::windowText(app.form1().control(orvane::TForm1::StatusBar1)).empty() ? "drawn" : "failed");
    return 0;
}
