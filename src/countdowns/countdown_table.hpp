#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "platform/clock.hpp"
#include "platform/message_boxes.hpp"
#include "platform/shell.hpp"

namespace orvane {

inline constexpr int countdownCount = 5;
inline constexpr wchar_t countdownRunning[] = L"ok";
inline constexpr wchar_t countdownStopped[] = L"nook";
inline constexpr wchar_t countdownUnnamed[] = L"Non défini";
inline constexpr wchar_t countdownZeroText[] = L"00:00:00";
inline constexpr wchar_t countdownEndTitle[] = L"Compte à rebours terminé !";
// The end box must reach the user even when the program sits in the tray.
inline constexpr std::uint32_t countdownEndBoxStyle =
    box::ok | box::iconExclamation | box::setForeground | box::topMost;

// One countdown, as the user set it up.
struct CountdownSlot {
    std::wstring Status = countdownStopped;  // "ok" while it runs
    std::wstring Name = countdownUnnamed;
    std::wstring Message = countdownUnnamed;
    std::wstring DurationText = L"0";  // the configured total in seconds, read back by a restart
    bool RunFile = false;
    std::wstring FilePath;
};

// The remaining time as hours, minutes and seconds; hours take as many digits
// as they need and there is no day part. Negative values show as zero.
std::wstring countdownText(std::int64_t seconds);

// The two lines of the end box of countdown n.
std::wstring countdownEndText(int n, const CountdownSlot& slot);

// The total of an interval of days, hours, minutes and seconds.
std::int64_t intervalTotal(std::int64_t days, std::int64_t hours, std::int64_t minutes, std::int64_t seconds);

// The real seconds from now (milliseconds dropped) to a target date and time
// on the wall clock, whatever changes of clocks lie between. Every such
// countdown is set to end a little early, so that the box is on screen by the
// chosen moment.
inline constexpr std::int64_t dateModeAdvanceSeconds = 17;
std::int64_t dateTargetTotal(Instant now, const TimeZone& zone, const LocalTime& target);

// Keeps a running countdown in step with a clock that never jumps, so that a
// late or lost timer event does not make the countdown end late.
class SecondPacer {
public:
    void start(std::int64_t nowMs);
    // The whole seconds to count at a tick read at nowMs: the k-th second is
    // due k seconds after the start, so a countdown of D seconds shows D - 1
    // one second after it starts, whatever the phase of the timer.
    std::int64_t secondsDue(std::int64_t nowMs);
    // Milliseconds from nowMs until the next second is due (0 when it is).
    std::int64_t millisecondsToNextSecond(std::int64_t nowMs) const;

private:
    std::int64_t startMs_ = 0;
    std::int64_t counted_ = 0;
};

// The countdowns, numbered from 1 to countdownCount, and the tick that runs them.
class CountdownTable {
public:
    // Where the tick writes what a countdown's time label must show.
    using TimeWriter = std::function<void(int n, const std::wstring& text)>;

    const CountdownSlot& slot(int n) const;
    std::int64_t Remaining(int n) const;
    bool isRunning(int n) const;

    // A new countdown is being set up: slot n stops and loses its name and message;
    // its duration and file choice stay until the setup is confirmed.
    void clear(int n);
    // Writes the slot and starts it at once.
    void configure(int n, std::int64_t total, const std::wstring& name, const std::wstring& message,
                   bool runFile, const std::wstring& filePath, std::int64_t nowMs);
    // The same for a countdown to a date and time on the wall clock: it keeps
    // that moment, and at each tick counts the real time left to it by the
    // zone in force, so that it ends at the moment of the clock the user
    // sees whatever corrects or changes the clock on the way.
    void configureByDate(int n, const LocalTime& target, const std::wstring& name, const std::wstring& message,
                         bool runFile, const std::wstring& filePath, const ClockReading& now, const TimeZone& zone);
    // Starts slot n again from its configured total, whatever its state (a
    // countdown by date then runs its total again, as an interval).
    void restart(int n, std::int64_t nowMs);

    // One pass over every slot. An ending countdown is stopped before its
    // file is opened and its box shown, so a tick that runs again while the
    // box is open (the box runs its own message loop) does not end it twice.
    void tick(const Clock& clock, Shell& shell, MessageBoxes& boxes, const TimeWriter& showTime);

    // How long the tick timer waits from now: until just after the next
    // second of a running countdown is due, so that an end comes within a
    // system tick of its moment rather than up to a whole period late; a
    // plain second while none runs.
    int tickTimerDelay(const ClockReading& now) const;

private:
    static std::size_t at(int n);
    // The seconds left to a countdown by date at `now`.
    std::int64_t remainingByDate(int n, Instant now, const TimeZone& zone) const;

    // A countdown by date: the moment chosen, and the real time it was set at.
    struct DateTarget {
        LocalTime moment;
        std::int64_t setAtMs = 0;
    };
    std::array<std::optional<DateTarget>, countdownCount + 1> targets_{};

    std::array<CountdownSlot, countdownCount + 1> slots_{};
    std::array<std::int64_t, countdownCount + 1> remaining_{};
    std::array<SecondPacer, countdownCount + 1> pacers_{};
};

}  // namespace orvane
