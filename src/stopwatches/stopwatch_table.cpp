#include "stopwatches/stopwatch_table.hpp"

#include <algorithm>

namespace orvane {

namespace {

void addSeconds(StopwatchSlot& s, std::int64_t seconds) {
    const std::int64_t total = static_cast<std::int64_t>(s.Hours) * 3600 + s.Minutes * 60 + s.Seconds + seconds;
    s.Hours = static_cast<std::int32_t>(total / 3600);
    s.Minutes = static_cast<std::int32_t>(total / 60 % 60);
    s.Seconds = static_cast<std::int32_t>(total % 60);
}

std::wstring twoDigits(std::int64_t value) { return (value < 10 ? L"0" : L"") + std::to_wstring(value); }

}  // namespace

void StopwatchTable::Start(int n, std::int64_t nowMs) {
    StopwatchSlot& s = slot(n);
    if (s.running) return;
    s.running = true;
    s.movedAt = nowMs - s.fraction;
    s.fraction = 0;
}

void StopwatchTable::Stop(int n, std::int64_t nowMs) {
    StopwatchSlot& s = slot(n);
    if (!s.running) return;
    AdvanceStopwatch(n, nowMs);
    s.fraction = std::clamp<std::int64_t>(nowMs - s.movedAt, 0, 999);
    s.running = false;
}

void StopwatchTable::ResetStopwatch(int n) { slot(n) = StopwatchSlot{}; }

bool StopwatchTable::AdvanceStopwatch(int n, std::int64_t nowMs) {
    StopwatchSlot& s = slot(n);
    if (!s.running || nowMs < s.movedAt) return false;
    const std::int64_t whole = (nowMs - s.movedAt) / 1000;
    if (whole == 0) return false;
    addSeconds(s, whole);
    s.movedAt += whole * 1000;
    return true;
}

int StopwatchTable::millisecondsToNextSecond(int n, std::int64_t nowMs) const {
    const StopwatchSlot& s = slot(n);
    const std::int64_t intoSecond = std::clamp<std::int64_t>(nowMs - s.movedAt, 0, 999);
    return static_cast<int>(1000 - intoSecond);
}

std::wstring stopwatchText(const StopwatchSlot& s) {
    return twoDigits(s.Hours) + L":" + twoDigits(s.Minutes) + L":" + twoDigits(s.Seconds);
}

}  // namespace orvane
