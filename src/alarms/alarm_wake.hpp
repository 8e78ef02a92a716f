#pragma once
// The armed alarms wake the computer: a wake timer set a little before the
// next moment that rings, and the computer kept awake while an alarm's box
// waits for someone to read it.
#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "alarms/alarm_table.hpp"
#include "platform/clock.hpp"
#include "platform/power.hpp"

namespace orvane {

// How long before its moment the computer is woken for an alarm. Waking
// takes seconds (longer from hibernation), and a moment up to a minute
// before the first tick after a resume still rings.
inline constexpr std::int64_t wakeLeadSeconds = 60;
// The longest the computer is kept awake for alarm boxes left open: a
// computer that never sleeps drains its battery.
inline constexpr std::int64_t awakeForBoxesMs = 15 * 60 * 1000;

// What the user reads when an alarm is armed while the power plan keeps the
// computer from waking for it; nothing where it may wake, where Windows
// decides, or where the plan cannot be read.
std::optional<std::wstring> wakeTimersOffNotice(WakeTimerPlan plan);

class AlarmWaking {
public:
    AlarmWaking(WakeTimer& timer, StayAwake& awake) : timer_(timer), awake_(awake) {}
    AlarmWaking(const AlarmWaking&) = delete;
    AlarmWaking& operator=(const AlarmWaking&) = delete;

    // Run at every check of the alarms and after every change of a slot. The
    // timer is set again when the next moment may have moved: a slot armed,
    // disarmed or set to another time, a moment rung or listed, the zone or
    // its rules changed (`moved`), another offset from UTC (a change of
    // clocks or of zone), the moment gone by. The computer is held awake from
    // the wake-up to the moment, and while boxes are open.
    void follow(const AlarmTable& table, const ClockReading& now, const TimeZone& zone, bool moved = false);
    // The clock was set, the zone or the day changed, or the computer woke:
    // the next follow works the moment out again and sets the timer anew.
    void recheck() { recheck_ = true; }
    // The computer goes to sleep. Past the wake-up, before the moment (the
    // user put it to sleep in that last minute), it wakes at the moment itself.
    void suspending(const ClockReading& now);
    // The program ends: no wake-up is left behind, nothing held, whatever
    // the boxes still open or the ticks still to come.
    void end();

    // The alarm boxes of one check, from before the first opens until the
    // last closes; the checks that run inside a box add theirs.
    class BoxesOpen {
    public:
        BoxesOpen(AlarmWaking& waking, const ClockReading& now);
        ~BoxesOpen();
        BoxesOpen(const BoxesOpen&) = delete;
        BoxesOpen& operator=(const BoxesOpen&) = delete;

    private:
        AlarmWaking& waking_;
    };

private:
    void hold(const ClockReading& now);

    WakeTimer& timer_;
    StayAwake& awake_;
    // What the moment was worked out from.
    struct Slot {
        bool armed = false;
        std::int32_t hour = 0, minute = 0;
        friend bool operator==(const Slot&, const Slot&) = default;
    };
    std::array<Slot, AlarmCount> slots_{};
    std::optional<std::int64_t> utcOffset_;
    bool recheck_ = false;
    std::optional<AlarmTable::NextRing> next_;
    std::optional<Instant> asked_;  // the wake-up the timer is set for
    int openChecks_ = 0;  // checks whose boxes are open
    std::int64_t boxesHeldUntilMs_ = 0;  // on the monotonic count
    std::optional<ClockReading> last_;
    bool held_ = false;
    bool ended_ = false;
};

}  // namespace orvane
