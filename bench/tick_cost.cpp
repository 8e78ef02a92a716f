// The cost of one clock tick, the dial's face read from its file as the
// program reads it, beside the floor program's tick, then of one second of
// the same clock made busy: the median of many timed batches, in
// microseconds. The clock's and the floor's batches take turns, so that both
// meet the machine as it is. (The cross toolchain has no Google Benchmark;
// this harness times the same way: warm-up, batches, median.)
#include <windows.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "app/application.hpp"
#include "clock/main_window.hpp"
#include "elapsed/elapsed_window.hpp"
#include "stopwatches/stopwatches_window.hpp"
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

    // The median of many timed batches of each step, per step, after three
    // batches to warm up; the steps' batches take turns.
    const auto microsecondsPerEach = [](auto... steps) {
        LARGE_INTEGER frequency;
        QueryPerformanceFrequency(&frequency);
        constexpr int batches = 30, stepsPerBatch = 100;
        std::array<std::vector<double>, sizeof...(steps)> perStep;
        for (int batch = -3; batch < batches; ++batch) {
            std::size_t which = 0;
            const auto time = [&](auto& step) {
                LARGE_INTEGER start, end;
                QueryPerformanceCounter(&start);
                for (int i = 0; i < stepsPerBatch; ++i) step(i);
                QueryPerformanceCounter(&end);
                if (batch >= 0)
                    perStep[which].push_back(1e6 * static_cast<double>(end.QuadPart - start.QuadPart) /
                                             frequency.QuadPart / stepsPerBatch);
                ++which;
            };
            (time(steps), ...);
        }
        std::array<double, sizeof...(steps)> medians{};
        for (std::size_t i = 0; i < perStep.size(); ++i) {
            std::sort(perStep[i].begin(), perStep[i].end());
            medians[i] = perStep[i][perStep[i].size() / 2];
        }
        return medians;
    };
    const auto microsecondsPer = [&](auto step) { return microsecondsPerEach(step)[0]; };
    const auto secondText = [](int i) {
        wchar_t text[16];
        wsprintfW(text, L"12:30:%02u", i % 60);
        return std::wstring(text);
    };

    // Real time passes a second a tick, from a second after a full hour:
    // every measuring of a variant ends before the next full hour, so no
    // hourly signal is in the figure.
    orvane::LocalTime hourStart = world.clock.now();
    hourStart.minute = 0;
    hourStart.second = 1;
    hourStart.millisecond = 0;
    std::int64_t second = 0;  // of the variant being measured
    std::int64_t monotonicStart = world.clock.monotonic;
    // The monotonic count never goes back: the next variant starts after it.
    const auto startVariant = [&] {
        world.clock.setLocal(hourStart);
        monotonicStart = world.clock.monotonic + 1000;
        second = 0;
    };
    startVariant();
    const orvane::Instant firstSecond = world.clock.utc;
    // The clock at `phaseMs` into the tick's second; both clocks move together.
    const auto at = [&](std::int64_t phaseMs) {
        world.clock.utc = orvane::Instant{firstSecond.ms + second * 1000 + phaseMs};
        world.clock.monotonic = monotonicStart + second * 1000 + phaseMs;
    };
    // The floor program's whole tick: the time written into a label of its
    // own window.
    const HWND window = CreateWindowExW(0, L"STATIC", L"Floor", WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE, 0, 0, 290,
                                        130, nullptr, nullptr, nullptr, nullptr);
    const HWND label = CreateWindowExW(0, L"STATIC", L"00:00:00", WS_CHILD | WS_VISIBLE, 72, 8, 120, 24, window,
                                       nullptr, nullptr, nullptr);
    const auto [clockTick, floorTick] = microsecondsPerEach(
        [&](int) {
            at(0);
            app.form1().ClockTick();
            ++second;
        },
        [&](int i) {
            SYSTEMTIME now;
            GetLocalTime(&now);
            wchar_t text[16];
            wsprintfW(text, L"%02u:%02u:%02u", now.wHour, now.wMinute, (now.wSecond + i) % 60);
            SetWindowTextW(label, text);
        });
    printf("clock_tick_us=%.1f\nfloor_tick_us=%.1f\n", clockTick, floorTick);

    // The same clock made busy as a user makes it: every alarm armed (twelve
    // hours away), every countdown (a day) and every stopwatch running, each
    // slot started at its own moment of the second as a user's clicks come,
    // and the elapsed time open and counting.
    startVariant();
    at(0);
    constexpr int slotPhaseMs = 150;
    for (int n = 1; n <= orvane::AlarmCount; ++n)
        app.form6().configure(n, {.Hour = (hourStart.hour + 12) % 24, .Minute = 10 * n, .Title = L"Banc",
                                  .Message = L"Banc"});
    for (int n = 1; n <= orvane::countdownCount; ++n) {
        at(n * slotPhaseMs);
        app.form4().table().configure(n, 86400 + 60 * n, L"Banc", L"Banc", false, L"",
                                      world.clock.monotonicMilliseconds());
        app.form4().keepTimerToWork(true);
    }
    const auto click = [](orvane::ui::Window& window, int id) {
        SendMessageW(window.hwnd(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(window.control(id)));
    };
    for (const orvane::TForm2::SlotControls& slot : orvane::TForm2::Slots) {
        at(slot.slot * slotPhaseMs);
        click(app.form2(), slot.start);
    }
    at(0);
    app.open(orvane::MainWindowIds::PastTime1);
    click(app.pasttime(), orvane::Tpasttime::Button1);
    ++second;
    // A second of it: the tick, then each slot's pass at its own moment, as
    // their timers come (each countdown's seconds fall at its own moment too).
    printf("busy_tick_us=%.1f\n", microsecondsPer([&](int) {
               at(0);
               app.form1().ClockTick();
               SendMessageW(app.pasttime().hwnd(), WM_TIMER, orvane::Tpasttime::Timer1, 0);
               for (int n = 1; n <= orvane::stopwatchCount; ++n) {
                   at(n * slotPhaseMs + 1);
                   SendMessageW(app.form4().hwnd(), WM_TIMER, orvane::TForm4::Timer1, 0);
                   SendMessageW(app.form2().hwnd(), WM_TIMER, static_cast<WPARAM>(n), 0);
               }
               ++second;
           }));
    const bool busy = app.form6().alarms().indicators().any && app.form4().timerRuns() &&
                      app.form2().table().slot(orvane::stopwatchCount).running && app.pasttime().count().running();

    // Of that, what the system charges for keeping the label's new text
    // alone, before the label draws it.
    printf("text_store_us=%.1f\n", microsecondsPer([&](int i) {
               DefWindowProcW(label, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(secondText(i).c_str()));
           }));
    printf("busy_status=%s\n", busy ? "busy" : "failed");
    printf("dial_status=%s\n", orvane::ui::windowText(app.form1().control(orvane::TForm1::StatusBar1)).empty() ? "drawn" : "failed");
    return 0;
}
