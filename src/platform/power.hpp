#pragma once
#include "platform/clock.hpp"

namespace orvane {

// Wakes the computer from sleep or hibernation at a moment of real time,
// where the power settings allow wake timers (nothing tells the program when
// they do not). One moment at a time: a new one replaces the one before.
class WakeTimer {
public:
    virtual ~WakeTimer() = default;
    virtual void wakeAt(Instant at) = 0;
    virtual void cancel() = 0;
};

// Keeps the computer from going to sleep for want of a user while held. The
// user's own sleep (the lid, the power button, the Start menu) still comes.
class StayAwake {
public:
    virtual ~StayAwake() = default;
    virtual void hold() = 0;
    virtual void release() = 0;
};

}  // namespace orvane
