#pragma once
// What moved the wall clock from one tick to the next, and what that does to
// a moment that comes back each day (an alarm) or each hour (the signal).
#include <cstdint>
#include <optional>
#include <set>
#include <utility>
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

// A stretch of the wall clock between two ticks: the readings after `after`
// and at or before `through`, in wall seconds. Readings in [skippedFrom,
// skippedTo) never showed (the clocks jumped forward over them).
struct WallSpan {
    std::int64_t after = 0;
    std::int64_t through = 0;
    MissedBecause missed = MissedBecause::nothing;
    std::int64_t skippedFrom = 0;
    std::int64_t skippedTo = 0;
};

// The stretches one tick went through, in the order the clock went through
// them: real time first (across a change of clocks too), then a step of the
// clock (set by hand or by the time service, or a change of zone). A step
// back of more than a correction forgets the rings of the readings it goes
// back over (from `forgotten->first` through `forgotten->second`), so that
// they come again.
struct ClockPassage {
    std::vector<WallSpan> spans;
    std::optional<std::pair<std::int64_t, std::int64_t>> forgotten;
};

// Follows the clock from tick to tick. Real time is what the monotonic count
// says passed; the zone's own rules tell a change of clocks (real time) from
// a change of zone (a step). Real time going on by at most a minute rings;
// longer (sleep, a stall), its moments are missed, but for the last minute
// before the first tick after a resume: the computer woke for it.
class ClockWatch {
public:
    ClockPassage advance(const ClockReading& now, const TimeZone& zone);
    // The computer woke from sleep: the next tick is the first one after it.
    void resumed() { resumed_ = true; }

private:
    std::optional<ClockReading> previous_;
    bool resumed_ = false;
};

// A moment that comes back every `period` wall seconds, `offset` seconds into
// each (a daily alarm, the full hour), and which of its readings rang: each
// rings at most once, however often the clock shows it (the clocks going
// back, a small correction back), until a larger step back forgets it.
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
    // Only what a step back forgets (a moment that is not armed).
    void follow(const ClockPassage& passage);
    void forgetRings() { rung_.clear(); }
    // Whether the reading at that wall second rang (and so does not again).
    bool rang(std::int64_t wallSecond) const { return rung_.contains(wallSecond); }

private:
    std::int64_t period_;
    std::set<std::int64_t> rung_;  // wall seconds
};

}  // namespace orvane
