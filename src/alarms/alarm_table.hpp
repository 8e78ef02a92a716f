#pragma once
// The five daily alarms: their table, the rule that says when one is due, and
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

// Whether an alarm set for hour:minute is due at the tick `now`, given the
// previous tick. It is due once each time its moment hour:minute:00 passes:
// after the previous tick and at or before this one, when the two are at most
// a minute apart. With no previous tick, after a longer gap (the computer
// slept) or when the clock went back, only a tick within the alarm's own
// second 0 counts: a moment lost in a gap is not caught up late.
bool isAlarmDue(int hour, int minute, const LocalTime& now, const std::optional<LocalTime>& previous);


// Which bells to show: one per slot, and the main window's while any slot is armed.
struct AlarmIndicators {
    std::array<bool, AlarmCount + 1> slot{};  // 1..5; [0] unused
    bool any = false;
};

// The alarm table, slots numbered 1 to 5, and the memory of the last check.
class AlarmTable {
public:
    // Slot n, 1..5; any other number is a fault of the caller.
    AlarmSlot& operator[](int n);
    const AlarmSlot& operator[](int n) const;

    void arm(int n);
    void disarm(int n);
    // Stores what the dialog holds into slot n; confirming always arms it.
    void configure(int n, const AlarmSettings& settings);

    AlarmIndicators indicators() const;

    // The slots due at this tick, in order, measured against the tick before
    // it; this tick becomes the one the next call measures against.
    std::vector<int> takeDueSlots(const LocalTime& now);
    // The system time was set to `now`: see previousTickAfterClockSet.
    void clockSet(const LocalTime& now);

private:
    std::array<AlarmSlot, AlarmCount> slots_{};
    std::optional<LocalTime> previousTick_;
};

// What a check needs of the world.
struct AlarmServices {
    const RegionalFormats& formats;
    Shell& shell;
    MessageBoxes& boxes;
};

// The check run at the end of every clock tick. It shows the bells first,
// then fires the due slots in order: the file (when asked) is opened and the
// slot's box is shown. Which slots fire, and with what text, is decided from
// this tick before the first box opens, so that the ticks that go on running
// inside a box (and their own checks) change nothing for this one.
void CheckAlarms(AlarmTable& table, const TickFields& tick, const AlarmServices& services,
                 const std::function<void(const AlarmIndicators&)>& showIndicators);

}  // namespace orvane
