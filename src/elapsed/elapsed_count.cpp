#include "elapsed/elapsed_count.hpp"

#include "common/calendar.hpp"

namespace orvane {

std::int64_t elapsedSecondsSince(const TimeZone& zone, const LocalTime& since, Instant now) {
    return now.seconds() - instantOf(zone, since).seconds();
}

std::array<std::wstring, 4> elapsedTexts(std::int64_t n) {
    // Quotients and remainders truncate toward zero, so a negative count has
    // negative parts.
    auto text = [](std::int64_t v) { return std::to_wstring(v); };
    return {
        text(n / 86400) + L" jour(s), " + text(n % 86400 / 3600) + L" heures, " + text(n % 3600 / 60) +
            L" minute(s), et " + text(n % 60) + L" seconde(s)",
        text(n / 3600) + L" heures, " + text(n % 3600 / 60) + L" minute(s), et " + text(n % 60) + L" seconde(s)",
        text(n / 60) + L" minute(s), et " + text(n % 60) + L" seconde(s)",
        text(n) + L" seconde(s)",
    };
}

std::wstring elapsedHeading(const std::wstring& date, int hour, int minute, int second) {
    return L"Temps écoulé depuis le " + date + L" à " + std::to_wstring(hour) + L":" + std::to_wstring(minute) +
           L":" + std::to_wstring(second);
}

void ElapsedCount::begin(std::int64_t seconds, std::int64_t exactMs) {
    next_ = seconds;
    movedAt_ = exactMs;
    toCome_ = seconds < 0;
    running_ = seconds != 0;
}

int ElapsedCount::millisecondsToNextSecond(std::int64_t nowMs) const {
    const std::int64_t intoSecond = ((nowMs - movedAt_) % 1000 + 1000) % 1000;
    return static_cast<int>(1000 - intoSecond);
}

std::optional<std::int64_t> ElapsedCount::tick(std::int64_t nowMs) {
    if (!running_) return std::nullopt;
    // Whole seconds of real time since it last moved; back as well, when the
    // clock was set back.
    std::int64_t whole = Instant{nowMs - movedAt_}.seconds();
    if (whole == 0) return std::nullopt;
    // A moment to come, once reached, stops the count at 0.
    if (toCome_ && next_ + whole >= 0) {
        whole = -next_;
        running_ = false;
    }
    const std::int64_t shown = next_ + whole - 1;
    next_ += whole;
    movedAt_ += whole * 1000;
    return shown;
}

}  // namespace orvane
