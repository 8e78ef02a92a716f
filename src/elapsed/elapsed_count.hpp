#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/clock.hpp"

namespace orvane {

// The real seconds from a picked wall-clock moment to now (whole seconds,
// milliseconds dropped): negative for a moment later today. A change of clocks
// between them changes nothing to the time that passed.
std::int64_t elapsedSecondsSince(const TimeZone& zone, const LocalTime& since, Instant now);

// The four result labels, Label1 to Label4, for a count n.
std::array<std::wstring, 4> elapsedTexts(std::int64_t n);

// Label10: "Temps écoulé depuis le <date> à H:M:S" without leading zeros.
std::wstring elapsedHeading(const std::wstring& date, int hour, int minute, int second);

// The running count. It shows a value at each tick and moves by the whole
// seconds of real time (UTC, in milliseconds) since it last moved: a
// correction of the clock shows in it, a change of zone or of clocks does not.
// Whether the moment is gone by or to come is judged once, at "Voir !": a
// moment gone by counts on with the clock, back and forth, below 0 too if
// the clock is set before it, and never stops; a moment to come rises to 0
// and stops there, its labels left on -1; the present second does not count.
class ElapsedCount {
public:
    // "Voir !": a new count from this value, exact at the real-time instant
    // exactMs (the start of the second it was read in), so that it moves in
    // step with the clock's seconds; first shown one second later.
    void begin(std::int64_t seconds, std::int64_t exactMs);
    // The value to show now, if the count moved; nothing otherwise.
    std::optional<std::int64_t> tick(std::int64_t nowMs);
    std::int64_t ElapsedSeconds() const { return next_; }
    bool running() const { return running_; }
    // Milliseconds from nowMs until the count next moves.
    int millisecondsToNextSecond(std::int64_t nowMs) const;

private:
    std::int64_t next_ = 0;     // shown at the next tick
    std::int64_t movedAt_ = 0;  // monotonic ms
    bool toCome_ = false;
    bool running_ = false;
};

}  // namespace orvane
