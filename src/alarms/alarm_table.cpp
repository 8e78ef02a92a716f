#include "alarms/alarm_table.hpp"

#include <stdexcept>

#include "common/calendar.hpp"

namespace orvane {

namespace {

constexpr std::int64_t secondsPerDay = 86400;

constexpr std::uint32_t alarmBoxStyle =
    box::ok | box::iconInformation | box::setForeground | box::topMost;

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

bool isAlarmDue(int hour, int minute, const LocalTime& now, const std::optional<LocalTime>& previous) {
    return recurringMomentPassed(previous, now, secondsPerDay, hour * 3600 + minute * 60);
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

std::vector<int> AlarmTable::takeDueSlots(const LocalTime& now) {
    std::vector<int> due;
    for (int n = 1; n <= AlarmCount; ++n) {
        const AlarmSlot& slot = (*this)[n];
        if (slot.armed() && isAlarmDue(slot.Hour, slot.Minute, now, previousTick_)) due.push_back(n);
    }
    previousTick_ = now;
    return due;
}

void AlarmTable::clockSet(const LocalTime& now) { previousTick_ = previousTickAfterClockSet(previousTick_, now); }

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
    const std::vector<int> due = table.takeDueSlots(tick.TickTime);
    if (!due.empty()) {
        const std::wstring timeText = services.formats.longTime(tick.TickTime);
        for (const int n : due) {
            const AlarmSlot& slot = table[n];
            firings.push_back({slot.opensFile(), slot.FilePath, alarmFiringText(n, slot, timeText)});
        }
    }
    showIndicators(table.indicators());
    for (const Firing& firing : firings) {
        // A missing file is the shell's to refuse; an empty name is not asked
        // for at all, as the shell may take it for a folder. The box shows all the same.
        if (firing.openFile && !firing.file.empty()) services.shell.open(firing.file);
        services.boxes.show(firing.text, alarmBoxTitle, alarmBoxStyle);
    }
}

}  // namespace orvane
