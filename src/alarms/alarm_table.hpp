#pragma once
// The daily alarms (AlarmCount of them): their table, the rule that says when one is due, and
// the check that every clock tick runs.
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "common/clock_passage.hpp"
#include "common/clock_tick.hpp"
#include "platform/clock.hpp"
#include "platform/message_boxes.hpp"
#include "platform/shell.hpp"

namespace orvane {

inline constexpr int AlarmCount = 5;

// The flags are short texts, compared exactly.
inline constexpr wchar_t armedStatus[] = L"ok";
inline constexpr wchar_t disarmedStatus[] = L"nook";
inline constexpr wchar_t runFileYes[] = L"oui";
inline constexpr wchar_t runFileNo[] = L"non";
inline constexpr wchar_t undefinedText[] = L"Non défini";
inline constexpr wchar_t alarmBoxTitle[] = L"Alarme activée !";

// One daily alarm. Nothing of it is kept from one run of the program to the next.
struct AlarmSlot {
    std::int32_t Minute = 0;  // 0..59
    std::int32_t Hour = 0;    // 0..23
    std::wstring Status = disarmedStatus;
    std::wstring Title = undefinedText;
    std::wstring Message = undefinedText;
    std::wstring RunFile = runFileNo;
    std::wstring FilePath;

    bool armed() const { return Status == armedStatus; }
    bool opensFile() const { return RunFile == runFileYes; }
};

// What the configuration dialog hands over for one slot.
struct AlarmSettings {
    std::int32_t Hour = 0;
    std::int32_t Minute = 0;
    std::wstring Title;
    std::wstring Message;
    bool runFile = false;
    std::wstring FilePath;
};

// The time label of a slot's tab: "HH:MM:00".
std::wstring alarmTimeText(const AlarmSlot& slot);

// A number of the configuration dialog's time: at least two digits.
std::wstring twoDigitText(int value);

// The text of the box shown when slot n fires, with the time as the user's
// long time format writes it.
std::wstring alarmFiringText(int n, const AlarmSlot& slot, const std::wstring& timeText);

// An alarm that did not ring because the clock went past its moment without
// a tick that could ring it.
struct MissedAlarm {
    int slot;
    LocalTime moment;
    MissedBecause because;
};

// The box that lists the missed alarms, one line each, with its title.
std::wstring missedAlarmsText(const std::vector<std::wstring>& lines, MissedBecause because);
std::wstring missedAlarmsTitle(std::size_t count);
// One line: "Alarme n°2 : Réveil, prévue le 08/12/2026 à 07:30:00".
std::wstring missedAlarmLine(int n, const AlarmSlot& slot, const std::wstring& date, const std::wstring& time);

// Which bells to show: one per slot, and the main window's while any slot is armed.
struct AlarmIndicators {
    std::array<bool, AlarmCount + 1> slot{};  // 1..AlarmCount; [0] unused
    bool any = false;
};

// The alarm table, slots numbered 1 to AlarmCount, and the memory of the last check.
class AlarmTable {
public:
    // Slot n, 1..AlarmCount; any other number is a fault of the caller.
    AlarmSlot& operator[](int n);
    const AlarmSlot& operator[](int n) const;

    void arm(int n);
    void disarm(int n);
    // Stores what the dialog holds into slot n; confirming always arms it.
    void configure(int n, const AlarmSettings& settings);

    AlarmIndicators indicators() const;

    // The slots due at this tick, in order, and those whose moment a gap
    // swallowed, measured against the tick before it; this tick becomes the
    // one the next call measures against.
    struct Due {
        std::vector<int> slots;
        std::vector<MissedAlarm> missed;
        bool zoneChanged = false;  // the zone or its rules: the next ring is worked out again
    };
    Due takeDueSlots(const ClockReading& now, const TimeZone& zone);
    // The computer woke from sleep; the next check is the first after it.
    void resumed() { watch_.resumed(); }

    // The next moment of real time at which an armed slot rings, after the
    // second of `now`, by the zone's rules: a reading the clocks skip rings at
    // the jump, one they show twice the first time (the second time only if
    // it did not ring the first). Nothing when no slot is armed.
    struct NextRing {
        Instant at;
        int slot;
    };
    std::optional<NextRing> nextRing(const ClockReading& now, const TimeZone& zone) const;

private:
    std::array<AlarmSlot, AlarmCount> slots_{};
    ClockWatch watch_;
    // What each slot rang, by the moment of the clock it rang for.
    std::array<RecurringMoment, AlarmCount> rung_{RecurringMoment{86400}, RecurringMoment{86400},
                                                  RecurringMoment{86400}, RecurringMoment{86400},
                                                  RecurringMoment{86400}};
};

class AlarmWaking;

// What a check needs of the world.
struct AlarmServices {
    const TimeZone& zone;
    const RegionalFormats& formats;
    Shell& shell;
    MessageBoxes& boxes;
    AlarmWaking& waking;
};

// The check run at the end of every clock tick. It shows the bells first,
// then fires the due slots: their files (when asked) are opened in slot
// order, then their boxes shown, so that a slot's music does not wait behind
// the box of the one before; the computer is kept awake while they are open.
// Last, the missed alarms are listed, in one box for each reason; they ring
// no sound and open no file. The wake timer follows what rang or was
// listed. Which slots fire or are listed, and with what text, is decided
// from this tick before the first box opens, so that the ticks that go on
// running inside a box (and their own checks) change nothing for this one.
void CheckAlarms(AlarmTable& table, const TickFields& tick, const AlarmServices& services,
                 const std::function<void(const AlarmIndicators&)>& showIndicators);

}  // namespace orvane
