#include "platform/win32/power.hpp"

#include <cstddef>

#include "platform/win32/services.hpp"
#include "platform/win32/system_library.hpp"

namespace orvane::win32 {

WakeTimerCall wakeTimerCall(Instant at) {
    // A time of day is absolute: a relative due time stops counting while
    // the computer sleeps (since Windows 8), and an absolute one follows the
    // clock when it is set.
    return {0, TIMER_MODIFY_STATE | SYNCHRONIZE, at.ms * 10000 + fileTimeAt1970, 0, TRUE};
}

SystemWakeTimer::SystemWakeTimer() {
    const WakeTimerCall call = wakeTimerCall({});
    timer_ = CreateWaitableTimerExW(nullptr, nullptr, call.createFlags, call.access);
}

SystemWakeTimer::~SystemWakeTimer() {
    if (timer_ == nullptr) return;
    CancelWaitableTimer(timer_);
    CloseHandle(timer_);
}

void SystemWakeTimer::wakeAt(Instant at) {
    if (timer_ == nullptr) return;
    const WakeTimerCall call = wakeTimerCall(at);
    LARGE_INTEGER due;
    due.QuadPart = call.dueTime;
    // Where the computer cannot be woken, the timer is set all the same
    // (ERROR_NOT_SUPPORTED follows): the alarm rings if it is awake.
    SetWaitableTimer(timer_, &due, call.period, nullptr, nullptr, call.resume);
}

void SystemWakeTimer::cancel() {
    if (timer_ != nullptr) CancelWaitableTimer(timer_);
}

WakeTimerPlan wakeTimerPlan(const WakeTimerFacts& facts) {
    // Windows, not the plan, decides when a computer in Modern Standby wakes.
    if (facts.modernStandby) return WakeTimerPlan::systemDecides;
    // A computer that cannot say runs on mains: desktops have no battery.
    const bool onBattery = facts.acLineStatus == 0;
    const std::optional<DWORD> index = onBattery ? facts.onBattery : facts.onMains;
    if (!index) return WakeTimerPlan::unknown;
    if (*index == wakeTimersEnabled) return WakeTimerPlan::allowed;
    return onBattery ? WakeTimerPlan::refusedOnBattery : WakeTimerPlan::refusedOnMains;
}

namespace {
// The sleep settings and, among them, "Autoriser les minuteurs de réveil"
// (GUID_SLEEP_SUBGROUP and GUID_ALLOW_RTC_WAKE of the system's headers).
constexpr GUID sleepSettings{0x238c9fa8, 0x0aad, 0x41ed, {0x83, 0xf4, 0x97, 0xbe, 0x24, 0x2c, 0x8f, 0x20}};
constexpr GUID allowWakeTimers{0xbd3b718a, 0x0680, 0x4d9d, {0x8a, 0xb2, 0xe1, 0xd2, 0xb4, 0xac, 0x80, 0x6d}};

// Modern Standby (AoAc). Older headers leave it out: it is then the last of
// the three bytes they keep spare after FastSystemS4 (Hiberboot,
// WakeAlarmPresent, AoAc), the layout the system fills.
template <typename Capabilities>
bool alwaysOnAlwaysConnected(const Capabilities& capabilities) {
    if constexpr (requires { capabilities.AoAc; }) {
        return capabilities.AoAc != FALSE;
    } else {
        static_assert(offsetof(Capabilities, spare2) == offsetof(Capabilities, FastSystemS4) + 1 &&
                      offsetof(Capabilities, DiskSpinDown) == offsetof(Capabilities, spare2) + 3);
        return capabilities.spare2[2] != FALSE;
    }
}

std::optional<DWORD> wakeTimersSetting(bool onBattery) {
    DWORD index = 0;
    if (!lazy::activePowerSetting(sleepSettings, allowWakeTimers, onBattery, &index)) return std::nullopt;
    return index;
}
}  // namespace

WakeTimerPlan SystemWakeTimer::plan() const {
    SYSTEM_POWER_CAPABILITIES capabilities{};
    SYSTEM_POWER_STATUS status{};
    if (!GetSystemPowerStatus(&status)) status.ACLineStatus = 255;
    return wakeTimerPlan({lazy::powerCapabilities(&capabilities) && alwaysOnAlwaysConnected(capabilities),
                          status.ACLineStatus,
                          wakeTimersSetting(false), wakeTimersSetting(true)});
}

void ThreadStayAwake::hold() {
    if (SetThreadExecutionState(awakeHeldState) != 0) held_ = true;
}

void ThreadStayAwake::release() {
    if (!held_) return;
    SetThreadExecutionState(awakeReleasedState);
    held_ = false;
}

}  // namespace orvane::win32
