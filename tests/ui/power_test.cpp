// The computer's power as the system takes the program's requests: the wake
// timer's call against the documentation of waitable timers, the real timer
// signalled at its moment, and the thread's execution state held and let go.
#include <windows.h>

#include <gtest/gtest.h>

#include <tuple>

#include "platform/win32/power.hpp"
#include "platform/win32/services.hpp"

namespace orvane {
namespace {

Instant systemNow() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    const auto ticks = static_cast<LONGLONG>((ULONGLONG{now.dwHighDateTime} << 32) | now.dwLowDateTime);
    return Instant{(ticks - win32::fileTimeAt1970) / 10000};
}

TEST(Power, TheWakeTimerIsSetOnceForAnAbsoluteUtcTimeAndWakesTheComputer) {
    // 2026-12-08 06:29:00 UTC, as the system counts it.
    const SYSTEMTIME at{2026, 12, 2, 8, 6, 29, 0, 0};
    FILETIME due;
    ASSERT_TRUE(SystemTimeToFileTime(&at, &due));
    const win32::WakeTimerCall call = win32::wakeTimerCall(Instant{1796711340000});
    EXPECT_EQ(std::make_tuple(call.createFlags, call.access, call.dueTime, call.period, call.resume),
              std::make_tuple(DWORD{0}, DWORD{TIMER_MODIFY_STATE | SYNCHRONIZE},
                              static_cast<LONGLONG>((ULONGLONG{due.dwHighDateTime} << 32) | due.dwLowDateTime),
                              LONG{0}, BOOL{TRUE}));
}

TEST(Power, TheRealTimerSignalsAtItsMomentAndNotBefore) {
    win32::SystemWakeTimer timer;
    ASSERT_NE(timer.handle(), nullptr);
    const Instant due{systemNow().ms + 1500};
    timer.wakeAt(due);
    ASSERT_EQ(WaitForSingleObject(timer.handle(), 10'000), WAIT_OBJECT_0) << "the timer did not signal in 10 s";
    // The system's clock moves in steps of its tick.
    EXPECT_GE(systemNow().ms, due.ms - 16);
}

// The plan's setting for the power source in use decides; on Modern Standby,
// Windows does. "Minuteurs de réveil importants uniquement" (2) leaves a
// program's timer out.
TEST(Power, TheWakeTimersAreAllowedOnlyByActivateOnThePowerSourceInUse) {
    using enum WakeTimerPlan;
    const std::optional<DWORD> unread;
    const struct {
        const char* name;
        win32::WakeTimerFacts facts;
        WakeTimerPlan plan;
    } rows[] = {
        {"on mains, enabled", {false, 1, 1, 0}, allowed},
        {"on battery, disabled there", {false, 0, 1, 0}, refusedOnBattery},
        {"on battery, enabled there", {false, 0, 0, 1}, allowed},
        {"on mains, disabled there", {false, 1, 0, 1}, refusedOnMains},
        {"on mains, important ones only", {false, 1, 2, 1}, refusedOnMains},
        {"on battery, important ones only", {false, 0, 1, 2}, refusedOnBattery},
        {"no battery status: mains", {false, 255, 2, 1}, refusedOnMains},
        {"Modern Standby, disabled", {true, 0, 0, 0}, systemDecides},
        {"the setting unread", {false, 1, unread, 0}, unknown},
    };
    for (const auto& row : rows) EXPECT_EQ(win32::wakeTimerPlan(row.facts), row.plan) << row.name;
}

TEST(Power, TheWindowThreadAsksToStayAwakeAndLetsGo) {
    win32::ThreadStayAwake awake;
    awake.hold();
    // Each call answers with the state before it.
    EXPECT_EQ(SetThreadExecutionState(win32::awakeHeldState), ES_CONTINUOUS | ES_SYSTEM_REQUIRED);
    awake.release();
    EXPECT_EQ(SetThreadExecutionState(ES_CONTINUOUS), ES_CONTINUOUS);
}

}  // namespace
}  // namespace orvane
