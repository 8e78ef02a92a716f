#pragma once
// A day of a stopwatch, a countdown and the elapsed count on a timer service
// that delivers every event a little late and holds the program busy for a
// few seconds once an hour, as Windows does to a program whose 1000 ms timers
// round up to the system tick and whose thread now and then beeps or waits.
// Only the counts' rules run here, each timer armed as its window arms it; the
// result is how far each count ends from the true time.
#include <algorithm>
#include <cstdint>

#include "countdowns/countdown_table.hpp"
#include "elapsed/elapsed_count.hpp"
#include "stopwatches/stopwatch_table.hpp"
#include "support/fake_services.hpp"

namespace orvane::testing {

struct DriftScenario {
    double lateMs = 15.6;                  // every event arrives this late
    std::int64_t stallMs = 3000;           // the thread busy this long...
    std::int64_t stallEveryMs = 3600000;   // ...once in each such period...
    std::int64_t stallOffsetMs = 1800000;  // ...starting this far into it
    int startMillisecond = 400;            // the wall clock's ms when the counts start
    int countdownTimerPhaseMs = 700;       // when the countdowns' timer, running since start-up, next fires
    std::int64_t seconds = 86400;          // how long the run lasts
};

// Seconds by which each count ends behind the true time: the stopwatch at its
// first event after the run, the countdown set for the whole run by how late
// its end comes after its due second, the elapsed count at its first event after the run, beyond
// the one second by which its display always trails the moment it tells.
struct DriftErrors {
    double stopwatch = 0;
    double countdown = 0;
    double elapsed = 0;
};

inline DriftErrors runDrift(const DriftScenario& scenario) {
    using Us = std::int64_t;  // microseconds: a system tick is 15.6 ms
    const Us start = 10'000'000;
    const Us end = start + scenario.seconds * 1'000'000;
    FakeClock clock;
    FakeShell shell;
    FakeBoxes boxes;
    auto ms = [](Us t) { return t / 1000; };

    // When an event armed at `armedAt` for `delayMs` reaches the program.
    auto delivery = [&](Us armedAt, std::int64_t delayMs) {
        Us at = armedAt + delayMs * 1000 + static_cast<Us>(scenario.lateMs * 1000);
        const Us period = scenario.stallEveryMs * 1000;
        const Us stallStart = (at - start) / period * period + start + scenario.stallOffsetMs * 1000;
        if (at >= stallStart && at < stallStart + scenario.stallMs * 1000) at = stallStart + scenario.stallMs * 1000;
        return at;
    };

    StopwatchTable stopwatches;
    CountdownTable countdowns;
    ElapsedCount elapsed;
    const std::int64_t shownAtStart = 122400;  // yesterday 0:00:00 read at 10:00:00
    stopwatches.Start(1, ms(start));
    countdowns.configure(1, scenario.seconds, L"Jour", L"", false, L"", ms(start));
    elapsed.begin(shownAtStart, ms(start) - scenario.startMillisecond);

    // Each window arms its own timer again at every event it handles.
    Us stopwatchAt = delivery(start, stopwatches.millisecondsToNextSecond(1, ms(start)) + 1);
    Us countdownAt = delivery(start, scenario.countdownTimerPhaseMs);
    Us elapsedAt = delivery(start, elapsed.millisecondsToNextSecond(ms(start)) + 1);

    DriftErrors errors;
    bool stopwatchDone = false, countdownDone = false, elapsedDone = false;
    while (!(stopwatchDone && countdownDone && elapsedDone)) {
        const Us now = std::min({stopwatchDone ? INT64_MAX : stopwatchAt, countdownDone ? INT64_MAX : countdownAt,
                                 elapsedDone ? INT64_MAX : elapsedAt});
        clock.monotonic = ms(now);
        if (now == stopwatchAt && !stopwatchDone) {
            stopwatches.AdvanceStopwatch(1, ms(now));
            if (now >= end) {
                const StopwatchSlot& s = stopwatches.slot(1);
                const double shown = s.Hours * 3600.0 + s.Minutes * 60.0 + s.Seconds;
                errors.stopwatch = static_cast<double>(now - start) / 1e6 - shown;
                stopwatchDone = true;
            }
            stopwatchAt = delivery(now, stopwatches.millisecondsToNextSecond(1, ms(now)) + 1);
        } else if (now == countdownAt && !countdownDone) {
            countdowns.tick(clock, shell, boxes, [](int, const std::wstring&) {});
            if (!boxes.shown.empty()) {
                // Its box is due one second after it shows 00:00:00.
                errors.countdown = static_cast<double>(now - end) / 1e6 - 1.0;
                countdownDone = true;
            }
            countdownAt = delivery(now, countdowns.tickTimerDelay({{}, Instant{ms(now)}, ms(now)}));
        } else if (now == elapsedAt && !elapsedDone) {
            const auto shown = elapsed.tick(ms(now));
            if (now >= end && shown) {
                const double trueElapsed = static_cast<double>(shownAtStart) + scenario.startMillisecond / 1000.0 +
                                           static_cast<double>(now - start) / 1e6;
                errors.elapsed = trueElapsed - 1.0 - static_cast<double>(*shown);
                elapsedDone = true;
            }
            elapsedAt = delivery(now, elapsed.millisecondsToNextSecond(ms(now)) + 1);
        }
    }
    return errors;
}

}  // namespace orvane::testing
