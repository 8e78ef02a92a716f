#include "countdowns/countdown_table.hpp"

#include <algorithm>
#include <cerrno>
#include <cwchar>
#include <stdexcept>

#include "common/calendar.hpp"

namespace orvane {

namespace {

std::wstring twoDigits(std::int64_t value) {
    std::wstring text = std::to_wstring(value);
    return value < 10 ? L"0" + text : text;
}

// The integer a duration text holds; the program writes these texts itself,
// so anything else is a slot that was never given a duration.
std::int64_t durationSeconds(const std::wstring& text) {
    if (text.empty()) return 0;
    wchar_t* end = nullptr;
    errno = 0;
    const long long value = std::wcstoll(text.c_str(), &end, 10);
    if (errno != 0 || end == nullptr || *end != L'\0') return 0;
    return value;
}

}  // namespace

std::wstring countdownText(std::int64_t seconds) {
    const std::int64_t r = std::max<std::int64_t>(seconds, 0);
    const std::int64_t h = r / 3600;
    const std::int64_t m = (r - 3600 * h) / 60;
    const std::int64_t s = r - 3600 * h - 60 * m;
    return twoDigits(h) + L":" + twoDigits(m) + L":" + twoDigits(s);
}

std::wstring countdownEndText(int n, const CountdownSlot& slot) {
    return L"Compte à rebours n°" + std::to_wstring(n) + L" : " + slot.Name + L" est terminé.\r\n" + slot.Message;
}

std::int64_t intervalTotal(std::int64_t days, std::int64_t hours, std::int64_t minutes, std::int64_t seconds) {
    return (days * 24 + hours) * 3600 + minutes * 60 + seconds;
}

std::int64_t dateTargetTotal(Instant now, const TimeZone& zone, const LocalTime& target) {
    // A reading the clocks show twice: the showing still to come, if its
    // box can still come before it.
    const std::optional<Instant> ahead =
        laterInstantOf(zone, wallSeconds(target), now.seconds() + dateModeAdvanceSeconds);
    return (ahead ? *ahead : instantOf(zone, target)).seconds() - now.seconds() - dateModeAdvanceSeconds;
}

void SecondPacer::start(std::int64_t nowMs) {
    startMs_ = nowMs;
    counted_ = 0;
}

std::int64_t SecondPacer::secondsDue(std::int64_t nowMs) {
    const std::int64_t elapsed = std::max<std::int64_t>(nowMs - startMs_, 0);
    const std::int64_t due = elapsed / 1000;
    const std::int64_t count = std::max<std::int64_t>(due - counted_, 0);
    counted_ += count;
    return count;
}

std::int64_t SecondPacer::millisecondsToNextSecond(std::int64_t nowMs) const {
    return std::max<std::int64_t>(startMs_ + (counted_ + 1) * 1000 - nowMs, 0);
}

std::size_t CountdownTable::at(int n) {
    if (n < 1 || n > countdownCount) throw std::out_of_range("countdown number out of range");
    return static_cast<std::size_t>(n);
}

const CountdownSlot& CountdownTable::slot(int n) const { return slots_[at(n)]; }
std::int64_t CountdownTable::Remaining(int n) const { return remaining_[at(n)]; }
bool CountdownTable::isRunning(int n) const { return slots_[at(n)].Status == countdownRunning; }

void CountdownTable::clear(int n) {
    targets_[at(n)].reset();
    CountdownSlot& s = slots_[at(n)];
    remaining_[at(n)] = 0;
    s.Status = countdownStopped;
    s.Name = countdownUnnamed;
    s.Message = countdownUnnamed;
}

void CountdownTable::configure(int n, std::int64_t total, const std::wstring& name, const std::wstring& message,
                               bool runFile, const std::wstring& filePath, std::int64_t nowMs) {
    targets_[at(n)].reset();
    CountdownSlot& s = slots_[at(n)];
    remaining_[at(n)] = total;
    s.Status = countdownRunning;
    s.Name = name;
    s.Message = message;
    s.DurationText = std::to_wstring(total);
    s.RunFile = runFile;
    s.FilePath = filePath;
    pacers_[at(n)].start(nowMs);
}

void CountdownTable::configureByDate(int n, const LocalTime& target, const std::wstring& name,
                                     const std::wstring& message, bool runFile, const std::wstring& filePath,
                                     const ClockReading& now, const TimeZone& zone) {
    configure(n, dateTargetTotal(now.utc, zone, target), name, message, runFile, filePath, now.monotonicMs);
    targets_[at(n)] = DateTarget{target, now.utc.ms};
}

std::int64_t CountdownTable::remainingByDate(int n, Instant now, const TimeZone& zone) const {
    const DateTarget& target = *targets_[at(n)];
    // The total as set, by the zone's rules now; less the whole seconds of
    // real time since, as the interval countdowns count them.
    const Instant setAt{target.setAtMs};
    return dateTargetTotal(setAt, zone, target.moment) - Instant{now.ms - setAt.ms}.seconds();
}

void CountdownTable::restart(int n, std::int64_t nowMs) {
    targets_[at(n)].reset();
    CountdownSlot& s = slots_[at(n)];
    remaining_[at(n)] = durationSeconds(s.DurationText);
    s.Status = countdownRunning;
    pacers_[at(n)].start(nowMs);
}

void CountdownTable::tick(const Clock& clock, Shell& shell, MessageBoxes& boxes, const TimeWriter& showTime) {
    for (int n = 1; n <= countdownCount; ++n) {
        CountdownSlot& s = slots_[at(n)];
        if (s.Status != countdownRunning) continue;
        // Read for each slot: an end box shown for a lower slot may have
        // kept this pass waiting while nested ticks counted this one.
        std::int64_t& r = remaining_[at(n)];
        if (targets_[at(n)]) {
            const std::int64_t left = remainingByDate(n, clock.read().utc, clock.zone());
            if (left == r) continue;
            r = left;
        } else {
            const std::int64_t seconds = pacers_[at(n)].secondsDue(clock.monotonicMilliseconds());
            if (seconds == 0) continue;
            r -= seconds;
        }
        if (r >= 0) {
            showTime(n, countdownText(r));
            continue;
        }
        r = 0;
        s.Status = countdownStopped;
        // A late tick may have jumped past zero: the label must not be left on a second.
        showTime(n, countdownZeroText);
        const std::wstring text = countdownEndText(n, s);
        if (s.RunFile && !s.FilePath.empty()) shell.open(s.FilePath);
        boxes.show(text, countdownEndTitle, countdownEndBoxStyle);
    }
}

int CountdownTable::tickTimerDelay(const ClockReading& now) const {
    // A timer fires a hair early now and then: the margin keeps it from
    // arriving just before the second it was armed for.
    constexpr std::int64_t margin = 1;
    std::int64_t delay = 1000 + margin;
    for (int n = 1; n <= countdownCount; ++n) {
        if (!isRunning(n)) continue;
        const std::int64_t next = targets_[at(n)]
                                      ? 1000 - ((now.utc.ms - targets_[at(n)]->setAtMs) % 1000 + 1000) % 1000
                                      : pacers_[at(n)].millisecondsToNextSecond(now.monotonicMs);
        delay = std::min(delay, next + margin);
    }
    return static_cast<int>(std::max<std::int64_t>(delay, margin));
}

}  // namespace orvane
