#include "app/hourly_signal.hpp"

#include "app/calendar.hpp"

namespace orvane {

bool hourlySignalDue(const std::optional<LocalTime>& previous, const LocalTime& now) {
    const std::int64_t nowSeconds = localSeconds(now);
    if (previous) {
        const std::int64_t previousSeconds = localSeconds(*previous);
        const std::int64_t gap = nowSeconds - previousSeconds;
        if (gap >= 0 && gap <= 60) {
            // A full hour in (previous, now]: at most one fits in a minute.
            const auto floorHour = [](std::int64_t s) { return s >= 0 ? s / 3600 : -((-s + 3599) / 3600); };
            return floorHour(nowSeconds) != floorHour(previousSeconds);
        }
    }
    return now.minute == 0 && now.second == 0;
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
