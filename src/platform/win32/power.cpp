#include "platform/win32/power.hpp"

#include "platform/win32/services.hpp"

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

void ThreadStayAwake::hold() {
    if (SetThreadExecutionState(awakeHeldState) != 0) held_ = true;
}

void ThreadStayAwake::release() {
    if (!held_) return;
    SetThreadExecutionState(awakeReleasedState);
    held_ = false;
}

}  // namespace orvane::win32
