#include "alarms/alarm_table.hpp"

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "common/calendar.hpp"

namespace orvane {

namespace {

constexpr std::int64_t secondsPerDay = 86400;

constexpr std::uint32_t alarmBoxStyle =
    box::ok | box::iconInformation | box::setForeground | box::topMost;
constexpr std::uint32_t missedBoxStyle =
    box::ok | box::iconExclamation | box::setForeground | box::topMost;

// The latest wall reading at or before `wall` that is `momentOfDay` into its day.
std::int64_t latestAtOrBefore(std::int64_t wall, std::int64_t momentOfDay) {
    return wall - (((wall - momentOfDay) % secondsPerDay + secondsPerDay) % secondsPerDay);
}

std::size_t slotIndex(int n) {
    if (n < 1 || n > AlarmCount) throw std::out_of_range("alarm slot out of range");
    return static_cast<std::size_t>(n - 1);
}

}  // namespace

std::wstring twoDigitText(int value) {
    return (value >= 0 && value < 10 ? L"0" : L"") + std::to_wstring(value);
}

std::wstring alarmTimeText(const AlarmSlot& slot) {
    return twoDigitText(slot.Hour) + L":" + twoDigitText(slot.Minute) + L":00";
}

std::wstring alarmFiringText(int n, const AlarmSlot& slot, const std::wstring& timeText) {
    return L"Il est : " + timeText + L"\r\nAlarme n°" + std::to_wstring(n) + L" : " + slot.Title +
           L" est activée. \r\n" + slot.Message;
}

bool TickPassage::gives(std::int64_t momentOfDay) const {
    const std::int64_t moment = latestAtOrBefore(givenThrough, momentOfDay);
    return moment > givenAfter && (!givenBefore || moment > *givenBefore);
}

std::optional<LocalTime> TickPassage::missed(std::int64_t momentOfDay) const {
    if (missedBefore - missedAfter < 2) return std::nullopt;
    const std::int64_t moment = latestAtOrBefore(missedBefore - 1, momentOfDay);
    if (moment <= missedAfter) return std::nullopt;
    return wallTimeAt(moment);
}

TickPassage AlarmClockWatch::advance(const ClockReading& now) {
    const std::optional<ClockReading> previous = std::exchange(previous_, now);
    const std::int64_t nowWall = wallSeconds(now.local);
    if (repeatedThrough_ && nowWall > *repeatedThrough_) repeatedThrough_.reset();
    // Unless the clock ran on normally, only this tick's own second counts.
    TickPassage passage{nowWall - 1, nowWall, std::nullopt, 0, 0};
    if (previous) {
        const std::int64_t before = wallSeconds(previous->local);
        const std::int64_t realGap = now.utc.seconds() - previous->utc.seconds();
        const std::int64_t offsetChange = (nowWall - now.utc.seconds()) - (before - previous->utc.seconds());
        if (realGap < 0) {
            // Set back by hand: the moments after it are wanted again.
            repeatedThrough_.reset();
        } else if (realGap <= longestTickGapSeconds) {
            if (offsetChange < 0) {
                // The clocks went back: what they show again was given the first time.
                repeatedThrough_ = std::max(repeatedThrough_.value_or(before), before);
            } else {
                passage.givenAfter = before;  // across the jump of clocks going forward too
            }
        } else {
            const std::int64_t monotonicGap = (now.monotonicMs - previous->monotonicMs) / 1000;
            if (monotonicGap > longestTickGapSeconds) {
                // Real time went by. Had the clock also been set forward in
                // the gap, only the part that really passed was missed.
                passage.missedAfter = before;
                passage.missedBefore = monotonicGap + longestTickGapSeconds >= realGap
                                           ? nowWall
                                           : std::min(nowWall, before + monotonicGap + offsetChange);
            }
        }
    }
    passage.givenBefore = repeatedThrough_;
    return passage;
}

void AlarmClockWatch::clockSet(const ClockReading& now) {
    // Forward, or the clocks changing while real time goes on: the next tick
    // measures from the last one.
    if (!previous_ || now.utc.seconds() >= previous_->utc.seconds()) return;
    repeatedThrough_.reset();
    const LocalTime from = *previousTickAfterClockSet(previous_->local, now.local);
    const std::int64_t shift = wallSeconds(now.local) - wallSeconds(from);
    previous_ = ClockReading{from, Instant{now.utc.ms - shift * 1000}, now.monotonicMs};
}

std::wstring missedAlarmLine(int n, const AlarmSlot& slot, const std::wstring& date, const std::wstring& time) {
    return L"Alarme n°" + std::to_wstring(n) + L" : " + slot.Title + L", prévue le " + date + L" à " + time;
}

std::wstring missedAlarmsTitle(std::size_t count) {
    return count > 1 ? L"Alarmes manquées !" : L"Alarme manquée !";
}

std::wstring missedAlarmsText(const std::vector<std::wstring>& lines) {
    std::wstring text = lines.size() > 1
                            ? L"Ces alarmes n'ont pas sonné, l'ordinateur était en veille ou occupé :"
                            : L"Cette alarme n'a pas sonné, l'ordinateur était en veille ou occupé :";
    for (const std::wstring& line : lines) text += L"\r\n" + line;
    return text;
}

AlarmSlot& AlarmTable::operator[](int n) { return slots_[slotIndex(n)]; }
const AlarmSlot& AlarmTable::operator[](int n) const { return slots_[slotIndex(n)]; }

void AlarmTable::arm(int n) { (*this)[n].Status = armedStatus; }
void AlarmTable::disarm(int n) { (*this)[n].Status = disarmedStatus; }

void AlarmTable::configure(int n, const AlarmSettings& settings) {
    AlarmSlot& slot = (*this)[n];
    slot.Minute = settings.Minute;
    slot.Hour = settings.Hour;
    slot.Status = armedStatus;
    slot.Title = settings.Title;
    slot.Message = settings.Message;
    slot.RunFile = settings.runFile ? runFileYes : runFileNo;
    // Kept even when the file is not to be opened: ticking the box again later brings it back.
    slot.FilePath = settings.FilePath;
}

AlarmIndicators AlarmTable::indicators() const {
    AlarmIndicators shown;
    for (int n = 1; n <= AlarmCount; ++n) {
        shown.slot[static_cast<std::size_t>(n)] = (*this)[n].armed();
        shown.any = shown.any || (*this)[n].armed();
    }
    return shown;
}

AlarmTable::Due AlarmTable::takeDueSlots(const ClockReading& now) {
    const TickPassage passage = watch_.advance(now);
    Due due;
    for (int n = 1; n <= AlarmCount; ++n) {
        const AlarmSlot& slot = (*this)[n];
        if (!slot.armed()) continue;
        const std::int64_t momentOfDay = std::int64_t{slot.Hour} * 3600 + std::int64_t{slot.Minute} * 60;
        if (passage.gives(momentOfDay)) due.slots.push_back(n);
        else if (const auto missed = passage.missed(momentOfDay)) due.missed.push_back({n, *missed});
    }
    return due;
}

void CheckAlarms(AlarmTable& table, const TickFields& tick, const AlarmServices& services,
                 const std::function<void(const AlarmIndicators&)>& showIndicators) {
    struct Firing {
        bool openFile;
        std::wstring file;
        std::wstring text;
    };
    // Everything is decided before the first box: a box runs its own message
    // loop, and the ticks inside it run their own checks against the table.
    std::vector<Firing> firings;
    const AlarmTable::Due due = table.takeDueSlots(tick.reading);
    if (!due.slots.empty()) {
        const std::wstring timeText = services.formats.longTime(tick.TickTime);
        for (const int n : due.slots) {
            const AlarmSlot& slot = table[n];
            firings.push_back({slot.opensFile(), slot.FilePath, alarmFiringText(n, slot, timeText)});
        }
    }
    std::vector<std::wstring> missedLines;
    for (const MissedAlarm& missed : due.missed)
        missedLines.push_back(missedAlarmLine(missed.slot, table[missed.slot], services.formats.shortDate(missed.moment),
                                              services.formats.longTime(missed.moment)));
    showIndicators(table.indicators());
    for (const Firing& firing : firings) {
        // A missing file is the shell's to refuse; an empty name is not asked
        // for at all, as the shell may take it for a folder. The box shows all the same.
        if (firing.openFile && !firing.file.empty()) services.shell.open(firing.file);
        services.boxes.show(firing.text, alarmBoxTitle, alarmBoxStyle);
    }
    if (!missedLines.empty())
        services.boxes.show(missedAlarmsText(missedLines), missedAlarmsTitle(missedLines.size()), missedBoxStyle);
}

}  // namespace orvane
