#include "common/window_shake.hpp"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <utility>

#include "common/display_scale.hpp"

namespace orvane {

namespace {
// Where an edge lands after a step, in 64 bits: a hand-edited intensity near
// the integer limit must not wrap the window round to the other side.
int stepped(int edge, std::int64_t step) {
    return static_cast<int>(std::clamp<std::int64_t>(std::int64_t{edge} + step, std::numeric_limits<int>::min(),
                                                     std::numeric_limits<int>::max()));
}

// An edge kept so that [edge, edge + size) lies within [low, high), or at low
// when the window is larger than the area.
int keptWithin(int edge, int size, int low, int high) {
    return static_cast<int>(
        std::max<std::int64_t>(std::min<std::int64_t>(edge, std::int64_t{high} - size), low));
}
}  // namespace

void WindowShake(MovableWindow& window, Random& random, int intensity, int count, int extra, int dpi) {
    random.reseed();
    const ScreenArea area = window.workArea();  // the monitor it starts on
    count = std::min(count, shakeCountLimit);
    bool leftAndDown = true;
    for (int step = 0; count >= 0 && step <= count; ++step) {
        const std::int64_t a = atDpi(std::int64_t{intensity > 0 ? random.below(intensity) : 0} + extra, dpi);
        const std::int64_t b = atDpi(std::int64_t{intensity > 0 ? random.below(intensity) : 0} + extra, dpi);
        const std::int64_t x = leftAndDown ? -a : a;
        const std::int64_t y = leftAndDown ? b : -b;
        leftAndDown = !leftAndDown;
        window.moveTo(stepped(window.left(), x), window.top());
        window.moveTo(window.left(), stepped(window.top(), y));
    }
    const int left = keptWithin(window.left(), window.width(), area.left, area.right);
    if (left != window.left()) window.moveTo(left, window.top());
    const int top = keptWithin(window.top(), window.height(), area.top, area.bottom);
    if (top != window.top()) window.moveTo(window.left(), top);
}

namespace {
// A stand-in for the window that keeps the moves asked of it.
class PlannedWindow final : public MovableWindow {
public:
    explicit PlannedWindow(const MovableWindow& real)
        : place_{real.left(), real.top()}, width_(real.width()), height_(real.height()), area_(real.workArea()) {}
    int left() const override { return place_.left; }
    int top() const override { return place_.top; }
    int width() const override { return width_; }
    int height() const override { return height_; }
    ScreenArea workArea() const override { return area_; }
    void moveTo(int left, int top) override {
        place_ = {left, top};
        moves.push_back(place_);
    }
    std::vector<WindowPlace> moves;

private:
    WindowPlace place_;
    int width_, height_;
    ScreenArea area_;
};
}  // namespace

std::vector<WindowPlace> planShake(const MovableWindow& window, Random& random, int intensity, int count, int extra,
                                   int dpi) {
    PlannedWindow planned(window);
    WindowShake(planned, random, intensity, count, extra, dpi);
    return std::move(planned.moves);
}

}  // namespace orvane
