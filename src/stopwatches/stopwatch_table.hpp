#pragma once
#include <array>
#include <cstdint>
#include <string>

namespace orvane {

// One stopwatch. The count moves by whole seconds; the part of a second that
// has run since it last moved is measured on a clock that never jumps, so a
// late or dropped timer event costs nothing and a stop keeps its fraction.
struct StopwatchSlot {
    std::int32_t Seconds = 0;  // 0..59
    std::int32_t Minutes = 0;  // 0..59
    std::int32_t Hours = 0;    // no upper bound, no days
    bool running = false;
    std::int64_t movedAt = 0;   // monotonic ms at which the count last moved (while running)
    std::int64_t fraction = 0;  // ms of the current second already run (while stopped)
};

inline constexpr int stopwatchCount = 5;

// The stopwatches, numbered from 1 to stopwatchCount.
class StopwatchTable {
public:
    StopwatchSlot& slot(int n) { return slots_.at(static_cast<std::size_t>(n - 1)); }
    const StopwatchSlot& slot(int n) const { return slots_.at(static_cast<std::size_t>(n - 1)); }

    // Start: a running stopwatch is left as it is.
    void Start(int n, std::int64_t nowMs);
    // Stop: the count is brought up to now and the part of a second kept.
    void Stop(int n, std::int64_t nowMs);
    // RAZ: zero, stopped.
    void ResetStopwatch(int n);
    // A timer event: adds the whole seconds run since the count last moved.
    // True when the count moved.
    bool AdvanceStopwatch(int n, std::int64_t nowMs);
    // Milliseconds until the count of a running stopwatch moves next.
    int millisecondsToNextSecond(int n, std::int64_t nowMs) const;

private:
    std::array<StopwatchSlot, stopwatchCount> slots_{};
};

// "HH:MM:SS", with as many hour digits as needed.
std::wstring stopwatchText(const StopwatchSlot& slot);

}  // namespace orvane
