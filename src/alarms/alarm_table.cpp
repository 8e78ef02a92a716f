#include "alarms/alarm_table.hpp"

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "alarms/alarm_wake.hpp"
#include "common/calendar.hpp"

namespace orvane {

namespace {

constexpr std::uint32_t alarmBoxStyle =
    box::ok | box::iconInformation | box::setForeground | box::topMost;
constexpr std::uint32_t missedBoxStyle =
    box::ok | box::iconExclamation | box::setForeground | box::topMost;

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

std::wstring missedAlarmLine(int n, const AlarmSlot& slot, const std::wstring& date, const std::wstring& time) {
    return L"Alarme n°" + std::to_wstring(n) + L" : " + slot.Title + L", prévue le " + date + L" à " + time;
}

std::wstring missedAlarmsTitle(std::size_t count) {
    return count > 1 ? L"Alarmes manquées !" : L"Alarme manquée !";
}

std::wstring missedAlarmsText(const std::vector<std::wstring>& lines, MissedBecause because) {
    const wchar_t* reason = because == MissedBecause::setForward    ? L"l'horloge de l'ordinateur a été avancée :"
                            : because == MissedBecause::zoneChanged ? L"le fuseau horaire de l'ordinateur a changé :"
                                                                    : L"l'ordinateur était en veille ou occupé :";
    std::wstring text = lines.size() > 1 ? L"Ces alarmes n'ont pas sonné, car " : L"Cette alarme n'a pas sonné, car ";
    text += reason;
    for (const std::wstring& line : lines) text += L"\r\n" + line;
    return text;
}

AlarmSlot& AlarmTable::operator[](int n) { return slots_[slotIndex(n)]; }
const AlarmSlot& AlarmTable::operator[](int n) const { return slots_[slotIndex(n)]; }

void AlarmTable::arm(int n) { (*this)[n].Status = armedStatus; }
void AlarmTable::disarm(int n) { (*this)[n].Status = disarmedStatus; }

void AlarmTable::configure(int n, const AlarmSettings& settings) {
    AlarmSlot& slot = (*this)[n];
    // Another time: what the slot rang today does not keep it from ringing.
    if (slot.Hour != settings.Hour || slot.Minute != settings.Minute) rung_[slotIndex(n)].forgetRings();
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

AlarmTable::Due AlarmTable::takeDueSlots(const ClockReading& now, const TimeZone& zone) {
    const ClockPassage passage = watch_.advance(now, zone);
    Due due;
    due.zoneChanged = passage.zoneChanged;
    for (int n = 1; n <= AlarmCount; ++n) {
        const AlarmSlot& slot = (*this)[n];
        RecurringMoment& rung = rung_[slotIndex(n)];
        if (!slot.armed()) {
            rung.follow(passage);
            continue;
        }
        const auto outcome = rung.take(passage, std::int64_t{slot.Hour} * 3600 + std::int64_t{slot.Minute} * 60);
        if (outcome.rings) due.slots.push_back(n);
        if (outcome.missed) due.missed.push_back({n, *outcome.missed, outcome.because});
    }
    return due;
}

std::optional<AlarmTable::NextRing> AlarmTable::nextRing(const ClockReading& now, const TimeZone& zone) const {
    const std::int64_t after = now.utc.seconds();
    const std::int64_t wallNow = wallSeconds(now.local);
    const std::int64_t today = wallNow - ((wallNow % 86400) + 86400) % 86400;
    std::optional<NextRing> next;
    for (int n = 1; n <= AlarmCount; ++n) {
        const AlarmSlot& slot = (*this)[n];
        if (!slot.armed()) continue;
        const std::int64_t offset = std::int64_t{slot.Hour} * 3600 + std::int64_t{slot.Minute} * 60;
        // Today's reading, or the first of the days after that is still to come.
        for (int day = 0; day < 3; ++day) {
            const std::int64_t wall = today + day * std::int64_t{86400} + offset;
            if (rung_[slotIndex(n)].rang(wall)) continue;
            const std::optional<Instant> at = laterInstantOf(zone, wall, after);
            if (!at) continue;
            if (!next || *at < next->at) next = NextRing{*at, n};
            break;
        }
    }
    return next;
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
    const AlarmTable::Due due = table.takeDueSlots(tick.reading, services.zone);
    if (!due.slots.empty()) {
        const std::wstring timeText = services.formats.longTime(tick.TickTime);
        for (const int n : due.slots) {
            const AlarmSlot& slot = table[n];
            firings.push_back({slot.opensFile(), slot.FilePath, alarmFiringText(n, slot, timeText)});
        }
    }
    struct Listing {
        MissedBecause because;
        std::vector<std::wstring> lines;
    };
    std::vector<Listing> listings;
    for (const MissedBecause because :
         {MissedBecause::asleep, MissedBecause::setForward, MissedBecause::zoneChanged}) {
        Listing listing{because, {}};
        for (const MissedAlarm& missed : due.missed)
            if (missed.because == because)
                listing.lines.push_back(missedAlarmLine(missed.slot, table[missed.slot],
                                                        services.formats.shortDate(missed.moment),
                                                        services.formats.longTime(missed.moment)));
        if (!listing.lines.empty()) listings.push_back(std::move(listing));
    }
    std::optional<AlarmWaking::BoxesOpen> awake;
    if (!firings.empty()) awake.emplace(services.waking, tick.reading);
    services.waking.follow(table, tick.reading, services.zone,
                           !due.slots.empty() || !due.missed.empty() || due.zoneChanged);
    showIndicators(table.indicators());
    // A missing file is the shell's to refuse; an empty name is not asked
    // for at all, as the shell may take it for a folder. The box shows all the same.
    for (const Firing& firing : firings)
        if (firing.openFile && !firing.file.empty()) services.shell.open(firing.file);
    for (const Firing& firing : firings) services.boxes.show(firing.text, alarmBoxTitle, alarmBoxStyle);
    awake.reset();
    for (const Listing& listing : listings)
        services.boxes.show(missedAlarmsText(listing.lines, listing.because), missedAlarmsTitle(listing.lines.size()),
                            missedBoxStyle);
}

}  // namespace orvane
