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

// A rectangle on the screen, right and bottom edges excluded.
struct ScreenArea {
    int left = 0, top = 0, right = 0, bottom = 0;
};

// A top-level window as the shake sees it: its left and top edges, its size,
// and the work area of the monitor it is on (the screen less the taskbar).
class MovableWindow {
public:
    virtual ~MovableWindow() = default;
    virtual int left() const = 0;
    virtual int top() const = 0;
    virtual int width() const = 0;
    virtual int height() const = 0;
    virtual ScreenArea workArea() const = 0;
    virtual void moveTo(int left, int top) = 0;
};

// The jittering zigzag: count + 1 steps, each of random sizes below the
// intensity (plus `extra` pixels), alternately left-down and right-up. The
// window ends where the steps leave it, brought back whole into the work area
// of the monitor it was on, so that shakes hour after hour neither walk it off
// the screen nor drag it onto another monitor. A negative count makes no step;
// a negative intensity moves nothing more than `extra`. Counts above the
// options' largest (a hand-edited file) make that many steps and no more.
void WindowShake(MovableWindow& window, Random& random, int intensity, int count, int extra = 0);
inline constexpr int shakeCountLimit = 200;
// The longest hourly beep, as the options offer: a longer one from a
// hand-edited file would hold the program's only thread for as long.
inline constexpr int beepDurationLimit = 3000;

}  // namespace orvane
