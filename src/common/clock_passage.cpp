#include "common/clock_passage.hpp"

#include <algorithm>
#include <limits>

#include "common/calendar.hpp"

namespace orvane {

namespace {

std::int64_t wallAt(const TimeZone& zone, std::int64_t utcSeconds) {
    return wallSeconds(zone.localAt(Instant{utcSeconds * 1000}));
}

// The first second, after `from` and at or before `to`, with the offset the
// zone has at `to` (a change of clocks lies between them).
std::int64_t changeOfClocks(const TimeZone& zone, std::int64_t from, std::int64_t to) {
    const std::int64_t before = utcOffsetSeconds(zone, Instant{from * 1000});
    while (to - from > 1) {
        const std::int64_t middle = from + (to - from) / 2;
        (utcOffsetSeconds(zone, Instant{middle * 1000}) == before ? from : to) = middle;
    }
    return to;
}

}  // namespace

ClockPassage ClockWatch::advance(const ClockReading& now, const TimeZone& zone) {
    const bool firstAfterResume = std::exchange(resumed_, false);
    const std::optional<ClockReading> previous = std::exchange(previous_, now);
    const std::int64_t nowWall = wallSeconds(now.local);
    ClockPassage passage;
    if (!previous) {
        // Nothing to measure from: only this tick's own second counts.
        passage.spans.push_back({nowWall - 1, nowWall});
        return passage;
    }
    const std::int64_t before = wallSeconds(previous->local);
    const std::int64_t realMs = std::max<std::int64_t>(0, now.monotonicMs - previous->monotonicMs);
    const Instant realEnd{previous->utc.ms + realMs};
    const MissedBecause realFate =
        realMs > longestTickGapSeconds * 1000 ? MissedBecause::asleep : MissedBecause::nothing;

    // Real time, on the wall clock. The zone read the last tick as its own
    // rules give it unless the zone itself changed since: then the old
    // offset held through the real time, and the change is a step.
    // A reading taken as the clocks change may carry the offset of a moment
    // before or after the change: that is the same zone.
    // As a rule the zone is asked twice a tick, once for each end.
    const std::int64_t then = previous->utc.seconds();
    const std::int64_t readOffset = before - then;
    auto offsetAt = [&zone](std::int64_t utcSeconds) { return utcOffsetSeconds(zone, Instant{utcSeconds * 1000}); };
    const std::int64_t offsetBefore = offsetAt(then);
    const bool sameZone = readOffset == offsetBefore || readOffset == offsetAt(then - longestCorrectionSeconds) ||
                          readOffset == offsetAt(then + longestCorrectionSeconds);
    std::int64_t realThrough = before + realMs / 1000;
    if (sameZone) {
        realThrough = wallSeconds(zone.localAt(realEnd));
        const std::int64_t from = then;
        const std::int64_t to = realEnd.seconds();
        const std::int64_t offsetAfter = realThrough - to;
        if (offsetAfter > offsetBefore) {
            // Forward: the readings skipped ring at the jump.
            const std::int64_t jump = changeOfClocks(zone, from, to);
            passage.spans.push_back(
                {before, realThrough, realFate, wallAt(zone, jump) - (offsetAfter - offsetBefore), wallAt(zone, jump)});
        } else if (offsetAfter < offsetBefore) {
            // Back: the clock goes through the repeated readings again.
            const std::int64_t jump = changeOfClocks(zone, from, to);
            passage.spans.push_back({before, wallAt(zone, jump - 1), realFate});
            passage.spans.push_back({wallAt(zone, jump) - 1, realThrough, realFate});
        }
    }
    if (passage.spans.empty()) passage.spans.push_back({before, realThrough, realFate});
    WallSpan& last = passage.spans.back();
    // The monotonic count moves in steps of the system's tick: a second less
    // on the wall clock than it says is no step back.
    if (nowWall < realThrough && realThrough - nowWall <= 1) last.through = realThrough = nowWall;
    // Woken for it: the last minute of the sleep rings.
    const std::int64_t resumeCut =
        !firstAfterResume || realFate != MissedBecause::asleep ? last.through
        : sameZone ? wallSeconds(zone.localAt(Instant{realEnd.ms - longestTickGapSeconds * 1000}))
                   : realThrough - longestTickGapSeconds;
    if (resumeCut < last.through) {
        WallSpan woken = last;
        woken.missed = MissedBecause::nothing;
        woken.after = std::max(last.after, resumeCut);
        last.through = std::max(last.after, resumeCut);
        passage.spans.push_back(woken);
    }

    // Then the step, if the wall clock is not where real time took it.
    const std::int64_t step = nowWall - realThrough;
    if (step > 0) {
        const MissedBecause jumped = !sameZone ? MissedBecause::zoneChanged : MissedBecause::setForward;
        const bool correction = step <= longestCorrectionSeconds;
        passage.spans.push_back({realThrough, nowWall, correction ? MissedBecause::nothing : jumped});
    } else if (step < -longestCorrectionSeconds) {
        // Set back over a stretch: it comes again, from the second it was
        // set to (a user sets the clock back onto an alarm to hear it again).
        passage.forgotten = {nowWall, realThrough};
        passage.spans.push_back({nowWall - 1, nowWall});
    }
    // The tick's own second is now, not a moment gone by: what it holds rings.
    WallSpan& end = passage.spans.back();
    if (end.missed != MissedBecause::nothing && end.through == nowWall) {
        WallSpan own = end;
        own.missed = MissedBecause::nothing;
        own.after = std::max(end.after, nowWall - 1);
        end.through = own.after;
        passage.spans.push_back(own);
    }
    return passage;
}

void RecurringMoment::follow(const ClockPassage& passage) {
    if (passage.forgotten)
        rung_.erase(rung_.lower_bound(passage.forgotten->first), rung_.upper_bound(passage.forgotten->second));
}

RecurringMoment::Outcome RecurringMoment::take(const ClockPassage& passage, std::int64_t offset) {
    follow(passage);
    Outcome outcome;
    std::int64_t reached = std::numeric_limits<std::int64_t>::min();
    for (const WallSpan& span : passage.spans) {
        reached = std::max(reached, span.through);
        // The latest reading of the moment at or before the end of the span.
        std::int64_t moment = span.through - (((span.through - offset) % period_ + period_) % period_);
        if (span.missed == MissedBecause::nothing) {
            for (; moment > span.after; moment -= period_)
                if (rung_.insert(moment).second) outcome.rings = true;
            continue;
        }
        while (moment > span.after && rung_.contains(moment)) moment -= period_;
        if (moment <= span.after) continue;
        // A reading the clocks skipped is named by the one that came for it.
        const bool skipped = moment >= span.skippedFrom && moment < span.skippedTo;
        outcome.missed = wallTimeAt(skipped ? span.skippedTo : moment);
        outcome.because = span.missed;
    }
    // Two days back is more than any change of clocks or correction repeats.
    if (!passage.spans.empty()) rung_.erase(rung_.begin(), rung_.lower_bound(reached - 2 * 86400));
    return outcome;
}

}  // namespace orvane
