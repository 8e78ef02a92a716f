#include "app/hourly_signal.hpp"

#include "app/calendar.hpp"

namespace orvane {

bool hourlySignalDue(const std::optional<LocalTime>& previous, const LocalTime& now) {
    return recurringMomentPassed(previous, now, 3600, 0);
}

void WindowShake(MovableWindow& window, Random& random, int intensity, int count, int extra) {
    random.reseed();
    bool leftAndDown = true;
    for (int step = 0; count >= 0 && step <= count; ++step) {
        const int a = (intensity > 0 ? random.below(intensity) : 0) + extra;
        const int b = (intensity > 0 ? random.below(intensity) : 0) + extra;
        const int x = leftAndDown ? -a : a;
        const int y = leftAndDown ? b : -b;
        leftAndDown = !leftAndDown;
        window.moveTo(window.left() + x, window.top());
        window.moveTo(window.left(), window.top() + y);
    }
    if (window.left() < 0) window.moveTo(0, window.top());
    if (window.top() < 0) window.moveTo(window.left(), 0);
}

}  // namespace orvane
