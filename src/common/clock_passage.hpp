#pragma once
// What moved the clock from one tick to the next, and what that does to a
// moment that comes back each day (an alarm) or each hour (the signal).
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "platform/clock.hpp"

namespace orvane {

// Why the moments of a stretch of the wall clock did not ring.
enum class MissedBecause {
    nothing,      // they ring
    asleep,       // the computer slept or stalled through them
    setForward,   // the clock was set forward over them
    zoneChanged,  // the time zone changed over them
};

// A step of the clock of at most this many seconds, either way, is a
// correction: forward, what it jumps over rings at once; back, nothing comes
// again.
inline constexpr std::int64_t longestCorrectionSeconds = 300;

// A stretch of the wall clock: the readings after `after` and at or before
// `through`, in wall seconds. Readings in [skippedFrom, skippedTo) never
// showed (the clocks jumped forward over them) and stand for the jump. A
// stretch that `releases` is one the clock went back over: what rang there
// may ring again when the clock shows it again.
struct WallSpan {
    std::int64_t after = 0;
    std::int64_t through = 0;
    MissedBecause missed = MissedBecause::nothing;
    std::int64_t skippedFrom = 0;
    std::int64_t skippedTo = 0;
    bool releases = false;
};

// What one tick went through, in order: real time (across a change of
// clocks too), then a step of the clock (set by hand or by the time
// service), then a change of zone, all named by the rules of the zone now
// in force. Last comes the tick's own second, which is now, not a moment
// gone by: what it holds rings.
struct ClockPassage {
    std::vector<WallSpan> spans;
    std::optional<std::int64_t> ownSecond;  // wall seconds
    std::int64_t monotonicMs = 0;           // when, in real time
    // The zone or its rules changed, whether or not a reading moved: what
    // was planned by them (the wake-up) is planned again.
    bool zoneChanged = false;
};

// Follows the clock from tick to tick, on one measure: instants. Real time
// is what the monotonic count says passed; a step is where the system's UTC
// reading is, less where real time took it; a change of zone is a change of
// the rules since the last tick. Only then are the readings passed over
// named, by the rules of the zone, instant by instant. Real time going on by
// at most a minute rings; longer (sleep, a stall), its moments are missed,
// but for the last minute of real time before the first tick after a
// resume: the computer woke for it.
class ClockWatch {
public:
    ClockPassage advance(const ClockReading& now, const TimeZone& zone);
    // The computer woke from sleep: the next tick is the first one after it.
    void resumed() { resumed_ = true; }

private:
    struct Last {
        Instant utc;
        std::int64_t monotonicMs = 0;
        std::int64_t wall = 0;  // the reading, by `rules`
        std::shared_ptr<const TimeZone> rules;
    };
    std::optional<Last> last_;
    bool resumed_ = false;
};

// How long what rang is remembered, in real time.
inline constexpr std::int64_t ringMemoryMs = 2 * 86400 * 1000;

// A moment that comes back every `period` wall seconds, `offset` seconds into
// each (a daily alarm, the full hour), and which of its readings rang: each
// rings at most once, however often the clock shows it (the clocks going
// back, a small correction back), until the clock goes back over it by more
// than a correction, and is never listed as missed once it rang.
class RecurringMoment {
public:
    explicit RecurringMoment(std::int64_t period) : period_(period) {}

    struct Outcome {
        bool rings = false;
        // The last reading of the moment that was missed, and why.
        std::optional<LocalTime> missed;
        MissedBecause because = MissedBecause::nothing;
    };
    Outcome take(const ClockPassage& passage, std::int64_t offset);
    // Only what the clock going back releases (a moment that is not armed).
    void follow(const ClockPassage& passage);
    void forgetRings() { rung_.clear(); }
    // Whether the reading at that wall second rang, and so does not again
    // until the clock goes back over it.
    bool rang(std::int64_t wallSecond) const {
        const auto found = rung_.find(wallSecond);
        return found != rung_.end() && !found->second.released;
    }

private:
    struct Rang {
        std::int64_t monotonicMs = 0;
        bool released = false;
    };
    void release(const WallSpan& span);
    bool ring(std::int64_t wallSecond, std::int64_t monotonicMs);
    void forgetOld(std::int64_t monotonicMs);

    std::int64_t period_;
    std::map<std::int64_t, Rang> rung_;  // by wall second
};

}  // namespace orvane
