#include "common/clock_passage.hpp"

#include <algorithm>
#include <utility>

#include "common/calendar.hpp"

namespace orvane {

namespace {

std::int64_t offsetAt(const TimeZone& zone, std::int64_t utcSeconds) {
    return utcOffsetSeconds(zone, Instant{utcSeconds * 1000});
}

// The wall readings the clock shows in the real time after the UTC second
// `from` and up to `to`, by the zone's rules, appended in order. A change of
// clocks between splits them: forward, the readings it skips stand for the
// jump; back, the readings it repeats come a second time. Changes of clocks
// are looked for a week at a time: no zone changes its clocks twice in one.
void nameReadings(std::vector<WallSpan>& spans, const TimeZone& zone, std::int64_t from, std::int64_t to,
                  MissedBecause fate) {
    if (to <= from) return;
    constexpr std::int64_t week = 7 * 86400;
    std::int64_t offset = offsetAt(zone, from);
    WallSpan piece{from + offset, from + offset, fate};
    for (std::int64_t start = from; start < to;) {
        const std::int64_t end = std::min(to, start + week);
        const std::int64_t endOffset = offsetAt(zone, end);
        if (endOffset == offset) {
            start = end;
            continue;
        }
        std::int64_t before = start, change = end;  // the first second of the new offset
        while (change - before > 1) {
            const std::int64_t middle = before + (change - before) / 2;
            (offsetAt(zone, middle) == offset ? before : change) = middle;
        }
        const std::int64_t newOffset = offsetAt(zone, change);
        piece.through = change - 1 + offset;
        if (piece.through > piece.after) spans.push_back(piece);
        piece = {newOffset > offset ? change - 1 + offset : change - 1 + newOffset, 0, fate};
        if (newOffset > offset) {
            piece.skippedFrom = change + offset;
            piece.skippedTo = change + newOffset;
        }
        offset = newOffset;
        start = change;
    }
    piece.through = to + offset;
    if (piece.through > piece.after) spans.push_back(piece);
}

void nameReleased(std::vector<WallSpan>& spans, const TimeZone& zone, std::int64_t from, std::int64_t to) {
    const std::size_t first = spans.size();
    nameReadings(spans, zone, from, to, MissedBecause::nothing);
    for (std::size_t k = first; k < spans.size(); ++k) spans[k].releases = true;
}

}  // namespace

ClockPassage ClockWatch::advance(const ClockReading& now, const TimeZone& zone) {
    std::shared_ptr<const TimeZone> rules = zone.rules();
    const std::int64_t nowSecond = now.utc.seconds();
    const std::int64_t nowWall = nowSecond + offsetAt(*rules, nowSecond);
    ClockPassage passage;
    passage.monotonicMs = now.monotonicMs;
    if (last_ && now.monotonicMs < last_->monotonicMs) {
        // A reading older than one already taken (held back somewhere) has
        // nothing left to tell.
        passage.monotonicMs = last_->monotonicMs;
        return passage;
    }
    const bool firstAfterResume = std::exchange(resumed_, false);
    const std::optional<Last> last = std::exchange(last_, Last{now.utc, now.monotonicMs, nowWall, rules});
    passage.ownSecond = nowWall;
    if (!last) return passage;  // nothing to measure from: only this tick's own second

    // Real time, on the monotonic count. After a resume, a jump forward the
    // count did not see is sleep too.
    Instant realEnd{last->utc.ms + (now.monotonicMs - last->monotonicMs)};
    if (firstAfterResume && now.utc > realEnd) realEnd = now.utc;
    // The step. A small one back (the count runs ahead of the system's
    // clock, or a correction) stops real time where the clock is: the
    // moments after it ring when the clock shows them, not before.
    std::int64_t stepMs = now.utc.ms - realEnd.ms;
    if (stepMs < 0 && stepMs >= -longestCorrectionSeconds * 1000) {
        realEnd = now.utc;
        stepMs = 0;
    }

    // Everything is named by the rules now in force: after a change of zone,
    // alarms ring at their time on the clock now shown.
    const std::int64_t from = last->utc.seconds();
    const std::int64_t realTo = std::max(realEnd.seconds(), from);
    const std::int64_t realSeconds = realTo - from;
    const MissedBecause realFate = realSeconds > longestTickGapSeconds ? MissedBecause::asleep : MissedBecause::nothing;
    if (firstAfterResume && realFate == MissedBecause::asleep) {
        // Woken for it: the last minute of real time rings.
        nameReadings(passage.spans, *rules, from, realTo - longestTickGapSeconds, MissedBecause::asleep);
        nameReadings(passage.spans, *rules, realTo - longestTickGapSeconds, realTo, MissedBecause::nothing);
    } else {
        nameReadings(passage.spans, *rules, from, realTo, realFate);
    }

    if (stepMs > 0) {
        const bool correction = stepMs <= longestCorrectionSeconds * 1000;
        nameReadings(passage.spans, *rules, realTo, nowSecond,
                     correction ? MissedBecause::nothing : MissedBecause::setForward);
    } else if (stepMs < 0) {
        // Set back over a stretch: it comes again, from the second it was set
        // to (a user sets the clock back onto an alarm to hear it again).
        nameReleased(passage.spans, *rules, nowSecond - 1, realTo);
    }

    if (rules != last->rules) {
        passage.zoneChanged = true;
        // The clock the user saw at the last tick, against the new zone's
        // clock at that instant: east, what it jumps over is missed; west,
        // what it goes back over comes again.
        const std::int64_t shownWall = last->wall;
        const std::int64_t newWall = from + offsetAt(*rules, from);
        if (newWall > shownWall) passage.spans.push_back({shownWall, newWall, MissedBecause::zoneChanged});
        if (newWall < shownWall) passage.spans.push_back({newWall, shownWall, MissedBecause::nothing, 0, 0, true});
    }
    return passage;
}

void RecurringMoment::release(const WallSpan& span) {
    for (auto it = rung_.upper_bound(span.after); it != rung_.end() && it->first <= span.through; ++it)
        it->second.released = true;
}

bool RecurringMoment::ring(std::int64_t wallSecond, std::int64_t monotonicMs) {
    const auto found = rung_.find(wallSecond);
    if (found != rung_.end() && !found->second.released) return false;
    rung_[wallSecond] = {monotonicMs, false};
    return true;
}

void RecurringMoment::follow(const ClockPassage& passage) {
    for (const WallSpan& span : passage.spans)
        if (span.releases) release(span);
    forgetOld(passage.monotonicMs);
}

void RecurringMoment::forgetOld(std::int64_t monotonicMs) {
    // Counted in real time, not from the furthest reading shown: a date
    // tried days ahead and put back forgets nothing of today.
    std::erase_if(rung_, [&](const auto& entry) { return monotonicMs - entry.second.monotonicMs > ringMemoryMs; });
}

RecurringMoment::Outcome RecurringMoment::take(const ClockPassage& passage, std::int64_t offset) {
    Outcome outcome;
    std::optional<std::int64_t> missedMoment;
    auto latestAtOrBefore = [&](std::int64_t wall) { return wall - (((wall - offset) % period_ + period_) % period_); };
    for (const WallSpan& span : passage.spans) {
        if (span.releases) {
            release(span);
            continue;
        }
        std::int64_t moment = latestAtOrBefore(span.through);
        if (span.missed == MissedBecause::nothing) {
            for (; moment > span.after; moment -= period_)
                if (ring(moment, passage.monotonicMs)) outcome.rings = true;
            continue;
        }
        // The latest reading of the moment gone by that never rang; the
        // tick's own second is not gone by.
        while (moment > span.after && (rung_.contains(moment) || moment == passage.ownSecond)) moment -= period_;
        if (moment <= span.after) continue;
        // A reading the clocks skipped is named by the one that came for it.
        const bool skipped = moment >= span.skippedFrom && moment < span.skippedTo;
        missedMoment = moment;
        outcome.missed = wallTimeAt(skipped ? span.skippedTo : moment);
        outcome.because = span.missed;
    }
    if (passage.ownSecond && latestAtOrBefore(*passage.ownSecond) == *passage.ownSecond &&
        ring(*passage.ownSecond, passage.monotonicMs))
        outcome.rings = true;
    // Slept over at its first showing, rung at its second (the clocks went
    // back in the minute woken for): it rang.
    if (missedMoment && rang(*missedMoment)) outcome = {outcome.rings, std::nullopt, MissedBecause::nothing};
    forgetOld(passage.monotonicMs);
    return outcome;
}

}  // namespace orvane
