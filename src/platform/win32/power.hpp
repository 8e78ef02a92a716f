#pragma once
// The computer's power: a timer that wakes it, and the request that keeps it awake.
#include <windows.h>

#include <optional>

#include "platform/power.hpp"

namespace orvane::win32 {

// How the wake timer is made and set: one row a reader can hold against the
// system's documentation.
struct WakeTimerCall {
    DWORD createFlags;   // CreateWaitableTimerExW: auto-reset, not high resolution
    DWORD access;        // what the program does with it: set it, and wait on it in tests
    LONGLONG dueTime;    // SetWaitableTimer: absolute (positive), UTC, in 100 ns since 1601
    LONG period;         // 0: once
    BOOL resume;         // TRUE: wakes the computer
};
WakeTimerCall wakeTimerCall(Instant at);

// What the system says of wake timers, as its documented calls give it.
struct WakeTimerFacts {
    bool modernStandby;  // GetPwrCapabilities: AoAc
    BYTE acLineStatus;   // GetSystemPowerStatus: 0 battery, 1 mains, 255 unknown
    // The plan's value index of "Autoriser les minuteurs de réveil"
    // (GUID_ALLOW_RTC_WAKE), on mains and on battery, where it could be read.
    std::optional<DWORD> onMains, onBattery;
};
// The value index of "Activer". "Désactiver" is 0, and 2, "Minuteurs de
// réveil importants uniquement", leaves out a program's own timers.
inline constexpr DWORD wakeTimersEnabled = 1;
WakeTimerPlan wakeTimerPlan(const WakeTimerFacts& facts);

// What the thread asks while it holds the computer awake, and after.
inline constexpr EXECUTION_STATE awakeHeldState = ES_CONTINUOUS | ES_SYSTEM_REQUIRED;
inline constexpr EXECUTION_STATE awakeReleasedState = ES_CONTINUOUS;

// One waitable timer for the whole run, cancelled when it ends.
class SystemWakeTimer final : public WakeTimer {
public:
    SystemWakeTimer();
    ~SystemWakeTimer() override;
    SystemWakeTimer(const SystemWakeTimer&) = delete;
    SystemWakeTimer& operator=(const SystemWakeTimer&) = delete;
    void wakeAt(Instant at) override;
    void cancel() override;
    WakeTimerPlan plan() const override;
    // Signalled when the moment comes (the program itself never waits on it).
    HANDLE handle() const { return timer_; }

private:
    HANDLE timer_;
};

// The execution state of the window thread, the thread that asks.
class ThreadStayAwake final : public StayAwake {
public:
    ~ThreadStayAwake() override { release(); }
    void hold() override;
    void release() override;

private:
    bool held_ = false;
};

}  // namespace orvane::win32
