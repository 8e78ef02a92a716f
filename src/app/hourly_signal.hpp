#pragma once
#include <optional>
#include <string>

#include "platform/clock.hpp"
#include "platform/random.hpp"

namespace orvane {

// Whether the tick at `now` gives the hourly signal: the moment HH:00:00 lies
// after the previous tick and at or before this one. Without a usable previous
// tick (the first tick, a clock set back, a gap of more than a minute) only a
// tick within second 0 of minute 0 gives it, so no stale signal is given.
bool hourlySignalDue(const std::optional<LocalTime>& previous, const LocalTime& now);

// A top-level window as the shake sees it: its left and top edges.
class MovableWindow {
public:
    virtual ~MovableWindow() = default;
    virtual int left() const = 0;
    virtual int top() const = 0;
    virtual void moveTo(int left, int top) = 0;
};

// The jittering zigzag: count + 1 steps, each of random sizes below the
// intensity (plus `extra` pixels), alternately left-down and right-up; the
// window ends where the steps leave it, pulled back to 0 on an axis that went
// negative. A negative count makes no step; a negative intensity moves nothing
// more than `extra`.
void WindowShake(MovableWindow& window, Random& random, int intensity, int count, int extra = 0);

}  // namespace orvane
