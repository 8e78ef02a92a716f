#pragma once
// The daily alarms (AlarmCount of them): their table, the rule that says when one is due, and
// the check that every clock tick runs.
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

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

// What the clock passed over from one tick to the next, as the daily alarms
// see it. A moment of the day is given when its latest wall-clock reading at
// or before this tick lies after `givenAfter`, unless the clocks went back
// and it was given the first time round (at or before `givenBefore`). It was
// missed when it fell strictly inside a gap the computer slept or stalled
// through (after `missedAfter` and before `missedBefore`). All wall seconds.
struct TickPassage {
    std::int64_t givenAfter = 0;
    std::int64_t givenThrough = 0;
    std::optional<std::int64_t> givenBefore;
    std::int64_t missedAfter = 0;
    std::int64_t missedBefore = 0;

    // `momentOfDay`: seconds after midnight on the wall clock.
    bool gives(std::int64_t momentOfDay) const;
    // The last reading of the moment that the gap swallowed, if any.
    std::optional<LocalTime> missed(std::int64_t momentOfDay) const;
};

// Follows the clock from tick to tick for the daily alarms, on the wall clock
// the user set them by and on real time, which tells apart what moved it:
// - real time going on by at most a minute: every moment passed is given once,
//   across a change of clocks too (those the jump forward skips come at the
//   jump; those the clocks show twice come the first time only);
// - real time going back (the user set the clock back): only a tick within a
//   moment's own second gives it, and the moments after come again;
// - a longer gap: only a tick within a moment's own second gives it. When real
//   time went by (the monotonic count says so: sleep, a stall) the moments in
//   the gap are missed and told; when the clock was only set forward, they
//   are not.
class AlarmClockWatch {
public:
    TickPassage advance(const ClockReading& now);
    // The system time was set (the program is told so): a clock set back
    // gives again what lies after the reading it was set to, as
    // previousTickAfterClockSet says; anything else counts from the last tick.
    void clockSet(const ClockReading& now);

private:
    std::optional<ClockReading> previous_;
    // After the clocks went back: the last wall reading before they did.
    std::optional<std::int64_t> repeatedThrough_;
};

// An alarm that did not ring because its moment fell in a gap.
struct MissedAlarm {
    int slot;
    LocalTime moment;
};

// The box that lists the missed alarms, one line each, with its title.
std::wstring missedAlarmsText(const std::vector<std::wstring>& lines);
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
    };
    Due takeDueSlots(const ClockReading& now);
    void clockSet(const ClockReading& now) { watch_.clockSet(now); }

private:
    std::array<AlarmSlot, AlarmCount> slots_{};
    AlarmClockWatch watch_;
};

// What a check needs of the world.
struct AlarmServices {
    const RegionalFormats& formats;
    Shell& shell;
    MessageBoxes& boxes;
};

// The check run at the end of every clock tick. It shows the bells first,
// then fires the due slots in order: the file (when asked) is opened and the
// slot's box is shown. Last, the alarms a gap swallowed are listed in one
// box; they ring no sound and open no file. Which slots fire or are listed,
// and with what text, is decided from this tick before the first box opens,
// so that the ticks that go on running inside a box (and their own checks)
// change nothing for this one.
void CheckAlarms(AlarmTable& table, const TickFields& tick, const AlarmServices& services,
                 const std::function<void(const AlarmIndicators&)>& showIndicators);

}  // namespace orvane
