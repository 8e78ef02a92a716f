#pragma once
#include <cstddef>
#include <vector>

#include "platform/movable_window.hpp"
#include "platform/random.hpp"

namespace orvane {

// The jittering zigzag: count + 1 steps, each of random sizes below the
// intensity (plus `extra` pixels), alternately left-down and right-up. The
// window ends where the steps leave it, brought back whole into the work area
// of the monitor it was on, so that shakes hour after hour neither walk it off
// the screen nor drag it onto another monitor. A negative count makes no step;
// a negative intensity moves nothing more than `extra`. Counts above the
// options' largest (a hand-edited file) make that many steps and no more.
// Sizes are 96-DPI pixels; on a window at another DPI each step grows with it.
void WindowShake(MovableWindow& window, Random& random, int intensity, int count, int extra = 0, int dpi = 96);
inline constexpr int shakeCountLimit = 200;

// Where a shake takes a window, move after move, without moving it: the same
// moves as WindowShake, to be shown one per display frame (all at once, a
// composited desktop shows one jump).
std::vector<WindowPlace> planShake(const MovableWindow& window, Random& random, int intensity, int count,
                                   int extra = 0, int dpi = 96);
// The moves of one back and forth of a planned shake: across and down, then
// across and up.
inline constexpr std::size_t shakeRoundMoves = 4;

}  // namespace orvane
