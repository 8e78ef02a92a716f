#include "alarms/alarm_wake.hpp"

#include <utility>

#include "common/calendar.hpp"

namespace orvane {

std::optional<std::wstring> wakeTimersOffNotice(WakeTimerPlan plan) {
    if (plan != WakeTimerPlan::refusedOnMains && plan != WakeTimerPlan::refusedOnBattery) return std::nullopt;
    return std::wstring(plan == WakeTimerPlan::refusedOnBattery ? L"Sur batterie" : L"Sur secteur") +
           L", les paramètres d'alimentation ne laissent pas l'ordinateur sortir de veille pour une alarme.\r\n"
           // Non-breaking spaces keep the quotation marks with their words.
           L"Pour qu'il le fasse, choisissez «\u00A0Activer\u00A0» pour "
           L"«\u00A0Autoriser les minuteurs de réveil\u00A0», sous «\u00A0Veille\u00A0», "
           L"dans les paramètres d'alimentation avancés.";
}

void AlarmWaking::follow(const AlarmTable& table, const ClockReading& now, const TimeZone& zone, bool moved) {
    if (ended_) return;
    std::array<Slot, AlarmCount> slots;
    for (int n = 1; n <= AlarmCount; ++n)
        slots[static_cast<std::size_t>(n - 1)] = {table[n].armed(), table[n].Hour, table[n].Minute};
    // Read from the tick itself: no call to the zone while nothing moves.
    const std::int64_t utcOffset = wallSeconds(now.local) - now.utc.seconds();
    const bool askAgain = std::exchange(recheck_, false);
    const bool planAgain = askAgain || moved || slots != slots_ || utcOffset != utcOffset_ ||
                           (next_ && now.utc > next_->at);
    if (planAgain) {
        slots_ = slots;
        utcOffset_ = utcOffset;
        next_ = table.nextRing(now, zone);
        const std::optional<Instant> wake =
            next_ ? std::optional<Instant>(Instant{next_->at.ms - wakeLeadSeconds * 1000}) : std::nullopt;
        if (wake != asked_ || (askAgain && wake)) {
            if (wake) timer_.wakeAt(*wake);
            else timer_.cancel();
            asked_ = wake;
        }
    }
    hold(now);
}

void AlarmWaking::suspending(const ClockReading& now) {
    if (ended_ || !next_ || !asked_ || now.utc < *asked_ || now.utc >= next_->at) return;
    asked_ = next_->at;
    timer_.wakeAt(*asked_);
}

void AlarmWaking::end() {
    ended_ = true;
    if (asked_) timer_.cancel();
    asked_.reset();
    next_.reset();
    if (held_) awake_.release();
    held_ = false;
}

void AlarmWaking::hold(const ClockReading& now) {
    last_ = now;
    if (ended_) return;
    // Woken for the moment (or close to it while awake): the computer must
    // not fall asleep again before it rings.
    const bool approaching = next_ && asked_ && now.utc >= *asked_ && now.utc <= next_->at;
    const bool boxes = openChecks_ > 0 && now.monotonicMs < boxesHeldUntilMs_;
    const bool held = approaching || boxes;
    if (held == held_) return;
    held_ = held;
    if (held) awake_.hold();
    else awake_.release();
}

AlarmWaking::BoxesOpen::BoxesOpen(AlarmWaking& waking, const ClockReading& now) : waking_(waking) {
    ++waking_.openChecks_;
    waking_.boxesHeldUntilMs_ = now.monotonicMs + awakeForBoxesMs;
    waking_.hold(now);
}

AlarmWaking::BoxesOpen::~BoxesOpen() {
    --waking_.openChecks_;
    if (waking_.last_) waking_.hold(*waking_.last_);
}

}  // namespace orvane
