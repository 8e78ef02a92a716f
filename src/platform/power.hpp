#pragma once
#include "platform/clock.hpp"

namespace orvane {

// What the power plan in force says of wake timers on the power source in
// use: the setting "Autoriser les minuteurs de réveil", under "Veille".
enum class WakeTimerPlan {
    allowed,           // "Activer"
    refusedOnMains,    // anything else, on mains
    refusedOnBattery,  // anything else, on battery
    systemDecides,     // Modern Standby: the computer never sleeps as the setting means
    unknown,           // the setting could not be read
};

// Wakes the computer from sleep or hibernation at a moment of real time,
// where the power settings allow wake timers. One moment at a time: a new one
// replaces the one before.
class WakeTimer {
public:
    virtual ~WakeTimer() = default;
    virtual void wakeAt(Instant at) = 0;
    virtual void cancel() = 0;
    // Read afresh at each call: the user may change the plan, or unplug the
    // computer, while the clock runs.
    virtual WakeTimerPlan plan() const = 0;
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
